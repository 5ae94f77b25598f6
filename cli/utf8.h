// UTF-16 (Windows) or UTF-32 (elsewhere) wide text to and from UTF-8, for the ledgers and
// the JSON output. Portable: no <windows.h>.
#pragma once

#include <string>

namespace cli {

// A lone surrogate becomes U+FFFD.
std::string ToUtf8(const std::wstring& text);

// A byte that does not begin a well-formed sequence becomes U+FFFD.
std::wstring FromUtf8(const std::string& text);

}  // namespace cli
