// The framework's Win32 pieces under Wine: menu update walk, command-line parse, the
// message-box icon rule, whole-file reads and writes, the help command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/digits.h"
#include "framework/app.h"
// After <windows.h>, which the framework headers bring.
#include <shellapi.h>

#include "framework/cmdline_test_support.h"
#include "framework/filedialog.h"
#include "framework/fileio.h"
#include "framework/module.h"
#include "framework/msgbox.h"
#include "framework/sha256.h"
#include "framework/syslib.h"
#include "framework/text.h"
#include "framework/dialog_test_support.h"

namespace {

using fwtest::TempFolder;
using fwtest::TempPath;

TEST(MessageBoxIcons, BoxesWithoutAnIconGetOne) {
    struct {
        UINT type;
        UINT shown;
    } cases[] = {
        {0, MB_OK | MB_ICONEXCLAMATION},
        {0x40, 0x40},
        {0x124, 0x124},
        {0x104, 0x124},
        {0x121, 0x121},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION},
        {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONQUESTION},
        {MB_OK | MB_ICONERROR, MB_OK | MB_ICONERROR},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fw::MessageBoxTypeWithIcon(c.type), c.shown) << std::hex << c.type;
}

TEST(MessageBoxIcons, CaptionIsTheProgramName) {
    fwtest::ScriptedUser user;
    fw::AppMessageBox(L"x");
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].caption, L"framework_tests");
}

// A hook lasts as long as its installer: an inner one gives way to the outer one again.
TEST(TestHooks, AnInstallerPutsBackTheHookBeforeIt) {
    fwtest::ScriptedUser user;
    {
        fw::MessageBoxHookScope inner([](const std::wstring&, UINT, const std::wstring&) { return IDCANCEL; });
        EXPECT_EQ(fw::AppMessageBox(L"x", MB_OKCANCEL), IDCANCEL);
    }
    EXPECT_EQ(fw::AppMessageBox(L"y", MB_OKCANCEL), IDOK);
    EXPECT_EQ(user.Texts(), std::vector<std::wstring>{L"y"});
}

TEST(CommandLine, OneFileArgumentAsksToOpenIt) {
    struct {
        std::vector<const wchar_t*> args;
        fw::CCommandLineInfo::ShellCommand command;
        const wchar_t* file;
        bool setup;  // HasSwitch(L"setup")
    } cases[] = {
        {{}, fw::CCommandLineInfo::FileNew, L"", false},
        {{L"C:\\data\\a b.tpi"}, fw::CCommandLineInfo::FileOpen, L"C:\\data\\a b.tpi", false},
        {{L"first.tpi", L"second.tpi"}, fw::CCommandLineInfo::FileOpen, L"first.tpi", false},
        {{L"/p", L"a.tpi"}, fw::CCommandLineInfo::FileNothing, L"a.tpi", false},
        {{L"a.tpi", L"/pt"}, fw::CCommandLineInfo::FileNothing, L"a.tpi", false},
        {{L"-x"}, fw::CCommandLineInfo::FileNothing, L"", false},
        {{L"/SetUp", L"a.tstation"}, fw::CCommandLineInfo::FileNothing, L"a.tstation", true},
        {{L"/setups", L"-setup"}, fw::CCommandLineInfo::FileNothing, L"", true},
    };
    for (auto& c : cases) {
        std::vector<wchar_t*> argv;
        for (const wchar_t* a : c.args)
            argv.push_back(const_cast<wchar_t*>(a));
        fw::CCommandLineInfo info = fw::ParseCommandLineArgs(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(info.m_nShellCommand, c.command) << c.args.size();
        EXPECT_EQ(info.m_strFileName, c.file);
        EXPECT_EQ(info.HasSwitch(L"setup"), c.setup) << c.args.size();
    }
}

TEST(CommandLine, SplitLikeTheSystem) {
    for (const auto& c : fwcases::kCommandLineCases) {
        int argc = 0;
        wchar_t** argv = CommandLineToArgvW(c.line, &argc);
        ASSERT_NE(argv, nullptr) << c.line;
        std::vector<std::wstring> system(argv + 1, argv + argc);
        LocalFree(argv);
        EXPECT_EQ(fw::SplitCommandLineArgs(c.line), system) << c.line;
    }
}

std::wstring TestProgramFolder() {
    std::wstring path = fw::GetModulePath();
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    GetSystemDirectoryW(folder, MAX_PATH + 1);
    return folder;
}

// A DLL planted in the current folder is found by the default search, and not once the search
// is restricted; the program's own folder and the system folder still are.
TEST(DllSearch, TheCurrentFolderIsNeverSearchedOnceRestricted) {
    std::wstring planted = TestProgramFolder() + L"framework_planted.dll";
    std::wstring folder = fwtest::TempFolder() + L"planted\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* name : {L"planted_before.dll", L"planted_after.dll", L"hhctrl.ocx"})
        ASSERT_TRUE(CopyFileW(planted.c_str(), (folder + name).c_str(), FALSE)) << name;
    std::wstring previous = fw::GetCurrentDirectoryString();
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));

    HMODULE before = LoadLibraryW(L"planted_before.dll");
    EXPECT_NE(before, nullptr) << "the default search should reach the current folder";
    fw::RestrictDllSearch();
    EXPECT_EQ(LoadLibraryW(L"planted_after.dll"), nullptr);
    EXPECT_EQ(fw::LoadSystemLibrary(L"planted_after.dll"), nullptr);
    HMODULE own = LoadLibraryW(L"framework_planted.dll");
    EXPECT_NE(own, nullptr) << "the program's own folder stays in the search";
    HMODULE help = fw::LoadSystemLibrary(L"hhctrl.ocx");
    ASSERT_NE(help, nullptr);
    std::wstring helpPath = fw::GetModulePath(help);
    EXPECT_EQ(CompareStringOrdinal(helpPath.c_str(), static_cast<int>(SystemFolder().size()), SystemFolder().c_str(),
                                   -1, TRUE),
              CSTR_EQUAL)
        << helpPath;

    SetCurrentDirectoryW(previous.c_str());
    for (HMODULE m : {before, own})
        if (m != nullptr)
            FreeLibrary(m);
}

