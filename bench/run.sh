#!/usr/bin/env bash
# Builds the release programs (x86_64) and runs the start-up benchmark under Wine, inside
# an X server of its own when there is no display. Prints the table; the README quotes it.
#   bash bench/run.sh [runs]      (default 21)
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:-21}
if [ -z "${TOLKA_BENCH_BUILT:-}" ]; then
    bash "$repo/scripts/build.sh" win64 >/dev/null
    bash "$repo/scripts/wineprefix.sh"
fi
source "$repo/scripts/wine-env.sh"
bench=$TOLKA_BUILD_ROOT/win64/bin/tolka_bench.exe
if [ -z "${DISPLAY:-}" ]; then
    TOLKA_BENCH_BUILT=1 exec bash "$repo/scripts/with-xvfb.sh" bash "$0" "$runs"
fi
tolka_wine "$bench" "$runs"
