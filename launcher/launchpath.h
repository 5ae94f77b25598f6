// Which program file a tool button starts, as plain text rules (no Windows calls), so that
// they are tested natively.
#pragma once

#include <string>

namespace launcher {

// Changes a to z into A to Z in place and leaves every other character (Japanese, accented
// or full-width letters) as it is.
void MakeUpperAscii(std::wstring& text);

// The tool's program: the launcher's own folder followed by the tool's file name. Only the
// last path component is replaced, whatever the launcher's file or its folders are called.
std::wstring ToolPathFor(const std::wstring& modulePath, const std::wstring& fileName);

// The command line of a started tool: its full path in quotes and nothing else, so that a
// folder with spaces reaches the program as one argument. A file path holds no quote and
// does not end in a backslash, so nothing inside needs escaping.
std::wstring QuotedCommandLine(const std::wstring& path);

}  // namespace launcher
