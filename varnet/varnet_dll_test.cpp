// The two DLLs through their import libraries, as the programs use them, on a fresh
// board folder per test.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "board.h"
#include "core/deviceapi.h"
#include "framework/language.h"
#include "framework/language_test_support.h"
#include "framework/module.h"
#include "framework/text.h"
#include "resource.h"
#include "virtualboard_link.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::wstring TempFolder() {
    DWORD size = GetTempPathW(0, nullptr);
    std::wstring temp(size, L'\0');
    temp.resize(GetTempPathW(size, &temp[0]));
    return temp;
}

std::string Label(TOLKA_HANDLE handle) {
    return "h" + std::to_string(VirtualBoard_HandleId(handle));
}

Bytes Record(uint32_t number, const char* product) {
    Bytes r(128, 0);
    const uint8_t uuid[16] = {0xB3, 0x7E, 0x7C, 0x78, 0xAC, 0x31, 0xE1, 0x4B,
                              0xBD, 0x0A, 0xC0, 0x75, 0x63, 0xD3, 0x91, 0x79};
    std::copy(uuid, uuid + 16, r.begin() + 4);
    for (size_t i = 0; i < 4; ++i)
        r[20 + i] = static_cast<uint8_t>(number >> (8 * i));
    std::copy(product, product + strlen(product), r.begin() + 24);
    std::copy("Maker", "Maker" + 5, r.begin() + 56);
    return r;
}

class VarnetDll : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        folder_ =
            TempFolder() + L"tolka vb " + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
        RemoveBoard(folder_);  // left by an earlier run that was stopped: process ids come round again
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD", folder_.c_str());
        SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD_SILENT", L"1");
    }

    void TearDown() override { EXPECT_TRUE(RemoveBoard(folder_)) << "unexpected files left in the board folder"; }

    static bool RemoveBoard(const std::wstring& folder) {
        for (const wchar_t* name : {L"board.ini", L"flash.bin", L"area5.bin", L"calls.log", L"board.lock"}) {
            DeleteFileW((folder + L"\\" + name).c_str());
        }
        return RemoveDirectoryW(folder.c_str());
    }

    std::wstring PathOf(const wchar_t* name) const { return folder_ + L"\\" + name; }
    bool Exists(const wchar_t* name) const {
        return GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    Bytes ReadFileBytes(const wchar_t* name) const {
        std::ifstream in(PathOf(name).c_str(), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void WriteFileText(const wchar_t* name, const std::string& text) const {
        std::ofstream(PathOf(name).c_str(), std::ios::binary) << text;
    }

    // The log without its process lines.
    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        for (const std::string& line : AllLogLines()) {
            if (line.rfind("process: ", 0) != 0)
                lines.push_back(line);
        }
        return lines;
    }
    std::vector<std::string> ProcessLines() const {
        std::vector<std::string> lines;
        for (const std::string& line : AllLogLines()) {
            if (line.rfind("process: ", 0) == 0)
                lines.push_back(line);
        }
        return lines;
    }
    std::vector<std::string> AllLogLines() const {
        Bytes log = ReadFileBytes(L"calls.log");
        std::vector<std::string> lines;
        std::string line;
        for (uint8_t c : log) {
            if (c == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += static_cast<char>(c);
            }
        }
        EXPECT_TRUE(line.empty()) << "last log line without LF";
        return lines;
    }

    // Runs varnet_probe.exe with the same environment and returns its exit code.
    DWORD RunProbe(const std::wstring& mode) {
        std::wstring command = L"\"" + fw::FolderOfPath(fw::GetModulePath()) + L"varnet_probe.exe\" " + mode;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            ADD_FAILURE() << "cannot start varnet_probe.exe, error " << GetLastError();
            return 999;
        }
        DWORD code = 999;
        if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
            GetExitCodeProcess(process.hProcess, &code);
        } else {
            TerminateProcess(process.hProcess, 999);
            ADD_FAILURE() << "varnet_probe.exe " << std::string(mode.begin(), mode.end()) << " did not end within 60 s";
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return code;
    }

    // A path of the test's (ASCII) as the log writes it: backslashes doubled.
    static std::string Logged(const std::wstring& path) {
        std::string logged;
        for (wchar_t c : path)
            logged += c == L'\\' ? std::string("\\\\") : std::string(1, static_cast<char>(c));
        return logged;
    }

    static std::string ThisProcess() {
        return "process: " + std::to_string(GetCurrentProcessId()) + " varnet_dll_tests.exe";
    }

    std::wstring folder_;
};

