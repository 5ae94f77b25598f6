#include "line/ledgerstream.h"

#include <algorithm>
#include <functional>

#include "core/utf8.h"
#include "line/bytescan.h"
#include "line/csvreader.h"
#include "line/ledgerline.h"

namespace core {

namespace ledger_detail {

namespace {

LedgerContent Refuse(LedgerFault fault, size_t line) {
    LedgerContent content;
    content.fault = fault;
    content.faultLine = line;
    return content;
}

// Reads ledger text a piece at a time, from the start of a file (byte-order mark and header
// first) or from the start of a line (lines appended after an index): a line is taken once
// it is whole, so memory holds one piece and the line that runs past it, whatever the length
// of the ledger. Faults come back as ParseLedger gives them for the whole text: the
// byte-order mark first, then bytes that are no UTF-8 anywhere, then the first line that
// cannot be read.
class LedgerStream {
public:
    using Source = TextSource;
    using EntrySink = ledger_detail::EntrySink;

    LedgerStream(const Source& source, bool fromFileStart, const EntrySink& sink, int layout)
        : source_(source), sink_(sink), preamble_(fromFileStart), layout_(layout) {}

    bool Read(LedgerContent& content) {
        content = LedgerContent();
        bool started = false;
        for (;;) {
            const size_t before = text_.size();
            if (!source_(text_))
                return false;
            end_ = text_.size() == before;
            if (!started && preamble_) {
                if (text_.empty() && end_) {
                    content.fresh = true;
                    return true;
                }
                if (text_.size() < kMarkLength && !end_)
                    continue;
                if (text_.compare(0, kMarkLength, kByteOrderMark) != 0) {
                    content = Refuse(LedgerFault::NoByteOrderMark, 1);
                    return true;
                }
                pos_ = utf8At_ = kMarkLength;
            }
            started = true;
            if (size_t line = CheckUtf8()) {
                content = Refuse(LedgerFault::NotUtf8, line);
                return true;
            }
            if (fault_ == LedgerFault::None)
                TakeLines();
            else
                pos_ = utf8At_;  // after a fault only the UTF-8 check goes on
            if (end_)
                break;
            // Lines already taken may run past the bytes checked for UTF-8: those stay.
            const size_t done = std::min(pos_, utf8At_);
            // The line of the first byte kept: the next line's, unless a fault stopped the lines.
            utf8Line_ =
                fault_ == LedgerFault::None && done == pos_ ? line_ : utf8Line_ + CountLineFeeds(text_.data(), done);
            text_.erase(0, done);
            utf8At_ -= done;
            pos_ -= done;
        }
        if (fault_ == LedgerFault::None && preamble_) {
            fault_ = LedgerFault::BadHeader;  // the mark and nothing after it
            faultLine_ = 1;
        }
        if (fault_ != LedgerFault::None) {
            content = Refuse(fault_, faultLine_);
            return true;
        }
        content.highest = highest_;
        content.lines = line_ - 1;
        content.layout = layout_;
        return true;
    }

private:
    static constexpr size_t kMarkLength = sizeof kByteOrderMark - 1;

    // The line of the first byte that is no UTF-8, or 0. Checks what has been read, less a
    // character that may still be cut by the piece's end.
    size_t CheckUtf8() {
        const size_t limit = end_ ? text_.size() : text_.size() - std::min<size_t>(text_.size(), 3);
        while (utf8At_ < limit) {
            if (static_cast<unsigned char>(text_[utf8At_]) < 0x80) {
                utf8At_ += AsciiRun(text_, utf8At_, limit);  // most of a ledger
                continue;
            }
            size_t n = Utf8SequenceLength(text_, utf8At_);
            if (n == 0)
                return utf8Line_ + CountLineFeeds(text_.data(), utf8At_);
            utf8At_ += n;
        }
        return 0;
    }

    void TakeLines() {
        while (pos_ < text_.size()) {
            const PlainLine plain = preamble_ ? PlainLine::NotPlain : TakePlainLine();
            if (plain == PlainLine::Incomplete)
                return;  // the rest of the line is in the next piece
            if (plain == PlainLine::NotPlain && !TakeQuotedLine())
                return;
            if (fault_ != LedgerFault::None)
                return;
        }
    }

    enum class PlainLine { Taken, NotPlain, Incomplete };

    // Takes the next line when it holds no quote and no CR before its line end, as nearly
    // every line of a ledger: its fields are where its commas are, read in place.
    PlainLine TakePlainLine() {
        const char* const begin = text_.data() + pos_;
        const char* const end = text_.data() + text_.size();
        std::string_view fields[kMaxColumnCount];
        size_t count = 0;
        for (const char* field = begin;;) {
            const char* stop = NextSeparator(field, end);
            if (stop == end)
                return end_ ? PlainLine::NotPlain : PlainLine::Incomplete;
            const bool crlf = *stop == '\r' && stop + 1 < end && stop[1] == '\n';
            if (*stop == '\r' && !crlf)
                return stop + 1 == end && !end_ ? PlainLine::Incomplete : PlainLine::NotPlain;
            if (*stop == '"')
                return PlainLine::NotPlain;
            if (count < kMaxColumnCount)
                fields[count] = std::string_view(field, static_cast<size_t>(stop - field));
            ++count;
            if (*stop == ',') {
                field = stop + 1;
                continue;
            }
            pos_ += static_cast<size_t>(stop - begin) + (crlf ? 2 : 1);
            Take(TakeEntry(fields, count), line_++);
            return PlainLine::Taken;
        }
    }