TEST(SystemLibraries, AFileDialogWithoutItsLibraryEndsAsCancelled) {
    fw::RefuseSystemLibraryForTest(L"comdlg32.dll");
    fwtest::UnexpectedDialogGuard guard;
    fw::CFileDialog dlg(true, L"tpi", L"*.tpi|*.tpi||", OFN_FILEMUSTEXIST, nullptr);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    fw::RefuseSystemLibraryForTest(nullptr);
    EXPECT_FALSE(guard.Fired()) << "the system's file dialog was shown";
    EXPECT_EQ(dlg.GetPathName(), L"");
}

// A later file dialog may change the current folder: the file must stay the one named.
TEST(CommandLine, TheFileToOpenBecomesAFullPath) {
    std::wstring saved = fw::GetCurrentDirectoryString();
    ASSERT_TRUE(SetCurrentDirectoryW(TempFolder().c_str()));
    EXPECT_EQ(fw::ParseCommandLineText(L"prog.exe rel.tpi").m_strFileName, TempFolder() + L"rel.tpi");
    EXPECT_EQ(fw::ParseCommandLineText(L"prog.exe \"C:\\data\\a b.tpi\"").m_strFileName, L"C:\\data\\a b.tpi");
    EXPECT_EQ(fw::ParseCommandLineText(L"prog.exe").m_strFileName, L"");
    SetCurrentDirectoryW(saved.c_str());
}

// A board folder or a file to replace may lie deeper than MAX_PATH; a name the system cannot
// resolve is reported, not handed back as if it were a full path.
TEST(ModulePaths, FullPathNamesAreWholeOrNone) {
    const std::wstring deep = L"C:\\" + std::wstring(300, L'a') + L"\\b.tpi";
    EXPECT_EQ(fw::FullPathName(deep), deep);
    EXPECT_EQ(fw::FullPathName(L""), std::nullopt);
}

