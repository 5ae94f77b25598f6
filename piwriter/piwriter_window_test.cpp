// The writer window driven as a user drives it, under Wine: real dialog, real resources.
#include <gtest/gtest.h>
#include <rpc.h>

#include <cwchar>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <vector>

#include "framework/syslib.h"
#include "common/editor_test_support.h"
#include "framework/dialog_test_support.h"
#include "piwriter/piwritedlg.h"
#include "core/record_test_support.h"
#include "piwriter/resource.h"

namespace {

using editortest::ReadFileBytes;
using editortest::WriteFileBytes;
using fwtest::ItemText;
using fwtest::TempPath;
using fwtest::Type;

using editortest::kOkWarning;
const wchar_t kVarnexUuid[] = L"3aa4096d-2cc0-46dd-878a-88511d75ac78";

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A record as the writer writes it: Varnex kind UUID, Number 0x12345678, names "AB" / "CD".
std::vector<uint8_t> SampleRecord() {
    std::vector<uint8_t> r(128, 0);
    const uint8_t uuid[16] = {0x6D, 0x09, 0xA4, 0x3A, 0xC0, 0x2C, 0xDD, 0x46,
                              0x87, 0x8A, 0x88, 0x51, 0x1D, 0x75, 0xAC, 0x78};
    std::copy(uuid, uuid + 16, r.begin() + 4);
    r[20] = 0x78, r[21] = 0x56, r[22] = 0x34, r[23] = 0x12;
    r[24] = 'A', r[25] = 'B';
    r[56] = 'C', r[57] = 'D';
    return r;
}

class WriterWindow : public ::testing::Test {
protected:
    void Open() {
        ASSERT_TRUE(dlg.Create());
        hwnd = dlg.GetSafeHwnd();
    }
    void SetUp() override { Open(); }
    void FillEditor(const std::wstring& uuid,
                    const std::wstring& number,
                    const std::wstring& product,
                    const std::wstring& maker) {
        Type(hwnd, IDC_UUID, uuid);
        Type(hwnd, IDC_NUMBER, number);
        Type(hwnd, IDC_PRODUCT_NAME, product);
        Type(hwnd, IDC_MAKER, maker);
    }
    std::wstring Title() const { return fwtest::Text(hwnd); }

    fwtest::ScriptedUser user;
    CVarnPIWriteDlg dlg;
    HWND hwnd = nullptr;
};

TEST_F(WriterWindow, StartsEmptyWithTheProgramTitle) {
    EXPECT_EQ(Title(), L"TolkaPIWriter");
    for (UINT id : fwtest::Ids{IDC_UUID, IDC_NUMBER, IDC_PRODUCT_NAME, IDC_MAKER, IDC_CUR_UUID, IDC_CUR_NUMBER,
                               IDC_CUR_PRODUCT_NAME, IDC_CUR_MAKER})
        EXPECT_EQ(ItemText(hwnd, id), L"") << id;
    EXPECT_FALSE(dlg.m_bModified);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hwnd, IDC_CONNECT)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hwnd, IDC_DISCONNECT)));
    EXPECT_EQ(SendDlgItemMessageW(hwnd, IDC_MAKER, EM_GETLIMITTEXT, 0, 0), 31);
    EXPECT_EQ(SendDlgItemMessageW(hwnd, IDC_PRODUCT_NAME, EM_GETLIMITTEXT, 0, 0), 31);
}

TEST_F(WriterWindow, EachEditorFieldMarksTheTitleOnce) {
    for (UINT id : fwtest::Ids{IDC_UUID, IDC_NUMBER, IDC_PRODUCT_NAME, IDC_MAKER}) {
        fwtest::Command(hwnd, ID_FILE_NEW);
        ASSERT_EQ(Title(), L"TolkaPIWriter");
        Type(hwnd, id, L"1");
        Type(hwnd, id, L"12");
        EXPECT_EQ(Title(), L"TolkaPIWriter*") << id;
        EXPECT_TRUE(dlg.m_bModified);
        user.Answer(IDYES);
    }
    // The panel fields are not the editor's.
    fwtest::Command(hwnd, ID_FILE_NEW);
    Type(hwnd, IDC_CUR_UUID, L"x");
    EXPECT_EQ(Title(), L"TolkaPIWriter");
}

