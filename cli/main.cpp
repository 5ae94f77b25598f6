// tolka.exe: the console twin of the two editors, for scripts and production lines.
#include "cli/commands.h"
#include "cli/runtimefault.h"
#include "cli/winhost.h"
#include "framework/syslib.h"

int wmain(int argc, wchar_t** argv) {
    fw::RestrictDllSearch();
    cli::EndTheProgramOnRuntimeFaults();
    cli::WinHost host;
    std::vector<std::wstring> args(argv + 1, argv + argc);
    return static_cast<int>(cli::Run(args, host, cli::UserLanguage()));
}
