#!/usr/bin/env bash
# Builds everything and runs every test: native (plain and sanitized), each fuzz target for a
# few seconds, the Windows tests under Wine for x86_64 and for i686, and the packages (MSI and
# zip) installed under Wine.
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root=${TOLKA_BUILD_ROOT:-$repo/build}

bash "$repo/scripts/build.sh" || { echo "total: 0 passed, 1 failed"; exit 1; }
bash "$repo/scripts/wineprefix.sh" || { echo "total: 0 passed, 1 failed"; exit 1; }

passed=0
failed=0
run_ctest() {
    local dir=$1; shift
    local log=$root/ctest-$(basename "$dir").log
    echo "== ctest $(basename "$dir") $*"
    ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$log"
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        return
    fi
    local total bad
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
}

run_ctest "$root/native"
run_ctest "$root/asan"
run_ctest "$root/fuzz"
# One X server for all Windows tests, so windows can be created and tests need not start their own.
source "$repo/scripts/wine-env.sh"
xvfb_display() {
    for n in $(seq 90 120); do [ -e "/tmp/.X11-unix/X$n" ] || { echo ":$n"; return; }; done
}
display=$(xvfb_display)
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wineserver -k 2>/dev/null' EXIT
sleep 1
export DISPLAY=$display
run_ctest "$root/win64" -j 1
run_ctest "$root/win32"
echo "== packages"
packages_log=$root/packages.log
bash "$repo/packaging/test_packages.sh" 2>&1 | tee "$packages_log"
line=$(grep -E '^packages: [0-9]+ passed, [0-9]+ failed' "$packages_log" | tail -n 1)
if [ -n "$line" ]; then
    passed=$((passed + $(sed -E 's/^packages: ([0-9]+) passed.*/\1/' <<<"$line")))
    failed=$((failed + $(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$line")))
else
    failed=$((failed + 1))
fi

echo "total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
