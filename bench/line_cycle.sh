#!/usr/bin/env bash
# What one board costs a station with each command, on a virtual board whose every library
# call waits as a real board's round trip does (call_delay_ms 0 and 3): `pi write --ledger`
# (the writer window's calls) beside `line run` (the line's own cycle), with and without port
# options. tolka.exe (x86_64 release, under Wine) writes a line of boards with --repeat on a
# virtual board that brings a new board for each connection; a board's cost is the time from one
# board's end to the next one's (tolka asks for the next board on its error output after each),
# so that Wine's start stays out of it. Kinds take turns, round after round, in one run.
# Printed: the median and 10th percentile per board, the calls per board, and each cycle's share
# of pi write's.
#   bash bench/line_cycle.sh [boards] [rounds]     (default 11 boards per line, 3 rounds)
set -euo pipefail
boards=${1:-11}
rounds=${2:-3}
source "$(dirname "${BASH_SOURCE[0]}")/wine_bench_support.sh"
bin=$TOLKA_BUILD_ROOT/win64/bin
work=$TOLKA_BUILD_ROOT/win64/line-cycle-bench
wineserver -p 60 </dev/null >/dev/null 2>&1 || true
rm -rf "$work"
mkdir -p "$work"
tolka() {
    env TOLKA_VIRTUAL_BOARD="$(winpath "$work/board")" TOLKA_VIRTUAL_BOARD_SILENT=1 LANG=ja_JP.UTF-8 \
        LC_ALL=ja_JP.UTF-8 wine "$bin/tolka.exe" "$@"
}
new_board() {  # new_board <call_delay_ms>
    rm -rf "$work/board"
    mkdir -p "$work/board"
    printf '[board]\nattached=1\ninterface=0x80000000\nnew_board_each_open=1\ncall_delay_ms=%s\n' "$1" \
        >"$work/board/board.ini"
}

kinds=(pi line line-options)
command_of() {  # the command line of a kind, after "tolka"
    case $1 in
        pi) echo "pi write $(winpath "$work/line.tpi") --ledger $(winpath "$work/$1.csv")" ;;
        line) echo "line run $(winpath "$work/line.tpi") --ledger $(winpath "$work/$1.csv")" ;;
        line-options) echo "line run $(winpath "$work/line.tpi") --options $(winpath "$work/start.topt")" \
            "--ledger $(winpath "$work/$1.csv")" ;;
    esac
}
# A line of `boards` boards of one kind at one delay; the milliseconds of each board after the
# first go to cost-<kind>-<delay>, the calls per board to calls-<kind>-<delay>.
run_line() {
    local kind=$1 delay=$2
    new_board "$delay"
    # shellcheck disable=SC2046
    { for _ in $(seq 2 "$boards"); do echo; done; echo q; } |
        tolka $(command_of "$kind") --repeat --lang en 2>&1 >"$work/out" | tee "$work/err" | stamp >"$work/stamps" ||
        { echo "line_cycle: $kind failed:" >&2; cat "$work/err" >&2; exit 1; }
    awk 'NR > 1 { printf "%.1f\n", ($1 - last) / 1000 } { last = $1 }' "$work/stamps" >>"$work/cost-$kind-$delay"
    echo $(($(grep -cE '^(Tolka|Varn)_' "$work/board/calls.log") / boards)) >>"$work/calls-$kind-$delay"
}

new_board 0
tolka pi make --uuid 3aa4096d-2cc0-46dd-878a-88511d75ac78 --number 1000 --product Varnex --maker Tolka \
    -o "$(winpath "$work/line.tpi")" >/dev/null
head -c 128 /dev/zero >"$work/start.topt"
for kind in "${kinds[@]}"; do run_line "$kind" 0; done  # Wine's processes started, the ledgers made
for delay in 0 3; do for kind in "${kinds[@]}"; do : >"$work/cost-$kind-$delay"; : >"$work/calls-$kind-$delay"; done; done

for _ in $(seq 1 "$rounds"); do
    for delay in 0 3; do
        for kind in "${kinds[@]}"; do run_line "$kind" "$delay"; done
    done
done

echo "ms per board, median [10th percentile] of $rounds lines of $boards boards; library calls per board;"
echo "the cycle's median as a share of pi write --ledger's at the same delay:"
echo "| command | calls | 0 ms a call | 3 ms a call | share at 3 ms |"
echo "|---|---|---|---|---|"
read -r _ pi3 _ < <(percentiles <"$work/cost-pi-3")
for kind in "${kinds[@]}"; do
    read -r a10 a50 _ < <(percentiles <"$work/cost-$kind-0")
    read -r b10 b50 _ < <(percentiles <"$work/cost-$kind-3")
    calls=$(sort -n "$work/calls-$kind-3" | tail -n 1)
    case $kind in
        pi) label="pi write --ledger" ;;
        line) label="line run" ;;
        line-options) label="line run --options" ;;
    esac
    awk -v k="$label" -v c="$calls" -v a10="$a10" -v a50="$a50" -v b10="$b10" -v b50="$b50" -v p="$pi3" \
        'BEGIN { printf "| `%s` | %d | %.1f [%.1f] | %.1f [%.1f] | %.2f |\n", k, c, a50, a10, b50, b10, b50 / p }'
done
