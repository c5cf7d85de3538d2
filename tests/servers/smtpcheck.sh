#!/usr/bin/env bash
# SMTP servers (python3-aiosmtpd, run with /usr/bin/python3) for the SMTP check tests.
#   smtpcheck.sh start|stop|restart STATE_DIR
# start: runs smtpcheck_server.py on 127.0.0.1 with four listeners at free high ports:
#   PORT (no authentication), AUTH_PORT (AUTH LOGIN required), HELO_PORT (rejects EHLO,
#   accepts HELO), TLS_PORT (implicit TLS, AUTH LOGIN required), and writes
#   STATE_DIR/smtpcheck.env (HOST, the ports, USER, PASSWORD).
# stop: ends the server by its pid file and waits; nothing to do when none runs.
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
dir="$state/smtpcheck"
source "$(dirname "${BASH_SOURCE[0]}")/daemon-lib.sh"
pidfile="$dir/server.pid"
envfile="$state/smtpcheck.env"
user=smtpuser
password='smtp-Pass1'
python=/usr/bin/python3
names=(PLAIN AUTH HELO TLS)

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
    if [[ ! -s "$dir/cert.pem" || ! -s "$dir/key.pem" ]]; then
        openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=localhost" \
            -keyout "$dir/key.pem" -out "$dir/cert.pem" >/dev/null 2>&1
    fi
    local n ports=()
    for n in "${names[@]}"; do ports+=("$(pick_port "$n")"); done
    rm -f "$dir/ready"
    setsid "$python" "$here/smtpcheck_server.py" "$dir" "${ports[@]}" "$user" "$password" \
        "$dir/cert.pem" "$dir/key.pem" </dev/null >>"$dir/server.log" 2>&1 &
    echo $! >"$pidfile"
    local i
    for i in $(seq 1 100); do
        [[ -f "$dir/ready" ]] && break
        running_pid >/dev/null || break
        sleep 0.1
    done
    if [[ ! -f "$dir/ready" ]]; then
        echo "smtpcheck.sh: server did not start; its log:" >&2
        tail -n 30 "$dir/server.log" >&2 || true
        do_stop
        return 1
    fi
    {
        echo "HOST=127.0.0.1"
        echo "PORT=${ports[0]}"
        echo "AUTH_PORT=${ports[1]}"
        echo "HELO_PORT=${ports[2]}"
        echo "TLS_PORT=${ports[3]}"
        echo "USER=$user"
        echo "PASSWORD=$password"
    } >"$envfile.tmp"
    mv -f "$envfile.tmp" "$envfile"
}

case "$cmd" in
start) do_start ;;
stop) do_stop ;;
restart) do_stop; do_start ;;
*) echo "usage: $0 start|stop|restart STATE_DIR" >&2; exit 2 ;;
esac
