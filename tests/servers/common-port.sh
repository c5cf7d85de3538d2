# Shared by the server scripts: free loopback ports, waiting for a listener, process
# liveness and stopping by pid file. Every server script that picks its own ports sources it.

# The ports the test servers choose from: high ports below the kernel's ephemeral range.
# A port inside that range may be, at any moment, the local end of some client connection
# (a test's database connection, say); a listener that binds it then fails even though
# nothing listens there. Below the range only other listeners can hold a port.
port_range() {
    local low high
    read -r low high </proc/sys/net/ipv4/ip_local_port_range 2>/dev/null || { low=32768; high=60999; }
    if ((low > 21000)); then
        echo "20000 $((low - 1))"
    elif ((high < 64000)); then
        echo "$((high + 1)) 65000"
    else
        echo "20000 30000"
    fi
}

# True while something accepts TCP connections on 127.0.0.1:$1.
port_listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# True when some TCP or UDP socket on this machine uses local port $1, in any state. For a
# new port only: a server's own port keeps closed connections in TIME_WAIT for a while after
# it stops, and a restart must still get that port back (see port_listening).
port_taken() {
    if ss -Htuan 2>/dev/null | awk '{print $5}' | grep -q ":$1\$"; then
        return 0
    fi
    port_listening "$1"
}

# Prints a port of port_range that no socket uses, for TCP and UDP alike.
free_port() {
    local low high p
    read -r low high < <(port_range)
    for _ in $(seq 1 200); do
        p=$((low + RANDOM % (high - low + 1)))
        if ! port_taken "$p"; then
            echo "$p"
            return 0
        fi
    done
    echo "$(basename "$0"): no free port found" >&2
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

# True while process $1 exists and has not ended. A process that ended but was not reaped
# (its parent gone, and no init that reaps orphans) stays as a zombie: that counts as ended.
pid_alive() {
    local state
    # The state follows the command name in parentheses, which may itself hold blanks.
    state=$(sed -e 's/^.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1) || return 1
    [[ -n $state && $state != Z && $state != X ]]
}

# Stops the process in pid file $1: TERM, then KILL after a few seconds.
stop_pidfile() {
    local f=$1 pid
    [[ -f $f ]] || return 0
    pid=$(cat "$f" 2>/dev/null || true)
    if [[ -n $pid ]] && pid_alive "$pid"; then
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 1 50); do
            pid_alive "$pid" || break
            sleep 0.1
        done
        pid_alive "$pid" && kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$f"
}
