#!/usr/bin/env bash
# Installs, on a Debian machine, everything the build and the tests need.
# Safe to run again: it only installs what is missing.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

packages=(
    cmake g++ make ninja-build googletest
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
    wine wine64 wine32:i386 xvfb xauth x11-apps x11-utils imagemagick librsvg2-bin icoutils optipng
    fonts-ipafont-gothic fonts-dejavu-core locales
    clang libclang-rt-dev clang-format
    wixl msitools zip unzip osslsigncode openssl
    fp-utils
    postgresql odbc-postgresql unixodbc
    chromium
)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    apt-get update -qq
fi
for p in "${packages[@]}"; do have_pkg "$p" || need+=("$p"); done
if [ ${#need[@]} -gt 0 ]; then
    echo "setup: installing ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
echo "setup: toolchain ready"
