#!/usr/bin/env bash
# Gives an application directory a database server to talk to.
#   scripts/ensure-database.sh APP_DIR
# When the server configured in APP_DIR/conf/SysInit.ini ([Database] Host, Port; defaults
# localhost:3306) does not answer, a private MariaDB server is started (or reused) in
# APP_DIR/../mariadb-state with tests/servers/mariadb.sh, and its host and port are written
# into SysInit.ini; every other line of the file stays as it is. The configured user and
# password are given access to the private server.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
app="${1:-}"
if [[ -z "$app" ]]; then
    echo "usage: $0 APP_DIR" >&2
    exit 2
fi
mkdir -p "$app/conf"
app="$(cd "$app" && pwd)"
ini="$app/conf/SysInit.ini"
state="${VELMORA_DB_STATE:-$(dirname "$app")/mariadb-state}"

# The value of KEY in [Database] ("" when absent); keys and section names ignore case.
ini_value() {
    [[ -f "$ini" ]] || return 0
    awk -v want="$1" '
        { sub(/\r$/, "") }
        /^[ \t]*\[/ { s = tolower($0); gsub(/[ \t]/, "", s); insec = (s == "[database]"); next }
        insec {
            eq = index($0, "="); if (eq == 0) next
            k = substr($0, 1, eq - 1); gsub(/^[ \t]+|[ \t]+$/, "", k)
            if (tolower(k) == tolower(want)) { v = substr($0, eq + 1); found = 1 }
        }
        END { if (found) print v }
    ' "$ini"
}

host="$(ini_value Host)"; host="${host:-localhost}"
port="$(ini_value Port)"; port="${port:-3306}"
user="$(ini_value DBUsername)"; user="${user:-root}"
password="$(ini_value DBPassword)"

find_bin() {
    local n d
    for n in "$@"; do
        if command -v "$n" >/dev/null 2>&1; then command -v "$n"; return 0; fi
        for d in /usr/sbin /usr/bin; do [[ -x "$d/$n" ]] && { echo "$d/$n"; return 0; }; done
    done
    return 1
}
admin="$(find_bin mariadb-admin mysqladmin)" || { echo "ensure-database: mariadb-admin not found" >&2; exit 1; }
client="$(find_bin mariadb mysql)" || { echo "ensure-database: mariadb client not found" >&2; exit 1; }

# A server that answers at all (even refusing the login) is the administrator's choice.
if "$admin" --no-defaults -h "$host" -P "$port" -u "$user" --password="$password" \
    --connect-timeout=3 ping >/dev/null 2>&1; then
    exit 0
fi

echo "ensure-database: no database server answers at $host:$port; using a private one in $state" >&2
bash "$root/tests/servers/mariadb.sh" start "$state"
newport="$(sed -n 's/^PORT=//p' "$state/mariadb.env")"
sock="$(sed -n 's/^SOCKET=//p' "$state/mariadb.env")"

# The configured account must be able to log in over TCP.
if [[ "$user" != "root" || -n "$password" ]]; then
    q_user="${user//\\/\\\\}"; q_user="${q_user//\'/\\\'}"
    q_pass="${password//\\/\\\\}"; q_pass="${q_pass//\'/\\\'}"
    "$client" --no-defaults --protocol=socket -S "$sock" -uroot -e "
        CREATE USER IF NOT EXISTS '$q_user'@'127.0.0.1' IDENTIFIED BY '$q_pass';
        ALTER USER '$q_user'@'127.0.0.1' IDENTIFIED BY '$q_pass';
        GRANT ALL PRIVILEGES ON *.* TO '$q_user'@'127.0.0.1' WITH GRANT OPTION;
        FLUSH PRIVILEGES;"
fi

# Host and Port of [Database] replaced or added; the file's own line ends are kept.
tmp="$(mktemp "$app/conf/.SysInit.ini.XXXXXX")"
chmod 600 "$tmp"
{ [[ -f "$ini" ]] && cat "$ini"; true; } | awk -v host="127.0.0.1" -v port="$newport" '
    function eolOf(line) { return (line ~ /\r$/) ? "\r" : "" }
    function addMissing() {
        if (!doneHost) printf "Host=%s%s\n", host, eol
        if (!donePort) printf "Port=%s%s\n", port, eol
        doneHost = donePort = 1
    }
    NR == 1 { eol = eolOf($0) }
    {
        line = $0; sub(/\r$/, "", line)
        if (line ~ /^[ \t]*\[/) {
            if (insec) addMissing()
            s = tolower(line); gsub(/[ \t]/, "", s)
            insec = (s == "[database]")
            if (insec) seen = 1
            print; next
        }
        if (insec) {
            eq = index(line, "=")
            if (eq > 0) {
                k = substr(line, 1, eq - 1); gsub(/^[ \t]+|[ \t]+$/, "", k); k = tolower(k)
                if (k == "host") { printf "Host=%s%s\n", host, eolOf($0); doneHost = 1; next }
                if (k == "port") { printf "Port=%s%s\n", port, eolOf($0); donePort = 1; next }
            }
        }
        print
    }
    END {
        if (NR == 0) eol = "\r"
        if (insec) addMissing()
        if (!seen) { printf "[Database]%s\n", eol; addMissing() }
    }
' >"$tmp"
mv -f "$tmp" "$ini"
chmod 600 "$ini"
echo "ensure-database: $ini now points at 127.0.0.1:$newport" >&2
