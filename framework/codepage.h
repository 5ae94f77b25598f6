// Conversions between the windows' UTF-16 text and multibyte text: the ANSI code page of
// the current thread, which is what stored records carry, and UTF-8, which text files the
// suite writes for people (the virtual board's board.ini and calls.log) carry.
#pragma once

#include <string>

namespace fw {

// Characters the code page cannot hold exactly become its default character, never a
// look-alike. With firstMissing, it receives the index of the first such character, or npos
// when the bytes turn back into exactly the text.
std::string ToThreadAnsi(const std::wstring& text, size_t* firstMissing = nullptr);
std::wstring FromThreadAnsi(const std::string& bytes);

// As the system converts: malformed bytes and unpaired surrogates become U+FFFD.
std::wstring FromUtf8(const std::string& bytes);
std::string ToUtf8(const std::wstring& text);

}  // namespace fw