TEST_F(WriterWindow, MenuItemsFollowTheConnection) {
    EXPECT_TRUE(fwtest::MenuItemEnabled(hwnd, 1, IDC_CONNECT));
    EXPECT_FALSE(fwtest::MenuItemEnabled(hwnd, 1, IDC_DISCONNECT));
    EXPECT_FALSE(fwtest::MenuItemEnabled(hwnd, 1, ID_ERASE_DEVICE));
    EXPECT_TRUE(fwtest::MenuItemEnabled(hwnd, 1, ID_READ_TO_EDITOR));
    EXPECT_TRUE(fwtest::MenuItemEnabled(hwnd, 1, IDC_WRITE_DEVICE));
    for (UINT id : fwtest::Ids{ID_FILE_NEW, IDC_FILE_OPEN, IDC_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_EXIT})
        EXPECT_TRUE(fwtest::MenuItemEnabled(hwnd, 0, id)) << id;
    for (UINT id : fwtest::Ids{ID_HELP, IDC_FLASHMODE_HELP, ID_APP_ABOUT})
        EXPECT_TRUE(fwtest::MenuItemEnabled(hwnd, 3, id)) << id;
}

// Ctrl+S also from within a field, where the edit control sees the keys first.
TEST_F(WriterWindow, CtrlSSavesAndCtrlASelectsTheFieldsText) {
    FillEditor(kVarnexUuid, L"1", L"product", L"maker");
    std::wstring path = TempPath(L"ctrl-s.tpi");
    user.ChooseFile(path);
    HWND product = GetDlgItem(hwnd, IDC_PRODUCT_NAME);
    SetFocus(product);
    SendMessageW(product, EM_SETSEL, 0, 0);
    EXPECT_TRUE(editortest::PressCtrlKey(dlg, product, 'A'));
    DWORD start = 0, end = 0;
    SendMessageW(product, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 7u);

    EXPECT_TRUE(editortest::PressCtrlKey(dlg, product, 'S'));
    EXPECT_EQ(user.fileDialogs.size(), 1u);
    EXPECT_EQ(ReadFileBytes(path).size(), 128u);
    EXPECT_EQ(Title(), L"TolkaPIWriter - ctrl-s.tpi");
}

// --- Building the record ------------------------------------------------------------------

struct BuildCase {
    const wchar_t* uuid;
    const wchar_t* product;
    const wchar_t* maker;
    const wchar_t* message;  // nullptr: the record is built
    UINT focus;
};

TEST_F(WriterWindow, RecordChecksRunInOrderAndStopAtTheFirst) {
    const std::wstring long32(32, L'a');
    const std::wstring wide16(16, L'製');  // 16 characters, 32 bytes in code page 932
    const std::wstring wide15(15, L'製');
    const std::wstring long31(31, L'a');
    const BuildCase cases[] = {
        {kVarnexUuid, long32.c_str(), long32.c_str(), L"31 文字以内で入力してください。", IDC_MAKER},
        {L"", long32.c_str(), L"m", L"31 文字以内で入力してください。", IDC_PRODUCT_NAME},
        {kVarnexUuid, L"p", wide16.c_str(), L"31 バイト以内で入力してください。", IDC_MAKER},
        {kVarnexUuid, wide16.c_str(), L"m", L"31 バイト以内で入力してください。", IDC_PRODUCT_NAME},
        {L"", L"p", L"m", L"UUIDが入力されていません。", 0},
        {L"{3aa4096d-2cc0-46dd-878a-88511d75ac78}", L"p", L"m", L"UUIDの入力値が正しくありません。", 0},
        {L" 3aa4096d-2cc0-46dd-878a-88511d75ac78", L"p", L"m", L"UUIDの入力値が正しくありません。", 0},
        {L"3AA4096D-2CC0-46DD-878A-88511D75AC78", wide15.c_str(), long31.c_str(), nullptr, 0},
    };
    for (const BuildCase& c : cases) {
        user.messages.clear();
        FillEditor(c.uuid, L"1", c.product, c.maker);
        core::RecordImage record;
        bool built = dlg.BuildRecord(record);
        if (c.message == nullptr) {
            EXPECT_TRUE(built);
            EXPECT_TRUE(user.messages.empty());
            continue;
        }
        EXPECT_FALSE(built) << c.message;
        ASSERT_EQ(user.messages.size(), 1u) << c.message;
        EXPECT_EQ(user.messages[0].text, c.message);
        EXPECT_EQ(user.messages[0].type, kOkWarning);
        if (c.focus != 0) {
            EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, static_cast<int>(c.focus))) << c.message;
        }
    }
}

TEST_F(WriterWindow, NumberIsTrimmedInTheMemberOnly) {
    FillEditor(kVarnexUuid, L"  12  ", L"", L"");
    core::RecordImage record;
    ASSERT_TRUE(dlg.BuildRecord(record));
    EXPECT_EQ(record[20], 12);
    EXPECT_EQ(dlg.m_strNumber, L"12");
    EXPECT_EQ(ItemText(hwnd, IDC_NUMBER), L"  12  ");
}

