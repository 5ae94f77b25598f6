#!/usr/bin/env bash
# Builds the release programs (x86_64) and runs the start-up benchmark under Wine, inside
# an X server of its own when there is no display. Prints the table (bench/measure.sh startup).
#   bash bench/run.sh [runs]      (default 21)
set -euo pipefail
runs=${1:-21}
source "$(dirname "${BASH_SOURCE[0]}")/wine_bench_support.sh"
tolka_wine "$TOLKA_BUILD_ROOT/win64/bin/tolka_bench.exe" "$runs"
