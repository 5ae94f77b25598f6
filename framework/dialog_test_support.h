// For the Windows tests of the programs' windows: a scripted user who answers message
// boxes and file dialogs, and small helpers that act like clicks and typing.
#pragma once

#include <windows.h>

#include <algorithm>
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/commands.h"
#include "framework/dialog.h"
#include "framework/filedialog.h"
#include "framework/msgbox.h"

namespace fwtest {

// A list of command or control ids to loop over (the resource headers define them as ints).
using Ids = std::initializer_list<UINT>;

struct ShownMessage {
    std::wstring text;
    UINT type;
    std::wstring caption;
};

// While it lives, no message box or file dialog is shown: message boxes are recorded and
// answered from a queue (or, when it is empty, with the box's default button, as if the
// user pressed Enter); file dialogs take the next scripted path ("" = Cancel).
class ScriptedUser {
public:
    ScriptedUser()
        : m_messageBoxes([this](const std::wstring& text, UINT type, const std::wstring& caption) {
              messages.push_back({text, type, caption});
              if (!answers.empty()) {
                  int answer = answers.front();
                  answers.pop_front();
                  return answer;
              }
              return DefaultButton(type);
          }),
          m_fileDialogs([this](const fw::CFileDialog& dlg) {
              fileDialogs.push_back({dlg.IsOpenDialog(), dlg.GetDefaultExt(), dlg.GetFilter(), dlg.GetFlags()});
              std::wstring path;
              if (!files.empty()) {
                  path = files.front();
                  files.pop_front();
              }
              return path;
          }) {}
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;

    static int DefaultButton(UINT type) {
        bool second = (type & MB_DEFMASK) == MB_DEFBUTTON2;
        switch (type & MB_TYPEMASK) {
            case MB_OKCANCEL:
                return second ? IDCANCEL : IDOK;
            case MB_YESNO:
                return second ? IDNO : IDYES;
            default:
                return IDOK;
        }
    }

    void Answer(int button) { answers.push_back(button); }
    void ChooseFile(const std::wstring& path) { files.push_back(path); }
    void CancelFileDialog() { files.push_back(std::wstring()); }

    // The texts shown so far, in order.
    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> texts;
        for (const auto& m : messages)
            texts.push_back(m.text);
        return texts;
    }

    struct FileDialogSeen {
        bool open;
        std::wstring defaultExt;
        std::wstring filter;
        DWORD flags;
    };

    std::vector<ShownMessage> messages;
    std::vector<FileDialogSeen> fileDialogs;
    std::deque<int> answers;
    std::deque<std::wstring> files;

private:
    fw::MessageBoxHookScope m_messageBoxes;
    fw::CFileDialog::HookScope m_fileDialogs;
};

// While it lives, the windows that the thread shows are cancelled after 5 s, so that a
// test which expects no system dialog ends instead of hanging when one appears.
class UnexpectedDialogGuard {
public:
    UnexpectedDialogGuard() {
        FiredFlag() = false;
        m_timer = SetTimer(nullptr, 0, 5000, &UnexpectedDialogGuard::OnTimer);
    }
    ~UnexpectedDialogGuard() { KillTimer(nullptr, m_timer); }
    UnexpectedDialogGuard(const UnexpectedDialogGuard&) = delete;
    UnexpectedDialogGuard& operator=(const UnexpectedDialogGuard&) = delete;
    bool Fired() const { return FiredFlag(); }

private:
    static bool& FiredFlag() {
        static bool fired = false;
        return fired;
    }
    static BOOL CALLBACK Cancel(HWND hwnd, LPARAM) {
        if (IsWindowVisible(hwnd)) {
            FiredFlag() = true;
            PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        }
        return TRUE;
    }
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), Cancel, 0); }
    UINT_PTR m_timer = 0;
};

// A folder of this test program's own, under the system's temporary folder.
inline std::wstring TempFolder() {
    static std::wstring folder;
    if (folder.empty()) {
        wchar_t base[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, base);
        folder = std::wstring(base) + L"tolka-test-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    return folder;
}

// A path in TempFolder where no file is (one left by an earlier test is removed).
inline std::wstring TempPath(const std::wstring& name) {
    std::wstring path = TempFolder() + name;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    return path;
}

inline void Command(HWND dlg, UINT id) {
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

inline void Click(HWND dlg, UINT id) {
    SendMessageW(GetDlgItem(dlg, static_cast<int>(id)), BM_CLICK, 0, 0);
}

inline std::wstring Text(HWND hwnd) {
    int len = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, &text[0], len + 1)));
    return text;
}

inline std::wstring ItemText(HWND dlg, UINT id) {
    return Text(GetDlgItem(dlg, static_cast<int>(id)));
}

// Types into a control as the user would: the control's text changes and it notifies.
inline void Type(HWND dlg, UINT id, const std::wstring& text) {
    SetDlgItemTextW(dlg, static_cast<int>(id), text.c_str());
}

