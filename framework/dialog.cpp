#include "framework/dialog.h"

#include <new>

#include "core/digits.h"
#include "core/textids.h"
#include "framework/app.h"
#include "framework/codepage.h"
#include "framework/language.h"
#include "framework/module.h"
#include "framework/msgbox.h"
#include "framework/text.h"
#include "framework/waitcursor.h"

namespace fw {

namespace {

// Window text of any window, whatever its length.
std::wstring GetWindowTextString(HWND hwnd) {
    int len = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    int got = GetWindowTextW(hwnd, &text[0], len + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

}  // namespace

// --- Data exchange -----------------------------------------------------------------------

CDataExchange::CDataExchange(CDialog& dlg, DataDirection direction, bool validate)
    : m_dlg(dlg), m_direction(direction), m_validate(validate) {}

void CDataExchange::Text(int id, std::wstring& member) {
    if (m_failed)
        return;
    if (IsTakeIn()) {
        member = m_dlg.GetDlgItemText(id);
    } else if (m_dlg.GetDlgItemText(id) != member) {
        m_dlg.SetDlgItemText(id, member);
    }
}

void CDataExchange::MaxChars(int id, const std::wstring& member, size_t maxChars) {
    if (m_failed)
        return;
    if (!IsTakeIn()) {
        SendMessageW(m_dlg.GetDlgItem(id), EM_LIMITTEXT, maxChars, 0);
    } else if (m_validate && member.size() > maxChars) {
        Fail(id, FormatMessageText(LoadResString(IDS_FW_MAX_CHARS), core::DecimalText<wchar_t>(maxChars)));
    }
}

void CDataExchange::Refuse(int id, const std::wstring& message) {
    if (!m_failed)
        Fail(id, message);
}

void CDataExchange::Control(int id, HWND& member) {
    if (member == nullptr)
        member = m_dlg.GetDlgItem(id);
}

void CDataExchange::Fail(int id, const std::wstring& message) {
    m_failed = true;
    AppMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    if (HWND control = m_dlg.GetDlgItem(id)) {
        SetFocus(control);
        SendMessageW(control, EM_SETSEL, 0, -1);
    }
}

// --- Dialog --------------------------------------------------------------------------------

namespace {
CDialog::ModalHook& ModalHookSlot() {
    static CDialog::ModalHook hook;
    return hook;
}

// Messages whose result a dialog procedure returns directly instead of in DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT msg) {
    switch (msg) {
        case WM_CHARTOITEM:
        case WM_COMPAREITEM:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_VKEYTOITEM:
            return true;
        default:
            return false;
    }
}
// The menu a DLGTEMPLATEEX names by number (0: none or a named one). The template starts with
// dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy: 26 bytes.
UINT TemplateMenuId(const void* dialogTemplate) {
    const auto* words = static_cast<const WORD*>(dialogTemplate);
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    const WORD* menu = words + (extended ? 13 : 9);
    return menu[0] == 0xFFFF ? menu[1] : 0;
}

// The system loads a template's menu without regard to the UI language: the menu of the
// UI language replaces it.
void ShowMenuInUiLanguage(HWND hwnd, UINT menuId) {
    const void* menuTemplate = LockUiResource(RT_MENU, MAKEINTRESOURCEW(menuId));
    HMENU menu = menuTemplate ? LoadMenuIndirectW(menuTemplate) : nullptr;
    if (menu == nullptr)
        return;
    HMENU old = GetMenu(hwnd);
    SetMenu(hwnd, menu);
    if (old != nullptr)
        DestroyMenu(old);
}
}  // namespace

CDialog::ModalHookScope::ModalHookScope(ModalHook hook) : ScopedHook(ModalHookSlot(), std::move(hook)) {}

CDialog::CDialog(UINT templateId, HWND parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() {
    DestroyWindow();
}

HWND CDialog::ModalOwner() const {
    HWND owner = m_parent;
    if (owner == nullptr) {
        if (CWinApp* app = AfxGetApp())
            owner = app->GetMainHwnd();
    }
    if (owner == nullptr)
        owner = GetActiveWindow();
    return owner ? GetAncestor(owner, GA_ROOT) : nullptr;
}

INT_PTR CDialog::DoModal() {
    HWND owner = ModalOwner();
    m_modal = true;
    m_endModal = false;
    m_result = -1;
    HWND hwnd = CreateFromTemplate(owner);
    if (hwnd == nullptr) {
        m_modal = false;
        return -1;
    }
    bool reenableOwner = owner != nullptr && IsWindowEnabled(owner);
    if (reenableOwner)
        EnableWindow(owner, FALSE);
    if (!m_endModal) {
        ShowWindow(hwnd, SW_SHOW);
        if (ModalHookSlot())
            ModalHookSlot()(*this);
    }
    bool quit = false;
    MSG msg{};
    while (!m_endModal) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            quit = true;
            break;
        }
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The owner is enabled before this window goes, so that it gets the activation back.
    if (reenableOwner)
        EnableWindow(owner, TRUE);
    if (owner != nullptr && GetActiveWindow() == hwnd)
        SetActiveWindow(owner);
    DestroyWindow();
    m_modal = false;
    if (quit)
        PostQuitMessage(static_cast<int>(msg.wParam));
    return m_result;
}

bool CDialog::Create(HWND parent) {
    m_modal = false;
    m_endModal = false;
    HWND hwnd = CreateFromTemplate(parent);
    if (hwnd == nullptr)
        return false;
    ShowWindow(hwnd, SW_SHOW);
    return true;
}

HWND CDialog::CreateFromTemplate(HWND parent) {
    const void* dialogTemplate = LockUiResource(RT_DIALOG, MAKEINTRESOURCEW(m_templateId));
    if (dialogTemplate == nullptr)
        return nullptr;
    m_menuId = TemplateMenuId(dialogTemplate);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(dialogTemplate), parent,
                                      StaticDialogProc, reinterpret_cast<LPARAM>(this));
}

void CDialog::DestroyWindow() {
    if (m_hWnd != nullptr) {
        HWND hwnd = m_hWnd;
        ::DestroyWindow(hwnd);
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        m_hWnd = nullptr;
    }
}

void CDialog::EndDialog(INT_PTR result) {
    m_result = result;
    m_endModal = true;
    if (m_modal) {
        PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wakes the modal loop
    } else if (m_hWnd != nullptr) {
        ShowWindow(m_hWnd, SW_HIDE);
    }
}

std::wstring CDialog::GetDlgItemText(int id) const {
    HWND control = GetDlgItem(id);
    return control ? GetWindowTextString(control) : std::wstring();
}

void CDialog::SetDlgItemText(int id, const std::wstring& text) {
    ::SetDlgItemTextW(m_hWnd, id, text.c_str());
}

std::wstring CDialog::GetWindowText() const {
    return GetWindowTextString(m_hWnd);
}

void CDialog::SetWindowText(const std::wstring& text) {
    ::SetWindowTextW(m_hWnd, text.c_str());
}

bool CDialog::UpdateData(bool takeIn) {
    CDataExchange dx(*this, takeIn ? DataDirection::TakeIn : DataDirection::Show);
    DoDataExchange(dx);
    return !dx.Failed();
}

void CDialog::TakeInWithoutChecks() {
    CDataExchange dx(*this, DataDirection::TakeIn, false);
    DoDataExchange(dx);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (m_hWnd == nullptr)
        return FALSE;
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F1 && (msg->hwnd == m_hWnd || IsChild(m_hWnd, msg->hwnd))) {
        DropQueuedHelpKey();
        OnHelpKey();
        return TRUE;
    }
    return IsDialogMessageW(m_hWnd, msg);
}

