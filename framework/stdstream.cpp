#include "framework/stdstream.h"

#include "core/utf8.h"

namespace fw {

void WriteLine(HANDLE stream, const std::wstring& line) {
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE)
        return;
    std::wstring text;
    for (wchar_t c : line + L"\n")
        text += c == L'\n' ? L"\r\n" : std::wstring(1, c);
    DWORD written = 0;
    DWORD mode = 0;
    if (GetConsoleMode(stream, &mode)) {
        WriteConsoleW(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    } else {
        std::string utf8 = core::ToUtf8(text);
        WriteFile(stream, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    }
}

}  // namespace fw