TEST_F(VarnetDll, FirstOpenCreatesANewBoard) {
    TOLKA_HANDLE h = Tolka_FlashModeOpen(0xE0000000, 0);
    ASSERT_NE(h, nullptr);
    const std::string l = Label(h);
    Bytes flash = ReadFileBytes(L"flash.bin");
    ASSERT_EQ(flash.size(), 0x9000u);
    EXPECT_EQ(flash[0x7FFF], 0xFF);
    EXPECT_EQ(Bytes(flash.begin() + 0x8000, flash.begin() + 0x8004), Bytes(4, 0x00));
    EXPECT_EQ(flash[0x8004], 0xFF);
    Bytes ini = ReadFileBytes(L"board.ini");
    EXPECT_EQ(std::string(ini.begin(), ini.end()), vboard::DefaultBoardIni());
    EXPECT_FALSE(Exists(L"area5.bin"));
    Tolka_FlashModeClose(h, 0);
    // The first line names the process, so that a log two programs share can be read.
    EXPECT_EQ(AllLogLines(), (std::vector<std::string>{ThisProcess(), "Tolka_FlashModeOpen(0xE0000000, 0) = " + l,
                                                       "Tolka_FlashModeClose(" + l + ", 0)"}));
}

TEST_F(VarnetDll, WriterSequenceBehavesLikeFlashAndIsLogged) {
    TOLKA_HANDLE h = Tolka_FlashModeOpen(0xE0000000, 0);
    ASSERT_NE(h, nullptr);
    const std::string l = Label(h);
    EXPECT_EQ(Varn_GetIFType(h), 0x80000000u);
    Varn_SetTimeouts(h, 1000, 1000);
    EXPECT_EQ(Varn_FlshEchoTest(h), 0);
    Varn_SetTimeouts(h, 5000, 5000);

    Bytes slot(128);
    ASSERT_EQ(Varn_FlshRead(h, 0x7000, slot.data()), 0);
    EXPECT_EQ(slot, Bytes(128, 0xFF));
    const Bytes first = Record(1, "first");
    ASSERT_EQ(Varn_FlshWrite(h, 0x7000, first.data(), 128), 0);
    ASSERT_EQ(Varn_FlshRead(h, 0x7000, slot.data()), 0);
    EXPECT_EQ(slot, first);

    // A second record over the used slot: flash keeps old AND new, the verify would fail.
    const Bytes second = Record(2, "second");
    ASSERT_EQ(Varn_FlshWrite(h, 0x7000, second.data(), 128), 0);
    ASSERT_EQ(Varn_FlshRead(h, 0x7000, slot.data()), 0);
    EXPECT_NE(slot, second);
    EXPECT_EQ(slot[20], first[20] & second[20]);

    ASSERT_EQ(Varn_FlshErase(h, 128), 0);
    ASSERT_EQ(Varn_FlshRead(h, 0x7000, slot.data()), 0);
    EXPECT_EQ(slot, Bytes(128, 0xFF));
    EXPECT_NE(Varn_FlshErase(h, 7), 0);
    Tolka_FlashModeClose(h, 0);

    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "Tolka_FlashModeOpen(0xE0000000, 0) = " + l,
                              "Varn_GetIFType(" + l + ") = 0x80000000",
                              "Varn_SetTimeouts(" + l + ", 1000, 1000)",
                              "Varn_FlshEchoTest(" + l + ") = 0",
                              "Varn_SetTimeouts(" + l + ", 5000, 5000)",
                              "Varn_FlshRead(" + l + ", 0x7000) = 0",
                              "Varn_FlshWrite(" + l + ", 0x7000, 128) = 0",
                              "Varn_FlshRead(" + l + ", 0x7000) = 0",
                              "Varn_FlshWrite(" + l + ", 0x7000, 128) = 0",
                              "Varn_FlshRead(" + l + ", 0x7000) = 0",
                              "Varn_FlshErase(" + l + ", 128) = 0",
                              "Varn_FlshRead(" + l + ", 0x7000) = 0",
                              "warning: Varn_FlshErase: unknown selector 7 (128 or 32)",
                              "Varn_FlshErase(" + l + ", 7) = 3",
                              "Tolka_FlashModeClose(" + l + ", 0)",
                          }));
}

