#include "framework/msgbox.h"

#include "core/textids.h"
#include "framework/app.h"
#include "framework/module.h"
#include "framework/text.h"

namespace fw {

namespace {
MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}
}  // namespace

MessageBoxHookScope::MessageBoxHookScope(MessageBoxHook hook) : ScopedHook(Hook(), std::move(hook)) {}

UINT MessageBoxTypeWithIcon(UINT type) {
    if ((type & MB_ICONMASK) != 0)
        return type;
    switch (type & MB_TYPEMASK) {
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return type | MB_ICONQUESTION;
        default:
            return type | MB_ICONEXCLAMATION;
    }
}

int AppMessageBox(const std::wstring& text, UINT type) {
    UINT shown = MessageBoxTypeWithIcon(type);
    std::wstring caption = GetAppName();
    if (Hook())
        return Hook()(text, shown, caption);
    HWND owner = nullptr;
    if (CWinApp* app = AfxGetApp())
        owner = app->GetMainHwnd();
    return MessageBoxW(owner, text.c_str(), caption.c_str(), shown);
}

int AppMessageBox(UINT textId, UINT type) {
    return AppMessageBox(LoadResString(textId), type);
}

void ReportFileError(FileErrorKind kind, const std::wstring& path) {
    UINT pattern = kind == FileErrorKind::Read ? IDS_FW_FILE_READ_ERROR : IDS_FW_FILE_WRITE_ERROR;
    AppMessageBox(FormatMessageText(LoadResString(pattern), path), MB_OK);
}

}  // namespace fw
