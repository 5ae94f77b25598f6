# Sourced: the environment every Wine run of the project uses. The prefix and the locale
# live in the build folder, so runs never depend on the machine's own Wine state.
tolka_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export TOLKA_BUILD_ROOT=${TOLKA_BUILD_ROOT:-$tolka_repo/build}
export WINEPREFIX=${WINEPREFIX:-$TOLKA_BUILD_ROOT/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Japanese locale: Wine takes ANSI code page 932 from it, and needs it to create files
# with Japanese names. Given per command (tolka_wine) so this shell keeps its own locale.
export LOCPATH=$TOLKA_BUILD_ROOT/locale
tolka_wine() { env LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 wine "$@"; }
