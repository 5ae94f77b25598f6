// For both editors' Wine tests: the editors' contract, checked the same way on either
// window. Each editor's tests describe it in a small traits type:
//
//   struct Writer {
//       using Window = CVarnPIWriteDlg;
//       static constexpr const wchar_t* kTitle = L"TolkaPIWriter";
//       static constexpr const wchar_t* kExtension = L".tpi";
//       static constexpr const wchar_t* kDiscardAndExit = L"編集中のファイルを破棄して終了します。";
//       static constexpr UINT kOpenCommand = IDC_FILE_OPEN, kSaveCommand = IDC_FILE_SAVE;
//       static std::vector<UINT> CloseCommands();   // every way of closing the window
//       static std::vector<uint8_t> Sample();       // a file the editor shows whole
//       static void Edit(HWND window);              // one edit, as the user makes it, that can be saved
//       static bool ShowsSample(HWND window);       // the sample is in the editor
//       static bool ShowsNothing(HWND window);      // the editor is empty
//       static constexpr const wchar_t* kFilter = L"PIファイル (*.tpi)|*.tpi||";
//       // New's question while edited, and its box (yes/no or OK/cancel).
//       static constexpr const wchar_t* kDiscardQuestion = L"編集中のファイル内容を破棄しますか？";
//       static constexpr UINT kDiscardQuestionType = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
//       // The About box: its entry in the system menu, its caption, name and version.
//       static constexpr const wchar_t* kAboutEntry = L"TolkaPIWriter のﾊﾞｰｼﾞｮﾝ情報(&A)...";
//       static constexpr const wchar_t* kAbout = L"TolkaPIWriterのﾊﾞｰｼﾞｮﾝ情報|TolkaPIWriter|4, 0, 0, 2";
//       static constexpr editortest::EditorIds kIds = {IDR_MAINFRAME, ID_APP_ABOUT, IDC_VERSION,
//           IDC_FLASHMODE_HELP, IDD_FLASHMODE_HELP, IDC_CONNECTION_SETTINGS, IDC_CONNECT, IDC_WRITE_DEVICE};
//   };
//   namespace editortest { INSTANTIATE_TYPED_TEST_SUITE_P(Writer, EditorContract, Writer); }
//   TEST(WriterOnBoard, KeepsTheEditorsContract) { editortest::ExpectBoardContract<Writer>(); }
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/mainframe_test_support.h"
#include "devicelink/librarylink.h"
#include "framework/dialog_test_support.h"
#include "framework/smoke_test_support.h"
#include "framework/text.h"
#include "varnet/board_test_support.h"

