#!/usr/bin/env bash
# Builds the suite for Windows (x86_64) and starts it under Wine. With a display the window
# simply opens; without one it runs inside Xvfb and a screenshot of it is saved as a PNG.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root=${TOLKA_BUILD_ROOT:-$repo/build}
program=${1:-PelnTools.exe}

bash "$repo/scripts/build.sh" win64
bash "$repo/scripts/wineprefix.sh"
source "$repo/scripts/wine-env.sh"
exe=$root/win64/bin/$program
[ -f "$exe" ] || { echo "run: $exe was not built" >&2; exit 1; }

if [ -n "${DISPLAY:-}" ]; then
    tolka_wine "$exe"
    exit $?
fi

shot=$root/screenshot.png
display=:$(( 90 + RANDOM % 30 ))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'DISPLAY=$display wineserver -k 2>/dev/null; kill $xvfb_pid 2>/dev/null' EXIT
sleep 1
export DISPLAY=$display
tolka_wine "$exe" &
# Wait for the program's window, then photograph the screen.
for _ in $(seq 1 60); do
    sleep 0.5
    if xwininfo -root -tree 2>/dev/null | grep -qE '"(PelnTools|TolkaPIWriter|TolkaOption)'; then
        break
    fi
done
sleep 2
import -window root "$shot"
echo "run: no display here, so $program ran inside Xvfb; its window is in $shot"
