// Portable text helpers of the dialog framework: message formatting and file names.
#pragma once

#include <string>
#include <vector>

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

// Whether the path names one of the system's devices instead of a file: CON, PRN, AUX, NUL,
// COM1-COM9, LPT1-LPT9, CONIN$ and CONOUT$ in any case, in any folder and with any extension
// ("COM1.tpi" is the serial port too), and any path into the device namespace (\\.\).
// Opening one as a file could wait for ever on a serial port or write to the console.
bool IsDeviceName(const std::wstring& path);

// The arguments of a process command line, after the program's own name, split and unquoted
// by the rules the system's own splitter follows: blanks separate arguments outside quotes,
// 2n backslashes before a quote give n and the quote opens or closes a quoted part, 2n+1
// give n and a literal quote, other backslashes stay; a quote right after a closing quote is
// literal. The program name ends at the next quote when it starts with one, else at a blank.
std::vector<std::wstring> SplitCommandLineArgs(const std::wstring& commandLine);

}  // namespace fw
