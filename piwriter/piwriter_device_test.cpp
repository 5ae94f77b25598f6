// The writer on the virtual board, under Wine: the real window, the real DLLs, and the
// board's call log to see what reached the board and in which order.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/editor_test_support.h"
#include "core/records_test_support.h"
#include "framework/dialog_test_support.h"
#include "piwriter/piwritedlg.h"
#include "piwriter/resource.h"
#include "varnet/board_test_support.h"

namespace {

using fwtest::ItemText;
using fwtest::Type;
using testrecords::RecordBytes;
using Lines = std::vector<std::string>;

constexpr UINT kOkWarning = MB_OK | MB_ICONEXCLAMATION;
constexpr UINT kOkInfo = 0x40;
const wchar_t kVarnex[] = L"3aa4096d-2cc0-46dd-878a-88511d75ac78";
const wchar_t kPelnex[] = L"787c7eb3-31ac-4be1-bd0a-c07563d39179";
const wchar_t kOther[] = L"01234567-89ab-cdef-0123-456789abcdef";
const wchar_t kNoAnswer[] =
    L"デバイスから応答がありません。\n「J17」がオープンになっている場合はショートして、再接続してください。";
const wchar_t kReadFailed[] = L"デバイスからの読み出しに失敗しました。";

std::string Hex(uint32_t value) {
    char text[16];
    snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(value));
    return text;
}

// The reads of a scan, as the log shows them.
Lines Reads(uint32_t from, uint32_t to) {
    Lines lines;
    int step = from <= to ? 0x80 : -0x80;
    for (int64_t a = from;; a += step) {
        lines.push_back("Varn_FlshRead(h1, " + Hex(static_cast<uint32_t>(a)) + ") = 0");
        if (a == static_cast<int64_t>(to))
            break;
    }
    return lines;
}

Lines Concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

const Lines kConnect = {
    "Tolka_FlashModeOpen(0xE0000000, 0) = h1", "Varn_GetIFType(h1) = 0x80000000",
    "Varn_SetTimeouts(h1, 1000, 1000)",        "Varn_FlshEchoTest(h1) = 0",
    "Varn_SetTimeouts(h1, 5000, 5000)",
};
const Lines kRefresh = {"Varn_SetTimeouts(h1, 1000, 1000)", "Varn_FlshEchoTest(h1) = 0",
                        "Varn_SetTimeouts(h1, 5000, 5000)"};

class WriterOnBoard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create());
        hwnd = dlg.GetSafeHwnd();
    }
    void Connect() {
        fwtest::Click(hwnd, IDC_CONNECT);
        ASSERT_TRUE(dlg.IsConnected());
    }
    void FillEditor(const std::wstring& uuid, const std::wstring& number) {
        Type(hwnd, IDC_UUID, uuid);
        Type(hwnd, IDC_NUMBER, number);
        Type(hwnd, IDC_PRODUCT_NAME, L"prod");
        Type(hwnd, IDC_MAKER, L"maker");
    }
    std::vector<std::wstring> Panel() const {
        return {ItemText(hwnd, IDC_CUR_UUID), ItemText(hwnd, IDC_CUR_NUMBER), ItemText(hwnd, IDC_CUR_PRODUCT_NAME),
                ItemText(hwnd, IDC_CUR_MAKER)};
    }
    bool ConnectEnabled() const { return IsWindowEnabled(GetDlgItem(hwnd, IDC_CONNECT)) != 0; }
    bool DisconnectEnabled() const { return IsWindowEnabled(GetDlgItem(hwnd, IDC_DISCONNECT)) != 0; }
    void FillArea() {
        for (uint32_t a = 0x7000; a <= 0x7F80; a += 0x80)
            board.PutBytes(a, RecordBytes(kOther, a, "full"));
    }

    testboard::VirtualBoard board;
    fwtest::ScriptedUser user;
    CVarnPIWriteDlg dlg;
    HWND hwnd = nullptr;
};

