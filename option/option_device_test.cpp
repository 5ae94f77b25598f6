// The option window on the virtual board, under Wine: the real window, the real DLLs, and
// the board's call log to see what reached the board and in which order.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "common/editor_test_support.h"
#include "framework/dialog_test_support.h"
#include "option/optiondlg.h"
#include "option/resource.h"
#include "varnet/board_test_support.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

constexpr UINT kOkWarning = MB_OK | MB_ICONEXCLAMATION;
constexpr UINT kOkInfo = MB_OK | MB_ICONINFORMATION;
const wchar_t kUnsupported[] =
    L"接続したデバイスは、この機能に未対応のファームウェアバージョンです。\r\n最新のファームウェアに更新してください。";
const wchar_t kWriteQuestion[] = L"最初に見つかったデバイスに対して設定内容を書き込みます。よろしいですか?";

const std::string kOpen = "Tolka_FlashModeOpen(0xE0000000, 0) = h1";
const std::string kCheck = "Varn_FlshRead(h1, 0x8000) = 0";
const std::string kReadArea = "Varn_FlshReadRWArea(h1, 5) = 0";
const std::string kWriteArea = "Varn_FlshWriteRWArea(h1, 5) = 0";
const std::string kClose = "Tolka_FlashModeClose(h1, 0)";

Bytes Image(Bytes head) {
    head.resize(128, 0xFF);
    return head;
}

// P2 pull-up on all pins, PA pin 0 an output driving high.
const Bytes kBoardImage = Image({0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0x01, 0xFF, 0, 0});
const std::set<unsigned> kBoardBoxes = {1048, 1032, 1077, 1078, 1079, 1080, 1081, 1082, 1083, 1084};

