#!/usr/bin/env bash
# Builds the release programs for both architectures and packages them into dist/:
#   Tolka-<version>-x64.msi, Tolka-<version>-x86.msi   installers (wixl)
#   Tolka-<version>-x64.zip, Tolka-<version>-x86.zip   the programs, read-me, virtual-board/
#   Tolka-<version>-<arch>-debug.zip                    debug information for crash analysis
# The version is the suite's (suite/suite_version.h).
#   bash scripts/package.sh [--no-build] [x64] [x86]      (default: both)
#   --no-build          package what build/win64 and build/win32 hold
#   TOLKA_DIST=dir      another output folder
#   TOLKA_PACKAGE_VERSION=x.y.z   another version (the package tests build an older one)
# Signing (osslsigncode, Authenticode with SHA-256): every shipped .exe and .dll, in the MSI
# and in the zip, and both MSIs are signed when
#   TOLKA_SIGN_PFX=file              names the code-signing certificate with its key (PKCS#12)
#   TOLKA_SIGN_PASSWORD_FILE=file    holds its password (first line); never give it otherwise
#   TOLKA_SIGN_TIMESTAMP_URL=url     a time-stamp server (RFC 3161); several, space-separated,
#                                    are tried in turn
# Without TOLKA_SIGN_PFX the packages are unsigned, and the script says so.
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

version=${TOLKA_PACKAGE_VERSION:-$(sed -nE 's/^#define TOLKA_SUITE_VERSION_TEXT "(.*)"/\1/p' "$repo/suite/suite_version.h")}
[ -n "$version" ] || { echo "package: no suite version in suite/suite_version.h" >&2; exit 1; }
# The shipped files as suite/programs.txt lists them: the programs, the virtual board's DLLs,
# and the help files, Japanese and English, of each window program with a help folder.
source "$repo/scripts/programs.sh"
programs=() libraries=() help_files=()
for p in "${tolka_programs[@]}"; do
    if [ "${tolka_program_kind[$p]}" = board ]; then libraries+=("$p.dll"); else programs+=("$p.exe"); fi
    mapfile -t -O ${#help_files[@]} help_files < <(tolka_program_help "$p")
done

signing=no
if [ -n "${TOLKA_SIGN_PFX:-}" ]; then
    command -v osslsigncode >/dev/null || { echo "package: no osslsigncode (scripts/setup.sh)" >&2; exit 1; }
    [ -r "$TOLKA_SIGN_PFX" ] || { echo "package: cannot read the certificate $TOLKA_SIGN_PFX" >&2; exit 1; }
    if [ -n "${TOLKA_SIGN_PASSWORD_FILE:-}" ] && [ ! -r "$TOLKA_SIGN_PASSWORD_FILE" ]; then
        echo "package: cannot read the password file $TOLKA_SIGN_PASSWORD_FILE" >&2
        exit 1
    fi
    signing=yes
fi

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

# Signs a file in place with the certificate of TOLKA_SIGN_PFX. The password reaches
# osslsigncode as the name of its file only; osslsigncode's output is shown only on failure.
sign() {
    local args=(sign -pkcs12 "$TOLKA_SIGN_PFX" -h sha256 -n "Tolka Configuration Suite") url out
    [ -z "${TOLKA_SIGN_PASSWORD_FILE:-}" ] || args+=(-readpass "$TOLKA_SIGN_PASSWORD_FILE")
    for url in ${TOLKA_SIGN_TIMESTAMP_URL:-}; do args+=(-ts "$url"); done
    rm -f "$1.signed"
    if ! out=$(osslsigncode "${args[@]}" -in "$1" -out "$1.signed" 2>&1); then
        echo "package: signing $(basename "$1") failed:" >&2
        echo "$out" >&2
        rm -f "$1.signed"
        exit 1
    fi
    mv -f "$1.signed" "$1"
}

package() {
    local arch=$1 config=$2
    local bin=$root/$config/bin name=Tolka-$version-$arch
    local stage=$root/package/$arch
    rm -rf "$stage"
    mkdir -p "$stage/files" "$stage/msi" "$stage/zip/$name/virtual-board" "$stage/debug/$name"
    for f in "${programs[@]}" "${libraries[@]}"; do
        [ -f "$bin/$f" ] || { echo "package: $bin/$f was not built" >&2; exit 1; }
        cp "$bin/$f" "$stage/files/"
        cp "$bin/$f.debug" "$stage/debug/$name/"
        # Signing appends the signature and changes only the header's checksum and certificate
        # entry: the sections stay, and with them the debug link to the unchanged .debug file.
        [ $signing = no ] || sign "$stage/files/$f"
    done
    for f in "${help_files[@]}"; do
        [ -f "$bin/$f" ] || { echo "package: $bin/$f was not built" >&2; exit 1; }
    done
    cp "${programs[@]/#/$stage/files/}" "${libraries[@]/#/$stage/files/}" "${help_files[@]/#/$bin/}" "$stage/msi/"
    cp "${programs[@]/#/$stage/files/}" "${help_files[@]/#/$bin/}" "$stage/zip/$name/"
    cp "${libraries[@]/#/$stage/files/}" "$stage/zip/$name/virtual-board/"
    windows_text "$repo/packaging/README.txt" >"$stage/msi/README.txt"
    cp "$stage/msi/README.txt" "$stage/zip/$name/README.txt"
    windows_text "$repo/packaging/README-virtual-board.txt" >"$stage/zip/$name/virtual-board/README.txt"

    # wixl finds sources relative to the folder it runs in.
    bash "$repo/packaging/make_wxs.sh" >"$stage/msi/tolka.wxs"
    (cd "$stage/msi" &&
        wixl -a "$arch" -D Arch="$arch" -D Version="$version" -D Bin=. -D Packaging=. -o "$name.msi" tolka.wxs &&
        cp "$repo/packaging/virtualboard-condition.idt" Condition.idt &&
        msibuild "$name.msi" -i Condition.idt &&
        add_path_entry "$name.msi") 2> >(grep -v 'GLib-GObject-WARNING' >&2)
    [ $signing = no ] || sign "$stage/msi/$name.msi"
    mv "$stage/msi/$name.msi" "$dist/"

    rm -f "$dist/$name.zip" "$dist/$name-debug.zip"
    (cd "$stage/zip" && zip -qrX "$dist/$name.zip" "$name")
    (cd "$stage/debug" && zip -qrX "$dist/$name-debug.zip" "$name")
    echo "package: $dist/$name.msi, $name.zip, $name-debug.zip ($([ $signing = yes ] && echo signed || echo unsigned))"
}

if [ $signing = yes ]; then
    echo "package: signing with $TOLKA_SIGN_PFX${TOLKA_SIGN_TIMESTAMP_URL:+, time-stamped by $TOLKA_SIGN_TIMESTAMP_URL}"
else
    echo "package: unsigned: TOLKA_SIGN_PFX names no code-signing certificate"
fi

for i in "${!archs[@]}"; do
    package "${archs[$i]}" "${configs[$i]}"
done
