// The port option image as a person reads it without the option window: a table of ports
// and pins, and warnings for the combinations the window's help texts warn about.
// Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/output.h"
#include "core/portoptions.h"

namespace cli {

// A heading line, a pin-number line and one line per port (P1, P2, P5, P4, PA, POUT), pins
// 7 to 0 from left to right as in the window: 1 checked, 0 clear, - no such pin.
std::vector<std::wstring> OptionTable(const uint8_t* image, core::Lang lang);

// Why a table could not be read: the line (0 when the table as a whole lacks something) and
// the message with its arguments.
struct TableError {
    size_t line;
    int detail;
    std::wstring args[3];
};

// The image, as the window writes it, from a table as OptionTable prints it, so that a person
// can keep and edit it. Rows are the lines that start with a port name, each port once, with
// 24 marks: 0 or 1 where the port has the pin, - where it has none. Other lines (the
// headings, comments) are passed over, unless they look like the row of an unknown port.
// The text is UTF-8 (a byte-order mark is passed over) or UTF-16LE after its byte-order mark.
std::optional<TableError> ParseOptionTable(const std::vector<uint8_t>& text,
                                           core::Lang lang,
                                           core::PortOptionImage& image);

// P1, P2 or P5 pins set to output (they become address outputs); output data on pins that
// are inputs (it has no effect there).
std::vector<std::wstring> OptionWarnings(const uint8_t* image, core::Lang lang);

// {"P1":{"direction":"00000011","output_data":null,"pull_up":null},...}: pins 7 to 0.
JsonObject OptionJson(const uint8_t* image);

}  // namespace cli
