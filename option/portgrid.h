// The grid of 80 port check boxes for the keyboard and for screen readers, without changing
// how it looks: Tab enters the grid at the box that had the focus last (the top left one at
// first), the arrow keys move by row and column, Space toggles (the boxes' own key), Tab
// leaves. Each box carries a name, "P1 bit 7 入出力方向", that a screen reader announces;
// the boxes are too narrow for it to be drawn.
#pragma once

#include <windows.h>

#include <string>

// The check box of a box's bit of the image (core/portoptions.h); 0 for a bit outside the grid.
unsigned PortBoxId(unsigned bit);
// The bit of a check box; false for an identifier outside the grid.
bool PortBoxBit(unsigned boxId, unsigned& bit);

// The name of a box in the user's language; empty for an identifier outside the grid.
std::wstring PortBoxName(unsigned boxId);

// Names the boxes and takes their keys; once, when the window is made.
void PrepareGridKeyboard(HWND dialog);