// A popup: 10 (handler: enabled), separator, 11 (handler: disabled), 12 (no handler,
// disabled in the resource), a nested popup whose first item 10 has a handler, a nested
// popup whose first item 13 has none, a nested popup that starts with a separator.
TEST(MenuUpdate, HandlersDecideAndItemsWithoutOneKeepTheirState) {
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING | MF_GRAYED, 10, L"a");
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popup, MF_STRING, 11, L"b");
    AppendMenuW(popup, MF_STRING | MF_GRAYED, 12, L"c");
    HMENU withHandler = CreatePopupMenu();
    AppendMenuW(withHandler, MF_STRING, 11, L"d");
    HMENU withoutHandler = CreatePopupMenu();
    AppendMenuW(withoutHandler, MF_STRING, 13, L"e");
    HMENU separatorFirst = CreatePopupMenu();
    AppendMenuW(separatorFirst, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(withHandler), L"f");
    AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(withoutHandler), L"g");
    AppendMenuW(popup, MF_POPUP | MF_GRAYED, reinterpret_cast<UINT_PTR>(separatorFirst), L"h");

    std::vector<UINT> asked;
    fw::UpdateMenuPopup(popup, [&](UINT id, bool& enabled) {
        asked.push_back(id);
        if (id == 10 || id == 11) {
            enabled = id == 10;
            return true;
        }
        return false;
    });
    auto grayed = [&](UINT index) { return (GetMenuState(popup, index, MF_BYPOSITION) & MF_GRAYED) != 0; };
    EXPECT_FALSE(grayed(0));  // enabled by its handler
    EXPECT_TRUE(grayed(2));   // disabled by its handler
    EXPECT_TRUE(grayed(3));   // no handler: as the resource made it
    EXPECT_TRUE(grayed(4));   // follows the handler of its first item (11: disabled)
    EXPECT_TRUE(grayed(5));   // first item without a handler: disabled
    EXPECT_TRUE(grayed(6));   // skipped: keeps its state
    EXPECT_EQ(asked, (std::vector<UINT>{10, 11, 12, 11, 13}));
    DestroyMenu(popup);
}

TEST(FileIo, ReadsAtMostThePrefixAsked) {
    std::wstring path = TempPath(L"read.bin");
    std::vector<uint8_t> content(300);
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<uint8_t>(i);
    ASSERT_EQ(fw::WriteFileReplacing(path, content.data(), content.size()), core::FileResult::Ok);
    std::vector<uint8_t> got;
    EXPECT_EQ(fw::ReadFilePrefix(path, 128, got), core::FileResult::Ok);
    EXPECT_EQ(got, std::vector<uint8_t>(content.begin(), content.begin() + 128));
    EXPECT_EQ(fw::ReadFilePrefix(path, 1000, got), core::FileResult::Ok);
    EXPECT_EQ(got, content);
    EXPECT_EQ(fw::ReadFilePrefix(TempPath(L"missing.bin"), 128, got), core::FileResult::Missing);
    EXPECT_EQ(fw::ReadFilePrefix(TempPath(L"no-such-folder\\x.bin"), 128, got), core::FileResult::Missing);

    // Readers that share the file read it at the same moment; the editors' read excludes them.
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(fw::ReadFilePrefix(path, 1000, got, fw::ReadSharing::Readers), core::FileResult::Ok);
    EXPECT_EQ(got, content);
    EXPECT_EQ(fw::ReadFilePrefix(path, 1000, got), core::FileResult::CannotOpen);
    CloseHandle(reader);
    DeleteFileW(path.c_str());
}

DWORD WINAPI CloseAfterAMoment(void* held) {
    Sleep(200);
    return CloseHandle(held) ? 0 : 1;
}

TEST(FileIo, AReplacedFileIsWholeAndAnUnwritableOneIsLeftAlone) {
    std::wstring path = TempPath(L"replace.bin");
    const std::vector<uint8_t> first(128, 1), second(64, 2);
    ASSERT_EQ(fw::WriteFileReplacing(path, first.data(), first.size()), core::FileResult::Ok);
    ASSERT_EQ(fw::WriteFileReplacing(path, second.data(), second.size()), core::FileResult::Ok);
    std::vector<uint8_t> got;
    fw::ReadFilePrefix(path, 1000, got);
    EXPECT_EQ(got, second);  // truncated to the new content

    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(fw::WriteFileReplacing(path, first.data(), first.size()), core::FileResult::CannotOpen);
    EXPECT_EQ(fw::ReadFilePrefix(path, 1000, got), core::FileResult::CannotOpen);  // no sharing
    CloseHandle(holder);
    fw::ReadFilePrefix(path, 1000, got);
    EXPECT_EQ(got, second);

    // A reader's moment is waited out: the save neither fails nor leaves a mix.
    HANDLE reader = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE closer = CreateThread(nullptr, 0, CloseAfterAMoment, reader, 0, nullptr);
    EXPECT_EQ(fw::WriteFileReplacing(path, first.data(), first.size()), core::FileResult::Ok);
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    fw::ReadFilePrefix(path, 1000, got);
    EXPECT_EQ(got, first);

    std::wstring inMissingFolder = TempPath(L"no-such-folder\\x.bin");
    EXPECT_EQ(fw::WriteFileReplacing(inMissingFolder, first.data(), first.size()), core::FileResult::CannotOpen);
    DeleteFileW(path.c_str());
}

