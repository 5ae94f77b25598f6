#include "board_files_win.h"

#include <shlobj.h>

#include <map>

#include "call_log.h"
#include "core/digits.h"
#include "framework/fileio.h"
#include "framework/handle.h"
#include "framework/module.h"
#include "framework/syslib.h"
#include "framework/text.h"

namespace vboard {
namespace {

// Another process may hold a state file open for a moment (a reader, a virus scanner);
// give it that moment before calling a write failed.
constexpr int kBusyRetries = 50;
constexpr DWORD kBusyPauseMs = 10;
constexpr uint64_t kLargestStateFile = 64u << 20;

bool IsBusy(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

// Only where LOCALAPPDATA is unset, so the shell and COM libraries are loaded then, not
// whenever a program that uses the DLLs starts.
std::wstring KnownLocalAppData() {
    using KnownFolderFn = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
    using FreeFn = void(WINAPI*)(LPVOID);
    auto knownFolder = fw::SystemFunction<KnownFolderFn>(L"shell32.dll", "SHGetKnownFolderPath");
    auto taskMemFree = fw::SystemFunction<FreeFn>(L"ole32.dll", "CoTaskMemFree");
    if (knownFolder == nullptr || taskMemFree == nullptr)
        return std::wstring();
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(knownFolder(FOLDERID_LocalAppData, 0, nullptr, &path)))
        result = path;
    taskMemFree(path);
    return result;
}

bool IsDirectory(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Per log file, the size it had after this process last wrote to it. Every append goes
// through Varnet.dll under its lock.
std::map<std::wstring, uint64_t>& LogSizes() {
    static std::map<std::wstring, uint64_t> sizes;
    return sizes;
}

// This program's file name, for the log's process lines.
std::string ProgramName() {
    return core::ToUtf8(fw::FileNameOfPath(fw::GetModulePath()));
}

}  // namespace

std::wstring PathKey(std::wstring path) {
    if (!path.empty())
        CharLowerBuffW(&path[0], static_cast<DWORD>(path.size()));
    return path;
}

std::wstring BoardFolder() {
    std::wstring folder = fw::GetEnvironmentString(L"TOLKA_VIRTUAL_BOARD");
    if (folder.empty()) {
        std::wstring base = fw::GetEnvironmentString(L"LOCALAPPDATA");
        if (base.empty())
            base = KnownLocalAppData();
        if (base.empty())
            return std::wstring();
        folder = base + L"\\Tolka\\VirtualBoard";
    }
    // A board whose folder the system cannot resolve has none: a relative name would follow
    // the current folder, which a program's file dialog changes.
    std::optional<std::wstring> full = fw::FullPathName(folder);
    if (!full)
        return std::wstring();
    folder = *full;
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    return folder;
}

bool EnsureFolder(const std::wstring& folder) {
    if (folder.empty())
        return false;
    if (IsDirectory(folder))
        return true;
    size_t slash = folder.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 0 && !EnsureFolder(folder.substr(0, slash)))
        return false;
    return CreateDirectoryW(folder.c_str(), nullptr) || IsDirectory(folder);
}

std::wstring FolderStore::PathOf(const std::string& name) const {
    // Without a folder there is nowhere to go; an empty path makes every file call fail.
    return folder_.empty() ? std::wstring() : folder_ + L"\\" + core::FromUtf8(name);
}

BoardStore::Load FolderStore::Read(const std::string& name, std::vector<uint8_t>& bytes) {
    // Sharing delete too, so that a writer can move a new version over the file meanwhile.
    fw::FileHandle file(CreateFileW(PathOf(name).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Load::Missing : Load::Failed;
    }
    Load result = Load::Failed;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file.Get(), &size) && static_cast<uint64_t>(size.QuadPart) <= kLargestStateFile) {
        bytes.assign(static_cast<size_t>(size.QuadPart), 0);
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD got = 0;
            if (!ReadFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr) ||
                got == 0) {
                break;
            }
            done += got;
        }
        if (done == bytes.size())
            result = Load::Ok;
    }
    return result;
}

