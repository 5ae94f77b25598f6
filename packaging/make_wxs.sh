#!/usr/bin/env bash
# Prints the installer's source, tolka.wxs: packaging/tolka.wxs.in with each line holding only
# <!--@part@--> replaced by that part's elements for the files suite/programs.txt lists.
# Components keep Guid="*": wixl derives each from the component's key path, so a file keeps
# its component's identity from one version to the next, and a new file gets one of its own.
#   bash packaging/make_wxs.sh >tolka.wxs
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$repo/scripts/programs.sh"

xml() { local t=${1//&/&amp;}; t=${t//</&lt;}; t=${t//>/&gt;}; echo "${t//\"/&quot;}"; }
mapfile -t windows < <(tolka_programs_of window)
mapfile -t programs < <(tolka_programs_of window; tolka_programs_of console)
mapfile -t boards < <(tolka_programs_of board)
[ ${#windows[@]} -gt 0 ] || { echo "make_wxs: suite/programs.txt lists no window program" >&2; exit 1; }
help=()
for p in "${windows[@]}"; do mapfile -t -O ${#help[@]} help < <(tolka_program_help "$p"); done

component() {  # component <name>: its component, the file its key path
    local name=$1 file id
    file=$(tolka_program_file "$name")
    id=${tolka_program_component[$name]}
    echo "      <Component Id=\"$id\" Guid=\"*\" Win64=\"\$(var.Win64)\">"
    echo "        <File Id=\"$file\" Name=\"$file\" Source=\"\$(var.Bin)/$file\" KeyPath=\"yes\"/>"
    local ext=${tolka_program_extension[$name]} type=${tolka_program_filetype[$name]}
    if [ -n "$ext" ]; then
        local classes='Software\Classes' open="&quot;[#$file]&quot;"
        echo "        <RegistryValue Root=\"HKLM\" Key=\"$classes\\$ext\" Type=\"string\" Value=\"$type\"/>"
        echo "        <RegistryValue Root=\"HKLM\" Key=\"$classes\\$type\" Type=\"string\""
        echo "                       Value=\"$(xml "${tolka_program_typename[$name]}")\"/>"
        echo "        <RegistryValue Root=\"HKLM\" Key=\"$classes\\$type\\DefaultIcon\" Type=\"string\""
        echo "                       Value=\"$open,-129\"/>"
        echo "        <RegistryValue Root=\"HKLM\" Key=\"$classes\\$type\\shell\\open\\command\" Type=\"string\""
        echo "                       Value=\"$open &quot;%1&quot;\"/>"
    fi
    echo "      </Component>"
}

part() {
    local p f first
    case $1 in
        suite-icon)
            f=$(tolka_program_file "${windows[0]}")
            echo "    <Icon Id=\"$f\" SourceFile=\"\$(var.Bin)/$f\"/>"
            echo "    <Property Id=\"ARPPRODUCTICON\" Value=\"$f\"/>"
            ;;
        program-components)
            for p in "${programs[@]}"; do component "$p"; done
            ;;
        help-component)
            [ ${#help[@]} -gt 0 ] || return 0
            echo "      <Component Id=\"HelpFiles\" Guid=\"*\" Win64=\"\$(var.Win64)\">"
            first=' KeyPath="yes"'
            for f in "${help[@]}"; do
                echo "        <File Id=\"$f\" Name=\"$f\" Source=\"\$(var.Bin)/$f\"$first/>"
                first=
            done
            echo "      </Component>"
            ;;
        board-components)
            for p in "${boards[@]}"; do component "$p"; done
            ;;
        shortcuts)
            for p in "${windows[@]}"; do
                echo "        <Shortcut Id=\"${p}Shortcut\" Name=\"$p\" Target=\"[#$(tolka_program_file "$p")]\""
                echo "                  WorkingDirectory=\"INSTALLDIR\" Description=\"$(xml "${tolka_program_shortcut[$p]}")\"/>"
            done
            ;;
        program-refs)
            for p in "${programs[@]}"; do echo "      <ComponentRef Id=\"${tolka_program_component[$p]}\"/>"; done
            [ ${#help[@]} -eq 0 ] || echo '      <ComponentRef Id="HelpFiles"/>'
            ;;
        board-refs)
            for p in "${boards[@]}"; do echo "        <ComponentRef Id=\"${tolka_program_component[$p]}\"/>"; done
            ;;
        *) echo "make_wxs: no part $1" >&2; return 1 ;;
    esac
}

while IFS= read -r line || [ -n "$line" ]; do
    if [[ $line =~ ^[[:space:]]*\<!--@([a-z-]+)@--\>[[:space:]]*$ ]]; then
        part "${BASH_REMATCH[1]}"
    else
        printf '%s\n' "$line"
    fi
done <"$repo/packaging/tolka.wxs.in"
