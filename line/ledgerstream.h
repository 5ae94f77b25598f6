// Reading ledger text a piece at a time: from a held file, or from text in memory. Memory holds
// one piece and the line that runs past it, whatever the length of the ledger.
// Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "line/ledger.h"

namespace core::ledger_detail {

// Appends the next piece of the text; appends nothing at the end. False when the text cannot
// be read.
using TextSource = std::function<bool(std::string& text)>;
using EntrySink = std::function<void(LedgerEntry&& entry)>;

// The held ledger's bytes from `from` to `to`: from the start of the file (byte-order mark and
// header first), or from the start of a line (the lines appended after an index). Each sound
// line goes to `sink` when there is one. False when the file could not be read.
// From the start of a line, the lines are of the given layout.
bool ReadStream(LedgerFile& file,
                uint64_t from,
                uint64_t to,
                const EntrySink& sink,
                LedgerContent& content,
                int layout = kNewLedgerLayout);

// Lines of ledger text of the layout that begins at the start of a line, without the header.
LedgerContent ParseLines(const std::string& text, int layout);

}  // namespace core::ledger_detail
