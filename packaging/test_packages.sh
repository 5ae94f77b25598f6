#!/usr/bin/env bash
# Tests the packages under Wine, each architecture in a fresh prefix and with an X server of
# its own, the architectures side by side:
#   - this build is signed with a throw-away certificate: each program and library (zip and
#     install) and the MSI verify against its CA and still link to their .debug files;
#   - a silent install puts the programs, the read-me, the Start-menu shortcuts and the file
#     associations in place, without the virtual board's DLLs and with one uninstall entry (in
#     the user's language, linking to the read-me), and the folder on the PATH once;
#   - each install command line of README.md, README.txt and the help, run as written there,
#     installs the programs with the virtual board;
#   - a silent uninstall leaves no file, folder, shortcut or key, and the PATH as it was found;
#   - installing this build over an older one leaves one entry, of this version, and the
#     virtual board feature is there when asked for and goes again when removed;
#   - each document type opened through its association opens its program on that file (title);
#   - the zip unpacks to the programs and the virtual board, and each program starts (on a file
#     of its document type, if it has one).
# Each architecture counts twice in the closing line: its installer, and its programs' starts.
# Where no 32-bit Windows program can run (scripts/wine-env.sh), the x86 installer is still
# installed, checked and removed by the 64-bit msiexec, and the x86 programs' starts are skipped.
# Packages this build's bin folders first.
#   bash packaging/test_packages.sh [x64] [x86]
#   TOLKA_PREFIX_TEMPLATE=dir   copy this prefix instead of making one (the test command's)
#   TOLKA_SKIP_FILE=file        where to write what was skipped and why
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$repo/scripts/wine-env.sh"
source "$repo/scripts/programs.sh"
work=$TOLKA_BUILD_ROOT/package-test
old_version=0.9.0
version=$(sed -nE 's/^#define TOLKA_SUITE_VERSION_TEXT "(.*)"/\1/p' "$repo/suite/suite_version.h")
name="Tolka Configuration Suite"

# Each architecture gets a prefix of its own, with the project's locale and font set-up;
# no menu entries or file types of the host are touched.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
win() { tolka_wine "$@" 2>/dev/null; }
win_en() { env LANG=C.UTF-8 LC_ALL=C.UTF-8 wine "$@" 2>/dev/null; }  # an English user's
# Each check counts in its group: the installer (install) or the programs' starts (starts).
declare -A held=([install]=0 [starts]=0) broke=([install]=0 [starts]=0)
count_check() {  # count_check <group> <description> <command...>
    local group=$1 what=$2
    shift 2
    if "$@"; then
        held[$group]=$((held[$group] + 1))
    else
        broke[$group]=$((broke[$group] + 1))
        echo "FAIL [$arch] $what"
    fi
}
check() { count_check install "$@"; }
# A check that starts a program of this architecture: skipped, with the reason, where none
# can run.
start_check() {
    if [ "$can_start" = yes ]; then
        count_check starts "$@"
    else
        echo "skipped: x86 package: $1 ($TOLKA_WINE32_WHY)" >>"$work/skipped-$arch"
    fi
}
settle() { wineserver -w; }
quietly() { "$@" >/dev/null; }
exists() { [ -e "$1" ]; }
shortcut_exists() { [ -e "${menus[0]}/$1" ] || [ -e "${menus[1]}/$1" ]; }
absent() { [ ! -e "$1" ]; }
key_exists() { win reg query "$1" "/reg:$bits" >/dev/null; }
key_absent() { ! key_exists "$1"; }
# The system PATH, and how often it holds the install folder (for tolka.exe).
system_path() {
    win reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v PATH | tr -d '\r' |
        sed -nE 's/^ +PATH +REG_[A-Z_]+ +//p'
}
on_path_once() { [ "$(system_path | tr ';' '\n' | grep -ciFx -- "C:\\$program_files\\Tolka\\")" -eq 1 ]; }
path_as_found() { [ "$(system_path)" = "$path_before" ]; }
value_is() { win reg query "$1" /ve "/reg:$bits" | tr -d '\r' | grep -qF -- "$2"; }
entries() {
    win reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "/reg:$bits" | tr -d '\r' |
        grep -cE "DisplayName +REG_SZ +$name\$"
}
# A value of the suite's uninstall entry (DisplayVersion, Publisher).
entry_value() {
    win reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "/reg:$bits" | tr -d '\r' |
        awk -v n="$name" -v key="$1" '/^HKEY/ {k=$0} $0 ~ "DisplayName +REG_SZ +" n "$" {hit=k}
            $1 == key {sub(/^ *[^ ]+ +REG_[A-Z_]+ +/, ""); v[k]=$0} END {print v[hit]}'
}
# A visible window titled exactly so, waited for up to 30 s.
window_appears() {
    local title=$1
    for _ in $(seq 1 60); do
        xwininfo -root -tree 2>/dev/null | grep -qF "\"$title\":" && return 0
        sleep 0.5
    done
    return 1
}
stop_programs() { wineserver -k 2>/dev/null; wineserver -w; }
# Opens a document as Explorer does, through its association: its program shows it.
opens_through_association() {  # opens_through_association <file> <program>
    win start "$(winepath -w "$1")" &
    window_appears "$2 - $(basename "$1")"
    local shown=$?
    stop_programs
    return $shown
}
starts_showing() {  # starts_showing <program> <window title> [<argument>]
    win start /unix "$1" "${@:3}" &
    window_appears "$2"
    local shown=$?
    stop_programs
    return $shown
}
# A document of the type <ext> in <folder> (its path): zeros, or a station file naming such a
# record and a ledger beside it (a station without a ledger does not start).
sample_document() {  # sample_document <folder> <ext>
    head -c 128 /dev/zero | tee "$1/sample.tpi" >"$1/sample$2"
    [ "$2" != .tstation ] || printf 'record=sample.tpi\r\nledger=sample.csv\r\n' >"$1/sample$2"
    echo "$1/sample$2"
}

