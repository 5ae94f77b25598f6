#include "framework/codepage.h"

#include <windows.h>

namespace fw {

namespace {

int ConvertedSize(DWORD flags, const wchar_t* text, int len, char* out, int size, BOOL* usedDefault) {
    return WideCharToMultiByte(CP_THREAD_ACP, flags, text, len, out, size, nullptr, usedDefault);
}

// WC_NO_BEST_FIT_CHARS keeps a look-alike ("e" for "é") from standing in for a character.
// Code pages that take neither the flag nor the used-default question (UTF-8) are converted
// without them; the round trip in HeldExactly still finds what they lose.
std::string Convert(const wchar_t* text, int len, BOOL* usedDefault) {
    DWORD flags = WC_NO_BEST_FIT_CHARS;
    int size = ConvertedSize(flags, text, len, nullptr, 0, usedDefault);
    if (size <= 0) {
        flags = 0;
        usedDefault = nullptr;
        size = ConvertedSize(flags, text, len, nullptr, 0, usedDefault);
    }
    if (size <= 0)
        return std::string();
    std::string bytes(static_cast<size_t>(size), '\0');
    ConvertedSize(flags, text, len, &bytes[0], size, usedDefault);
    return bytes;
}

bool HeldExactly(const std::wstring& text, const std::string& bytes, BOOL usedDefault) {
    return !usedDefault && FromThreadAnsi(bytes) == text;
}

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// Character by character, a surrogate pair as one.
size_t FirstMissing(const std::wstring& text) {
    for (size_t at = 0; at < text.size();) {
        size_t len = IsHighSurrogate(text[at]) && at + 1 < text.size() ? 2 : 1;
        std::wstring one = text.substr(at, len);
        BOOL usedDefault = FALSE;
        std::string bytes = Convert(one.data(), static_cast<int>(len), &usedDefault);
        if (!HeldExactly(one, bytes, usedDefault))
            return at;
        at += len;
    }
    return 0;  // lost only as a whole: the name is refused from its start
}

}  // namespace

std::string ToThreadAnsi(const std::wstring& text, size_t* firstMissing) {
    if (firstMissing != nullptr)
        *firstMissing = std::wstring::npos;
    if (text.empty())
        return std::string();
    BOOL usedDefault = FALSE;
    std::string bytes = Convert(text.data(), static_cast<int>(text.size()), &usedDefault);
    if (firstMissing != nullptr && !HeldExactly(text, bytes, usedDefault))
        *firstMissing = FirstMissing(text);
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
