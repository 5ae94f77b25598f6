#include "line/winledger.h"

#include <algorithm>

#include "framework/fileio.h"
#include "framework/text.h"
#include "framework/uuid.h"
#include "line/appendwhole.h"
#include "line/odbclink.h"

namespace core {

namespace {

// Another station holds the ledger only while it reads it or appends a line.
constexpr DWORD kLedgerWaitMs = 15000;
constexpr DWORD kLedgerRetryMs = 20;

// The end of the ledger's file, which a line is appended to whole.
class LedgerEnd : public AppendTarget {
public:
    explicit LedgerEnd(HANDLE file) : file_(file) {}

    bool Length(uint64_t& length) override {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file_, &size))
            return false;
        length = static_cast<uint64_t>(size.QuadPart);
        return true;
    }

    size_t WriteAtEnd(const char* data, size_t size) override {
        LARGE_INTEGER end{};
        DWORD written = 0;
        if (!SetFilePointerEx(file_, end, nullptr, FILE_END) ||
            !::WriteFile(file_, data, static_cast<DWORD>(std::min<size_t>(size, 0x10000000)), &written, nullptr))
            return 0;
        return written;
    }

    bool Flush() override { return FlushFileBuffers(file_) != 0; }

    bool CutTo(uint64_t length) override {
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(length);
        return SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) && SetEndOfFile(file_);
    }

private:
    HANDLE file_;
};

// `length` bytes from `offset` of an open file, fewer at its end; the string's memory is
// used again when it has room.
bool ReadFileAt(HANDLE file, uint64_t offset, uint64_t length, std::string& bytes) {
    LARGE_INTEGER start{};
    start.QuadPart = static_cast<LONGLONG>(offset);
    bytes.resize(static_cast<size_t>(length));
    bool ok = SetFilePointerEx(file, start, nullptr, FILE_BEGIN) != 0;
    size_t got = 0;
    while (ok && got < bytes.size()) {
        DWORD n = 0;
        ok = ::ReadFile(file, &bytes[got], static_cast<DWORD>(std::min<size_t>(bytes.size() - got, 1 << 20)), &n,
                        nullptr) != 0;
        if (n == 0)
            break;
        got += n;
    }
    bytes.resize(got);
    return ok;
}

// The ledger opened without any sharing: while this handle lives, every other open of the
// file fails, in this process and in any other, so a reservation cannot interleave.
class WinLedgerFile : public LedgerFile {
public:
    WinLedgerFile(HANDLE file, const std::wstring& path) : file_(file), indexPath_(path + L".index") {}
    ~WinLedgerFile() override { CloseHandle(file_); }

    bool Size(uint64_t& size) override { return LedgerEnd(file_).Length(size); }

    bool ReadAt(uint64_t offset, uint64_t length, std::string& bytes) override {
        return ReadFileAt(file_, offset, length, bytes);
    }

    // A line cut short by a full disk is taken back off the file.
    bool Append(const std::string& bytes) override {
        LedgerEnd end(file_);
        return AppendWhole(end, bytes);
    }

    // The index is read and written only while the ledger is held, so stations take turns
    // on it as on the ledger.
    std::string ReadIndex() override {
        std::vector<uint8_t> data;
        if (fw::ReadFilePrefix(indexPath_, kIndexMaxBytes, data) != FileResult::Ok)
            return std::string();
        return std::string(data.begin(), data.end());
    }

    void WriteIndex(const std::string& text) override {
        fw::WriteFileReplacing(indexPath_, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }

private:
    static constexpr size_t kIndexMaxBytes = 256;
    HANDLE file_;
    std::wstring indexPath_;
};

// What the system's error on opening a ledger means to the user.
LedgerOpenFailure LedgerOpenFailureOf(const std::wstring& path, DWORD error) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return LedgerOpenFailure::Busy;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_PATHNAME:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_NETNAME_DELETED:
        case ERROR_NETWORK_UNREACHABLE:
        case ERROR_NOT_READY:
            return LedgerOpenFailure::NoPlace;
        default:
            break;
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return LedgerOpenFailure::NotAFile;
    return LedgerOpenFailure::NoAccess;
}

}  // namespace

// As the editor's "作成" (framework/uuid.h).
bool WinLedgerSystem::NewUuid(Uuid& uuid) {
    return fw::CreateSystemUuid(uuid);
}

uint64_t WinLedgerSystem::NowMs() {
    return GetTickCount64();
}

