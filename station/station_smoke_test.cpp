// End to end: the real TolkaStation.exe on a station file, an operator and the virtual board.
#include <gtest/gtest.h>

#include <string>

#include "framework/smoke_test_support.h"
#include "station/resource.h"

namespace {

TEST(StationSmoke, WritesABoardThenRefusesItAsNumbered) {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder = temp, path = folder + L"smoke ライン.tstation";
    uint8_t record[128] = {0, 0, 0, 0, 0xB3};  // a UUID, Number 42, product name "S"
    record[20] = 42;
    record[24] = 'S';
    ASSERT_TRUE(fwsmoke::WriteBytes(folder + L"smoke 製品.tpi", record, sizeof record));
    const char station[] = "# named relative to the station file\r\nrecord=smoke 製品.tpi\r\nledger=smoke 台帳.csv\r\n";
    const std::wstring ledger = folder + L"smoke 台帳.csv";
    DeleteFileW(ledger.c_str());
    DeleteFileW((ledger + L".index").c_str());
    ASSERT_TRUE(fwsmoke::WriteBytes(path, station, sizeof station - 1));
    // A fresh board of its own, inherited by the station (an earlier run's may be left).
    const std::wstring board = folder + L"smoke-station-board-" + std::to_wstring(GetCurrentProcessId());
    SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD", board.c_str());
    for (const wchar_t* file : {L"\\board.ini", L"\\flash.bin", L"\\area5.bin", L"\\calls.log"})
        DeleteFileW((board + file).c_str());

    fwsmoke::RunningProgram program;
    ASSERT_TRUE(fwsmoke::Start(program, fwsmoke::OwnFolder() + L"TolkaStation.exe", L"\"" + path + L"\""));
    HWND hwnd = fwsmoke::WaitForWindow(program, L"TolkaStation - smoke ライン.tstation", 30000);
    ASSERT_NE(hwnd, nullptr) << "no window with the file's name within 30 s; the station " << fwsmoke::Status(program);
    EXPECT_EQ(fwsmoke::ControlText(hwnd, IDC_PRODUCT), L"S");
    SendMessageTimeoutW(GetDlgItem(hwnd, IDC_OPERATOR), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"OP-1"),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    // Each Enter: the ID taken, the board written, the same board refused (each within 30 s).
    const wchar_t* const enters[][2] = {{L"準備完了", L""}, {L"合格", L"Number 42"}, {L"不合格", L"Number 42"}};
    for (const auto& [result, number] : enters) {
        PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 300 && fwsmoke::ControlText(hwnd, IDC_RESULT) != result; ++i)
            Sleep(100);
        ASSERT_EQ(fwsmoke::ControlText(hwnd, IDC_RESULT), result) << fwsmoke::ControlText(hwnd, IDC_CAUSE);
        EXPECT_EQ(fwsmoke::ControlText(hwnd, IDC_NUMBER), number);
    }
    EXPECT_EQ(fwsmoke::ControlText(hwnd, IDC_COUNT_FAILED), L"1");
    EXPECT_EQ(fwsmoke::CloseAndWait(program, hwnd, 20000), 0) << "-1: still running 20 s after its window was closed";
    // The board's reservation and its outcome, with who wrote it.
    const std::vector<uint8_t> bytes = fwsmoke::ReadFileBytes(ledger);
    const std::string lines(bytes.begin(), bytes.end());
    EXPECT_NE(lines.find(",ok,42,"), std::string::npos) << lines;
    EXPECT_NE(lines.find(",OP-1,"), std::string::npos) << lines;
    DeleteFileW(ledger.c_str());
    DeleteFileW((ledger + L".index").c_str());
    DeleteFileW(path.c_str());
    DeleteFileW((folder + L"smoke 製品.tpi").c_str());
}

}  // namespace
