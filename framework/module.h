// What a program or library knows of its module and process: paths, name, resource strings,
// environment. No windows: the virtual board's DLLs use these too (framework_base).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace fw {

// Full path of a module (the running program for nullptr), read into a growing buffer
// so that long paths are never cut at MAX_PATH.
std::wstring GetModulePath(HMODULE module = nullptr);

// The program's name as message boxes show it: the file name without its extension.
std::wstring GetAppName();

// A string resource in the UI language, of the program or of the given module (a DLL's own
// texts); empty when it is missing.
std::wstring LoadResString(UINT id, HMODULE module = nullptr);

// An environment variable's value, whole even when another thread changes it meanwhile;
// empty when it is not set.
std::wstring GetEnvironmentString(const wchar_t* name);

// The process's current directory, whatever its length.
std::wstring GetCurrentDirectoryString();

// The full path of a file name as the system resolves it now (relative names against the
// current folder), whatever its length; nothing when the system cannot resolve it (an empty
// name, a path past the system's limit): the caller decides whether to go on with the name.
std::optional<std::wstring> FullPathName(const std::wstring& path);

}  // namespace fw
