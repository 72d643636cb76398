#!/usr/bin/env bash
# The sample and test data sources, in a private ODBC configuration (never /etc).
#
#   datasources.sh config DIR   write DIR/odbcinst.ini, DIR/odbc.ini, DIR/user.ini and DIR/env.sh
#   datasources.sh sqlite DIR   (re)create the bundled SQLite sample DIR/shop.sqlite
#   datasources.sh start DIR    start PostgreSQL 15 and MariaDB 10.11 on loopback from DIR/servers,
#                               each holding the same sample
#   datasources.sh stop DIR     stop both servers and remove their data
#   datasources.sh all DIR      config, sqlite and start
#
# Then: source DIR/env.sh (exports ODBCSYSINI and ODBCINI). DSNs: ShopSQLite, ShopPostgres, ShopMariaDB.
# The server DSNs carry no password: user "velkaro", password "velkaro-pw".
#
# A Unix socket's path may hold at most 107 bytes, so the servers' sockets live in a short private
# folder (under $XDG_RUNTIME_DIR, or /tmp when run as root) whatever the checkout's depth;
# DIR/servers/pg/socket-dir names PostgreSQL's.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
command=${1:?usage: datasources.sh config|sqlite|start|stop|all DIR}
dir=${2:?usage: datasources.sh config|sqlite|start|stop|all DIR}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

pg_port=${VELKARO_PG_PORT:-55432}
maria_port=${VELKARO_MARIA_PORT:-53306}
odbc_lib=/usr/lib/x86_64-linux-gnu/odbc
pg_bin=/usr/lib/postgresql/15/bin
servers=$dir/servers
sockets_file=$servers/socket-dir
user=velkaro
password=velkaro-pw

as_service_user() { # user command...
    local who=$1; shift
    if [ "$(id -u)" -eq 0 ]; then runuser -u "$who" -- "$@"; else "$@"; fi
}

write_config() {
    cat > "$dir/odbcinst.ini" <<INI
[SQLite3]
Description=SQLite 3 ODBC driver
Driver=$odbc_lib/libsqlite3odbc.so

[PostgreSQL ANSI]
Description=PostgreSQL ODBC driver (ANSI)
Driver=$odbc_lib/psqlodbca.so

[PostgreSQL Unicode]
Description=PostgreSQL ODBC driver (Unicode)
Driver=$odbc_lib/psqlodbcw.so

[MariaDB]
Description=MariaDB Connector/ODBC
Driver=$odbc_lib/libmaodbc.so
INI
    cat > "$dir/odbc.ini" <<INI
[ShopSQLite]
Description=Bundled shop sample (SQLite)
Driver=SQLite3
Database=$dir/shop.sqlite

[ShopPostgres]
Description=Shop sample on PostgreSQL 15 (loopback)
Driver=PostgreSQL ANSI
Servername=127.0.0.1
Port=$pg_port
Database=shop

[ShopMariaDB]
Description=Shop sample on MariaDB 10.11 (loopback)
Driver=MariaDB
Server=127.0.0.1
Port=$maria_port
Database=shop
CHARSET=utf8mb4
INI
    : > "$dir/user.ini"
    cat > "$dir/env.sh" <<ENV
export ODBCSYSINI="$dir"
export ODBCINI="$dir/user.ini"
export VELKARO_ODBC_DIR="$dir"
ENV
}

fail() { # message log
    echo "datasources.sh: $1; read $2" >&2
    exit 1
}

make_socket_folder() {
    local parent=/tmp
    [ "$(id -u)" -ne 0 ] && [ -n "${XDG_RUNTIME_DIR:-}" ] && [ -d "$XDG_RUNTIME_DIR" ] && parent=$XDG_RUNTIME_DIR
    sockets=$(mktemp -d "$parent/velkaro-db.XXXXXX")
    chmod 755 "$sockets" # the service users go through it to their own folders
    mkdir -p "$servers"
    echo "$sockets" > "$sockets_file"
}

make_sqlite() {
    rm -f "$dir/shop.sqlite"
    bash "$here/sample-sql.sh" sqlite | sqlite3 "$dir/shop.sqlite"
}

