# Shared by the server scripts: a free TCP port on 127.0.0.1 (not listening now).
free_port() {
    local p
    for _ in $(seq 1 200); do
        p=$((20000 + RANDOM % 40000))
        if ! (exec 3<>/dev/tcp/127.0.0.1/$p) 2>/dev/null; then
            echo "$p"
            return 0
        fi
    done
    return 1
}

# Waits until 127.0.0.1:$1 accepts connections (at most $2 tenths of a second).
wait_port() {
    local port=$1 tries=${2:-100}
    for _ in $(seq 1 "$tries"); do
        if (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Stops the process in pid file $1: TERM, then KILL after a few seconds.
stop_pidfile() {
    local f=$1 pid
    [[ -f $f ]] || return 0
    pid=$(cat "$f" 2>/dev/null || true)
    if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 1 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$f"
}
