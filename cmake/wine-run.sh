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
if [ -z "${DISPLAY:-}" ]; then
    exec bash "$repo/scripts/with-xvfb.sh" "$0" "$@"
fi
# TOLKA_DPI=144 (tolka_test_at_dpi): a prefix of its own whose screen has that resolution.
if [ -n "${TOLKA_DPI:-}" ]; then
    WINEPREFIX=$(bash "$repo/scripts/wineprefix-dpi.sh" "$TOLKA_DPI") || exit 1
    export WINEPREFIX
fi
tolka_output_after tolka_wine "$@"
