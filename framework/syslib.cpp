#include "framework/syslib.h"

#include <string>

namespace fw {

namespace {

std::wstring& RefusedName() {
    static std::wstring name;
    return name;
}

std::wstring SystemFolder() {
    UINT size = GetSystemDirectoryW(nullptr, 0);
    while (size != 0) {
        std::wstring folder(size, L'\0');
        UINT got = GetSystemDirectoryW(&folder[0], size);
        if (got < size) {
            folder.resize(got);
            return folder;
        }
        size = got;
    }
    return std::wstring();
}

}  // namespace

void RestrictDllSearch() {
    // Windows 7 has the call only with its library-search update: look it up.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault != nullptr)
        setDefault(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Without it, at least the current folder leaves the search.
    SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (!RefusedName().empty() && lstrcmpiW(RefusedName().c_str(), name) == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // A system without the search flags refuses them: name the system folder in full.
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
        std::wstring folder = SystemFolder();
        if (!folder.empty())
            module = LoadLibraryW((folder + L"\\" + name).c_str());
    }
    return module;
}

void RefuseSystemLibraryForTest(const wchar_t* name) {
    RefusedName() = name != nullptr ? name : L"";
}

}  // namespace fw
