#!/usr/bin/env bash
# Run after linking a shipped file: fails when the C++ library's own terminate handler or throws
# were linked in place of ours (terminate.cpp, library_throws.cpp), as a toolchain whose default
# handler or throw helpers moved would do. Told by the symbols of the file's debug information:
# the demangler, and the reference-counted strings of the library's exception classes.
# A file that fails is removed, so that the next build links it again.
#   check_linked.sh <nm> <file>
set -u
symbols=$("$1" "$2.debug") || exit 1
status=0
if grep -q '__cxa_demangle$' <<<"$symbols"; then
    echo "runtime: $(basename "$2") links the demangler: the library's terminate handler replaced ours (terminate.cpp)" >&2
    status=1
fi
if grep -q '_ZNSs4_Rep' <<<"$symbols"; then
    echo "runtime: $(basename "$2") links the library's old strings: its own throw helpers replaced ours (library_throws.cpp)" >&2
    status=1
fi
[ $status -eq 0 ] || rm -f "$2" "$2.debug"
exit $status