    // Takes the next line with the full RFC 4180 reader: the header, quoted fields, a line
    // that is cut short. False when the line runs on into the next piece.
    bool TakeQuotedLine() {
        CsvReader reader(text_, pos_, line_);
        LedgerFault fault = reader.Next(fields_);
        if (fault == LedgerFault::UnterminatedLine && !end_)
            return false;
        const size_t line = line_;
        pos_ = reader.Position();
        line_ = reader.Line();
        if (fault == LedgerFault::None && preamble_) {
            fault = CheckHeader(fields_);
        } else if (fault == LedgerFault::None) {
            std::string_view fields[kMaxColumnCount];
            std::copy_n(fields_.begin(), std::min(fields_.size(), kMaxColumnCount), fields);
            fault = TakeEntry(fields, fields_.size());
        } else if (preamble_) {
            fault = LedgerFault::BadHeader;
        }
        preamble_ = false;
        Take(fault, line);
        return true;
    }

    void Take(LedgerFault fault, size_t line) {
        if (fault != LedgerFault::None) {
            fault_ = fault;
            faultLine_ = line;
        }
    }

    LedgerFault CheckHeader(const std::vector<std::string>& fields) {
        layout_ = LayoutOfHeader(fields.data(), fields.size());
        return layout_ != 0 ? LedgerFault::None : LedgerFault::BadHeader;
    }

    LedgerFault TakeEntry(const std::string_view* fields, size_t count) {
        if (count != ColumnCount(layout_))
            return LedgerFault::FieldCount;
        uint32_t number = 0;
        if (!IsSoundLine(fields, layout_, number))
            return LedgerFault::BadField;
        highest_ = std::max(highest_.value_or(0), number);
        if (sink_)
            sink_(EntryOf(fields, layout_, number));
        return LedgerFault::None;
    }

    const Source& source_;
    const EntrySink& sink_;
    std::vector<std::string> fields_;
    bool preamble_;  // the header line is still to come
    int layout_;     // the header's, once read
    std::string text_;
    bool end_ = false;
    size_t pos_ = 0;  // where the next line starts
    size_t line_ = 1;
    size_t utf8At_ = 0;    // the first byte not yet checked
    size_t utf8Line_ = 1;  // the line of text_[0]
    LedgerFault fault_ = LedgerFault::None;
    size_t faultLine_ = 0;
    std::optional<uint32_t> highest_;
};

// Reads pieces of this size: memory for a scan stays the same for any ledger.
constexpr uint64_t kPieceBytes = 1 << 20;

// The held ledger's bytes from `from` to `to`, as a source of pieces.
LedgerStream::Source FileSource(LedgerFile& file, uint64_t from, uint64_t to) {
    // The piece's memory is used again from piece to piece.
    return [&file, at = from, to, piece = std::string()](std::string& text) mutable {
        if (at >= to)
            return true;
        if (!file.ReadAt(at, std::min(kPieceBytes, to - at), piece))
            return false;
        at = piece.empty() ? to : at + piece.size();
        text += piece;
        return true;
    };
}

}  // namespace

bool ReadStream(LedgerFile& file,
                uint64_t from,
                uint64_t to,
                const EntrySink& sink,
                LedgerContent& content,
                int layout) {
    const TextSource source = FileSource(file, from, to);
    return LedgerStream(source, from == 0, sink, layout).Read(content);
}

LedgerContent ParseLines(const std::string& text, int layout) {
    bool given = false;
    const TextSource source = [&](std::string& out) {
        if (!given)
            out += text;
        given = true;
        return true;
    };
    LedgerContent content;
    LedgerStream(source, false, nullptr, layout).Read(content);
    return content;
}

}  // namespace ledger_detail

using namespace ledger_detail;

LedgerContent ParseLedger(const std::string& bytes) {
    bool given = false;
    const TextSource source = [&](std::string& text) {
        if (!given)
            text += bytes;
        given = true;
        return true;
    };
    LedgerContent content;
    const EntrySink sink = [&](LedgerEntry&& entry) { content.entries.push_back(std::move(entry)); };
    LedgerStream(source, true, sink, kNewLedgerLayout).Read(content);
    return content;
}

bool ReadLedgerEntries(LedgerFile& file, const std::function<void(LedgerEntry&&)>& onEntry, LedgerContent& content) {
    uint64_t size = 0;
    return file.Size(size) && ReadStream(file, 0, size, onEntry, content);
}

}  // namespace core
