// The launcher window under Wine: real dialog, real resources, real processes.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "common/about.h"
#include "common/mainframe_test_support.h"
#include "framework/versiontext.h"
#include "framework/language_test_support.h"
#include "framework/module.h"
#include "framework/dialog_test_support.h"
#include "framework/text.h"
#include "launcher/app.h"
#include "launcher/launchpath.h"
#include "launcher/pelntoolsdlg.h"
#include "launcher/resource.h"

namespace {

constexpr UINT kOkWarning = MB_OK | MB_ICONEXCLAMATION;

HICON ProgramIcon(UINT id) {
    return LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
}

class LauncherWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create());
        hwnd = dlg.GetSafeHwnd();
    }

    fwtest::ScriptedUser user;
    CPelnToolsDlg dlg;
    HWND hwnd = nullptr;
};

// --- The window and its resources -----------------------------------------------------------

std::wstring ClassOf(HWND control) {
    wchar_t name[64] = {};
    GetClassNameW(control, name, 64);
    return name;
}

// The window's layout as relations, whatever the coordinates: one frame per tool, holding the
// tool's icon button, its name above its description and nothing else; the frames one below the
// other in the buttons' order; the exit button below them all. The texts' fit: LauncherLanguages.
TEST_F(LauncherWindow, EachToolHasAFrameWithItsButtonNameAndDescription) {
    fwtest::ExpectControlsInsideAndApart(hwnd);
    std::vector<HWND> frames, others;
    for (HWND c = GetWindow(hwnd, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
        (fwtest::IsFrame(c) ? frames : others).push_back(c);
    std::sort(frames.begin(), frames.end(),
              [](HWND a, HWND b) { return fwtest::RectInDialog(a).top < fwtest::RectInDialog(b).top; });
    const int rows[] = {IDC_PELNCONFIG,  IDC_TOLKAPIWRITER,  IDC_TOLKAOPTION,
                        IDC_FLASHWRITER, IDC_TOLKAINIWRITER, IDC_FIRMWARE_UPDATER};
    ASSERT_EQ(frames.size(), std::size(rows));
    std::vector<HWND> placed;
    for (size_t row = 0; row < frames.size(); ++row) {
        SCOPED_TRACE("row " + std::to_string(row + 1));
        const RECT frame = fwtest::RectInDialog(frames[row]);
        EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(frames[row])), WORD{0xFFFF});
        std::vector<HWND> texts;
        HWND button = nullptr;
        for (HWND c : others) {
            RECT r = fwtest::RectInDialog(c), common;
            if (!IntersectRect(&common, &r, &frame))
                continue;
            placed.push_back(c);
            const LONG style = GetWindowLongW(c, GWL_STYLE);
            if (ClassOf(c) == L"Static") {
                EXPECT_EQ(style & SS_TYPEMASK, SS_LEFT);
                EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(c)), WORD{0xFFFF});
                texts.push_back(c);
            } else {
                EXPECT_EQ(button, nullptr) << "a second button";
                button = c;
                EXPECT_EQ(GetDlgCtrlID(c), rows[row]);
                EXPECT_LE(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
                EXPECT_NE(style & BS_ICON, 0);
            }
        }
        ASSERT_NE(button, nullptr);
        ASSERT_EQ(texts.size(), 2u);
        if (fwtest::RectInDialog(texts[0]).top > fwtest::RectInDialog(texts[1]).top)
            std::swap(texts[0], texts[1]);
        EXPECT_EQ(fwtest::Text(texts[0]), fwtest::Text(button));
        EXPECT_FALSE(fwtest::Text(texts[1]).empty());
        EXPECT_LE(fwtest::RectInDialog(texts[0]).bottom, fwtest::RectInDialog(texts[1]).top);
        EXPECT_LE(fwtest::RectInDialog(button).right, fwtest::RectInDialog(texts[0]).left);
    }
    ASSERT_EQ(others.size(), placed.size() + 1);
    HWND exit = GetDlgItem(hwnd, IDCANCEL);
    EXPECT_EQ(std::find(placed.begin(), placed.end(), exit), placed.end());
    EXPECT_EQ(GetWindowLongW(exit, GWL_STYLE) & BS_ICON, 0);
    EXPECT_GE(fwtest::RectInDialog(exit).top, fwtest::RectInDialog(frames.back()).bottom);
}

