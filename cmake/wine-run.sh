#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix, inside an X server of its own
# when there is no display. ctest uses it as the emulator of the Windows builds. Tests run side
# by side need one display for all (see scripts/test.sh): Wine's desktop process, shared by the
# prefix's programs, lives on the display it was first started on. TOLKA_DPI runs the program
# on a screen of another resolution, in a prefix of its own (scripts/wineprefix-dpi.sh).
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$repo/scripts/wine-env.sh"
"$repo/scripts/wineprefix.sh" >&2 || exit 1
# TOLKA_DPI=144 (tolka_test_at_dpi): a prefix of its own whose screen has that resolution, with
# an X server of its own, one program at a time. A second Wine on the shared display would take
# the keyboard focus from the windows of the project's prefix, and a prefix's desktop process
# stays on the display it was started on: it is ended with the program.
if [ -n "${TOLKA_DPI:-}" ]; then
    source "$repo/scripts/with-xvfb.sh"
    exec 8>"$TOLKA_BUILD_ROOT/.wineprefix-dpi$TOLKA_DPI.run.lock"
    flock 8
    tolka_start_xvfb || exit 1
    WINEPREFIX=$(bash "$repo/scripts/wineprefix-dpi.sh" "$TOLKA_DPI") || exit 1
    export WINEPREFIX
    tolka_output_after tolka_wine "$@"
    status=$?
    wineserver -k 2>/dev/null
    timeout 60 wineserver -w 2>/dev/null
    kill "$tolka_xvfb_pid" 2>/dev/null
    wait "$tolka_xvfb_pid" 2>/dev/null
    exit $status
fi
if [ -z "${DISPLAY:-}" ]; then
    exec bash "$repo/scripts/with-xvfb.sh" "$0" "$@"
fi
tolka_output_after tolka_wine "$@"
