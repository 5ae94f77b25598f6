// One line of the Number ledger as the file holds it: the byte-order mark and the header, the
// nine columns, and what each column must hold. The ledger's own files share these; the rest of
// the suite reads and writes a ledger through ledger.h. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "line/ledger.h"

namespace core::ledger_detail {

inline constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
inline constexpr const char* kColumns[] = {"time",    "station", "status",      "number",    "uuid",
                                           "product", "maker",   "slot",        "interface", "operator",
                                           "recipe",  "version", "duration_ms", "cause",     "replaces"};
constexpr size_t kMaxColumnCount = sizeof kColumns / sizeof kColumns[0];

// Layout 1's nine columns, or layout 2's fifteen.
constexpr size_t ColumnCount(int layout) {
    return layout == kLedgerLayout1 ? 9 : kMaxColumnCount;
}

inline bool IsDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

// Decimal digits only, no sign, no blanks, at most 2^32 - 1.
bool ParseNumber(std::string_view text, uint32_t& value);

// A text that a spreadsheet would run as a formula: apostrophes, then one of "=+-@", or a tab
// or a CR, which spreadsheets pass over before a formula.
bool LooksLikeFormula(std::string_view text, size_t from);

// Whether a line's fields (as many as the layout's columns) hold what their columns hold, and
// its Number. Checked as written: the apostrophe that keeps a formula from running is never
// valid in the columns of numbers and codes, taken off or not.
bool IsSoundLine(const std::string_view* fields, int layout, uint32_t& number);

// A sound line's entry, its texts as they were before CsvField wrote them.
LedgerEntry EntryOf(const std::string_view* fields, int layout, uint32_t number);

// The layout whose header these fields are; 0 for none.
int LayoutOfHeader(const std::string* fields, size_t count);

}  // namespace core::ledger_detail
