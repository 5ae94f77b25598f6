// For the native tests of tolka's commands: the virtual board's model as the device
// libraries, files and ledgers in memory, and the two output streams as lists of lines.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <map>
#include <sstream>

#include "cli/commands.h"
#include "cli/host.h"
#include "line/ledger_test_support.h"
#include "varnet/memory_store_test_support.h"
#include "varnet/model_link.h"

namespace clitest {

using linetest::MemoryLedger;

// The words of a command line separated by blanks.
inline std::vector<std::wstring> Words(const std::string& line) {
    std::vector<std::wstring> words;
    std::istringstream in(line);
    for (std::string w; in >> w;)
        words.emplace_back(w.begin(), w.end());
    return words;
}

class TestHost : public cli::Host {
public:
    TestHost() : link(store) {}

    // Runs a command line given as one string of words separated by blanks.
    cli::Exit Run(const std::string& line, core::Lang lang = core::Lang::En) { return RunArgs(Words(line), lang); }
    cli::Exit RunArgs(const std::vector<std::wstring>& args, core::Lang lang = core::Lang::En) {
        out.clear();
        err.clear();
        return cli::Run(args, *this, lang);
    }

    // --- the board
    std::optional<core::MissingLibrary> missingLibrary;  // as the libraries' loader reports it
    void Board(const std::string& ini) { store.SetText(vboard::kIniFile, ini); }
    std::vector<std::string> Calls() const {
        std::vector<std::string> lines;
        std::istringstream in(store.Text(vboard::kLogFile));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    void ClearCalls() { store.files.erase(vboard::kLogFile); }
    core::RecordImage Slot(uint32_t address) {
        core::RecordImage r;
        link.Board().Read(address, r.data());
        return r;
    }
    void PutSlot(uint32_t address, const core::RecordImage& record) {
        link.Board().Write(address, record.data(), static_cast<uint32_t>(record.size()));
    }

    // --- Host
    core::DeviceLink& Link() override { return link; }
    std::optional<core::MissingLibrary> MissingDeviceLibrary() override { return missingLibrary; }

    // A stand-in double-byte code page: ASCII as it is, U+0080-U+2FFF and surrogates missing
    // ("?"), every other character two bytes.
    core::AnsiName ToAnsi(const std::wstring& text) override {
        core::AnsiName name;
        std::string& bytes = name.bytes;
        for (size_t i = 0; i < text.size(); ++i) {
            wchar_t c = text[i];
            if ((c >= 0x80 && c < 0x3000) || (c >= 0xD800 && c < 0xE000)) {
                bytes += '?';
                name.firstMissing = std::min(name.firstMissing, i);
            } else if (c < 0x80) {
                bytes += static_cast<char>(c);
            } else {
                bytes += static_cast<char>(0x80 | ((c >> 8) & 0x7F));
                bytes += static_cast<char>(c & 0xFF);
            }
        }
        return name;
    }
    std::wstring FromAnsi(const std::string& bytes) override {
        std::wstring text;
        for (size_t i = 0; i < bytes.size(); ++i) {
            auto b = static_cast<unsigned char>(bytes[i]);
            if (b < 0x80 || i + 1 == bytes.size())
                text += static_cast<wchar_t>(b);
            else
                text += static_cast<wchar_t>(((b & 0x7F) << 8) | static_cast<unsigned char>(bytes[++i]));
        }
        return text;
    }

    core::FileResult ReadFile(const std::wstring& path, size_t maxBytes, std::vector<uint8_t>& data) override {
        auto it = files.find(path);
        if (it == files.end() && ledgers.count(path) != 0) {  // a ledger is a file too
            const std::string& ledger = ledgers[path];
            data.assign(ledger.begin(),
                        ledger.begin() + static_cast<std::ptrdiff_t>(std::min(maxBytes, ledger.size())));
            return core::FileResult::Ok;
        }
        if (it == files.end())
            return core::FileResult::Missing;
        data.assign(it->second.begin(),
                    it->second.begin() + static_cast<std::ptrdiff_t>(std::min(maxBytes, it->second.size())));
        return core::FileResult::Ok;
    }
    core::FileResult WriteFile(const std::wstring& path, const uint8_t* data, size_t size) override {
        if (path.find(L"readonly") != std::wstring::npos)
            return core::FileResult::CannotOpen;
        if (ledgers.count(path) != 0) {  // replaced whole, as the system's rename does
            ledgers[path].assign(reinterpret_cast<const char*>(data), size);
            return core::FileResult::Ok;
        }
        files[path].assign(data, data + size);
        return core::FileResult::Ok;
    }

    bool NewUuid(core::Uuid& uuid) override {
        if (!uuidAvailable)
            return false;
        core::ParseUuidText(L"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0", uuid);
        return true;
    }
    core::LocalTime Now() override { return {2024, 5, 1, 9, 30, 0, 540}; }
    uint64_t NowMs() override { return clockMs += 7; }
    // The model has no cryptography: a stand-in digest that tells files apart as well.
    bool Sha256(const uint8_t* data, size_t size, core::FileDigest& digest) override {
        digest.fill(0);
        for (size_t i = 0; i < size; ++i)
            digest[i % digest.size()] = static_cast<uint8_t>(digest[i % digest.size()] * 31 + data[i] + 1);
        return digestAvailable;
    }

    std::unique_ptr<core::LedgerFile> OpenLedger(const std::wstring& path,
                                                 core::LedgerOpen how,
                                                 core::LedgerOpenFailure& failure) override {
        failure = core::LedgerOpenFailure::Busy;
        if (ledgerLocked)
            return nullptr;
        if (how == core::LedgerOpen::LeaveNoFile && ledgers.count(path) == 0) {
            triedLedger.clear();
            triedIndex.clear();
            return std::make_unique<MemoryLedger>(triedLedger, triedIndex, !ledgerReadOnly, ledgerAppendsLeft);
        }
        return std::make_unique<MemoryLedger>(ledgers[path], indexes[path], !ledgerReadOnly, ledgerAppendsLeft);
    }

    bool IsSameFile(const std::wstring& a, const std::wstring& b) override {
        return a == b &&
               (files.count(a) != 0 || ledgers.count(a) != 0 || indexes.count(a.substr(0, a.size() - 6)) != 0);
    }
    std::unique_ptr<core::LedgerFile> ReadLedgerPieces(const std::wstring& path, core::FileResult& status) override {
        auto it = ledgers.find(path);
        status = it == ledgers.end() ? core::FileResult::Missing : core::FileResult::Ok;
        if (it == ledgers.end())
            return nullptr;
        return std::make_unique<MemoryLedger>(it->second, indexes[path], false, ledgerAppendsLeft);
    }

    // No ODBC here: every database ledger finds no data source.
    class NoDatabase : public core::DbLink {
    public:
        core::DbStatus Connect(const std::string&, unsigned) override {
            return core::DbStatus::Failed("IM002", "Data source name not found");
        }
        core::DbStatus Execute(const std::string&, const std::vector<core::DbValue>&, core::DbRows*) override {
            return core::DbStatus::Failed("08003", "not connected");
        }
        core::DbStatus EndTransaction(bool) override { return core::DbStatus::Failed("08003", "not connected"); }
        void Disconnect() override {}
        void Pause(unsigned) override {}
        uint64_t NowMs() override { return 0; }
    };
    std::unique_ptr<core::DbLink> OpenDatabase() override { return std::make_unique<NoDatabase>(); }
    std::wstring ComputerName() override { return L"pc1"; }
    std::wstring Environment(const wchar_t* name) override { return environment[name]; }
    void SetLibraryLanguage(core::Lang) override {}  // the model speaks no language

    bool NextBoard() override { return nextBoard ? nextBoard() : false; }

    void Out(const std::wstring& line) override { out.push_back(line); }
    void Err(const std::wstring& line) override { err.push_back(line); }

    vboard::MemoryStore store;
    vboard::ModelLink link;
    std::map<std::wstring, std::vector<uint8_t>> files;
    std::map<std::wstring, std::string> ledgers;
    std::map<std::wstring, std::string> indexes;
    std::string triedLedger, triedIndex;  // a missing ledger only tried: never kept
    std::map<std::wstring, std::wstring> environment;
    bool ledgerLocked = false;
    bool ledgerReadOnly = false;
    int ledgerAppendsLeft = -1;  // appends that still succeed; -1: any number
    bool uuidAvailable = true;
    bool digestAvailable = true;
    uint64_t clockMs = 0;
    std::function<bool()> nextBoard;
    std::vector<std::wstring> out;
    std::vector<std::wstring> err;
};

}  // namespace clitest
