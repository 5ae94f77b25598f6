#!/usr/bin/env bash
# The database ledger end to end: tolka.exe under Wine, through Wine's odbc32 and the host's
# ODBC driver manager and PostgreSQL driver, against the tests' own server on 127.0.0.1
# (ledger_db_server.sh, started by the ctest fixture). Each station is a tolka.exe with a
# virtual board of its own.
#   tolka_ledger_db_test.sh <folder of tolka.exe> <server folder>
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=$1
db=$2
source "$repo/scripts/wine-env.sh"
"$repo/scripts/wineprefix.sh" >&2 || exit 1
export ODBCSYSINI=$db/odbc
# One Wine server for all the runs below, instead of one started anew for each (seconds each).
wineserver -p 20 </dev/null >/dev/null 2>&1
work=$db/test
rm -rf "$work"
mkdir -p "$work"
[ -f "$db/connection" ] || { echo "FAIL: the server is not running (no $db/connection)"; exit 1; }
ledger="odbc:$(cat "$db/connection")"
passed=0
failed=0

server() { bash "$repo/cli/ledger_db_server.sh" "$1" "$db" "${@:2}"; }
sql() { server psql "$*"; }
winpath() { echo "Z:${1//\//\\}"; }

check() {
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1))
        echo "ok   $1"
    else
        failed=$((failed + 1))
        echo "FAIL $1: got '$2', expected '$3'"
    fi
}

# tolka.exe at station K (its own board); the command's exit code is tolka's.
tolka() {
    local k=$1
    shift
    tolka_output_after timeout 120 env TOLKA_VIRTUAL_BOARD="$(winpath "$work/board$k")" \
        TOLKA_VIRTUAL_BOARD_SILENT=1 LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 wine "$bin/tolka.exe" "$@"
}

new_board() {
    rm -rf "$work/board$1"
    mkdir -p "$work/board$1"
    printf '[board]\nattached=1\ninterface=0x80000000\n' >"$work/board$1/board.ini"
}

# The Numbers in the valid slots of a board's product-information area (32 slots of 32
# little-endian words: the status word and its zero neighbour first, the Number sixth).
board_numbers() {
    local flash=$work/board$1/flash.bin
    [ -f "$flash" ] || return 0
    od -A n -v -t u4 -j $((0x7000)) -N 4096 "$flash" | tr -s ' ' '\n' | grep -v '^$' |
        awk '{ w[NR - 1] = $1 } END { for (s = 0; s < 32; s++) if (w[s * 32] == 0) print w[s * 32 + 5] }'
}

# Three stations writing `boards` boards each at once; their exit codes in $work/exit<K>.
run_stations() {
    local boards=$1 k
    for k in 1 2 3; do
        new_board "$k"
        { for _ in $(seq 2 "$boards"); do echo; done; echo q; } |
            tolka "$k" pi write "$(winpath "$work/line.tpi")" --ledger "$ledger" --ledger-timeout 10 --repeat \
                --lang en >"$work/out$k" 2>"$work/err$k" &
        echo $! >"$work/pid$k"
    done
}

wait_stations() {
    local k
    for k in 1 2 3; do
        wait "$(cat "$work/pid$k")"
        echo $? >"$work/exit$k"
    done
}

sql "DROP TABLE IF EXISTS tolka_ledger; DROP TABLE IF EXISTS tolka_ledger_version" || exit 1
new_board 0
tolka 0 pi make --uuid 3aa4096d-2cc0-46dd-878a-88511d75ac78 --number 1000 --product Varnex --maker Tolka \
    -o "$(winpath "$work/line.tpi")" >/dev/null || { echo "FAIL: pi make"; exit 1; }

# The connections tolka made since the server's log had `lines` lines (psql names itself).
tolka_connections() {
    tail -n +"$(($1 + 1))" "$db/server.log" | grep 'connection authorized: user=tolka database=line' |
        grep -vc 'application_name=psql'
}