TEST_F(VarnetDll, OptionEditorSequence) {
    TOLKA_HANDLE h = Tolka_FlashModeOpen(0xE0000000, 0);
    ASSERT_NE(h, nullptr);
    Bytes buffer(128);
    ASSERT_EQ(Varn_FlshRead(h, 0x8000, buffer.data()), 0);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 4), Bytes(4, 0x00));

    EXPECT_NE(Varn_FlshReadRWArea(h, 5, buffer.data()), 0);
    Bytes image(128);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 3);
    ASSERT_EQ(Varn_FlshWriteRWArea(h, 5, image.data()), 0);
    EXPECT_EQ(ReadFileBytes(L"area5.bin"), image);
    ASSERT_EQ(Varn_FlshReadRWArea(h, 5, buffer.data()), 0);
    EXPECT_EQ(buffer, image);
    ASSERT_EQ(Varn_FlshErase(h, 32), 0);
    EXPECT_FALSE(Exists(L"area5.bin"));
    EXPECT_NE(Varn_FlshReadRWArea(h, 5, buffer.data()), 0);
    Tolka_FlashModeClose(h, 0);

    // State files are replaced through temporary files, none of which may stay behind.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(PathOf(L"*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

TEST_F(VarnetDll, ProductInfoShowsTheNewestRecordOrSaysThereIsNone) {
    TOLKA_HANDLE h = Tolka_FlashModeOpen(0xE0000000, 0);
    ASSERT_NE(h, nullptr);
    const std::string l = Label(h);
    EXPECT_EQ(Tolka_ShowProductInfo(h), 0);
    ASSERT_EQ(Varn_FlshWrite(h, 0x7000, Record(7, "older").data(), 128), 0);
    ASSERT_EQ(Varn_FlshWrite(h, 0x7080, Record(8, "newer").data(), 128), 0);
    EXPECT_EQ(Tolka_ShowProductInfo(h), 0);
    Tolka_FlashModeClose(h, 0);

    std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[1], "message: このボードには製品情報が書き込まれていません。");
    EXPECT_EQ(log[2], "Tolka_ShowProductInfo(" + l + ") = 0");
    EXPECT_EQ(log[5],
              "dialog: product information: slot 0x7080, uuid 787c7eb3-31ac-4be1-bd0a-c07563d39179, "
              "number 8 (0x00000008), product newer, maker Maker");
    EXPECT_EQ(log[6], "Tolka_ShowProductInfo(" + l + ") = 0");
}

TEST_F(VarnetDll, FaultsFromBoardIni) {
    WriteFileText(L"board.ini",
                  "[board]\r\ninterface=0x40000000\r\n[faults]\r\necho_fail_first=1\r\nread_fail=0x8000\r\n"
                  "product_info_fail=1\r\n");
    TOLKA_HANDLE h = Tolka_FlashModeOpen(0xE0000000, 0);
    ASSERT_NE(h, nullptr);
    const std::string l = Label(h);
    EXPECT_EQ(Varn_GetIFType(h), 0x40000000u);
    EXPECT_NE(Varn_FlshEchoTest(h), 0);
    EXPECT_EQ(Varn_FlshEchoTest(h), 0);
    Bytes buffer(128);
    EXPECT_NE(Varn_FlshRead(h, 0x8000, buffer.data()), 0);
    EXPECT_EQ(buffer, Bytes(128, vboard::kFailedReadFill));
    EXPECT_EQ(Varn_FlshRead(h, 0x7F80, buffer.data()), 0);
    EXPECT_NE(Tolka_ShowProductInfo(h), 0);
    Tolka_FlashModeClose(h, 0);
    std::vector<std::string> log = LogLines();
    ASSERT_GE(log.size(), 1u);
    EXPECT_EQ(log[0], "Tolka_FlashModeOpen(0xE0000000, 0) = " + l);
}

