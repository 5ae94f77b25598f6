#!/usr/bin/env bash
# Builds everything and runs every test: native (plain and sanitized), each fuzz target for a
# few seconds, the Windows tests under Wine for x86_64 and for i686, and the packages (MSI and
# zip) installed under Wine. Independent groups run side by side; the logs are printed group
# by group as they end.
#
# Where the machine cannot execute 32-bit Linux programs (or TOLKA_WINE32=0), no 32-bit Windows
# program can run: the i686 tests that start one and the x86 packages' program starts are
# reported as skipped, with the reason, and never counted as passed. Everything else about the
# i686 build still runs: its build, the check of its shipped files, the x86 MSI's install,
# upgrade and uninstall.
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$repo/scripts/wine-env.sh"
root=$TOLKA_BUILD_ROOT
logs=$root/test-logs
rm -rf "$logs"
mkdir -p "$logs"

started=$(date +%s)
phase_started=$started
timings=()
phase_done() {  # phase_done <name>: how long the phase since the last one took
    local now
    now=$(date +%s)
    timings+=("$(printf '%-28s %4d s' "$1" $((now - phase_started)))")
    phase_started=$now
}
give_up() {
    echo "total: 0 passed, 1 failed"
    exit 1
}

bash "$repo/scripts/build.sh" || give_up
phase_done "set-up and build"
bash "$repo/scripts/wineprefix.sh" || give_up
# The package tests start from copies of a prefix no test has run in.
timeout 120 wineserver -w 2>/dev/null
rm -rf "$root/wineprefix-template"
cp -a "$WINEPREFIX" "$root/wineprefix-template" || give_up
phase_done "Wine prefix"

# Each group writes its log and a result file: "<passed> <failed> <skipped>", and
# skip lines "skipped: <what> (<why>)".
# junit_results <junit.xml> <group> <skip file>: prints "<passed> <failed> <skipped>" from
# ctest's JUnit report (--output-junit) and writes a line "skipped: <group> <test> (<why>)" per
# skipped test to the skip file. A test that ended in its skip code (<skipped
# message="SKIP_RETURN_CODE=...">) did not run: counted as skipped, never as passed, with the
# reason it printed ("skipped: ..." in its output). A test that ctest could not start (another
# <skipped> message: no executable, a failed fixture) counts as failed, as ctest counts it. A
# report that is missing or holds no test counts as one failure.
junit_results() {
    : >"$3"
    [ -s "$1" ] || { echo "0 1 0"; return; }
    awk -v group="$2" -v skips="$3" '
        function unescape(t) {
            gsub(/&lt;/, "<", t); gsub(/&gt;/, ">", t); gsub(/&quot;/, "\"", t); gsub(/&apos;/, "\047", t)
            gsub(/&amp;/, "\\&", t)
            return t
        }
        function attribute(line, key,    m) {
            if (!match(line, key "=\"[^\"]*\"")) return ""
            m = substr(line, RSTART + length(key) + 2, RLENGTH - length(key) - 3)
            return unescape(m)
        }
        function close_case() {
            if (name == "") return
            if (status == "run") passed++
            else if (status == "notrun" && skip_code) {
                skipped++
                printf "skipped: %s %s (%s)\n", group, name, why == "" ? "see its output" : why >skips
            } else failed++
            name = ""
        }
        /<testcase / { close_case(); name = attribute($0, "name"); status = attribute($0, "status"); skip_code = 0; why = ""; out = 0 }
        /<skipped message="SKIP_RETURN_CODE=/ { skip_code = 1 }
        /<system-out>/ { out = 1; sub(/.*<system-out>/, "") }
        out && why == "" && /^skipped: / { why = $0; sub(/^skipped: /, "", why); sub(/<\/system-out>.*/, "", why); why = unescape(why) }
        /<\/system-out>/ { out = 0 }
        END {
            close_case()
            if (passed + failed + skipped == 0) failed = 1
            printf "%d %d %d\n", passed, failed, skipped
        }' "$1"
}
run_ctest() {  # run_ctest <name> <build dir> [ctest args...]
    local name=$1 dir=$2
    shift 2
    local log=$logs/$name.log begin
    begin=$(date +%s)
    echo "== ctest $(basename "$dir") $*" >"$log"
    rm -f "$logs/$name.xml"
    ctest --test-dir "$dir" --output-on-failure --output-junit "$logs/$name.xml" "$@" >>"$log" 2>&1
    junit_results "$logs/$name.xml" "$name" "$logs/$name.skipped" >"$logs/$name.result"
    echo "$name: $(($(date +%s) - begin)) s" >"$logs/$name.time"
}
# The i686 tests where no 32-bit program can run: only those that start none (labelled
# no32) run; the others are listed and skipped.
run_i686_without_32bit() {
    local log=$logs/win32.log begin skipped
    begin=$(date +%s)
    echo "== ctest win32 -L no32 (no 32-bit Windows program can run here)" >"$log"
    rm -f "$logs/win32.xml"
    ctest --test-dir "$root/win32" --output-on-failure --output-junit "$logs/win32.xml" -L no32 >>"$log" 2>&1
    read -r p f s <<<"$(junit_results "$logs/win32.xml" win32 "$logs/win32.no32.skipped")"
    # The i686 files' version resources and manifests, read as data by the x86_64 test.
    echo "== x86_64 shipped_files_tests on the i686 files" >>"$log"
    if TOLKA_SHIPPED_DIR="Z:${root//\//\\}\\win32\\bin" bash "$repo/cmake/wine-run.sh" \
        "$root/win64/bin/shipped_files_tests.exe" >>"$log" 2>&1; then
        p=$((p + 1))
    else
        f=$((f + 1))
    fi
    skipped=$(ctest --test-dir "$root/win32" -N -LE no32 | grep -cE '^ *Test +#')
    echo "$p $f $((skipped + s))" >"$logs/win32.result"
    {
        cat "$logs/win32.no32.skipped"
        ctest --test-dir "$root/win32" -N -LE no32 | sed -nE "s/^ *Test +#[0-9]+: (.*)/skipped: i686 \1 ($TOLKA_WINE32_WHY)/p"
    } >"$logs/win32.skipped"
    rm -f "$logs/win32.no32.skipped"
    echo "win32: $(($(date +%s) - begin)) s" >"$logs/win32.time"
}
# The sources' layout (.clang-format). Without clang-format 14 the check fails, unless
# TOLKA_SKIP_FORMAT=1 asks to skip it: then it is reported as skipped, with the reason.
run_format_check() {
    local log=$logs/format.log begin rc
    begin=$(date +%s)
    echo "== source format" >"$log"
    bash "$repo/scripts/check-format.sh" >>"$log" 2>&1
    rc=$?
    case $rc in
        0) echo "1 0 0" >"$logs/format.result" ;;
        77) echo "0 0 1" >"$logs/format.result"
            sed -nE 's/^format: not checked \((.*)\)$/skipped: source format check (\1)/p' "$log" >"$logs/format.skipped" ;;
        *) echo "0 1 0" >"$logs/format.result" ;;
    esac
    echo "format: $(($(date +%s) - begin)) s" >"$logs/format.time"
}
run_packages() {
    local log=$logs/packages.log line begin
    begin=$(date +%s)
    echo "== packages" >"$log"
    env -u DISPLAY TOLKA_PREFIX_TEMPLATE=$root/wineprefix-template TOLKA_SKIP_FILE=$logs/packages.skipped \
        bash "$repo/packaging/test_packages.sh" >>"$log" 2>&1
    line=$(grep -E '^packages: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped' "$log" | tail -n 1)
    if [ -n "$line" ]; then
        sed -E 's/^packages: ([0-9]+) passed, ([0-9]+) failed, ([0-9]+) skipped.*/\1 \2 \3/' <<<"$line" \
            >"$logs/packages.result"
    else
        echo "0 1 0" >"$logs/packages.result"
    fi
    echo "packages: $(($(date +%s) - begin)) s" >"$logs/packages.time"
}

