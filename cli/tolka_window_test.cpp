// tolka.exe beside the writer window, under Wine on the virtual board: the same operation
// on two boards prepared alike must give the same library calls in the same order, the
// same records byte for byte, and tolka an exit code that names what went wrong.
#include <gtest/gtest.h>

#include "cli/tolka_test_support.h"
#include "core/record.h"
#include "core/records_test_support.h"
#include "framework/language_test_support.h"
#include "framework/dialog_test_support.h"
#include "piwriter/piwritedlg.h"
#include "piwriter/resource.h"
#include "varnet/board_test_support.h"

namespace {

using testrecords::RecordBytes;
using Lines = std::vector<std::string>;

const wchar_t kVarnex[] = L"3aa4096d-2cc0-46dd-878a-88511d75ac78";
const wchar_t kPelnex[] = L"787c7eb3-31ac-4be1-bd0a-c07563d39179";
const wchar_t kOther[] = L"01234567-89ab-cdef-0123-456789abcdef";

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

// How a board starts out.
struct BoardSetup {
    uint32_t interfaceType;
    std::string faults;
    int records;  // valid records from 0x7000 up; 32 fills the area
    bool attached;
};

BoardSetup Board(uint32_t interfaceType = 0x80000000u,
                 const std::string& faults = "",
                 int records = 0,
                 bool attached = true) {
    return {interfaceType, faults, records, attached};
}

// The board's calls with the number of its folder, which the libraries name in their
// messages, left out.
Lines Calls(const testboard::VirtualBoard& board) {
    const std::string kFolder = "tolka-board-";
    Lines lines = board.Calls();
    for (std::string& line : lines) {
        size_t at = line.find(kFolder);
        if (at == std::string::npos)
            continue;
        size_t end = line.find_first_not_of("0123456789-", at + kFolder.size());
        line.erase(at + kFolder.size(), (end == std::string::npos ? line.size() : end) - at - kFolder.size());
    }
    return lines;
}

void Prepare(testboard::VirtualBoard& board, const BoardSetup& setup) {
    for (int i = 0; i < setup.records; ++i)
        board.PutBytes(0x7000 + 0x80 * static_cast<uint32_t>(i), RecordBytes(kOther, static_cast<uint32_t>(i)));
    board.Configure(setup.interfaceType, setup.faults, setup.attached);
    board.ClearCalls();
}

// The writer window with a scripted user, on a board of its own.
class Window {
public:
    explicit Window(const BoardSetup& setup) {
        Prepare(board, setup);
        dlg.Create();
        hwnd = dlg.GetSafeHwnd();
    }
    // Ends the operation as the user would: a connection left open is closed.
    Lines Calls() {
        if (dlg.IsConnected())
            fwtest::Click(hwnd, IDC_DISCONNECT);
        return ::Calls(board);
    }
    bool Announces(const BoardSetup& setup) const {
        uint32_t top = setup.interfaceType & 0xFF000000u;
        return setup.attached && (top == 0x80000000u || top == 0x20000000u || top == 0x40000000u) &&
               setup.faults.find("no_board=1") == std::string::npos;
    }

