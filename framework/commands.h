// Ids of the commands the framework handles itself. Plain macros, so that resource scripts
// (through each program's resource.h) and code share this one definition.
#pragma once

#define ID_HELP 57670
