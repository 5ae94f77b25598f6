#!/usr/bin/env bash
# Tests the packages under Wine, each architecture in a fresh prefix of its own:
#   - a silent install puts the programs, the read-me, the Start-menu shortcuts and the file
#     associations in place, without the virtual board's DLLs and with one uninstall entry;
#   - a silent uninstall leaves no file, folder, shortcut or key behind;
#   - installing this build over an older one leaves one entry, of this version, and the
#     virtual board feature is there when asked for;
#   - a .tpi file opened through its association opens the writer on that file (its title);
#   - the zip unpacks to the programs and the virtual board, and each program starts.
# Packages this build's bin folders first. Runs inside Xvfb when there is no display.
#   bash packaging/test_packages.sh [x64] [x86]
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
source "$repo/scripts/wine-env.sh"
work=$TOLKA_BUILD_ROOT/package-test
archs=("$@")
[ ${#archs[@]} -gt 0 ] || archs=(x64 x86)
old_version=0.9.0
version=$(sed -nE 's/^#define TOLKA_SUITE_VERSION_TEXT "(.*)"/\1/p' "$repo/common/suite_version.h")
name="Tolka Configuration Suite"

# Each check counts; the closing line counts architectures, as ctest counts test programs.
passed=0
failed=0
archs_passed=0
archs_failed=0
check() {  # check <description> <command...>
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL [$arch] $what"
    fi
}
finish() {
    echo "package checks held: $passed of $((passed + failed))"
    [ "$failed" -eq 0 ] || [ "$archs_failed" -gt 0 ] || archs_failed=1
    echo "packages: $archs_passed passed, $archs_failed failed"
    [ "$archs_failed" -eq 0 ]
    exit
}

rm -rf "$work"
mkdir -p "$work"
TOLKA_DIST=$work/dist bash "$repo/scripts/package.sh" --no-build "${archs[@]}" >/dev/null || { failed=1; finish; }
TOLKA_DIST=$work/old TOLKA_PACKAGE_VERSION=$old_version bash "$repo/scripts/package.sh" --no-build "${archs[@]}" >/dev/null ||
    { failed=1; finish; }

# Each architecture gets a prefix of its own, with the project's locale and font set-up;
# no menu entries or file types of the host are touched.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
win() { tolka_wine "$@" 2>/dev/null; }
settle() { wineserver -w; }
quietly() { "$@" >/dev/null; }
exists() { [ -e "$1" ]; }
shortcut_exists() { [ -e "${menus[0]}/$1" ] || [ -e "${menus[1]}/$1" ]; }
absent() { [ ! -e "$1" ]; }
key_exists() { win reg query "$1" "/reg:$bits" >/dev/null; }
key_absent() { ! key_exists "$1"; }
value_is() { win reg query "$1" /ve "/reg:$bits" | tr -d '\r' | grep -qF -- "$2"; }
entries() {
    win reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "/reg:$bits" | tr -d '\r' |
        grep -cE "DisplayName +REG_SZ +$name\$"
}
# A value of the suite's uninstall entry (DisplayVersion, Publisher).
entry_value() {
    win reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "/reg:$bits" | tr -d '\r' |
        awk -v n="$name" -v key="$1" '/^HKEY/ {k=$0} $0 ~ "DisplayName +REG_SZ +" n "$" {hit=k}
            $1 == key {sub(/^ *[^ ]+ +REG_SZ +/, ""); v[k]=$0} END {print v[hit]}'
}
# A visible window titled exactly so, waited for up to 30 s.
window_appears() {
    local title=$1
    for _ in $(seq 1 60); do
        xwininfo -root -tree 2>/dev/null | grep -qF "\"$title\":" && return 0
        sleep 0.5
    done
    return 1
}
stop_programs() { wineserver -k 2>/dev/null; wineserver -w; }

installed_keys=('HKLM\Software\Classes\.tpi' 'HKLM\Software\Classes\Tolka.ProductInfoFile'
    'HKLM\Software\Classes\.topt' 'HKLM\Software\Classes\Tolka.PortOptionFile'
    'HKLM\Software\Tolka Devices\Tolka Configuration Suite' 'HKLM\Software\Tolka Devices')
programs=(PelnTools TolkaPIWriter TolkaOption)

nothing_left() {
    check "uninstall removes the folder" absent "$dir"
    check "uninstall removes the Start-menu folder" absent "${menus[0]}"
    check "uninstall removes the Start-menu folder" absent "${menus[1]}"
    local key
    for key in "${installed_keys[@]}"; do check "uninstall removes $key" key_absent "$key"; done
    check "uninstall removes the entry" test "$(entries)" -eq 0
}

for arch in "${archs[@]}"; do
    case $arch in
        x64) bits=64 program_files="Program Files" ;;
        x86) bits=32 program_files="Program Files (x86)" ;;
        *) echo "test_packages: unknown architecture $arch" >&2; exit 2 ;;
    esac
    failed_before=$failed
    export WINEPREFIX=$work/prefix-$arch
    bash "$repo/scripts/wineprefix.sh" || { failed=$((failed + 1)); continue; }
    msi=$(winepath -w "$work/dist/Tolka-$version-$arch.msi" 2>/dev/null)
    old_msi=$(winepath -w "$work/old/Tolka-$old_version-$arch.msi" 2>/dev/null)
    dir=$WINEPREFIX/drive_c/$program_files/Tolka
    # Windows puts a per-machine install's shortcuts in the common Start menu; Wine's installer
    # puts them in the installing user's. Either is the Start menu.
    menus=("$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tolka"
        "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tolka")

    # Silent install with the defaults.
    check "msiexec /i succeeds" win msiexec /i "$msi" /qn
    settle
    for p in "${programs[@]}"; do
        check "$p.exe installed" exists "$dir/$p.exe"
        check "$p shortcut" shortcut_exists "$p.lnk"
    done
    check "tolka.exe installed" exists "$dir/tolka.exe"
    check "read-me installed" exists "$dir/README.txt"
    check "virtual board absent by default" absent "$dir/Varnet.dll"
    check "virtual board absent by default" absent "$dir/TolkaCommon.dll"
    check ".tpi opens the writer's file type" value_is 'HKLM\Software\Classes\.tpi' Tolka.ProductInfoFile
    check ".topt opens the option editor's file type" value_is 'HKLM\Software\Classes\.topt' Tolka.PortOptionFile
    check ".tpi command passes the file" value_is 'HKLM\Software\Classes\Tolka.ProductInfoFile\shell\open\command' \
        'TolkaPIWriter.exe" "%1"'
    check ".topt command passes the file" value_is 'HKLM\Software\Classes\Tolka.PortOptionFile\shell\open\command' \
        'TolkaOption.exe" "%1"'
    check ".tpi icon is the writer's" value_is 'HKLM\Software\Classes\Tolka.ProductInfoFile\DefaultIcon' 'TolkaPIWriter.exe",0'
    check ".topt icon is the option editor's" value_is 'HKLM\Software\Classes\Tolka.PortOptionFile\DefaultIcon' \
        'TolkaOption.exe",0'
    check "one uninstall entry" test "$(entries)" -eq 1
    check "the entry names the publisher" test "$(entry_value Publisher)" = "Tolka Devices"
    check "the entry names the version" test "$(entry_value DisplayVersion)" = "$version"

    check "msiexec /x succeeds" win msiexec /x "$msi" /qn
    settle
    nothing_left

    # An older build, then this one over it with the virtual board.
    check "older build installs" win msiexec /i "$old_msi" /qn
    settle
    check "older build's entry" test "$(entry_value DisplayVersion)" = "$old_version"
    check "upgrade installs" win msiexec /i "$msi" VIRTUALBOARD=1 /qn
    settle
    check "one entry after the upgrade" test "$(entries)" -eq 1
    check "the entry is this version" test "$(entry_value DisplayVersion)" = "$version"
    check "virtual board installed when asked" exists "$dir/Varnet.dll"
    check "virtual board installed when asked" exists "$dir/TolkaCommon.dll"

    # Opening a document as Explorer does: through its association.
    sample=$WINEPREFIX/drive_c/users/Public/sample.tpi
    head -c 128 /dev/zero >"$sample"
    win start "$(winepath -w "$sample")" &
    check "the associated writer opens the file" window_appears "TolkaPIWriter - sample.tpi"
    stop_programs

    check "msiexec /x after the upgrade succeeds" win msiexec /x "$msi" /qn
    settle
    nothing_left
    check "uninstall removes the virtual board" absent "$dir/Varnet.dll"

    # The zip: unpack, start the launcher, then the editors with the virtual board beside them.
    unpacked=$WINEPREFIX/drive_c/users/Public/zip
    rm -rf "$unpacked"
    mkdir -p "$unpacked"
    (cd "$unpacked" && unzip -q "$work/dist/Tolka-$version-$arch.zip")
    root=$unpacked/Tolka-$version-$arch
    for f in PelnTools.exe TolkaPIWriter.exe TolkaOption.exe tolka.exe README.txt virtual-board/Varnet.dll \
        virtual-board/TolkaCommon.dll virtual-board/README.txt; do
        check "zip holds $f" exists "$root/$f"
    done
    check "zip keeps the virtual board out of the programs' folder" absent "$root/Varnet.dll"
    win start /unix "$root/PelnTools.exe" &
    check "the zip's PelnTools starts" window_appears PelnTools
    stop_programs
    cp "$root"/virtual-board/*.dll "$root/"
    check "the zip's tolka.exe answers" quietly win "$(winepath -w "$root/tolka.exe")" --help
    for p in TolkaPIWriter TolkaOption; do
        win start /unix "$root/$p.exe" &
        check "the zip's $p starts" window_appears "$p"
        stop_programs
    done
    if [ "$failed" -eq "$failed_before" ]; then
        archs_passed=$((archs_passed + 1))
    else
        archs_failed=$((archs_failed + 1))
    fi
done
finish