    testboard::VirtualBoard board;
    fwtest::ScriptedUser user;
    CVarnPIWriteDlg dlg;
    HWND hwnd = nullptr;
};

struct WriteCase {
    const char* what;
    BoardSetup setup;
    const wchar_t* uuid;
    int kindAnswer;  // the window's answer to the product-kind question, 0 when none is asked
    long exit;
    const char* message;  // part of what tolka says on standard error (Japanese by default)
};

TEST(TolkaBesideTheWindow, WriteMakesTheSameCallsAndEndsWithItsCode) {
    const WriteCase cases[] = {
        {"empty board", Board(), kOther, 0, 0, nullptr},
        {"appended, kind looked at", Board(0x80000000u, "", 2), kVarnex, 0, 0, nullptr},
        {"full area", Board(0x80000000u, "", 32), kOther, 0, 0, nullptr},
        {"first echo missed", Board(0x80000000u, "echo_fail_first=1", 1), kOther, 0, 0, nullptr},
        {"no board", Board(0x80000000u, "", 0, false), kOther, 0, 4, "デバイスに接続できませんでした。"},
        {"no answer", Board(0x80000000u, "echo_fail=1"), kOther, 0, 5, "デバイスから応答がありません。"},
        {"scan read", Board(0x80000000u, "read_fail=0x7F80"), kOther, 0, 6, "デバイスからの読み出しに失敗しました。"},
        {"search read", Board(0x80000000u, "read_fail=0x7000", 2), kOther, 0, 6,
         "デバイスからの読み出しに失敗しました。"},
        {"write", Board(0x80000000u, "write_fail=1"), kOther, 0, 7, "書き込みに失敗しました。"},
        {"erase when full", Board(0x80000000u, "erase_fail=1", 32), kOther, 0, 7,
         "フラッシュメモリの消去に失敗しました。"},
        {"corrupt", Board(0x80000000u, "write_corrupt=1", 1), kOther, 0, 8, "ベリファイエラーです。"},
        {"read-back", Board(0x80000000u, "readback_fail=1"), kOther, 0, 8, "ベリファイエラーです。"},
        {"Varnex on LAN refused", Board(0x40000000u), kVarnex, IDNO, 9,
         "LAN製品にVarnexの製品情報を書き込もうとしています。"},
        {"Varnex on LAN allowed", Board(0x40000000u), kVarnex, IDYES, 0, nullptr},
        {"Pelnex on USB refused", Board(0x80000000u, "", 1), kPelnex, IDNO, 9,
         "USB製品にPelnexの製品情報を書き込もうとしています。"},
        {"Pelnex on a 0x20 board", Board(0x20000000u), kPelnex, 0, 0, nullptr},
    };
    const std::wstring file = fwtest::TempPath(L"side.tpi");
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.what);
        Lines windowCalls;
        std::vector<uint8_t> windowSlot;
        {
            Window w(c.setup);
            fwtest::Type(w.hwnd, IDC_UUID, c.uuid);
            fwtest::Type(w.hwnd, IDC_NUMBER, L"77");
            fwtest::Type(w.hwnd, IDC_PRODUCT_NAME, L"prod");
            fwtest::Type(w.hwnd, IDC_MAKER, L"maker");
            w.user.Answer(IDYES);  // write to the first board found
            if (c.kindAnswer != 0) {
                if (w.Announces(c.setup))
                    w.user.Answer(IDOK);
                w.user.Answer(c.kindAnswer);
            }
            fwtest::Click(w.hwnd, IDC_WRITE_DEVICE);
            windowCalls = w.Calls();
            windowSlot = w.board.Slot(0x7000 + 0x80 * static_cast<uint32_t>(c.setup.records % 32));
        }
        testboard::VirtualBoard board;
        Prepare(board, c.setup);
        tolkatest::WriteFileBytes(file, RecordBytes(c.uuid, 77));
        std::wstring args = L"pi write " + Quoted(file) + (c.kindAnswer == IDYES ? L" --allow-kind-mismatch" : L"");
        tolkatest::Result r = tolkatest::Run(args);
        EXPECT_EQ(r.exit, c.exit) << r.err;
        EXPECT_EQ(Calls(board), windowCalls);
        EXPECT_EQ(board.Slot(0x7000 + 0x80 * static_cast<uint32_t>(c.setup.records % 32)), windowSlot);
        if (c.message)
            EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        else
            EXPECT_EQ(r.err, "");
    }
}

enum class WindowOp { Erase, Read };

struct BoardCommandCase {
    const char* what;
    BoardSetup setup;
    WindowOp op;
    const wchar_t* args;
    long exit;
};

TEST(TolkaBesideTheWindow, EraseAndReadMakeTheSameCalls) {
    const BoardCommandCase cases[] = {
        {"erase", Board(0x80000000u, "", 3), WindowOp::Erase, L"pi erase --yes", 0},
        {"erase fails", Board(0x80000000u, "erase_fail=1", 3), WindowOp::Erase, L"pi erase --yes", 7},
        {"read", Board(0x40000000u, "", 5), WindowOp::Read, L"pi read", 0},
        {"read an empty board", Board(), WindowOp::Read, L"pi read", 6},
    };
    for (const BoardCommandCase& c : cases) {
        SCOPED_TRACE(c.what);
        Lines windowCalls;
        {
            Window w(c.setup);
            if (c.op == WindowOp::Erase) {
                fwtest::Click(w.hwnd, IDC_CONNECT);
                w.user.Answer(IDYES);
                fwtest::Command(w.hwnd, ID_ERASE_DEVICE);
            } else {
                fwtest::Click(w.hwnd, ID_READ_TO_EDITOR);
            }
            windowCalls = w.Calls();
        }
        testboard::VirtualBoard board;
        Prepare(board, c.setup);
        EXPECT_EQ(tolkatest::Run(c.args).exit, c.exit);
        EXPECT_EQ(Calls(board), windowCalls);
    }
}

