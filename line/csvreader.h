// The full RFC 4180 reader of ledger text: quoted fields, quotes doubled inside them, line ends
// inside quotes. The ledger's lines without a quote take a faster path (ledgerstream.cpp).
// Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "line/ledger.h"

namespace core::ledger_detail {

// Splits RFC 4180 records off the text one at a time, counting physical lines.
class CsvReader {
public:
    CsvReader(const std::string& text, size_t from, size_t line) : text_(text), pos_(from), line_(line) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    // The line on which the next record starts, and its first byte.
    size_t Line() const { return line_; }
    size_t Position() const { return pos_; }

    // The fields' strings are used again from line to line, so that reading a line seldom
    // allocates.
    LedgerFault Next(std::vector<std::string>& fields);

private:
    bool AtLineEnd(size_t at) const {
        return text_[at] == '\n' || (text_[at] == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n');
    }

    // The file ends in the CR of a line end whose LF never reached it.
    bool LostItsLineFeed(size_t at) const { return text_[at] == '\r' && at + 1 == text_.size(); }

    LedgerFault Plain(std::string& field);
    LedgerFault Quoted(std::string& field);

    const std::string& text_;
    size_t pos_;
    size_t line_;
};

}  // namespace core::ledger_detail
