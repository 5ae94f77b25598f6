// The launcher in both languages, and the names its icon buttons carry.
#include <gtest/gtest.h>

#include "framework/language_test_support.h"
#include "framework/dialog_test_support.h"
#include "launcher/pelntoolsdlg.h"
#include "launcher/resource.h"
// After <windows.h>, which the headers above bring.
#include <commctrl.h>

namespace {

TEST(LauncherLanguages, EveryTextIsThereInBothLanguages) {
    fwtest::ExpectEveryTextInBothLanguages();
}

TEST(LauncherLanguages, EveryTextFitsItsControl) {
    fwtest::ExpectEveryTextFitsItsControl();
}

BOOL CALLBACK FindTooltip(HWND window, LPARAM found) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0)
        *reinterpret_cast<HWND*>(found) = window;
    return TRUE;
}

// Each icon button is named for a screen reader, and its tooltip shows the same name.
TEST(LauncherLanguages, EachToolButtonHasItsToolsNameAsTooltip) {
    fwtest::ScopedUiLang english(L"en");
    CPelnToolsDlg dlg;
    ASSERT_TRUE(dlg.Create());
    HWND tips = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&tips));
    ASSERT_NE(tips, nullptr);
    const UINT buttons[] = {IDC_PELNCONFIG,  IDC_TOLKAPIWRITER,    IDC_TOLKAOPTION,
                            IDC_FLASHWRITER, IDC_FIRMWARE_UPDATER, IDC_TOLKAINIWRITER};
    for (UINT id : buttons) {
        HWND button = dlg.GetDlgItem(static_cast<int>(id));
        wchar_t text[64] = {};
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.hwnd = dlg.GetSafeHwnd();
        info.uId = reinterpret_cast<UINT_PTR>(button);
        info.lpszText = text;
        ASSERT_TRUE(SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) << id;
        EXPECT_NE(fwtest::Text(button), L"") << id;
        EXPECT_EQ(text, fwtest::Text(button)) << id;
    }
}

}  // namespace