// The board refuses to guess: a line it does not understand fails the very next call, the
// open included, with 5 and one message naming the file and the line.
TEST_F(VarnetDll, ABoardIniLineNotUnderstoodFailsTheNextCall) {
    TOLKA_HANDLE h = Tolka_FlashModeOpen(0xE0000000, 0);
    ASSERT_NE(h, nullptr);
    const std::string l = Label(h);
    WriteFileText(L"board.ini", "[faults]\r\nwrite_fail=true\r\nwrite_fial=1\r\n");
    Bytes buffer(128);
    EXPECT_EQ(Varn_FlshRead(h, 0x7000, buffer.data()), 5);
    EXPECT_EQ(Tolka_FlashModeOpen(0xE0000000, 0), nullptr);
    Tolka_FlashModeClose(h, 0);
    WriteFileText(L"board.ini", "[faults]\r\nwrite_fail=yes\r\n");
    h = Tolka_FlashModeOpen(0xE0000000, 0);
    EXPECT_EQ(Varn_FlshWrite(h, 0x7000, buffer.data(), 128), 4);
    Tolka_FlashModeClose(h, 0);

    const std::string message = "message: " + Logged(PathOf(L"board.ini")) +
                                " line 3: unknown key in [faults]: write_fial=1 (every call fails until it is mended)";
    std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 9u);
    EXPECT_EQ(log[1], message);
    EXPECT_EQ(log[2], "Varn_FlshRead(" + l + ", 0x7000) = 5");
    EXPECT_EQ(log[3], message);  // and nothing more of the dialog library
    EXPECT_EQ(log[4], "Tolka_FlashModeOpen(0xE0000000, 0) = null");
}

TEST_F(VarnetDll, FailCallCountsTheCallLinesOfTheLogFile) {
    WriteFileText(L"calls.log", "Tolka_FlashModeOpen(0xE0000000, 0) = h1\nmessage: not a call\n");
    WriteFileText(L"board.ini", "[faults]\nfail_call=4\n");
    TOLKA_HANDLE h = Tolka_FlashModeOpen(0xE0000000, 0);  // 2
    ASSERT_NE(h, nullptr);
    Bytes buffer(128);
    EXPECT_EQ(Varn_FlshRead(h, 0x7000, buffer.data()), 0);  // 3
    EXPECT_EQ(Varn_FlshRead(h, 0x7000, buffer.data()), 4);  // 4
    EXPECT_EQ(Varn_FlshRead(h, 0x7000, buffer.data()), 0);  // 5
    DeleteFileW(PathOf(L"calls.log").c_str());
    EXPECT_EQ(Varn_FlshEchoTest(h), 0);                                   // 1
    EXPECT_EQ(Varn_FlshWrite(h, 0x7000, buffer.data(), 64), 3);           // 2: refused before anything else
    EXPECT_EQ(Varn_FlshEchoTest(h), 0);                                   // 3
    EXPECT_EQ(Varn_FlshWrite(h, 0x7000, Record(1, "x").data(), 128), 4);  // 4
    Tolka_FlashModeClose(h, 0);
    EXPECT_EQ(ReadFileBytes(L"flash.bin")[0x7000], 0xFF);
    std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[1], "warning: Varn_FlshWrite: length 64: the board writes 128 bytes at a time");
}

TEST_F(VarnetDll, NoBoardGivesNullAndTheLibraryTellsTheUser) {
    WriteFileText(L"board.ini", "[board]\nattached=0\n");
    EXPECT_EQ(Tolka_FlashModeOpen(0xE0000000, 0), nullptr);
    WriteFileText(L"board.ini", "[faults]\nno_board=1\n");
    EXPECT_EQ(Tolka_FlashModeOpen(0xE0000000, 0), nullptr);
    std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 4u);
    for (size_t i : {0u, 2u})
        EXPECT_EQ(log[i].rfind("message: ボードが見つかりませんでした。\\n", 0), 0u) << log[i];
    EXPECT_EQ(log[3], "Tolka_FlashModeOpen(0xE0000000, 0) = null");
}

