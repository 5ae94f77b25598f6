// For the three programs' Wine tests: what the main-window frame (common/mainframe.h) gives
// every main window, checked the same way on each.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/mainframe.h"
#include "framework/syslib.h"
#include "framework/dialog_test_support.h"

namespace frametest {

inline std::wstring MenuItemText(HMENU menu, UINT position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

// The About box as the modal hook sees it: "caption|name|version".
inline std::wstring AboutBoxSeen(fw::CDialog& box, UINT versionId) {
    const HWND name = GetWindow(GetWindow(box.GetSafeHwnd(), GW_CHILD), GW_HWNDNEXT);
    return box.GetWindowText() + L"|" + fwtest::Text(name) + L"|" + box.GetDlgItemText(static_cast<int>(versionId));
}

// A main window whose program numbers its icon and keys mainFrameId and the About box's
// version versionId: every menu item, key and button has a handler and every handler a sender;
// the program's icon in the title bar, on the taskbar and while dragged; the About entry ends
// the system menu after a separator and opens the About box (about: "caption|name|version")
// over the disabled window, the version read from the version resource, empty without the
// version library.
template <class Window>
void ExpectMainWindowChores(fwtest::ScriptedUser& user,
                            UINT mainFrameId,
                            UINT versionId,
                            const wchar_t* aboutEntry,
                            const std::wstring& about) {
    const size_t told = user.messages.size();
    Window window;
    ASSERT_TRUE(window.Create());
    const HWND w = window.GetSafeHwnd();
    EXPECT_EQ(fwtest::UnmatchedCommands(window, mainFrameId), std::vector<std::wstring>{});

    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(mainFrameId));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(w, WM_GETICON, ICON_BIG, 0)), icon);
    EXPECT_EQ(fwtest::IconWidth(reinterpret_cast<HICON>(SendMessageW(w, WM_GETICON, ICON_SMALL, 0))),
              GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(w, WM_QUERYDRAGICON, 0, 0)), icon);
    EXPECT_TRUE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(GetWindowLongW(w, GWL_STYLE) & WS_MINIMIZEBOX);

    HMENU sys = GetSystemMenu(w, FALSE);
    const UINT last = static_cast<UINT>(GetMenuItemCount(sys) - 1);
    ASSERT_GE(last, 1u);
    EXPECT_EQ(GetMenuItemID(sys, static_cast<int>(last)), CMainDialog::IDM_ABOUTBOX);
    EXPECT_EQ(MenuItemText(sys, last), aboutEntry);
    EXPECT_NE(GetMenuState(sys, last - 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);

    std::vector<std::wstring> seen;
    {
        fw::CDialog::ModalHookScope hook([&](fw::CDialog& box) {
            seen.push_back(IsWindowEnabled(w) ? L"over an enabled window" : AboutBoxSeen(box, versionId));
            box.EndDialog(IDOK);
        });
        SendMessageW(w, WM_SYSCOMMAND, CMainDialog::IDM_ABOUTBOX, 0);
        SendMessageW(w, WM_SYSCOMMAND, CMainDialog::IDM_ABOUTBOX | 0xF, 0);  // the low four bits are the system's
        fw::RefuseSystemLibraryForTest(L"version.dll");
        SendMessageW(w, WM_SYSCOMMAND, CMainDialog::IDM_ABOUTBOX, 0);
        fw::RefuseSystemLibraryForTest(nullptr);
    }
    const std::wstring unversioned = about.substr(0, about.rfind(L'|') + 1);
    EXPECT_EQ(seen, (std::vector<std::wstring>{about, about, unversioned}));
    EXPECT_TRUE(IsWindowEnabled(w));
    EXPECT_EQ(user.messages.size(), told);
}

}  // namespace frametest
