# Shared pieces of the server scripts dnsmasq.sh, chrony.sh, inetd.sh, nntp.sh and winrm.sh.
# Each script sets `name` (the server's name) before sourcing this file.
source "$(dirname "${BASH_SOURCE[0]}")/common-port.sh"

usage_and_args() {
    cmd="${1:-}"
    state="${2:-}"
    if [[ -z "$cmd" || -z "$state" ]]; then
        echo "usage: $0 start|stop STATE_DIR" >&2
        exit 2
    fi
    mkdir -p "$state"
    state="$(cd "$state" && pwd)"
    dir="$state/$name"
    pidfile="$dir/$name.pid"
    envfile="$state/$name.env"
    mkdir -p "$dir"
}

running_pid() {
    local pid
    [[ -f "$pidfile" ]] || return 1
    pid="$(cat "$pidfile" 2>/dev/null || true)"
    [[ -n "$pid" ]] && pid_alive "$pid" || return 1
    echo "$pid"
}

tcp_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# Ends the process of the pid file: TERM, up to 5 s, then KILL. Idempotent.
stop_by_pidfile() {
    local pid i
    if pid="$(running_pid)"; then
        kill "$pid" 2>/dev/null || true
        for i in $(seq 1 50); do
            pid_alive "$pid" || break
            sleep 0.1
        done
        pid_alive "$pid" && kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$pidfile"
}

# Waits until `$1` (a command) succeeds, at most `$2` tenths of a second.
wait_for() {
    local i
    for i in $(seq 1 "$2"); do
        if eval "$1"; then return 0; fi
        sleep 0.1
    done
    return 1
}

write_env() {
    printf '%s\n' "$@" >"$envfile.tmp"
    mv -f "$envfile.tmp" "$envfile"
}
