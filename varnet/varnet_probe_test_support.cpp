// Opens the virtual board from a second process for varnet_dll_tests.
//   varnet_probe open        exit 0 when the open gave null, 1 when it gave a handle
//                            (which it closes again)
//   varnet_probe open-crash  opens and dies without closing: exit 3 after a handle,
//                            2 when the open gave null
// The board folder and the silent switch come from the environment, as for any program.

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "core/deviceapi.h"

namespace {

int Run() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring mode = argv && argc > 1 ? argv[1] : L"";
    LocalFree(argv);

    TOLKA_HANDLE handle = Tolka_FlashModeOpen(TOLKA_IF_ALL, 0);
    if (mode == L"open") {
        if (!handle)
            return 0;
        Tolka_FlashModeClose(handle, 0);
        return 1;
    }
    if (mode == L"open-crash") {
        if (!handle)
            return 2;
        TerminateProcess(GetCurrentProcess(), 3);
    }
    return 100;
}

}  // namespace

// The build may or may not use the Unicode entry point; both lead to Run.
int wmain() {
    return Run();
}

int main() {
    return Run();
}