TEST_F(LauncherWindow, TabGoesThroughTheButtonsInTemplateOrder) {
    const int order[] = {IDC_PELNCONFIG,       IDC_TOLKAPIWRITER, IDC_TOLKAOPTION,    IDC_FLASHWRITER,
                         IDC_FIRMWARE_UPDATER, IDCANCEL,          IDC_TOLKAINIWRITER, IDC_PELNCONFIG};
    HWND item = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    for (int id : order) {
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(GetDlgCtrlID(item), id);
        item = GetNextDlgTabItem(hwnd, item, FALSE);
    }
    // Enter with no push button focused presses the exit button.
    EXPECT_EQ(LOWORD(SendMessageW(hwnd, DM_GETDEFID, 0, 0)), IDCANCEL);
}

// Handlers and senders, the program's icon, the About entry and box, as in every main window;
// the launcher's window has no maximise box, and minimised it still shows its icon.
TEST_F(LauncherWindow, IsAnApplicationWindowWithTheProgramIconAndTheAboutBox) {
    frametest::ExpectMainWindowChores<CPelnToolsDlg>(user, IDR_MAINFRAME, IDC_VERSION,
                                                     L"バージョン情報 PelnTools(&A)...",
                                                     L"バージョン情報 PelnTools|PelnTools|1.3.0.1");
    EXPECT_EQ(dlg.GetWindowText(), L"PelnTools");
    DWORD style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
    for (DWORD bit : {DWORD{WS_CAPTION}, DWORD{WS_SYSMENU}, DWORD{WS_POPUP}})
        EXPECT_EQ(style & bit, bit) << std::hex << bit;
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0u);
    ShowWindow(hwnd, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(hwnd));
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(hwnd, WM_QUERYDRAGICON, 0, 0)), ProgramIcon(IDR_MAINFRAME));
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_FALSE(IsIconic(hwnd));
}

// The window's place, kept for this test alone: other test programs close windows meanwhile.
struct PlacedLauncher : CPelnToolsDlg {
    PlacedLauncher() { m_placementKey = Key(); }
    static std::wstring Key() { return L"Software\\Tolka\\place-test-" + std::to_wstring(GetCurrentProcessId()); }
};

// A window opens centred on the pointer's monitor the first time, then where the user closed
// it (minimised, where it is restored to); a place on no monitor any more is moved onto one.
TEST(LauncherPlace, OpensWhereItWasLastClosed) {
    RegDeleteTreeW(HKEY_CURRENT_USER, PlacedLauncher::Key().c_str());
    fwtest::ScriptedUser user;
    auto dlg = std::make_unique<PlacedLauncher>();
    ASSERT_TRUE(dlg->Create());
    RECT first, r;
    GetWindowRect(dlg->GetSafeHwnd(), &first);
    POINT pointer;
    GetCursorPos(&pointer);
    MONITORINFO monitor{sizeof(MONITORINFO), {}, {}, 0};
    GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT area = monitor.rcWork;
    EXPECT_LE(std::abs((first.left - area.left) - (area.right - first.right)), 1);
    EXPECT_LE(std::abs((first.top - area.top) - (area.bottom - first.bottom)), 1);
    const LONG width = first.right - first.left, height = first.bottom - first.top;
    const struct {
        int x, y;  // where the window is closed, then where the next one opens
        bool minimised;
        LONG left, top;
    } runs[] = {
        {123, 45, false, 123, 45},
        {201, 77, true, 201, 77},
        {30000, 20000, false, area.right - width, area.bottom - height},  // right of and below: gone
        {-30000, -20000, false, area.left, area.top},                     // left of and above: gone
    };
    for (const auto& run : runs) {
        SetWindowPos(dlg->GetSafeHwnd(), nullptr, run.x, run.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        if (run.minimised)
            ShowWindow(dlg->GetSafeHwnd(), SW_MINIMIZE);
        dlg.reset(new PlacedLauncher);
        ASSERT_TRUE(dlg->Create());
        GetWindowRect(dlg->GetSafeHwnd(), &r);
        EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
                  (std::vector<LONG>{run.left, run.top, width, height}))
            << run.x << "," << run.y;
    }
    dlg.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, PlacedLauncher::Key().c_str());
}

