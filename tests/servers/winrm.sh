#!/usr/bin/env bash
# The fixture WS-Management endpoint of the WMI check tests (winrm_fixture.py) on 127.0.0.1.
#   winrm.sh start|stop STATE_DIR  -> STATE_DIR/winrm.env: HOST, PORT, USER, PASSWORD
set -euo pipefail
name=winrm
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/morechecks-lib.sh"
usage_and_args "$@"

do_start() {
    if running_pid >/dev/null && [[ -f "$envfile" ]]; then return 0; fi
    stop_by_pidfile
    local port
    port="$(free_port)"
    /usr/bin/python3 "$here/winrm_fixture.py" "$port" >"$dir/winrm.log" 2>&1 &
    echo $! >"$pidfile"
    if ! wait_for "tcp_in_use $port" 50; then
        echo "winrm.sh: fixture did not start" >&2
        cat "$dir/winrm.log" >&2 || true
        stop_by_pidfile
        return 1
    fi
    write_env "HOST=127.0.0.1" "PORT=$port" "USER=wmiadmin" "PASSWORD=wmipass"
}

case "$cmd" in
start) do_start ;;
stop) stop_by_pidfile; rm -f "$envfile" ;;
*) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
