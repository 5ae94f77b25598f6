// End to end: the real TolkaOption.exe opens the .topt file named on its command line and
// reads the virtual board; PelnTools starts it from its tool button.
#include <gtest/gtest.h>

#include <string>

#include "framework/smoke_test_support.h"
#include "option/resource.h"

namespace {

constexpr int kLauncherOptionButton = 1006;  // PelnTools' button of TolkaOption

std::wstring TempDir() {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    return temp;
}

bool Checked(HWND dlg, int id) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(GetDlgItem(dlg, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
}

// A board folder of its own for this process and the programs it starts.
std::wstring UseFreshBoard(const wchar_t* name) {
    std::wstring board = TempDir() + name + std::to_wstring(GetCurrentProcessId());
    SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD", board.c_str());
    SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD_SILENT", L"1");
    CreateDirectoryW(board.c_str(), nullptr);
    for (const wchar_t* file : {L"\\board.ini", L"\\flash.bin", L"\\area5.bin", L"\\calls.log"})
        DeleteFileW((board + file).c_str());
    return board;
}

// A message box of the program: its text, answered with OK.
std::wstring AnswerBox(fwsmoke::RunningProgram& program) {
    HWND box = fwsmoke::WaitForWindow(program, L"TolkaOption", 30000);
    if (box == nullptr)
        return L"(no message box)";
    std::wstring text = fwsmoke::ControlText(box, 0xFFFF);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return text;
}

TEST(OptionSmoke, OpensAFileReadsTheBoardAndCloses) {
    std::wstring path = TempDir() + L"smoke test ポート.topt";
    uint8_t image[128];
    std::fill(image, image + 128, 0xFF);
    std::fill(image, image + 13, 0x00);
    image[5] = 0x03;  // P1 pins 0 and 1 outputs
    ASSERT_TRUE(fwsmoke::WriteBytes(path, image, sizeof image));
    std::wstring board = UseFreshBoard(L"smoke-option-board-");
    image[5] = 0x00;
    image[4] = 0x80;  // the board: POUT pin 7 on
    ASSERT_TRUE(fwsmoke::WriteBytes(board + L"\\area5.bin", image, sizeof image));

    fwsmoke::RunningProgram option;
    ASSERT_TRUE(fwsmoke::Start(option, fwsmoke::OwnFolder() + L"TolkaOption.exe", L"\"" + path + L"\""));
    HWND hwnd = fwsmoke::WaitForWindow(option, L"TolkaOption - smoke test ポート.topt", 30000);
    ASSERT_NE(hwnd, nullptr) << "no window with the file's name within 30 s; the editor " << fwsmoke::Status(option);
    EXPECT_TRUE(Checked(hwnd, 1001));
    EXPECT_TRUE(Checked(hwnd, 1002));
    EXPECT_FALSE(Checked(hwnd, 1063));

    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(ID_READ_DEVICE, 0), 0);
    EXPECT_EQ(AnswerBox(option), L"デバイスから現在の設定を読み出しました。");
    HWND edited = fwsmoke::WaitForWindow(option, L"TolkaOption*", 30000);
    ASSERT_EQ(edited, hwnd) << "the title did not become TolkaOption* within 30 s";
    EXPECT_FALSE(Checked(hwnd, 1001));
    EXPECT_TRUE(Checked(hwnd, 1063));

    // Closing asks about the edits read from the board, then closes the connection.
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(AnswerBox(option), L"編集中のファイルを破棄して終了しますか。");
    EXPECT_EQ(WaitForSingleObject(option.pi.hProcess, 20000), WAIT_OBJECT_0) << "still running 20 s after closing";
    DWORD code = 1;
    GetExitCodeProcess(option.pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    DeleteFileW(path.c_str());
}

TEST(OptionSmoke, PelnToolsStartsIt) {
    UseFreshBoard(L"smoke-launch-board-");
    fwsmoke::RunningProgram launcher;
    ASSERT_TRUE(fwsmoke::Start(launcher, fwsmoke::OwnFolder() + L"PelnTools.exe", L""));
    HWND tools = fwsmoke::WaitForWindow(launcher, L"PelnTools", 30000);
    ASSERT_NE(tools, nullptr) << "no PelnTools window within 30 s; the launcher " << fwsmoke::Status(launcher);
    PostMessageW(tools, WM_COMMAND, MAKEWPARAM(kLauncherOptionButton, BN_CLICKED), 0);

    // The option editor runs as a process of its own, started by the launcher.
    HWND option = fwsmoke::WaitForChildWindow(launcher, L"TolkaOption", 30000);
    ASSERT_NE(option, nullptr) << "no TolkaOption window of a process the launcher started within 30 s";
    DWORD pid = 0;
    GetWindowThreadProcessId(option, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(fwsmoke::ControlText(option, ID_CONNECT), L"デバイスと接続");
    PostMessageW(option, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0) << "the editor still ran 20 s after closing";
    CloseHandle(process);
    EXPECT_EQ(fwsmoke::CloseAndWait(launcher, tools, 20000), 0) << "-1: still running 20 s after its window was closed";
}

}  // namespace
