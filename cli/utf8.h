// UTF-16 (Windows) or UTF-32 (elsewhere) wide text as UTF-8, for the ledger and the JSON
// output. Portable: no <windows.h>.
#pragma once

#include <string>

namespace cli {

// A lone surrogate becomes U+FFFD.
std::string ToUtf8(const std::wstring& text);

}  // namespace cli
