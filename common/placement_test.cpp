#include "common/placement.h"

#include <gtest/gtest.h>

namespace {

// A work area of 1000 x 700 at (100, 50), as a second monitor's may be.
constexpr ScreenRect kArea{100, 50, 1100, 750};

TEST(WindowPlacement, MovedOntoTheWorkArea) {
    struct {
        ScreenRect window, expected;
    } cases[] = {
        {{200, 100, 600, 500}, {200, 100, 600, 500}},       // whole on the area: stays
        {{100, 50, 1100, 750}, {100, 50, 1100, 750}},       // exactly the area
        {{900, 600, 1300, 1000}, {700, 350, 1100, 750}},    // over the right and bottom edges
        {{-300, -200, 100, 200}, {100, 50, 500, 450}},      // over the left and top edges
        {{3000, 2000, 3400, 2400}, {700, 350, 1100, 750}},  // on a monitor that is gone
        {{-5000, 400, -4600, 800}, {100, 350, 500, 750}},   // far to the left, below
        {{500, 100, 1700, 900}, {100, 50, 1300, 850}},      // larger than the area: top left on it
    };
    for (const auto& c : cases) {
        const ScreenRect moved = MovedOnto(c.window, kArea);
        EXPECT_EQ(moved, c.expected) << c.window.left << "," << c.window.top;
        EXPECT_EQ(moved.Width(), c.window.Width());
        EXPECT_EQ(moved.Height(), c.window.Height());
    }
}

TEST(WindowPlacement, CentredOnTheWorkArea) {
    struct {
        ScreenRect window, expected;
    } cases[] = {
        {{0, 0, 400, 300}, {400, 250, 800, 550}},         // wherever it was made
        {{-700, 900, -300, 1200}, {400, 250, 800, 550}},  // the same size elsewhere
        {{0, 0, 401, 301}, {399, 249, 800, 550}},         // odd sizes: the half pixel to the left and top
        {{0, 0, 1000, 700}, {100, 50, 1100, 750}},        // the area's own size
        {{0, 0, 1200, 900}, {100, 50, 1300, 950}},        // larger: top left on the area
    };
    for (const auto& c : cases)
        EXPECT_EQ(CentredOn(c.window, kArea), c.expected) << c.window.Width() << "x" << c.window.Height();
}

}  // namespace
