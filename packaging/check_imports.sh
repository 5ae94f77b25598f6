#!/usr/bin/env bash
# Fails when a shipped file imports a DLL that a start does not need: only the system's core
# libraries and the two device libraries may be imported; everything else (file dialogs,
# UUIDs, the shell, COM, HTML help, version resources) is loaded by the command that needs it.
#   check_imports.sh <objdump> <file>...
set -u
objdump=$1
shift
allowed='^(kernel32|user32|gdi32|advapi32|msvcrt|comctl32|ws2_32|varnet|tolkacommon)\.dll$'
status=0
for file in "$@"; do
    imports=$("$objdump" -p "$file" | awk '/DLL Name:/ {print $3}')
    [ -n "$imports" ] || { echo "FAIL $file: no import table found"; status=1; continue; }
    for dll in $imports; do
        if ! tr '[:upper:]' '[:lower:]' <<<"$dll" | grep -qE "$allowed"; then
            echo "FAIL $(basename "$file") imports $dll"
            status=1
        fi
    done
    echo "$(basename "$file"): $(tr '\n' ' ' <<<"$imports")"
done
[ $status -eq 0 ] && echo "imports: 1 passed, 0 failed" || echo "imports: 0 passed, 1 failed"
exit $status
