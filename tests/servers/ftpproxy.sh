#!/usr/bin/env bash
# The fixture FTP proxy (ftpproxy_server.py, run with /usr/bin/python3) for the FTP check.
#   ftpproxy.sh start|stop|restart STATE_DIR
# start: runs one listener per proxy type 1..5 on 127.0.0.1 at free high ports, each
# checking the login sequence of its type, and writes STATE_DIR/ftpproxy.env: HOST, PORT
# (= TYPE1_PORT), TYPE1_PORT .. TYPE5_PORT, TARGET (the server name the check must pass on),
# USER, PASSWORD, PROXY_USER, PROXY_PASSWORD, LOG_DIR (session.<type>.log files).
# stop: ends the proxy by its pid file and waits; nothing to do when none runs.
set -euo pipefail

cmd="${1:-}"
state="${2:-}"
if [[ -z "$cmd" || -z "$state" ]]; then
    echo "usage: $0 start|stop|restart STATE_DIR" >&2
    exit 2
fi
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mkdir -p "$state"
state="$(cd "$state" && pwd)"
dir="$state/ftpproxy"
source "$(dirname "${BASH_SOURCE[0]}")/daemon-lib.sh"
pidfile="$dir/server.pid"
envfile="$state/ftpproxy.env"
target=127.0.0.2
user=ftpuser
password='ftp-Pw7'
puser=proxyuser
ppass='proxy-Pw3'
python=/usr/bin/python3
names=(TYPE1 TYPE2 TYPE3 TYPE4 TYPE5)

running_pid() {
    local pid
    [[ -f "$pidfile" ]] || return 1
    pid="$(cat "$pidfile" 2>/dev/null || true)"
    [[ -n "$pid" ]] && pid_alive "$pid" || return 1
    echo "$pid"
}

do_stop() {
    local pid i
    if pid="$(running_pid)"; then
        kill -TERM "$pid" 2>/dev/null || true
        for i in $(seq 1 50); do
            pid_alive "$pid" || break
            sleep 0.1
        done
        if pid_alive "$pid"; then kill -KILL "$pid" 2>/dev/null || true; fi
    fi
    rm -f "$pidfile"
}

do_start() {
    mkdir -p "$dir"
    do_stop
    local n ports=()
    for n in "${names[@]}"; do ports+=("$(pick_port "$n")"); done
    rm -f "$dir/ready" "$dir"/session.*.log
    setsid "$python" "$here/ftpproxy_server.py" "$dir" "$target" "$user" "$password" \
        "$puser" "$ppass" "${ports[@]}" </dev/null >>"$dir/server.log" 2>&1 &
    echo $! >"$pidfile"
    local i
    for i in $(seq 1 100); do
        [[ -f "$dir/ready" ]] && break
        running_pid >/dev/null || break
        sleep 0.1
    done
    if [[ ! -f "$dir/ready" ]]; then
        echo "ftpproxy.sh: proxy did not start; its log:" >&2
        tail -n 30 "$dir/server.log" >&2 || true
        do_stop
        return 1
    fi
    {
        echo "HOST=127.0.0.1"
        echo "PORT=${ports[0]}"
        for i in 0 1 2 3 4; do echo "${names[$i]}_PORT=${ports[$i]}"; done
        echo "TARGET=$target"
        echo "USER=$user"
        echo "PASSWORD=$password"
        echo "PROXY_USER=$puser"
        echo "PROXY_PASSWORD=$ppass"
        echo "LOG_DIR=$dir"
    } >"$envfile.tmp"
    mv -f "$envfile.tmp" "$envfile"
}

case "$cmd" in
start) do_start ;;
stop) do_stop ;;
restart) do_stop; do_start ;;
*) echo "usage: $0 start|stop|restart STATE_DIR" >&2; exit 2 ;;
esac