// Opens the menu bar's popup at index as a click would, and tells whether the item with
// the command id is enabled afterwards.
inline bool MenuItemEnabled(HWND dlg, int popupIndex, UINT id) {
    HMENU popup = GetSubMenu(GetMenu(dlg), popupIndex);
    SendMessageW(dlg, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), popupIndex);
    UINT state = GetMenuState(popup, id, MF_BYCOMMAND);
    return (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

// The test programs share one display: a window another test program shows may take the
// activation from this one's. Made active again, a dialog gives the focus back to the
// control that had it, so a key or a look at the focus starts with this.
inline void KeepActive(HWND dlg) {
    HWND top = GetAncestor(dlg, GA_ROOT);
    if (top != nullptr && IsWindowVisible(top) && GetActiveWindow() != top) {
        SetForegroundWindow(top);
        SetActiveWindow(top);
    }
}

// Presses and releases a key as the system delivers it: to the control with the focus, or,
// when no window has the focus, as a system key to the active window. The dialog's
// message loop sees it first (PreTranslateMessage), then the window. Handing out F1 the
// system also queues WM_KEYF1 (which a window turns into WM_HELP); it is handled after the
// key, as the message loop would.
inline void PressKey(fw::CDialog& dlg, WPARAM key) {
    KeepActive(dlg.GetSafeHwnd());
    HWND target = GetFocus();
    UINT down = WM_KEYDOWN, up = WM_KEYUP;
    if (target == nullptr) {
        target = GetActiveWindow();
        down = WM_SYSKEYDOWN;
        up = WM_SYSKEYUP;
    }
    for (UINT message : {down, up}) {
        if (message == WM_KEYDOWN && key == VK_F1)
            PostMessageW(target, fw::kHelpKeyMessage, 0, 0);
        // lParam: one press; a release also has the previous-state and transition bits.
        LPARAM flags = static_cast<LPARAM>(message == down ? 1u : 0xC0000001u);
        MSG msg{target, message, key, flags, 0, {0, 0}};
        if (!dlg.PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    MSG queued;
    while (PeekMessageW(&queued, nullptr, fw::kHelpKeyMessage, fw::kHelpKeyMessage, PM_REMOVE))
        DispatchMessageW(&queued);
}

// Presses a key that only moves the focus (Tab, an arrow). A window of another test program may
// take the activation, and the focus, meanwhile: the key is then pressed again from where it
// started, a few times at most (a window that loses the focus every time still shows so).
inline void PressNavigationKey(fw::CDialog& dlg, WPARAM key) {
    HWND from = GetFocus();
    for (int attempt = 0; attempt < 5; ++attempt) {
        PressKey(dlg, key);
        if (GetFocus() != nullptr || from == nullptr)
            return;
        SetForegroundWindow(dlg.GetSafeHwnd());
        SetFocus(from);
    }
}

// The width in pixels of an icon's image; 0 for no icon.
inline int IconWidth(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// The control of the dialog that has the focus, or nullptr.
inline HWND FocusedControl(HWND dlg) {
    KeepActive(dlg);
    HWND focus = GetFocus();
    return focus != nullptr && IsChild(dlg, focus) ? focus : nullptr;
}

// Handles what is waiting in the thread's queue (posted commands, accelerators).
inline void PumpMessages(fw::CDialog& dlg) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!dlg.PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

// The ids of a menu's items, its popups' items included.
inline void CollectMenuIds(HMENU menu, std::vector<UINT>& ids) {
    for (int i = 0; menu != nullptr && i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i))
            CollectMenuIds(sub, ids);
        else if (UINT id = GetMenuItemID(menu, i); id != 0)
            ids.push_back(id);
    }
}

// What does not match between a window's senders of commands and its handlers: a menu item
// or an accelerator whose command no table (nor the application: help) handles, and an id
// a table handles that no menu item, accelerator or control sends. Empty when all match.
inline std::vector<std::wstring> UnmatchedCommands(const fw::CDialog& dlg, UINT acceleratorsId) {
    std::vector<UINT> senders;
    CollectMenuIds(GetMenu(dlg.GetSafeHwnd()), senders);
    if (HACCEL accel = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(acceleratorsId))) {
        std::vector<ACCEL> keys(static_cast<size_t>(CopyAcceleratorTableW(accel, nullptr, 0)));
        CopyAcceleratorTableW(accel, keys.data(), static_cast<int>(keys.size()));
        for (const ACCEL& key : keys)
            senders.push_back(key.cmd);
    }
    std::vector<UINT> handled = dlg.CommandIds();
    handled.insert(handled.end(), {IDOK, IDCANCEL, ID_HELP});  // the dialog's own, the application's
    std::vector<std::wstring> unmatched;
    auto has = [](const std::vector<UINT>& ids, UINT id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); };
    for (UINT id : senders) {
        if (!has(handled, id))
            unmatched.push_back(L"sent, not handled: " + std::to_wstring(id));
    }
    for (HWND child = GetWindow(dlg.GetSafeHwnd(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        senders.push_back(static_cast<UINT>(GetDlgCtrlID(child)));
    for (UINT id : dlg.CommandIds()) {
        if (!has(senders, id))
            unmatched.push_back(L"handled, never sent: " + std::to_wstring(id));
    }
    return unmatched;
}

}  // namespace fwtest
