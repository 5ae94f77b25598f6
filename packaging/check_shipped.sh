#!/usr/bin/env bash
# Checks each shipped file of a release build as the linker left it:
#   - it imports only the system's core libraries; everything else (file dialogs, UUIDs, the
#     shell, COM, HTML help, version resources) is loaded by the command that needs it. A
#     program never imports a device library: it loads them from its own folder or the system
#     folder (a static import could come from the current folder); only the device DLLs
#     themselves may import Varnet.dll;
#   - it is stripped (no symbols, no debug sections) and links to <file>.debug beside it, which
#     holds the debug information;
#   - a device library exports each function the programs call under its plain name, as the
#     maker's libraries do (no __stdcall decoration such as "@8" on i686);
#   - it is within its size budget (each file's size is printed), and links none of the C++
#     library's streams and locales: their facets for char and wchar_t alone are hundreds of
#     KB, brought in by one string stream. Told by the symbols of <file>.debug.
#   check_shipped.sh <objdump> <nm> <file>...
set -u
objdump=$1
nm=$2
shift 2
# Size budgets in bytes (1 KB = 1000 bytes) by the files' format: every shipped file, and the
# console program and the station window on their own where they need more (both carry the
# ledgers; the station's x86_64 file stays within every file's budget). The README ("Size budgets") says what each
# file is made of.
declare -A budget=(
    [pei-x86-64]=250000
    [pei-x86-64/tolka.exe]=300000
    [pei-i386]=240000
    [pei-i386/tolka.exe]=330000
    [pei-i386/TolkaStation.exe]=275000
)
# The streams and the locale machinery, as the demangled symbols name them.
streams='std::(__cxx11::)?(basic_([io]?stringstream|[io]?fstream|istream|ostream|iostream|ios|streambuf|stringbuf|filebuf)<|locale::|ios_base::|(num|money|time)_(get|put)<|(numpunct|moneypunct|codecvt|ctype|collate|messages)<)'
# The functions each device library must export, by plain name.
declare -A exports=(
    [Varnet.dll]="Varn_GetIFType Varn_SetTimeouts Varn_FlshEchoTest Varn_FlshRead Varn_FlshWrite Varn_FlshErase
        Varn_FlshReadRWArea Varn_FlshWriteRWArea"
    [TolkaCommon.dll]="Tolka_FlashModeOpen Tolka_FlashModeClose Tolka_OptionDlg1 Tolka_ShowProductInfo"
)
system='kernel32|user32|gdi32|advapi32|msvcrt|comctl32|ws2_32'
status=0
for file in "$@"; do
    case $(basename "$file") in
        *.exe) allowed="^($system)\.dll\$" ;;
        *) allowed="^($system|varnet)\.dll\$" ;;
    esac
    imports=$("$objdump" -p "$file" | awk '/DLL Name:/ {print $3}')
    [ -n "$imports" ] || { echo "FAIL $file: no import table found"; status=1; continue; }
    for dll in $imports; do
        if ! tr '[:upper:]' '[:lower:]' <<<"$dll" | grep -qE "$allowed"; then
            echo "FAIL $(basename "$file") imports $dll"
            status=1
        fi
    done
    echo "$(basename "$file"): $(tr '\n' ' ' <<<"$imports")"
    sections=$("$objdump" -h "$file" | awk '$2 ~ /^\./ {print $2}')
    if grep -q '^\.debug_' <<<"$sections" || [ -n "$("$objdump" -t "$file" | sed -n '/^\[/p' | head -n 1)" ]; then
        echo "FAIL $(basename "$file") is not stripped"
        status=1
    fi
    if ! grep -qx '\.gnu_debuglink' <<<"$sections" || ! "$objdump" -h "$file.debug" 2>/dev/null | grep -q ' \.debug_info '; then
        echo "FAIL $(basename "$file") has no debug information beside it"
        status=1
    fi
    name=$(basename "$file")
    format=$("$objdump" -f "$file" | sed -n 's/.*file format //p')
    limit=${budget[$format/$name]:-${budget[$format]:-}}
    size=$(stat -c %s "$file")
    if [ -z "$limit" ]; then
        echo "FAIL $name: no size budget for the format $format"
        status=1
    else
        echo "$name: $size bytes ($((size / 1024)) KiB), budget $limit"
        [ "$size" -le "$limit" ] || { echo "FAIL $name is $((size - limit)) bytes over its budget"; status=1; }
    fi
    symbols=$("$nm" -C "$file.debug" 2>/dev/null)
    if [ -z "$symbols" ]; then
        echo "FAIL $name: no symbols in $name.debug to look for streams and locales in"
        status=1
    elif grep -qE "$streams" <<<"$symbols"; then
        echo "FAIL $name links the C++ streams or locales ($(grep -cE "$streams" <<<"$symbols") symbols), e.g.:"
        grep -E "$streams" <<<"$symbols" | head -n 5 | sed 's/^/    /'
        status=1
    fi
    if [ -n "${exports[$name]:-}" ]; then
        table=$("$objdump" -p "$file" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk '/^\t\[/ {print $NF}')
        for function in ${exports[$name]}; do
            grep -qx "$function" <<<"$table" || { echo "FAIL $name does not export $function by its plain name"; status=1; }
        done
        if grep -q '@' <<<"$table"; then
            echo "FAIL $name exports decorated names: $(grep '@' <<<"$table" | tr '\n' ' ')"
            status=1
        fi
    fi
done
[ $status -eq 0 ] && echo "shipped files: 1 passed, 0 failed" || echo "shipped files: 0 passed, 1 failed"
exit $status
