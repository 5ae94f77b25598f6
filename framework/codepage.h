// Conversions between the windows' UTF-16 text and multibyte text in the ANSI code page of
// the current thread, which is what stored records carry. UTF-8 has one portable
// conversion for every part of the suite (core/utf8.h).
#pragma once

#include <string>

namespace fw {

// Characters the code page cannot hold exactly become its default character, never a
// look-alike. With firstMissing, it receives the index of the first such character, or npos
// when the bytes turn back into exactly the text.
std::string ToThreadAnsi(const std::wstring& text, size_t* firstMissing = nullptr);
std::wstring FromThreadAnsi(const std::string& bytes);

}  // namespace fw
