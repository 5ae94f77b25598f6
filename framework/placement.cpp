#include "framework/placement.h"

namespace {

// The start of a span of the given length moved onto [first, last): the end first, then the
// start, so that the start wins when the span is longer.
long MovedInto(long start, long length, long first, long last) {
    if (start + length > last)
        start = last - length;
    if (start < first)
        start = first;
    return start;
}

}  // namespace

long RememberedCorner(uint32_t stored) {
    constexpr int32_t kFarthest = int32_t{1} << 30;
    const auto value = static_cast<int32_t>(stored);
    return value > kFarthest ? kFarthest : value < -kFarthest ? -kFarthest : value;
}

ScreenRect MovedOnto(const ScreenRect& window, const ScreenRect& area) {
    const long left = MovedInto(window.left, window.Width(), area.left, area.right);
    const long top = MovedInto(window.top, window.Height(), area.top, area.bottom);
    return {left, top, left + window.Width(), top + window.Height()};
}

ScreenRect CentredOn(const ScreenRect& window, const ScreenRect& area) {
    const long left = area.left + (area.Width() - window.Width()) / 2;
    const long top = area.top + (area.Height() - window.Height()) / 2;
    return MovedOnto({left, top, left + window.Width(), top + window.Height()}, area);
}
