// The chores every main window of the suite shares: the program icon (title bar, taskbar,
// minimised window), the About entry of the system menu, the editors' accelerators,
// Ctrl+A in edit fields, and the window's place: where the user last closed it (per user, in
// HKEY_CURRENT_USER\Software\Tolka\<program>), at first centred on the pointer's monitor.
//
//   class CMyDlg : public CMainDialog {
//       CMyDlg() : CMainDialog(IDD_MAIN, IDC_VERSION) {}
//       BOOL OnInitDialog() override {
//           CDialog::OnInitDialog();
//           InitMainWindow(true);     // About entry, icons, accelerator table 128
//           ...
//       }
//   };
#pragma once

#include <string>

#include "framework/dialog.h"

class CMainDialog : public fw::CDialog {
public:
    // The system-menu command of the About entry.
    static constexpr UINT IDM_ABOUTBOX = 0x0010;
    // The main window's page in its program's help file, which F1 opens (help/CMakeLists.txt).
    static constexpr const wchar_t* kMainWindowHelpPage = L"window.htm";

    CMainDialog(UINT templateId, int aboutVersionControlId);
    // Destroys the window while it is still this class's, so that its place is remembered.
    ~CMainDialog() override;

    BOOL PreTranslateMessage(MSG* msg) override;

    // Shows the About box modally; the Help menu's version item and the system menu use it.
    void OnAppAbout();

protected:
    // After the dialog's standard initialisation: the window's place, the About entry
    // (string 101), the big and small icon, and in the editors accelerator table 128.
    void InitMainWindow(bool loadAccelerators);
    // Selects the whole text of the focused edit field (Ctrl+A).
    void SelectAllInFocusedEdit();
    // Enables or disables a control. A control that loses the focus this way hands it on
    // to the next enabled control in tab order, as Tab would: a window without a focus
    // ignores Esc, Enter and Tab.
    void EnableControl(int id, bool enable);
    // Enables or disables each control that has an update handler, by the same handler that
    // enables its menu item; enabling first, so that the focus of a control disabled here
    // can go to one enabled.
    void UpdateControls();

    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

    HICON m_hIcon;
    HACCEL m_hAccel = nullptr;
    // The registry key, under HKEY_CURRENT_USER, that remembers where the window was closed:
    // Software\Tolka\ and the program's file name without extension.
    std::wstring m_placementKey;

private:
    void AddAboutEntryToSystemMenu();
    bool OnPaintMinimised();
    // Opens the window where it was last closed, moved onto a monitor that is there; the
    // first time centred on the monitor of the pointer.
    void PlaceWindow();
    // On closing: remembers the window's place (its place before it was minimised).
    void RememberPlace();

    int m_aboutVersionControlId;
};
