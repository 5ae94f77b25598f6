#!/usr/bin/env bash
# Fuzzes every parser of outside data for longer than the test command does:
#   bash scripts/fuzz.sh [seconds per target, default 300] [target ...]
# What a run finds stays in build/fuzz/fuzz/corpus/<target> and is replayed by later runs;
# a crash leaves its input as crash-* in the current folder.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root=${TOLKA_BUILD_ROOT:-$repo/build}
seconds=${1:-300}
shift || true
bash "$repo/scripts/build.sh" fuzz
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=($(cd "$repo/fuzz/seeds" && ls))
for t in "${targets[@]}"; do
    echo "fuzz: $t for $seconds s"
    "$root/fuzz/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        "$root/fuzz/fuzz/corpus/$t" "$repo/fuzz/seeds/$t"
done