TEST_F(WriterWindow, CreatedUuidIsLowercaseTextInTheField) {
    fwtest::Click(hwnd, IDC_CREATE_UUID);
    std::wstring text = ItemText(hwnd, IDC_UUID);
    core::Uuid bytes;
    EXPECT_TRUE(core::ParseUuidText(text, bytes)) << text;
    for (wchar_t c : text)
        EXPECT_FALSE(c >= L'A' && c <= L'F');
    EXPECT_EQ(Title(), L"TolkaPIWriter*");
    fwtest::Click(hwnd, IDC_CREATE_UUID);
    EXPECT_NE(ItemText(hwnd, IDC_UUID), text);
}

// A command whose system library cannot be loaded fails as it does when the library's call
// fails, and changes nothing.
TEST_F(WriterWindow, ACommandWithoutItsSystemLibraryFailsAsUsual) {
    struct {
        const wchar_t* library;
        UINT command;
        std::vector<std::wstring> messages;
    } cases[] = {
        {L"rpcrt4.dll",
         IDC_CREATE_UUID,
         {L"ユニークなIDが作成できませんでした。\nLANに接続可能なコンピュータでご使用ください。"}},
        {L"comdlg32.dll", IDC_FILE_OPEN, {}},
    };
    for (const auto& c : cases) {
        fwtest::ScriptedUser caseUser;  // a fresh one per case, in place of the fixture's
        fw::CFileDialog::HookScope realFileDialogs(nullptr);
        fwtest::UnexpectedDialogGuard guard;
        fw::RefuseSystemLibraryForTest(c.library);
        fwtest::Command(hwnd, c.command);
        fw::RefuseSystemLibraryForTest(nullptr);
        EXPECT_FALSE(guard.Fired()) << c.library;
        EXPECT_EQ(caseUser.Texts(), c.messages) << c.library;
        EXPECT_EQ(ItemText(hwnd, IDC_UUID), L"") << c.library;
        EXPECT_EQ(Title(), L"TolkaPIWriter") << c.library;
    }
}

// --- The platform agrees with our text rules --------------------------------------------

TEST(PlatformRules, UuidParserAgreesWithUuidFromString) {
    for (const auto& c : core::kUuidCases) {
        if (c.runtimeNote != nullptr)
            continue;
        UUID uuid{};
        std::wstring text = c.text;
        bool system = UuidFromStringW(reinterpret_cast<RPC_WSTR>(&text[0]), &uuid) == RPC_S_OK;
        core::Uuid ours{};
        EXPECT_EQ(core::ParseUuidText(c.text, ours), system) << c.text;
        if (system) {
            EXPECT_EQ(0, memcmp(&uuid, ours.data(), 16)) << c.text;
        }
    }
}

TEST(PlatformRules, BlanksAreWhatTheRuntimeCallsWhiteSpace) {
    for (unsigned c = 1; c <= 0xFFFF; ++c) {
        bool trimmed = core::TrimBlanks(std::wstring(1, static_cast<wchar_t>(c))).empty();
        EXPECT_EQ(trimmed, iswspace(static_cast<wint_t>(c)) != 0) << std::hex << c;
    }
}

TEST(PlatformRules, NumberRuleAgreesWithWcstoul) {
    for (const auto& c : core::kNumberCases) {
        std::wstring trimmed = core::TrimBlanks(c.fieldText);
        EXPECT_EQ(core::ParseNumberText(trimmed), c.expected) << c.fieldText;
        if (c.runtimeNote != nullptr)
            continue;  // the runtime is known to stray from the standard's rule here
        int base = core::NumberTextBase(trimmed);
        unsigned long system = wcstoul(trimmed.c_str(), nullptr, base);
        EXPECT_EQ(static_cast<uint32_t>(system), c.expected) << c.fieldText;
    }
}

// --- Files --------------------------------------------------------------------------------

// A save writes the record of what the fields hold: the UUID in any case, the Number in
// decimal or hexadecimal.
TEST_F(WriterWindow, SaveWritesTheRecordBytes) {
    FillEditor(L"3AA4096D-2CC0-46DD-878A-88511D75AC78", L"0x12345678", L"AB", L"CD");
    std::wstring path = TempPath(L"sample.tpi");
    user.ChooseFile(path);
    fwtest::Command(hwnd, IDC_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(path), SampleRecord());
    Type(hwnd, IDC_NUMBER, L"1");
    fwtest::Command(hwnd, IDC_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(path)[20], 1);
}

TEST_F(WriterWindow, SaveAsWithoutUuidAsksForTheNameFirstAndWritesNothing) {
    std::wstring path = TempPath(L"nouuid.tpi");
    user.ChooseFile(path);
    fwtest::Command(hwnd, ID_FILE_SAVE_AS);
    EXPECT_EQ(user.fileDialogs.size(), 1u);
    EXPECT_EQ(user.Texts(), std::vector<std::wstring>{L"UUIDが入力されていません。"});
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(Title(), L"TolkaPIWriter");
    EXPECT_TRUE(dlg.m_strPathName.empty());
}

