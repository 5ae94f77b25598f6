// tolka's commands: the board operations of both editors, driven from a command line.
// Portable: no <windows.h>; the system comes in through Host.
#pragma once

#include <string>
#include <vector>

#include "cli/host.h"
#include "cli/output.h"

namespace cli {

// Runs the command line (the arguments after the program name) and returns its exit code.
// uiLang is the user's language, used when --lang does not say.
Exit Run(const std::vector<std::wstring>& args, Host& host, core::Lang uiLang);

}  // namespace cli
