#include "cli/runtimefault.h"

#include <windows.h>

#include <csignal>
#include <cstdlib>
#include <new>

#include "cli/output.h"

namespace cli {

namespace {

// Writes no more than a fixed text, as memory may be what ran out.
void EndOnRuntimeFault(int) {
    static const char kText[] = "tolka: internal error\r\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), kText, sizeof kText - 1, &written, nullptr);
    ExitProcess(static_cast<UINT>(Exit::Other));
}

}  // namespace

void EndTheProgramOnRuntimeFaults() {
    std::signal(SIGABRT, EndOnRuntimeFault);
    std::set_new_handler([] { std::abort(); });
}

}  // namespace cli
