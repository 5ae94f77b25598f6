// The port option image as a person reads it without the option window: a table of ports
// and pins, and warnings for the combinations the window's help texts warn about.
// Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/messages.h"
#include "cli/report.h"

namespace cli {

// A heading line, a pin-number line and one line per port (P1, P2, P5, P4, PA, POUT), pins
// 7 to 0 from left to right as in the window: 1 checked, 0 clear, - no such pin.
std::vector<std::wstring> OptionTable(const uint8_t* image, Lang lang);

// P1, P2 or P5 pins set to output (they become address outputs); output data on pins that
// are inputs (it has no effect there).
std::vector<std::wstring> OptionWarnings(const uint8_t* image, Lang lang);

// {"P1":{"direction":"00000011","output_data":null,"pull_up":null},...}: pins 7 to 0.
JsonObject OptionJson(const uint8_t* image);

}  // namespace cli
