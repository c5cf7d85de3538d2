# Shared by the server scripts that keep their ports in "$dir/port.NAME" files: a free
# loopback port that stays the same across restarts while nothing else took it (chosen by
# common-port.sh, which also brings pid_alive). Source it after setting $dir.

source "$(dirname "${BASH_SOURCE[0]}")/common-port.sh"

# The port remembered for listener $1, or a new free one (remembered from now on).
pick_port() {
    local name="$1" file="$dir/port.$1" p i
    if [[ -f "$file" ]]; then
        p="$(cat "$file")"
        if ! port_listening "$p"; then echo "$p"; return 0; fi
    fi
    for i in $(seq 1 20); do
        p="$(free_port)" || break
        if ! grep -qx "$p" "$dir"/port.* 2>/dev/null; then
            echo "$p" >"$file"; echo "$p"; return 0
        fi
    done
    echo "$(basename "$0"): no free port for $name" >&2
    return 1
}
