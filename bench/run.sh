#!/usr/bin/env bash
# Builds the release programs (x86_64) and runs the start-up benchmark under Wine, inside
# Xvfb when there is no display. Prints the table; the README quotes it.
#   bash bench/run.sh [runs]      (default 21)
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${1:-21}
bash "$repo/scripts/build.sh" win64 >/dev/null
bash "$repo/scripts/wineprefix.sh"
source "$repo/scripts/wine-env.sh"
bench=$TOLKA_BUILD_ROOT/win64/bin/tolka_bench.exe
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "source '$repo/scripts/wine-env.sh'; tolka_wine '$bench' $runs"
fi
tolka_wine "$bench" "$runs"
