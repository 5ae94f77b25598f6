#include "core/ledger.h"

#include <algorithm>
#include <cstdio>

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
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Decimal digits only, no sign, no blanks, at most 2^32 - 1.
bool ParseDecimal(const std::string& text, uint32_t& value) {
    if (text.empty() || text.size() > 10 || !std::all_of(text.begin(), text.end(), IsDigit))
        return false;
    uint64_t v = 0;
    for (char c : text)
        v = v * 10 + static_cast<unsigned>(c - '0');
    if (v > 0xFFFFFFFFu)
        return false;
    value = static_cast<uint32_t>(v);
    return true;
}

// "0x" and one to eight hexadecimal digits.
bool IsHexValue(const std::string& text) {
    return text.size() >= 3 && text.size() <= 10 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
           std::all_of(text.begin() + 2, text.end(), IsHexDigit);
}

// Every character of the pattern is a digit ('9') or itself.
bool MatchesDigits(const std::string& text, size_t at, const char* pattern) {
    for (size_t i = 0; pattern[i] != '\0'; ++i) {
        if (at + i >= text.size())
            return false;
        char c = text[at + i];
        if (pattern[i] == '9' ? !IsDigit(c) : c != pattern[i])
            return false;
    }
    return true;
}

// "YYYY-MM-DDTHH:MM:SS" followed by "Z" or "+HH:MM" / "-HH:MM".
bool IsIsoTime(const std::string& text) {
    if (!MatchesDigits(text, 0, "9999-99-99T99:99:99"))
        return false;
    const std::string zone = text.substr(19);
    if (zone == "Z")
        return true;
    return zone.size() == 6 && (zone[0] == '+' || zone[0] == '-') && MatchesDigits(zone, 1, "99:99");
}

