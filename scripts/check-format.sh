#!/usr/bin/env bash
# Checks that every C++ file of the project is laid out as .clang-format says.
# Exit 0: all formatted; 1: some are not (they are listed, with the command that mends them);
# 77: not checked, because this machine's clang-format is not the version the tree is
# formatted with (versions lay out some constructs differently).
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
formatted_with=14

tool=$(command -v "clang-format-$formatted_with" || command -v clang-format || true)
if [ -z "$tool" ]; then
    echo "format: not checked (no clang-format)"
    exit 77
fi
version=$("$tool" --version | sed -nE 's/.*version ([0-9]+)\..*/\1/p')
if [ "$version" != "$formatted_with" ]; then
    echo "format: not checked (clang-format $version here, the sources are laid out by $formatted_with)"
    exit 77
fi

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
