#include "launcher/launchpath.h"

#include "framework/text.h"

namespace launcher {

void MakeUpperAscii(std::wstring& text) {
    for (wchar_t& c : text) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
}

std::wstring ToolPathFor(const std::wstring& modulePath, const std::wstring& fileName) {
    return fw::FolderOfPath(modulePath) + fileName;
}

std::wstring QuotedCommandLine(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

}  // namespace launcher
