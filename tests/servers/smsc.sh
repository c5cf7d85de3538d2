#!/usr/bin/env bash
# Test SMSC (npm package "smpp") on 127.0.0.1 and a free port.
#   smsc.sh start|stop STATE_DIR   -> STATE_DIR/smsc.env: PORT, RECORDS, DIR
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cmd="$1"
state="$(mkdir -p "$2" && cd "$2" && pwd)"
dir="$state/smsc"
env="$state/smsc.env"

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
    # The npm package lives in a folder of its own under the state dir; installed once.
    mods="$state/node-smpp"
    if [[ ! -f "$mods/node_modules/smpp/package.json" ]]; then
        mkdir -p "$mods"
        (cd "$mods" && npm install --no-audit --no-fund --silent smpp@0.5.1 >/dev/null)
    fi
    rm -f "$dir/port" "$dir/records.jsonl"
    NODE_PATH="$mods/node_modules" setsid node "$here/smsc.js" "$dir" >"$dir/server.log" 2>&1 </dev/null &
    echo $! >"$dir/pid"
    for _ in $(seq 100); do
        [[ -f "$dir/port" ]] && break
        sleep 0.1
    done
    [[ -f "$dir/port" ]] || { cat "$dir/server.log" >&2; stop; exit 1; }
    printf 'PORT=%s\nRECORDS=%s\nDIR=%s\n' "$(cat "$dir/port")" "$dir/records.jsonl" "$dir" >"$env"
    ;;
stop) stop ;;
*) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
