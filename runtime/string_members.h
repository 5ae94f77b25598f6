// Included ahead of every source file of the Windows builds (the compiler's -include).
//
// The C++ library declares its std::string and std::wstring as instantiated in the library
// itself, so that a program calls the library's copy of each member. The linker then takes the
// library's whole file of them, every member of the class, because their unwind tables are
// kept whole: about 24 KiB for each of the two strings on x86_64. Without that declaration the
// compiler instantiates only the members a file calls, each in a section of its own that the
// linker drops when nothing calls it. The library's own value -1 for this setting does exactly
// that for the strings alone (its other classes stay instantiated in the library); the code of
// each member is the same either way.
#pragma once

#include <bits/c++config.h>

#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
