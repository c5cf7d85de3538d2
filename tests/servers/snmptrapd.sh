#!/usr/bin/env bash
# snmptrapd on 127.0.0.1 and a free UDP port, accepting v1/v2c traps for the communities
# "public" and "private" and v3 traps (authNoPriv, SHA) for the USM user below, one line per
# trap in STATE_DIR/snmptrapd/traps.log. Private configuration and persistent directory.
#   snmptrapd.sh start|stop STATE_DIR
#   -> STATE_DIR/snmptrapd.env: PORT, LOG, V3_USER, V3_PASSWORD, V3_ENGINE_ID
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/common-port.sh"
cmd="$1"
state="$(mkdir -p "$2" && cd "$2" && pwd)"
dir="$state/snmptrapd"
env="$state/snmptrapd.env"
user=alarmuser
password=alarmpass123
engine=0x80001f8803a1b2c3d4e5

stop() {
    if [[ -f "$dir/pid" ]]; then
        local pid
        pid="$(cat "$dir/pid")"
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do pid_alive "$pid" || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
        rm -f "$dir/pid"
    fi
    rm -f "$env"
}

case "$cmd" in
start)
    stop
    rm -rf "$dir/persist"
    mkdir -p "$dir/persist"
    port="$(free_port)"
    : >"$dir/traps.log"
    cat >"$dir/snmptrapd.conf" <<CONF
createUser -e $engine $user SHA "$password"
authUser log $user auth
authCommunity log public
authCommunity log private
format1 TRAP v1 %P enterprise=%N generic=%w specific=%q\n
format2 TRAP %P vars=%V~%v\n
CONF
    SNMP_PERSISTENT_DIR="$dir/persist" MIBS="" setsid /usr/sbin/snmptrapd -f -C -c "$dir/snmptrapd.conf" \
        -On -n -Lf "$dir/traps.log" -p "$dir/snmptrapd.pid" "udp:127.0.0.1:$port" \
        >"$dir/server.log" 2>&1 </dev/null &
    echo $! >"$dir/pid"
    for _ in $(seq 50); do
        ss -Hlun "sport = :$port" 2>/dev/null | grep -q . && break
        sleep 0.1
    done
    ss -Hlun "sport = :$port" | grep -q . || { cat "$dir/server.log" >&2; stop; exit 1; }
    printf 'PORT=%s\nLOG=%s\nV3_USER=%s\nV3_PASSWORD=%s\nV3_ENGINE_ID=%s\n' \
        "$port" "$dir/traps.log" "$user" "$password" "$engine" >"$env"
    ;;
stop) stop ;;
*) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