namespace editortest {

constexpr UINT kOkWarning = MB_OK | MB_ICONEXCLAMATION;
constexpr UINT kFileNew = 57600, kFileSaveAs = 57604;  // the same in both editors' resources
constexpr UINT kAskOkCancel = 0x121;
const wchar_t kCannotOpen[] = L"ファイルが開けませんでした。";
const wchar_t kBadFormat[] = L"ファイルの形式が正しくありません。";
const wchar_t kDiscardFile[] = L"編集中のファイルを破棄しますか。";

using fwsmoke::ReadFileBytes;
using fwsmoke::WriteFileBytes;

// Files an editor refuses, and the message each one gets.
struct RefusedFile {
    const char* what;
    std::vector<uint8_t> content;  // empty: no file at all
    const wchar_t* message;
};

template <class Editor>
std::vector<RefusedFile> RefusedFiles() {
    std::vector<uint8_t> longer = Editor::Sample();
    longer.push_back(0xEE);
    std::vector<uint8_t> shorter = Editor::Sample();
    shorter.pop_back();
    return {
        {"missing", {}, kCannotOpen}, {"one byte short", shorter, kBadFormat}, {"one byte long", longer, kBadFormat}};
}

// The contract, one test per behaviour so that a failure names it; each editor's tests
// instantiate it with their traits (above).
template <class Editor>
class EditorContract : public ::testing::Test {};

TYPED_TEST_SUITE_P(EditorContract);

// Every way of closing asks while the editor holds edits, and Cancel keeps the window;
// without edits it closes at once.
TYPED_TEST_P(EditorContract, EveryWayOfClosingAsksWhileEdited) {
    using Editor = TypeParam;
    fwtest::ScriptedUser user;
    for (UINT id : Editor::CloseCommands()) {
        SCOPED_TRACE(id);
        typename Editor::Window window;
        ASSERT_TRUE(window.Create());
        Editor::Edit(window.GetSafeHwnd());
        user.messages.clear();
        user.Answer(IDCANCEL);
        fwtest::Command(window.GetSafeHwnd(), id);
        ASSERT_EQ(user.messages.size(), 1u);
        EXPECT_EQ(user.messages[0].text, Editor::kDiscardAndExit);
        EXPECT_EQ(user.messages[0].type, kAskOkCancel);
        EXPECT_FALSE(window.HasEnded());
        user.Answer(IDOK);
        fwtest::Command(window.GetSafeHwnd(), id);
        EXPECT_TRUE(window.HasEnded());
        EXPECT_EQ(window.GetResult(), IDCANCEL);

        typename Editor::Window untouched;
        ASSERT_TRUE(untouched.Create());
        user.messages.clear();
        fwtest::Command(untouched.GetSafeHwnd(), id);
        EXPECT_TRUE(untouched.HasEnded());
        EXPECT_TRUE(user.messages.empty());
    }
}

// The file the command line names is shown, titled and unmodified; one that cannot be read
// is told and dropped, so that the editor starts empty and the next save asks for a name.
TYPED_TEST_P(EditorContract, TheStartupFileIsShownOrDropped) {
    using Editor = TypeParam;
    fwtest::ScriptedUser user;
    const std::wstring path = fwtest::TempPath(std::wstring(L"startup") + Editor::kExtension);
    WriteFileBytes(path, Editor::Sample());
    {
        typename Editor::Window window;
        window.m_strPathName = path;
        user.messages.clear();
        ASSERT_TRUE(window.Create());
        EXPECT_EQ(fwtest::Text(window.GetSafeHwnd()), std::wstring(Editor::kTitle) + L" - " + fw::FileNameOfPath(path));
        EXPECT_TRUE(Editor::ShowsSample(window.GetSafeHwnd()));
        EXPECT_FALSE(window.m_bModified);
        EXPECT_TRUE(user.messages.empty());
    }
    for (const RefusedFile& file : RefusedFiles<Editor>()) {
        SCOPED_TRACE(file.what);
        DeleteFileW(path.c_str());
        if (!file.content.empty())
            WriteFileBytes(path, file.content);
        typename Editor::Window window;
        window.m_strPathName = path;
        user.messages.clear();
        ASSERT_TRUE(window.Create());
        ASSERT_EQ(user.messages.size(), 1u);
        EXPECT_EQ(user.messages[0].text, file.message);
        EXPECT_EQ(user.messages[0].type, kOkWarning);
        EXPECT_EQ(fwtest::Text(window.GetSafeHwnd()), Editor::kTitle);
        EXPECT_TRUE(window.m_strPathName.empty());
        EXPECT_FALSE(window.m_bModified);
        EXPECT_TRUE(Editor::ShowsNothing(window.GetSafeHwnd()));
        size_t dialogs = user.fileDialogs.size();
        user.CancelFileDialog();
        fwtest::Command(window.GetSafeHwnd(), Editor::kSaveCommand);
        EXPECT_EQ(user.fileDialogs.size(), dialogs + 1);
    }
}

// Open asks before it discards edits; a file it refuses leaves editor, title and file as
// they were; one it takes is shown, titled and unmodified.
TYPED_TEST_P(EditorContract, OpenShowsTheFileOrLeavesEverythingAsItWas) {
    using Editor = TypeParam;
    fwtest::ScriptedUser user;
    typename Editor::Window window;
    ASSERT_TRUE(window.Create());
    const HWND w = window.GetSafeHwnd();
    const std::wstring path = fwtest::TempPath(std::wstring(L"open") + Editor::kExtension);
    Editor::Edit(w);
    const std::wstring title = fwtest::Text(w);
    for (const RefusedFile& file : RefusedFiles<Editor>()) {
        SCOPED_TRACE(file.what);
        DeleteFileW(path.c_str());
        if (!file.content.empty())
            WriteFileBytes(path, file.content);
        user.messages.clear();
        user.Answer(IDOK);
        user.ChooseFile(path);
        fwtest::Command(w, Editor::kOpenCommand);
        ASSERT_EQ(user.messages.size(), 2u);
        EXPECT_EQ(user.messages[0].text, kDiscardFile);
        EXPECT_EQ(user.messages[0].type, kAskOkCancel);
        EXPECT_EQ(user.messages[1].text, file.message);
        EXPECT_EQ(user.messages[1].type, kOkWarning);
        EXPECT_EQ(fwtest::Text(w), title);
        EXPECT_TRUE(window.m_bModified);
        EXPECT_TRUE(window.m_strPathName.empty());
        EXPECT_FALSE(Editor::ShowsNothing(w));
    }
    WriteFileBytes(path, Editor::Sample());
    user.messages.clear();
    user.Answer(IDOK);
    user.ChooseFile(path);
    fwtest::Command(w, Editor::kOpenCommand);
    EXPECT_EQ(user.messages.size(), 1u);
    EXPECT_TRUE(Editor::ShowsSample(w));
    EXPECT_EQ(fwtest::Text(w), std::wstring(Editor::kTitle) + L" - " + fw::FileNameOfPath(path));
    EXPECT_FALSE(window.m_bModified);
    EXPECT_EQ(window.m_strPathName, path);
}

// Cancel at the discard question or in the file dialog leaves the edits as they were; so
// does a save into a file that is read-only or held by another program, which keeps that
// file whole, leaves no temporary file beside it, and still asks before closing.
TYPED_TEST_P(EditorContract, CancelledOpenAndFailedSaveChangeNothing) {
    using Editor = TypeParam;
    fwtest::ScriptedUser user;
    typename Editor::Window window;
    ASSERT_TRUE(window.Create());
    const HWND w = window.GetSafeHwnd();
    Editor::Edit(w);
    const std::wstring title = fwtest::Text(w);
    const size_t dialogs = user.fileDialogs.size();
    user.Answer(IDCANCEL);
    fwtest::Command(w, Editor::kOpenCommand);
    EXPECT_EQ(user.fileDialogs.size(), dialogs);
    user.Answer(IDOK);
    user.CancelFileDialog();
    fwtest::Command(w, Editor::kOpenCommand);
    ASSERT_EQ(user.fileDialogs.size(), dialogs + 1);
    EXPECT_TRUE(user.fileDialogs.back().open);
    EXPECT_EQ(fwtest::Text(w), title);
    EXPECT_TRUE(window.m_bModified);

    const std::wstring readOnly = fwtest::TempPath(std::wstring(L"readonly") + Editor::kExtension);
    const std::wstring held = fwtest::TempPath(std::wstring(L"held") + Editor::kExtension);
    const std::vector<uint8_t> old(Editor::Sample().size(), 0x5A);
    WriteFileBytes(readOnly, old);
    WriteFileBytes(held, old);
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE holder = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    for (const std::wstring& path : {readOnly, held}) {
        SCOPED_TRACE(path);
        user.messages.clear();
        user.ChooseFile(path);
        fwtest::Command(w, Editor::kSaveCommand);
        ASSERT_EQ(user.messages.size(), 1u);
        EXPECT_EQ(user.messages[0].text, kCannotOpen);
        EXPECT_EQ(user.messages[0].type, kOkWarning);
        EXPECT_EQ(fwtest::Text(w), title);
        EXPECT_TRUE(window.m_bModified);
        EXPECT_TRUE(window.m_strPathName.empty());
    }
    CloseHandle(holder);
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(readOnly), old);
    EXPECT_EQ(ReadFileBytes(held), old);
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((fwtest::TempFolder() + L"*.tmp").c_str(), &found);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    user.messages.clear();
    user.Answer(IDCANCEL);
    fwtest::Command(w, IDCANCEL);
    EXPECT_EQ(user.messages.size(), 1u);
    EXPECT_FALSE(window.HasEnded());
}

