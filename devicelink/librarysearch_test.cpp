// The device libraries come from the program's folder or the system folder only. The programs
// lie in a folder without them, the real libraries in a folder on the PATH, and a marker DLL
// under both names in the current folder: no program loads the marker, the console's commands
// that need no board work, and a board command or a window names the missing library and the
// folder where it belongs.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "framework/module.h"
#include "framework/smoke_test_support.h"
#include "framework/dialog_test_support.h"

namespace {

const std::wstring kPrograms = fwtest::TempFolder() + L"programs\\";
const std::wstring kVendor = fwtest::TempFolder() + L"vendor\\";
const std::wstring kDocument = fwtest::TempFolder() + L"document\\";

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFolders() {
    const std::wstring bin = fwsmoke::OwnFolder();
    for (const std::wstring& folder : {kPrograms, kVendor, kDocument})
        CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* program : {L"tolka.exe", L"TolkaPIWriter.exe", L"TolkaOption.exe"})
        ASSERT_TRUE(CopyFileW((bin + program).c_str(), (kPrograms + program).c_str(), FALSE));
    for (const wchar_t* library : {L"Varnet.dll", L"TolkaCommon.dll"}) {
        ASSERT_TRUE(CopyFileW((bin + library).c_str(), (kVendor + library).c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((bin + L"library_marker.dll").c_str(), (kDocument + library).c_str(), FALSE));
        DeleteFileW((kDocument + library + L".loaded").c_str());  // left by an earlier run
    }
    std::ofstream((kDocument + L"doc.tpi").c_str(), std::ios::binary) << std::string(128, '\0');
    SetEnvironmentVariableW(L"PATH", (kVendor + L";" + fw::GetEnvironmentString(L"PATH")).c_str());
    SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD", (fwtest::TempFolder() + L"board").c_str());
    SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD_SILENT", L"1");
}

// Starts the program in the document's folder; a console program writes into `output`.
bool Start(fwsmoke::RunningProgram& program, const std::wstring& name, const std::wstring& args, HANDLE output) {
    std::wstring exe = kPrograms + name, cmd = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = output != nullptr ? STARTF_USESTDHANDLES : 0;
    si.hStdOutput = si.hStdError = output;
    program.started = CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, output != nullptr, CREATE_NO_WINDOW,
                                     nullptr, kDocument.c_str(), &si, &program.pi) != 0;
    return program.started;
}

long WaitForEnd(fwsmoke::RunningProgram& program) {
    DWORD code = 0;
    if (WaitForSingleObject(program.pi.hProcess, 60000) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(program.pi.hProcess, &code))
        return -1;
    return static_cast<long>(code);
}

// tolka's exit code, and what it wrote (UTF-8) into `said`.
long RunTolka(const std::wstring& args, std::string& said) {
    static int runs = 0;
    const std::wstring log = fwtest::TempPath(L"tolka-output-" + std::to_wstring(++runs) + L".txt");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    fwsmoke::RunningProgram tolka;
    bool started = Start(tolka, L"tolka.exe", args, output);
    CloseHandle(output);
    long code = started ? WaitForEnd(tolka) : -2;
    std::ifstream in(log.c_str(), std::ios::binary);
    said.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return code;
}

TEST(DeviceLibraries, AreNeverTakenFromTheCurrentFolder) {
    MakeFolders();
    std::string said;
    EXPECT_EQ(RunTolka(L"--help", said), 0) << said;
    EXPECT_EQ(RunTolka(L"pi show doc.tpi", said), 0) << said;
    EXPECT_EQ(RunTolka(L"pi read --lang en", said), 4) << said;
    EXPECT_NE(said.find("Varnet.dll"), std::string::npos) << said;
    EXPECT_NE(said.find(std::string(kPrograms.begin(), kPrograms.end())), std::string::npos) << said;

    for (const wchar_t* program : {L"TolkaPIWriter", L"TolkaOption"}) {
        fwsmoke::RunningProgram window;
        ASSERT_TRUE(Start(window, std::wstring(program) + L".exe", L"", nullptr));
        HWND box = fwsmoke::WaitForWindow(window, program, 30000);
        ASSERT_NE(box, nullptr) << "no message box; the program " << fwsmoke::Status(window);
        const std::wstring text = fwsmoke::ControlText(box, 0xFFFF);
        EXPECT_NE(text.find(L"Varnet.dll"), std::wstring::npos);
        EXPECT_NE(text.find(kPrograms), std::wstring::npos);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(WaitForEnd(window), 0) << "the program did not end after its message";
    }
    for (const wchar_t* library : {L"Varnet.dll", L"TolkaCommon.dll"})
        EXPECT_FALSE(Exists(kDocument + library + L".loaded")) << "a program loaded the planted library";

    // The marker does mark: loaded from where it lies, it leaves its file.
    HMODULE marker = LoadLibraryW((kDocument + L"Varnet.dll").c_str());
    ASSERT_NE(marker, nullptr);
    FreeLibrary(marker);
    EXPECT_TRUE(Exists(kDocument + L"Varnet.dll.loaded"));
}

}  // namespace
