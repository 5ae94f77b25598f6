#!/usr/bin/env bash
# Prepares the project's Wine prefix (once): Japanese locale, unmanaged windows under Xvfb,
# dialog fonts mapped to the installed Japanese font.
set -eu
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
# Bounded: a prefix that cannot be made must fail the run, not hang it.
timeout 300 env LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 wineboot -i >/dev/null 2>&1 || true
timeout 120 wineserver -w || echo "wineprefix: wineserver still busy after 120 s" >&2
reg() { tolka_wine reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
for face in 'ＭＳ Ｐゴシック' 'ＭＳ ゴシック' 'MS UI Gothic' 'MS Shell Dlg' 'MS Shell Dlg 2'; do
    reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "$face" /d 'IPAPGothic'
done
timeout 120 wineserver -w || echo "wineprefix: wineserver still busy after 120 s" >&2
[ -f "$WINEPREFIX/system.reg" ] || { echo "wineprefix: wineboot failed" >&2; exit 1; }
echo "$tolka_wine_mode" >"$ready"
