// tolka.exe is built without exception handling and unwind tables (cli/CMakeLists.txt), so a
// fault of the C++ runtime cannot travel to a handler: the runtime calls abort() instead
// (runtime/library_throws.cpp), and the program ends as a handler would have ended it.
#pragma once

namespace cli {

// From now on a fault of the C++ runtime (a broken precondition, memory exhausted) ends the
// program with "tolka: internal error" on standard error and exit code Exit::Other.
void EndTheProgramOnRuntimeFaults();

}  // namespace cli
