#!/usr/bin/env bash
# What a board costs on a production line with each kind of ledger: tolka.exe (x86_64 release,
# under Wine, on the virtual board) writes lines of boards with --repeat, with a file ledger
# and with the database ledger (a PostgreSQL server of the bench's own, cli/ledger_db_server.sh,
# through Wine's odbc32), at one station and at three stations at once.
#
# A board's cost is the time from one board's end to the next one's: tolka asks for the next
# board on its error output after each board, and each prompt is stamped with the time it came
# (Wine's start, the device libraries' loading and the database connection come before the
# first board's end: they belong to the line). Lines of one kind and of the other take turns,
# round after round. Printed: the median and the spread over all boards of all rounds, with the
# load average; on a busy machine the other programs' share of the processor widens the spread
# (the 10th percentile is then nearer a board's own cost).
#   bash bench/ledger_line.sh [boards] [rounds]     (default 21 boards per station, 5 rounds)
# TOLKA_BENCH_BIN names another folder of tolka.exe and the device libraries (another build's
# bin) to measure instead of this tree's.
set -euo pipefail
boards=${1:-21}
rounds=${2:-5}
source "$(dirname "${BASH_SOURCE[0]}")/wine_bench_support.sh"
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

# `stations` lines of `count` boards at once, each at its own station; the milliseconds each
# board after the first took are added to `costs`.
run_line() {
    local ledger=$1 stations=$2 count=$3 costs=$4 k pids=()
    for k in $(seq 1 "$stations"); do new_board "$k"; done
    for k in $(seq 1 "$stations"); do
        { for _ in $(seq 2 "$count"); do echo; done; echo q; } |
            tolka "$k" pi write "$(winpath "$work/line$k.tpi")" --ledger "$ledger" --repeat --lang en \
                2>&1 >"$work/out$k" | tee "$work/err$k" | stamp >"$work/stamps$k" &
        pids+=($!)
    done
    for k in "${!pids[@]}"; do
        wait "${pids[$k]}" || { echo "ledger_line: station $((k + 1)) failed:" >&2; cat "$work/err$((k + 1))" >&2; exit 1; }
        awk 'NR > 1 { printf "%.1f\n", ($1 - last) / 1000 } { last = $1 }' "$work/stamps$((k + 1))" >>"$costs"
    done
}

new_board 0
tolka 0 pi make --uuid 3aa4096d-2cc0-46dd-878a-88511d75ac78 --number 1000 --product Varnex --maker Tolka \
    -o "$(winpath "$work/line.tpi")" >/dev/null
# A copy for each station: what is measured is the ledger, not stations taking turns on one file.
for k in 1 2 3; do cp "$work/line.tpi" "$work/line$k.tpi"; done
server psql "DROP TABLE IF EXISTS tolka_ledger; DROP TABLE IF EXISTS tolka_ledger_version" >/dev/null
file_ledger=$(winpath "$work/line.csv")
db_ledger="odbc:$(cat "$db/connection")"
# The tables and the file made, Wine's processes started.
run_line "$file_ledger" 1 1 /dev/null
run_line "$db_ledger" 1 1 /dev/null

load_before=$(cut -d ' ' -f 1 /proc/loadavg)
for stations in 1 3; do
    for kind in file db; do : >"$work/cost-$kind-$stations"; done
    for _ in $(seq 1 "$rounds"); do
        for kind in file db; do
            ledger=$file_ledger
            [ "$kind" = db ] && ledger=$db_ledger
            run_line "$ledger" "$stations" "$boards" "$work/cost-$kind-$stations"
        done
    done
done
load_after=$(cut -d ' ' -f 1 /proc/loadavg)

echo "ms per board at a station, median [10th-90th percentile] of $rounds lines of $boards boards (load average"
echo "$load_before -> $load_after); the ratio of the medians and of the 10th percentiles:"
echo "| stations | file ledger | database ledger | database / file |"
echo "|---|---|---|---|"
for stations in 1 3; do
    read -r f10 f50 f90 < <(percentiles <"$work/cost-file-$stations")
    read -r d10 d50 d90 < <(percentiles <"$work/cost-db-$stations")
    awk -v s="$stations" -v f10="$f10" -v f50="$f50" -v f90="$f90" -v d10="$d10" -v d50="$d50" -v d90="$d90" \
        'BEGIN { printf "| %d | %.1f [%.1f-%.1f] | %.1f [%.1f-%.1f] | %.2f (%.2f) |\n", s, f50, f10, f90, d50, d10, d90,
                 d50 / f50, d10 / f10 }'
done
