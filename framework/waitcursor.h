// The wait cursor while a command blocks the window.
//
//   CCommandCursor scope;       // the dialogs hold one around every command
//   CCommandCursor::ShowWait(); // before each call that may block (the device libraries)
//
// The first blocking call of a command shows the wait cursor and it stays until the outermost
// scope ends, so that the window never looks idle between two calls of one command; a message
// box in between shows its own cursor. The cursor that was there before comes back.
#pragma once

namespace fw {

class CCommandCursor {
public:
    CCommandCursor();
    ~CCommandCursor();
    CCommandCursor(const CCommandCursor&) = delete;
    CCommandCursor& operator=(const CCommandCursor&) = delete;

    static void ShowWait();
};

}  // namespace fw
