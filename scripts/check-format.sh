#!/usr/bin/env bash
# Checks that every C++ file of the project is laid out as .clang-format says.
# Exit 0: all formatted; 1: some are not (they are listed, with the command that mends them),
# or the check cannot be made: no clang-format, or not the version the tree is formatted with
# (versions lay out some constructs differently). TOLKA_SKIP_FORMAT=1 turns the latter into
# 77, "not checked", for a machine that is known to lack the right clang-format.
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
formatted_with=14

cannot_check() {
    if [ "${TOLKA_SKIP_FORMAT:-}" = 1 ]; then
        echo "format: not checked ($1; TOLKA_SKIP_FORMAT=1)"
        exit 77
    fi
    echo "format: cannot check: $1 (install clang-format-$formatted_with, or set TOLKA_SKIP_FORMAT=1 to skip)" >&2
    exit 1
}
tool=$(command -v "clang-format-$formatted_with" || command -v clang-format || true)
[ -n "$tool" ] || cannot_check "no clang-format"
version=$("$tool" --version | sed -nE 's/.*version ([0-9]+)\..*/\1/p')
[ "$version" = "$formatted_with" ] ||
    cannot_check "clang-format ${version:-of unknown version} here, the sources are laid out by $formatted_with"

cd "$repo" || exit 1
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
unformatted=()
for f in "${files[@]}"; do
    "$tool" --dry-run -Werror "$f" >/dev/null 2>&1 || unformatted+=("$f")
done
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "format: ${#unformatted[@]} of ${#files[@]} files differ from .clang-format:"
    printf '  %s\n' "${unformatted[@]}"
    echo "mend with: $tool -i ${unformatted[*]}"
    exit 1
fi
echo "format: ${#files[@]} files as .clang-format says"
