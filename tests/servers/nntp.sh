#!/usr/bin/env bash
# The fixture news server of the NNTP check tests (nntp_fixture.py) on 127.0.0.1.
#   nntp.sh start|stop STATE_DIR
#   -> STATE_DIR/nntp.env: HOST, PORT, REFUSE_PORT, TLS_PORT, USER, PASSWORD, GROUP, COUNT
# The TLS port uses a self-signed certificate made under the state dir on first start.
set -euo pipefail
name=nntp
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/morechecks-lib.sh"
usage_and_args "$@"

do_start() {
    if running_pid >/dev/null && [[ -f "$envfile" ]]; then return 0; fi
    stop_by_pidfile
    local port rport tport
    port="$(free_port)"
    rport="$(free_port)"
    while [[ "$rport" == "$port" ]]; do rport="$(free_port)"; done
    tport="$(free_port)"
    while [[ "$tport" == "$port" || "$tport" == "$rport" ]]; do tport="$(free_port)"; done
    if [[ ! -f "$dir/cert.pem" || ! -f "$dir/key.pem" ]]; then
        openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=127.0.0.1" \
            -keyout "$dir/key.pem" -out "$dir/cert.pem" >"$dir/openssl.log" 2>&1
    fi
    /usr/bin/python3 "$here/nntp_fixture.py" "$port" "$rport" "$tport" "$dir/cert.pem" "$dir/key.pem" \
        >"$dir/nntp.log" 2>&1 &
    echo $! >"$pidfile"
    if ! wait_for "tcp_in_use $port && tcp_in_use $rport && tcp_in_use $tport" 50; then
        echo "nntp.sh: fixture did not start" >&2
        cat "$dir/nntp.log" >&2 || true
        stop_by_pidfile
        return 1
    fi
    write_env "HOST=127.0.0.1" "PORT=$port" "REFUSE_PORT=$rport" "TLS_PORT=$tport" "USER=newsreader" \
        "PASSWORD=newspass" "GROUP=velmora.test" "COUNT=42"
}

case "$cmd" in
start) do_start ;;
stop) stop_by_pidfile; rm -f "$envfile" ;;
*) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
