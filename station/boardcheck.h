// The set-up window's look at a board before a station goes live: what the board holds, and
// whether the station's record and options suit it. The board is read by the line cycle's own
// reading (the fewest calls the station makes per board), and the Number is refused at the
// point where the cycle would take one, so nothing on the board changes. Portable: no
// <windows.h>.
//
//   station::BoardCheck check = station::CheckBoard(link, recipe);
//   tell(station::BoardCheckText(check, textOfId), check.writable);
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/boardlink.h"
#include "core/linecycle.h"
#include "core/writerops.h"
#include "station/boardcycle.h"

namespace station {

enum class OptionSupport {
    Unknown,      // the board was not read as far, or the firmware's mark could not be read
    Supported,    // the firmware has the port option area
    Unsupported,  // it has none
};

struct BoardCheck {
    core::LineOutcome outcome = core::LineOutcome::NoBoard;
    bool read = false;  // the board answered and its product-information area was read
    core::BoardHolding holding;
    std::optional<core::KindMismatch> mismatch;  // the record's kind against the board's interface
    OptionSupport options = OptionSupport::Unknown;
    bool writable = false;  // the station, as the recipe says, would write this board
    size_t calls = 0;       // library calls made, open and close included
};

BoardCheck CheckBoard(core::DeviceLink& link, const CycleRecipe& recipe);

// The check in words, one fact a line: the board found and its interface, its Number or none,
// whether the record fits, whether the firmware takes port options, and what the station would do.
std::wstring BoardCheckText(const BoardCheck& check, const TextOfId& text);

}  // namespace station
