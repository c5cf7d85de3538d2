#!/usr/bin/env bash
# scripts/ensure-database.sh on an application directory whose database does not answer:
# a private server starts, SysInit.ini points at it (other lines kept, mode 0600), the
# configured account can log in, and a second run reuses the running server.
set -euo pipefail
src="$1"
work="$(mktemp -d)"
trap 'bash "$src/tests/servers/mariadb.sh" stop "$work/mariadb-state" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/app/conf"
# Port 1 on loopback: nothing listens there.
printf '[System]\r\nisDebug=0\r\n[Database]\r\nHost=127.0.0.1\r\nPort=1\r\nDBUsername=monitor\r\nDBPassword=pa"ss\r\n[System Log]\r\nFilename=system_\r\n' \
    >"$work/app/conf/SysInit.ini"
"$src/scripts/ensure-database.sh" "$work/app"
port="$(sed -n 's/^PORT=//p' "$work/mariadb-state/mariadb.env")"
[[ -n "$port" && "$port" != 1 ]] || fail "no private server port"
expected="$(printf '[System]\r\nisDebug=0\r\n[Database]\r\nHost=127.0.0.1\r\nPort=%s\r\nDBUsername=monitor\r\nDBPassword=pa"ss\r\n[System Log]\r\nFilename=system_\r\n' "$port")"
[[ "$(cat "$work/app/conf/SysInit.ini")" == "$expected" ]] || { cat -A "$work/app/conf/SysInit.ini" >&2; fail "SysInit.ini not as expected"; }
[[ "$(stat -c %a "$work/app/conf/SysInit.ini")" == 600 ]] || fail "SysInit.ini mode"
mariadb --no-defaults -h 127.0.0.1 -P "$port" -u monitor '-ppa"ss' -e 'select 1' >/dev/null || fail "login as the configured account"

pid="$(cat "$work/mariadb-state/mariadb/mariadbd.pid")"
"$src/scripts/ensure-database.sh" "$work/app"
[[ "$(cat "$work/mariadb-state/mariadb/mariadbd.pid")" == "$pid" ]] || fail "the running server was not reused"
[[ "$(cat "$work/app/conf/SysInit.ini")" == "$expected" ]] || fail "second run changed SysInit.ini"

# A settings file without a [Database] section gets one.
rm -f "$work/app/conf/SysInit.ini"
"$src/scripts/ensure-database.sh" "$work/app"
[[ "$(cat "$work/app/conf/SysInit.ini")" == "$(printf '[Database]\r\nHost=127.0.0.1\r\nPort=%s\r\n' "$port")" ]] ||
    { cat -A "$work/app/conf/SysInit.ini" >&2; fail "new SysInit.ini"; }
echo "ensure-database: ok"