class OptionOnBoard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create());
        hwnd = dlg.GetSafeHwnd();
    }
    void Connect() {
        fwtest::Click(hwnd, ID_CONNECT);
        ASSERT_TRUE(dlg.IsConnected());
        board.ClearCalls();
    }
    std::wstring AreaPath() const { return board.Folder() + L"area5.bin"; }
    Bytes Area() const {
        std::ifstream in(AreaPath().c_str(), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void SetArea(const Bytes& bytes) {
        std::ofstream out(AreaPath().c_str(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    void SetFirmware(const Bytes& mark) { board.PutBytes(0x8000, mark); }
    std::set<unsigned> Checked() const {
        std::set<unsigned> ids;
        for (unsigned id = 1001; id <= 1084; ++id) {
            if (id != 1009 && id != 1010 && id != 1011 && IsDlgButtonChecked(hwnd, static_cast<int>(id)))
                ids.insert(id);
        }
        return ids;
    }
    bool Enabled(UINT id) const { return IsWindowEnabled(GetDlgItem(hwnd, static_cast<int>(id))) != 0; }
    // The buttons of the connection: connect, disconnect, product information.
    std::vector<bool> ConnectionButtons() const {
        return {Enabled(ID_CONNECT), Enabled(ID_DISCONNECT), Enabled(ID_PRODUCT_INFO)};
    }
    std::wstring Title() const { return fwtest::Text(hwnd); }

    testboard::VirtualBoard board;
    fwtest::ScriptedUser user;
    CTolkaOptionDlg dlg;
    HWND hwnd = nullptr;
};

const std::vector<bool> kNotConnected = {true, false, false};
const std::vector<bool> kConnected = {false, true, true};

TEST_F(OptionOnBoard, ConnectAndDisconnectSayNothingAndFlipTheButtons) {
    EXPECT_EQ(ConnectionButtons(), kNotConnected);
    fwtest::Click(hwnd, ID_CONNECT);
    EXPECT_EQ(board.Calls(), Lines{kOpen});
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(ConnectionButtons(), kConnected);
    EXPECT_FALSE(fwtest::MenuItemEnabled(hwnd, 1, ID_CONNECT));
    for (UINT id : fwtest::Ids{ID_DISCONNECT, ID_ERASE_DEVICE, ID_PRODUCT_INFO, ID_READ_DEVICE, ID_WRITE_DEVICE})
        EXPECT_TRUE(fwtest::MenuItemEnabled(hwnd, 1, id)) << id;

    board.ClearCalls();
    fwtest::Click(hwnd, ID_DISCONNECT);
    EXPECT_EQ(board.Calls(), Lines{kClose});
    EXPECT_FALSE(dlg.IsConnected());
    EXPECT_EQ(ConnectionButtons(), kNotConnected);
    EXPECT_TRUE(fwtest::MenuItemEnabled(hwnd, 1, ID_CONNECT));
    for (UINT id : fwtest::Ids{ID_DISCONNECT, ID_ERASE_DEVICE, ID_PRODUCT_INFO})
        EXPECT_FALSE(fwtest::MenuItemEnabled(hwnd, 1, id)) << id;
    EXPECT_EQ(Title(), L"TolkaOption");
}

// Without a board nothing of this program is said: the library has told the user. Read
// and write stop there, before any firmware check.
TEST_F(OptionOnBoard, NoBoardEndsConnectReadAndWrite) {
    board.Configure(0x80000000u, "", false);
    user.Answer(IDYES);
    for (UINT id : fwtest::Ids{ID_CONNECT, ID_READ_DEVICE, ID_WRITE_DEVICE})
        fwtest::Click(hwnd, id);
    EXPECT_EQ(user.Texts(), std::vector<std::wstring>{kWriteQuestion});  // only the write's question
    Lines calls = board.Calls();
    ASSERT_EQ(calls.size(), 6u);
    for (size_t i = 0; i < calls.size(); i += 2) {
        EXPECT_EQ(calls[i].rfind("message: ", 0), 0u);
        EXPECT_EQ(calls[i + 1], "Tolka_FlashModeOpen(0xE0000000, 0) = null");
    }
    EXPECT_EQ(ConnectionButtons(), kNotConnected);
    EXPECT_EQ(Title(), L"TolkaOption");
}

TEST_F(OptionOnBoard, ReadConnectsChecksReadsAndStaysConnected) {
    SetArea(kBoardImage);
    fwtest::Click(hwnd, ID_READ_DEVICE);
    EXPECT_EQ(board.Calls(), (Lines{kOpen, kCheck, kReadArea}));
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, L"デバイスから現在の設定を読み出しました。");
    EXPECT_EQ(user.messages[0].type, kOkInfo);
    EXPECT_EQ(Checked(), kBoardBoxes);
    EXPECT_EQ(Title(), L"TolkaOption*");  // one mark: setting the boxes is not a click
    EXPECT_TRUE(dlg.m_bModified);
    EXPECT_EQ(ConnectionButtons(), kConnected);

    // Connected already: no second open. The first click after a read adds no mark.
    board.ClearCalls();
    fwtest::Click(hwnd, ID_READ_DEVICE);
    EXPECT_EQ(user.messages[1].text, L"編集中のファイルを破棄しますか。");
    EXPECT_EQ(board.Calls(), Lines{});  // the default answer, Cancel
    fwtest::Click(hwnd, 1001);
    EXPECT_EQ(Title(), L"TolkaOption*");

    // No file any more: save asks for a name, exit asks first.
    user.CancelFileDialog();
    fwtest::Command(hwnd, IDC_FILE_SAVE);
    EXPECT_EQ(user.fileDialogs.size(), 1u);
    EXPECT_TRUE(dlg.m_strPathName.empty());
    fwtest::Command(hwnd, IDCANCEL);
    EXPECT_EQ(user.messages.back().text, L"編集中のファイルを破棄して終了しますか。");
    EXPECT_FALSE(dlg.HasEnded());
}

// Unsaved edits are asked about before anything reaches the board.
TEST_F(OptionOnBoard, ReadAsksBeforeItReplacesEdits) {
    SetArea(kBoardImage);
    fwtest::Click(hwnd, 1056);
    user.Answer(IDCANCEL);
    fwtest::Click(hwnd, ID_READ_DEVICE);
    EXPECT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].type, 0x121u);
    EXPECT_EQ(board.Calls(), Lines{});
    EXPECT_EQ(Checked(), std::set<unsigned>{1056});
    user.Answer(IDOK);
    fwtest::Click(hwnd, ID_READ_DEVICE);
    EXPECT_EQ(Checked(), kBoardBoxes);
}

struct ReadFailure {
    const char* what;
    Bytes firmware;  // at 0x8000
    std::string faults;
    bool area;  // area5.bin holds settings
    const wchar_t* message;
    Lines calls;
    bool connected;  // afterwards
};

TEST_F(OptionOnBoard, ReadFailuresLeaveTheGridTitleAndFlag) {
    const ReadFailure cases[] = {
        {"old firmware", {0, 0, 0x01, 0}, "", true, kUnsupported, {kOpen, kCheck, kClose}, false},
        {"firmware block unreadable",
         {0, 0, 0, 0},
         "read_fail=0x8000",
         true,
         kUnsupported,
         {kOpen, "Varn_FlshRead(h1, 0x8000) = 4", kClose},
         false},
        {"no settings",
         {0, 0, 0, 0},
         "",
         false,
         L"設定データが見つかりませんでした。",
         {kOpen, kCheck, "Varn_FlshReadRWArea(h1, 5) = 6"},
         true},
    };
    for (const ReadFailure& c : cases) {
        SCOPED_TRACE(c.what);
        CTolkaOptionDlg window;
        ASSERT_TRUE(window.Create());
        HWND w = window.GetSafeHwnd();
        SetFirmware(c.firmware);
        board.SetFaults(c.faults);
        DeleteFileW(AreaPath().c_str());
        if (c.area)
            SetArea(kBoardImage);
        board.ClearCalls();
        user.messages.clear();
        fwtest::Click(w, ID_READ_DEVICE);
        ASSERT_EQ(user.messages.size(), 1u);
        EXPECT_EQ(user.messages[0].text, c.message);
        EXPECT_EQ(user.messages[0].type, kOkWarning);
        EXPECT_EQ(board.Calls(), c.calls);
        EXPECT_EQ(window.IsConnected(), c.connected);
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(w, ID_CONNECT)) == 0, c.connected);
        EXPECT_EQ(fwtest::Text(w), L"TolkaOption");
        EXPECT_FALSE(window.m_bModified);
        EXPECT_EQ(IsDlgButtonChecked(w, 1077), 0u);
    }
}

