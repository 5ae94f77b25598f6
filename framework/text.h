// Portable text helpers of the dialog framework: message formatting and file names.
#pragma once

#include <string>

namespace fw {

// Replaces %1 in a message template by the argument, as message-box texts with a
// placeholder expect ("%1 文字以内で入力してください。").
std::wstring FormatMessageText(const std::wstring& pattern, const std::wstring& arg1);

// The file name with extension of a Windows path (after the last '\\', '/' or ':').
std::wstring FileNameOfPath(const std::wstring& path);

// The path without its extension: the dot must lie in the last path component.
std::wstring PathWithoutExtension(const std::wstring& path);

// The folder of a path including its trailing separator; empty when the path has none.
std::wstring FolderOfPath(const std::wstring& path);

}  // namespace fw
