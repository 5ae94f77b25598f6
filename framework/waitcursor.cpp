#include "framework/waitcursor.h"

#include <windows.h>

namespace fw {

namespace {
// The window's thread only: every command and every call runs there.
int g_depth = 0;
bool g_shown = false;
HCURSOR g_before = nullptr;
}  // namespace

CCommandCursor::CCommandCursor() {
    ++g_depth;
}

// Only the outermost scope ends the command: a change notification sent during a command
// runs a command of its own.
CCommandCursor::~CCommandCursor() {
    if (--g_depth > 0 || !g_shown)
        return;
    SetCursor(g_before);
    g_shown = false;
}

void CCommandCursor::ShowWait() {
    HCURSOR before = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    if (g_shown)
        return;
    g_before = before;
    g_shown = g_depth > 0;
}

}  // namespace fw
