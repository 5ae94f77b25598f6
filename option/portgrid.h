// The grid of 80 port check boxes for the keyboard and for screen readers, without changing
// how it looks to the mouse: Tab enters the grid at the box that had the focus last (the top
// left one at first), the arrow keys move by row and column, Space toggles (the boxes' own key),
// Tab leaves. Each box carries a name, "P1 bit 7 入出力方向", that a screen reader announces;
// the boxes are too narrow for it to be drawn. While the window shows focus marks (the keyboard
// is in use, WM_UPDATEUISTATE), the focused box has a focus rectangle in the system's style,
// and its port's row label and its pin's heading stand in the selection colours, so that its
// place can be seen at a glance.
#pragma once

#include <windows.h>

#include <string>

// The check box of a box's bit of the image (core/portoptions.h); 0 for a bit outside the grid.
unsigned PortBoxId(unsigned bit);
// The bit of a check box; false for an identifier outside the grid.
bool PortBoxBit(unsigned boxId, unsigned& bit);

// The name of a box in the user's language; empty for an identifier outside the grid.
std::wstring PortBoxName(unsigned boxId);

// The row label and the pin heading of a box's bit; 0 for a bit outside the grid.
unsigned PortRowLabelId(unsigned bit);
unsigned PinHeadingId(unsigned bit);

class CPortGrid {
public:
    CPortGrid() = default;
    // Gives the boxes back their own window procedure while the window is still there.
    ~CPortGrid();
    CPortGrid(const CPortGrid&) = delete;
    CPortGrid& operator=(const CPortGrid&) = delete;

    // Names the boxes and takes their keys and their focus mark; once, when the window is made.
    void Prepare(HWND dialog);

    // The window's WM_CTLCOLORSTATIC: the marked row label and pin heading get the selection
    // colours; nullptr for any other static, which keeps the window's colours.
    HBRUSH MarkColours(HWND label, HDC dc) const;

private:
    static LRESULT CALLBACK BoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnBoxMessage(HWND box, UINT msg, WPARAM wParam, LPARAM lParam);
    // Draws the focus rectangle over what the box painted, within the part it painted.
    void PaintBox(HWND box, UINT msg, WPARAM wParam, LPARAM lParam);
    // Marks the row label and pin heading of the focused box, or none.
    void ShowPlace();
    bool FocusMarked(HWND box) const;

    HWND m_dialog = nullptr;
    WNDPROC m_boxProc = nullptr;
    HWND m_rowLabel = nullptr;
    HWND m_pinHeading = nullptr;
};
