#include "line/ledger.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "core/digits.h"
#include "core/record.h"
#include "core/utf8.h"

namespace core {

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";
const char* const kColumns[] = {"time", "station", "status", "number", "uuid", "product", "maker", "slot", "interface"};
constexpr size_t kColumnCount = sizeof kColumns / sizeof kColumns[0];

struct StatusName {
    LedgerStatus status;
    const char* text;
};
const StatusName kStatusNames[] = {
    {LedgerStatus::Reserved, "reserved"},
    {LedgerStatus::Ok, "ok"},
    {LedgerStatus::Failed, "failed"},
};

bool IsDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

bool IsHexDigit(char c) {
    return IsDigit(c) || static_cast<unsigned char>((c | 0x20) - 'a') < 6;
}

// Decimal digits only, no sign, no blanks, at most 2^32 - 1.
bool ParseNumber(std::string_view text, uint32_t& value) {
    const std::optional<uint64_t> number = ParseDecimal(text, 0xFFFFFFFFu);
    if (number)
        value = static_cast<uint32_t>(*number);
    return number.has_value();
}

// "0x" and one to eight hexadecimal digits.
bool IsHexValue(std::string_view text) {
    return text.size() >= 3 && text.size() <= 10 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
           std::all_of(text.begin() + 2, text.end(), IsHexDigit);
}

// Every character of the pattern is a digit ('9') or itself.
bool MatchesDigits(std::string_view text, size_t at, std::string_view pattern) {
    if (text.size() < at + pattern.size())
        return false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        char c = text[at + i];
        if (pattern[i] == '9' ? !IsDigit(c) : c != pattern[i])
            return false;
    }
    return true;
}

// "YYYY-MM-DDTHH:MM:SS" followed by "Z" or "+HH:MM" / "-HH:MM".
bool IsIsoTime(std::string_view text) {
    if (!MatchesDigits(text, 0, "9999-99-99T99:99:99"))
        return false;
    const std::string_view zone = text.substr(19);
    if (zone == "Z")
        return true;
    return zone.size() == 6 && (zone[0] == '+' || zone[0] == '-') && MatchesDigits(zone, 1, "99:99");
}

