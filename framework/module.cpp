#include "framework/module.h"

#include "framework/text.h"

namespace fw {

std::wstring GetModulePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD len = GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
        if (len == 0)
            return std::wstring();
        // A full buffer means the path may have been cut: try again with more room.
        if (len < path.size()) {
            path.resize(len);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring GetAppName() {
    return PathWithoutExtension(FileNameOfPath(GetModulePath()));
}

std::wstring LoadResString(UINT id) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW returns a read-only pointer into the resource.
    int len = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (len <= 0 || text == nullptr)
        return std::wstring();
    return std::wstring(text, static_cast<size_t>(len));
}

std::wstring GetEnvironmentString(const wchar_t* name) {
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return std::wstring();
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, &value[0], size));
    return value;
}

std::wstring GetCurrentDirectoryString() {
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(size, L'\0');
    dir.resize(GetCurrentDirectoryW(size, &dir[0]));
    return dir;
}

std::wstring FullPathName(const std::wstring& path) {
    DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    while (size != 0) {
        std::wstring full(size, L'\0');
        DWORD got = GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
        if (got == 0)
            break;
        if (got < size) {
            full.resize(got);
            return full;
        }
        size = got;  // the current folder changed in between
    }
    return path;
}

std::wstring GetWindowTextString(HWND hwnd) {
    int len = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    int got = GetWindowTextW(hwnd, &text[0], len + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

bool UserInterfaceIsJapanese() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

}  // namespace fw
