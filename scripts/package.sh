#!/usr/bin/env bash
# Builds the release programs for both architectures and packages them into dist/:
#   Tolka-<version>-x64.msi, Tolka-<version>-x86.msi   installers (wixl)
#   Tolka-<version>-x64.zip, Tolka-<version>-x86.zip   the programs, read-me, virtual-board/
#   Tolka-<version>-<arch>-debug.zip                    debug information for crash analysis
# The version is the suite's (common/suite_version.h).
#   bash scripts/package.sh [--no-build] [x64] [x86]      (default: both)
#   --no-build          package what build/win64 and build/win32 hold
#   TOLKA_DIST=dir      another output folder
#   TOLKA_PACKAGE_VERSION=x.y.z   another version (the package tests build an older one)
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root=${TOLKA_BUILD_ROOT:-$repo/build}
dist=${TOLKA_DIST:-$repo/dist}
build=yes
if [ "${1:-}" = "--no-build" ]; then
    build=no
    shift
fi
archs=("$@")
[ ${#archs[@]} -gt 0 ] || archs=(x64 x86)

version=${TOLKA_PACKAGE_VERSION:-$(sed -nE 's/^#define TOLKA_SUITE_VERSION_TEXT "(.*)"/\1/p' "$repo/common/suite_version.h")}
[ -n "$version" ] || { echo "package: no suite version in common/suite_version.h" >&2; exit 1; }
programs=(PelnTools.exe TolkaPIWriter.exe TolkaOption.exe tolka.exe)
libraries=(Varnet.dll TolkaCommon.dll)
# The editors' help files, Japanese and English, beside the programs (built with them).
help_files=(TolkaPIWriter.chm TolkaPIWriterEN.chm TolkaOption.chm TolkaOptionEN.chm)

configs=()
for arch in "${archs[@]}"; do
    case $arch in
        x64) configs+=(win64) ;;
        x86) configs+=(win32) ;;
        *) echo "package: unknown architecture $arch" >&2; exit 2 ;;
    esac
done
[ $build = yes ] && bash "$repo/scripts/build.sh" "${configs[@]}"
mkdir -p "$dist"
dist=$(cd "$dist" && pwd)

# Text files for Windows: UTF-8 with a byte-order mark (Notepad then reads the Japanese
# right everywhere), CRLF line ends.
windows_text() { printf '\xef\xbb\xbf'; sed 's/$/\r/' "$1"; }

# The install folder on the system PATH, so that tolka runs from any command line: the
# Environment table and the two actions that apply it. It goes at the front: an installer takes
# the folder off again with the separator after it, and Wine's leaves the one before a folder
# that ends the PATH, which would leave ";" behind at the end, ";;" after a reinstall.
add_path_entry() {
    cp "$repo/packaging/path-environment.idt" Environment.idt &&
        msibuild "$1" -i Environment.idt &&
        msiinfo export "$1" InstallExecuteSequence >InstallExecuteSequence.idt &&
        cat "$repo/packaging/path-environment-sequence.txt" >>InstallExecuteSequence.idt &&
        msibuild "$1" -i InstallExecuteSequence.idt
}

package() {
    local arch=$1 config=$2
    local bin=$root/$config/bin name=Tolka-$version-$arch
    local stage=$root/package/$arch
    rm -rf "$stage"
    mkdir -p "$stage/msi" "$stage/zip/$name/virtual-board" "$stage/debug/$name"
    for f in "${programs[@]}" "${libraries[@]}"; do
        [ -f "$bin/$f" ] || { echo "package: $bin/$f was not built" >&2; exit 1; }
        cp "$bin/$f" "$stage/msi/"
        cp "$bin/$f.debug" "$stage/debug/$name/"
    done
    for f in "${help_files[@]}"; do
        [ -f "$bin/$f" ] || { echo "package: $bin/$f was not built" >&2; exit 1; }
    done
    cp "${help_files[@]/#/$bin/}" "$stage/msi/"
    cp "${programs[@]/#/$bin/}" "${help_files[@]/#/$bin/}" "$stage/zip/$name/"
    cp "${libraries[@]/#/$bin/}" "$stage/zip/$name/virtual-board/"
    windows_text "$repo/packaging/README.txt" >"$stage/msi/README.txt"
    cp "$stage/msi/README.txt" "$stage/zip/$name/README.txt"
    windows_text "$repo/packaging/README-virtual-board.txt" >"$stage/zip/$name/virtual-board/README.txt"

    # wixl finds sources relative to the folder it runs in.
    cp "$repo/packaging/tolka.wxs" "$stage/msi/"
    (cd "$stage/msi" &&
        wixl -a "$arch" -D Arch="$arch" -D Version="$version" -D Bin=. -D Packaging=. -o "$name.msi" tolka.wxs &&
        cp "$repo/packaging/virtualboard-condition.idt" Condition.idt &&
        msibuild "$name.msi" -i Condition.idt &&
        add_path_entry "$name.msi") 2> >(grep -v 'GLib-GObject-WARNING' >&2)
    mv "$stage/msi/$name.msi" "$dist/"

    rm -f "$dist/$name.zip" "$dist/$name-debug.zip"
    (cd "$stage/zip" && zip -qrX "$dist/$name.zip" "$name")
    (cd "$stage/debug" && zip -qrX "$dist/$name-debug.zip" "$name")
    echo "package: $dist/$name.msi, $name.zip, $name-debug.zip"
}

for i in "${!archs[@]}"; do
    package "${archs[$i]}" "${configs[$i]}"
done