echo "--- three stations, 20 boards each, at once (at ${SECONDS} s)"
start=$(date +%s)
log_lines=$(wc -l <"$db/server.log")
run_stations 20
wait_stations
for k in 1 2 3; do check "station $k exit code" "$(cat "$work/exit$k")" 0; done
check "one connection per station for its whole line" "$(tolka_connections "$log_lines")" 3
check "reserved rows" "$(sql "SELECT count(*) FROM tolka_ledger WHERE status = 'reserved'")" 60
check "distinct reserved Numbers" "$(sql "SELECT count(DISTINCT number) FROM tolka_ledger WHERE status = 'reserved'")" 60
check "ok rows, one per reservation" "$(sql "SELECT count(*) FROM tolka_ledger o JOIN tolka_ledger r ON r.number = o.number
    AND r.reservation = o.reservation AND r.status = 'reserved' WHERE o.status = 'ok'")" 60
check "the range" "$(sql "SELECT min(number) || '-' || max(number) FROM tolka_ledger")" "1000-1059"
check "every line names its host" "$(sql "SELECT count(*) FROM tolka_ledger WHERE host = ''")" 0
check "Numbers on the boards" "$(for k in 1 2 3; do board_numbers $k; done | sort -n | uniq | wc -l)" 60
echo "    $(($(date +%s) - start)) s"

echo "--- ledger show, export and report (at ${SECONDS} s)"
tolka 0 ledger show "$ledger" --json >"$work/show" 2>&1
check "show: exit code" "$?" 0
check "show: totals" "$(grep -o '"total":{"reserved":60,"ok":60,"failed":0,"highest":1059,"gaps":\[\]}' "$work/show" | wc -l)" 1
check "show: no password" "$(grep -c 'Pwd=unused' "$work/show")" 0
tolka 0 ledger export "$ledger" -o "$(winpath "$work/export.csv")" >/dev/null 2>&1
check "export: exit code" "$?" 0
check "export: lines" "$(grep -c $'\r$' "$work/export.csv")" 121
check "export: byte-order mark" "$(head -c 3 "$work/export.csv" | od -A n -t x1 | tr -d ' ')" efbbbf
tolka 0 ledger report "$ledger" -o "$(winpath "$work/report.html")" --json >"$work/report" 2>&1
check "report: totals" "$(grep -o '"lines":120,"total":{"reserved":60,"ok":60,"failed":0,"gaps":0}' "$work/report" | wc -l)" 1
check "report: the page, without the password" "$(grep -c '</html>' "$work/report.html")/$(grep -c 'Pwd=unused' "$work/report.html")" 1/0

echo "--- the server restarted in the middle of a run (at ${SECONDS} s)"
start=$(date +%s)
run_stations 20
for _ in $(seq 1 300); do
    [ "$(sql "SELECT count(*) FROM tolka_ledger WHERE status = 'ok' AND number > 1059")" -ge 9 ] && break
    sleep 0.1
done
server restart || { echo "FAIL: the server did not start again"; exit 1; }
wait_stations
codes=$(cat "$work"/exit[123] | tr '\n' ' ')
echo "    exit codes: $codes($(($(date +%s) - start)) s)"
check "exit codes 0 or 10" "$(grep -cvE '^(0|10)$' "$work"/exit[123] | awk -F: '{s += $NF} END {print s}')" 0
for k in 1 2 3; do board_numbers $k; done | sort >"$work/on-boards"
check "no Number on two boards" "$(uniq -d "$work/on-boards" | wc -l)" 0
check "every Number on a board was reserved" "$(uniq "$work/on-boards" |
    comm -23 - <(sql "SELECT number FROM tolka_ledger WHERE status = 'reserved'" | sort) | wc -l)" 0
check "every ok Number is on a board" "$(sql "SELECT number FROM tolka_ledger WHERE status = 'ok' AND number > 1059" |
    sort | comm -23 - <(uniq "$work/on-boards") | wc -l)" 0
check "no outcome without its reservation" "$(sql "SELECT count(*) FROM tolka_ledger o WHERE o.status <> 'reserved'
    AND NOT EXISTS (SELECT 1 FROM tolka_ledger r WHERE r.status = 'reserved' AND r.reservation = o.reservation
    AND r.number = o.number)")" 0
check "no Number both ok and failed" "$(sql "SELECT count(*) FROM tolka_ledger o JOIN tolka_ledger f
    ON f.number = o.number AND f.status = 'failed' WHERE o.status = 'ok'")" 0

