// The writer in both languages, and its help: which help file and page F1 and the help
// command open.
#include <gtest/gtest.h>

#include "framework/app.h"
#include "framework/language_test_support.h"
#include "framework/module.h"
#include "framework/dialog_test_support.h"
#include "framework/text.h"
#include "piwriter/piwritedlg.h"
#include "piwriter/resource.h"
#include "varnet/board_test_support.h"

namespace {

TEST(WriterLanguages, EveryTextIsThereInBothLanguages) {
    fwtest::ExpectEveryTextInBothLanguages();
}

TEST(WriterLanguages, EveryTextFitsItsControl) {
    fwtest::ExpectEveryTextFitsItsControl();
}

std::wstring ModalCaption(HWND hwnd, UINT command) {
    std::wstring caption;
    fw::CDialog::ModalHookScope hook([&](fw::CDialog& box) {
        caption = box.GetWindowText();
        box.EndDialog(IDCANCEL);
    });
    fwtest::Command(hwnd, command);
    return caption;
}

TEST(WriterLanguages, InEnglishTheWindowsAndMessagesAreEnglish) {
    fwtest::ScopedUiLang english(L"en");
    testboard::VirtualBoard board;
    fwtest::ScriptedUser user;
    CVarnPIWriteDlg dlg;
    ASSERT_TRUE(dlg.Create());
    HWND hwnd = dlg.GetSafeHwnd();
    EXPECT_EQ(fwtest::MenuBarText(hwnd, 1), L"&Device");
    EXPECT_EQ(fwtest::ItemText(hwnd, ID_READ_TO_EDITOR), L"Read into Editor");
    EXPECT_EQ(ModalCaption(hwnd, ID_APP_ABOUT), L"About TolkaPIWriter");
    EXPECT_EQ(ModalCaption(hwnd, IDC_FLASHMODE_HELP), L"Starting a board in flash-rewrite mode");

    // One message of each kind of box, in the order a user meets them.
    fwtest::ExpectLastMessages(
        user,
        {
            {[&] { fwtest::Click(hwnd, IDC_WRITE_DEVICE); }, L"No UUID has been entered.", MB_OK | MB_ICONEXCLAMATION},
            {[&] { fwtest::Click(hwnd, IDC_CONNECT); }, L"Connected to a USB device.", MB_OK | MB_ICONINFORMATION},
            {[&] {
                 fwtest::Type(hwnd, IDC_MAKER, L"m");
                 fwtest::Command(hwnd, ID_FILE_NEW);
             },
             L"Discard the contents you are editing?", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2},
            {[&] { fwtest::Command(hwnd, ID_FILE_EXIT); },
             L"The file you are editing will be discarded and the program will end.",
             MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2},
            {[&] {
                 fwtest::Type(hwnd, IDC_MAKER, std::wstring(32, L'm'));
                 fwtest::Click(hwnd, IDC_WRITE_DEVICE);
             },
             L"Enter at most 31 characters.", MB_OK | MB_ICONEXCLAMATION},
        });
}

// A help file where the program would look for it, for as long as the test runs.
class HelpFilePresent {
public:
    HelpFilePresent() : m_path(fw::CWinApp::HelpFilePath()) {
        CloseHandle(CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    ~HelpFilePresent() { DeleteFileW(m_path.c_str()); }
    const std::wstring m_path;
};

TEST(WriterHelp, F1AndTheHelpCommandOpenTheLanguagesFileAtTheWindowsPage) {
    struct {
        const wchar_t* lang;
        const wchar_t* fileEnd;
        bool inFlashModeHelp;
        bool byMenu;
        const wchar_t* page;
    } rows[] = {
        {L"ja", L"piwriter_window_tests.CHM", false, true, L"window.htm"},
        {L"ja", L"piwriter_window_tests.CHM", false, false, L"window.htm"},
        {L"en", L"piwriter_window_testsEN.CHM", false, false, L"window.htm"},
        {L"en", L"piwriter_window_testsEN.CHM", true, false, L"flashmode.htm"},
    };
    for (const auto& row : rows) {
        fwtest::ScopedUiLang lang(row.lang);
        HelpFilePresent file;
        fwtest::ScriptedUser user;
        fw::CWinApp app;
        CVarnPIWriteDlg dlg;
        app.m_pMainWnd = &dlg;
        ASSERT_TRUE(dlg.Create());
        std::vector<std::wstring> opened;
        fw::HelpViewerHookScope viewer([&](const std::wstring& target) { opened.push_back(target); });
        if (row.inFlashModeHelp) {
            fw::CDialog::ModalHookScope hook([&](fw::CDialog& box) {
                fwtest::PressKey(box, VK_F1);
                box.EndDialog(IDCANCEL);
            });
            fwtest::Command(dlg.GetSafeHwnd(), IDC_FLASHMODE_HELP);
        } else if (row.byMenu) {
            fwtest::Command(dlg.GetSafeHwnd(), ID_HELP);
        } else {
            SetFocus(GetDlgItem(dlg.GetSafeHwnd(), IDC_UUID));
            fwtest::PressKey(dlg, VK_F1);
        }
        app.m_pMainWnd = nullptr;
        EXPECT_EQ(user.messages.size(), 0u) << row.page;
        ASSERT_EQ(opened.size(), 1u) << row.page;
        EXPECT_EQ(opened[0], file.m_path + L"::/" + row.page);
        EXPECT_EQ(fw::FileNameOfPath(file.m_path), row.fileEnd);
    }
}

}  // namespace
