#include "cli/winhost.h"

#include <algorithm>

#include "core/utf8.h"
#include "devicelink/librarylink.h"
#include "framework/codepage.h"
#include "framework/fileio.h"
#include "framework/language.h"
#include "framework/module.h"
#include "framework/sha256.h"
#include "framework/stdstream.h"
#include "framework/text.h"

namespace cli {

WinHost::WinHost()
    : out_(GetStdHandle(STD_OUTPUT_HANDLE)),
      err_(GetStdHandle(STD_ERROR_HANDLE)),
      in_(GetStdHandle(STD_INPUT_HANDLE)) {}

core::DeviceLink& WinHost::Link() {
    return LibraryLink();
}

std::optional<core::MissingLibrary> WinHost::MissingDeviceLibrary() {
    return DeviceLibrariesMissing();
}

core::AnsiName WinHost::ToAnsi(const std::wstring& text) {
    core::AnsiName name;
    name.bytes = fw::ToThreadAnsi(text, &name.firstMissing);
    return name;
}

std::wstring WinHost::FromAnsi(const std::string& bytes) {
    return fw::FromThreadAnsi(bytes);
}

core::FileResult WinHost::ReadFile(const std::wstring& path, size_t maxBytes, std::vector<uint8_t>& data) {
    return fw::ReadFilePrefix(path, maxBytes, data, fw::ReadSharing::Readers);
}

namespace {

// The volume and the file's number on it: the same file under any name.
bool FileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    if (fw::IsDeviceName(path))
        return false;
    HANDLE file =
        CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return known;
}

}  // namespace

bool WinHost::IsSameFile(const std::wstring& a, const std::wstring& b) {
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return FileIdentity(a, first) && FileIdentity(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

core::FileResult WinHost::WriteFile(const std::wstring& path, const uint8_t* data, size_t size) {
    return fw::WriteFileReplacing(path, data, size);
}

bool WinHost::NewUuid(core::Uuid& uuid) {
    return ledgers_.NewUuid(uuid);
}

core::LocalTime WinHost::Now() {
    return ledgers_.Now();
}

uint64_t WinHost::NowMs() {
    return ledgers_.NowMs();
}

std::unique_ptr<core::LedgerFile> WinHost::OpenLedger(const std::wstring& path,
                                                      core::LedgerOpen how,
                                                      core::LedgerOpenFailure& failure) {
    return ledgers_.OpenLedger(path, how, failure);
}

std::unique_ptr<core::LedgerFile> WinHost::ReadLedgerPieces(const std::wstring& path, core::FileResult& status) {
    return core::ReadLedgerPieces(path, status);
}

std::unique_ptr<core::DbLink> WinHost::OpenDatabase() {
    return ledgers_.OpenDatabase();
}

std::wstring WinHost::ComputerName() {
    return ledgers_.ComputerName();
}

bool WinHost::Sha256(const uint8_t* data, size_t size, core::FileDigest& digest) {
    return fw::Sha256(data, size, digest);
}

std::wstring WinHost::Environment(const wchar_t* name) {
    return fw::GetEnvironmentString(name);
}

// The virtual board chooses its language as the programs do, TOLKA_LANG first.
void WinHost::SetLibraryLanguage(core::Lang lang) {
    SetEnvironmentVariableW(L"TOLKA_LANG", lang == core::Lang::Ja ? L"ja" : L"en");
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
    fw::WriteLine(out_, line);
}

void WinHost::Err(const std::wstring& line) {
    fw::WriteLine(err_, line);
}

core::Lang UserLanguage() {
    return fw::GetUiLang();
}

}  // namespace cli
