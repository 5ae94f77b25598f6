// Portable pieces of reading a program's version resource.
#pragma once

#include <cstdint>
#include <string>

// "\StringFileInfo\041104b0\FileVersion": language and code page as four lower-case
// hexadecimal digits each, then the key.
std::wstring VersionQueryPath(uint16_t language, uint16_t codePage, const std::wstring& key);

// The key that the About box reads, or the product version's.
inline const wchar_t* VersionKey(bool useProductVersion) {
    return useProductVersion ? L"ProductVersion" : L"FileVersion";
}
