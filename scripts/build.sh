#!/usr/bin/env bash
# Configures and builds the suite. Without arguments: every configuration.
#   native       portable logic and its tests (Linux g++)
#   asan         the same under AddressSanitizer and UBSan
#   win64 win32  the programs, the virtual board and the Windows tests (MinGW-w64)
#   fuzz         the fuzz targets of the parsers (clang, libFuzzer, ASan and UBSan)
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root=${TOLKA_BUILD_ROOT:-$repo/build}
configs=("$@")
[ ${#configs[@]} -gt 0 ] || configs=(native asan win64 win32 fuzz)

bash "$repo/scripts/setup.sh"

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
    cmake --build "$dir" -- -k 0 | grep -vE '^\[[0-9]+/[0-9]+\] ' || true
    cmake --build "$dir" >/dev/null  # fails the script when the build above failed
done
