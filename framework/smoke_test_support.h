// For end-to-end smoke tests: start a real program, wait for its window, read it, close it.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <cstdint>
#include <string>
#include <vector>

namespace fwsmoke {

struct RunningProgram {
    PROCESS_INFORMATION pi{};
    bool started = false;
    ~RunningProgram() {
        if (started) {
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(pi.hProcess, 99);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    }
};

// The folder of this test program (the programs are built beside it).
inline std::wstring OwnFolder() {
    std::wstring path(32768, L'\0');
    DWORD len = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    path.resize(len);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

inline bool Start(RunningProgram& program, const std::wstring& exe, const std::wstring& args) {
    std::wstring cmd = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    program.started =
        CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &program.pi) != 0;
    return program.started;
}

// Writes a program's input file; false when it cannot be written whole.
inline bool WriteBytes(const std::wstring& path, const void* bytes, DWORD size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool whole =
        file != INVALID_HANDLE_VALUE && WriteFile(file, bytes, size, &written, nullptr) && written == size;
    CloseHandle(file);
    return whole;
}

inline void WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& data) {
    WriteBytes(path, data.data(), static_cast<DWORD>(data.size()));
}

// The whole file; empty when it cannot be read.
inline std::vector<uint8_t> ReadFileBytes(const std::wstring& path) {
    std::vector<uint8_t> data;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return data;
    uint8_t buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0)
        data.insert(data.end(), buf, buf + n);
    CloseHandle(h);
    return data;
}

// A visible top-level window of the process with exactly this title, waited for up to
// timeoutMs. A dialog is made visible only once its controls exist.
inline HWND WaitForWindow(const RunningProgram& program, const std::wstring& title, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        HWND hwnd = FindWindowW(nullptr, title.c_str());
        DWORD pid = 0;
        if (hwnd != nullptr && IsWindowVisible(hwnd) && GetWindowThreadProcessId(hwnd, &pid) &&
            pid == program.pi.dwProcessId)
            return hwnd;
        if (WaitForSingleObject(program.pi.hProcess, 100) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

// For failure messages: whether the program still runs, or how it ended.
inline std::string Status(const RunningProgram& program) {
    if (!program.started)
        return "did not start";
    DWORD code = 0;
    if (WaitForSingleObject(program.pi.hProcess, 0) != WAIT_OBJECT_0 || !GetExitCodeProcess(program.pi.hProcess, &code))
        return "is still running";
    return "ended with exit code " + std::to_string(code);
}

inline std::wstring ControlText(HWND dlg, int id) {
    wchar_t text[512] = {};
    SendMessageTimeoutW(GetDlgItem(dlg, id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return text;
}

// Closes the window as the close box does and returns the program's exit code, or -1 when
// it did not end in time.
inline long CloseAndWait(RunningProgram& program, HWND hwnd, DWORD timeoutMs) {
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(program.pi.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(program.pi.hProcess, &code);
    return static_cast<long>(code);
}

inline DWORD ParentProcessId(DWORD pid) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && parent == 0; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == pid)
            parent = entry.th32ParentProcessID;
    }
    CloseHandle(snapshot);
    return parent;
}

struct ChildWindowSearch {
    const std::wstring* title;
    DWORD parent;
    HWND found;
};

inline BOOL CALLBACK MatchChildWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ChildWindowSearch*>(param);
    wchar_t text[256] = {};
    DWORD pid = 0;
    if (IsWindowVisible(hwnd) && GetWindowTextW(hwnd, text, 256) && *search->title == text &&
        GetWindowThreadProcessId(hwnd, &pid) && ParentProcessId(pid) == search->parent) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window with exactly this title of a process that `parent` started,
// waited for up to timeoutMs. Tests running side by side may show windows of the same title.
inline HWND WaitForChildWindow(const RunningProgram& parent, const std::wstring& title, DWORD timeoutMs) {
    ChildWindowSearch search{&title, parent.pi.dwProcessId, nullptr};
    for (DWORD waited = 0; waited < timeoutMs && search.found == nullptr; waited += 100) {
        EnumWindows(MatchChildWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr)
            Sleep(100);
    }
    return search.found;
}

}  // namespace fwsmoke