// Offers a key press with Ctrl held to the window, as its message loop would; true when the
// window took it as a shortcut.
template <class Window>
bool PressCtrlKey(Window& window, HWND target, WPARAM key) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG msg{target, WM_KEYDOWN, key, 1, 0, {0, 0}};
    const bool consumed = window.PreTranslateMessage(&msg) != FALSE;
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    SetKeyboardState(keys);
    fwtest::PumpMessages(window);
    return consumed;
}

// The ids of the resources and commands the contract uses, which each program numbers its own way.
struct EditorIds {
    UINT mainFrame, about, version, flashModeHelp, flashModeHelpDialog, connectionSettings, connect, writeDevice;
};

// What the main-window frame gives every main window (common/mainframe_test_support.h), and
// what it gives the editors besides: the Help menu's last item opens the About box too, the
// item above it the flash-mode help, which leaves the edits alone; Ctrl+S saves.
TYPED_TEST_P(EditorContract, FrameChores) {
    using Editor = TypeParam;
    fwtest::ScriptedUser user;
    const EditorIds& ids = Editor::kIds;
    frametest::ExpectMainWindowChores<typename Editor::Window>(user, ids.mainFrame, ids.version, Editor::kAboutEntry,
                                                               Editor::kAbout);
    typename Editor::Window window;
    ASSERT_TRUE(window.Create());
    const HWND w = window.GetSafeHwnd();
    HMENU help = GetSubMenu(GetMenu(w), 3);
    ASSERT_EQ(GetMenuItemCount(help), 3);
    EXPECT_EQ(GetMenuItemID(help, 1), ids.flashModeHelp);
    EXPECT_EQ(frametest::MenuItemText(help, 1), L"フラッシュ書換えモードでの起動方法(&M)");
    EXPECT_EQ(GetMenuItemID(help, 2), ids.about);

    std::vector<std::wstring> seen;
    fw::CDialog::ModalHookScope hook([&](fw::CDialog& box) {
        seen.push_back(box.GetTemplateId() == ids.flashModeHelpDialog ? box.GetWindowText()
                                                                      : frametest::AboutBoxSeen(box, ids.version));
        box.EndDialog(IDCANCEL);
    });
    fwtest::Command(w, ids.about);
    Editor::Edit(w);
    const std::wstring title = fwtest::Text(w);
    fwtest::Command(w, ids.flashModeHelp);
    EXPECT_EQ(seen, (std::vector<std::wstring>{Editor::kAbout, L"フラッシュ書換えモードでの起動方法"}));
    EXPECT_EQ(fwtest::Text(w), title);
    EXPECT_TRUE(window.m_bModified);

    const std::wstring path = fwtest::TempPath(std::wstring(L"ctrl-s") + Editor::kExtension);
    DeleteFileW(path.c_str());
    user.fileDialogs.clear();
    user.ChooseFile(path);
    SetFocus(GetDlgItem(w, static_cast<int>(Editor::kOpenCommand)));
    EXPECT_TRUE(PressCtrlKey(window, GetFocus(), 'S'));
    EXPECT_EQ(user.fileDialogs.size(), 1u);
    EXPECT_EQ(ReadFileBytes(path).size(), Editor::Sample().size());
    EXPECT_EQ(fwtest::Text(w), std::wstring(Editor::kTitle) + L" - " + fw::FileNameOfPath(path));
}

