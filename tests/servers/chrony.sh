#!/usr/bin/env bash
# A private time server for the SNTP check tests: chronyd serving its own clock (-x: it never
# sets the system clock) on 127.0.0.1 at a free high UDP port, with its configuration, pid
# and drift files under the state dir and no command port or socket (several instances can
# run side by side).
#   chrony.sh start|stop STATE_DIR   -> STATE_DIR/chrony.env: HOST, PORT
set -euo pipefail
name=chrony
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/morechecks-lib.sh"
usage_and_args "$@"

do_start() {
    if running_pid >/dev/null && [[ -f "$envfile" ]]; then return 0; fi
    stop_by_pidfile
    local port
    port="$(free_port)"
    cat >"$dir/chrony.conf" <<CONF
port $port
bindaddress 127.0.0.1
allow 127.0.0.0/8
local stratum 8
cmdport 0
bindcmdaddress /
pidfile $pidfile
driftfile $dir/chrony.drift
logdir $dir
CONF
    chronyd -x -u root -f "$dir/chrony.conf" -l "$dir/chronyd.log"
    if ! wait_for "running_pid >/dev/null" 50; then
        echo "chrony.sh: chronyd did not start" >&2
        cat "$dir/chronyd.log" >&2 || true
        return 1
    fi
    write_env "HOST=127.0.0.1" "PORT=$port"
}

case "$cmd" in
start) do_start ;;
stop) stop_by_pidfile; rm -f "$envfile" ;;
*) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