const std::vector<std::wstring> kEmptyPanel(4, L"Empty");

TEST_F(WriterOnBoard, ConnectOpensReadsTheNewestSlotAndFlipsTheControls) {
    board.PutBytes(0x7000, RecordBytes(kVarnex, 1, "old"));
    board.PutBytes(0x7080, RecordBytes(kPelnex, 2, "new"));
    std::vector<uint8_t> neither = RecordBytes(kOther, 3, "neither");
    neither[0] = 0x34, neither[1] = 0x12;
    board.PutBytes(0x7100, neither);
    Connect();
    EXPECT_EQ(board.Calls(), Concat({kConnect, Reads(0x7F80, 0x7080)}));
    EXPECT_EQ(user.Texts(), std::vector<std::wstring>{L"USBデバイスに接続しました。"});
    EXPECT_EQ(user.messages[0].type, kOkInfo);
    EXPECT_EQ(Panel(), (std::vector<std::wstring>{kPelnex, L"2", L"new", L"maker"}));
    EXPECT_FALSE(ConnectEnabled());
    EXPECT_TRUE(DisconnectEnabled());
    EXPECT_FALSE(fwtest::MenuItemEnabled(hwnd, 1, IDC_CONNECT));
    EXPECT_TRUE(fwtest::MenuItemEnabled(hwnd, 1, IDC_DISCONNECT));
    EXPECT_TRUE(fwtest::MenuItemEnabled(hwnd, 1, ID_ERASE_DEVICE));
    EXPECT_EQ(dlg.m_bModified, false);

    board.ClearCalls();
    fwtest::Click(hwnd, IDC_DISCONNECT);
    EXPECT_EQ(board.Calls(), Lines{"Tolka_FlashModeClose(h1, 0)"});
    EXPECT_TRUE(ConnectEnabled());
    EXPECT_FALSE(DisconnectEnabled());
    EXPECT_FALSE(fwtest::MenuItemEnabled(hwnd, 1, ID_ERASE_DEVICE));
    EXPECT_EQ(Panel()[2], L"new");  // the panel keeps what it shows
}

TEST_F(WriterOnBoard, ConnectAnnouncesTheInterfaceByItsTopByte) {
    struct {
        uint32_t type;
        const wchar_t* message;
    } cases[] = {
        {0x80000000u, L"USBデバイスに接続しました。"},
        {0x20000000u, L"USBデバイスに接続しました。"},
        {0x800000FFu, L"USBデバイスに接続しました。"},
        {0x40000000u, L"LANデバイスに接続しました。"},
        {0xC0000000u, nullptr},
        {0x10000000u, nullptr},
        {0x00000000u, nullptr},
    };
    for (const auto& c : cases) {
        board.SetInterface(c.type);
        user.messages.clear();
        Connect();
        EXPECT_EQ(user.Texts(), c.message ? std::vector<std::wstring>{c.message} : std::vector<std::wstring>{})
            << std::hex << c.type;
        EXPECT_EQ(Panel(), kEmptyPanel);
        fwtest::Click(hwnd, IDC_DISCONNECT);
    }
}

TEST_F(WriterOnBoard, NoBoardLeavesTheWindowNotConnected) {
    board.Configure(0x80000000u, "", false);
    fwtest::Click(hwnd, IDC_CONNECT);
    EXPECT_FALSE(dlg.IsConnected());
    EXPECT_TRUE(user.messages.empty());  // the library has said so itself
    Lines calls = board.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].rfind("message: ", 0), 0u);
    EXPECT_EQ(calls[1], "Tolka_FlashModeOpen(0xE0000000, 0) = null");
    EXPECT_TRUE(ConnectEnabled());

    // A read into the editor that cannot connect stops.
    fwtest::Click(hwnd, ID_READ_TO_EDITOR);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_EQ(fwtest::Text(hwnd), L"TolkaPIWriter");
}