echo "--- a ledger of layout 1 used as it is, then upgraded (at ${SECONDS} s)"
# The tables as the first tolka made them: without layout 2's columns.
sql "ALTER TABLE tolka_ledger DROP operator_id, DROP recipe, DROP version, DROP duration_ms, DROP cause,
    DROP replaces; UPDATE tolka_ledger_version SET version = 1;
    DROP ROLE IF EXISTS tolka_noread; CREATE ROLE tolka_noread LOGIN" || exit 1
new_board 2
tolka 2 pi write "$(winpath "$work/line.tpi")" --ledger "$ledger" >/dev/null 2>&1
check "layout 1: a board written" "$?" 0
tolka 2 ledger upgrade "$ledger" >/dev/null 2>&1
check "upgrade: exit code, layout, columns" "$?/$(sql "SELECT version FROM tolka_ledger_version")/$(sql "SELECT count(*)
    FROM tolka_ledger WHERE operator_id = '' AND duration_ms IS NULL")" "0/2/$(sql "SELECT count(*) FROM tolka_ledger")"
tolka 2 ledger show "${ledger/Uid=tolka;/Uid=tolka_noread;}" --lang en >/dev/null 2>"$work/err-noread"
check "an account that may not read: told" "$?/$(grep -c "may not read the ledger's tables" "$work/err-noread")" 10/1

echo "--- a held lock, a frozen and a stopped server end in exit 10 within the time-out (at ${SECONDS} s)"
# What a run costs besides the ledger: Wine's start and end, in milliseconds. The other
# Windows tests run beside this one, so a later run may cost more than this one did.
start=$(date +%s%N)
tolka 1 help >/dev/null
overhead_ms=$((($(date +%s%N) - start) / 1000000))
# Twice that, the time-out, its grace and ten seconds for a busy machine, in whole seconds: with
# the other tests beside it, a run that ends on its 3 s time-out has taken 8 s in all. The lock
# below is held three times as long, so a run that waits for it cannot pass.
limit=$(((2 * overhead_ms + 999) / 1000 + 3 + 2 + 10))
hold=$((3 * limit))
new_board 1

# A write at station 1 with a ledger that cannot be used: exit 10 in time, the SQLSTATE
# (one of `states`) told, the board untouched.
expect_unusable() {
    local what=$1 states=$2 start took
    start=$(date +%s%N)
    tolka 1 pi write "$(winpath "$work/line.tpi")" --ledger "$ledger" --ledger-timeout 3 --lang en \
        >/dev/null 2>"$work/err-$what"
    check "$what: exit code" "$?" 10
    took=$((($(date +%s%N) - start) / 1000000))
    check "$what: ended within the time-out ($took ms, limit $limit s)" \
        "$([ "$took" -le $((limit * 1000)) ] && echo yes)" yes
    check "$what: its SQLSTATE" "$(grep -cE "SQLSTATE ($states)" "$work/err-$what")" 1
    check "$what: board untouched" "$(board_numbers 1 | wc -l)" 0
}

sql "BEGIN; LOCK TABLE tolka_ledger IN ACCESS EXCLUSIVE MODE; SELECT pg_sleep($hold); COMMIT" >/dev/null 2>&1 &
locker=$!
sleep 1
expect_unusable "held lock" "57014|HYT00"
# The server ends the locker's session; its client alone going would leave the lock held.
sql "SELECT pg_terminate_backend(pid) FROM pg_stat_activity
    WHERE pid <> pg_backend_pid() AND query LIKE '%pg_sleep%'" >/dev/null 2>&1
wait "$locker" 2>/dev/null
# A frozen server: it takes connections (the system does) and never answers.
postmaster=$(head -n 1 "$db/data/postmaster.pid")
kill -STOP "$postmaster"
expect_unusable "frozen server" "08001|HYT00"
kill -CONT "$postmaster"
server stop
expect_unusable "stopped server" "08001|08S01"
server start || exit 1

echo "tolka_ledger_db: $passed passed, $failed failed ($SECONDS s)"
[ "$failed" = 0 ]
