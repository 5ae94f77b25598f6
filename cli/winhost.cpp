#include "cli/winhost.h"

#include <rpc.h>

#include <cstring>

#include "cli/utf8.h"
#include "common/librarylink.h"
#include "framework/codepage.h"
#include "framework/fileio.h"
#include "framework/syslib.h"

namespace cli {

namespace {

// Another station holds the ledger only while it reads it or appends a line.
constexpr DWORD kLedgerWaitMs = 15000;
constexpr DWORD kLedgerRetryMs = 20;

FileStatus StatusOf(fw::FileResult result) {
    switch (result) {
        case fw::FileResult::Ok:
            return FileStatus::Ok;
        case fw::FileResult::CannotOpen:
            return FileStatus::CannotOpen;
        default:
            return FileStatus::IoError;
    }
}

// The ledger opened without any sharing: while this handle lives, every other open of the
// file fails, in this process and in any other, so a reservation cannot interleave.
class WinLedgerFile : public core::LedgerFile {
public:
    explicit WinLedgerFile(HANDLE file) : file_(file) {}
    ~WinLedgerFile() override { CloseHandle(file_); }

    bool ReadAll(std::string& bytes) override {
        bytes.clear();
        LARGE_INTEGER start{};
        if (!SetFilePointerEx(file_, start, nullptr, FILE_BEGIN))
            return false;
        char buffer[65536];
        for (;;) {
            DWORD got = 0;
            if (!::ReadFile(file_, buffer, sizeof buffer, &got, nullptr))
                return false;
            if (got == 0)
                return true;
            bytes.append(buffer, got);
        }
    }

    bool Append(const std::string& bytes) override {
        LARGE_INTEGER end{};
        if (!SetFilePointerEx(file_, end, nullptr, FILE_END))
            return false;
        // One write for the whole line: a program killed meanwhile leaves it whole or absent.
        DWORD written = 0;
        if (!::WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size())
            return false;
        return FlushFileBuffers(file_) != 0;
    }

private:
    HANDLE file_;
};

bool IsConsole(HANDLE stream) {
    DWORD mode = 0;
    return GetConsoleMode(stream, &mode) != 0;
}

}  // namespace

WinHost::WinHost()
    : out_(GetStdHandle(STD_OUTPUT_HANDLE)),
      err_(GetStdHandle(STD_ERROR_HANDLE)),
      in_(GetStdHandle(STD_INPUT_HANDLE)) {}

core::DeviceLink& WinHost::Link() {
    return LibraryLink();
}

core::AnsiName WinHost::ToAnsi(const std::wstring& text) {
    core::AnsiName name;
    name.bytes = fw::ToThreadAnsi(text, &name.firstMissing);
    return name;
}

std::wstring WinHost::FromAnsi(const std::string& bytes) {
    return fw::FromThreadAnsi(bytes);
}

FileStatus WinHost::ReadFile(const std::wstring& path, size_t maxBytes, std::vector<uint8_t>& data) {
    return StatusOf(fw::ReadFilePrefix(path, maxBytes, data));
}

FileStatus WinHost::WriteFile(const std::wstring& path, const uint8_t* data, size_t size) {
    return StatusOf(fw::WriteFileReplacing(path, data, size));
}

// As the editor's "作成": a UUID unique only on this computer counts as none. The RPC library
// is loaded from the system folder by the commands that make one.
bool WinHost::NewUuid(core::Uuid& uuid) {
    using CreateFn = RPC_STATUS(RPC_ENTRY*)(UUID*);
    auto uuidCreate = fw::SystemFunction<CreateFn>(L"rpcrt4.dll", "UuidCreate");
    UUID made;
    if (uuidCreate == nullptr || uuidCreate(&made) != RPC_S_OK)
        return false;
    static_assert(sizeof made == sizeof uuid, "UUID size");
    std::memcpy(uuid.data(), &made, sizeof made);  // the record keeps the GUID's memory order
    return true;
}

core::LocalTime WinHost::Now() {
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
    core::LocalTime now;
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

std::unique_ptr<core::LedgerFile> WinHost::OpenLedger(const std::wstring& path) {
    const ULONGLONG deadline = GetTickCount64() + kLedgerWaitMs;
    for (;;) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            return std::make_unique<WinLedgerFile>(file);
        DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || GetTickCount64() >= deadline)
            return nullptr;
        Sleep(kLedgerRetryMs);
    }
}

// One line from standard input: "q" stops, anything else goes on, the end of input stops.
bool WinHost::NextBoard() {
    std::string line;
    for (;;) {
        char c = 0;
        DWORD got = 0;
        if (!::ReadFile(in_, &c, 1, &got, nullptr) || got == 0)
            return false;
        if (c == '\n')
            break;
        if (c != '\r' && c != ' ' && c != '\t')
            line += c;
    }
    return line != "q" && line != "Q";
}

void WinHost::Out(const std::wstring& line) {
    Write(out_, line);
}

void WinHost::Err(const std::wstring& line) {
    Write(err_, line);
}

void WinHost::Write(HANDLE stream, const std::wstring& line) {
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE)
        return;
    std::wstring text;
    for (wchar_t c : line + L"\n")
        text += c == L'\n' ? L"\r\n" : std::wstring(1, c);
    DWORD written = 0;
    if (IsConsole(stream)) {
        WriteConsoleW(stream, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    } else {
        std::string utf8 = ToUtf8(text);
        ::WriteFile(stream, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    }
}

Lang UserLanguage() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? Lang::Ja : Lang::En;
}

}  // namespace cli