TEST_F(WriterOnBoard, EchoTestMayPassTheSecondTime) {
    board.SetFaults("echo_fail_first=1");
    board.PutBytes(0x7F80, RecordBytes(kVarnex, 7, "top"));
    Connect();
    Lines expected = {"Tolka_FlashModeOpen(0xE0000000, 0) = h1",
                      "Varn_GetIFType(h1) = 0x80000000",
                      "Varn_SetTimeouts(h1, 1000, 1000)",
                      "Varn_FlshEchoTest(h1) = 4",
                      "Varn_FlshEchoTest(h1) = 0",
                      "Varn_SetTimeouts(h1, 5000, 5000)",
                      "Varn_FlshRead(h1, 0x7F80) = 0"};
    EXPECT_EQ(board.Calls(), expected);
    EXPECT_EQ(Panel()[1], L"7");
}

TEST_F(WriterOnBoard, NoAnswerDropsTheConnectionAndBlanksThePanel) {
    board.PutBytes(0x7000, RecordBytes(kVarnex, 9, "nine"));
    Connect();
    fwtest::Click(hwnd, IDC_DISCONNECT);
    board.ClearCalls();
    user.messages.clear();
    board.SetFaults("echo_fail=1");
    fwtest::Click(hwnd, IDC_CONNECT);
    Lines expected = {"Tolka_FlashModeOpen(0xE0000000, 0) = h1",
                      "Varn_GetIFType(h1) = 0x80000000",
                      "Varn_SetTimeouts(h1, 1000, 1000)",
                      "Varn_FlshEchoTest(h1) = 4",
                      "Varn_FlshEchoTest(h1) = 4",
                      "Tolka_FlashModeClose(h1, 0)"};
    EXPECT_EQ(board.Calls(), expected);
    ASSERT_EQ(user.messages.size(), 2u);
    EXPECT_EQ(user.messages[1].text, kNoAnswer);
    EXPECT_EQ(user.messages[1].type, kOkWarning);
    EXPECT_FALSE(dlg.IsConnected());
    EXPECT_TRUE(ConnectEnabled());
    EXPECT_FALSE(DisconnectEnabled());
    EXPECT_EQ(Panel(), std::vector<std::wstring>(4, L""));

    // A read into the editor that connected by itself stops there: nothing stale is copied.
    user.messages.clear();
    fwtest::Click(hwnd, ID_READ_TO_EDITOR);
    EXPECT_EQ(user.messages.back().text, kNoAnswer);
    EXPECT_EQ(ItemText(hwnd, IDC_UUID), L"");
    EXPECT_FALSE(dlg.m_bModified);
}

// Board A is shown, then board B cannot be read: the panel must not go on showing board A,
// and a read into the editor must read the board again rather than copy the panel.
TEST_F(WriterOnBoard, APanelThatCouldNotBeReadIsNeverCopied) {
    board.PutBytes(0x7000, RecordBytes(kVarnex, 111, "boardA"));
    Connect();
    ASSERT_EQ(Panel()[1], L"111");
    fwtest::Click(hwnd, IDC_DISCONNECT);
    board.SetFlash(std::vector<uint8_t>(testboard::kNewFlashSize, 0xFF));
    board.PutBytes(0x7000, RecordBytes(kPelnex, 222, "boardB"));
    board.SetFaults("read_fail=all");
    user.messages.clear();
    Connect();
    EXPECT_EQ(user.Texts(), (std::vector<std::wstring>{L"USBデバイスに接続しました。", kReadFailed}));
    EXPECT_EQ(user.messages[1].type, kOkWarning);
    EXPECT_EQ(Panel(), std::vector<std::wstring>(4, L""));
    EXPECT_TRUE(dlg.IsConnected());

    board.ClearCalls();
    user.messages.clear();
    fwtest::Click(hwnd, ID_READ_TO_EDITOR);
    EXPECT_EQ(user.Texts(), std::vector<std::wstring>{kReadFailed});
    EXPECT_EQ(board.Calls(), Concat({kRefresh, {"Varn_FlshRead(h1, 0x7F80) = 4"}}));
    for (UINT id : fwtest::Ids{IDC_UUID, IDC_NUMBER, IDC_PRODUCT_NAME, IDC_MAKER})
        EXPECT_EQ(ItemText(hwnd, id), L"");
    EXPECT_FALSE(dlg.m_bModified);

    // Once the board can be read, the read into the editor brings what it holds now.
    board.SetFaults("");
    fwtest::Click(hwnd, ID_READ_TO_EDITOR);
    EXPECT_EQ(ItemText(hwnd, IDC_NUMBER), L"222");
    EXPECT_EQ(Panel()[1], L"222");
}