start_postgres() {
    local base=$servers/pg
    local sock=$sockets/pg
    rm -rf "$base"
    mkdir -p "$base" "$sock"
    echo "$sock" > "$base/socket-dir"
    [ "$(id -u)" -eq 0 ] && chown -R postgres:postgres "$base" "$sock"
    as_service_user postgres "$pg_bin/initdb" -D "$base/data" -U postgres --auth-local=trust \
        --auth-host=scram-sha-256 -E UTF8 --locale=C.UTF-8 > "$base/initdb.log" 2>&1 ||
        fail "PostgreSQL's initdb failed" "$base/initdb.log"
    as_service_user postgres "$pg_bin/pg_ctl" -D "$base/data" -l "$base/log" -w \
        -o "-c listen_addresses=127.0.0.1 -p $pg_port -k $sock" start > /dev/null ||
        fail "PostgreSQL did not start on port $pg_port" "$base/log"
    local psql=(as_service_user postgres psql -q -v ON_ERROR_STOP=1 -h "$sock" -p "$pg_port")
    # scratch: for tests that make tables of their own, out of sight of the tests that list the shop.
    "${psql[@]}" -U postgres -d postgres \
        -c "CREATE ROLE $user LOGIN PASSWORD '$password'" -c "CREATE DATABASE shop OWNER $user" \
        -c "CREATE DATABASE scratch OWNER $user"
    bash "$here/sample-sql.sh" postgres | "${psql[@]}" -U "$user" -d shop > /dev/null
}

start_mariadb() {
    local base=$servers/maria
    local sock=$sockets/maria
    rm -rf "$base"
    mkdir -p "$base/data" "$sock"
    [ "$(id -u)" -eq 0 ] && chown -R mysql:mysql "$base" "$sock"
    as_service_user mysql mariadb-install-db --no-defaults --datadir="$base/data" \
        --auth-root-authentication-method=socket --skip-test-db --skip-name-resolve > "$base/install.log" 2>&1 ||
        fail "mariadb-install-db failed" "$base/install.log"
    as_service_user mysql mariadbd --no-defaults --datadir="$base/data" --socket="$sock/maria.sock" \
        --port="$maria_port" --bind-address=127.0.0.1 --skip-name-resolve --pid-file="$base/maria.pid" \
        --log-error="$base/error.log" --character-set-server=utf8mb4 --collation-server=utf8mb4_unicode_ci \
        > /dev/null 2>&1 &
    local up=false
    for _ in $(seq 1 100); do
        mariadb-admin --no-defaults -S "$sock/maria.sock" -u "$(id -un)" ping > /dev/null 2>&1 && up=true && break
        sleep 0.2
    done
    $up || fail "MariaDB did not start on port $maria_port" "$base/error.log"
    local client=(mariadb --no-defaults -S "$sock/maria.sock" -u "$(id -un)" --default-character-set=utf8mb4)
    "${client[@]}" <<SQL
CREATE DATABASE shop CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci;
CREATE USER '$user'@'127.0.0.1' IDENTIFIED BY '$password';
CREATE USER '$user'@'localhost' IDENTIFIED BY '$password';
GRANT ALL ON shop.* TO '$user'@'127.0.0.1';
GRANT ALL ON shop.* TO '$user'@'localhost';
-- Databases the tests make for themselves, to check that a search stays in the data source's own.
GRANT ALL ON \`scratch\\_%\`.* TO '$user'@'127.0.0.1';
GRANT ALL ON \`scratch\\_%\`.* TO '$user'@'localhost';
SQL
    bash "$here/sample-sql.sh" mariadb | "${client[@]}" -D shop
}

stop_servers() {
    if [ -f "$servers/pg/data/postmaster.pid" ]; then
        as_service_user postgres "$pg_bin/pg_ctl" -D "$servers/pg/data" -m fast -w stop > /dev/null || true
    fi
    if [ -f "$servers/maria/maria.pid" ]; then
        local pid
        pid=$(cat "$servers/maria/maria.pid")
        kill "$pid" 2> /dev/null || true
        for _ in $(seq 1 100); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
    fi
    if [ -f "$sockets_file" ]; then
        local sockets
        sockets=$(cat "$sockets_file")
        case $sockets in */velkaro-db.*) rm -rf "$sockets" ;; esac
    fi
    rm -rf "$servers"
}

start_servers() {
    stop_servers
    make_socket_folder
    start_postgres
    start_mariadb
}

case $command in
config) write_config ;;
sqlite) make_sqlite ;;
start) start_servers ;;
stop) stop_servers ;;
all) write_config; make_sqlite; start_servers ;;
*) echo "unknown command $command" >&2; exit 2 ;;
esac
