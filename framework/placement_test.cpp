#include "framework/placement.h"

#include <gtest/gtest.h>

namespace {

// A work area of 1000 x 700 at (100, 50), as a second monitor's may be; a window keeps its size.
TEST(WindowPlacement, MovedOntoAndCentredOnAWorkArea) {
    constexpr ScreenRect kArea{100, 50, 1100, 750};
    struct {
        ScreenRect window;
        long movedLeft, movedTop, centredLeft, centredTop;
    } cases[] = {
        {{200, 100, 600, 500}, 200, 100, 400, 200},      // whole on the area: stays
        {{900, 600, 1300, 1000}, 700, 350, 400, 200},    // over the right and bottom edges
        {{-300, -200, 100, 200}, 100, 50, 400, 200},     // over the left and top edges
        {{3000, 2000, 3400, 2400}, 700, 350, 400, 200},  // on a monitor that is gone
        {{0, 0, 401, 301}, 100, 50, 399, 249},           // odd sizes: the half pixel to the left and top
        {{500, 100, 1700, 900}, 100, 50, 100, 50},       // larger than the area: top left on it
    };
    for (const auto& c : cases) {
        const long width = c.window.Width(), height = c.window.Height();
        EXPECT_EQ(MovedOnto(c.window, kArea),
                  (ScreenRect{c.movedLeft, c.movedTop, c.movedLeft + width, c.movedTop + height}));
        EXPECT_EQ(CentredOn(c.window, kArea),
                  (ScreenRect{c.centredLeft, c.centredTop, c.centredLeft + width, c.centredTop + height}));
    }
}

// Any stored corner gives a rectangle that can be computed, and so moved onto a monitor.
TEST(WindowPlacement, EveryRememberedCornerGivesARectangleOnTheArea) {
    constexpr ScreenRect kArea{0, 0, 1920, 1080};
    for (uint32_t stored : {0x7fffff00u, 0x7fffffffu, 0x80000000u, 0xffffffffu, 0x40000000u, 100u}) {
        const long corner = RememberedCorner(stored);
        const ScreenRect moved = MovedOnto({corner, corner, corner + 400, corner + 300}, kArea);
        EXPECT_TRUE(moved.left >= 0 && moved.right <= 1920 && moved.top >= 0 && moved.bottom <= 1080) << stored;
    }
}

}  // namespace
