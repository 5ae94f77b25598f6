#include "line/csvreader.h"

namespace core::ledger_detail {

LedgerFault CsvReader::Next(std::vector<std::string>& fields) {
    size_t count = 0;
    for (;;) {
        if (count == fields.size())
            fields.emplace_back();
        std::string& field = fields[count++];
        field.clear();
        LedgerFault fault = !AtEnd() && text_[pos_] == '"' ? Quoted(field) : Plain(field);
        fields.resize(count);
        if (fault != LedgerFault::None)
            return fault;
        if (AtEnd())
            return LedgerFault::UnterminatedLine;
        char c = text_[pos_++];
        if (c == ',')
            continue;
        if (c == '\r')
            ++pos_;  // the fields stop at a CR only when a LF follows
        ++line_;
        return LedgerFault::None;
    }
}

LedgerFault CsvReader::Plain(std::string& field) {
    size_t start = pos_;
    while (!AtEnd() && text_[pos_] != ',' && !AtLineEnd(pos_)) {
        if (LostItsLineFeed(pos_))
            return LedgerFault::UnterminatedLine;
        if (text_[pos_] == '"' || text_[pos_] == '\r')
            return LedgerFault::BadQuoting;
        ++pos_;
    }
    field.assign(text_, start, pos_ - start);
    return LedgerFault::None;
}

LedgerFault CsvReader::Quoted(std::string& field) {
    ++pos_;  // opening quote
    for (;;) {
        if (AtEnd())
            return LedgerFault::UnterminatedLine;
        char c = text_[pos_++];
        if (c == '"') {
            if (!AtEnd() && text_[pos_] == '"') {
                field += '"';
                ++pos_;
                continue;
            }
            if (!AtEnd() && LostItsLineFeed(pos_))
                return LedgerFault::UnterminatedLine;
            return AtEnd() || text_[pos_] == ',' || AtLineEnd(pos_) ? LedgerFault::None : LedgerFault::BadQuoting;
        }
        if (c == '\n')
            ++line_;
        field += c;
    }
}

}  // namespace core::ledger_detail
