// End to end: the real TolkaPIWriter.exe opens the .tpi file named on its command line.
#include <gtest/gtest.h>

#include "framework/smoke_test_support.h"
#include "piwriter/resource.h"

namespace {

TEST(WriterSmoke, StartsWithAFileAndCloses) {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    std::wstring path = std::wstring(temp) + L"smoke test 製品.tpi";
    uint8_t record[128] = {};
    const uint8_t uuid[16] = {0xB3, 0x7E, 0x7C, 0x78, 0xAC, 0x31, 0xE1, 0x4B,
                              0xBD, 0x0A, 0xC0, 0x75, 0x63, 0xD3, 0x91, 0x79};
    std::copy(uuid, uuid + 16, record + 4);
    record[20] = 42;
    record[24] = 'S';
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, record, sizeof record, &written, nullptr);
    CloseHandle(file);

    std::wstring board = std::wstring(temp) + L"smoke-board-" + std::to_wstring(GetCurrentProcessId());
    SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD", board.c_str());  // inherited by the writer
    fwsmoke::RunningProgram writer;
    ASSERT_TRUE(fwsmoke::Start(writer, fwsmoke::OwnFolder() + L"TolkaPIWriter.exe", L"\"" + path + L"\""));
    HWND hwnd = fwsmoke::WaitForWindow(writer, L"TolkaPIWriter - smoke test 製品.tpi", 30000);
    ASSERT_NE(hwnd, nullptr) << "no writer window with the file's name within 30 s; the writer "
                             << fwsmoke::Status(writer);
    EXPECT_EQ(fwsmoke::ControlText(hwnd, IDC_UUID), L"787c7eb3-31ac-4be1-bd0a-c07563d39179");
    EXPECT_EQ(fwsmoke::ControlText(hwnd, IDC_NUMBER), L"42");
    EXPECT_EQ(fwsmoke::ControlText(hwnd, IDC_PRODUCT_NAME), L"S");

    // Connect to the virtual board (a fresh one, in a folder of its own): the writer
    // announces the USB board, and the panel shows that the board holds no record.
    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_CONNECT, 0), 0);
    HWND box = fwsmoke::WaitForWindow(writer, L"TolkaPIWriter", 30000);
    ASSERT_NE(box, nullptr) << "no message box within 30 s of connecting; the writer " << fwsmoke::Status(writer);
    EXPECT_EQ(fwsmoke::ControlText(box, 0xFFFF), L"USBデバイスに接続しました。");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    for (int i = 0; i < 100 && fwsmoke::ControlText(hwnd, IDC_CUR_UUID).empty(); ++i)
        Sleep(100);
    EXPECT_EQ(fwsmoke::ControlText(hwnd, IDC_CUR_UUID), L"Empty") << "the panel was not filled within 10 s";
    EXPECT_EQ(fwsmoke::CloseAndWait(writer, hwnd, 20000), 0) << "-1: still running 20 s after its window was closed";
    DeleteFileW(path.c_str());
}

}  // namespace