bool FolderStore::Replace(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::wstring target = PathOf(name);
    if (target.empty())
        return false;
    const std::wstring temp = target + L"." + core::DecimalText<wchar_t>(GetCurrentProcessId()) + L"-" +
                              core::DecimalText<wchar_t>(GetCurrentThreadId()) + L".tmp";
    fw::FileHandle file(
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const bool written = fw::WriteAllFlushed(file.Get(), bytes.data(), bytes.size());
    file.Reset();
    if (written) {
        for (int attempt = 0; attempt < kBusyRetries; ++attempt) {
            if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                return true;
            }
            if (!IsBusy(GetLastError()))
                break;
            Sleep(kBusyPauseMs);
        }
    }
    DeleteFileW(temp.c_str());
    return false;
}

namespace {

bool ProcessRuns(DWORD id) {
    fw::Handle process(OpenProcess(SYNCHRONIZE, FALSE, id));
    if (!process)
        return GetLastError() != ERROR_INVALID_PARAMETER;  // no such process; otherwise assume it runs
    return WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

// The process id of a temporary file that Replace names "<file>.<process>-<thread>.tmp".
DWORD WriterOfTemporary(const std::wstring& name) {
    size_t dash = name.rfind(L'-');
    size_t dot = dash == std::wstring::npos ? std::wstring::npos : name.rfind(L'.', dash);
    if (dot == std::wstring::npos)
        return 0;
    const std::wstring digits = name.substr(dot + 1, dash - dot - 1);
    if (digits.empty() || digits.size() > 10 || digits.find_first_not_of(L"0123456789") != std::wstring::npos)
        return 0;
    uint64_t id = 0;
    for (wchar_t c : digits)
        id = id * 10 + static_cast<uint64_t>(c - L'0');
    return id > 0xFFFFFFFFu ? 0 : static_cast<DWORD>(id);
}

}  // namespace

void FolderStore::RemoveStaleTemporaries() {
    WIN32_FIND_DATAW found;
    fw::FindHandle find(FindFirstFileW((folder_ + L"\\*.tmp").c_str(), &found));
    if (!find)
        return;
    do {
        const DWORD writer = WriterOfTemporary(found.cFileName);
        if (writer != 0 && writer != GetCurrentProcessId() && !ProcessRuns(writer))
            DeleteFileW((folder_ + L"\\" + found.cFileName).c_str());
    } while (FindNextFileW(find.Get(), &found));
}

bool FolderStore::Remove(const std::string& name) {
    const std::wstring path = PathOf(name);
    if (path.empty())
        return false;
    for (int attempt = 0; attempt < kBusyRetries; ++attempt) {
        // Some systems delete when the last handle closes and report success even where the
        // folder then keeps the file (a read-only folder): only a file that is gone counts.
        if (DeleteFileW(path.c_str())) {
            if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
                return true;
            Sleep(kBusyPauseMs);
            continue;
        }
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return true;
        if (!IsBusy(error))
            break;
        Sleep(kBusyPauseMs);
    }
    return false;
}

bool FolderStore::AppendLine(const std::string& name, const std::string& line) {
    const std::wstring path = PathOf(name);
    // One WriteFile per entry on a handle opened for appending: lines of several
    // processes interleave but never mix.
    for (int attempt = 0; attempt < kBusyRetries; ++attempt) {
        fw::FileHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            LARGE_INTEGER size{};
            GetFileSizeEx(file.Get(), &size);
            std::string entry = line + "\n";
            // The size the log had after this process's last line: any other size means the
            // log is new to this process or someone else has written since.
            auto last = LogSizes().find(PathKey(path));
            if (last == LogSizes().end() || last->second != static_cast<uint64_t>(size.QuadPart))
                entry = ProcessEntry(GetCurrentProcessId(), ProgramName()) + "\n" + entry;
            const bool ok = fw::WriteAll(file.Get(), entry.data(), entry.size());
            if (ok)
                LogSizes()[PathKey(path)] = static_cast<uint64_t>(size.QuadPart) + entry.size();
            return ok;
        }
        if (!IsBusy(GetLastError()))
            break;
        Sleep(kBusyPauseMs);
    }
    return false;
}

}  // namespace vboard
