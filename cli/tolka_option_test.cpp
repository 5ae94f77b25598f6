// tolka's port option commands beside the option window, under Wine on the virtual board:
// the same calls in the same order, the same image in the board and in the file, and an
// exit code that names what went wrong.
#include <gtest/gtest.h>

#include "cli/tolka_test_support.h"
#include "framework/dialog_test_support.h"
#include "option/optiondlg.h"
#include "option/resource.h"
#include "varnet/board_test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

// P1 pin 0 and P4 pin 7 outputs, P4 pin 7 high, P2 pulled up; bytes the window never writes.
Bytes OddImage() {
    Bytes image(128, 0x5A);
    const uint8_t ports[] = {0x80, 0, 0, 0x01, 0, 0x80, 0xF0, 0, 0xFF, 0, 0};
    std::copy(std::begin(ports), std::end(ports), image.begin() + 2);
    image[0] = image[1] = 0x33;
    return image;
}

enum class Op { Read, Write, Erase };

struct BoardState {
    std::string faults;
    bool oldFirmware;
    bool settings;  // area 5 holds OddImage
    bool attached;
};

void Prepare(testboard::VirtualBoard& board, const BoardState& state) {
    if (state.oldFirmware)
        board.PutBytes(0x8000, {0x01, 0x02, 0x03, 0x04});
    if (state.settings)
        tolkatest::WriteFileBytes(board.Folder() + L"area5.bin", OddImage());
    board.Configure(0x80000000u, state.faults, state.attached);
    board.ClearCalls();
}

struct OptCase {
    const char* what;
    Op op;
    BoardState state;
    long exit;
    const char* message;  // part of what tolka says on standard error
};

TEST(TolkaBesideTheOptionWindow, SameCallsSameImagesAndACodePerCause) {
    const OptCase cases[] = {
        {"read", Op::Read, {"", false, true, true}, 0, nullptr},
        {"read, no settings", Op::Read, {"", false, false, true}, 6, "設定データが見つかりませんでした。"},
        {"read, settings not found",
         Op::Read,
         {"rw_read_none=1", false, true, true},
         6,
         "設定データが見つかりませんでした。"},
        {"read, old firmware", Op::Read, {"", true, true, true}, 9, "未対応のファームウェアバージョンです。"},
        {"read, no board", Op::Read, {"", false, true, false}, 4, "デバイスに接続できませんでした。"},
        {"write", Op::Write, {"", false, false, true}, 0, nullptr},
        {"write fails", Op::Write, {"rw_write_fail=1", false, false, true}, 7, "書き込みに失敗しました。"},
        {"write, old firmware", Op::Write, {"", true, false, true}, 9, "未対応のファームウェアバージョンです。"},
        {"erase", Op::Erase, {"", false, true, true}, 0, nullptr},
        {"erase fails", Op::Erase, {"erase_fail=1", false, true, true}, 7, "フラッシュメモリの消去に失敗しました。"},
    };
    const std::wstring file = fwtest::TempPath(L"side.topt");
    const std::wstring windowSaved = fwtest::TempPath(L"window.topt");
    const std::wstring tolkaSaved = fwtest::TempPath(L"tolka.topt");
    tolkatest::WriteFileBytes(file, OddImage());
    for (const OptCase& c : cases) {
        SCOPED_TRACE(c.what);
        Lines windowCalls;
        Bytes windowArea;
        {
            testboard::VirtualBoard board;
            Prepare(board, c.state);
            fwtest::ScriptedUser user;
            CTolkaOptionDlg dlg;
            ASSERT_TRUE(dlg.Create());
            HWND hwnd = dlg.GetSafeHwnd();
            switch (c.op) {
                case Op::Read:
                    fwtest::Click(hwnd, ID_READ_DEVICE);
                    DeleteFileW(windowSaved.c_str());
                    if (c.exit == 0) {
                        user.ChooseFile(windowSaved);
                        fwtest::Command(hwnd, ID_FILE_SAVE_AS);
                    }
                    break;
                case Op::Write:
                    user.ChooseFile(file);
                    fwtest::Click(hwnd, IDC_FILE_OPEN);
                    user.Answer(IDYES);
                    fwtest::Click(hwnd, ID_WRITE_DEVICE);
                    break;
                case Op::Erase:
                    fwtest::Click(hwnd, ID_CONNECT);
                    user.Answer(IDYES);
                    fwtest::Command(hwnd, ID_ERASE_DEVICE);
                    break;
            }
            if (dlg.IsConnected())
                fwtest::Click(hwnd, ID_DISCONNECT);
            windowCalls = board.Calls();
            windowArea = tolkatest::ReadFileBytes(board.Folder() + L"area5.bin");
        }
        testboard::VirtualBoard board;
        Prepare(board, c.state);
        DeleteFileW(tolkaSaved.c_str());
        const std::wstring args[] = {L"opt read -o \"" + tolkaSaved + L"\"", L"opt write \"" + file + L"\"",
                                     L"opt erase --yes"};
        tolkatest::Result r = tolkatest::Run(args[static_cast<int>(c.op)]);
        EXPECT_EQ(r.exit, c.exit) << r.err;
        Lines calls = board.Calls();
        // The library names the board's own folder when it finds no board.
        for (Lines* lines : {&calls, &windowCalls}) {
            for (std::string& line : *lines) {
                if (line.rfind("message: ", 0) == 0)
                    line = "message";
            }
        }
        EXPECT_EQ(calls, windowCalls);
        EXPECT_EQ(tolkatest::ReadFileBytes(board.Folder() + L"area5.bin"), windowArea);
        EXPECT_EQ(tolkatest::ReadFileBytes(tolkaSaved), tolkatest::ReadFileBytes(windowSaved));
        if (c.message) {
            EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        }
    }
}

TEST(TolkaOptShow, TableOnStandardOutputWarningsOnStandardError) {
    const std::wstring file = fwtest::TempPath(L"show.topt");
    tolkatest::WriteFileBytes(file, OddImage());
    tolkatest::Result r = tolkatest::Run(L"opt show \"" + file + L"\"");
    EXPECT_EQ(r.exit, 0);
    EXPECT_NE(r.out.find(tolkatest::Utf8(L"        入出力方向        出力データ        プルアップ\r\n")),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\r\nP4      1 0 0 0 0 0 0 0   1 0 0 0 0 0 0 0   0 0 0 0 0 0 0 0\r\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(r.err, tolkatest::Utf8(L"# P1 の端子 0 が出力です: P1, P2, P5 は出力するとアドレス出力となります。"
                                     L"出力ポートとしては使用できません。\r\n"));
}

TEST(TolkaInfo, BothAreasOfTheBoard) {
    testboard::VirtualBoard board;
    Prepare(board, BoardState{"", false, true, true});
    board.Configure(0x40000000u);
    tolkatest::Result r = tolkatest::Run(L"info --lang en");
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out,
              "Connected to a LAN device.\r\nInterface: 0x40000000 (LAN)\r\nCurrent record: Empty\r\n"
              "Product-information slots: 0 of 32 used\r\nPort option area: supported\r\nArea 5: holds settings\r\n");
    Lines calls = board.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[calls.size() - 3], "Varn_FlshRead(h1, 0x8000) = 0");
    EXPECT_EQ(calls[calls.size() - 2], "Varn_FlshReadRWArea(h1, 5) = 0");
    EXPECT_EQ(calls.back(), "Tolka_FlashModeClose(h1, 0)");
}

}  // namespace
