// The station window under Wine: a scripted operator at the real dialog, with a board cycle
// that waits for the test's word, so that keys can be pressed while a board is written.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/placeholders.h"
#include "framework/app.h"
#include "framework/dialog_test_support.h"
#include "framework/language.h"
#include "framework/language_test_support.h"
#include "framework/module.h"
#include "framework/text.h"
#include "station/resource.h"
#include "station/stationdlg.h"

namespace {

std::wstring Catalogue(int id, std::initializer_list<std::wstring> args = {}) {
    return core::FillPlaceholders(fw::LoadResString(static_cast<UINT>(id)).c_str(), args);
}

// Each Run reports a step, then waits until the test releases it; boards pass with Numbers
// from 1001 up.
class HeldCycle : public station::BoardCycle {
public:
    HeldCycle() : release(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~HeldCycle() override { CloseHandle(release); }
    station::StationResult Run(const std::wstring& operatorId,
                               const std::function<void(core::LineStep)>& onStep) override {
        ++runs;
        lastOperator = operatorId;
        onStep(core::LineStep::Writing);
        WaitForSingleObject(release, 20000);
        return {true, 1000 + runs, L"", 1001 + runs};
    }
    station::LedgerLook Look() override { return {true, 1001, L""}; }
    HANDLE release;
    uint32_t runs = 0;  // read by the test once the window has the board's end
    std::wstring lastOperator;
};

class StationWindow : public ::testing::Test {
protected:
    void SetUp() override {
        StationSetup setup;
        setup.file.record = L"board.tpi";
        auto owned = std::make_unique<HeldCycle>();
        cycle = owned.get();
        dlg = std::make_unique<CStationDlg>(setup, std::move(owned));
        ASSERT_TRUE(dlg->Create());
        hwnd = dlg->GetSafeHwnd();
    }
    void TearDown() override {
        SetEvent(cycle->release);  // a board still held ends before the window goes
        dlg.reset();
    }
    // Handles the window's messages until the result area shows `text` (at most 10 s).
    bool PumpUntilResult(const std::wstring& text) {
        for (int i = 0; i < 1000 && fwtest::ItemText(hwnd, IDC_RESULT) != text; ++i) {
            fwtest::PumpMessages(*dlg);
            Sleep(10);
        }
        return fwtest::ItemText(hwnd, IDC_RESULT) == text;
    }
    void Enter() { fwtest::PressKey(*dlg, VK_RETURN); }