TEST_F(WriterOnBoard, AFailedEraseRefreshesThePanel) {
    board.PutBytes(0x7000, RecordBytes(kVarnex, 5, "five"));
    Connect();
    board.SetFaults("erase_fail=1");
    board.ClearCalls();
    user.Answer(IDYES);
    fwtest::Command(hwnd, ID_ERASE_DEVICE);
    EXPECT_EQ(user.messages.back().text, L"フラッシュメモリの消去に失敗しました。");
    EXPECT_EQ(board.Calls(), Concat({{"Varn_FlshErase(h1, 128) = 4"}, kRefresh, Reads(0x7F80, 0x7000)}));
    EXPECT_EQ(Panel()[1], L"5");

    // Erased, but the refresh cannot read: the panel says nothing rather than something stale.
    board.SetFaults("read_fail=all");
    user.messages.clear();
    user.Answer(IDYES);
    fwtest::Command(hwnd, ID_ERASE_DEVICE);
    EXPECT_EQ(user.Texts(), (std::vector<std::wstring>{L"デバイスに書き込まれた製品情報を消去します。続けますか？",
                                                       L"消去しました。", kReadFailed}));
    EXPECT_EQ(Panel(), std::vector<std::wstring>(4, L""));
    EXPECT_TRUE(dlg.IsConnected());
}

// --- Writing --------------------------------------------------------------------------------

TEST_F(WriterOnBoard, WriteConnectsAppendsVerifiesRefreshesCountsUpAndDisconnects) {
    board.PutBytes(0x7000, RecordBytes(kOther, 1, "one"));
    FillEditor(kVarnex, L"10");
    SendDlgItemMessageW(hwnd, IDC_AUTO_INCREMENT, BM_SETCHECK, BST_CHECKED, 0);
    user.Answer(IDYES);
    fwtest::Click(hwnd, IDC_WRITE_DEVICE);
    EXPECT_EQ(user.Texts(),
              (std::vector<std::wstring>{L"最初に見つかったデバイスに対して書込みを行います。続けますか？",
                                         L"USBデバイスに接続しました。", L"正常に書き込みが終了しました。"}));
    EXPECT_EQ(user.messages[0].type, 0x124u);
    EXPECT_EQ(user.messages[2].type, kOkInfo);
    // The Varnex kind UUID makes the write look at the interface type before the slot search.
    Lines expected = Concat({kConnect,
                             Reads(0x7F80, 0x7000),
                             {"Varn_GetIFType(h1) = 0x80000000"},
                             Reads(0x7000, 0x7080),
                             {"Varn_FlshWrite(h1, 0x7080, 128) = 0", "Varn_FlshRead(h1, 0x7080) = 0"},
                             kRefresh,
                             Reads(0x7F80, 0x7080),
                             {"Tolka_FlashModeClose(h1, 0)"}});
    EXPECT_EQ(board.Calls(), expected);
    std::vector<uint8_t> written = RecordBytes(kVarnex, 10, "prod");
    EXPECT_EQ(board.Slot(0x7080), written);
    EXPECT_EQ(Panel(), (std::vector<std::wstring>{kVarnex, L"10", L"prod", L"maker"}));
    EXPECT_EQ(ItemText(hwnd, IDC_NUMBER), L"11");
    EXPECT_EQ(fwtest::Text(hwnd), L"TolkaPIWriter*");
    EXPECT_FALSE(dlg.IsConnected());
    EXPECT_TRUE(ConnectEnabled());
}

