#include "common/mainframe.h"

#include <utility>
#include <vector>

#include "common/about.h"
#include "framework/module.h"

namespace {
constexpr UINT kProgramIconId = 128;
constexpr UINT kAcceleratorsId = 128;
constexpr UINT kAboutEntryStringId = 101;
}  // namespace

CMainDialog::CMainDialog(UINT templateId, int aboutVersionControlId)
    : CDialog(templateId),
      m_hIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId))),
      m_aboutVersionControlId(aboutVersionControlId) {}

void CMainDialog::InitMainWindow(bool loadAccelerators) {
    AddAboutEntryToSystemMenu();
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    if (loadAccelerators)
        m_hAccel = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kAcceleratorsId));
}

void CMainDialog::AddAboutEntryToSystemMenu() {
    HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE);
    if (systemMenu == nullptr)
        return;
    std::wstring entry = fw::LoadResString(kAboutEntryStringId);
    if (entry.empty())
        return;
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, entry.c_str());
}

BOOL CMainDialog::PreTranslateMessage(MSG* msg) {
    if (m_hAccel != nullptr && TranslateAcceleratorW(m_hWnd, m_hAccel, msg))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void CMainDialog::OnAppAbout() {
    CAboutDlg about(m_aboutVersionControlId);
    about.DoModal();
}

void CMainDialog::SelectAllInFocusedEdit() {
    HWND focus = GetFocus();
    if (focus == nullptr || GetParent(focus) != m_hWnd)
        return;
    wchar_t className[16] = {};
    GetClassNameW(focus, className, 16);
    if (lstrcmpiW(className, L"Edit") == 0)
        SendMessageW(focus, EM_SETSEL, 0, -1);
}

void CMainDialog::EnableControl(int id, bool enable) {
    HWND control = GetDlgItem(id);
    if (control == nullptr)
        return;
    HWND focus = GetFocus();
    bool hadFocus = !enable && focus != nullptr && (focus == control || IsChild(control, focus));
    EnableWindow(control, enable);
    if (!hadFocus)
        return;
    HWND next = GetNextDlgTabItem(m_hWnd, control, FALSE);
    if (next != nullptr && next != control && IsWindowEnabled(next))
        SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
}

void CMainDialog::UpdateControls() {
    std::vector<std::pair<int, bool>> states;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        bool enabled = true;
        if (OnUpdateCommand(static_cast<UINT>(id), enabled))
            states.emplace_back(id, enabled);
    }
    for (bool enable : {true, false}) {
        for (const auto& [id, enabled] : states) {
            if (enabled == enable)
                EnableControl(id, enabled);
        }
    }
}

bool CMainDialog::OnPaintMinimised() {
    if (!IsIconic(m_hWnd))
        return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    int cxIcon = GetSystemMetrics(SM_CXICON);
    int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(m_hWnd, &rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &ps);
    return true;
}

INT_PTR CMainDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
    switch (msg) {
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
                OnAppAbout();
                handled = true;
            }
            return 0;
        case WM_PAINT:
            handled = OnPaintMinimised();
            return 0;
        case WM_QUERYDRAGICON:
            handled = true;
            return reinterpret_cast<INT_PTR>(m_hIcon);
        default:
            return 0;
    }
}
