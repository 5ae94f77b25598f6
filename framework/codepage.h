// Conversions between the windows' UTF-16 text and multibyte text in the ANSI code page of
// the current thread, which is what stored records carry.
#pragma once

#include <string>

namespace fw {

// Characters the code page cannot represent become its default character.
std::string ToThreadAnsi(const std::wstring& text);
std::wstring FromThreadAnsi(const std::string& bytes);

}  // namespace fw
