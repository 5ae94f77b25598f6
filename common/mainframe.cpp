#include "common/mainframe.h"

#include <utility>
#include <vector>

#include "common/about.h"
#include "framework/handle.h"
#include "framework/placement.h"
#include "framework/module.h"

namespace {
constexpr UINT kProgramIconId = 128;
constexpr UINT kAcceleratorsId = 128;
constexpr UINT kAboutEntryStringId = 101;
// The window's top left corner in screen coordinates, as two's complement DWORDs (a monitor
// left of or above the primary one has negative coordinates).
const wchar_t* const kPlaceValues[] = {L"WindowLeft", L"WindowTop"};

ScreenRect ScreenRectOf(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

RECT WorkAreaOf(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    return info.rcWork;
}
}  // namespace

CMainDialog::CMainDialog(UINT templateId, int aboutVersionControlId)
    : CDialog(templateId),
      m_hIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId))),
      m_placementKey(L"Software\\Tolka\\" + fw::GetAppName()),
      m_aboutVersionControlId(aboutVersionControlId) {}

CMainDialog::~CMainDialog() {
    DestroyWindow();
}

void CMainDialog::InitMainWindow(bool loadAccelerators) {
    PlaceWindow();
    AddAboutEntryToSystemMenu();
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    // The title bar's and the taskbar's small icon from the icon's own small image, not the
    // big one scaled down.
    HANDLE small = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                              GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small != nullptr ? small : m_hIcon));
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

void CMainDialog::PlaceWindow() {
    RECT made;
    ::GetWindowRect(m_hWnd, &made);
    DWORD corner[2] = {};
    bool remembered = true;
    for (size_t i = 0; i < 2 && remembered; ++i) {
        DWORD size = sizeof corner[i];
        remembered = RegGetValueW(HKEY_CURRENT_USER, m_placementKey.c_str(), kPlaceValues[i], RRF_RT_REG_DWORD, nullptr,
                                  &corner[i], &size) == ERROR_SUCCESS;
    }
    ScreenRect place;
    if (remembered) {
        const LONG left = RememberedCorner(corner[0]);
        const LONG top = RememberedCorner(corner[1]);
        const RECT last{left, top, left + made.right - made.left, top + made.bottom - made.top};
        // The monitor it was closed on, or, when that one is gone, the nearest that is there.
        HMONITOR monitor = MonitorFromRect(&last, MONITOR_DEFAULTTONULL);
        if (monitor == nullptr)
            monitor = MonitorFromRect(&last, MONITOR_DEFAULTTONEAREST);
        place = MovedOnto(ScreenRectOf(last), ScreenRectOf(WorkAreaOf(monitor)));
    } else {
        POINT pointer{};
        GetCursorPos(&pointer);
        place = CentredOn(ScreenRectOf(made),
                          ScreenRectOf(WorkAreaOf(MonitorFromPoint(pointer, MONITOR_DEFAULTTOPRIMARY))));
    }
    SetWindowPos(m_hWnd, nullptr, static_cast<int>(place.left), static_cast<int>(place.top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainDialog::RememberPlace() {
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (IsIconic(m_hWnd) && GetWindowPlacement(m_hWnd, &placement)) {
        // Minimised: the place it is restored to, from workspace coordinates (relative to its
        // monitor's work area) into screen coordinates.
        window = placement.rcNormalPosition;
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoW(MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &info);
        OffsetRect(&window, info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top);
    }
    fw::RegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, m_placementKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(),
                        nullptr) != ERROR_SUCCESS)
        return;
    const LONG corner[2] = {window.left, window.top};
    for (size_t i = 0; i < 2; ++i) {
        const auto value = static_cast<DWORD>(corner[i]);
        RegSetValueExW(key.Get(), kPlaceValues[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
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
        case WM_DESTROY:
            RememberPlace();
            return 0;
        default:
            return 0;
    }
}