bool IsUuidText(const std::string& text) {
    if (text.size() != kUuidTextLength ||
        !std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return false;
    Uuid ignored;
    return ParseUuidText(std::wstring(text.begin(), text.end()), ignored);
}

// The line (1-based) of the first byte that is not UTF-8, or 0 when all are.
size_t FirstNonUtf8Line(const std::string& bytes, size_t from) {
    size_t line = 1;
    for (size_t at = from; at < bytes.size();) {
        size_t n = Utf8SequenceLength(bytes, at);
        if (n == 0)
            return line;
        if (bytes[at] == '\n')
            ++line;
        at += n;
    }
    return 0;
}

// Splits RFC 4180 records off the text one at a time, counting physical lines.
class CsvReader {
public:
    CsvReader(const std::string& text, size_t from, size_t line) : text_(text), pos_(from), line_(line) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    // The line on which the next record starts.
    size_t Line() const { return line_; }

    LedgerFault Next(std::vector<std::string>& fields) {
        fields.clear();
        for (;;) {
            std::string field;
            LedgerFault fault = !AtEnd() && text_[pos_] == '"' ? Quoted(field) : Plain(field);
            if (fault != LedgerFault::None)
                return fault;
            fields.push_back(std::move(field));
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

// A text that a spreadsheet would run as a formula: apostrophes, then one of "=+-@".
bool LooksLikeFormula(const std::string& text, size_t from) {
    size_t first = text.find_first_not_of('\'', from);
    return first != std::string::npos && std::string("=+-@").find(text[first]) != std::string::npos;
}

// The field as written, less the apostrophe that CsvField put before a formula-like text.
std::string FromCsvText(std::string field) {
    if (!field.empty() && field[0] == '\'' && LooksLikeFormula(field, 1))
        field.erase(0, 1);
    return field;
}

bool ToEntry(std::vector<std::string>& f, LedgerEntry& entry) {
    for (std::string& field : f)
        field = FromCsvText(std::move(field));
    entry.time = f[0];
    entry.station = f[1];
    entry.uuid = f[4];
    entry.product = f[5];
    entry.maker = f[6];
    entry.slot = f[7];
    entry.interfaceType = f[8];
    std::optional<LedgerStatus> status = ParseLedgerStatus(f[2]);
    if (!status)
        return false;
    entry.status = *status;
    return IsIsoTime(entry.time) && (entry.station.empty() || ParseStation(entry.station)) &&
           ParseDecimal(f[3], entry.number) && IsUuidText(entry.uuid) &&
           (entry.slot.empty() || IsHexValue(entry.slot)) && IsHexValue(entry.interfaceType);
}

LedgerContent Refuse(LedgerFault fault, size_t line) {
    LedgerContent content;
    content.fault = fault;
    content.faultLine = line;
    return content;
}

// The records from the reader's place to the end of its text.
LedgerContent ReadRecords(CsvReader& reader) {
    LedgerContent content;
    std::vector<std::string> fields;
    while (!reader.AtEnd()) {
        const size_t line = reader.Line();
        if (LedgerFault fault = reader.Next(fields); fault != LedgerFault::None)
            return Refuse(fault, line);
        if (fields.size() != kColumnCount)
            return Refuse(LedgerFault::FieldCount, line);
        LedgerEntry entry;
        if (!ToEntry(fields, entry))
            return Refuse(LedgerFault::BadField, line);
        content.highest = std::max(content.highest.value_or(0), entry.number);
        content.entries.push_back(std::move(entry));
    }
    content.lines = reader.Line() - 1;
    return content;
}

// Lines appended after the first `lines` lines of a ledger.
LedgerContent ParseAppended(const std::string& bytes, size_t lines) {
    if (size_t line = FirstNonUtf8Line(bytes, 0))
        return Refuse(LedgerFault::NotUtf8, lines + line);
    CsvReader reader(bytes, 0, lines + 1);
    return ReadRecords(reader);
}

// The index beside a ledger: "tolka-ledger-index 1 <length> <lines> <highest or -> <check>".
constexpr char kIndexTag[] = "tolka-ledger-index";
constexpr int kIndexVersion = 1;
constexpr uint64_t kCheckedBytes = 4096;  // at the start and at the end

struct LedgerIndex {
    uint64_t length = 0;
    size_t lines = 0;
    std::optional<uint32_t> highest;
    uint64_t check = 0;
};

uint64_t Fnv1a(const std::string& bytes, uint64_t hash) {
    for (char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    return hash;
}

// A hash of the first and the last bytes of the ledger's first `length` bytes.
bool CheckOf(LedgerFile& file, uint64_t length, uint64_t& check) {
    std::string head, tail;
    const uint64_t tailLength = std::min(length, kCheckedBytes);
    if (!file.ReadAt(0, std::min(length, kCheckedBytes), head) || !file.ReadAt(length - tailLength, tailLength, tail) ||
        tail.size() != tailLength)
        return false;
    check = Fnv1a(tail, Fnv1a(head, 0xcbf29ce484222325ull));
    return true;
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

// Decimal or (with base 16) hexadecimal digits only, at most 64 bits.
bool ParseUnsigned(const std::string& text, int base, uint64_t& value) {
    if (text.empty() || text.size() > (base == 16 ? 16u : 19u))
        return false;
    value = 0;
    for (char c : text) {
        int digit = IsDigit(c) ? c - '0' : (base == 16 && c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
        if (digit < 0)
            return false;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    return true;
}

std::optional<LedgerIndex> ParseIndex(const std::string& text) {
    const std::vector<std::string> w = Words(text);
    LedgerIndex index;
    uint64_t lines = 0;
    uint32_t highest = 0;
    if (w.size() != 6 || w[0] != kIndexTag || w[1] != std::to_string(kIndexVersion) ||
        !ParseUnsigned(w[2], 10, index.length) || !ParseUnsigned(w[3], 10, lines) ||
        !ParseUnsigned(w[5], 16, index.check) || (w[4] != "-" && !ParseDecimal(w[4], highest)))
        return std::nullopt;
    index.lines = static_cast<size_t>(lines);
    if (w[4] != "-")
        index.highest = highest;
    return index;
}

std::string FormatIndex(const LedgerIndex& index) {
    char check[20];
    std::snprintf(check, sizeof check, "%llx", static_cast<unsigned long long>(index.check));
    return std::string(kIndexTag) + " " + std::to_string(kIndexVersion) + " " + std::to_string(index.length) + " " +
           std::to_string(index.lines) + " " + (index.highest ? std::to_string(*index.highest) : "-") + " " + check +
           "\n";
}

// The index when it still describes the start of the ledger.
std::optional<LedgerIndex> ValidIndex(LedgerFile& file, uint64_t size) {
    std::optional<LedgerIndex> index = ParseIndex(file.ReadIndex());
    uint64_t check = 0;
    if (!index || index->length > size || index->lines == 0 || !CheckOf(file, index->length, check) ||
        check != index->check)
        return std::nullopt;
    return index;
}

}  // namespace

const char* LedgerStatusText(LedgerStatus status) {
    for (const StatusName& s : kStatusNames) {
        if (s.status == status)
            return s.text;
    }
    return "";
}

std::optional<LedgerStatus> ParseLedgerStatus(const std::string& text) {
    for (const StatusName& s : kStatusNames) {
        if (text == s.text)
            return s.status;
    }
    return std::nullopt;
}

std::optional<Station> ParseStation(const std::string& text) {
    size_t slash = text.find('/');
    Station station;
    if (slash == std::string::npos || !ParseDecimal(text.substr(0, slash), station.k) ||
        !ParseDecimal(text.substr(slash + 1), station.n))
        return std::nullopt;
    if (station.k < 1 || station.k > station.n)
        return std::nullopt;
    return station;
}

std::string FormatStation(const Station& station) {
    return std::to_string(station.k) + "/" + std::to_string(station.n);
}

LedgerContent ParseLedger(const std::string& bytes) {
    LedgerContent content;
    if (bytes.empty()) {
        content.fresh = true;
        return content;
    }
    const size_t bom = sizeof kByteOrderMark - 1;
    if (bytes.compare(0, bom, kByteOrderMark) != 0)
        return Refuse(LedgerFault::NoByteOrderMark, 1);
    if (size_t line = FirstNonUtf8Line(bytes, bom))
        return Refuse(LedgerFault::NotUtf8, line);
    CsvReader reader(bytes, bom, 1);
    std::vector<std::string> fields;
    if (reader.AtEnd() || reader.Next(fields) != LedgerFault::None ||
        !std::equal(fields.begin(), fields.end(), std::begin(kColumns), std::end(kColumns)))
        return Refuse(LedgerFault::BadHeader, 1);
    return ReadRecords(reader);
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
                                  std::to_string(entry.number),
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
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, t.offsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}

bool ReadWholeLedger(LedgerFile& file, std::string& bytes) {
    uint64_t size = 0;
    return file.Size(size) && file.ReadAt(0, size, bytes) && bytes.size() == size;
}

bool ScanLedger(LedgerFile& file, LedgerContent& content) {
    content = LedgerContent();
    uint64_t size = 0;
    if (!file.Size(size))
        return false;
    std::string bytes;
    if (std::optional<LedgerIndex> index = ValidIndex(file, size)) {
        if (!file.ReadAt(index->length, size - index->length, bytes))
            return false;
        content = ParseAppended(bytes, index->lines);
        if (content.fault == LedgerFault::None && index->highest)
            content.highest = std::max(content.highest.value_or(0), *index->highest);
    } else {
        if (!ReadWholeLedger(file, bytes))
            return false;
        content = ParseLedger(bytes);
    }
    LedgerIndex now{size, content.lines, content.highest, 0};
    if (content.fault == LedgerFault::None && !content.fresh && !bytes.empty() && CheckOf(file, size, now.check))
        file.WriteIndex(FormatIndex(now));
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
