// Dialog windows from templates, with command tables, update handlers and data exchange.
//
//   class CMyDlg : public fw::CTableDialog<CMyDlg> {
//   public:
//       CMyDlg() : CTableDialog(IDD_MY) {}
//       static const fw::DialogTables<CMyDlg> kTables;
//   protected:
//       void DoDataExchange(fw::CDataExchange& dx) override { dx.Text(IDC_NAME, m_strName); }
//   private:
//       void OnConnect();
//       static const fw::CommandEntry<CMyDlg> kCommands[];
//   };
//   const fw::CommandEntry<CMyDlg> CMyDlg::kCommands[] = {{IDC_CONNECT, &CMyDlg::OnConnect}};
//   const fw::DialogTables<CMyDlg> CMyDlg::kTables = {kCommands};
//
// DoModal runs the dialog with the framework's own modal loop, so that PreTranslateMessage
// sees every message first (accelerators). Create makes it modeless (tests drive it so).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/scopedhook.h"

namespace fw {

// WM_KEYF1, which the system queues with an F1 key press and which the headers do not name.
constexpr UINT kHelpKeyMessage = 0x004D;

class CDialog;

// --- Command tables --------------------------------------------------------------------

// A menu item, button or accelerator command (notification code 0 or 1).
template <class T>
struct CommandEntry {
    UINT id;
    void (T::*handler)();
};

// A run of command ids served by one handler that receives the id.
template <class T>
struct CommandRangeEntry {
    UINT first;
    UINT last;
    void (T::*handler)(UINT id);
};

// A control notification (e.g. EN_CHANGE) from one control.
template <class T>
struct NotifyEntry {
    UINT id;
    UINT code;
    void (T::*handler)();
};

// An update handler: says whether the menu item with this id is enabled.
template <class T>
struct UpdateEntry {
    UINT id;
    bool (T::*enabled)() const;
};

inline bool IsCommandCode(UINT code) {
    return code == 0 || code == 1;
}

// --- Data exchange -----------------------------------------------------------------------

enum class DataDirection { Show, TakeIn };

// Moves values between a dialog's controls and its members. After the first failed check
// every further call does nothing, and the caller learns of the failure from Failed().
class CDataExchange {
public:
    CDataExchange(CDialog& dlg, DataDirection direction, bool validate = true);

    bool IsTakeIn() const { return m_direction == DataDirection::TakeIn; }
    bool Failed() const { return m_failed; }

    // Text of an edit or static control. Showing leaves a control alone whose text is
    // already equal, so that no change notification is sent for nothing.
    void Text(int id, std::wstring& member);
    // At most maxChars characters: showing sets the control's input limit; taking in refuses
    // a longer text with "%1 文字以内で入力してください。" and the focus in the control.
    void MaxChars(int id, const std::wstring& member, size_t maxChars);
    // True while taking in with checks and no check has failed yet: a caller's own check
    // of the value runs only then.
    bool IsChecking() const { return IsTakeIn() && m_validate && !m_failed; }
    // A caller's own check failed: shows the message (OK, exclamation icon) and puts the
    // focus in the control, as the built-in checks do.
    void Refuse(int id, const std::wstring& message);
    // Binds a control's window handle to a member on the first exchange.
    void Control(int id, HWND& member);

private:
    void Fail(int id, const std::wstring& message);

    CDialog& m_dlg;
    DataDirection m_direction;
    bool m_validate;
    bool m_failed = false;
};

// --- Dialog --------------------------------------------------------------------------------

class CDialog {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally; returns the value given to EndDialog, or -1 when the
    // template cannot be loaded.
    INT_PTR DoModal();
    // Creates the dialog modeless and visible (tests use this); false when it fails.
    bool Create(HWND parent = nullptr);
    void DestroyWindow();
    void EndDialog(INT_PTR result);

    HWND GetSafeHwnd() const { return m_hWnd; }
    // Whether EndDialog was called, and with what (a modeless dialog is only hidden then).
    bool HasEnded() const { return m_endModal; }
    INT_PTR GetResult() const { return m_result; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::wstring GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::wstring& text);
    std::wstring GetWindowText() const;
    void SetWindowText(const std::wstring& text);
    UINT GetTemplateId() const { return m_templateId; }

    // Data exchange: takeIn true copies the controls into the members with their checks and
    // returns false when a check failed; false shows the members in the controls.
    bool UpdateData(bool takeIn = true);
    // Takes the controls into the members without any check or message.
    void TakeInWithoutChecks();

    // Offered every message of the modal loop before it is dispatched; true consumes it.
    // F1 in the window opens the help file at the window's page, if it has one.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // The window's page in the program's help file; "" (the default): F1 does nothing.
    const std::wstring& GetHelpTopic() const { return m_helpTopic; }
    void SetHelpTopic(const std::wstring& topic) { m_helpTopic = topic; }

