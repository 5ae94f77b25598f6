// The ids the code names the catalogue's texts by (core/texts.inc): for C++, one enumerator
// per line of the catalogue, under the number written there. A resource script sees only the
// plain #define below (the resource compiler defines RC_INVOKED); core/texts.rc takes its
// numbers from the catalogue's lines. A window program's string table holds the texts of its
// own faces; the console reads every text from the compiled catalogue, so it may say a window's
// text under the window's id.
#pragma once

// The system menu's About entry: the writer, the option editor, the launcher and the station
// each have their own text under this one number (IDS_PIWRITER_ABOUTBOX, IDS_OPTION_ABOUTBOX,
// IDS_LAUNCHER_ABOUTBOX, IDS_STATION_ABOUTBOX), where common/mainframe.cpp looks for it.
#define IDS_ABOUTBOX 101

#ifndef RC_INVOKED
enum TextId : int {
#define TOLKA_TEXT(face, id, number, english, japanese) id = number,
#include "core/texts.inc"
#undef TOLKA_TEXT
};
#endif