TEST_F(LauncherWindow, EachButtonShowsItsOwnIcon) {
    const struct {
        int button;
        UINT icon;
    } images[] = {
        {IDC_PELNCONFIG, 146},  {IDC_TOLKAPIWRITER, 147},  {IDC_TOLKAOPTION, 148},
        {IDC_FLASHWRITER, 149}, {IDC_TOLKAINIWRITER, 151}, {IDC_FIRMWARE_UPDATER, 150},
    };
    std::vector<LRESULT> seen;
    for (const auto& image : images) {
        LRESULT shown = SendDlgItemMessageW(hwnd, image.button, BM_GETIMAGE, IMAGE_ICON, 0);
        EXPECT_NE(shown, 0) << image.button;
        EXPECT_EQ(shown, reinterpret_cast<LRESULT>(ProgramIcon(image.icon))) << image.button;
        for (LRESULT other : seen)
            EXPECT_NE(shown, other) << image.button;
        seen.push_back(shown);
    }
}

// Each button image is one 32 by 32 image of 256 colours (the program's icon: shipped_files_test).
TEST(LauncherResources, ButtonImagesAre32By32With256Colours) {
    for (UINT id : {146u, 147u, 148u, 149u, 150u, 151u}) {
        SCOPED_TRACE(id);
        HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
        ASSERT_NE(found, nullptr);
        const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found)));
        ASSERT_GE(SizeofResource(nullptr, found), 6u + 14u);
        EXPECT_EQ(dir[4] | dir[5] << 8, 1);  // images
        const BYTE* entry = dir + 6;
        EXPECT_EQ(entry[0], 32);                 // width
        EXPECT_EQ(entry[1], 32);                 // height
        EXPECT_EQ(entry[6] | entry[7] << 8, 8);  // bits per pixel
    }
}

TEST(LauncherResources, StringsAndVersion) {
    EXPECT_EQ(fw::LoadResString(IDS_ABOUTBOX), L"バージョン情報 PelnTools(&A)...");
    EXPECT_EQ(fw::LoadResString(IDS_SOCKETS_INIT_FAILED), L"Windows ソケットの初期化に失敗しました。");

    std::wstring path = fw::GetModulePath();
    EXPECT_EQ(GetVersionString(path, false), L"1.3.0.1");
    EXPECT_EQ(GetVersionString(path, true), L"1.3.0.1");
    DWORD handle = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeW(path.c_str(), &handle));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    void* value = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &len));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010004u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010004u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &len));
    ASSERT_GE(len, 4u);
    EXPECT_EQ(static_cast<const WORD*>(value)[0], 0x0411);
    EXPECT_EQ(static_cast<const WORD*>(value)[1], 0x03A4);
    const struct {
        const wchar_t* key;
        const wchar_t* text;
    } strings[] = {
        {L"FileDescription", L"PelnTools"},
        {L"InternalName", L"PelnTools.exe"},
        {L"OriginalFilename", L"PelnTools.exe"},
        {L"ProductName", L"PelnTools"},
    };
    for (const auto& s : strings) {
        ASSERT_TRUE(VerQueryValueW(block.data(), VersionQueryPath(0x0411, 0x03A4, s.key).c_str(), &value, &len))
            << s.key;
        EXPECT_STREQ(static_cast<const wchar_t*>(value), s.text);
    }
}