// Japanese names go through the ANSI code page (932 here) on both sides.
TEST(TolkaBesideTheWindow, RecordsAreByteIdentical) {
    const std::wstring product = L"製品Ａ-ﾃｽﾄ";
    const std::wstring maker = L"株式会社トルカ, \"東京\"";
    const std::wstring windowFile = fwtest::TempPath(L"window 製品.tpi");
    const std::wstring tolkaFile = fwtest::TempPath(L"tolka 製品.tpi");
    std::vector<uint8_t> windowSlot;
    {
        Window w{Board()};
        fwtest::Type(w.hwnd, IDC_UUID, L"3AA4096D-2CC0-46DD-878A-88511D75AC78");
        fwtest::Type(w.hwnd, IDC_NUMBER, L" 0x00ff ");
        fwtest::Type(w.hwnd, IDC_PRODUCT_NAME, product);
        fwtest::Type(w.hwnd, IDC_MAKER, maker);
        w.user.ChooseFile(windowFile);
        fwtest::Command(w.hwnd, ID_FILE_SAVE_AS);
        w.user.Answer(IDYES);
        fwtest::Click(w.hwnd, IDC_WRITE_DEVICE);
        windowSlot = w.board.Slot(0x7000);
    }
    testboard::VirtualBoard board;
    tolkatest::Result made = tolkatest::Run(
        L"pi make --uuid 3AA4096D-2CC0-46DD-878A-88511D75AC78 --number 0x00ff "
        L"--product " +
        Quoted(product) + L" --maker \"株式会社トルカ, \\\"東京\\\"\" -o " + Quoted(tolkaFile));
    ASSERT_EQ(made.exit, 0) << made.err;
    EXPECT_EQ(tolkatest::ReadFileBytes(tolkaFile), tolkatest::ReadFileBytes(windowFile));
    EXPECT_EQ(tolkatest::ReadFileBytes(tolkaFile).size(), 128u);
    tolkatest::Result written = tolkatest::Run(L"pi write " + Quoted(tolkaFile));
    ASSERT_EQ(written.exit, 0) << written.err;
    EXPECT_EQ(board.Slot(0x7000), windowSlot);
    EXPECT_NE(written.out.find(tolkatest::Utf8(L"製品名 製品Ａ-ﾃｽﾄ, 製造元 株式会社トルカ, \"東京\"")),
              std::string::npos)
        << written.out;

    // Read back and saved, the record is again the same file.
    const std::wstring readFile = fwtest::TempPath(L"read.tpi");
    EXPECT_EQ(tolkatest::Run(L"pi read -o " + Quoted(readFile)).exit, 0);
    EXPECT_EQ(tolkatest::ReadFileBytes(readFile), tolkatest::ReadFileBytes(windowFile));
}