// The library's messages follow the UI language the programs choose (TOLKA_LANG here).
TEST_F(VarnetDll, MessagesAreInTheUiLanguage) {
    const struct {
        const wchar_t* lang;
        const char* noBoard;  // its first line; the board's folder ends it
        const char* noProductInfo;
    } rows[] = {
        {L"ja", "ボードが見つかりませんでした。", "このボードには製品情報が書き込まれていません。"},
        {L"en", "No board was found.", "No product information has been written to this board."},
    };
    const std::string folder = Logged(folder_);
    for (const auto& row : rows) {
        fwtest::ScopedUiLang lang(row.lang);
        DeleteFileW(PathOf(L"calls.log").c_str());
        WriteFileText(L"board.ini", "[board]\nattached=0\n");
        EXPECT_EQ(Tolka_FlashModeOpen(0xE0000000, 0), nullptr);
        WriteFileText(L"board.ini", "[board]\nattached=1\n");
        TOLKA_HANDLE h = Tolka_FlashModeOpen(0xE0000000, 0);
        EXPECT_EQ(Tolka_ShowProductInfo(h), 0);
        Tolka_FlashModeClose(h, 0);
        std::vector<std::string> log = LogLines();
        ASSERT_EQ(log.size(), 6u);
        EXPECT_EQ(log[0].rfind("message: " + std::string(row.noBoard) + "\\n", 0), 0u) << log[0];
        EXPECT_EQ(log[0].rfind(folder), log[0].size() - folder.size()) << log[0];
        EXPECT_EQ(log[3], "message: " + std::string(row.noProductInfo));
    }
}

TEST_F(VarnetDll, EveryDialogAndTextIsThereInBothLanguages) {
    fwtest::ExpectEveryTextInBothLanguages(GetModuleHandleW(L"TolkaCommon.dll"));
}

TEST_F(VarnetDll, AnotherProcessCannotOpenWhileTheBoardIsHeld) {
    TOLKA_HANDLE h = Tolka_FlashModeOpen(0xE0000000, 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(RunProbe(L"open"), 0u) << "the second process got a handle";
    // Opens within one process share the board.
    TOLKA_HANDLE again = Tolka_FlashModeOpen(0xE0000000, 0);
    EXPECT_NE(again, nullptr);
    EXPECT_NE(again, h);
    Tolka_FlashModeClose(again, 0);
    EXPECT_EQ(RunProbe(L"open"), 0u) << "the board was freed while a handle was still open";
    Tolka_FlashModeClose(h, 0);
    EXPECT_EQ(RunProbe(L"open"), 1u) << "the board stayed locked after the last close";

    std::vector<std::string> log = LogLines();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[1].rfind("message: ボードは別のプログラムがフラッシュ書換えモードで使用しています。", 0), 0u)
        << log[1];
    EXPECT_EQ(log[2], "Tolka_FlashModeOpen(0xE0000000, 0) = null");
    // Each run of lines of one process starts with its process line.
    std::vector<std::string> processes = ProcessLines();
    ASSERT_EQ(processes.size(), 6u);
    for (size_t i = 0; i < processes.size(); ++i) {
        if (i % 2 == 0)
            EXPECT_EQ(processes[i], ThisProcess());
        else
            EXPECT_NE(processes[i].find(" varnet_probe.exe"), std::string::npos) << processes[i];
    }
    EXPECT_NE(processes[1], processes[3]);
}

TEST_F(VarnetDll, MissingBoardFoldersAreCreated) {
    const std::wstring nested = folder_ + L"\\nested\\board";
    SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD", nested.c_str());
    TOLKA_HANDLE h = Tolka_FlashModeOpen(0xE0000000, 0);
    EXPECT_NE(h, nullptr);
    Tolka_FlashModeClose(h, 0);
    EXPECT_TRUE(RemoveBoard(nested));
    EXPECT_TRUE(RemoveDirectoryW((folder_ + L"\\nested").c_str()));

    // Without TOLKA_VIRTUAL_BOARD the board lives under the user's local application data.
    wchar_t saved[32768];
    DWORD savedLength = GetEnvironmentVariableW(L"LOCALAPPDATA", saved, 32768);
    SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD", nullptr);
    SetEnvironmentVariableW(L"LOCALAPPDATA", folder_.c_str());
    h = Tolka_FlashModeOpen(0xE0000000, 0);
    EXPECT_NE(h, nullptr);
    Tolka_FlashModeClose(h, 0);
    SetEnvironmentVariableW(L"LOCALAPPDATA", savedLength ? saved : nullptr);
    EXPECT_TRUE(RemoveBoard(folder_ + L"\\Tolka\\VirtualBoard"));
    EXPECT_TRUE(RemoveDirectoryW((folder_ + L"\\Tolka").c_str()));
}

