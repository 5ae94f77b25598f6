// The chores every main window of the suite shares: the program icon (title bar, taskbar,
// minimised window), the About entry of the system menu, the editors' accelerators and
// Ctrl+A in edit fields.
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

#include "framework/dialog.h"

class CMainDialog : public fw::CDialog {
public:
    // The system-menu command of the About entry.
    static constexpr UINT IDM_ABOUTBOX = 0x0010;

    CMainDialog(UINT templateId, int aboutVersionControlId);

    BOOL PreTranslateMessage(MSG* msg) override;

    // Shows the About box modally; the Help menu's version item and the system menu use it.
    void OnAppAbout();

protected:
    // After the dialog's standard initialisation: the About entry (string 101), the big
    // and small icon, and in the editors accelerator table 128.
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

private:
    void AddAboutEntryToSystemMenu();
    bool OnPaintMinimised();

    int m_aboutVersionControlId;
};
