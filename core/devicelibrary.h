// The maker's two device libraries as the programs look for them: only in the program's own
// folder (where the maker's installer or the user puts them) and in the system folder, never
// where a document lies. What the user is told when one of them cannot be used is the same
// in the console and in the windows. Portable: no <windows.h>.
#pragma once

#include <initializer_list>
#include <string>

#include "core/lang.h"

namespace core {

constexpr wchar_t kVarnetLibrary[] = L"Varnet.dll";
constexpr wchar_t kTolkaCommonLibrary[] = L"TolkaCommon.dll";

// A device library that cannot be used.
struct MissingLibrary {
    std::wstring library;   // "Varnet.dll"
    std::wstring function;  // the function it lacks; empty when the file itself did not load
    std::wstring folder;    // the program's folder, where the library belongs
};

// The message naming the library, what is wrong with it and where it belongs.
std::wstring MissingLibraryText(Lang lang, const MissingLibrary& missing);

}  // namespace core
