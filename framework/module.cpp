#include "framework/module.h"

#include "framework/language.h"
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

std::wstring LoadResString(UINT id, HMODULE module) {
    // A string table block holds 16 counted strings; block n + 1 holds ids 16n to 16n + 15.
    const auto* block = static_cast<const WCHAR*>(LockUiResource(RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), module));
    if (block == nullptr)
        return std::wstring();
    for (UINT i = 0; i < id % 16; ++i)
        block += 1 + *block;
    return std::wstring(block + 1, *block);
}

std::wstring GetEnvironmentString(const wchar_t* name) {
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    while (size != 0) {
        std::wstring value(size, L'\0');
        DWORD got = GetEnvironmentVariableW(name, &value[0], size);
        if (got < size) {
            value.resize(got);
            return value;
        }
        size = got;  // the value grew in between: the buffer holds nothing yet
    }
    return std::wstring();
}

std::wstring GetCurrentDirectoryString() {
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(size, L'\0');
    dir.resize(GetCurrentDirectoryW(size, &dir[0]));
    return dir;
}

std::optional<std::wstring> FullPathName(const std::wstring& path) {
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
    return std::nullopt;
}

}  // namespace fw
