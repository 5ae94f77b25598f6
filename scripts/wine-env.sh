# Sourced: the environment every Wine run of the project uses, and the one place that decides
# how Wine runs. The prefix and the locale live in the build folder, so runs never depend on
# the machine's own Wine state.
#
# Wine's 32-bit loader runs both kinds of program where the machine can execute 32-bit Linux
# programs; Debian's `wine` picks it whenever wine32 is installed. Some machines cannot execute
# it ("Exec format error"): there every Wine command (wine, wineboot, reg, msiexec, winepath)
# goes through Wine's 64-bit loader instead, and 32-bit Windows programs cannot run at all.
# TOLKA_WINE32=0 forces that 64-bit-only path on any machine.
tolka_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TOLKA_BUILD_ROOT=${TOLKA_BUILD_ROOT:-$tolka_repo/build}
export WINEPREFIX=${WINEPREFIX:-$TOLKA_BUILD_ROOT/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Japanese locale: Wine takes ANSI code page 932 from it, and needs it to create files
# with Japanese names. Given per command (tolka_wine) so this shell keeps its own locale.
export LOCPATH=$TOLKA_BUILD_ROOT/locale

if [ "${TOLKA_WINE32:-}" = 0 ]; then
    TOLKA_WINE32_WHY=${TOLKA_WINE32_WHY:-"TOLKA_WINE32=0 forces the 64-bit-only path"}
elif [ ! -e /usr/lib/wine/wine ]; then
    TOLKA_WINE32=0 TOLKA_WINE32_WHY="wine32 is not installed"
elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    TOLKA_WINE32=0 TOLKA_WINE32_WHY="this machine cannot execute 32-bit Linux programs"
else
    TOLKA_WINE32=1 TOLKA_WINE32_WHY=
fi
export TOLKA_WINE32 TOLKA_WINE32_WHY
if [ "$TOLKA_WINE32" = 0 ]; then
    # Wine's own tools are scripts that call `wine-stable` or `wine` from the PATH: a folder
    # of the project's own, first on the PATH, sends them all to the 64-bit loader.
    tolka_wine_bin=$TOLKA_BUILD_ROOT/wine64-only
    if [ ! -x "$tolka_wine_bin/wine-stable" ]; then
        mkdir -p "$tolka_wine_bin"
        for name in wine wine64 wine-stable; do
            printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$tolka_wine_bin/$name.$$"
            chmod +x "$tolka_wine_bin/$name.$$"
            mv -f "$tolka_wine_bin/$name.$$" "$tolka_wine_bin/$name"
        done
    fi
    case ":$PATH:" in *":$tolka_wine_bin:"*) ;; *) export PATH=$tolka_wine_bin:$PATH ;; esac
    export WINELOADER=/usr/lib/wine/wine64
fi
# What a prefix was made for: one made by the 64-bit loader alone lacks the 32-bit half.
tolka_wine_mode=wine32=$TOLKA_WINE32

tolka_wine() { env LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 wine "$@"; }

# Runs a command that starts Wine with its output in files, shown when it ends. Wine's system
# processes (services, the desktop) are started by the first program that needs them and
# outlive it while any other program of the prefix runs. They inherit that program's output:
# were it a pipe, its reader (ctest, a command substitution) would wait for them to end.
tolka_output_after() {
    local out err rc
    out=$(mktemp) && err=$(mktemp) || return 1
    "$@" >"$out" 2>"$err"
    rc=$?
    cat "$out"
    cat "$err" >&2
    rm -f "$out" "$err"
    return $rc
}
