#include "common/versiontext.h"

#include <cstdio>

std::wstring VersionQueryPath(uint16_t language, uint16_t codePage, const std::wstring& key) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%04x%04x", static_cast<unsigned>(language), static_cast<unsigned>(codePage));
    return L"\\StringFileInfo\\" + std::wstring(hex, hex + 8) + L"\\" + key;
}
