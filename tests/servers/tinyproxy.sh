#!/usr/bin/env bash
# tinyproxy as an HTTP proxy on 127.0.0.1 (no authentication). Usage: tinyproxy.sh start|stop STATE_DIR
# Writes STATE_DIR/tinyproxy.env: PORT, LOG (its log file).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/common-port.sh"
cmd=${1:?start|stop}
state=${2:?state dir}
dir="$state/tinyproxy"

stop() {
    stop_pidfile "$dir/tinyproxy.pid"
    rm -f "$state/tinyproxy.env"
}

if [[ $cmd == stop ]]; then
    stop
    exit 0
fi

stop
rm -rf "$dir"
mkdir -p "$dir"
chmod 0777 "$dir"   # the proxy may drop to its own user and still writes its log here
port=$(free_port)
user_lines=""
if [[ $(id -u) -eq 0 ]]; then
    if id tinyproxy >/dev/null 2>&1; then
        user_lines=$'User tinyproxy\nGroup tinyproxy'
    else
        user_lines=$'User nobody\nGroup nogroup'
    fi
fi
cat > "$dir/tinyproxy.conf" <<CONF
$user_lines
Port $port
Listen 127.0.0.1
Timeout 60
LogFile "$dir/tinyproxy.log"
LogLevel Info
MaxClients 50
Allow 127.0.0.1
DisableViaHeader Yes
CONF
# In the foreground (-d), started in the background here so the pid is ours.
nohup tinyproxy -d -c "$dir/tinyproxy.conf" >"$dir/stdout.log" 2>&1 &
echo $! > "$dir/tinyproxy.pid"
if ! wait_port "$port"; then
    cat "$dir/stdout.log" "$dir/tinyproxy.log" >&2 2>/dev/null || true
    stop
    exit 1
fi
printf 'HOST=127.0.0.1\nPORT=%s\nLOG=%s\n' "$port" "$dir/tinyproxy.log" > "$state/tinyproxy.env"