TEST_F(VarnetDll, AProcessThatDiesHoldingTheBoardFreesIt) {
    EXPECT_EQ(RunProbe(L"open-crash"), 3u);
    TOLKA_HANDLE h = Tolka_FlashModeOpen(0xE0000000, 0);
    EXPECT_NE(h, nullptr);
    Tolka_FlashModeClose(h, 0);
}

// A writer killed between its temporary file and the move leaves the file; the next open
// removes it, and only files of processes that are gone.
TEST_F(VarnetDll, TheNextOpenRemovesTheTemporaryFilesOfAKilledWriter) {
    EXPECT_EQ(RunProbe(L"open-crash"), 3u);
    std::vector<std::string> processes = ProcessLines();
    ASSERT_FALSE(processes.empty());
    const std::string dead = processes.back().substr(9, processes.back().find(' ', 9) - 9);
    const std::wstring deadFile = L"flash.bin." + std::wstring(dead.begin(), dead.end()) + L"-7.tmp";
    const std::wstring ownFile = L"flash.bin." + std::to_wstring(GetCurrentProcessId()) + L"-7.tmp";
    WriteFileText(deadFile.c_str(), "half");
    WriteFileText(ownFile.c_str(), "mine");
    TOLKA_HANDLE h = Tolka_FlashModeOpen(0xE0000000, 0);
    ASSERT_NE(h, nullptr);
    Tolka_FlashModeClose(h, 0);
    EXPECT_FALSE(Exists(deadFile.c_str()));
    EXPECT_TRUE(Exists(ownFile.c_str()));
    DeleteFileW(PathOf(ownFile.c_str()).c_str());
}

TEST_F(VarnetDll, CallsWithoutAnOpenHandleFail) {
    TOLKA_HANDLE h = Tolka_FlashModeOpen(0xE0000000, 0);
    ASSERT_NE(h, nullptr);
    Tolka_FlashModeClose(h, 0);
    Bytes buffer(128, 0);
    EXPECT_NE(Varn_FlshRead(nullptr, 0x7000, buffer.data()), 0);
    EXPECT_EQ(buffer, Bytes(128, vboard::kFailedReadFill));
    EXPECT_NE(Varn_FlshWrite(h, 0x7000, buffer.data(), 128), 0);
    EXPECT_EQ(Varn_GetIFType(h), 0u);
    EXPECT_NE(Tolka_ShowProductInfo(h), 0);
    std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[2], "Varn_FlshRead(null, 0x7000) = 2");
    EXPECT_EQ(log[3], "Varn_FlshWrite(invalid, 0x7000, 128) = 2");
    EXPECT_EQ(ReadFileBytes(L"flash.bin")[0x7000], 0xFF);
}

// The library's real windows, in the UI language the test program runs in: a second thread
// plays the user. This test program is a console program, whose libraries would otherwise
// write to its error stream instead.
class VarnetDllWindows : public VarnetDll {
protected:
    void SetUp() override {
        VarnetDll::SetUp();
        SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD_SILENT", nullptr);
        SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD_WINDOWS", L"1");
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD_WINDOWS", nullptr);
        SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD_SILENT", L"1");
        VarnetDll::TearDown();
    }

    static const wchar_t* Caption(const wchar_t* japanese, const wchar_t* english) {
        return fw::GetUiLang() == core::Lang::Ja ? japanese : english;
    }