LocalTime WinLedgerSystem::Now() {
    FILETIME utc, local;
    GetSystemTimeAsFileTime(&utc);
    FileTimeToLocalFileTime(&utc, &local);
    auto ticks = [](const FILETIME& t) {
        return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    constexpr int64_t kTicksPerMinute = 600000000;
    int64_t offset = ticks(local) - ticks(utc);
    SYSTEMTIME st;
    FileTimeToSystemTime(&local, &st);
    LocalTime now;
    now.year = st.wYear;
    now.month = st.wMonth;
    now.day = st.wDay;
    now.hour = st.wHour;
    now.minute = st.wMinute;
    now.second = st.wSecond;
    now.offsetMinutes =
        static_cast<int>((offset + (offset < 0 ? -kTicksPerMinute : kTicksPerMinute) / 2) / kTicksPerMinute);
    return now;
}

namespace {

// Opens the ledger without sharing. A ledger that is only tried is made, when missing, as a
// new file deleted on closing: a delete on closing never touches a file that was there.
HANDLE OpenLedgerFile(const std::wstring& path, LedgerOpen how) {
    if (how == LedgerOpen::MayCreate)
        return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_NOT_FOUND)
        return file;
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

}  // namespace

std::unique_ptr<LedgerFile> WinLedgerSystem::OpenLedger(const std::wstring& path,
                                                        LedgerOpen how,
                                                        LedgerOpenFailure& failure) {
    failure = LedgerOpenFailure::NotAFile;
    if (fw::IsDeviceName(path))
        return nullptr;
    const ULONGLONG deadline = GetTickCount64() + kLedgerWaitMs;
    for (;;) {
        HANDLE file = OpenLedgerFile(path, how);
        if (file != INVALID_HANDLE_VALUE) {
            if (GetFileType(file) == FILE_TYPE_DISK)
                return std::make_unique<WinLedgerFile>(file, path);
            CloseHandle(file);
            failure = LedgerOpenFailure::NotAFile;
            return nullptr;
        }
        DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || GetTickCount64() >= deadline) {
            failure = LedgerOpenFailureOf(path, error);
            return nullptr;
        }
        Sleep(kLedgerRetryMs);
    }
}

namespace {

// Opens the ledger to read, sharing it with other readers only; a station that holds it for a
// reservation is waited for as long as a station waits for another.
HANDLE OpenLedgerToRead(const std::wstring& path) {
    return fw::OpenSharedToRead(path, kLedgerWaitMs);
}

// The ledger's first `size` bytes, each piece read under a handle of its own: between two
// pieces the stations append and reserve as always. What lies below `size` never changes (a
// ledger is only appended to, and a station takes back only a line of its own cut short).
class LedgerPieces : public LedgerFile {
public:
    LedgerPieces(const std::wstring& path, uint64_t size) : path_(path), size_(size) {}

    bool Size(uint64_t& size) override {
        size = size_;
        return true;
    }

    bool ReadAt(uint64_t offset, uint64_t length, std::string& bytes) override {
        bytes.clear();
        if (offset >= size_)
            return true;
        length = std::min(length, size_ - offset);
        HANDLE file = OpenLedgerToRead(path_);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        const bool ok = ReadFileAt(file, offset, length, bytes);
        CloseHandle(file);
        return ok;
    }

    bool Append(const std::string&) override { return false; }
    std::string ReadIndex() override { return std::string(); }
    void WriteIndex(const std::string&) override {}

private:
    std::wstring path_;
    uint64_t size_;
};

}  // namespace

std::unique_ptr<LedgerFile> ReadLedgerPieces(const std::wstring& path, FileResult& status) {
    status = FileResult::CannotOpen;
    if (fw::IsDeviceName(path))
        return nullptr;
    HANDLE file = OpenLedgerToRead(path);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            status = FileResult::Missing;
        return nullptr;
    }
    LARGE_INTEGER length{};
    const bool disk = GetFileType(file) == FILE_TYPE_DISK;
    const bool sized = disk && GetFileSizeEx(file, &length);
    CloseHandle(file);
    if (!disk)
        return nullptr;
    if (!sized) {
        status = FileResult::IoError;
        return nullptr;
    }
    status = FileResult::Ok;
    return std::make_unique<LedgerPieces>(path, static_cast<uint64_t>(length.QuadPart));
}

std::unique_ptr<DbLink> WinLedgerSystem::OpenDatabase() {
    return MakeOdbcLink();
}

std::wstring WinLedgerSystem::ComputerName() {
    DWORD size = 0;
    GetComputerNameExW(ComputerNameDnsHostname, nullptr, &size);
    std::wstring name(size, L'\0');
    if (size == 0 || !GetComputerNameExW(ComputerNameDnsHostname, &name[0], &size))
        return std::wstring();
    name.resize(size);
    return name;
}

}  // namespace core
