// The one message-box routine of every program.
//
//   fw::AppMessageBox(IDS_FILE_CANNOT_OPEN);                  // OK, exclamation
//   if (fw::AppMessageBox(IDS_ERASE_QUESTION, 0x124) != IDYES) return;
//
// The caption is the program's name (its file name without extension). A type without an
// icon gets one: OK and OK/Cancel boxes the exclamation icon, Yes/No boxes the question icon.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/scopedhook.h"

namespace fw {

int AppMessageBox(const std::wstring& text, UINT type = MB_OK);
// The same with a string resource of the program, in the UI language.
int AppMessageBox(UINT textId, UINT type = MB_OK);

// The type as it is shown, after the icon rule.
UINT MessageBoxTypeWithIcon(UINT type);

// Test hook, while a MessageBoxHookScope lives: no box is shown; the hook gets the text, the
// final type and the caption and returns the button the user would have pressed.
using MessageBoxHook = std::function<int(const std::wstring& text, UINT type, const std::wstring& caption)>;
class MessageBoxHookScope : ScopedHook<MessageBoxHook> {
public:
    explicit MessageBoxHookScope(MessageBoxHook hook);
};

// The standard messages for a read or write error on a file that was opened.
enum class FileErrorKind { Read, Write };
void ReportFileError(FileErrorKind kind, const std::wstring& path);

}  // namespace fw
