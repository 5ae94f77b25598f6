#!/usr/bin/env bash
# Measures one of the figures docs/ quotes and prints it as docs/ shows it: the table, headed
# by the commit it was measured at and the machine's load before and after, so that a figure
# is measured again rather than copied by hand.
#   bash bench/measure.sh sizes              shipped files of the release builds (win64, win32)
#   bash bench/measure.sh startup [runs]     the programs' start-up (bench/run.sh)
#   bash bench/measure.sh ledger             reservation and report on 1k-1M line ledgers
#   bash bench/measure.sh line [boards] [rounds]   a board with a file and a database ledger
#   bash bench/measure.sh cycle [boards] [rounds]  a board with pi write --ledger and line run
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root=${TOLKA_BUILD_ROOT:-$repo/build}
what=${1:-}
[ $# -gt 0 ] && shift

load() { cut -d' ' -f1 /proc/loadavg; }
commit=$(git -C "$repo" rev-parse --short HEAD)
git -C "$repo" diff --quiet HEAD -- . ':!docs' || commit="$commit with uncommitted changes"
load_before=$(load)

# One row per shipped file (suite/programs.txt): its size in bytes on each architecture.
sizes() {
    bash "$repo/scripts/build.sh" win64 win32 >/dev/null
    source "$repo/scripts/programs.sh"
    echo "| file | x86_64 bytes | i686 bytes |"
    echo "|---|---|---|"
    local name file
    for name in "${tolka_programs[@]}"; do
        file=$(tolka_program_file "$name")
        printf '| %s | %s | %s |\n' "$file" "$(stat -c %s "$root/win64/bin/$file" | sed ':a;s/\B[0-9]\{3\}\>/,&/;ta')" \
            "$(stat -c %s "$root/win32/bin/$file" | sed ':a;s/\B[0-9]\{3\}\>/,&/;ta')"
    done
}

case $what in
    sizes) table=$(sizes) ;;
    startup) table=$(bash "$repo/bench/run.sh" "$@") ;;
    ledger)
        bash "$repo/scripts/build.sh" native >/dev/null
        table=$("$root/native/bench/ledger_bench")
        ;;
    line) table=$(bash "$repo/bench/ledger_line.sh" "$@") ;;
    cycle) table=$(bash "$repo/bench/line_cycle.sh" "$@") ;;
    *)
        echo "usage: bash bench/measure.sh sizes|startup|ledger|line|cycle [args...]" >&2
        exit 2
        ;;
esac
echo "Measured at commit \`$commit\` on $(date -u +%Y-%m-%d) by \`bash bench/measure.sh $what${*:+ $*}\`,"
echo "load average $load_before before and $(load) after, on $(nproc) cores:"
echo
echo "$table"