    // Test hook, while a ModalHookScope lives: called when a modal dialog has been initialised,
    // before its loop runs; the hook may read the dialog and end it (EndDialog), so tests never
    // wait for a user.
    using ModalHook = std::function<void(CDialog& dlg)>;
    class ModalHookScope : ScopedHook<ModalHook> {
    public:
        explicit ModalHookScope(ModalHook hook);
    };

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange& dx);
    // A WM_COMMAND; true when handled. Unhandled commands go to the application.
    virtual bool OnCommand(UINT id, UINT code);
    // Update handler lookup: true when the dialog has one for id, with its answer.
    virtual bool OnUpdateCommand(UINT id, bool& enabled) const;

public:
    // The command and control ids the window's tables serve (fw::CTableDialog).
    virtual std::vector<UINT> CommandIds() const { return {}; }

protected:
    // Any other message; set handled to give the result instead of the default handling.
    virtual INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void RouteCommand(UINT id, UINT code);
    HWND ModalOwner() const;
    // The window from the template of the UI language, with its menu in that language.
    HWND CreateFromTemplate(HWND parent);

    static void DropQueuedHelpKey();
    void OnHelpKey();

    UINT m_templateId;
    UINT m_menuId = 0;
    std::wstring m_helpTopic;
    HWND m_parent;
    bool m_modal = false;
    bool m_endModal = false;
    INT_PTR m_result = -1;
};

// --- Dialogs with command tables --------------------------------------------------------------

// A table of entries of one kind, whatever its length.
template <class Entry>
struct TableView {
    const Entry* first = nullptr;
    size_t count = 0;
    const Entry* begin() const { return first; }
    const Entry* end() const { return first + count; }
};

// All of a window's tables, each named once: {kCommands, kNotifications, kUpdateHandlers} in
// any order, each kind at most once. Commands are dispatched before ranges, ranges before
// notifications.
template <class T>
struct DialogTables {
    template <class... Tables>
    DialogTables(const Tables&... tables) {
        (Take(tables), ...);
    }

    TableView<CommandEntry<T>> commands;
    TableView<CommandRangeEntry<T>> ranges;
    TableView<NotifyEntry<T>> notifications;
    TableView<UpdateEntry<T>> updates;

private:
    template <size_t N>
    void Take(const CommandEntry<T> (&t)[N]) {
        commands = {t, N};
    }
    template <size_t N>
    void Take(const CommandRangeEntry<T> (&t)[N]) {
        ranges = {t, N};
    }
    template <size_t N>
    void Take(const NotifyEntry<T> (&t)[N]) {
        notifications = {t, N};
    }
    template <size_t N>
    void Take(const UpdateEntry<T> (&t)[N]) {
        updates = {t, N};
    }
};

// A dialog (or a dialog class below Derived) whose commands, the ids it serves and its update
// handlers all come from Derived::kTables, so that what is dispatched and what is reported as
// handled cannot differ.
template <class Derived, class Base = CDialog>
class CTableDialog : public Base {
public:
    using Base::Base;

    std::vector<UINT> CommandIds() const override {
        std::vector<UINT> ids = Base::CommandIds();
        const DialogTables<Derived>& tables = Derived::kTables;
        for (const auto& e : tables.commands)
            ids.push_back(e.id);
        for (const auto& e : tables.ranges) {
            for (UINT id = e.first; id <= e.last; ++id)
                ids.push_back(id);
        }
        for (const auto& e : tables.notifications)
            ids.push_back(e.id);
        return ids;
    }

protected:
    bool OnCommand(UINT id, UINT code) override {
        Derived* self = static_cast<Derived*>(this);
        const DialogTables<Derived>& tables = Derived::kTables;
        if (IsCommandCode(code)) {
            for (const auto& e : tables.commands) {
                if (e.id == id) {
                    (self->*e.handler)();
                    return true;
                }
            }
            for (const auto& e : tables.ranges) {
                if (id >= e.first && id <= e.last) {
                    (self->*e.handler)(id);
                    return true;
                }
            }
        }
        for (const auto& e : tables.notifications) {
            if (e.id == id && e.code == code) {
                (self->*e.handler)();
                return true;
            }
        }
        return Base::OnCommand(id, code);
    }

    bool OnUpdateCommand(UINT id, bool& enabled) const override {
        const Derived* self = static_cast<const Derived*>(this);
        for (const auto& e : Derived::kTables.updates) {
            if (e.id == id) {
                enabled = (self->*e.enabled)();
                return true;
            }
        }
        return Base::OnUpdateCommand(id, enabled);
    }
};

// Walks a popup menu that is about to open and applies the update handlers: a plain item
// with a handler is enabled or disabled by it, one without keeps its state; an item that
// opens a further popup follows the handler of that popup's first item (disabled when there
// is none; skipped when that first item is a separator or a popup).
void UpdateMenuPopup(HMENU popup, const std::function<bool(UINT id, bool& enabled)>& query);

}  // namespace fw
