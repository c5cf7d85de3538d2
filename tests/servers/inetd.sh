#!/usr/bin/env bash
# Telnet and remote-shell servers for the Telnet and Rsh check tests: a private inetd on
# 127.0.0.1 running telnetd and in.rshd on two free high ports. The rsh test user
# (velmorarsh, home under the state dir) trusts root@localhost through its .rhosts; rshd
# only takes clients on reserved ports, which the check binds as root.
#   inetd.sh start|stop STATE_DIR
#   -> STATE_DIR/inetd.env: HOST, PORT (= TELNET_PORT), TELNET_PORT, RSH_PORT, RSH_USER
set -euo pipefail
name=inetd
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/morechecks-lib.sh"
usage_and_args "$@"
rsh_user=velmorarsh

make_rsh_user() {
    local home="$dir/home"
    mkdir -p "$home"
    if ! id "$rsh_user" >/dev/null 2>&1; then
        useradd --system --no-create-home --home-dir "$home" --shell /bin/sh "$rsh_user"
    else
        usermod --home "$home" "$rsh_user" >/dev/null 2>&1 || true
    fi
    printf 'localhost root\n127.0.0.1 root\n' >"$home/.rhosts"
    chown "$rsh_user" "$home" "$home/.rhosts"
    chmod 755 "$home"
    chmod 600 "$home/.rhosts"
    # The parents of the home must not be writable by others for the .rhosts to count.
    chmod go-w "$dir"
}

do_start() {
    if running_pid >/dev/null && [[ -f "$envfile" ]]; then return 0; fi
    stop_by_pidfile
    make_rsh_user
    local tport rport
    tport="$(free_port)"
    rport="$(free_port)"
    while [[ "$rport" == "$tport" ]]; do rport="$(free_port)"; done
    cat >"$dir/inetd.conf" <<CONF
127.0.0.1:$tport stream tcp nowait root /usr/sbin/telnetd telnetd
127.0.0.1:$rport stream tcp nowait root /usr/sbin/in.rshd in.rshd
CONF
    # -i: stay in the foreground, so the pid of the background job is inetd's own.
    inetd -i "$dir/inetd.conf" >"$dir/inetd.log" 2>&1 &
    echo $! >"$pidfile"
    if ! wait_for "tcp_in_use $tport && tcp_in_use $rport" 50; then
        echo "inetd.sh: inetd did not start" >&2
        cat "$dir/inetd.log" >&2 || true
        stop_by_pidfile
        return 1
    fi
    write_env "HOST=127.0.0.1" "PORT=$tport" "TELNET_PORT=$tport" "RSH_PORT=$rport" "RSH_USER=$rsh_user"
}

case "$cmd" in
start) do_start ;;
stop) stop_by_pidfile; rm -f "$envfile" ;;
*) echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
