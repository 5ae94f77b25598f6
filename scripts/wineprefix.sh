#!/usr/bin/env bash
# Prepares the project's Wine prefix (once): Japanese locale, unmanaged windows under Xvfb,
# dialog fonts mapped to the installed Japanese font.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
ready=$WINEPREFIX/.tolka-ready
prefix_ready() { [ "$(cat "$ready" 2>/dev/null)" = "$tolka_wine_mode" ]; }
prefix_ready && exit 0

mkdir -p "$TOLKA_BUILD_ROOT"
exec 9>"$TOLKA_BUILD_ROOT/.wineprefix.lock"
flock 9
prefix_ready && exit 0

if [ ! -f "$LOCPATH/ja_JP.UTF-8/LC_CTYPE" ]; then
    mkdir -p "$LOCPATH"
    localedef -i ja_JP -f UTF-8 "$LOCPATH/ja_JP.UTF-8" 2>/dev/null || [ -f "$LOCPATH/ja_JP.UTF-8/LC_CTYPE" ]
fi

rm -rf "$WINEPREFIX"
echo "wineprefix: creating $WINEPREFIX" >&2
# Runs a command, its output shown only when it fails; a failure ends the script. The output
# goes to a file, not a pipe: Wine's processes that outlive the command inherit it.
quiet_or_fail() {  # quiet_or_fail <what> <command...>
    local what=$1 log
    shift
    log=$(mktemp)
    if ! "$@" >"$log" 2>&1 </dev/null; then
        echo "wineprefix: $what failed:" >&2
        tail -n 20 "$log" >&2
        rm -f "$log"
        exit 1
    fi
    rm -f "$log"
}
wait_for_wineserver() {
    timeout 120 wineserver -w || { echo "wineprefix: wineserver still busy after 120 s" >&2; exit 1; }
}
# Bounded: a prefix that cannot be made must fail the run, not hang it.
quiet_or_fail "wineboot -i" timeout 300 env LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 wineboot -i
wait_for_wineserver
[ -f "$WINEPREFIX/system.reg" ] || { echo "wineprefix: wineboot made no system.reg" >&2; exit 1; }
reg() { quiet_or_fail "reg add $1 /v $3" tolka_wine reg add "$@" /f; }
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
for face in 'ＭＳ Ｐゴシック' 'ＭＳ ゴシック' 'MS UI Gothic' 'MS Shell Dlg' 'MS Shell Dlg 2'; do
    reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "$face" /d 'IPAPGothic'
done
wait_for_wineserver
# The font mapping as the registry now holds it: a missing one fails here, not in a layout test.
for face in 'MS UI Gothic' 'MS Shell Dlg'; do
    grep -qF "\"$face\"=\"IPAPGothic\"" "$WINEPREFIX/system.reg" ||
        { echo "wineprefix: the font mapping of $face is not in the registry" >&2; exit 1; }
done
echo "$tolka_wine_mode" >"$ready"