// Save without a file asks for one (the editor's filter and extension, a warning before
// overwriting), writes what the editor shows and names the window after the file; Save again
// writes there without a question; Save As moves the window to the new file. New asks while
// the editor holds edits (No or Cancel keeps them) and empties editor, title and file.
TYPED_TEST_P(EditorContract, SaveAndNew) {
    using Editor = TypeParam;
    fwtest::ScriptedUser user;
    typename Editor::Window window;
    ASSERT_TRUE(window.Create());
    const HWND w = window.GetSafeHwnd();
    const std::wstring sample = fwtest::TempPath(std::wstring(L"sample") + Editor::kExtension);
    const std::wstring first = fwtest::TempPath(std::wstring(L"first") + Editor::kExtension);
    const std::wstring second = fwtest::TempPath(std::wstring(L"second") + Editor::kExtension);
    WriteFileBytes(sample, Editor::Sample());
    user.ChooseFile(sample);
    fwtest::Command(w, Editor::kOpenCommand);
    window.m_strPathName.clear();  // as if the sample had been typed in
    user.fileDialogs.clear();
    user.messages.clear();

    user.ChooseFile(first);
    fwtest::Command(w, Editor::kSaveCommand);
    ASSERT_EQ(user.fileDialogs.size(), 1u);
    EXPECT_FALSE(user.fileDialogs[0].open);
    EXPECT_EQ(L"." + user.fileDialogs[0].defaultExt, Editor::kExtension);
    EXPECT_EQ(user.fileDialogs[0].filter, Editor::kFilter);
    EXPECT_EQ(user.fileDialogs[0].flags & (OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT),
              static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
    EXPECT_EQ(ReadFileBytes(first), Editor::Sample());
    EXPECT_EQ(fwtest::Text(w), std::wstring(Editor::kTitle) + L" - " + fw::FileNameOfPath(first));
    EXPECT_EQ(window.m_strPathName, first);
    DeleteFileW(first.c_str());
    fwtest::Command(w, Editor::kSaveCommand);
    EXPECT_EQ(ReadFileBytes(first), Editor::Sample());
    user.ChooseFile(second);
    fwtest::Command(w, kFileSaveAs);
    EXPECT_EQ(ReadFileBytes(second), Editor::Sample());
    EXPECT_EQ(fwtest::Text(w), std::wstring(Editor::kTitle) + L" - " + fw::FileNameOfPath(second));
    EXPECT_EQ(window.m_strPathName, second);
    EXPECT_EQ(user.fileDialogs.size(), 2u);
    EXPECT_TRUE(user.messages.empty());

    const bool yesNo = (Editor::kDiscardQuestionType & MB_TYPEMASK) == MB_YESNO;
    Editor::Edit(w);
    const std::wstring title = fwtest::Text(w);
    user.Answer(yesNo ? IDNO : IDCANCEL);
    fwtest::Command(w, kFileNew);
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0].text, Editor::kDiscardQuestion);
    EXPECT_EQ(user.messages[0].type, Editor::kDiscardQuestionType);
    EXPECT_EQ(fwtest::Text(w), title);
    EXPECT_FALSE(Editor::ShowsNothing(w));
    user.Answer(yesNo ? IDYES : IDOK);
    fwtest::Command(w, kFileNew);
    EXPECT_TRUE(Editor::ShowsNothing(w));
    EXPECT_EQ(fwtest::Text(w), Editor::kTitle);
    EXPECT_FALSE(window.m_bModified);
    EXPECT_TRUE(window.m_strPathName.empty());
    fwtest::Command(w, kFileNew);  // nothing to lose: no question
    EXPECT_EQ(user.messages.size(), 2u);
}