# One X server for every Windows test in the build's prefix: the prefix's desktop process stays
# connected to the display it was first started on, so that display must outlive all of them
# (an X server per test would take the desktop down with the first test that ends). The
# package tests have prefixes, and so X servers, of their own.
source "$repo/scripts/with-xvfb.sh"
tolka_start_xvfb || give_up
trap 'wineserver -k 2>/dev/null; kill $tolka_xvfb_pid 2>/dev/null' EXIT
native_group() {
    run_format_check
    run_ctest native "$root/native" -j 2
    run_ctest asan "$root/asan" -j 2
    run_ctest fuzz "$root/fuzz" -j 2
    if [ "$TOLKA_WINE32" = 1 ]; then
        run_ctest win32 "$root/win32" -j 2
    else
        run_i686_without_32bit
    fi
}
native_group &
groups=($!)
run_ctest win64 "$root/win64" -j 2 &
groups+=($!)
run_packages &
groups+=($!)
wait "${groups[@]}"
phase_done "tests (side by side)"

passed=0
failed=0
skipped=0
for name in format native asan fuzz win64 win32 packages; do
    cat "$logs/$name.log"
    read -r p f s <"$logs/$name.result"
    passed=$((passed + p))
    failed=$((failed + f))
    skipped=$((skipped + s))
done
phase_done "summary"
echo
echo "time per phase (total $(($(date +%s) - started)) s):"
for t in "${timings[@]}"; do echo "  $t"; done
for name in format native asan fuzz win64 win32 packages; do echo "  of which $(cat "$logs/$name.time")"; done
if [ "$skipped" -gt 0 ]; then
    echo "not run here ($skipped entries):"
    cat "$logs"/*.skipped 2>/dev/null | sed 's/^/  /'
fi
echo "total: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
