#!/usr/bin/env bash
# SMTP receivers of the e-mail alarm tests (snppd.py on python3-aiosnppd), 127.0.0.1.
#   snppd.sh start|stop STATE_DIR
#   -> STATE_DIR/snppd.env: PORT, BUSY_PORT, LOG
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cmd="$1"
state="$(mkdir -p "$2" && cd "$2" && pwd)"
dir="$state/snppd"
env="$state/snppd.env"

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
    rm -f "$dir/ports"
    : >"$dir/lines.log"
    setsid /usr/bin/python3 "$here/snppd.py" "$dir/ports" "$dir/lines.log" >"$dir/server.log" 2>&1 </dev/null &
    echo $! >"$dir/pid"
    for _ in $(seq 100); do
        [[ -f "$dir/ports" ]] && break
        sleep 0.1
    done
    [[ -f "$dir/ports" ]] || { cat "$dir/server.log" >&2; stop; exit 1; }
    { cat "$dir/ports"; printf 'LOG=%s\n' "$dir/lines.log"; } >"$env"
    ;;
stop) stop ;;
*) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
