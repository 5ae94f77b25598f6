// Linked into every shipped program and DLL, ahead of the C++ runtime library.
//
// The runtime's default terminate handler prints the type of an uncaught exception by
// demangling its name, which pulls the whole demangler into each file (README.md: what it
// saves), for a console that a window program does not have. Ours ends the process the same
// way, without the text. Windows see no uncaught exceptions in any case: the dialog procedure
// and the device DLLs' entry points catch everything.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx
