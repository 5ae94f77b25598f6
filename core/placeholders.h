// The one way every face fills a text's placeholders: %1, %2, ... as in the catalogue's
// texts. Portable: no <windows.h>.
#pragma once

#include <initializer_list>
#include <string>

namespace core {

// The pattern with %1, %2, ... replaced by the arguments in order; a placeholder without an
// argument stays as it is.
std::wstring FillPlaceholders(const wchar_t* pattern, std::initializer_list<std::wstring> args);

}  // namespace core
