#!/usr/bin/env bash
# Prints the path of a Wine prefix whose screen has the given resolution in dots per inch, made
# first when needed: the project's prefix (scripts/wineprefix.sh) with LogPixels set, its system
# folders hard-linked rather than copied (they are only read), the rest copied. Its English
# dialogs ("MS Shell Dlg") are drawn in DejaVu Sans, as in an English Wine set-up without
# Wine's own fonts, where the project's prefix draws them in the Japanese font: the layout tests
# measure the English texts in that face, wider than the Windows dialog faces, and the Japanese
# ones in the Japanese font. A test runs there at 96, 144 or 192 DPI, so that the tests sharing
# the project's prefix keep theirs.
#   wineprefix-dpi.sh DPI
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
dpi=$1
base=$WINEPREFIX
prefix=$TOLKA_BUILD_ROOT/wineprefix-dpi$dpi
# Made again when the project's prefix is.
stamp="$(cat "$base/.tolka-ready") dpi=$dpi english=DejaVu $(stat -c %Y "$base/.tolka-ready")"
ready() { [ "$(cat "$prefix/.tolka-ready" 2>/dev/null)" = "$stamp" ]; }

if ! ready; then
    exec 9>"$TOLKA_BUILD_ROOT/.wineprefix-dpi$dpi.lock"
    flock 9
    if ! ready; then
        rm -rf "$prefix"
        mkdir -p "$prefix/drive_c/windows"
        # With the project's update stamp Wine takes the copy as up to date: an update would
        # rewrite the system DLLs in place, which are the project's prefix's own files (hard
        # links), while tests start programs from them.
        cp -a "$base"/*.reg "$base/.update-timestamp" "$base/dosdevices" "$prefix/"
        for entry in "$base/drive_c"/* "$base/drive_c/windows"/*; do
            case $entry in
                "$base/drive_c/windows") ;;
                # The users' folders without their temporary files, which tests running in the
                # project's prefix make and delete while this copies.
                "$base/drive_c/users")
                    (cd "$base/drive_c" && tar -cf - --exclude='users/*/Temp/*' --exclude='users/*/AppData/Local/Temp/*' users) |
                        (cd "$prefix/drive_c" && tar -xf -)
                    ;;
                */windows/system32 | */windows/syswow64 | */windows/winsxs) cp -al "$entry" "$prefix/drive_c/windows/" ;;
                */windows/*) cp -a "$entry" "$prefix/drive_c/windows/" ;;
                *) cp -a "$entry" "$prefix/drive_c/" ;;
            esac
        done
        # The output goes to a file, not a pipe: Wine's processes that outlive reg inherit it.
        reg() {
            local log
            log=$(mktemp)
            if ! WINEPREFIX=$prefix tolka_wine reg add "$@" /f >"$log" 2>&1 </dev/null; then
                echo "wineprefix-dpi: reg add $1 /v $3 failed:" >&2
                tail -n 20 "$log" >&2
                rm -f "$log"
                exit 1
            fi
            rm -f "$log"
        }
        reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
        for face in 'MS Shell Dlg' 'MS Shell Dlg 2'; do
            reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v "$face" /d "DejaVu Sans"
        done
        WINEPREFIX=$prefix timeout 120 wineserver -w ||
            { echo "wineprefix-dpi: wineserver still busy after 120 s" >&2; exit 1; }
        echo "$stamp" >"$prefix/.tolka-ready"
    fi
fi
echo "$prefix"