bool TemporaryFilesLeft() {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((TempFolder() + L"~*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

TEST(FileIo, AReplacedFileKeepsItsAttributes) {
    std::wstring path = TempPath(L"attributes.bin");
    const std::vector<uint8_t> first(128, 1), second(128, 2);
    ASSERT_EQ(fw::WriteFileReplacing(path, first.data(), first.size()), core::FileResult::Ok);
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_EQ(fw::WriteFileReplacing(path, second.data(), second.size()), core::FileResult::Ok);
    EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    std::vector<uint8_t> got;
    fw::ReadFilePrefix(path, 1000, got);
    EXPECT_EQ(got, second);
    EXPECT_FALSE(TemporaryFilesLeft());
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

// A name so long that no file with a longer name fits beside it: the bytes go into the file.
TEST(FileIo, WhereNoFileCanBeMadeBesideItTheFileItselfIsWritten) {
    std::wstring path = TempPath(std::wstring(250, L'n') + L".bin");
    const std::vector<uint8_t> first(300, 1), second(128, 2);
    ASSERT_EQ(fw::WriteFileReplacing(path, first.data(), first.size()), core::FileResult::Ok);
    ASSERT_EQ(fw::WriteFileReplacing(path, second.data(), second.size()), core::FileResult::Ok);
    std::vector<uint8_t> got;
    fw::ReadFilePrefix(path, 1000, got);
    EXPECT_EQ(got, second);  // cut to the new length
    EXPECT_FALSE(TemporaryFilesLeft());
    DeleteFileW(path.c_str());
}

TEST(HelpCommand, AMissingHelpFileIsReported) {
    fwtest::ScriptedUser user;
    fw::CWinApp app;
    EXPECT_TRUE(app.OnCommand(ID_HELP));
    ASSERT_EQ(user.messages.size(), 1u);
    std::wstring expected = L"ヘルプ ファイル「" + fw::GetModulePath();
    expected.replace(expected.size() - 4, 4, L".CHM");
    expected += L"」が見つかりません。";
    EXPECT_EQ(user.messages[0].text, expected);
    EXPECT_FALSE(app.OnCommand(12345));
}

TEST(HelpCommand, WithoutTheHelpLibraryTheFileCannotBeOpened) {
    std::wstring helpFile = fw::PathWithoutExtension(fw::GetModulePath()) + L".CHM";
    HANDLE file = CreateFileW(helpFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    fwtest::ScriptedUser user;
    fw::CWinApp app;
    fw::RefuseSystemLibraryForTest(L"hhctrl.ocx");
    EXPECT_TRUE(app.OnCommand(ID_HELP));
    fw::RefuseSystemLibraryForTest(nullptr);
    DeleteFileW(helpFile.c_str());
    EXPECT_EQ(user.Texts(), std::vector<std::wstring>{L"ヘルプ ファイル「" + helpFile + L"」を開けませんでした。"});
}

TEST(Sha256, TheSystemsDigestOrNoneWithoutItsLibrary) {
    const std::string zeros(128, '\0');
    const struct {
        std::string bytes;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {zeros, "38723a2e5e8a17aa7950dc008209944e898f69a7bd10a23c839d341e935fd5ca"},
    };
    for (const auto& c : cases) {
        std::array<uint8_t, 32> digest{};
        ASSERT_TRUE(fw::Sha256(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(), digest));
        std::string text;
        for (uint8_t byte : digest)
            text += core::HexText(byte, 2, core::HexCase::Lower);
        EXPECT_EQ(text, c.digest) << c.bytes.size();
    }
    fw::RefuseSystemLibraryForTest(L"bcrypt.dll");
    std::array<uint8_t, 32> digest{};
    EXPECT_FALSE(fw::Sha256(nullptr, 0, digest));
    fw::RefuseSystemLibraryForTest(nullptr);
}

}  // namespace
