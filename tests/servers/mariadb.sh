#!/usr/bin/env bash
# A private MariaDB server for the integration tests and for ./run.sh on a fresh machine.
#   mariadb.sh start|stop|restart STATE_DIR
# start: creates STATE_DIR/mariadb/data on first use, runs mariadbd on 127.0.0.1 at a free
# high port (kept across restarts) with its socket in STATE_DIR, root without password,
# waits until it answers and writes STATE_DIR/mariadb.env (HOST, PORT, SOCKET). A server
# that already runs from STATE_DIR is reused.
# stop: ends the server by its pid file and waits for it; nothing to do when none runs.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common-port.sh"

cmd="${1:-}"
state="${2:-}"
if [[ -z "$cmd" || -z "$state" ]]; then
    echo "usage: $0 start|stop|restart STATE_DIR" >&2
    exit 2
fi
mkdir -p "$state"
state="$(cd "$state" && pwd)"
dir="$state/mariadb"
data="$dir/data"
pidfile="$dir/mariadbd.pid"
# The socket path must stay short (sun_path holds 107 bytes).
sock="$dir/mariadb.sock"
if ((${#sock} > 100)); then
    sock="/tmp/velmora-mariadb-$(echo -n "$dir" | md5sum | cut -c1-12).sock"
fi
portfile="$dir/port"
envfile="$state/mariadb.env"

find_bin() {
    local name
    for name in "$@"; do
        if command -v "$name" >/dev/null 2>&1; then command -v "$name"; return 0; fi
        for d in /usr/sbin /usr/bin /usr/local/sbin /usr/local/bin; do
            if [[ -x "$d/$name" ]]; then echo "$d/$name"; return 0; fi
        done
    done
    echo "mariadb.sh: none of $* found" >&2
    return 1
}

running_pid() {
    local pid
    [[ -f "$pidfile" ]] || return 1
    pid="$(cat "$pidfile" 2>/dev/null || true)"
    [[ -n "$pid" ]] && pid_alive "$pid" || return 1
    echo "$pid"
}

answers() {
    "$admin" --no-defaults --protocol=socket -S "$sock" -uroot --connect-timeout=2 ping >/dev/null 2>&1
}

pick_port() {
    local p
    if [[ -f "$portfile" ]]; then
        p="$(cat "$portfile")"
        if ! port_listening "$p"; then echo "$p"; return 0; fi
    fi
    p="$(free_port)" || return 1
    echo "$p" >"$portfile"
    echo "$p"
}

write_env() {
    printf 'HOST=127.0.0.1\nPORT=%s\nSOCKET=%s\n' "$(cat "$portfile")" "$sock" >"$envfile.tmp"
    mv -f "$envfile.tmp" "$envfile"
}

do_start() {
    mkdir -p "$dir"
    if running_pid >/dev/null && answers; then
        write_env
        return 0
    fi
    # A server that runs but does not answer, or a stale pid file: start over.
    do_stop
    if [[ ! -d "$data/mysql" ]]; then
        rm -rf "$data"
        mkdir -p "$data"
        "$installdb" --no-defaults --datadir="$data" "${runas[@]}" \
            --auth-root-authentication-method=normal --skip-test-db \
            >"$dir/install.log" 2>&1 || {
            echo "mariadb.sh: mariadb-install-db failed:" >&2
            cat "$dir/install.log" >&2
            return 1
        }
    fi
    local port
    port="$(pick_port)"
    rm -f "$sock"
    # setsid: the server must not belong to the caller's process group or terminal.
    setsid "$server" --no-defaults --datadir="$data" "${runas[@]}" \
        --bind-address=127.0.0.1 --port="$port" --socket="$sock" --pid-file="$pidfile" \
        --log-error="$dir/error.log" --skip-name-resolve --skip-log-bin \
        --innodb-buffer-pool-size=32M --innodb-log-file-size=16M \
        --max-connections=200 --character-set-server=utf8mb4 \
        </dev/null >>"$dir/server.out" 2>&1 &
    local i
    for i in $(seq 1 600); do
        if answers; then break; fi
        sleep 0.1
    done
    if ! answers; then
        echo "mariadb.sh: server did not answer; its log:" >&2
        tail -n 40 "$dir/error.log" >&2 || true
        return 1
    fi
    # Loopback TCP clients arrive as 127.0.0.1 (names are not resolved): give root there too.
    "$client" --no-defaults --protocol=socket -S "$sock" -uroot -e \
        "CREATE USER IF NOT EXISTS 'root'@'127.0.0.1'; GRANT ALL PRIVILEGES ON *.* TO 'root'@'127.0.0.1' WITH GRANT OPTION; CREATE USER IF NOT EXISTS 'root'@'::1'; GRANT ALL PRIVILEGES ON *.* TO 'root'@'::1' WITH GRANT OPTION; FLUSH PRIVILEGES;"
    write_env
}

do_stop() {
    local pid i
    if pid="$(running_pid)"; then
        kill -TERM "$pid" 2>/dev/null || true
        for i in $(seq 1 300); do
            pid_alive "$pid" || break
            sleep 0.1
        done
        if pid_alive "$pid"; then
            kill -KILL "$pid" 2>/dev/null || true
            for i in $(seq 1 50); do
                pid_alive "$pid" || break
                sleep 0.1
            done
        fi
    fi
    rm -f "$pidfile"
}

# As root (CI) the server must be told to stay root; other users run it as themselves.
runas=()
if [[ $(id -u) -eq 0 ]]; then runas=(--user=root); fi

server="$(find_bin mariadbd mysqld)"
installdb="$(find_bin mariadb-install-db mysql_install_db)"
admin="$(find_bin mariadb-admin mysqladmin)"
client="$(find_bin mariadb mysql)"

case "$cmd" in
start) do_start ;;
stop) do_stop ;;
restart) do_stop; do_start ;;
*) echo "usage: $0 start|stop|restart STATE_DIR" >&2; exit 2 ;;
esac
