#include "framework/fileio.h"

#include "framework/text.h"

namespace fw {

namespace {

struct HandleCloser {
    HANDLE h;
    ~HandleCloser() {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};

bool WriteAll(HANDLE file, const uint8_t* data, size_t size) {
    while (size > 0) {
        DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return FlushFileBuffers(file) != 0;
}

// A new, exclusive file in the target's folder.
HANDLE CreateTempBeside(const std::wstring& target, std::wstring& tempPath) {
    std::wstring base = FolderOfPath(target) + L"~" + FileNameOfPath(target);
    for (unsigned n = 0; n < 100; ++n) {
        tempPath = base + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n) + L".tmp";
        HANDLE h = CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return h;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

FileResult ReadFilePrefix(const std::wstring& path, size_t maxBytes, std::vector<uint8_t>& data) {
    HandleCloser file{
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE)
        return FileResult::CannotOpen;
    data.assign(maxBytes, 0);
    size_t got = 0;
    while (got < maxBytes) {
        DWORD n = 0;
        DWORD want = static_cast<DWORD>(maxBytes - got > 0x10000000 ? 0x10000000 : maxBytes - got);
        if (!ReadFile(file.h, data.data() + got, want, &n, nullptr)) {
            data.clear();
            return FileResult::IoError;
        }
        if (n == 0)
            break;
        got += n;
    }
    data.resize(got);
    return FileResult::Ok;
}

FileResult WriteFileReplacing(const std::wstring& path, const uint8_t* data, size_t size) {
    // A read-only file is never replaced, also where the account could write it anyway.
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return FileResult::CannotOpen;
    // Opening the target first tells a read-only file or one that another program holds
    // open from a disk that fails later; it also creates the file when it is new.
    HANDLE target = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target == INVALID_HANDLE_VALUE)
        return FileResult::CannotOpen;
    bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    CloseHandle(target);

    std::wstring tempPath;
    HANDLE temp = CreateTempBeside(path, tempPath);
    bool ok = temp != INVALID_HANDLE_VALUE;
    if (ok) {
        ok = WriteAll(temp, data, size);
        CloseHandle(temp);
        ok = ok && MoveFileExW(tempPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (!ok)
            DeleteFileW(tempPath.c_str());
    }
    if (!ok && !existed)
        DeleteFileW(path.c_str());
    return ok ? FileResult::Ok : FileResult::IoError;
}

}  // namespace fw
