#!/usr/bin/env bash
# Keeps README.md and docs/ as a newcomer needs them: README short, with both commands near
# the top; every link between them leads to a file that is there; every measured table of
# docs/ headed by the commit and load it was measured at (bench/measure.sh prints it so).
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
status=0
fail() { echo "docs: $*"; status=1; }

lines=$(wc -l <README.md)
[ "$lines" -le 250 ] || fail "README.md has $lines lines, more than 250: move the detail into docs/"
for command in 'bash scripts/run.sh' 'bash scripts/test.sh'; do
    head -n 60 README.md | grep -qxF "    $command" || fail "README.md does not give '$command' in its first 60 lines"
done

for file in README.md docs/*.md; do
    dir=$(dirname "$file")
    while read -r target; do
        target=${target%%#*}
        [ -z "$target" ] && continue
        [ -e "$dir/$target" ] || fail "$file links to $target, which is not there"
    done < <(grep -oE '\]\([^)#:]+(#[^)]*)?\)' "$file" | sed -E 's/^\]\(//; s/\)$//')
done

# A measured table: a line of "|" cells whose heading is preceded, within the lines before it,
# by the line bench/measure.sh writes.
for file in docs/benchmarks.md docs/sizes.md; do
    grep -qE '^[A-Z]+-TABLE$' "$file" && fail "$file still has a table to measure ($(grep -E '^[A-Z]+-TABLE$' "$file" | head -n 1))"
    awk -v f="$file" '
        /^Measured at commit `[0-9a-f]+/ { headed = NR }
        /^\|/ && !in_table { in_table = 1; if (!headed || NR - headed > 12) { print "docs: " f ":" NR ": a table without the commit it was measured at"; bad = 1 } }
        !/^\|/ { in_table = 0 }
        END { exit bad }' "$file" || status=1
done
[ "$status" -eq 0 ] && echo "docs: README.md ($lines lines) and docs/ hold"
exit "$status"
