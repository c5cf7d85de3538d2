#!/usr/bin/env bash
# SMTP receivers of the e-mail alarm tests (smtpd.py on python3-aiosmtpd), 127.0.0.1.
#   smtpd.sh start|stop STATE_DIR
#   -> STATE_DIR/smtpd.env: PORT, STARTTLS_PORT, SMTPS_PORT, LEGACY_PORT, LOG, CERT, USER, PASSWORD
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cmd="$1"
state="$(mkdir -p "$2" && cd "$2" && pwd)"
dir="$state/smtpd"
env="$state/smtpd.env"

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
    rm -f "$dir/ports"
    : >"$dir/messages.jsonl"
    setsid /usr/bin/python3 "$here/smtpd.py" "$dir/ports" "$dir/messages.jsonl" "$dir/tls/cert.pem" \
        "$dir/tls/key.pem" >"$dir/server.log" 2>&1 </dev/null &
    echo $! >"$dir/pid"
    for _ in $(seq 100); do
        [[ -f "$dir/ports" ]] && break
        sleep 0.1
    done
    [[ -f "$dir/ports" ]] || { cat "$dir/server.log" >&2; stop; exit 1; }
    { cat "$dir/ports"; printf 'LOG=%s\nCERT=%s\nUSER=alarm\nPASSWORD=secret\n' "$dir/messages.jsonl" "$dir/tls/cert.pem"; } >"$env"
    ;;
stop) stop ;;
*) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
