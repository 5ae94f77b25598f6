#include "framework/fileio.h"

#include "core/digits.h"
#include "framework/handle.h"
#include "framework/module.h"
#include "framework/text.h"

namespace fw {

namespace {

// A device, a pipe or a console may hold a file's name; reading one could wait for ever.
bool IsDiskFile(HANDLE file) {
    return GetFileType(file) == FILE_TYPE_DISK;
}

// A new, exclusive file in the target's folder.
HANDLE CreateTempBeside(const std::wstring& target, std::wstring& tempPath) {
    std::wstring base = FolderOfPath(target) + L"~" + FileNameOfPath(target);
    for (unsigned n = 0; n < 100; ++n) {
        tempPath = base + L"." + core::DecimalText<wchar_t>(GetCurrentProcessId()) + L"-" +
                   core::DecimalText<wchar_t>(n) + L".tmp";
        HANDLE h = CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return h;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

bool WriteAll(HANDLE file, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0)
            return false;
        bytes += written;
        size -= written;
    }
    return true;
}

bool WriteAllFlushed(HANDLE file, const void* data, size_t size) {
    return WriteAll(file, data, size) && FlushFileBuffers(file);
}

namespace {

// How long a shared read waits for a program that holds the file for writing: a save or a
// copy of a record takes milliseconds.
constexpr DWORD kSharedReadWaitMs = 3000;
constexpr DWORD kSharedReadRetryMs = 20;

HANDLE OpenForReading(const std::wstring& path, ReadSharing sharing) {
    if (sharing == ReadSharing::None)
        return CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return OpenSharedToRead(path, kSharedReadWaitMs);
}

// How long a save waits for programs that read the file: a station reads a record in
// milliseconds, and an engineer's save must not fail for that moment.
constexpr DWORD kSaveWaitMs = 1000;

bool HeldByAnother(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// A save of the file under way: its new content waits beside it (CreateTempBeside) until the
// system's replacement puts it in place, and during the replacement the name can be missing.
bool SaveUnderWay(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    const FindHandle find(
        FindFirstFileW((FolderOfPath(path) + L"~" + FileNameOfPath(path) + L".*.tmp").c_str(), &found));
    return static_cast<bool>(find);
}

}  // namespace

HANDLE OpenSharedToRead(const std::wstring& path, DWORD waitMs) {
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    bool lookedAgain = false;
    for (;;) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = GetLastError();
        if (file != INVALID_HANDLE_VALUE)
            return file;
        const bool inTime = GetTickCount64() < deadline;
        if ((error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) && inTime) {
            Sleep(kSharedReadRetryMs);
            continue;
        }
        // A missing file is waited for while a save replaces it, and looked for once more at
        // once: the replacement may have ended between the two looks.
        if (error == ERROR_FILE_NOT_FOUND && inTime && SaveUnderWay(path)) {
            Sleep(kSharedReadRetryMs);
            continue;
        }
        if (error == ERROR_FILE_NOT_FOUND && !lookedAgain) {
            lookedAgain = true;
            continue;
        }
        SetLastError(error);
        return file;
    }
}

core::FileResult ReadFilePrefix(const std::wstring& path,
                                size_t maxBytes,
                                std::vector<uint8_t>& data,
                                ReadSharing sharing) {
    if (IsDeviceName(path))
        return core::FileResult::CannotOpen;
    FileHandle file(OpenForReading(path, sharing));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? core::FileResult::Missing
                                                                              : core::FileResult::CannotOpen;
    }
    if (!IsDiskFile(file.Get()))
        return core::FileResult::CannotOpen;
    // Room for what the file holds now, not for all a caller would take.
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.Get(), &size) && static_cast<uint64_t>(size.QuadPart) < maxBytes)
        maxBytes = static_cast<size_t>(size.QuadPart);
    data.assign(maxBytes, 0);
    size_t got = 0;
    while (got < maxBytes) {
        DWORD n = 0;
        DWORD want = static_cast<DWORD>(maxBytes - got > 0x10000000 ? 0x10000000 : maxBytes - got);
        if (!ReadFile(file.Get(), data.data() + got, want, &n, nullptr)) {
            data.clear();
            return core::FileResult::IoError;
        }
        if (n == 0)
            break;
        got += n;
    }
    data.resize(got);
    return core::FileResult::Ok;
}

namespace {

// The bytes written over the file's old content, which is cut to the new length. Only where
// no new file can be made beside it: a failure part way could leave a mix.
core::FileResult WriteInPlace(const std::wstring& path, const uint8_t* data, size_t size) {
    FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return core::FileResult::CannotOpen;
    return WriteAll(file.Get(), data, size) && SetEndOfFile(file.Get()) && FlushFileBuffers(file.Get())
               ? core::FileResult::Ok
               : core::FileResult::IoError;
}

// The file opened for this program alone, or created; a reader's moment is waited out.
HANDLE OpenExclusiveWaiting(const std::wstring& path) {
    const ULONGLONG deadline = GetTickCount64() + kSaveWaitMs;
    for (;;) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = GetLastError();
        if (file != INVALID_HANDLE_VALUE || !HeldByAnother(error) || GetTickCount64() >= deadline) {
            SetLastError(error);
            return file;
        }
        Sleep(kSharedReadRetryMs);
    }
}

// The system's replacement, tried again while a reader holds the old file: it then fails
// before it touches either file.
bool ReplaceWaiting(const std::wstring& path, const std::wstring& tempPath) {
    const ULONGLONG deadline = GetTickCount64() + kSaveWaitMs;
    for (;;) {
        if (ReplaceFileW(path.c_str(), tempPath.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
            return true;
        const DWORD error = GetLastError();
        const bool held = HeldByAnother(error) || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
        if (!held || GetTickCount64() >= deadline)
            return false;
        Sleep(kSharedReadRetryMs);
    }
}

}  // namespace

core::FileResult WriteFileReplacing(const std::wstring& name, const uint8_t* data, size_t size) {
    if (IsDeviceName(name))
        return core::FileResult::CannotOpen;
    // Some systems' file replacement takes full paths only.
    const std::wstring path = FullPathName(name).value_or(name);
    // A read-only file is never replaced, also where the account could write it anyway.
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return core::FileResult::CannotOpen;
    // Opening the target first tells a file that another program holds open, or a folder
    // that cannot be reached, before anything is written; it also creates a new file.
    FileHandle target(OpenExclusiveWaiting(path));
    if (!target)
        return core::FileResult::CannotOpen;
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    if (!IsDiskFile(target.Get()))
        return core::FileResult::CannotOpen;
    if (!existed) {
        // A new file: there is no old content to protect.
        const bool written = WriteAllFlushed(target.Get(), data, size);
        target.Reset();
        if (!written)
            DeleteFileW(path.c_str());
        return written ? core::FileResult::Ok : core::FileResult::IoError;
    }
    target.Reset();

    std::wstring tempPath;
    FileHandle temp(CreateTempBeside(path, tempPath));
    if (!temp)
        return WriteInPlace(path, data, size);  // the folder takes no new file, the file takes writes
    bool ok = WriteAllFlushed(temp.Get(), data, size);
    temp.Reset();
    // The system's replacement keeps the replaced file's attributes and security settings;
    // until it succeeds the old file is untouched.
    ok = ok && ReplaceWaiting(path, tempPath);
    if (!ok) {
        DeleteFileW(tempPath.c_str());
        return core::FileResult::IoError;
    }
    // Not every implementation of the replacement carries the attributes over.
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(path.c_str(), attributes);
    return core::FileResult::Ok;
}

}  // namespace fw