// --- Start-up ------------------------------------------------------------------------------------

TEST(LauncherStartUp, RunsTheWindowModallyAndThenEnds) {
    fwtest::ScriptedUser user;
    CPelnToolsApp app;
    int shown = 0;
    fw::CDialog::ModalHookScope hook([&](fw::CDialog& window) {
        ++shown;
        EXPECT_EQ(window.GetTemplateId(), static_cast<UINT>(IDD_PELNTOOLS_DIALOG));
        EXPECT_EQ(window.GetWindowText(), L"PelnTools");
        EXPECT_EQ(app.GetMainHwnd(), window.GetSafeHwnd());
        window.EndDialog(IDCANCEL);
    });
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_TRUE(user.messages.empty());  // sockets started without complaint
}

// --- Starting the tools ---------------------------------------------------------------------------
//
// The tools must lie beside the launcher, and the launcher takes its folder from its own
// module path. So this test program plays the launcher: LauncherFolder copies it as
// PelnTools.exe, with the stub program under the tools' names, into a folder whose path
// holds spaces, Japanese characters and a folder named PelnTools.exe, and runs the
// LauncherCopy tests in that copy, which click the real buttons. A decoy "my.exe" above the
// folder would be started by a command line that the system splits at the first space.

const wchar_t kCopyFlag[] = L"TOLKA_LAUNCHER_COPY";
const wchar_t kLogVariable[] = L"TOLKA_LAUNCH_LOG";
const wchar_t kFolderVariable[] = L"TOLKA_LAUNCHER_FOLDER";
constexpr size_t kLaunchesInCopy = 8;

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

struct Launch {
    std::wstring path, commandLine, currentDirectory;
    unsigned long processId;
};

// The complete lines of the stubs' log.
std::vector<Launch> ReadLaunches(const std::wstring& log) {
    std::vector<Launch> launches;
    HANDLE file =
        CreateFileW(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return launches;
    std::wstring text;
    wchar_t buf[1024];
    DWORD got = 0;
    while (ReadFile(file, buf, sizeof buf, &got, nullptr) && got > 0)
        text.append(buf, got / sizeof(wchar_t));
    CloseHandle(file);
    size_t start = 0;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
        std::vector<std::wstring> fields;
        size_t from = start;
        for (size_t tab; (tab = text.find(L'\t', from)) < end; from = tab + 1)
            fields.push_back(text.substr(from, tab - from));
        fields.push_back(text.substr(from, end - from));
        if (fields.size() == 4)
            launches.push_back({fields[0], fields[1], fields[2], std::stoul(fields[3])});
    }
    return launches;
}

class LauncherCopy : public ::testing::Test {
protected:
    void SetUp() override {
        if (fw::GetEnvironmentString(kCopyFlag).empty())
            GTEST_SKIP() << "runs only in the launcher copy that LauncherFolder starts";
        log = fw::GetEnvironmentString(kLogVariable);
        folder = fw::GetEnvironmentString(kFolderVariable);
        ASSERT_FALSE(log.empty());
        ASSERT_FALSE(folder.empty());
        // The tools must not inherit their own folder as current directory by accident.
        ASSERT_FALSE(SamePath(fw::GetCurrentDirectoryString() + L"\\", folder));
        ASSERT_TRUE(dlg.Create());
        hwnd = dlg.GetSafeHwnd();
    }

    // Waits until the log holds `total` launches; the stubs run on their own.
    std::vector<Launch> WaitForLaunches(size_t total) {
        std::vector<Launch> launches;
        for (int waited = 0; waited < 30000; waited += 50) {
            launches = ReadLaunches(log);
            if (launches.size() >= total)
                break;
            Sleep(50);
        }
        EXPECT_EQ(launches.size(), total) << "launches logged within 30 s";
        return launches;
    }