TEST_F(OptionOnBoard, WriteAsksConnectsChecksWritesAndDisconnects) {
    fwtest::Click(hwnd, 1001);
    fwtest::Click(hwnd, 1002);
    fwtest::Click(hwnd, 1047);
    user.Answer(IDNO);
    fwtest::Click(hwnd, ID_WRITE_DEVICE);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, kWriteQuestion);
    EXPECT_EQ(user.messages[0].type, 0x124u);
    EXPECT_EQ(board.Calls(), Lines{});

    user.Answer(IDYES);
    fwtest::Click(hwnd, ID_WRITE_DEVICE);
    EXPECT_EQ(board.Calls(), (Lines{kOpen, kCheck, kWriteArea, kClose}));
    ASSERT_EQ(user.messages.size(), 3u);
    EXPECT_EQ(user.messages[2].text, L"正常に書き込みが終了しました。");
    EXPECT_EQ(user.messages[2].type, kOkInfo);
    EXPECT_EQ(Area(), Image({0, 0, 0x80, 0, 0, 0x03, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ConnectionButtons(), kNotConnected);
    EXPECT_EQ(Title(), L"TolkaOption*");  // writing is not saving
    EXPECT_TRUE(dlg.m_bModified);

    // Connected before the command: no question, and disconnected all the same.
    Connect();
    fwtest::Click(hwnd, ID_WRITE_DEVICE);
    EXPECT_EQ(board.Calls(), (Lines{kCheck, kWriteArea, kClose}));
    EXPECT_EQ(user.messages.size(), 4u);
    EXPECT_FALSE(dlg.IsConnected());
}

TEST_F(OptionOnBoard, WriteFailuresEndDisconnectedWithTheAreaAsItWas) {
    const Bytes old = Image(Bytes(13, 0x55));
    struct Case {
        const char* what;
        Bytes firmware;
        std::string faults;
        const wchar_t* message;
        Lines calls;
    } cases[] = {
        {"old firmware", {0xFF, 0xFF, 0xFF, 0xFF}, "", kUnsupported, {kCheck, kClose}},
        {"firmware block unreadable",
         {0, 0, 0, 0},
         "read_fail=all",
         kUnsupported,
         {"Varn_FlshRead(h1, 0x8000) = 4", kClose}},
        {"write fails",
         {0, 0, 0, 0},
         "rw_write_fail=1",
         L"書き込みに失敗しました。",
         {kCheck, "Varn_FlshWriteRWArea(h1, 5) = 4", kClose}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetFirmware(c.firmware);
        board.SetFaults(c.faults);
        SetArea(old);
        Connect();
        user.messages.clear();
        fwtest::Click(hwnd, ID_WRITE_DEVICE);
        ASSERT_EQ(user.messages.size(), 1u);
        EXPECT_EQ(user.messages[0].text, c.message);
        EXPECT_EQ(user.messages[0].type, kOkWarning);
        EXPECT_EQ(Lines(board.Calls()), c.calls);
        EXPECT_EQ(Area(), old);
        EXPECT_EQ(ConnectionButtons(), kNotConnected);
    }
}

TEST_F(OptionOnBoard, EraseOnlyOnAConnectionAfterTheQuestion) {
    SetArea(kBoardImage);
    fwtest::Command(hwnd, ID_ERASE_DEVICE);  // not connected: nothing at all
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(board.Calls(), Lines{});

    Connect();
    user.Answer(IDNO);
    fwtest::Command(hwnd, ID_ERASE_DEVICE);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, L"デバイスに書き込まれたポートの初期化情報を消去します。続けますか？");
    EXPECT_EQ(user.messages[0].type, 0x124u);
    EXPECT_EQ(board.Calls(), Lines{});

    board.SetFaults("erase_fail=1");
    user.Answer(IDYES);
    fwtest::Command(hwnd, ID_ERASE_DEVICE);
    EXPECT_EQ(user.messages.back().text, L"フラッシュメモリの消去に失敗しました。");
    EXPECT_EQ(user.messages.back().type, kOkWarning);
    EXPECT_EQ(Area(), kBoardImage);

    board.SetFaults("");
    board.ClearCalls();
    user.Answer(IDYES);
    fwtest::Command(hwnd, ID_ERASE_DEVICE);
    EXPECT_EQ(board.Calls(), Lines{"Varn_FlshErase(h1, 32) = 0"});
    EXPECT_EQ(user.messages.back().text, L"消去しました。");
    EXPECT_EQ(user.messages.back().type, kOkInfo);
    EXPECT_TRUE(Area().empty());
    EXPECT_EQ(ConnectionButtons(), kConnected);
    EXPECT_EQ(Title(), L"TolkaOption");
}

TEST_F(OptionOnBoard, ProductInformationFailureDisconnectsBeforeItSaysSo) {
    fwtest::Command(hwnd, ID_PRODUCT_INFO);  // not connected: nothing
    EXPECT_EQ(board.Calls(), Lines{});

    Connect();
    fwtest::Click(hwnd, ID_PRODUCT_INFO);
    EXPECT_EQ(board.Calls().back(), "Tolka_ShowProductInfo(h1) = 0");
    EXPECT_TRUE(user.messages.empty());
    EXPECT_TRUE(dlg.IsConnected());

    board.SetFaults("product_info_fail=1");
    board.ClearCalls();
    bool connectedAtMessage = true;
    fw::MessageBoxHookScope answers([&](const std::wstring& text, UINT type, const std::wstring&) {
        EXPECT_EQ(text, L"通信エラーが発生しました。");
        EXPECT_EQ(type, kOkWarning);
        connectedAtMessage = dlg.IsConnected();
        return IDOK;
    });
    fwtest::Click(hwnd, ID_PRODUCT_INFO);
    EXPECT_FALSE(connectedAtMessage);
    EXPECT_EQ(board.Calls(), (Lines{"Tolka_ShowProductInfo(h1) = 4", kClose}));
    EXPECT_EQ(ConnectionButtons(), kNotConnected);
}

TEST_F(OptionOnBoard, FocusMovesOnWhenACommandDisablesItsButton) {
    editortest::ExpectFocusMovesOn<CTolkaOptionDlg>(
        board, {
                   {"connect", "", {ID_CONNECT}, ID_DISCONNECT},
                   {"disconnect", "", {ID_CONNECT, ID_DISCONNECT}, ID_READ_DEVICE},
                   // the next tab stop: the grid's first box
                   {"product information fails", "product_info_fail=1", {ID_CONNECT, ID_PRODUCT_INFO}, 1008},
               });
}

}  // namespace
