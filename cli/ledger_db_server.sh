#!/usr/bin/env bash
# A PostgreSQL server of the tests' own for the database ledger, in a folder of the build:
#   ledger_db_server.sh start DIR   initdb (first time), start on 127.0.0.1 on a free port,
#                                   create the database "line"; writes DIR/odbc/odbcinst.ini
#                                   (the driver, for ODBCSYSINI) and DIR/connection (the
#                                   connection string tolka takes after "odbc:")
#   ledger_db_server.sh stop DIR    immediate stop (also: kill, a server that died mid-test)
#   ledger_db_server.sh restart DIR stop and start on the same port
#   ledger_db_server.sh psql DIR SQL...  runs SQL in the database, unaligned output
# The server's log (DIR/server.log) names every connection made to it.
# The server refuses to run as root: as root it runs as the user postgres, in a folder that
# user owns. Every wait is bounded; a server that cannot be started fails the caller.
set -u
action=${1:?action}
dir=${2:?folder}
pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
driver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so
data=$dir/data
log=$dir/server.log

fail() { echo "ledger_db_server: $*" >&2; [ -f "$log" ] && tail -n 20 "$log" >&2; exit 1; }

as_server() {
    if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

free_port() {
    local port
    for _ in $(seq 1 50); do
        port=$((20000 + RANDOM % 20000))
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "$port"
            return 0
        fi
    done
    return 1
}

start() {
    [ -x "$pgbin/initdb" ] || fail "PostgreSQL is not installed (scripts/setup.sh installs it)"
    [ -f "$driver" ] || fail "the PostgreSQL ODBC driver is not installed (odbc-postgresql)"
    mkdir -p "$dir"
    if [ "$(id -u)" = 0 ]; then chown postgres "$dir"; fi
    if [ ! -f "$data/PG_VERSION" ]; then
        rm -rf "$data"
        as_server "$pgbin/initdb" -D "$data" -U tolka -A trust --no-sync -E UTF8 --locale=C >"$dir/initdb.log" 2>&1 ||
            fail "initdb failed: $(tail -n 5 "$dir/initdb.log")"
    fi
    local port
    port=$(cat "$dir/port" 2>/dev/null) || port=$(free_port) || fail "no free port"
    echo "$port" >"$dir/port"
    as_server "$pgbin/pg_ctl" -D "$data" -l "$log" -w -t 30 -o \
        "-c listen_addresses=127.0.0.1 -p $port -c unix_socket_directories=$dir -c fsync=off -c log_connections=on" \
        start >/dev/null ||
        fail "the server did not start"
    sql postgres "SELECT 1 FROM pg_database WHERE datname = 'line'" | grep -q 1 ||
        sql postgres "CREATE DATABASE line" >/dev/null || fail "cannot create the database"
    mkdir -p "$dir/odbc"
    printf '[PostgreSQL Unicode]\nDriver=%s\n' "$driver" >"$dir/odbc/odbcinst.ini"
    : >"$dir/odbc/odbc.ini"
    printf 'Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=%s;Database=line;Uid=tolka;Pwd=unused;Protocol=7.4-1' \
        "$port" >"$dir/connection"
}

stop() {
    [ -f "$data/postmaster.pid" ] || return 0
    as_server "$pgbin/pg_ctl" -D "$data" -m immediate -w -t 30 stop >/dev/null 2>&1 || fail "the server did not stop"
}

sql() {
    local db=$1
    shift
    timeout 30 "$pgbin/psql" -h 127.0.0.1 -p "$(cat "$dir/port")" -U tolka -d "$db" -X -q -A -t -v ON_ERROR_STOP=1 -c "$*"
}

case $action in
    start) start ;;
    stop) stop ;;
    restart) stop && start ;;
    psql) shift 2 && sql line "$@" ;;
    *) fail "unknown action $action" ;;
esac
