// For tolka's Wine tests: a program built as tolka.exe is, whose one argument names the
// runtime fault it runs into: "index" (a broken precondition) or "memory" (memory exhausted).
#include <string>
#include <vector>

#include "cli/runtimefault.h"

int wmain(int argc, wchar_t** argv) {
    cli::EndTheProgramOnRuntimeFaults();
    const std::wstring fault = argc > 1 ? argv[1] : L"";
    std::vector<char> bytes;
    if (fault == L"index")
        return bytes.at(static_cast<size_t>(argc));
    if (fault == L"memory")
        bytes.reserve(bytes.max_size());
    return 0;
}
