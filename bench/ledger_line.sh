#!/usr/bin/env bash
# What a board costs on a production line with each kind of ledger: tolka.exe (x86_64 release,
# under Wine, on the virtual board) writes lines of boards with --repeat, with a file ledger
# and with the database ledger (a PostgreSQL server of the bench's own, cli/ledger_db_server.sh,
# through Wine's odbc32), at one station and at three stations at once.
#
# A board's cost is what a line of N boards takes beyond a line of one board, divided by the
# boards written meanwhile (N-1 per station): Wine's start, the device libraries' loading and
# the database connection belong to the line, not to its boards. Lines of one kind and of the
# other take turns, round after round; the medians are printed with the load average.
#   bash bench/ledger_line.sh [boards] [rounds]     (default 21 boards per station, 7 rounds)
# TOLKA_BENCH_BIN names another folder of tolka.exe and the device libraries (another build's
# bin) to measure instead of this tree's.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
boards=${1:-21}
rounds=${2:-7}
if [ -z "${TOLKA_BENCH_BUILT:-}" ]; then
    bash "$repo/scripts/build.sh" win64 >/dev/null
    bash "$repo/scripts/wineprefix.sh"
fi
source "$repo/scripts/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
    TOLKA_BENCH_BUILT=1 exec bash "$repo/scripts/with-xvfb.sh" bash "$0" "$boards" "$rounds"
fi
bin=${TOLKA_BENCH_BIN:-$TOLKA_BUILD_ROOT/win64/bin}
db=$TOLKA_BUILD_ROOT/win64/ledger-bench-db
work=$db/bench
server() { bash "$repo/cli/ledger_db_server.sh" "$1" "$db" "${@:2}"; }
server start
trap 'server stop' EXIT
export ODBCSYSINI=$db/odbc
wineserver -p 60 </dev/null >/dev/null 2>&1 || true  # already running: it stays
rm -rf "$work"
mkdir -p "$work"
winpath() { echo "Z:${1//\//\\}"; }

# tolka.exe at station K, on a virtual board of its own.
tolka() {
    local k=$1
    shift
    env TOLKA_VIRTUAL_BOARD="$(winpath "$work/board$k")" TOLKA_VIRTUAL_BOARD_SILENT=1 LANG=ja_JP.UTF-8 \
        LC_ALL=ja_JP.UTF-8 wine "$bin/tolka.exe" "$@"
}

new_board() {
    rm -rf "$work/board$1"
    mkdir -p "$work/board$1"
    printf '[board]\nattached=1\ninterface=0x80000000\n' >"$work/board$1/board.ini"
}

# Milliseconds for `stations` lines of `count` boards at once, each at its own station.
run_line() {
    local ledger=$1 stations=$2 count=$3 k start pids=()
    for k in $(seq 1 "$stations"); do new_board "$k"; done
    start=$(date +%s%N)
    for k in $(seq 1 "$stations"); do
        { for _ in $(seq 2 "$count"); do echo; done; echo q; } |
            tolka "$k" pi write "$(winpath "$work/line.tpi")" --ledger "$ledger" --repeat --lang en \
                >"$work/out$k" 2>"$work/err$k" &
        pids+=($!)
    done
    for k in "${!pids[@]}"; do
        wait "${pids[$k]}" || { echo "ledger_line: station $((k + 1)) failed:" >&2; cat "$work/err$((k + 1))" >&2; exit 1; }
    done
    echo $((($(date +%s%N) - start) / 1000000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

new_board 0
tolka 0 pi make --uuid 3aa4096d-2cc0-46dd-878a-88511d75ac78 --number 1000 --product Varnex --maker Tolka \
    -o "$(winpath "$work/line.tpi")" >/dev/null
server psql "DROP TABLE IF EXISTS tolka_ledger; DROP TABLE IF EXISTS tolka_ledger_version" >/dev/null
file_ledger=$(winpath "$work/line.csv")
db_ledger="odbc:$(cat "$db/connection")"
# The tables and the file made, Wine's processes started.
run_line "$file_ledger" 1 1 >/dev/null
run_line "$db_ledger" 1 1 >/dev/null

load_before=$(cut -d ' ' -f 1 /proc/loadavg)
for stations in 1 3; do
    for kind in file db; do : >"$work/cost-$kind-$stations"; done
    for _ in $(seq 1 "$rounds"); do
        for kind in file db; do
            ledger=$file_ledger
            [ "$kind" = db ] && ledger=$db_ledger
            one=$(run_line "$ledger" "$stations" 1)
            line=$(run_line "$ledger" "$stations" "$boards")
            awk -v a="$one" -v b="$line" -v n="$(((boards - 1) * stations))" 'BEGIN { printf "%.1f\n", (b - a) / n }' \
                >>"$work/cost-$kind-$stations"
        done
    done
done
load_after=$(cut -d ' ' -f 1 /proc/loadavg)

echo "ms per board written ($boards boards per station, median of $rounds rounds; load average $load_before -> $load_after):"
echo "| stations | file ledger | database ledger | database / file |"
echo "|---|---|---|---|"
for stations in 1 3; do
    file=$(median <"$work/cost-file-$stations")
    dbc=$(median <"$work/cost-db-$stations")
    awk -v s="$stations" -v f="$file" -v d="$dbc" 'BEGIN { printf "| %d | %.1f | %.1f | %.2f |\n", s, f, d, d / f }'
done