# What suite/programs.txt lists: the windowed programs, the console ones, the virtual board's
# DLLs, the programs that open a document type, and the help files.
mapfile -t programs < <(tolka_programs_of window)
mapfile -t consoles < <(tolka_programs_of console)
mapfile -t boards < <(tolka_programs_of board)
openers=() help_files=()
for p in "${programs[@]}"; do
    [ -z "${tolka_program_extension[$p]}" ] || openers+=("$p")
    mapfile -t -O ${#help_files[@]} help_files < <(tolka_program_help "$p")
done
installed_keys=()
for p in "${openers[@]}"; do
    installed_keys+=('HKLM\Software\Classes\'"${tolka_program_extension[$p]}"
        'HKLM\Software\Classes\'"${tolka_program_filetype[$p]}")
done
installed_keys+=('HKLM\Software\Tolka Devices\Tolka Configuration Suite' 'HKLM\Software\Tolka Devices')

nothing_left() {
    check "uninstall removes the folder" absent "$dir"
    check "uninstall removes the Start-menu folder" absent "${menus[0]}"
    check "uninstall removes the Start-menu folder" absent "${menus[1]}"
    local key
    for key in "${installed_keys[@]}"; do check "uninstall removes $key" key_absent "$key"; done
    check "uninstall removes the entry" test "$(entries)" -eq 0
    check "uninstall leaves the system PATH exactly as it was found" path_as_found
}

# The programs are in the install folder; the virtual board is there or absent (exists|absent).
programs_installed() {  # programs_installed <how> exists|absent
    local p
    for p in "${programs[@]}" "${consoles[@]}"; do check "$1 installs $p.exe" exists "$dir/$p.exe"; done
    for p in "${boards[@]}"; do check "$1: virtual board's $p.dll $2" "$2" "$dir/$p.dll"; done
}

# Signatures: verified against the throw-away CA, which signed this build only.
signed() { osslsigncode verify -CAfile "$work/sign/ca.pem" -in "$1" >/dev/null 2>&1; }
# A stripped file's debug link names its .debug file and that file's CRC-32, which a debugger
# checks before it believes the file (gzip's trailer holds the same CRC).
debug_link_holds() {  # debug_link_holds <file> <folder of the .debug files>
    local link=$work/link-$arch debug=$2/$(basename "$1").debug
    x86_64-w64-mingw32-objcopy --dump-section .gnu_debuglink="$link" "$1" "$link.out" 2>/dev/null || return 1
    rm -f "$link.out"
    [ -f "$debug" ] && [ "$(head -c "$(($(stat -c %s "$link") - 4))" "$link" | tr -d '\0')" = "${debug##*/}" ] &&
        [ "$(tail -c 4 "$link" | od -An -tx1)" = "$(gzip -c "$debug" | tail -c 8 | head -c 4 | od -An -tx1)" ]
}

# The install command lines of README.md, README.txt and the help pages, for this version and
# architecture (REMOVE=, for an installed suite, runs after the upgrade below).
doc_install_lines() {  # doc_install_lines <file>...
    grep -ohE 'msiexec /i Tolka-[^ ]+-x64\.msi( [A-Za-z/][^ `<()]*)*' "$@" | grep -v REMOVE= |
        sed -E "s/Tolka-[^ ]+-x64\.msi/Tolka-$version-$arch.msi/"
}
docs=("$repo/README.md" "$repo/packaging/README.txt" "$repo/help/en/common/virtualboard.htm"
    "$repo/help/ja/common/virtualboard.htm")
# Every install line of those and of docs/ is run as written.
install_docs=("${docs[@]}" "$repo"/docs/*.md)
# Runs a command line in the packages' folder, as a user types it there.
run_in_dist() { (cd "$work/dist" && read -ra words <<<"$1" && win "${words[@]}" </dev/null); }

# One architecture, in its own prefix: writes "<passed> <failed> <skipped>" to
# $work/result-<arch>, counting its installer and its programs' starts.
test_arch() {
    arch=$1
    case $arch in
        x64) bits=64 program_files="Program Files" ;;
        x86) bits=32 program_files="Program Files (x86)" ;;
    esac
    can_start=yes
    [ "$arch" = x64 ] || [ "$TOLKA_WINE32" = 1 ] || can_start=no
    export WINEPREFIX=$work/prefix-$arch
    if [ -n "${TOLKA_PREFIX_TEMPLATE:-}" ]; then
        cp -a "$TOLKA_PREFIX_TEMPLATE" "$WINEPREFIX"
    else
        bash "$repo/scripts/wineprefix.sh"
    fi || { echo "0 2 0" >"$work/result-$arch"; return; }
    msi=$(winepath -w "$work/dist/Tolka-$version-$arch.msi" 2>/dev/null)
    old_msi=$(winepath -w "$work/old/Tolka-$old_version-$arch.msi" 2>/dev/null)
    dir=$WINEPREFIX/drive_c/$program_files/Tolka
    # Windows puts a per-machine install's shortcuts in the common Start menu; Wine's installer
    # puts them in the installing user's. Either is the Start menu.
    menus=("$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tolka"
        "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tolka")

    # Signed: this build; the older one, made without a certificate, says it is unsigned.
    check "the MSI is signed" signed "$work/dist/Tolka-$version-$arch.msi"
    check "packaging says the older build is unsigned" \
        grep -q "$old_version-$arch.msi.*(unsigned)" "$work/package-old.log"
    check "packaging never prints the password" eval '! grep -qFf "$work/sign/password" "$work"/package*.log'

    # Silent install with the defaults, as README gives it, in the packages' folder.
    path_before=$(system_path)
    local silent="msiexec /i Tolka-$version-$arch.msi /qn"
    check "README.md gives the silent install" eval 'doc_install_lines "$repo/README.md" | grep -qxF "$silent"'
    check "msiexec /i succeeds" run_in_dist "$silent"
    settle
    programs_installed "the silent install" absent
    for p in "${programs[@]}"; do check "$p shortcut" shortcut_exists "$p.lnk"; done
    for p in "${programs[@]}" "${consoles[@]}"; do check "the installed $p.exe is signed" signed "$dir/$p.exe"; done
    check "read-me installed" exists "$dir/README.txt"
    for f in "${help_files[@]}"; do
        check "help file $f installed" exists "$dir/$f"
    done
    local ext type classes='HKLM\Software\Classes'
    for p in "${openers[@]}"; do
        ext=${tolka_program_extension[$p]} type=${tolka_program_filetype[$p]}
        check "$ext opens $p's file type" value_is "$classes\\$ext" "$type"
        check "$ext command passes the file" value_is "$classes\\$type\\shell\\open\\command" "$p.exe\" \"%1\""
        check "$ext icon is $p's document icon" value_is "$classes\\$type\\DefaultIcon" "$p.exe\",-129"
    done
    check "one uninstall entry" test "$(entries)" -eq 1
    check "the install folder is on the system PATH once" on_path_once
    check "the entry names the publisher" test "$(entry_value Publisher)" = "Tolka Devices"
    check "the entry names the version" test "$(entry_value DisplayVersion)" = "$version"
    check "the entry is Japanese for a Japanese user" test "$(entry_value Language)" = 0x411
    check "the entry links to the read-me" test "$(entry_value HelpLink)" = "C:\\$program_files\\Tolka\\README.txt"

    check "msiexec /x succeeds" win msiexec /x "$msi" /qn
    settle
    nothing_left

    # Every other install command line of the read-mes and the help, exactly as written there.
    local doc line lines
    for doc in "${docs[@]}"; do
        check "${doc#"$repo/"} gives the install with the virtual board" \
            eval 'doc_install_lines "$doc" | grep -q VirtualBoard'
    done
    mapfile -t lines < <(doc_install_lines "${install_docs[@]}" | sort -u | grep -vxF "$silent")
    for line in "${lines[@]}"; do
        check "$line succeeds" run_in_dist "$line"
        settle
        programs_installed "$line" "$(grep -qE 'ADDLOCAL=|VIRTUALBOARD=' <<<"$line" && echo exists || echo absent)"
        check "msiexec /x after $line succeeds" win msiexec /x "$msi" /qn
        settle
        check "msiexec /x after $line leaves the system PATH exactly as it was found" path_as_found
    done

    # An older build, then this one over it by an English user with the virtual board, which
    # then goes alone.
    check "older build installs" win msiexec /i "$old_msi" /qn
    settle
    check "older build's entry" test "$(entry_value DisplayVersion)" = "$old_version"
    check "upgrade installs" win_en msiexec /i "$msi" VIRTUALBOARD=1 /qn
    settle
    check "one entry after the upgrade" test "$(entries)" -eq 1
    check "the entry is this version" test "$(entry_value DisplayVersion)" = "$version"
    check "the entry is English for an English user" test "$(entry_value Language)" = 0x409
    check "the install folder is on the system PATH once after the upgrade" on_path_once
    programs_installed "the upgrade with VIRTUALBOARD=1" exists
    for p in "${boards[@]}"; do check "the installed $p.dll is signed" signed "$dir/$p.dll"; done

    # Opening each document type as Explorer does: through its association.
    for p in "${openers[@]}"; do
        ext=${tolka_program_extension[$p]}
        start_check "the associated $p opens a $ext file" opens_through_association \
            "$(sample_document "$WINEPREFIX/drive_c/users/Public" "$ext")" "$p"
    done

    check "REMOVE=VirtualBoard succeeds" run_in_dist "msiexec /i Tolka-$version-$arch.msi REMOVE=VirtualBoard /qn"
    settle
    programs_installed "REMOVE=VirtualBoard" absent
    check "msiexec /x after the upgrade succeeds" win msiexec /x "$msi" /qn
    settle
    nothing_left

    # The zip: unpack, start the launcher, then the editors with the virtual board beside them.
    unpacked=$WINEPREFIX/drive_c/users/Public/zip
    rm -rf "$unpacked"
    mkdir -p "$unpacked"
    (cd "$unpacked" && unzip -q "$work/dist/Tolka-$version-$arch.zip")
    root=$unpacked/Tolka-$version-$arch
    local zipped=("${programs[@]/%/.exe}" "${consoles[@]/%/.exe}" README.txt "${help_files[@]}")
    for p in "${boards[@]}"; do zipped+=("virtual-board/$p.dll"); done
    for f in "${zipped[@]}" virtual-board/README.txt; do
        check "zip holds $f" exists "$root/$f"
    done
    check "zip keeps the virtual board out of the programs' folder" absent "$root/${boards[0]}.dll"
    rm -rf "$work/debug-$arch" && unzip -q -d "$work/debug-$arch" "$work/dist/Tolka-$version-$arch-debug.zip"
    for f in "$root"/*.exe "$root"/virtual-board/*.dll; do
        check "the zip's ${f#"$root/"} is signed" signed "$f"
        check "the zip's ${f#"$root/"} links to its .debug" debug_link_holds "$f" "$work/debug-$arch/${root##*/}"
    done
    # The launcher (the first window program) needs no device library; the others start with
    # the virtual board beside them.
    start_check "the zip's ${programs[0]} starts" starts_showing "$root/${programs[0]}.exe" "${programs[0]}"
    cp "$root"/virtual-board/*.dll "$root/"
    for p in "${consoles[@]}"; do
        start_check "the zip's $p.exe answers" quietly win "$(winepath -w "$root/$p.exe")" --help
    done
    for p in "${programs[@]:1}"; do
        ext=${tolka_program_extension[$p]}
        start_check "the zip's $p starts${ext:+ on a $ext file}" starts_showing "$root/$p.exe" \
            "$p${ext:+ - sample$ext}" ${ext:+"$(winepath -w "$(sample_document "$unpacked" "$ext")")"}
    done

    local p=0 f=0 s=0
    [ "${broke[install]}" -eq 0 ] && p=$((p + 1)) || f=$((f + 1))
    if [ "$can_start" = no ]; then
        s=$((s + 1))
    elif [ "${broke[starts]}" -eq 0 ]; then
        p=$((p + 1))
    else
        f=$((f + 1))
    fi
    echo "[$arch] checks held: installer $((held[install])) of $((held[install] + broke[install])), starts" \
        "$((held[starts])) of $((held[starts] + broke[starts]))"
    echo "$p $f $s" >"$work/result-$arch"
}

# A second run of this script tests one architecture inside an X server of its own.
if [ "${1:-}" = --arch ]; then
    test_arch "$2"
    exit 0
fi

archs=("$@")
[ ${#archs[@]} -gt 0 ] || archs=(x64 x86)
for arch in "${archs[@]}"; do
    case $arch in
        x64 | x86) ;;
        *) echo "test_packages: unknown architecture $arch" >&2; exit 2 ;;
    esac
done
rm -rf "$work"
mkdir -p "$work/sign"

# A throw-away CA and a code-signing certificate it issued, with its key in a PKCS#12 file
# under a random password, as a factory's certificate would come.
make_certificate() {
    local new=(openssl req -x509 -newkey rsa:2048 -nodes -days 2)
    cd "$work/sign" && openssl rand -hex 16 >password &&
        "${new[@]}" -keyout ca.key -out ca.pem -subj "/CN=Tolka test CA" -addext keyUsage=critical,keyCertSign &&
        "${new[@]}" -keyout signer.key -out signer.pem -subj "/CN=Tolka test signer" -CA ca.pem -CAkey ca.key \
            -addext basicConstraints=CA:FALSE -addext extendedKeyUsage=codeSigning &&
        openssl pkcs12 -export -inkey signer.key -in signer.pem -certfile ca.pem -passout file:password -out signer.pfx
}
unset TOLKA_SIGN_PFX TOLKA_SIGN_PASSWORD_FILE TOLKA_SIGN_TIMESTAMP_URL
if ! (make_certificate) >"$work/sign/openssl.log" 2>&1 ||
    ! TOLKA_DIST=$work/dist TOLKA_SIGN_PFX=$work/sign/signer.pfx TOLKA_SIGN_PASSWORD_FILE=$work/sign/password \
        bash "$repo/scripts/package.sh" --no-build "${archs[@]}" >"$work/package.log" 2>&1 ||
    ! TOLKA_DIST=$work/old TOLKA_PACKAGE_VERSION=$old_version bash "$repo/scripts/package.sh" --no-build "${archs[@]}" \
        >"$work/package-old.log" 2>&1; then
    cat "$work/sign/openssl.log" "$work/package.log" "$work/package-old.log" 2>/dev/null
    echo "packages: 0 passed, 1 failed, 0 skipped"
    exit 1
fi

for arch in "${archs[@]}"; do
    bash "$repo/scripts/with-xvfb.sh" bash "$0" --arch "$arch" >"$work/log-$arch" 2>&1 &
done
wait
passed=0 failed=0 skipped=0
for arch in "${archs[@]}"; do
    cat "$work/log-$arch"
    read -r p f s <"$work/result-$arch" 2>/dev/null || { p=0 f=1 s=0; }
    passed=$((passed + p)) failed=$((failed + f)) skipped=$((skipped + s))
    if [ -f "$work/skipped-$arch" ]; then
        cat "$work/skipped-$arch"
        [ -z "${TOLKA_SKIP_FILE:-}" ] || cat "$work/skipped-$arch" >>"$TOLKA_SKIP_FILE"
    fi
done
echo "packages: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
