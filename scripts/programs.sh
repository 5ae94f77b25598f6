# The suite's shipped files, read from suite/programs.txt (its header says what each column
# holds). Sourced; defines
#   tolka_programs             every name, in the file's order
#   tolka_program_<column>     associative arrays by name: folder, kind, component, shortcut,
#                              extension, filetype, typename ("-" in the file is "" here)
#   tolka_programs_of <kind>   prints the names of one kind (window, console, board), one a line
#   tolka_program_file <name>  prints the file's name (.exe or .dll)
#   tolka_program_help <name>  prints a window program's help files, Japanese and English
#                              (<name>.chm, <name>EN.chm), when help/ja/<name> exists
tolka_programs=()
declare -A tolka_program_folder=() tolka_program_kind=() tolka_program_component=() tolka_program_shortcut=()
declare -A tolka_program_extension=() tolka_program_filetype=() tolka_program_typename=()

tolka_read_programs() {
    local list=$1 line name field key i
    local -a fields
    while IFS= read -r line || [ -n "$line" ]; do
        case $line in '#'* | '') continue ;; esac
        IFS='|' read -r -a fields <<<"$line"
        if [ ${#fields[@]} -ne 8 ]; then
            echo "programs: 8 columns expected in $list: $line" >&2
            return 1
        fi
        for i in "${!fields[@]}"; do
            field=${fields[$i]}
            field=${field#"${field%%[![:space:]]*}"}
            field=${field%"${field##*[![:space:]]}"}
            [ "$field" != - ] || field=
            fields[$i]=$field
        done
        name=${fields[0]}
        i=1
        for key in folder kind component shortcut extension filetype typename; do
            declare -n column=tolka_program_$key
            column[$name]=${fields[$i]}
            unset -n column
            i=$((i + 1))
        done
        case ${tolka_program_kind[$name]} in
            window | console | board) ;;
            *) echo "programs: $name in $list is of no known kind (window, console, board)" >&2; return 1 ;;
        esac
        tolka_programs+=("$name")
    done <"$list"
}

tolka_programs_of() {
    local name
    for name in "${tolka_programs[@]}"; do
        [ "${tolka_program_kind[$name]}" != "$1" ] || echo "$name"
    done
}

tolka_program_file() {
    if [ "${tolka_program_kind[$1]}" = board ]; then echo "$1.dll"; else echo "$1.exe"; fi
}

tolka_program_help() {
    [ "${tolka_program_kind[$1]}" = window ] && [ -d "$tolka_source_root/help/ja/$1" ] || return 0
    printf '%s\n' "$1.chm" "$1EN.chm"
}

tolka_source_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tolka_read_programs "$tolka_source_root/suite/programs.txt"
