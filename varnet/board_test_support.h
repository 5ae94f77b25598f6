// For Windows tests of the programs on the virtual board: a fresh board folder per test,
// its settings, flash contents and call log.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace testboard {

constexpr size_t kNewFlashSize = 0x9000;

class VirtualBoard {
public:
    // A new, empty board in its own folder; the DLLs of this process use it from now on,
    // without showing any window.
    VirtualBoard() {
        static unsigned counter = 0;
        wchar_t temp[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, temp);
        folder_ = std::wstring(temp) + L"tolka-board-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(++counter) + L"\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
        for (const wchar_t* name : {L"board.ini", L"flash.bin", L"area5.bin", L"calls.log"})
            DeleteFileW((folder_ + name).c_str());
        SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD", folder_.c_str());
        SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD_SILENT", L"1");
        Reset();
    }

    // board.ini: attached, interface type and fault lines such as "echo_fail=1".
    void Configure(uint32_t interfaceType, const std::string& faults = "", bool attached = true) {
        interface_ = interfaceType;
        char hex[16];
        snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(interfaceType));
        WriteText(L"board.ini", std::string("[board]\nattached=") + (attached ? "1" : "0") + "\ninterface=" + hex +
                                    "\n[faults]\n" + faults + "\n");
    }
    void SetInterface(uint32_t interfaceType) { Configure(interfaceType); }
    void SetFaults(const std::string& faults) { Configure(interface_, faults); }

    std::vector<uint8_t> Flash() const { return ReadAll(L"flash.bin"); }
    void SetFlash(const std::vector<uint8_t>& flash) { WriteAll(L"flash.bin", flash); }
    void PutBytes(uint32_t address, const std::vector<uint8_t>& bytes) {
        std::vector<uint8_t> flash = Flash();
        if (flash.size() < address + bytes.size())
            flash.resize(address + bytes.size(), 0xFF);
        std::copy(bytes.begin(), bytes.end(), flash.begin() + static_cast<std::ptrdiff_t>(address));
        SetFlash(flash);
    }
    // area5.bin, the port options; none when there is no such file.
    std::optional<std::vector<uint8_t>> Area5() const {
        if (GetFileAttributesW((folder_ + L"area5.bin").c_str()) == INVALID_FILE_ATTRIBUTES)
            return std::nullopt;
        return ReadAll(L"area5.bin");
    }
    void SetArea5(const std::optional<std::vector<uint8_t>>& image) {
        if (image)
            WriteAll(L"area5.bin", *image);
        else
            DeleteFileW((folder_ + L"area5.bin").c_str());
    }
    // A board as new: empty product-information area, the firmware mark, no port options,
    // healthy, no log.
    void Reset(uint32_t interfaceType = 0x80000000u) {
        Configure(interfaceType);
        std::vector<uint8_t> flash(kNewFlashSize, 0xFF);
        flash[0x8000] = flash[0x8001] = flash[0x8002] = flash[0x8003] = 0;
        SetFlash(flash);
        SetArea5(std::nullopt);
        ClearCalls();
    }
    std::vector<uint8_t> Slot(uint32_t address) const {
        std::vector<uint8_t> flash = Flash();
        const auto first = flash.begin() + static_cast<std::ptrdiff_t>(address);
        return std::vector<uint8_t>(first, first + 128);
    }

    // The call log's lines so far without the process lines; ClearCalls starts a new one.
    // Handles are renumbered in the order they appear (h1, h2, ...), since the libraries
    // count them per process.
    std::vector<std::string> Calls() const {
        std::vector<std::string> lines;
        std::vector<uint8_t> log = ReadAll(L"calls.log");
        std::istringstream in(std::string(log.begin(), log.end()));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.rfind("process: ", 0) != 0)
                lines.push_back(line);
        }
        return RenumberHandles(lines);
    }
    void ClearCalls() { DeleteFileW((folder_ + L"calls.log").c_str()); }

    const std::wstring& Folder() const { return folder_; }

private:
    static std::vector<std::string> RenumberHandles(std::vector<std::string> lines) {
        std::vector<std::string> seen;
        for (std::string& line : lines) {
            std::string out;
            for (size_t i = 0; i < line.size();) {
                bool handle = line[i] == 'h' && i + 1 < line.size() &&
                              isdigit(static_cast<unsigned char>(line[i + 1])) &&
                              (i == 0 || line[i - 1] == '(' || line[i - 1] == ' ');
                if (!handle) {
                    out += line[i++];
                    continue;
                }
                size_t end = i + 1;
                while (end < line.size() && isdigit(static_cast<unsigned char>(line[end])))
                    ++end;
                std::string original = line.substr(i, end - i);
                size_t index = static_cast<size_t>(std::find(seen.begin(), seen.end(), original) - seen.begin());
                if (index == seen.size())
                    seen.push_back(original);
                out += "h" + std::to_string(index + 1);
                i = end;
            }
            line = out;
        }
        return lines;
    }

    std::vector<uint8_t> ReadAll(const wchar_t* name) const {
        std::ifstream in((folder_ + name).c_str(), std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void WriteAll(const wchar_t* name, const std::vector<uint8_t>& bytes) {
        std::ofstream out((folder_ + name).c_str(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    void WriteText(const wchar_t* name, const std::string& text) {
        WriteAll(name, std::vector<uint8_t>(text.begin(), text.end()));
    }

    std::wstring folder_;
    uint32_t interface_ = 0x80000000u;
};

}  // namespace testboard
