#include "framework/filedialog.h"

#include <cderr.h>
#include <commdlg.h>

#include "framework/syslib.h"
#include "framework/text.h"

namespace fw {

namespace {
CFileDialog::Hook& HookSlot() {
    static CFileDialog::Hook hook;
    return hook;
}
}  // namespace

CFileDialog::HookScope::HookScope(Hook hook) : ScopedHook(HookSlot(), std::move(hook)) {}

CFileDialog::CFileDialog(bool openDialog,
                         const std::wstring& defaultExt,
                         const std::wstring& filter,
                         DWORD flags,
                         HWND owner)
    : m_openDialog(openDialog), m_defaultExt(defaultExt), m_filter(filter), m_flags(flags), m_owner(owner) {}

DWORD CFileDialog::GetFlags() const {
    DWORD flags = m_flags | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!m_openDialog)
        flags |= OFN_OVERWRITEPROMPT;
    return flags;
}

std::wstring CFileDialog::GetFileName() const {
    return FileNameOfPath(m_pathName);
}

INT_PTR CFileDialog::DoModal() {
    if (HookSlot()) {
        m_pathName = HookSlot()(*this);
        return m_pathName.empty() ? IDCANCEL : IDOK;
    }
    // The file dialogs are loaded when first asked for; without them the dialog ends as cancelled.
    using FileDialogFn = BOOL(WINAPI*)(OPENFILENAMEW*);
    using ExtendedErrorFn = DWORD(WINAPI*)();
    auto show = SystemFunction<FileDialogFn>(L"comdlg32.dll", m_openDialog ? "GetOpenFileNameW" : "GetSaveFileNameW");
    auto extendedError = SystemFunction<ExtendedErrorFn>(L"comdlg32.dll", "CommDlgExtendedError");
    if (show == nullptr || extendedError == nullptr)
        return IDCANCEL;
    // The system wants the filter's parts separated by NULs.
    std::wstring filter = m_filter;
    for (wchar_t& c : filter) {
        if (c == L'|')
            c = L'\0';
    }
    filter.push_back(L'\0');

    // Grown and asked again when the chosen path does not fit.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = m_owner;
        ofn.lpstrFilter = filter.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = &buffer[0];
        ofn.nMaxFile = static_cast<DWORD>(buffer.size());
        ofn.lpstrDefExt = m_defaultExt.empty() ? nullptr : m_defaultExt.c_str();
        ofn.Flags = GetFlags();
        if (show(&ofn)) {
            m_pathName = buffer.c_str();
            return IDOK;
        }
        if (extendedError() == FNERR_BUFFERTOOSMALL && buffer.size() < 32768) {
            buffer.assign(32768, L'\0');
            continue;
        }
        return IDCANCEL;
    }
}

}  // namespace fw
