// TolkaStation's window on the virtual board with a real station file and ledger: an operator
// writes boards one per Enter, a numbered board is refused with its Number, and every call of a
// board's cycle failing in turn never gives a Number twice nor a PASS for a board not verified.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "core/placeholders.h"
#include "core/records_test_support.h"
#include "devicelink/librarylink.h"
#include "framework/dialog_test_support.h"
#include "framework/module.h"
#include "framework/smoke_test_support.h"
#include "line/ledger.h"
#include "line/winledger.h"
#include "station/resource.h"
#include "station/stationdlg.h"
#include "varnet/board_test_support.h"

namespace {

std::wstring Catalogue(int id, std::initializer_list<std::wstring> args = {}) {
    return core::FillPlaceholders(fw::LoadResString(static_cast<UINT>(id)).c_str(), args);
}

std::string ReadBytes(const std::wstring& path) {
    const std::vector<uint8_t> bytes = fwsmoke::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

class StationLine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(DeviceLibrariesMissing());
        const core::RecordImage record = testrecords::MakeRecord(L"01234567-89ab-cdef-0123-456789abcdef", 5000);
        fwsmoke::WriteFileBytes(fwtest::TempPath(L"board.tpi"), std::vector<uint8_t>(record.begin(), record.end()));
        ledger = fwtest::TempPath(L"line.csv");
        DeleteFileW((ledger + L".index").c_str());
        const std::wstring path = fwtest::TempPath(L"line.tstation");
        const char station[] = "record=board.tpi\r\nledger=line.csv\r\n";
        fwsmoke::WriteBytes(path, station, sizeof station - 1);
        setup = LoadStation(path);
        ASSERT_TRUE(setup.has_value());
        dlg = std::make_unique<CStationDlg>(
            *setup, station::MakeBoardCycle(LibraryLink(), ledgers, setup->recipe,
                                            [](int id) { return fw::LoadResString(static_cast<UINT>(id)); }));
        ASSERT_TRUE(dlg->Create());
        hwnd = dlg->GetSafeHwnd();
        fwtest::Type(hwnd, IDC_OPERATOR, L"OP-7");
        fwtest::PressKey(*dlg, VK_RETURN);
    }
    // Enter, then the window's messages until the board has its result (at most 20 s).
    station::SessionState WriteBoard() {
        fwtest::PressKey(*dlg, VK_RETURN);
        for (int i = 0; i < 2000 && dlg->Session().State() == station::SessionState::Running; ++i) {
            fwtest::PumpMessages(*dlg);
            Sleep(10);
        }
        return dlg->Session().State();
    }
    std::vector<core::LedgerEntry> Lines() { return core::ParseLedger(ReadBytes(ledger)).entries; }

    fwtest::ScriptedUser user;
    testboard::VirtualBoard board;
    core::WinLedgerSystem ledgers;
    std::wstring ledger;
    std::optional<StationSetup> setup;
    std::unique_ptr<CStationDlg> dlg;
    HWND hwnd = nullptr;
};

TEST_F(StationLine, WritesABoardPerEnterAndRefusesANumberedOne) {
    EXPECT_EQ(fwtest::ItemText(hwnd, IDC_RESULT), Catalogue(IDS_STATION_READY));
    EXPECT_EQ(fwtest::ItemText(hwnd, IDC_NEXT), L"5000");
    ASSERT_EQ(WriteBoard(), station::SessionState::Pass);
    EXPECT_EQ(fwtest::ItemText(hwnd, IDC_RESULT), Catalogue(IDS_STATION_PASS));
    EXPECT_EQ(fwtest::ItemText(hwnd, IDC_NUMBER), Catalogue(IDS_STATION_NUMBER, {L"5000"}));
    EXPECT_EQ(core::DecodeRecord(board.Slot(0x7000).data()).number, 5000u);
    core::LedgerContent content = core::ParseLedger(ReadBytes(ledger));
    EXPECT_EQ(content.layout, core::kLedgerLayout2);
    ASSERT_EQ(content.entries.size(), 2u);
    EXPECT_EQ(content.entries[1].status, core::LedgerStatus::Ok);
    EXPECT_EQ(content.entries[1].operatorId, "OP-7");
    EXPECT_EQ(content.entries[1].recipe, setup->recipe.line.recipe);

    // The same board again: it carries 5000, so it is refused and no Number is spent.
    ASSERT_EQ(WriteBoard(), station::SessionState::Fail);
    EXPECT_EQ(fwtest::ItemText(hwnd, IDC_RESULT), Catalogue(IDS_STATION_FAIL));
    EXPECT_EQ(fwtest::ItemText(hwnd, IDC_CAUSE), Catalogue(IDS_STATION_CAUSE_ALREADY_NUMBERED, {L"5000"}));
    EXPECT_EQ(Lines().size(), 2u);
    EXPECT_EQ(fwtest::ItemText(hwnd, IDC_COUNT_FAILED), L"1");
}

// Each call of a board's cycle fails once, on a new board each time; then a healthy board.
TEST_F(StationLine, EveryFailingCallEndsInAClearFailAndNoNumberTwice) {
    std::set<uint32_t> passed;
    int failed = 0;
    for (int call = 1; call <= 20; ++call) {
        SCOPED_TRACE(call);
        board.Reset();
        board.SetFaults("fail_call=" + std::to_string(call));
        const station::SessionState state = WriteBoard();
        ASSERT_TRUE(state == station::SessionState::Pass || state == station::SessionState::Fail);
        const station::StationResult& last = dlg->Session().LastResult();
        if (state == station::SessionState::Pass) {
            // A PASS only for a board that holds the Number shown.
            EXPECT_EQ(core::DecodeRecord(board.Slot(0x7000).data()).number, last.number);
            passed.insert(last.number);
        } else {
            EXPECT_FALSE(last.cause.empty());
            ++failed;
        }
    }
    EXPECT_GE(failed, 5);  // the calls with a result, but a first echo test: it is tried again
    EXPECT_FALSE(passed.empty());
    board.Reset();
    ASSERT_EQ(WriteBoard(), station::SessionState::Pass);  // the window is as usable as before

    std::set<uint32_t> reserved, ok;
    for (const core::LedgerEntry& line : Lines()) {
        if (line.status == core::LedgerStatus::Reserved) {
            EXPECT_TRUE(reserved.insert(line.number).second) << line.number;
        }
        if (line.status == core::LedgerStatus::Ok)
            ok.insert(line.number);
        if (line.status == core::LedgerStatus::Failed) {
            EXPECT_FALSE(line.cause.empty());
        }
    }
    passed.insert(dlg->Session().LastResult().number);
    EXPECT_EQ(ok, passed);
}

}  // namespace
