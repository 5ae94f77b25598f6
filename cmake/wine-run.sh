#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix, inside an X server of its own
# when there is no display. ctest uses it as the emulator of the Windows builds. Tests run side
# by side need one display for all (see scripts/test.sh): Wine's desktop process, shared by the
# prefix's programs, lives on the display it was first started on.
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$repo/scripts/wine-env.sh"
"$repo/scripts/wineprefix.sh" >&2 || exit 1
if [ -z "${DISPLAY:-}" ]; then
    exec bash "$repo/scripts/with-xvfb.sh" "$0" "$@"
fi
# Wine's system processes (services, the desktop) are started by the first program that needs
# them and outlive it while any other program of the prefix runs. They inherit that program's
# output: were it ctest's pipe, ctest would wait for them, up to the test's time limit. So the
# program writes to files, shown when it ends.
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
tolka_wine "$@" >"$out" 2>"$err"
rc=$?
cat "$out"
cat "$err" >&2
exit $rc
