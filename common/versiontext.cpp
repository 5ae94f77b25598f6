#include "common/versiontext.h"

#include "core/numbertext.h"

std::wstring VersionQueryPath(uint16_t language, uint16_t codePage, const std::wstring& key) {
    const std::string hex = core::HexDigits(language, 4) + core::HexDigits(codePage, 4);
    return L"\\StringFileInfo\\" + std::wstring(hex.begin(), hex.end()) + L"\\" + key;
}
