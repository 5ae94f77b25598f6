// For both editors' Wine tests: checks they make the same way on either window.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/test_support.h"

namespace editortest {

// Clicks in a new window on a board with the given faults, and the control that has the
// focus afterwards.
struct FocusCase {
    const char* what;
    std::string faults;
    std::vector<UINT> clicks;
    UINT focus;
};

// A button that its own command disables hands the focus on, so that the keyboard keeps
// working: Esc still reaches the close path.
template <class Window, class Board>
void ExpectFocusMovesOn(Board& board, const std::vector<FocusCase>& cases) {
    for (const FocusCase& c : cases) {
        SCOPED_TRACE(c.what);
        board.SetFaults(c.faults);
        Window window;
        ASSERT_TRUE(window.Create());
        HWND w = window.GetSafeHwnd();
        for (UINT id : c.clicks)
            fwtest::Click(w, id);
        EXPECT_EQ(fwtest::FocusedControl(w), GetDlgItem(w, static_cast<int>(c.focus)));
        fwtest::PressKey(window, VK_ESCAPE);
        EXPECT_TRUE(window.HasEnded());
    }
}

}  // namespace editortest