    fwtest::ScriptedUser user;
    HeldCycle* cycle = nullptr;
    std::unique_ptr<CStationDlg> dlg;
    HWND hwnd = nullptr;
};

// The scanner types the ID and Enter; each Enter then writes one board, and what is pressed
// while a board is written (Enter, a scanner's burst) starts no second board.
TEST_F(StationWindow, AnOperatorScansAnIdThenEachEnterWritesOneBoard) {
    EXPECT_EQ(fwtest::FocusedControl(hwnd), dlg->GetDlgItem(IDC_OPERATOR));
    Enter();  // nothing scanned yet
    ASSERT_EQ(user.Texts(), std::vector<std::wstring>{Catalogue(IDS_STATION_OPERATOR_BAD)});
    fwtest::Type(hwnd, IDC_OPERATOR, L"OP-7");
    Enter();
    EXPECT_EQ(fwtest::ItemText(hwnd, IDC_RESULT), Catalogue(IDS_STATION_READY));
    EXPECT_NE(GetWindowLongW(dlg->GetDlgItem(IDC_OPERATOR), GWL_STYLE) & ES_READONLY, 0);

    for (uint32_t board = 1; board <= 2; ++board) {
        Enter();
        ASSERT_TRUE(PumpUntilResult(Catalogue(IDS_STATION_STEP_WRITING)));
        for (WPARAM key : {WPARAM{'1'}, WPARAM{'2'}, WPARAM{VK_RETURN}, WPARAM{VK_RETURN}})
            fwtest::PressKey(*dlg, key);
        SetEvent(cycle->release);
        ASSERT_TRUE(PumpUntilResult(Catalogue(IDS_STATION_PASS)));
        EXPECT_EQ(cycle->runs, board);
        EXPECT_EQ(fwtest::ItemText(hwnd, IDC_NUMBER), Catalogue(IDS_STATION_NUMBER, {std::to_wstring(1000 + board)}));
        EXPECT_EQ(fwtest::ItemText(hwnd, IDC_COUNT_OK), std::to_wstring(board));
        EXPECT_EQ(fwtest::ItemText(hwnd, IDC_NEXT), std::to_wstring(1001 + board));
        EXPECT_EQ(fwtest::ItemText(hwnd, IDC_YIELD), L"100%");
        EXPECT_EQ(SendDlgItemMessageW(hwnd, IDC_BOARDS, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(board));
    }
    EXPECT_EQ(fwtest::ItemText(hwnd, IDC_OPERATOR), L"OP-7");
    EXPECT_EQ(cycle->lastOperator, L"OP-7");
    if (fw::GetUiLang() == core::Lang::Ja) {
        EXPECT_EQ(fwtest::ItemText(hwnd, IDC_RESULT), L"合格");
    }
}

// Closing while a board is written waits for its cycle; the window then closes by itself.
TEST_F(StationWindow, ClosingDuringAWriteWaitsForTheBoard) {
    fwtest::Type(hwnd, IDC_OPERATOR, L"OP-7");
    Enter();
    Enter();
    ASSERT_TRUE(PumpUntilResult(Catalogue(IDS_STATION_STEP_WRITING)));
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(dlg->HasEnded());
    SetEvent(cycle->release);
    ASSERT_TRUE(PumpUntilResult(Catalogue(IDS_STATION_PASS)));
    EXPECT_TRUE(dlg->HasEnded());
}

// The result area's run-time texts, in their large fonts, fit their controls at this
// resolution: the longest step in the result, a Number, each cause.
TEST_F(StationWindow, EveryTextFitsItsControlInTheResultArea) {
    const std::pair<int, std::vector<std::wstring>> rows[] = {
        {IDC_RESULT,
         {Catalogue(IDS_STATION_STEP_CHECKING_OPTIONS), Catalogue(IDS_STATION_STEP_WRITING_OPTIONS),
          Catalogue(IDS_STATION_STEP_VERIFYING_OPTIONS), Catalogue(IDS_STATION_READY)}},
        {IDC_NUMBER, {Catalogue(IDS_STATION_NUMBER, {L"4294967295"})}},
        {IDC_OPTIONS_FILE, {Catalogue(IDS_STATION_OPTIONS_SUMMARY, {L"line3-boardA.topt", L"36", L"36", L"20"})}},
        {IDC_CAUSE,
         {Catalogue(IDS_STATION_OPERATOR_BAD), Catalogue(IDS_STATION_CAUSE_NO_OPTIONS),
          Catalogue(IDS_STATION_CAUSE_WRONG_KIND), Catalogue(IDS_STATION_CAUSE_AREA_FULL),
          Catalogue(IDS_STATION_CAUSE_ALREADY_NUMBERED, {L"4294967295"}), Catalogue(IDS_STATION_CAUSE_OPTIONS_FAILED),
          Catalogue(IDS_STATION_LEDGER_FAILED_LOST, {L"line-ledger.csv", L"4294967295"}),
          Catalogue(IDS_STATION_LEDGER_DATABASE, {L"odbc:DSN=line;UID=station", L"08001: could not connect"})}},
    };
    LOGFONTW dialogFont{}, resultFont{};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof dialogFont, &dialogFont);
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendDlgItemMessageW(hwnd, IDC_RESULT, WM_GETFONT, 0, 0)), sizeof resultFont,
               &resultFont);
    EXPECT_GE(std::abs(resultFont.lfHeight), 3 * std::abs(dialogFont.lfHeight));  // readable from a metre
    for (const auto& [id, texts] : rows) {
        HWND control = dlg->GetDlgItem(id);
        for (const std::wstring& text : texts) {
            SCOPED_TRACE(text);
            SetWindowTextW(control, text.c_str());
            HDC dc = GetDC(control);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
            RECT room;
            UINT format = 0;
            ASSERT_TRUE(fwtest::TextLayoutOf(control, dc, room, format));
            const SIZE need = fwtest::TextNeeds(dc, text, room, format);
            EXPECT_LE(need.cx, room.right - room.left);
            EXPECT_LE(need.cy, room.bottom - room.top);
            SelectObject(dc, old);
            ReleaseDC(control, dc);
        }
    }
}

// F1 opens the station's page in the help file of the window's language, beside the program.
TEST_F(StationWindow, F1OpensTheWindowsPageInTheLanguagesHelpFile) {
    const std::wstring help = fw::CWinApp::HelpFilePath();
    CloseHandle(CreateFileW(help.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    fw::CWinApp app;
    app.m_pMainWnd = dlg.get();
    std::vector<std::wstring> opened;
    fw::HelpViewerHookScope viewer([&](const std::wstring& target) { opened.push_back(target); });
    fwtest::PressKey(*dlg, VK_F1);
    app.m_pMainWnd = nullptr;
    DeleteFileW(help.c_str());
    EXPECT_EQ(user.Texts(), std::vector<std::wstring>{});
    EXPECT_EQ(opened, std::vector<std::wstring>{help + L"::/window.htm"});
    EXPECT_EQ(fw::FileNameOfPath(help),
              fw::GetUiLang() == core::Lang::Ja ? L"station_window_tests.CHM" : L"station_window_testsEN.CHM");
}

// A refused station file is told with its line and key, and no window opens.
TEST(StationFile, ARefusedFileIsToldWithItsLineAndKey) {
    fwtest::ScriptedUser user;
    const std::wstring path = fwtest::TempPath(L"line.tstation");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const char text[] = "record=a.tpi\r\ncolour=red\r\n";
    DWORD written = 0;
    WriteFile(file, text, sizeof text - 1, &written, nullptr);
    CloseHandle(file);
    EXPECT_FALSE(LoadStation(path).has_value());
    EXPECT_EQ(user.Texts(), std::vector<std::wstring>{Catalogue(
                                IDS_STATION_FILE_REFUSED,
                                {L"line.tstation", L"2", L"colour", Catalogue(IDS_STATION_FAULT_UNKNOWN_KEY)})});
}

TEST(StationLanguages, EveryTextIsThereInBothLanguages) {
    fwtest::ExpectEveryTextInBothLanguages();
}

TEST(StationLanguages, EveryTextFitsItsControl) {
    fwtest::ExpectEveryTextFitsItsControl();
}

}  // namespace
