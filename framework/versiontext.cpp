#include "framework/versiontext.h"

#include "core/digits.h"

std::wstring VersionQueryPath(uint16_t language, uint16_t codePage, const std::wstring& key) {
    return L"\\StringFileInfo\\" + core::HexText<wchar_t>(language, 4, core::HexCase::Lower) +
           core::HexText<wchar_t>(codePage, 4, core::HexCase::Lower) + L"\\" + key;
}