    // A launch of the program `fileName` from the launcher's folder, without arguments.
    void ExpectStarted(const Launch& launch, const wchar_t* fileName) {
        std::wstring expected = folder + fileName;
        EXPECT_TRUE(SamePath(launch.path, expected)) << "started: " << ::testing::PrintToString(launch.path);
        int argc = 0;
        wchar_t** argv = CommandLineToArgvW(launch.commandLine.c_str(), &argc);
        ASSERT_NE(argv, nullptr);
        EXPECT_EQ(argc, 1) << ::testing::PrintToString(launch.commandLine);
        EXPECT_TRUE(SamePath(argv[0], expected)) << ::testing::PrintToString(launch.commandLine);
        LocalFree(argv);
        EXPECT_TRUE(SamePath(launch.currentDirectory, fw::GetCurrentDirectoryString()));
    }

    fwtest::ScriptedUser user;
    CPelnToolsDlg dlg;
    HWND hwnd = nullptr;
    std::wstring log, folder;
};

TEST_F(LauncherCopy, KeepsItsOwnPathUpperCased) {
    std::wstring expected = folder + L"PelnTools.exe";
    launcher::MakeUpperAscii(expected);
    EXPECT_EQ(dlg.m_strModulePath, expected);
}

TEST_F(LauncherCopy, EachButtonStartsItsProgramFromTheLaunchersFolder) {
    const struct {
        UINT button;
        const wchar_t* fileName;
    } rows[] = {
        {IDC_PELNCONFIG, L"PELNCONFIG.EXE"},        {IDC_TOLKAPIWRITER, L"TOLKAPIWRITER.EXE"},
        {IDC_TOLKAOPTION, L"TOLKAOPTION.EXE"},      {IDC_FLASHWRITER, L"REZIRA.EXE"},
        {IDC_FIRMWARE_UPDATER, L"DADURODERID.EXE"},
    };
    size_t before = ReadLaunches(log).size();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button);
        fwtest::Click(hwnd, row.button);
        std::vector<Launch> launches = WaitForLaunches(++before);
        ASSERT_EQ(launches.size(), before);
        ExpectStarted(launches.back(), row.fileName);
    }
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(LauncherCopy, MissingProgramIsReportedByItsFileNameAndTheLauncherStaysUsable) {
    size_t before = ReadLaunches(log).size();
    fwtest::Click(hwnd, IDC_TOLKAINIWRITER);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, L"「TOLKAINIWRITER.EXE」が起動できませんでした。");
    EXPECT_EQ(user.messages[0].type, kOkWarning);
    EXPECT_EQ(user.messages[0].caption, L"PelnTools");
    EXPECT_FALSE(dlg.HasEnded());

    fwtest::Click(hwnd, IDC_TOLKAPIWRITER);
    std::vector<Launch> launches = WaitForLaunches(before + 1);
    ASSERT_EQ(launches.size(), before + 1);
    ExpectStarted(launches.back(), L"TOLKAPIWRITER.EXE");
    EXPECT_EQ(user.messages.size(), 1u);
}

TEST_F(LauncherCopy, TwoClicksStartTwoProcesses) {
    size_t before = ReadLaunches(log).size();
    fwtest::Click(hwnd, IDC_TOLKAOPTION);
    fwtest::Click(hwnd, IDC_TOLKAOPTION);
    std::vector<Launch> launches = WaitForLaunches(before + 2);
    ASSERT_EQ(launches.size(), before + 2);
    ExpectStarted(launches[before], L"TOLKAOPTION.EXE");
    ExpectStarted(launches[before + 1], L"TOLKAOPTION.EXE");
    EXPECT_NE(launches[before].processId, launches[before + 1].processId);
    EXPECT_TRUE(user.messages.empty());
}

