#include "framework/codepage.h"

#include <windows.h>

namespace fw {

std::string ToThreadAnsi(const std::wstring& text) {
    if (text.empty())
        return std::string();
    int len = static_cast<int>(text.size());
    int size = WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), len, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), len, &bytes[0], size, nullptr, nullptr);
    return bytes;
}

std::wstring FromThreadAnsi(const std::string& bytes) {
    if (bytes.empty())
        return std::wstring();
    int len = static_cast<int>(bytes.size());
    int size = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), len, nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), len, &text[0], size);
    return text;
}

}  // namespace fw
