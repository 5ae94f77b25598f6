#!/usr/bin/env bash
# The production report's page in a real browser: Debian's chromium, headless, renders a page
# of report_page_sample in each language. The screenshot must show the chart's ok and gap bars
# beside text, and the page must log nothing to the console (its content policy reports there
# any script or outside file it blocks). Exit 77, which ctest counts as skipped, where chromium
# is not installed.
#   report_browser_test.sh <report_page_sample>
set -uo pipefail
sample=$1
browser=$(command -v chromium || true)
if [ -z "$browser" ]; then
    echo "skipped: chromium is not installed (scripts/setup.sh installs it)"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL ($lang): $*"
    failures=$((failures + 1))
}
# The share of the screenshot's pixels in a colour of the chart.
share() { convert "$1" -alpha off -fuzz 8% -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:mean]' info:; }

for lang in ja en; do
    page=$work/report-$lang.html shot=$work/shot-$lang.png log=$work/chromium-$lang.log
    "$sample" "$page" "$lang" || { fail "no page made"; continue; }
    timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-background-networking \
        --disable-component-update --disable-sync --no-first-run --user-data-dir="$work/profile-$lang" \
        --enable-logging=stderr --v=0 --window-size=900,1400 --screenshot="$shot" "file://$page" >"$log" 2>&1
    if [ ! -s "$shot" ]; then
        fail "no screenshot"
        sed 's/^/  /' "$log"
        continue
    fi
    if grep -q ':CONSOLE' "$log"; then
        fail "the page logged to the console:"
        grep ':CONSOLE' "$log" | sed 's/^/  /'
    fi
    colours=$(identify -format '%k' "$shot")
    ok=$(share "$shot" '#2e7d32')
    gaps=$(share "$shot" '#c62828')
    echo "$lang: $(stat -c %s "$page") bytes, screenshot of $colours colours, ok bars $ok, gap bars $gaps"
    [ "$colours" -ge 50 ] || fail "the screenshot is blank or nearly ($colours colours)"
    awk -v ok="$ok" -v gaps="$gaps" 'BEGIN { exit !(ok > 0.005 && gaps > 0.0005) }' || fail "no chart to be seen"
done
[ "$failures" -eq 0 ] && echo "report_browser_test: passed"
exit $((failures > 0))