TEST_F(WriterOnBoard, RefusedQuestionOrBadRecordWritesNothing) {
    FillEditor(kVarnex, L"1");
    user.Answer(IDNO);
    fwtest::Click(hwnd, IDC_WRITE_DEVICE);
    EXPECT_TRUE(board.Calls().empty());
    EXPECT_FALSE(dlg.IsConnected());

    Type(hwnd, IDC_UUID, L"");
    user.messages.clear();
    fwtest::Click(hwnd, IDC_WRITE_DEVICE);
    EXPECT_EQ(user.Texts(), std::vector<std::wstring>{L"UUIDが入力されていません。"});
    EXPECT_TRUE(board.Calls().empty());
}

TEST_F(WriterOnBoard, FullAreaIsErasedAndTheRecordGoesFirst) {
    FillArea();
    Connect();
    board.ClearCalls();
    FillEditor(kOther, L"99");
    fwtest::Click(hwnd, IDC_WRITE_DEVICE);
    Lines expected =
        Concat({Reads(0x7000, 0x7F80),
                {"Varn_FlshErase(h1, 128) = 0", "Varn_FlshWrite(h1, 0x7000, 128) = 0", "Varn_FlshRead(h1, 0x7000) = 0"},
                kRefresh,
                Reads(0x7F80, 0x7000),
                {"Tolka_FlashModeClose(h1, 0)"}});
    EXPECT_EQ(board.Calls(), expected);
    EXPECT_EQ(Panel()[1], L"99");
    EXPECT_EQ(board.Slot(0x7080), std::vector<uint8_t>(128, 0xFF));
}

TEST_F(WriterOnBoard, SlotThatIsNeitherFreeNorValidIsPassedOver) {
    std::vector<uint8_t> odd(128, 0xFF);
    odd[0] = 0x00, odd[1] = 0x80;
    board.PutBytes(0x7000, odd);
    Connect();
    EXPECT_EQ(Panel(), kEmptyPanel);
    FillEditor(kOther, L"3");
    fwtest::Click(hwnd, IDC_WRITE_DEVICE);
    EXPECT_EQ(board.Slot(0x7000), odd);
    EXPECT_EQ(board.Slot(0x7080), RecordBytes(kOther, 3, "prod"));
}

struct FailureCase {
    const char* faults;
    bool fullArea;
    std::vector<std::wstring> messages;
    const wchar_t* panelNumber;  // what the board holds after the failure
    bool flashUnchanged;
};

const wchar_t kAreaErased[] = L"\n製品情報の領域は消去されています。もう一度書き込んでください。";

