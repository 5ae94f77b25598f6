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
//   };
//   TEST(WriterWindow, KeepsTheEditorsContract) { editortest::ExpectEditorContract<Writer>(); }
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/test_support.h"
#include "framework/text.h"

namespace editortest {

constexpr UINT kOkWarning = MB_OK | MB_ICONEXCLAMATION;
constexpr UINT kAskOkCancel = 0x121;
const wchar_t kCannotOpen[] = L"ファイルが開けませんでした。";
const wchar_t kBadFormat[] = L"ファイルの形式が正しくありません。";
const wchar_t kDiscardFile[] = L"編集中のファイルを破棄しますか。";

inline void WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& data) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
    CloseHandle(h);
}

inline std::vector<uint8_t> ReadFileBytes(const std::wstring& path) {
    std::vector<uint8_t> data;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return data;
    uint8_t buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0)
        data.insert(data.end(), buf, buf + n);
    CloseHandle(h);
    return data;
}

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

// Every way of closing asks while the editor holds edits, and Cancel keeps the window;
// without edits it closes at once.
template <class Editor>
void ExpectEveryWayOfClosingAsksWhileEdited(fwtest::ScriptedUser& user) {
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
template <class Editor>
void ExpectTheStartupFileShownOrDropped(fwtest::ScriptedUser& user) {
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
template <class Editor>
void ExpectOpenShowsTheFileOrLeavesEverythingAsItWas(fwtest::ScriptedUser& user) {
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
template <class Editor>
void ExpectCancelledOpenAndFailedSaveChangeNothing(fwtest::ScriptedUser& user) {
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

template <class Editor>
void ExpectEditorContract() {
    fwtest::ScriptedUser user;
    ExpectEveryWayOfClosingAsksWhileEdited<Editor>(user);
    ExpectTheStartupFileShownOrDropped<Editor>(user);
    ExpectOpenShowsTheFileOrLeavesEverythingAsItWas<Editor>(user);
    ExpectCancelledOpenAndFailedSaveChangeNothing<Editor>(user);
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
