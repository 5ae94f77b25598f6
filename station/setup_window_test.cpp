// The set-up window under Wine: a scripted engineer opens a station file, changes it, saves it
// and checks it against the virtual board through the real libraries.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <set>
#include <string>
#include <vector>

#include "core/placeholders.h"
#include "core/records_test_support.h"
#include "framework/dialog_test_support.h"
#include "framework/fileio.h"
#include "framework/module.h"
#include "station/resource.h"
#include "station/setupdlg.h"
#include "station/stationdlg.h"
#include "varnet/board_test_support.h"

namespace {

std::wstring Catalogue(int id, std::initializer_list<std::wstring> args = {}) {
    return core::FillPlaceholders(fw::LoadResString(static_cast<UINT>(id)).c_str(), args);
}

std::string FileText(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    fw::ReadFilePrefix(path, 4096, bytes);
    return std::string(bytes.begin(), bytes.end());
}

TEST(StationSetup, AnEngineerChangesTheFileSavesItAndChecksABoard) {
    fwtest::ScriptedUser user;
    testboard::VirtualBoard board;
    const std::wstring folder = fwtest::TempFolder();
    const std::wstring path = fwtest::TempPath(L"setup.tstation");
    const std::vector<uint8_t> record = testrecords::RecordBytes(core::kVarnexKindUuid, 500);
    fw::WriteFileReplacing(folder + L"setup.tpi", record.data(), record.size());
    const std::string original = "record=setup.tpi\r\nstation=1/2\r\n";
    fw::WriteFileReplacing(path, reinterpret_cast<const uint8_t*>(original.data()), original.size());

    CSetupDlg dlg(path);
    ASSERT_TRUE(dlg.Create());
    const HWND hwnd = dlg.GetSafeHwnd();
    EXPECT_EQ(fwtest::ItemText(hwnd, IDC_SETUP_RECORD), folder + L"setup.tpi");
    EXPECT_EQ(fwtest::ItemText(hwnd, IDC_SETUP_SHARE), L"1/2");

    // A share the station would refuse is told by the field's name; nothing is written.
    fwtest::Type(hwnd, IDC_SETUP_SHARE, L"3/2");
    fwtest::Click(hwnd, IDC_SETUP_SAVE);
    EXPECT_EQ(user.Texts(), std::vector<std::wstring>{Catalogue(
                                IDS_STATION_SETUP_FIELD_BAD,
                                {Catalogue(IDS_STATION_SETUP_FIELD_SHARE), Catalogue(IDS_STATION_SETUP_SHARE_RULE)})});
    EXPECT_EQ(fwtest::FocusedControl(hwnd), dlg.GetDlgItem(IDC_SETUP_SHARE));
    EXPECT_EQ(FileText(path), original);

    fwtest::Type(hwnd, IDC_SETUP_SHARE, L"2/2");
    fwtest::Click(hwnd, IDC_SETUP_OPERATOR);
    user.ChooseFile(folder + L"line.csv");
    fwtest::Click(hwnd, IDC_SETUP_LEDGER_BROWSE);
    fwtest::Click(hwnd, IDC_SETUP_SAVE);
    EXPECT_EQ(FileText(path), "record=setup.tpi\r\nledger=line.csv\r\nstation=2/2\r\noperator=none\r\nrework=no\r\n");
    EXPECT_TRUE(LoadStation(path).has_value());

    // An empty board takes the record; a board with a Number is refused, rework being off. The
    // board is only read.
    user.messages.clear();
    fwtest::Click(hwnd, IDC_SETUP_CHECK);
    board.PutBytes(core::kFirstSlot, testrecords::RecordBytes(core::kVarnexKindUuid, 77));
    fwtest::Click(hwnd, IDC_SETUP_CHECK);
    ASSERT_EQ(user.messages.size(), 2u);
    EXPECT_NE(user.messages[0].text.find(Catalogue(IDS_STATION_SETUP_CHECK_WRITABLE)), std::wstring::npos);
    EXPECT_NE(user.messages[1].text.find(Catalogue(IDS_STATION_SETUP_CHECK_REFUSED)), std::wstring::npos);
    EXPECT_NE(user.messages[1].text.find(Catalogue(IDS_STATION_SETUP_CHECK_NUMBER, {L"77"})), std::wstring::npos);
    for (const std::string& call : board.Calls())
        EXPECT_EQ(call.find("Write"), std::string::npos) << call;
    EXPECT_EQ(board.Slot(core::kFirstSlot + core::kSlotStep), std::vector<uint8_t>(core::kSlotSize, 0xFF));

    // Closing with a change asks first.
    fwtest::Click(hwnd, IDC_SETUP_REWORK);
    user.Answer(IDNO);
    fwtest::Click(hwnd, IDCANCEL);
    EXPECT_FALSE(dlg.HasEnded());
    user.Answer(IDYES);
    fwtest::Click(hwnd, IDCANCEL);
    EXPECT_TRUE(dlg.HasEnded());
}

// Keyboard only: every field and button is a tab stop, each key letter is taken once, and a
// label's letter puts the focus in the field that follows it.
TEST(StationSetup, EveryControlIsReachedByTabAndItsOwnLetter) {
    CSetupDlg dlg(L"");
    ASSERT_TRUE(dlg.Create());
    std::set<wchar_t> letters;
    for (HWND c = GetWindow(dlg.GetSafeHwnd(), GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        GetClassNameW(c, name, 16);
        const bool label = lstrcmpiW(name, L"Static") == 0;
        const std::wstring text = fwtest::Text(c);
        SCOPED_TRACE(text);
        EXPECT_EQ((GetWindowLongW(c, GWL_STYLE) & WS_TABSTOP) != 0, !label);
        const size_t mark = text.find(L'&');
        if (mark == std::wstring::npos)
            continue;  // a field, or a hint
        EXPECT_TRUE(letters.insert(static_cast<wchar_t>(std::towupper(text.at(mark + 1)))).second);
        if (label) {
            wchar_t next[16] = {};
            GetClassNameW(GetWindow(c, GW_HWNDNEXT), next, 16);
            EXPECT_EQ(lstrcmpiW(next, L"Edit"), 0);
        }
    }
    EXPECT_EQ(letters.size(), 13u);  // the fields' labels and the buttons
}

}  // namespace