// Every failed write keeps the connection, skips the count-up and refreshes the panel, so
// that it shows what the board holds now; a write that failed after the area was erased says so.
TEST_F(WriterOnBoard, FailedWritesKeepTheConnectionAndShowWhatTheBoardHolds) {
    const std::wstring verify = L"ベリファイエラーです。書き込みに失敗しました。";
    const std::wstring writeFailed = L"書き込みに失敗しました。";
    const FailureCase cases[] = {
        {"erase_fail=1", true, {L"フラッシュメモリの消去に失敗しました。"}, L"32640", true},
        {"write_fail=1", false, {writeFailed}, L"Empty", true},
        {"write_fail=1", true, {writeFailed + kAreaErased}, L"Empty", false},
        {"write_corrupt=1", false, {verify}, L"5", false},
        {"write_corrupt=1", true, {verify + kAreaErased}, L"5", false},
        // The refresh cannot read the slot the verify could not read either.
        {"readback_fail=1", false, {verify, kReadFailed}, L"", false},
        // A failing read must not make the area look full and get it erased.
        {"read_fail=0x7000", true, {kReadFailed}, L"32640", true},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.faults << (c.fullArea ? ", full area" : ""));
        testboard::VirtualBoard fresh;
        if (c.fullArea)
            for (uint32_t a = 0x7000; a <= 0x7F80; a += 0x80)
                fresh.PutBytes(a, RecordBytes(kOther, a, "full"));
        CVarnPIWriteDlg window;
        ASSERT_TRUE(window.Create());
        HWND w = window.GetSafeHwnd();
        fwtest::Click(w, IDC_CONNECT);
        std::vector<uint8_t> before = fresh.Flash();
        fresh.SetFaults(c.faults);
        Type(w, IDC_UUID, kOther);
        Type(w, IDC_NUMBER, L"5");
        SendDlgItemMessageW(w, IDC_AUTO_INCREMENT, BM_SETCHECK, BST_CHECKED, 0);
        user.messages.clear();
        fwtest::Click(w, IDC_WRITE_DEVICE);
        EXPECT_EQ(user.Texts(), c.messages);
        for (const fwtest::ShownMessage& m : user.messages)
            EXPECT_EQ(m.type, kOkWarning);
        EXPECT_TRUE(window.IsConnected());
        EXPECT_EQ(ItemText(w, IDC_NUMBER), L"5");
        EXPECT_EQ(ItemText(w, IDC_CUR_NUMBER), c.panelNumber);
        EXPECT_EQ(fresh.Flash() == before, c.flashUnchanged);
    }
}

struct KindCase {
    const wchar_t* uuid;
    uint32_t interfaceType;
    const wchar_t* question;  // nullptr: written without a question
};

TEST_F(WriterOnBoard, ProductKindMismatchAsksFirst) {
    const KindCase cases[] = {
        {kVarnex, 0x40000000u, L"LAN製品にVarnexの製品情報を書き込もうとしています。続けますか？"},
        {L"3AA4096D-2CC0-46DD-878A-88511D75AC78", 0x40000000u,
         L"LAN製品にVarnexの製品情報を書き込もうとしています。続けますか？"},
        {kPelnex, 0x80000000u, L"USB製品にPelnexの製品情報を書き込もうとしています。続けますか？"},
        {kPelnex, 0xC0000000u, L"USB製品にPelnexの製品情報を書き込もうとしています。続けますか？"},
        {kPelnex, 0x20000000u, nullptr},  // announced as USB, but bit 31 alone counts here
        {kVarnex, 0x80000000u, nullptr},
        {kPelnex, 0x40000000u, nullptr},
        {kOther, 0x40000000u, nullptr},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.interfaceType);
        board.SetInterface(c.interfaceType);
        Connect();
        board.ClearCalls();
        FillEditor(c.uuid, L"1");
        user.messages.clear();
        user.Answer(IDNO);
        fwtest::Click(hwnd, IDC_WRITE_DEVICE);
        if (c.question) {
            ASSERT_EQ(user.messages.size(), 1u);
            EXPECT_EQ(user.messages[0].text, c.question);
            EXPECT_EQ(user.messages[0].type, MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION);
            EXPECT_EQ(board.Calls().back().rfind("Varn_GetIFType", 0), 0u);
            EXPECT_TRUE(dlg.IsConnected());  // refused: the connection stays
            fwtest::Click(hwnd, IDC_DISCONNECT);
        } else {
            EXPECT_EQ(user.messages.back().text, L"正常に書き込みが終了しました。");
            EXPECT_FALSE(dlg.IsConnected());
        }
    }
}

struct CountUpCase {
    const wchar_t* number;
    bool checked;
    const wchar_t* after;
};