// "3aa4096d-2cc0-46dd-878a-88511d75ac78": hexadecimal digits in groups of 8, 4, 4, 4 and 12.
bool IsUuidText(std::string_view text) {
    if (text.size() != kUuidTextLength)
        return false;
    size_t at = 0;
    for (size_t group : {size_t{8}, size_t{4}, size_t{4}, size_t{4}, size_t{12}}) {
        if (at != 0 && text[at++] != '-')
            return false;
        for (const size_t end = at + group; at < end; ++at) {
            if (!IsHexDigit(text[at]))
                return false;
        }
    }
    return true;
}

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
    LedgerFault Next(std::vector<std::string>& fields) {
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

private:
    bool AtLineEnd(size_t at) const {
        return text_[at] == '\n' || (text_[at] == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n');
    }

    // The file ends in the CR of a line end whose LF never reached it.
    bool LostItsLineFeed(size_t at) const { return text_[at] == '\r' && at + 1 == text_.size(); }

    LedgerFault Plain(std::string& field) {
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

    LedgerFault Quoted(std::string& field) {
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

    const std::string& text_;
    size_t pos_;
    size_t line_;
};

// A text that a spreadsheet would run as a formula: apostrophes, then one of "=+-@", or a tab
// or a CR, which spreadsheets pass over before a formula.
bool LooksLikeFormula(std::string_view text, size_t from) {
    size_t first = text.find_first_not_of('\'', from);
    return first != std::string_view::npos && std::string_view("=+-@\t\r").find(text[first]) != std::string_view::npos;
}

// The field as written, less the apostrophe that CsvField put before a formula-like text.
std::string FromCsvText(std::string_view field) {
    if (!field.empty() && field[0] == '\'' && LooksLikeFormula(field, 1))
        field.remove_prefix(1);
    return std::string(field);
}

// Whether a line's nine fields hold what their columns hold, and its Number. Checked as
// written: the apostrophe that keeps a formula from running is never valid in these columns,
// taken off or not.
bool IsSoundLine(const std::string_view* f, uint32_t& number) {
    return ParseLedgerStatus(f[2]) && IsIsoTime(f[0]) && (f[1].empty() || ParseStation(f[1])) &&
           ParseNumber(f[3], number) && IsUuidText(f[4]) && (f[7].empty() || IsHexValue(f[7])) && IsHexValue(f[8]);
}

// A sound line's entry, its texts as they were before CsvField wrote them.
LedgerEntry EntryOf(const std::string_view* f, uint32_t number) {
    LedgerEntry entry;
    entry.time = FromCsvText(f[0]);
    entry.station = FromCsvText(f[1]);
    entry.status = *ParseLedgerStatus(f[2]);
    entry.number = number;
    entry.uuid = FromCsvText(f[4]);
    entry.product = FromCsvText(f[5]);
    entry.maker = FromCsvText(f[6]);
    entry.slot = FromCsvText(f[7]);
    entry.interfaceType = FromCsvText(f[8]);
    return entry;
}

constexpr uint64_t kEveryByte = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

// Whether one of the eight bytes is zero.
constexpr bool HasZeroByte(uint64_t word) {
    return ((word - kEveryByte) & ~word & kHighBits) != 0;
}

// How many bytes from `at` on, before `limit`, are ASCII; eight at a time while they are.
size_t AsciiRun(const std::string& text, size_t at, size_t limit) {
    size_t i = at;
    for (; i + 8 <= limit; i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, text.data() + i, 8);
        if ((word & kHighBits) != 0)
            break;
    }
    while (i < limit && static_cast<unsigned char>(text[i]) < 0x80)
        ++i;
    return i - at;
}

bool IsSeparator(char c) {
    return c == ',' || c == '\n' || c == '"' || c == '\r';
}

// The first comma, line feed, quote or CR from `bytes` on, or `end`; eight bytes at a time
// where none is among them (the system's memchr is a byte loop on some runtimes).
const char* NextSeparator(const char* bytes, const char* end) {
    for (; end - bytes >= 8; bytes += 8) {
        uint64_t word = 0;
        std::memcpy(&word, bytes, 8);
        if (HasZeroByte(word ^ (kEveryByte * ',')) || HasZeroByte(word ^ (kEveryByte * '\n')) ||
            HasZeroByte(word ^ (kEveryByte * '"')) || HasZeroByte(word ^ (kEveryByte * '\r')))
            break;
    }
    while (bytes < end && !IsSeparator(*bytes))
        ++bytes;
    return bytes;
}

size_t CountLineFeeds(const char* bytes, size_t length) {
    return static_cast<size_t>(std::count(bytes, bytes + length, '\n'));
}

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
    // Appends the next piece of the text to `text`; appends nothing at the end. False when
    // the text cannot be read.
    using Source = std::function<bool(std::string& text)>;
    using EntrySink = std::function<void(LedgerEntry&& entry)>;

    LedgerStream(const Source& source, bool fromFileStart, const EntrySink& sink)
        : source_(source), sink_(sink), preamble_(fromFileStart) {}

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
        std::string_view fields[kColumnCount];
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
            if (count < kColumnCount)
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
            std::string_view fields[kColumnCount];
            std::copy_n(fields_.begin(), std::min(fields_.size(), kColumnCount), fields);
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

    static LedgerFault CheckHeader(const std::vector<std::string>& fields) {
        return std::equal(fields.begin(), fields.end(), std::begin(kColumns), std::end(kColumns))
                   ? LedgerFault::None
                   : LedgerFault::BadHeader;
    }

    LedgerFault TakeEntry(const std::string_view* fields, size_t count) {
        if (count != kColumnCount)
            return LedgerFault::FieldCount;
        uint32_t number = 0;
        if (!IsSoundLine(fields, number))
            return LedgerFault::BadField;
        highest_ = std::max(highest_.value_or(0), number);
        if (sink_)
            sink_(EntryOf(fields, number));
        return LedgerFault::None;
    }

    const Source& source_;
    const EntrySink& sink_;
    std::vector<std::string> fields_;
    bool preamble_;  // the header line is still to come
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

bool ReadStream(LedgerFile& file,
                uint64_t from,
                uint64_t to,
                const LedgerStream::EntrySink& sink,
                LedgerContent& content) {
    const LedgerStream::Source source = FileSource(file, from, to);
    return LedgerStream(source, from == 0, sink).Read(content);
}

// Lines of ledger text that begins at the start of a line, without the header.
LedgerContent ParseLines(const std::string& text) {
    bool given = false;
    const LedgerStream::Source source = [&](std::string& out) {
        if (!given)
            out += text;
        given = true;
        return true;
    };
    LedgerContent content;
    LedgerStream(source, false, nullptr).Read(content);
    return content;
}

// The index beside a ledger, one line: "tolka-ledger-index 2 <length> <highest or -> <check>".
// It says that the ledger's first <length> bytes were read whole and sound and that <highest>
// is the highest Number on them. <check> is a hash of the line's own fields and of the first
// and the last 4 KiB of those bytes. It is believed only when it is exactly such a line, its
// check holds, the bytes it covers end with a whole line, and the lines in their last 4 KiB
// agree with <highest> (a Number reserved is above every earlier one, so the last lines of a
// ledger hold its highest Number). Otherwise the ledger is read whole: the index can cost
// time, never decide a Number that a full read would not.
constexpr char kIndexTag[] = "tolka-ledger-index";
constexpr char kIndexVersion[] = "2";
constexpr uint64_t kCheckedBytes = 4096;  // at the start and at the end

struct LedgerIndex {
    uint64_t length = 0;
    std::optional<uint32_t> highest;
    uint64_t check = 0;
};

// The first and the last bytes of the ledger's first `length` bytes.
struct LedgerEnds {
    std::string head;
    std::string tail;
};

bool ReadEnds(LedgerFile& file, uint64_t length, LedgerEnds& ends) {
    const uint64_t tailLength = std::min(length, kCheckedBytes);
    return file.ReadAt(0, tailLength, ends.head) && ends.head.size() == tailLength &&
           file.ReadAt(length - tailLength, tailLength, ends.tail) && ends.tail.size() == tailLength;
}

uint64_t Fnv1a(const std::string& bytes, uint64_t hash) {
    for (char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    return hash;
}

std::string IndexFields(const LedgerIndex& index) {
    return std::string(kIndexTag) + " " + kIndexVersion + " " + DecimalText(index.length) + " " +
           (index.highest ? DecimalText(*index.highest) : "-");
}

uint64_t CheckOf(const LedgerIndex& index, const LedgerEnds& ends) {
    return Fnv1a(ends.tail, Fnv1a(ends.head, Fnv1a(IndexFields(index), 0xcbf29ce484222325ull)));
}

std::string FormatIndex(const LedgerIndex& index) {
    return IndexFields(index) + " " + HexText(index.check, 1, HexCase::Lower) + "\n";
}

// The blank-separated words of a line.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    size_t at = 0;
    while ((at = text.find_first_not_of(" \r\n", at)) != std::string::npos) {
        size_t end = text.find_first_of(" \r\n", at);
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

// Lower-case hexadecimal digits only, at most 64 bits.
bool ParseLowerHex(const std::string& text, uint64_t& value) {
    if (text.empty() || text.size() > 16)
        return false;
    value = 0;
    for (char c : text) {
        int digit = IsDigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<uint64_t>(digit);
    }
    return true;
}

// The index as written by FormatIndex, and nothing else: no other spelling of a field.
std::optional<LedgerIndex> ParseIndex(const std::string& text) {
    const std::vector<std::string> w = Words(text);
    LedgerIndex index;
    uint32_t highest = 0;
    const std::optional<uint64_t> length = w.size() == 5 ? ParseDecimal(w[2], UINT64_MAX) : std::nullopt;
    if (!length || !ParseLowerHex(w[4], index.check) || (w[3] != "-" && !ParseNumber(w[3], highest)))
        return std::nullopt;
    index.length = *length;
    if (w[3] != "-")
        index.highest = highest;
    if (FormatIndex(index) != text)
        return std::nullopt;
    return index;
}

// Whether the whole lines in the last bytes the index covers have its highest Number.
bool TailAgrees(const LedgerIndex& index, const LedgerEnds& ends) {
    const std::string& tail = ends.tail;
    if (tail.empty() || tail.back() != '\n')
        return false;
    LedgerContent seen;
    if (tail.size() == index.length) {
        seen = ParseLedger(tail);
    } else {
        const size_t lineStart = tail.find('\n') + 1;
        seen = ParseLines(tail.substr(lineStart));
    }
    return seen.fault == LedgerFault::None && seen.highest == index.highest;
}

// The index when it is to be believed for the held ledger of `size` bytes.
std::optional<LedgerIndex> TrustedIndex(LedgerFile& file, uint64_t size) {
    std::optional<LedgerIndex> index = ParseIndex(file.ReadIndex());
    LedgerEnds ends;
    if (!index || index->length > size || !ReadEnds(file, index->length, ends) ||
        CheckOf(*index, ends) != index->check || !TailAgrees(*index, ends))
        return std::nullopt;
    return index;
}

// Records that the ledger's first `length` bytes are sound with this highest Number.
void RecordIndex(LedgerFile& file, uint64_t length, std::optional<uint32_t> highest) {
    LedgerIndex index{length, highest, 0};
    LedgerEnds ends;
    if (!ReadEnds(file, length, ends))
        return;
    index.check = CheckOf(index, ends);
    file.WriteIndex(FormatIndex(index));
}

}  // namespace

const char* LedgerStatusText(LedgerStatus status) {
    for (const StatusName& s : kStatusNames) {
        if (s.status == status)
            return s.text;
    }
    return "";
}

std::optional<LedgerStatus> ParseLedgerStatus(std::string_view text) {
    for (const StatusName& s : kStatusNames) {
        if (text == s.text)
            return s.status;
    }
    return std::nullopt;
}

std::optional<Station> ParseStation(std::string_view text) {
    size_t slash = text.find('/');
    Station station;
    if (slash == std::string::npos || !ParseNumber(text.substr(0, slash), station.k) ||
        !ParseNumber(text.substr(slash + 1), station.n))
        return std::nullopt;
    if (station.k < 1 || station.k > station.n)
        return std::nullopt;
    return station;
}

std::string FormatStation(const Station& station) {
    return DecimalText(station.k) + "/" + DecimalText(station.n);
}

LedgerContent ParseLedger(const std::string& bytes) {
    bool given = false;
    const LedgerStream::Source source = [&](std::string& text) {
        if (!given)
            text += bytes;
        given = true;
        return true;
    };
    LedgerContent content;
    const LedgerStream::EntrySink sink = [&](LedgerEntry&& entry) { content.entries.push_back(std::move(entry)); };
    LedgerStream(source, true, sink).Read(content);
    return content;
}

std::string LedgerPreamble() {
    std::string text = kByteOrderMark;
    for (size_t i = 0; i < kColumnCount; ++i)
        text += (i ? "," : "") + std::string(kColumns[i]);
    return text + "\r\n";
}

std::string CsvField(const std::string& text) {
    const std::string written = LooksLikeFormula(text, 0) ? "'" + text : text;
    if (written.find_first_of(",\"\r\n") == std::string::npos)
        return written;
    std::string quoted = "\"";
    for (char c : written) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

std::string FormatLedgerLine(const LedgerEntry& entry) {
    const std::string fields[] = {entry.time,
                                  entry.station,
                                  LedgerStatusText(entry.status),
                                  DecimalText(entry.number),
                                  entry.uuid,
                                  entry.product,
                                  entry.maker,
                                  entry.slot,
                                  entry.interfaceType};
    std::string line;
    for (size_t i = 0; i < kColumnCount; ++i)
        line += (i ? "," : "") + CsvField(fields[i]);
    return line + "\r\n";
}

std::optional<uint32_t> NextNumber(std::optional<uint32_t> highest, uint32_t floor, const Station& station) {
    if (station.n == 0)
        return std::nullopt;
    uint64_t start = floor;
    if (highest)
        start = std::max<uint64_t>(start, uint64_t{*highest} + 1);
    const uint64_t n = station.n;
    const uint64_t candidate = start + (station.k % n + n - start % n) % n;
    if (candidate > 0xFFFFFFFFu)
        return std::nullopt;
    return static_cast<uint32_t>(candidate);
}

std::string FormatIsoTime(const LocalTime& t) {
    const int offset = t.offsetMinutes < 0 ? -t.offsetMinutes : t.offsetMinutes;
    std::string text = DecimalText(t.year, 4);
    auto add = [&text](char separator, int value) { text += separator + DecimalText(value, 2); };
    add('-', t.month);
    add('-', t.day);
    add('T', t.hour);
    add(':', t.minute);
    add(':', t.second);
    add(t.offsetMinutes < 0 ? '-' : '+', offset / 60);
    add(':', offset % 60);
    return text;
}

bool ReadLedgerEntries(LedgerFile& file, const std::function<void(LedgerEntry&&)>& onEntry, LedgerContent& content) {
    uint64_t size = 0;
    return file.Size(size) && ReadStream(file, 0, size, onEntry, content);
}

bool ScanLedger(LedgerFile& file, LedgerContent& content) {
    content = LedgerContent();
    uint64_t size = 0;
    if (!file.Size(size))
        return false;
    if (std::optional<LedgerIndex> index = TrustedIndex(file, size)) {
        if (!ReadStream(file, index->length, size, nullptr, content))
            return false;
        if (content.fault == LedgerFault::None) {
            if (index->highest)
                content.highest = std::max(content.highest.value_or(0), *index->highest);
            if (size > index->length)
                RecordIndex(file, size, content.highest);
            return true;
        }
    }
    // A fault after the index is told as a read of the whole file tells it, from the
    // ledger's own lines.
    if (!ReadStream(file, 0, size, nullptr, content))
        return false;
    if (content.fault == LedgerFault::None && !content.fresh)
        RecordIndex(file, size, content.highest);
    return true;
}

Reservation ReserveNumber(LedgerFile& file, LedgerEntry line, uint32_t floor, const Station& station) {
    Reservation result;
    LedgerContent content;
    if (!ScanLedger(file, content)) {
        result.failure = ReserveFailure::ReadFailed;
        return result;
    }
    if (content.fault != LedgerFault::None) {
        result.failure = ReserveFailure::Refused;
        result.fault = content.fault;
        result.faultLine = content.faultLine;
        return result;
    }
    std::optional<uint32_t> next = NextNumber(content.highest, floor, station);
    if (!next) {
        result.failure = ReserveFailure::Exhausted;
        return result;
    }
    line.number = *next;
    line.status = LedgerStatus::Reserved;
    if (!file.Append((content.fresh ? LedgerPreamble() : std::string()) + FormatLedgerLine(line))) {
        result.failure = ReserveFailure::AppendFailed;
        return result;
    }
    result.number = *next;
    return result;
}

}  // namespace core