bool CopyInto(const std::wstring& from, const std::wstring& to) {
    return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0;
}

// The test's folders and files, removed when the test ends however it ends. A stub that is
// still ending keeps its file for a moment.
struct TempTree {
    std::vector<std::wstring> dirs, files;
    ~TempTree() {
        for (const std::wstring& file : files) {
            for (int attempt = 0; attempt < 50 && GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
                 ++attempt) {
                if (!DeleteFileW(file.c_str()))
                    Sleep(100);
            }
        }
        for (auto dir = dirs.rbegin(); dir != dirs.rend(); ++dir)
            RemoveDirectoryW(dir->c_str());
    }
};

TEST(LauncherFolder, StartsEachToolBesideTheLauncher) {
    if (!fw::GetEnvironmentString(kCopyFlag).empty())
        GTEST_SKIP() << "already the copy";
    std::wstring temp(GetTempPathW(0, nullptr), L'\0');
    temp.resize(GetTempPathW(static_cast<DWORD>(temp.size()), &temp[0]));
    const std::wstring root = temp + L"tolka-launcher-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    const std::wstring middle = root + L"my tools テスト\\";
    const std::wstring folder = middle + L"PelnTools.exe\\";
    TempTree tree;
    // Process ids come round again: a tree left by a run that was killed is reused.
    for (const std::wstring& dir : {root, middle, folder}) {
        tree.dirs.push_back(dir);
        ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }

    // The tools under the names they have on disk; TOLKAINIWRITER.EXE is left out.
    const std::wstring stub = fw::FolderOfPath(fw::GetModulePath()) + L"launcher_tool_stub.exe";
    const std::wstring decoy = root + L"my.exe";
    const std::wstring launcherCopy = folder + L"PelnTools.exe";
    const std::wstring log = root + L"launches.log";
    tree.files.push_back(log);
    DeleteFileW(log.c_str());
    for (const wchar_t* name :
         {L"PelnConfig.exe", L"TolkaPIWriter.exe", L"TolkaOption.exe", L"Rezira.exe", L"DaduroDerid.exe"}) {
        tree.files.push_back(folder + name);
        ASSERT_TRUE(CopyInto(stub, folder + name)) << GetLastError();
    }
    tree.files.push_back(decoy);
    ASSERT_TRUE(CopyInto(stub, decoy));
    tree.files.push_back(launcherCopy);
    ASSERT_TRUE(CopyInto(fw::GetModulePath(), launcherCopy));

    SetEnvironmentVariableW(kCopyFlag, L"1");
    SetEnvironmentVariableW(kLogVariable, log.c_str());
    SetEnvironmentVariableW(kFolderVariable, folder.c_str());
    std::wstring commandLine = launcher::QuotedCommandLine(launcherCopy) + L" --gtest_filter=LauncherCopy.*";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;  // the copy's report goes to this test's output
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION copy{};
    BOOL started = CreateProcessW(launcherCopy.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  root.c_str(), &startup, &copy);
    for (const wchar_t* name : {kCopyFlag, kLogVariable, kFolderVariable})
        SetEnvironmentVariableW(name, nullptr);
    ASSERT_TRUE(started) << GetLastError();
    CloseHandle(copy.hThread);
    DWORD exitCode = 1;
    // Within the watchdog's time for this test (framework/main_test_support.cpp), so that this
    // message comes first.
    if (WaitForSingleObject(copy.hProcess, 80000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(copy.hProcess, &exitCode);
    } else {
        TerminateProcess(copy.hProcess, 1);
        ADD_FAILURE() << "the launcher copy did not finish within 80 s";
    }
    CloseHandle(copy.hProcess);
    EXPECT_EQ(exitCode, 0u) << "see the LauncherCopy report above";
    // Guards against a copy that ran no test at all.
    EXPECT_EQ(ReadLaunches(log).size(), kLaunchesInCopy);
}

}  // namespace
