// What a program knows of its own module: path, name, resource strings.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// Full path of a module (the running program for nullptr), read into a growing buffer
// so that long paths are never cut at MAX_PATH.
std::wstring GetModulePath(HMODULE module = nullptr);

// The program's name as message boxes show it: the file name without its extension.
std::wstring GetAppName();

// A string resource of the program; empty when it is missing.
std::wstring LoadResString(UINT id);

// An environment variable's value; empty when it is not set.
std::wstring GetEnvironmentString(const wchar_t* name);

// The process's current directory, whatever its length.
std::wstring GetCurrentDirectoryString();

// The full path of a file name as the system resolves it now (relative names against the
// current folder); the name itself when it cannot be resolved.
std::wstring FullPathName(const std::wstring& path);

// Whether the user's interface language is Japanese: texts that exist in both languages are
// shown in Japanese then, in English otherwise.
bool UserInterfaceIsJapanese();

// Window text of any window, whatever its length.
std::wstring GetWindowTextString(HWND hwnd);

}  // namespace fw
