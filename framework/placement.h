// Where a main window opens, as rectangle arithmetic on screen coordinates (right and bottom
// exclusive): where it was last closed, moved onto a monitor's work area when it does not lie
// on it whole, or centred on a work area at the first start. The window's size never changes.
// The monitors and the remembered position are the caller's side (the main window's frame).
#pragma once

#include <cstdint>

struct ScreenRect {
    long left, top, right, bottom;

    long Width() const { return right - left; }
    long Height() const { return bottom - top; }
    bool operator==(const ScreenRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

// A corner as the registry keeps it (a 32-bit value), as a screen coordinate that a window's
// size can be added to: a value so far out that the sum would overflow is taken as 2^30 from
// the origin, which lies on no monitor either, so the window is moved onto the nearest one.
long RememberedCorner(uint32_t stored);

// The window moved the least distance that puts it whole on the area; a window larger than the
// area keeps its top left corner on it, so that the title bar can still be reached.
ScreenRect MovedOnto(const ScreenRect& window, const ScreenRect& area);

// The window centred on the area (then moved onto it, as above).
ScreenRect CentredOn(const ScreenRect& window, const ScreenRect& area);
