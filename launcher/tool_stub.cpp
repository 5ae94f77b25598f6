// Stands in for a tool in the launcher's Windows tests. Appends one line to the log file
// named by TOLKA_LAUNCH_LOG, in UTF-16: its own full path, its command line, its current
// directory and its process id, separated by tabs.
#include <windows.h>

#include <string>

#include "framework/module.h"

int main() {
    std::wstring log = fw::GetEnvironmentString(L"TOLKA_LAUNCH_LOG");
    if (log.empty())
        return 2;
    std::wstring line = fw::GetModulePath() + L"\t" + GetCommandLineW() + L"\t" + fw::GetCurrentDirectoryString() +
                        L"\t" + std::to_wstring(GetCurrentProcessId()) + L"\n";
    // Two copies may start at once: the one that finds the log in use tries again, so each
    // line is written whole by one process.
    for (int attempt = 0; attempt < 500; ++attempt) {
        HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            DWORD bytes = static_cast<DWORD>(line.size() * sizeof(wchar_t));
            BOOL ok = WriteFile(file, line.data(), bytes, &written, nullptr);
            CloseHandle(file);
            return ok && written == bytes ? 0 : 1;
        }
        Sleep(10);
    }
    return 1;
}