// Code page 932 here: a name it cannot hold as typed is refused by both faces before anything
// is written, with the field and the character; one that fits by bytes is kept.
TEST(TolkaBesideTheWindow, NamesTheCodePageCannotHoldAreRefusedByBoth) {
    const std::wstring bytes31 = std::wstring(15, L'製') + L"A";
    const std::wstring bytes32(16, L'製');
    const struct {
        std::wstring name;
        const wchar_t* refusal;  // after the field's name; nullptr: kept
    } cases[] = {
        {L"製品B", nullptr},
        {bytes31, nullptr},
        {L"Café 😀 Ω", L"「é」はこのパソコンの文字コードで保存できない文字です。"},
        {L"x😀", L"「😀」はこのパソコンの文字コードで保存できない文字です。"},
        {bytes32, L"31 バイト以内で入力してください。"},
    };
    const std::wstring file = fwtest::TempPath(L"cp.tpi");
    for (const auto& c : cases) {
        for (bool maker : {false, true}) {
            SCOPED_TRACE(tolkatest::Utf8(c.name) + (maker ? " as maker" : " as product"));
            const std::wstring field = maker ? L"製造元" : L"製品名";
            const std::wstring product = maker ? L"p" : c.name;
            const std::wstring makerName = maker ? c.name : L"m";
            Window w{Board()};
            fwtest::Type(w.hwnd, IDC_UUID, kOther);
            fwtest::Type(w.hwnd, IDC_PRODUCT_NAME, product);
            fwtest::Type(w.hwnd, IDC_MAKER, makerName);
            core::RecordImage record;
            EXPECT_EQ(w.dlg.BuildRecord(record), c.refusal == nullptr);
            DeleteFileW(file.c_str());
            tolkatest::Result r =
                tolkatest::Run(L"pi make --uuid " + std::wstring(kOther) + L" --product " + Quoted(product) +
                               L" --maker " + Quoted(makerName) + L" -o " + Quoted(file));
            if (c.refusal == nullptr) {
                EXPECT_TRUE(w.user.messages.empty());
                EXPECT_EQ(r.exit, 0) << r.err;
                EXPECT_EQ(tolkatest::ReadFileBytes(file), std::vector<uint8_t>(record.begin(), record.end()));
                continue;
            }
            // The window's text names the field on its own; tolka's is "field: ...".
            const std::wstring window = c.refusal[0] == L'3' ? c.refusal : field + L": " + c.refusal;
            ASSERT_EQ(w.user.messages.size(), 1u);
            EXPECT_EQ(w.user.messages[0].text, window);
            EXPECT_EQ(GetFocus(), GetDlgItem(w.hwnd, maker ? IDC_MAKER : IDC_PRODUCT_NAME));
            EXPECT_EQ(r.exit, 2);
            EXPECT_NE(r.err.find(tolkatest::Utf8(field + L": " + c.refusal)), std::string::npos) << r.err;
            EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
        }
    }
}

struct ExitCase {
    const char* what;
    BoardSetup setup;
    std::wstring args;
    long exit;
    const char* message;
};

TEST(Tolka, UsageFilesAndLanguage) {
    const std::wstring missing = fwtest::TempPath(L"missing.tpi");
    const std::wstring shortFile = fwtest::TempPath(L"short.tpi");
    tolkatest::WriteFileBytes(shortFile, std::vector<uint8_t>(100, 0));
    const std::wstring emptyFile = fwtest::TempPath(L"empty.tpi");
    tolkatest::WriteFileBytes(emptyFile, std::vector<uint8_t>(128, 0));
    const std::wstring longFile = fwtest::TempPath(L"long.topt");
    tolkatest::WriteFileBytes(longFile, std::vector<uint8_t>(129, 0));
    const ExitCase cases[] = {
        {"no command", Board(), L"", 2, "使い方が正しくありません: コマンドを指定してください"},
        {"unknown option in English", Board(), L"info --fast --lang en", 2, "Usage error: there is no option --fast"},
        {"missing file", Board(), L"pi show " + Quoted(missing), 3, "ファイルが見つかりません。"},
        {"missing ledger", Board(), L"ledger show " + Quoted(missing), 10, "が見つかりません。"},
        {"short file", Board(), L"pi write " + Quoted(shortFile), 3, "ファイルの形式が正しくありません。"},
        {"erase without --yes", Board(), L"pi erase", 2, "消去するには --yes を指定してください"},
        {"one byte too long", Board(), L"opt show " + Quoted(longFile), 3, "ファイルの形式が正しくありません。"},
        {"a serial port", Board(), L"pi show COM1", 3, "ファイルが開けませんでした。"},
        {"a serial port with an extension", Board(), L"pi show COM1.tpi", 3, "ファイルが開けませんでした。"},
        {"the auxiliary device", Board(), L"opt write AUX", 3, "ファイルが開けませんでした。"},
        {"the console", Board(), L"pi make --new-uuid -o CON", 3, "ファイルが開けませんでした。"},
        {"a ledger in a folder that is not there", Board(),
         L"pi write " + Quoted(emptyFile) + L" --ledger " + Quoted(fwtest::TempFolder() + L"none\\l.csv"), 10,
         "フォルダが見つからないか"},
        {"a folder as the ledger", Board(),
         L"pi write " + Quoted(emptyFile) + L" --ledger " + Quoted(fwtest::TempFolder() + L"."), 10,
         "台帳にできるファイルではありません"},
        {"a wildcard as the ledger", Board(),
         L"pi write " + Quoted(emptyFile) + L" --ledger " + Quoted(fwtest::TempFolder() + L"l*.csv"), 10,
         "ファイル名が正しくありません"},
    };
    for (const ExitCase& c : cases) {
        SCOPED_TRACE(c.what);
        testboard::VirtualBoard board;
        Prepare(board, c.setup);
        tolkatest::Result r = tolkatest::Run(c.args);
        EXPECT_EQ(r.exit, c.exit);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(board.Calls().empty());
    }
    tolkatest::Result help = tolkatest::Run(L"--help --lang en");
    EXPECT_EQ(help.exit, 0);
    EXPECT_NE(help.out.find("  10 ledger error\r\n"), std::string::npos) << help.out;
}

