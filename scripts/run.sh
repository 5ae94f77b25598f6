#!/usr/bin/env bash
# Builds the suite for Windows (x86_64) and starts it under Wine. With a display the window
# simply opens; without one it runs inside an X server of its own and a screenshot of it is
# saved as a PNG.
#   bash scripts/run.sh [PelnTools.exe | TolkaPIWriter.exe | TolkaOption.exe]
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$repo/scripts/wine-env.sh"
root=$TOLKA_BUILD_ROOT
program=${1:-PelnTools.exe}
exe=$root/win64/bin/$program

if [ -z "${TOLKA_RUN_SCREENSHOT:-}" ]; then
    bash "$repo/scripts/build.sh" win64
    bash "$repo/scripts/wineprefix.sh"
    [ -f "$exe" ] || { echo "run: $exe was not built" >&2; exit 1; }
    if [ -n "${DISPLAY:-}" ]; then
        tolka_wine "$exe"
        exit $?
    fi
    TOLKA_RUN_SCREENSHOT=1 exec bash "$repo/scripts/with-xvfb.sh" -s 1024x768x24 bash "$0" "$program"
fi

# Inside the X server of its own: start the program, wait for its window, photograph the screen.
shot=$root/screenshot.png
tolka_wine "$exe" &
for _ in $(seq 1 60); do
    sleep 0.5
    if xwininfo -root -tree 2>/dev/null | grep -qE '"(PelnTools|TolkaPIWriter|TolkaOption)'; then
        break
    fi
done
sleep 2
import -window root "$shot"
wineserver -k 2>/dev/null || true
echo "run: no display here, so $program ran inside Xvfb; its window is in $shot"
