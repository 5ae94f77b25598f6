// The option editor in both languages.
#include <gtest/gtest.h>

#include "framework/language_test_support.h"
#include "framework/dialog_test_support.h"
#include "option/optiondlg.h"
#include "option/resource.h"
#include "varnet/board_test_support.h"

namespace {

TEST(OptionLanguages, EveryTextIsThereInBothLanguages) {
    fwtest::ExpectEveryTextInBothLanguages();
}

TEST(OptionLanguages, EveryTextFitsItsControl) {
    fwtest::ExpectEveryTextFitsItsControl();
}

TEST(OptionLanguages, InEnglishTheWindowAndItsMessagesAreEnglish) {
    fwtest::ScopedUiLang english(L"en");
    testboard::VirtualBoard board;
    fwtest::ScriptedUser user;
    CTolkaOptionDlg dlg;
    ASSERT_TRUE(dlg.Create());
    HWND hwnd = dlg.GetSafeHwnd();
    EXPECT_EQ(fwtest::MenuBarText(hwnd, 3), L"&Help");
    EXPECT_EQ(fwtest::ItemText(hwnd, ID_PRODUCT_INFO), L"Product Info");

    // One message of each kind of box; the last message each action shows.
    fwtest::ExpectLastMessages(
        user,
        {
            {[&] { fwtest::Click(hwnd, ID_READ_DEVICE); }, L"No settings data was found.", MB_OK | MB_ICONEXCLAMATION},
            {[&] {
                 user.Answer(IDYES);
                 fwtest::Command(hwnd, ID_ERASE_DEVICE);
             },
             L"Erased.", MB_OK | MB_ICONINFORMATION},
            {[&] {
                 fwtest::Click(hwnd, IDC_DIR_P1);
                 fwtest::Command(hwnd, ID_FILE_NEW);
             },
             L"Discard the file you are editing?", MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2},
            {[&] {
                 fwtest::Click(hwnd, ID_DISCONNECT);
                 fwtest::Click(hwnd, ID_WRITE_DEVICE);
             },
             L"The settings will be written to the first device found. Continue?",
             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2},
        });
}

}  // namespace