// The editors' contract: closing, the start-up file, opening files, the frame's chores, and
// on a board (piwriter_device_test.cpp) the connection's.
struct Writer {
    using Window = CVarnPIWriteDlg;
    static constexpr const wchar_t* kTitle = L"TolkaPIWriter";
    static constexpr const wchar_t* kExtension = L".tpi";
    static constexpr const wchar_t* kDiscardAndExit = L"編集中のファイルを破棄して終了します。";
    static constexpr UINT kOpenCommand = IDC_FILE_OPEN, kSaveCommand = IDC_FILE_SAVE;
    static std::vector<UINT> CloseCommands() { return {IDOK, IDCANCEL, ID_FILE_EXIT}; }
    static std::vector<uint8_t> Sample() { return SampleRecord(); }
    static void Edit(HWND window) { Type(window, IDC_UUID, kVarnexUuid); }
    static bool ShowsSample(HWND window) {
        return ItemText(window, IDC_UUID) == kVarnexUuid && ItemText(window, IDC_NUMBER) == L"305419896" &&
               ItemText(window, IDC_PRODUCT_NAME) == L"AB" && ItemText(window, IDC_MAKER) == L"CD";
    }
    static constexpr const wchar_t* kFilter = L"PIファイル (*.tpi)|*.tpi||";
    static constexpr const wchar_t* kDiscardQuestion = L"編集中のファイル内容を破棄しますか？";
    static constexpr UINT kDiscardQuestionType = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
    static bool ShowsNothing(HWND window) {
        for (UINT id : fwtest::Ids{IDC_UUID, IDC_NUMBER, IDC_PRODUCT_NAME, IDC_MAKER}) {
            if (!ItemText(window, id).empty())
                return false;
        }
        return true;
    }
    static constexpr const wchar_t* kAboutEntry = L"TolkaPIWriter のﾊﾞｰｼﾞｮﾝ情報(&A)...";
    static constexpr const wchar_t* kAbout = L"TolkaPIWriterのﾊﾞｰｼﾞｮﾝ情報|TolkaPIWriter|4, 0, 0, 2";
    static constexpr editortest::EditorIds kIds = {IDR_MAINFRAME,      ID_APP_ABOUT,       IDC_VERSION,
                                                   IDC_FLASHMODE_HELP, IDD_FLASHMODE_HELP, IDC_CONNECTION_SETTINGS,
                                                   IDC_CONNECT,        IDC_WRITE_DEVICE};
};

TEST(WriterEditor, KeepsTheEditorsContractOnABoard) {
    editortest::ExpectBoardContract<Writer>();
}

// The record's status word is not looked at when a file is opened.
TEST_F(WriterWindow, OpenTakesARecordWhateverItsStatus) {
    std::vector<uint8_t> used = SampleRecord();
    used[0] = 0x34;
    std::wstring path = TempPath(L"used.tpi");
    WriteFileBytes(path, used);
    user.ChooseFile(path);
    fwtest::Command(hwnd, IDC_FILE_OPEN);
    EXPECT_TRUE(user.messages.empty());
    EXPECT_TRUE(Writer::ShowsSample(hwnd));
}

TEST_F(WriterWindow, JapaneseNamesRoundTripThroughCodePage932) {
    ASSERT_EQ(GetACP(), 932u);
    const std::wstring product = L"製品ﾃｽﾄ";  // double-byte and half-width katakana
    const std::wstring maker = L"トルカ工業";
    FillEditor(kVarnexUuid, L"1", product, maker);
    std::wstring path = TempPath(L"日本語の名前.tpi");
    user.ChooseFile(path);
    fwtest::Command(hwnd, ID_FILE_SAVE_AS);
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 128u);
    const uint8_t sjisProduct[] = {0x90, 0xBB, 0x95, 0x69, 0xC3, 0xBD, 0xC4, 0x00};  // 製品ﾃｽﾄ
    EXPECT_TRUE(std::equal(std::begin(sjisProduct), std::end(sjisProduct), bytes.begin() + 24));
    EXPECT_EQ(Title(), L"TolkaPIWriter - 日本語の名前.tpi");

    fwtest::Command(hwnd, ID_FILE_NEW);
    user.ChooseFile(path);
    fwtest::Command(hwnd, IDC_FILE_OPEN);
    EXPECT_EQ(ItemText(hwnd, IDC_PRODUCT_NAME), product);
    EXPECT_EQ(ItemText(hwnd, IDC_MAKER), maker);
}

// --- Dialogs of the shared frame -------------------------------------------------------------

}  // namespace

// The editors' contract, each behaviour its own test.
namespace editortest {
INSTANTIATE_TYPED_TEST_SUITE_P(Writer, EditorContract, Writer);
}  // namespace editortest
