// tolka's commands on Windows: the maker's device libraries, files, the thread's ANSI code
// page, the ledger as every station holds it (line/winledger.h), and the console.
#pragma once

#include <windows.h>

#include "cli/host.h"
#include "line/winledger.h"

namespace cli {

class WinHost : public Host {
public:
    WinHost();

    core::DeviceLink& Link() override;
    std::optional<core::MissingLibrary> MissingDeviceLibrary() override;
    core::AnsiName ToAnsi(const std::wstring& text) override;
    std::wstring FromAnsi(const std::string& bytes) override;
    core::FileResult ReadFile(const std::wstring& path, size_t maxBytes, std::vector<uint8_t>& data) override;
    core::FileResult WriteFile(const std::wstring& path, const uint8_t* data, size_t size) override;
    bool NewUuid(core::Uuid& uuid) override;
    core::LocalTime Now() override;
    uint64_t NowMs() override;
    bool Sha256(const uint8_t* data, size_t size, core::FileDigest& digest) override;
    std::unique_ptr<core::LedgerFile> OpenLedger(const std::wstring& path,
                                                 core::LedgerOpen how,
                                                 core::LedgerOpenFailure& failure) override;
    bool IsSameFile(const std::wstring& a, const std::wstring& b) override;
    std::unique_ptr<core::LedgerFile> ReadLedgerPieces(const std::wstring& path, core::FileResult& status) override;
    std::unique_ptr<core::DbLink> OpenDatabase() override;
    std::wstring ComputerName() override;
    std::wstring Environment(const wchar_t* name) override;
    void SetLibraryLanguage(core::Lang lang) override;
    bool NextBoard() override;
    void Out(const std::wstring& line) override;
    void Err(const std::wstring& line) override;

private:
    core::WinLedgerSystem ledgers_;
    HANDLE out_;
    HANDLE err_;
    HANDLE in_;
};

// Japanese when the user's interface language is Japanese, English otherwise.
core::Lang UserLanguage();

}  // namespace cli
