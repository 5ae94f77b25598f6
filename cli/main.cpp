// tolka.exe: the console twin of the two editors, for scripts and production lines.
#include <windows.h>

#include <exception>

#include "cli/commands.h"
#include "cli/winhost.h"
#include "framework/syslib.h"

int wmain(int argc, wchar_t** argv) {
    fw::RestrictDllSearch();
    cli::WinHost host;
    try {
        std::vector<std::wstring> args(argv + 1, argv + argc);
        return static_cast<int>(cli::Run(args, host, cli::UserLanguage()));
    } catch (const std::exception&) {
        host.Err(L"tolka: internal error");
        return static_cast<int>(cli::Exit::Other);
    }
}
