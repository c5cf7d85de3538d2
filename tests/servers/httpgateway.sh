#!/usr/bin/env bash
# The SMS-by-HTTP test gateway (httpgateway.py) on 127.0.0.1: one plain HTTP and one HTTPS
# port with a self-signed certificate made by the script.
#   httpgateway.sh start|stop STATE_DIR
#   -> STATE_DIR/httpgateway.env: PORT, TLS_PORT, LOG, CERT
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cmd="$1"
state="$(mkdir -p "$2" && cd "$2" && pwd)"
dir="$state/httpgateway"
env="$state/httpgateway.env"

stop() {
    if [[ -f "$dir/pid" ]]; then
        kill "$(cat "$dir/pid")" 2>/dev/null || true
        rm -f "$dir/pid"
    fi
    rm -f "$env"
}

case "$cmd" in
start)
    stop
    mkdir -p "$dir"
    bash "$here/testcert.sh" "$dir/tls"
    rm -f "$dir/port" "$dir/tls_port"
    : >"$dir/requests.jsonl"
    setsid /usr/bin/python3 "$here/httpgateway.py" "$dir/port" "$dir/tls_port" "$dir/requests.jsonl" \
        "$dir/tls/cert.pem" "$dir/tls/key.pem" >"$dir/server.log" 2>&1 </dev/null &
    echo $! >"$dir/pid"
    for _ in $(seq 100); do
        [[ -f "$dir/port" && -f "$dir/tls_port" ]] && break
        sleep 0.1
    done
    [[ -f "$dir/port" && -f "$dir/tls_port" ]] || { cat "$dir/server.log" >&2; stop; exit 1; }
    printf 'PORT=%s\nTLS_PORT=%s\nLOG=%s\nCERT=%s\n' "$(cat "$dir/port")" "$(cat "$dir/tls_port")" \
        "$dir/requests.jsonl" "$dir/tls/cert.pem" >"$env"
    ;;
stop) stop ;;
*) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
