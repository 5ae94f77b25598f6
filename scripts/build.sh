#!/usr/bin/env bash
# Configures and builds the suite. Without arguments: every configuration.
#   native       portable logic and its tests (Linux g++)
#   asan         the same under AddressSanitizer and UBSan
#   win64 win32  the programs, the virtual board and the Windows tests (MinGW-w64)
#   fuzz         the fuzz targets of the parsers (clang, libFuzzer, ASan and UBSan)
#   --target T   (repeatable, before the configurations) builds only target T and what it needs
# The set-up (scripts/setup.sh, as root) runs only when a tool the build needs is missing.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root=${TOLKA_BUILD_ROOT:-$repo/build}
targets=()
while [ "${1:-}" = --target ]; do
    [ -n "${2:-}" ] || { echo "build: --target needs a target's name" >&2; exit 2; }
    targets+=(--target "$2")
    shift 2
done
configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(native asan win64 win32 fuzz)

# The commands the configurations call (the tests' own tools are the set-up's to install).
tools=(cmake ninja)
for config in "${configs[@]}"; do
    case $config in
        native | asan) tools+=(g++) ;;
        win64) tools+=(x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres rsvg-convert icotool optipng chmcmd) ;;
        win32) tools+=(i686-w64-mingw32-g++-posix i686-w64-mingw32-windres rsvg-convert icotool optipng chmcmd) ;;
        fuzz) tools+=(clang++) ;;
    esac
done
missing=()
for tool in "${tools[@]}"; do command -v "$tool" >/dev/null || missing+=("$tool"); done
[ -d /usr/src/googletest ] || missing+=(googletest)
if [ ${#missing[@]} -gt 0 ]; then
    echo "build: ${missing[*]} missing: running scripts/setup.sh"
    bash "$repo/scripts/setup.sh"
fi

for config in "${configs[@]}"; do
    case $config in
        native) args=(-DCMAKE_BUILD_TYPE=Debug) ;;
        asan) args=(-DCMAKE_BUILD_TYPE=Debug -DTOLKA_SANITIZE=ON) ;;
        win64) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-x86_64.cmake") ;;
        win32) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake") ;;
        fuzz) args=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DTOLKA_FUZZ=ON) ;;
        *) echo "build: unknown configuration $config" >&2; exit 2 ;;
    esac
    dir=$root/$config
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$repo" -B "$dir" -G Ninja "${args[@]}" >/dev/null
    fi
    echo "build: $config"
    cmake --build "$dir" "${targets[@]}" -- -k 0 | grep -vE '^\[[0-9]+/[0-9]+\] ' || true
    cmake --build "$dir" "${targets[@]}" >/dev/null  # fails the script when the build above failed
done
