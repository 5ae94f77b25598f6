#!/usr/bin/env bash
# Checks that string_members.h still works on this toolchain: an object compiled with it must
# carry its own copy of std::string's and std::wstring's reserve (the library's declaration that
# it holds the members is off), and one compiled without it must not (that declaration still
# exists, so the header still has something to save).
#   check_string_members.sh <nm> <object with the header> <object without it>
set -u
nm=$1
with=$2
without=$3
status=0
# The member's type letter in an object: U when only referenced, T or W when defined there
# (i686 names carry one more leading underscore).
kind() {
    "$nm" "$1" | awk -v re="^_?_ZNSt7__cxx1112basic_stringI${2}St11char_traitsI${2}ESaI${2}EE7reserveE[jmy]\$" \
        '$NF ~ re {print $(NF-1); exit}'
}
for char in c:char w:wchar_t; do
    code=${char%%:*}
    name="std::basic_string<${char#*:}>"
    with_kind=$(kind "$with" "$code")
    without_kind=$(kind "$without" "$code")
    if [ -z "$with_kind" ] || [ -z "$without_kind" ]; then
        echo "runtime: $name::reserve not found in the check's objects" >&2
        status=1
    elif [ "$with_kind" = U ]; then
        echo "runtime: string_members.h no longer works: with it, the members of $name still come from the C++ library's own file of them (its headers no longer follow _GLIBCXX_EXTERN_TEMPLATE)" >&2
        status=1
    elif [ "$without_kind" != U ]; then
        echo "runtime: string_members.h is no longer needed: the C++ library no longer declares the members of $name as instantiated in itself" >&2
        status=1
    fi
done
exit $status
