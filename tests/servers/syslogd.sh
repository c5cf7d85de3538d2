#!/usr/bin/env bash
# rsyslogd with imudp on 127.0.0.1 and a free port, writing each received message as one line
# ("pri=..|host=..|tag=..|msg=..|raw=..") to STATE_DIR/syslogd/received.log. Private config,
# no system sockets or journal.
#   syslogd.sh start|stop STATE_DIR   -> STATE_DIR/syslogd.env: PORT, LOG
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/common-port.sh"
cmd="$1"
state="$(mkdir -p "$2" && cd "$2" && pwd)"
dir="$state/syslogd"
env="$state/syslogd.env"

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
    mkdir -p "$dir/work"
    port="$(free_port)"
    : >"$dir/received.log"
    cat >"$dir/rsyslog.conf" <<CONF
global(workDirectory="$dir/work" maxMessageSize="8k")
module(load="imudp")
input(type="imudp" address="127.0.0.1" port="$port")
template(name="alarmline" type="string"
         string="pri=%pri%|host=%hostname%|tag=%syslogtag%|msg=%msg%|raw=%rawmsg%\n")
*.* action(type="omfile" file="$dir/received.log" template="alarmline")
CONF
    /usr/sbin/rsyslogd -n -f "$dir/rsyslog.conf" -i "$dir/rsyslogd.pid" >"$dir/server.log" 2>&1 </dev/null &
    echo $! >"$dir/pid"
    for _ in $(seq 50); do
        ss -Hlun "sport = :$port" 2>/dev/null | grep -q . && break
        sleep 0.1
    done
    ss -Hlun "sport = :$port" | grep -q . || { cat "$dir/server.log" >&2; stop; exit 1; }
    printf 'PORT=%s\nLOG=%s\n' "$port" "$dir/received.log" >"$env"
    ;;
stop) stop ;;
*) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