// Handing out an F1 key press, the system also queues WM_KEYF1, which a window turns into
// WM_HELP: taken here, the press would ask for help a second time.
void CDialog::DropQueuedHelpKey() {
    MSG queued;
    while (PeekMessageW(&queued, nullptr, kHelpKeyMessage, kHelpKeyMessage, PM_REMOVE)) {
    }
}

void CDialog::OnHelpKey() {
    CWinApp* app = AfxGetApp();
    if (app != nullptr && !m_helpTopic.empty())
        app->ShowHelp(m_helpTopic);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange&) {}

bool CDialog::OnCommand(UINT, UINT) {
    return false;
}

bool CDialog::OnUpdateCommand(UINT, bool&) const {
    return false;
}

INT_PTR CDialog::OnMessage(UINT, WPARAM, LPARAM, bool&) {
    return 0;
}

void CDialog::RouteCommand(UINT id, UINT code) {
    if (OnCommand(id, code))
        return;
    if (!IsCommandCode(code))
        return;
    if (id == IDOK) {
        OnOK();
    } else if (id == IDCANCEL) {
        OnCancel();
    } else if (CWinApp* app = AfxGetApp()) {
        app->OnCommand(id);
    }
}

INT_PTR CDialog::DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND: {
            CCommandCursor cursor;
            RouteCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        }
        case WM_HELP:
            OnHelpKey();
            return TRUE;
        case WM_INITMENUPOPUP:
            UpdateMenuPopup(reinterpret_cast<HMENU>(wParam),
                            [this](UINT id, bool& enabled) { return OnUpdateCommand(id, enabled); });
            return TRUE;
        default:
            break;
    }
    bool handled = false;
    INT_PTR result = OnMessage(msg, wParam, lParam, handled);
    if (!handled)
        return FALSE;
    if (ReturnsResultDirectly(msg))
        return result;
    SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        auto* created = reinterpret_cast<CDialog*>(lParam);
        created->m_hWnd = hwnd;
        if (created->m_menuId != 0)
            ShowMenuInUiLanguage(hwnd, created->m_menuId);
    }
    auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr)
        return FALSE;
    // No exception may unwind through the system's frames.
    try {
        return self->DialogProc(msg, wParam, lParam);
    } catch (const std::bad_alloc&) {
        AppMessageBox(IDS_FW_OUT_OF_MEMORY, MB_OK);
    } catch (...) {
        AppMessageBox(IDS_FW_UNEXPECTED_ERROR, MB_OK);
    }
    return FALSE;
}

// --- Menu update walk ------------------------------------------------------------------------

void UpdateMenuPopup(HMENU popup, const std::function<bool(UINT id, bool& enabled)>& query) {
    int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        UINT id = GetMenuItemID(popup, i);
        if (id == 0)
            continue;  // separator
        bool enabled = true;
        if (id == static_cast<UINT>(-1)) {
            HMENU sub = GetSubMenu(popup, i);
            if (sub == nullptr)
                continue;
            UINT firstId = GetMenuItemID(sub, 0);
            if (firstId == 0 || firstId == static_cast<UINT>(-1))
                continue;
            if (!query(firstId, enabled))
                enabled = false;
        } else if (!query(id, enabled)) {
            continue;  // no update handler: the item keeps its state
        }
        EnableMenuItem(popup, static_cast<UINT>(i), MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
    }
}

}  // namespace fw
