// Well-formed UTF-8, as the files the suite writes as UTF-8 text (the Number ledger, the
// virtual board's calls.log) must hold it. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <string>

namespace core {

// Length of the well-formed UTF-8 sequence that starts at text[at] (at < text.size()): 1 for ASCII, 2 to 4 for
// other characters; 0 where none starts there (a continuation byte, an overlong form, a
// surrogate, a value above U+10FFFF, a sequence cut short by the end of the text).
size_t Utf8SequenceLength(const std::string& text, size_t at);

// UTF-16 (Windows) or UTF-32 (elsewhere) wide text to UTF-8, for the ledgers and the console's
// JSON output; a lone surrogate becomes U+FFFD.
std::string ToUtf8(const std::wstring& text);

// UTF-8 to wide text; a byte that does not begin a well-formed sequence becomes U+FFFD.
std::wstring FromUtf8(const std::string& text);

}  // namespace core