// The program has no exception handling: a broken precondition or exhausted memory ends it
// with one line and the code a caught fault ended it with.
TEST(Tolka, ARuntimeFaultEndsWithOneLineAndItsCode) {
    for (const wchar_t* fault : {L"index", L"memory"}) {
        tolkatest::Result r = tolkatest::Run(fault, "", L"runtimefault_probe.exe");
        EXPECT_EQ(r.exit, 1);
        EXPECT_EQ(r.err, "tolka: internal error\r\n");
    }
}

TEST(Tolka, JsonIsOneObjectOnStandardOutput) {
    testboard::VirtualBoard board;
    Prepare(board, Board(0x40000000u, "", 2));
    tolkatest::Result r = tolkatest::Run(L"pi read --json");
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "{\"command\":\"pi read\",\"exit_code\":0,\"ok\":true,\"interface\":\"0x40000000\",\"interface_kind\":"
              "\"LAN\",\"current\":{\"uuid\":\"01234567-89ab-cdef-0123-456789abcdef\",\"number\":1,\"product\":"
              "\"prod\",\"maker\":\"maker\",\"slot\":\"0x7080\"}}\r\n");
}

// On a line where nobody clicks, the virtual board says why there is no board on standard
// error, in tolka's language, and tolka ends: a box would keep it waiting until it is killed.
TEST(TolkaOnALine, TheVirtualBoardWritesToStandardErrorAndNothingWaits) {
    const struct {
        const wchar_t* uiLang;  // TOLKA_LANG
        const wchar_t* options;
        BoardSetup setup;
        const wchar_t* boardSays;  // how standard error starts
        const wchar_t* tolkaSays;  // tolka's own line, after the board's
    } cases[] = {
        {L"ja", L"", Board(0x80000000u, "", 0, false), L"TolkaCommon: ボードが見つかりませんでした。\r\n",
         L"デバイスに接続できませんでした。"},
        {L"en", L"", Board(0x80000000u, "", 0, false), L"TolkaCommon: No board was found.\r\n",
         L"No board could be connected."},
        {L"ja", L" --lang en", Board(0x80000000u, "no_board=1"), L"TolkaCommon: No board was found.\r\n",
         L"No board could be connected."},
        // Varnet.dll's own message: a line of board.ini it does not understand.
        {L"en", L"", Board(0x80000000u, "no_bord=1"), L"Varnet: ", L"No board could be connected."},
    };
    const std::wstring file = fwtest::TempPath(L"line.tpi");
    tolkatest::WriteFileBytes(file, RecordBytes(kOther, 1));
    for (const auto& c : cases) {
        SCOPED_TRACE(tolkatest::Utf8(std::wstring(c.uiLang) + c.options + L" " + c.boardSays));
        testboard::VirtualBoard board;
        Prepare(board, c.setup);
        SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD_SILENT", nullptr);
        fwtest::ScopedUiLang lang(c.uiLang);
        tolkatest::Result r = tolkatest::Run(L"pi write " + Quoted(file) + c.options);
        SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD_SILENT", L"1");
        EXPECT_EQ(r.exit, 4) << r.err;
        EXPECT_EQ(r.err.rfind(tolkatest::Utf8(c.boardSays), 0), 0u) << r.err;
        EXPECT_NE(r.err.find(tolkatest::Utf8(std::wstring(L"\r\n") + c.tolkaSays + L"\r\n")), std::string::npos)
            << r.err;
    }
}

}  // namespace
