// How the virtual board's libraries tell a person something. A windowed program gets message
// boxes and the libraries' dialogs; a console program (tolka.exe on a production line, where
// nobody may be there to click) gets the messages on its error stream and no dialog; tests
// may silence the libraries altogether. Every message and dialog is logged in calls.log
// whichever way it goes.
#pragma once

#include <windows.h>

#include <string>

namespace vboard {

enum class Voice {
    Windows,      // message boxes and dialogs, modal
    ErrorStream,  // messages as lines on the process's standard error; no dialog
    Silent,       // nothing at all: only the log
};

// How the libraries speak in this process now, read afresh on every call:
//   TOLKA_VIRTUAL_BOARD_SILENT=1     Silent (tests);
//   TOLKA_VIRTUAL_BOARD_WINDOWS=1    Windows, even in a console program (the tests of the
//                                    libraries' own windows);
//   TOLKA_VIRTUAL_BOARD_WINDOWS=0    ErrorStream, even in a windowed program;
//   otherwise                        ErrorStream in a console program, Windows in any other.
Voice CurrentVoice();

// Says a message of the library named `library` (a box's caption, the first line's prefix on
// the error stream); the box's icon is in boxType. Returns at once unless a box is shown.
void Tell(const wchar_t* library, const std::wstring& text, UINT boxType);

}  // namespace vboard
