#include "framework/text.h"

namespace fw {

std::wstring FormatMessageText(const std::wstring& pattern, const std::wstring& arg1) {
    std::wstring out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'%' && i + 1 < pattern.size() && pattern[i + 1] == L'1') {
            out += arg1;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

static size_t NameStart(const std::wstring& path) {
    size_t pos = path.find_last_of(L"\\/:");
    return pos == std::wstring::npos ? 0 : pos + 1;
}

std::wstring FileNameOfPath(const std::wstring& path) {
    return path.substr(NameStart(path));
}

std::wstring PathWithoutExtension(const std::wstring& path) {
    size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || dot < NameStart(path))
        return path;
    return path.substr(0, dot);
}

std::wstring FolderOfPath(const std::wstring& path) {
    return path.substr(0, NameStart(path));
}

}  // namespace fw