TEST_F(WriterOnBoard, CountUpKeepsTheFormOfTheNumber) {
    const CountUpCase cases[] = {
        {L"10", true, L"11"},
        {L"0x0000000a", true, L"0x0000000b"},
        {L"0X0A", true, L"0x0000000b"},
        {L" 0xff ", true, L"0x00000100"},
        {L"0xFFFFFFFF", true, L"0xFFFFFFFF"},
        {L"4294967295", true, L"4294967295"},
        {L"-1", true, L"-1"},
        {L"10", false, L"10"},
    };
    for (const CountUpCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.number);
        Connect();
        FillEditor(kOther, c.number);
        SendDlgItemMessageW(hwnd, IDC_AUTO_INCREMENT, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        fwtest::Click(hwnd, IDC_WRITE_DEVICE);
        EXPECT_EQ(ItemText(hwnd, IDC_NUMBER), c.after);
        board.SetFlash(std::vector<uint8_t>(testboard::kNewFlashSize, 0xFF));
    }
}

TEST_F(WriterOnBoard, HexNumberShowsInDecimalOnTheBoardSide) {
    FillEditor(kOther, L"0x000000ff");
    user.Answer(IDYES);
    fwtest::Click(hwnd, IDC_WRITE_DEVICE);
    EXPECT_EQ(Panel()[1], L"255");
    Type(hwnd, IDC_NUMBER, L"");
    user.Answer(IDYES);  // discard edits
    fwtest::Click(hwnd, ID_READ_TO_EDITOR);
    EXPECT_EQ(ItemText(hwnd, IDC_NUMBER), L"255");
}

TEST_F(WriterOnBoard, NoAnswerAfterAWriteStillCountsUpAndDisconnects) {
    Connect();
    FillEditor(kOther, L"41");
    SendDlgItemMessageW(hwnd, IDC_AUTO_INCREMENT, BM_SETCHECK, BST_CHECKED, 0);
    board.SetFaults("echo_fail=1");
    user.messages.clear();
    fwtest::Click(hwnd, IDC_WRITE_DEVICE);
    EXPECT_EQ(user.Texts(), (std::vector<std::wstring>{L"正常に書き込みが終了しました。", kNoAnswer}));
    EXPECT_EQ(ItemText(hwnd, IDC_NUMBER), L"42");
    EXPECT_FALSE(dlg.IsConnected());
    EXPECT_EQ(board.Slot(0x7000), RecordBytes(kOther, 41, "prod"));
}

// --- Reading into the editor, erasing ---------------------------------------------------------

TEST_F(WriterOnBoard, ReadIntoEditorCopiesThePanel) {
    board.PutBytes(0x7000, RecordBytes(kPelnex, 77, "board"));
    fwtest::Click(hwnd, ID_READ_TO_EDITOR);  // connects by itself
    EXPECT_EQ(ItemText(hwnd, IDC_UUID), kPelnex);
    EXPECT_EQ(ItemText(hwnd, IDC_NUMBER), L"77");
    EXPECT_EQ(ItemText(hwnd, IDC_PRODUCT_NAME), L"board");
    EXPECT_EQ(ItemText(hwnd, IDC_MAKER), L"maker");
    EXPECT_EQ(fwtest::Text(hwnd), L"TolkaPIWriter*");
    EXPECT_TRUE(dlg.m_bModified);
    EXPECT_TRUE(dlg.m_strPathName.empty());
    EXPECT_TRUE(dlg.IsConnected());

    // With edits: the question comes first; No changes nothing.
    Type(hwnd, IDC_NUMBER, L"1");
    user.messages.clear();
    fwtest::Click(hwnd, ID_READ_TO_EDITOR);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, L"編集中のファイル内容を破棄しますか？");
    EXPECT_EQ(user.messages[0].type, 0x124u);
    EXPECT_EQ(ItemText(hwnd, IDC_NUMBER), L"1");
}