    // Waits for the dialog with this caption and lets act work on it. A dialog that has not
    // appeared within a minute would keep the library call waiting for ever: the test
    // program then ends with a message instead of hanging.
    static std::thread PlayUser(const wchar_t* caption, std::function<void(HWND)> act, std::atomic<bool>& stop) {
        return std::thread([caption, act, &stop] {
            for (int waited = 0; !stop; waited += 50) {
                // Acted on only once shown: a click on a dialog still being set up is lost,
                // and the library call would then wait for ever.
                HWND dialog = FindWindowW(L"#32770", caption);
                if (dialog != nullptr && IsWindowVisible(dialog)) {
                    stop = true;
                    act(dialog);
                    return;
                }
                if (waited > 60000) {
                    fprintf(stderr, "the library's dialog did not appear within 60 s\n");
                    fflush(stderr);
                    ExitProcess(3);
                }
                Sleep(50);
            }
        });
    }

    static std::wstring Text(HWND dialog, int id) {
        wchar_t text[256] = {};
        GetDlgItemTextW(dialog, id, text, 256);
        return text;
    }
};

TEST_F(VarnetDllWindows, ConnectionSettingsSavesTheChoice) {
    std::atomic<bool> stop{false};
    bool usbChecked = false;
    bool attachedChecked = false;
    std::wstring folderShown;
    std::wstring face;
    std::thread user = PlayUser(
        Caption(L"接続設定 (仮想ボード)", L"Connection Settings (Virtual Board)"),
        [&](HWND dialog) {
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
            face = font.lfFaceName;
            usbChecked = IsDlgButtonChecked(dialog, IDC_IF_USB) == BST_CHECKED;
            attachedChecked = IsDlgButtonChecked(dialog, IDC_ATTACHED) == BST_CHECKED;
            folderShown = Text(dialog, IDC_FOLDER);
            SendMessageW(GetDlgItem(dialog, IDC_IF_LAN), BM_CLICK, 0, 0);
            SendMessageW(GetDlgItem(dialog, IDC_ATTACHED), BM_CLICK, 0, 0);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        },
        stop);
    Tolka_OptionDlg1();
    stop = true;
    user.join();

    EXPECT_TRUE(usbChecked);
    EXPECT_TRUE(attachedChecked);
    // Under an English Windows there may be no Japanese font: the English dialog names none.
    if (fw::GetUiLang() == core::Lang::En) {
        EXPECT_TRUE(std::all_of(face.begin(), face.end(), [](wchar_t c) { return c < 0x80; }));
    }
    EXPECT_EQ(folderShown, folder_);
    Bytes ini = ReadFileBytes(L"board.ini");
    vboard::BoardConfig config = vboard::ParseBoardIni(std::string(ini.begin(), ini.end()));
    EXPECT_FALSE(config.attached);
    EXPECT_EQ(config.interfaceType, 0x40000000u);
    std::vector<std::string> log = LogLines();
    EXPECT_EQ(log, (std::vector<std::string>{"dialog: connection settings: OK, attached=0, interface=0x40000000",
                                             "Tolka_OptionDlg1()"}));
}

TEST_F(VarnetDllWindows, ProductInformationShowsTheNewestRecord) {
    SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD_SILENT", L"1");
    TOLKA_HANDLE h = Tolka_FlashModeOpen(0xE0000000, 0);
    ASSERT_NE(h, nullptr);
    ASSERT_EQ(Varn_FlshWrite(h, 0x7F00, Record(0x10, "older").data(), 128), 0);
    ASSERT_EQ(Varn_FlshWrite(h, 0x7F80, Record(0x20, "newest").data(), 128), 0);
    SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD_SILENT", nullptr);

    std::atomic<bool> stop{false};
    std::vector<std::wstring> shown;
    std::thread user = PlayUser(
        Caption(L"製品情報", L"Product Information"),
        [&](HWND dialog) {
            for (int id : {IDC_PI_UUID, IDC_PI_NUMBER, IDC_PI_PRODUCT, IDC_PI_MAKER, IDC_PI_SLOT})
                shown.push_back(Text(dialog, id));
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        },
        stop);
    EXPECT_EQ(Tolka_ShowProductInfo(h), 0);
    stop = true;
    user.join();
    Tolka_FlashModeClose(h, 0);

    EXPECT_EQ(shown, (std::vector<std::wstring>{L"787c7eb3-31ac-4be1-bd0a-c07563d39179", L"32 (0x00000020)", L"newest",
                                                L"Maker", L"0x7F80"}));
}

}  // namespace
