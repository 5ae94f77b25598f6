#!/usr/bin/env bash
# Builds a windowed program of the suite for Windows (x86_64), with the other windowed programs
# it can start and the virtual board's DLLs, and starts it under Wine. With a display the
# window simply opens; without one it runs inside an X server of its own and a screenshot of
# it is saved as a PNG, and the script fails when no window of the program appeared.
#   bash scripts/run.sh [<program>.exe]     (a window program of suite/programs.txt; default
#                                            the first, the launcher)
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$repo/scripts/wine-env.sh"
source "$repo/scripts/programs.sh"
root=$TOLKA_BUILD_ROOT
mapfile -t windows < <(tolka_programs_of window)
program=${1:-${windows[0]}.exe}
name=${program%.exe}
if [ "${tolka_program_kind[$name]:-}" != window ]; then
    echo "run: $program is none of the suite's window programs (${windows[*]/%/.exe})" >&2
    exit 2
fi
exe=$root/win64/bin/$program

if [ -z "${TOLKA_RUN_SCREENSHOT:-}" ]; then
    targets=()
    for p in "${windows[@]}"; do targets+=(--target "$p"); done
    while read -r p; do targets+=(--target "$p"); done < <(tolka_programs_of board)
    bash "$repo/scripts/build.sh" "${targets[@]}" win64
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
rm -f "$shot"
tolka_wine "$exe" &
shown=no
for _ in $(seq 1 60); do
    sleep 0.5
    if xwininfo -root -tree 2>/dev/null | grep -qF "\"$name"; then
        shown=yes
        break
    fi
done
if [ $shown = no ]; then
    wineserver -k 2>/dev/null || true
    echo "run: no window of $program appeared within 30 s" >&2
    exit 1
fi
sleep 2
import -window root "$shot"
wineserver -k 2>/dev/null || true
echo "run: no display here, so $program ran inside Xvfb; its window is in $shot"
