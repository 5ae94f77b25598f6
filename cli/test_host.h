// For the native tests of tolka's commands: the virtual board's model as the device
// libraries, files and ledgers in memory, and the two output streams as lists of lines.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>

#include "cli/commands.h"
#include "cli/host.h"
#include "varnet/memory_store.h"
#include "varnet/model_link.h"

namespace clitest {

// A ledger whose bytes live in the test host.
class MemoryLedger : public core::LedgerFile {
public:
    MemoryLedger(std::string& bytes, bool writable) : bytes_(bytes), writable_(writable) {}
    bool ReadAll(std::string& out) override {
        out = bytes_;
        return true;
    }
    bool Append(const std::string& more) override {
        if (!writable_)
            return false;
        bytes_ += more;
        return true;
    }

private:
    std::string& bytes_;
    bool writable_;
};

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
    cli::Exit Run(const std::string& line, cli::Lang lang = cli::Lang::En) { return RunArgs(Words(line), lang); }
    cli::Exit RunArgs(const std::vector<std::wstring>& args, cli::Lang lang = cli::Lang::En) {
        out.clear();
        err.clear();
        return cli::Run(args, *this, lang);
    }

    // --- the board
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

    cli::FileStatus ReadFile(const std::wstring& path, size_t maxBytes, std::vector<uint8_t>& data) override {
        auto it = files.find(path);
        if (it == files.end())
            return cli::FileStatus::CannotOpen;
        data.assign(it->second.begin(), it->second.begin() + std::min(maxBytes, it->second.size()));
        return cli::FileStatus::Ok;
    }
    cli::FileStatus WriteFile(const std::wstring& path, const uint8_t* data, size_t size) override {
        if (path.find(L"readonly") != std::wstring::npos)
            return cli::FileStatus::CannotOpen;
        files[path].assign(data, data + size);
        return cli::FileStatus::Ok;
    }

    bool NewUuid(core::Uuid& uuid) override {
        if (!uuidAvailable)
            return false;
        core::ParseUuidText(L"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0", uuid);
        return true;
    }
    core::LocalTime Now() override { return {2024, 5, 1, 9, 30, 0, 540}; }

    std::unique_ptr<core::LedgerFile> OpenLedger(const std::wstring& path) override {
        if (ledgerLocked)
            return nullptr;
        return std::make_unique<MemoryLedger>(ledgers[path], !ledgerReadOnly);
    }

    bool NextBoard() override { return nextBoard ? nextBoard() : false; }

    void Out(const std::wstring& line) override { out.push_back(line); }
    void Err(const std::wstring& line) override { err.push_back(line); }

    vboard::MemoryStore store;
    vboard::ModelLink link;
    std::map<std::wstring, std::vector<uint8_t>> files;
    std::map<std::wstring, std::string> ledgers;
    bool ledgerLocked = false;
    bool ledgerReadOnly = false;
    bool uuidAvailable = true;
    std::function<bool()> nextBoard;
    std::vector<std::wstring> out;
    std::vector<std::wstring> err;
};

}  // namespace clitest
