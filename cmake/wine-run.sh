#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix, inside Xvfb when there is
# no display. ctest uses it as the emulator of the Windows builds.
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$repo/scripts/wine-env.sh"
"$repo/scripts/wineprefix.sh" >&2 || exit 1
if [ -z "${DISPLAY:-}" ]; then
    exec bash "$repo/scripts/with-xvfb.sh" "$0" "$@"
fi
tolka_wine "$@"
