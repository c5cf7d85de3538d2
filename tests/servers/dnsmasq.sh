#!/usr/bin/env bash
# A private name server for the DNS check tests: dnsmasq on 127.0.0.1 at a free high port,
# answering from its own records only (A and PTR for names under velmora.test, NXDOMAIN for
# other names there), never forwarding.
#   dnsmasq.sh start|stop STATE_DIR   -> STATE_DIR/dnsmasq.env: HOST, PORT
set -euo pipefail
name=dnsmasq
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/morechecks-lib.sh"
usage_and_args "$@"

do_start() {
    if running_pid >/dev/null && [[ -f "$envfile" ]]; then return 0; fi
    stop_by_pidfile
    local port
    port="$(free_port)"
    cat >"$dir/dnsmasq.conf" <<CONF
port=$port
listen-address=127.0.0.1
bind-interfaces
no-resolv
no-hosts
no-poll
user=root
group=root
pid-file=$pidfile
log-facility=$dir/dnsmasq.log
log-queries
local=/velmora.test/
host-record=www.velmora.test,127.0.0.10
host-record=mail.velmora.test,127.0.0.20
CONF
    dnsmasq --conf-file="$dir/dnsmasq.conf"
    if ! wait_for "running_pid >/dev/null" 50; then
        echo "dnsmasq.sh: dnsmasq did not start" >&2
        cat "$dir/dnsmasq.log" >&2 || true
        return 1
    fi
    write_env "HOST=127.0.0.1" "PORT=$port"
}

case "$cmd" in
start) do_start ;;
stop) stop_by_pidfile; rm -f "$envfile" ;;
*) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