REGISTER_TYPED_TEST_SUITE_P(EditorContract,
                            EveryWayOfClosingAsksWhileEdited,
                            TheStartupFileIsShownOrDropped,
                            OpenShowsTheFileOrLeavesEverythingAsItWas,
                            CancelledOpenAndFailedSaveChangeNothing,
                            SaveAndNew,
                            FrameChores);

// The real device libraries, noting for each call that may block whether the wait cursor was
// showing when it was made.
class CursorWatchLink : public core::ForwardingLink {
public:
    CursorWatchLink() : ForwardingLink(m_library) { m_library.Load(); }

    std::vector<bool> waitShown;  // one per call, in order

protected:
    void BeforeBlockingCall() override { waitShown.push_back(GetCursor() == LoadCursorW(nullptr, IDC_WAIT)); }

private:
    CLibraryLink m_library;
};

// On the virtual board: the connection settings open with or without a connection, and keep
// it; closing the window closes an open connection and touches no board otherwise; every call
// of a write to the first board found shows the wait cursor, also after its message, and the
// cursor that was there before comes back.
template <class Editor>
void ExpectBoardContract() {
    const std::string kClose = "Tolka_FlashModeClose(h1, 0)";
    const EditorIds& ids = Editor::kIds;
    testboard::VirtualBoard board;
    fwtest::ScriptedUser user;
    {
        typename Editor::Window window;
        ASSERT_TRUE(window.Create());
        const HWND w = window.GetSafeHwnd();
        fwtest::Command(w, ids.connectionSettings);
        EXPECT_TRUE(user.messages.empty());
        fwtest::Click(w, ids.connect);
        ASSERT_TRUE(window.IsConnected());
        const size_t told = user.messages.size();
        fwtest::Command(w, ids.connectionSettings);
        ASSERT_FALSE(board.Calls().empty());
        EXPECT_EQ(board.Calls().back(), "Tolka_OptionDlg1()");
        EXPECT_TRUE(window.IsConnected());
        EXPECT_EQ(user.messages.size(), told);
        board.ClearCalls();
        window.DestroyWindow();
        EXPECT_EQ(board.Calls(), std::vector<std::string>{kClose});
    }
    {
        typename Editor::Window window;
        ASSERT_TRUE(window.Create());
        board.ClearCalls();
        window.DestroyWindow();
        EXPECT_EQ(board.Calls(), std::vector<std::string>{});
    }
    CursorWatchLink link;
    typename Editor::Window window(link);
    ASSERT_TRUE(window.Create());
    Editor::Edit(window.GetSafeHwnd());
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(arrow);
    user.Answer(IDYES);  // write to the first board found
    fwtest::Click(window.GetSafeHwnd(), ids.writeDevice);
    EXPECT_GE(link.waitShown.size(), 4u);  // at least open, one read, the write, close
    EXPECT_EQ(std::count(link.waitShown.begin(), link.waitShown.end(), false), 0);
    EXPECT_EQ(GetCursor(), arrow);
}

// Clicks in a new window on a board with the given faults, and the control that has the
// focus afterwards.
struct FocusCase {
    const char* what;
    std::string faults;
    std::vector<UINT> clicks;
    UINT focus;
};

// A button that its own command disables hands the focus on, so that the keyboard keeps
// working: Esc still reaches the close path.
template <class Window, class Board>
void ExpectFocusMovesOn(Board& board, const std::vector<FocusCase>& cases) {
    for (const FocusCase& c : cases) {
        SCOPED_TRACE(c.what);
        board.SetFaults(c.faults);
        Window window;
        ASSERT_TRUE(window.Create());
        HWND w = window.GetSafeHwnd();
        for (UINT id : c.clicks)
            fwtest::Click(w, id);
        EXPECT_EQ(fwtest::FocusedControl(w), GetDlgItem(w, static_cast<int>(c.focus)));
        fwtest::PressKey(window, VK_ESCAPE);
        EXPECT_TRUE(window.HasEnded());
    }
}

}  // namespace editortest
