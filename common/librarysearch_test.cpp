// The device libraries come from the program's folder or the system folder only. Each program
// is copied into a folder of its own without them, the real libraries lie in a folder on the
// PATH, and a marker DLL under both names lies in the current folder: no program loads the
// marker, the console's commands that need no board still work, and a board command or a
// window tells which library is missing and where it belongs.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "framework/module.h"
#include "framework/smoke_support.h"
#include "framework/test_support.h"

namespace {

const wchar_t* const kLibraries[] = {L"Varnet.dll", L"TolkaCommon.dll"};

struct Folders {
    std::wstring programs;  // the three programs, without the libraries
    std::wstring vendor;    // the real libraries, on the PATH
    std::wstring document;  // the current folder: the planted markers and a .tpi file
};

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Folders MakeFolders() {
    Folders f{fwtest::TempFolder() + L"programs\\", fwtest::TempFolder() + L"vendor\\",
              fwtest::TempFolder() + L"document\\"};
    for (const std::wstring* folder : {&f.programs, &f.vendor, &f.document})
        CreateDirectoryW(folder->c_str(), nullptr);
    const std::wstring bin = fwsmoke::OwnFolder();
    for (const wchar_t* program : {L"tolka.exe", L"TolkaPIWriter.exe", L"TolkaOption.exe"})
        EXPECT_TRUE(CopyFileW((bin + program).c_str(), (f.programs + program).c_str(), FALSE)) << program;
    for (const wchar_t* library : kLibraries) {
        EXPECT_TRUE(CopyFileW((bin + library).c_str(), (f.vendor + library).c_str(), FALSE));
        EXPECT_TRUE(CopyFileW((bin + L"library_marker.dll").c_str(), (f.document + library).c_str(), FALSE));
        DeleteFileW((f.document + library + L".loaded").c_str());
    }
    std::ofstream((f.document + L"doc.tpi").c_str(), std::ios::binary) << std::string(128, '\0');
    const std::wstring path = fw::GetEnvironmentString(L"PATH");
    SetEnvironmentVariableW(L"PATH", (f.vendor + L";" + path).c_str());
    SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD", (fwtest::TempFolder() + L"board").c_str());
    SetEnvironmentVariableW(L"TOLKA_VIRTUAL_BOARD_SILENT", L"1");
    return f;
}

bool StartIn(fwsmoke::RunningProgram& program,
             const std::wstring& exe,
             const std::wstring& args,
             const std::wstring& folder,
             HANDLE output) {
    std::wstring cmd = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (output != nullptr) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = si.hStdError = output;
    }
    program.started = CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, output != nullptr, CREATE_NO_WINDOW,
                                     nullptr, folder.c_str(), &si, &program.pi) != 0;
    return program.started;
}

long WaitForEnd(fwsmoke::RunningProgram& program) {
    if (WaitForSingleObject(program.pi.hProcess, 60000) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(program.pi.hProcess, &code);
    return static_cast<long>(code);
}

// tolka run in the document's folder: its exit code and what it wrote (UTF-8).
long RunTolka(const Folders& f, const std::wstring& args, std::string& said) {
    static int runs = 0;
    const std::wstring log = fwtest::TempPath(L"tolka-output-" + std::to_wstring(++runs) + L".txt");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    fwsmoke::RunningProgram tolka;
    bool started = StartIn(tolka, f.programs + L"tolka.exe", args, f.document, output);
    CloseHandle(output);
    if (!started)
        return -2;
    long code = WaitForEnd(tolka);
    std::ifstream in(log.c_str(), std::ios::binary);
    said.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return code;
}

void ExpectNoMarkerLoaded(const Folders& f, const char* by) {
    for (const wchar_t* library : kLibraries)
        EXPECT_FALSE(Exists(f.document + library + L".loaded")) << by << " loaded the planted " << library;
}

TEST(DeviceLibraries, AreNeverTakenFromTheCurrentFolder) {
    const Folders f = MakeFolders();

    std::string said;
    EXPECT_EQ(RunTolka(f, L"--help", said), 0) << said;
    EXPECT_EQ(RunTolka(f, L"pi show doc.tpi", said), 0) << said;
    EXPECT_EQ(RunTolka(f, L"pi read --lang en", said), 4) << said;
    EXPECT_NE(said.find("Varnet.dll"), std::string::npos) << said;
    EXPECT_NE(said.find(std::string(f.programs.begin(), f.programs.end())), std::string::npos) << said;
    ExpectNoMarkerLoaded(f, "tolka.exe");

    for (const wchar_t* program : {L"TolkaPIWriter", L"TolkaOption"}) {
        SCOPED_TRACE(testing::Message() << std::string(program, program + lstrlenW(program)));
        fwsmoke::RunningProgram window;
        ASSERT_TRUE(StartIn(window, f.programs + program + L".exe", L"", f.document, nullptr));
        HWND box = fwsmoke::WaitForWindow(window, program, 30000);
        ASSERT_NE(box, nullptr) << "no message box; the program " << fwsmoke::Status(window);
        const std::wstring text = fwsmoke::ControlText(box, 0xFFFF);
        EXPECT_NE(text.find(L"Varnet.dll"), std::wstring::npos);
        EXPECT_NE(text.find(f.programs), std::wstring::npos);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(WaitForEnd(window), 0) << "the program did not end after the message";
    }
    ExpectNoMarkerLoaded(f, "a windowed program");

    // The marker does mark: loaded by name from where it lies, it leaves its file.
    HMODULE marker = LoadLibraryW((f.document + L"Varnet.dll").c_str());
    ASSERT_NE(marker, nullptr);
    FreeLibrary(marker);
    EXPECT_TRUE(Exists(f.document + L"Varnet.dll.loaded"));
}

}  // namespace
