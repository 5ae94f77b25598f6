// A stand-in for a device library planted where no program may load one from: loading it
// leaves "<its own path>.loaded" beside it, so a test sees whether anyone did.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    // A wide path is never longer than 32767 characters.
    static wchar_t path[32768 + 8];
    DWORD length = GetModuleFileNameW(self, path, 32768);
    if (length == 0 || length >= 32768)
        return TRUE;
    lstrcpyW(path + length, L".loaded");
    HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark != INVALID_HANDLE_VALUE)
        CloseHandle(mark);
    return TRUE;
}