TEST_F(WriterOnBoard, ReadIntoEditorFromAnEmptyBoardSaysSo) {
    Type(hwnd, IDC_UUID, L"typed");
    user.Answer(IDYES);
    fwtest::Click(hwnd, ID_READ_TO_EDITOR);
    EXPECT_EQ(user.messages.back().text, L"有効なデータがありません。");
    EXPECT_EQ(user.messages.back().type, kOkInfo);
    EXPECT_EQ(ItemText(hwnd, IDC_UUID), L"typed");
    EXPECT_TRUE(dlg.m_bModified);
}

TEST_F(WriterOnBoard, EraseAsksErasesAndShowsEmpty) {
    fwtest::Command(hwnd, ID_ERASE_DEVICE);  // not connected: nothing at all
    EXPECT_TRUE(board.Calls().empty());
    EXPECT_TRUE(user.messages.empty());

    board.PutBytes(0x7000, RecordBytes(kOther, 1, "x"));
    Connect();
    board.ClearCalls();
    user.messages.clear();
    user.Answer(IDNO);
    fwtest::Command(hwnd, ID_ERASE_DEVICE);
    EXPECT_TRUE(board.Calls().empty());
    EXPECT_EQ(user.messages[0].type, 0x124u);

    user.Answer(IDYES);
    fwtest::Command(hwnd, ID_ERASE_DEVICE);
    EXPECT_EQ(board.Calls(), Concat({{"Varn_FlshErase(h1, 128) = 0"}, kRefresh, Reads(0x7F80, 0x7000)}));
    EXPECT_EQ(user.messages.back().text, L"消去しました。");
    EXPECT_EQ(user.messages.back().type, kOkInfo);
    EXPECT_EQ(Panel(), kEmptyPanel);
    EXPECT_TRUE(dlg.IsConnected());

    board.SetFaults("erase_fail=1");
    user.Answer(IDYES);
    fwtest::Command(hwnd, ID_ERASE_DEVICE);
    EXPECT_EQ(user.messages.back().text, L"フラッシュメモリの消去に失敗しました。");
    EXPECT_TRUE(dlg.IsConnected());
}

TEST_F(WriterOnBoard, RefreshKeepsWhatTheUserTyped) {
    std::vector<uint8_t> noNul = RecordBytes(kOther, 1, "");
    std::fill(noNul.begin() + 24, noNul.begin() + 56, 'N');  // 32 characters, no NUL
    board.PutBytes(0x7000, noNul);
    fwtest::Click(hwnd, ID_READ_TO_EDITOR);
    ASSERT_EQ(ItemText(hwnd, IDC_PRODUCT_NAME), std::wstring(32, L'N'));
    Type(hwnd, IDC_MAKER, L"typed maker");
    user.messages.clear();
    user.Answer(IDYES);
    fwtest::Command(hwnd, ID_ERASE_DEVICE);  // refreshes the panel
    EXPECT_EQ(user.Texts().size(), 2u);      // the question and "消去しました。", no length message
    EXPECT_EQ(ItemText(hwnd, IDC_PRODUCT_NAME), std::wstring(32, L'N'));
    EXPECT_EQ(ItemText(hwnd, IDC_MAKER), L"typed maker");
    // The limit holds when a record is built.
    user.messages.clear();
    fwtest::Click(hwnd, IDC_WRITE_DEVICE);
    EXPECT_EQ(user.Texts(), std::vector<std::wstring>{L"31 文字以内で入力してください。"});
}

TEST_F(WriterOnBoard, FocusMovesOnWhenACommandDisablesItsButton) {
    editortest::ExpectFocusMovesOn<CVarnPIWriteDlg>(
        board, {
                   {"connect", "", {IDC_CONNECT}, IDC_DISCONNECT},
                   {"disconnect", "", {IDC_CONNECT, IDC_DISCONNECT}, ID_READ_TO_EDITOR},
                   {"connect to a board that does not answer", "echo_fail=1", {IDC_CONNECT}, ID_READ_TO_EDITOR},
               });
}

}  // namespace
