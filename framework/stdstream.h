// Lines for the process's standard streams, as a console program writes them: tolka.exe, and
// the virtual board's libraries when a console program uses them. No windows.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// Writes the line and a line end: a console gets UTF-16 as it is, a pipe or a file UTF-8;
// each LF becomes CR LF. Nothing happens when the stream is missing (a program started
// without one).
void WriteLine(HANDLE stream, const std::wstring& line);

}  // namespace fw
