// Where a main window opens, as rectangle arithmetic on screen coordinates (right and bottom
// exclusive): where it was last closed, moved onto a monitor's work area when it does not lie
// on it whole, or centred on a work area at the first start. The window's size never changes.
// The monitors and the remembered position are the caller's side (the main window's frame).
#pragma once

struct ScreenRect {
    long left, top, right, bottom;

    long Width() const { return right - left; }
    long Height() const { return bottom - top; }
    bool operator==(const ScreenRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

// The window moved the least distance that puts it whole on the area; a window larger than the
// area keeps its top left corner on it, so that the title bar can still be reached.
ScreenRect MovedOnto(const ScreenRect& window, const ScreenRect& area);

// The window centred on the area (then moved onto it, as above).
ScreenRect CentredOn(const ScreenRect& window, const ScreenRect& area);
