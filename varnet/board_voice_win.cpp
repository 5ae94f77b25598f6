#include "board_voice_win.h"

#include "framework/module.h"
#include "framework/stdstream.h"

namespace vboard {
namespace {

// Whether the program that runs this process was built for the console subsystem. The
// console is the program's kind, not whether a console window happens to exist: a console
// program started with its streams on pipes (a line's script) has none.
bool ConsoleProgram() {
    const auto* image = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
    return headers->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI;
}

bool IsSet(const std::wstring& value) {
    return !value.empty() && value != L"0";
}

}  // namespace

Voice CurrentVoice() {
    if (IsSet(fw::GetEnvironmentString(L"TOLKA_VIRTUAL_BOARD_SILENT")))
        return Voice::Silent;
    const std::wstring windows = fw::GetEnvironmentString(L"TOLKA_VIRTUAL_BOARD_WINDOWS");
    if (!windows.empty())
        return IsSet(windows) ? Voice::Windows : Voice::ErrorStream;
    return ConsoleProgram() ? Voice::ErrorStream : Voice::Windows;
}

void Tell(const wchar_t* library, const std::wstring& text, UINT boxType) {
    switch (CurrentVoice()) {
        case Voice::Windows:
            MessageBoxW(GetActiveWindow(), text.c_str(), library, boxType | MB_SETFOREGROUND);
            break;
        case Voice::ErrorStream:
            fw::WriteLine(GetStdHandle(STD_ERROR_HANDLE), std::wstring(library) + L": " + text);
            break;
        case Voice::Silent:
            break;
    }
}

}  // namespace vboard
