// The system's open and save dialogs.
//
//   fw::CFileDialog dlg(true, L"tpi", L"PIファイル (*.tpi)|*.tpi||", OFN_HIDEREADONLY, owner);
//   if (dlg.DoModal() != IDOK) return;
//   use(dlg.GetPathName(), dlg.GetFileName());
//
// The filter is written as pairs "description|pattern|" ended by an extra '|'.
#pragma once

#include <windows.h>
// After windows.h: OFN_* flags for the callers.
#include <commdlg.h>

#include <functional>
#include <string>

#include "framework/scopedhook.h"

namespace fw {

class CFileDialog {
public:
    CFileDialog(bool openDialog, const std::wstring& defaultExt, const std::wstring& filter, DWORD flags, HWND owner);

    // IDOK with a chosen file, IDCANCEL when the user cancelled.
    INT_PTR DoModal();
    std::wstring GetPathName() const { return m_pathName; }
    std::wstring GetFileName() const;

    bool IsOpenDialog() const { return m_openDialog; }
    const std::wstring& GetDefaultExt() const { return m_defaultExt; }
    const std::wstring& GetFilter() const { return m_filter; }
    DWORD GetFlags() const;

    // Test hook, while a HookScope lives: no dialog is shown; the hook sees the dialog's
    // settings and returns the chosen full path, or an empty text for Cancel. An empty hook
    // shows the real dialog again.
    using Hook = std::function<std::wstring(const CFileDialog& dlg)>;
    class HookScope : ScopedHook<Hook> {
    public:
        explicit HookScope(Hook hook);
    };

private:
    bool m_openDialog;
    std::wstring m_defaultExt;
    std::wstring m_filter;
    DWORD m_flags;
    HWND m_owner;
    std::wstring m_pathName;
};

}  // namespace fw
