#include "line/ledgerline.h"

#include <algorithm>

#include "core/digits.h"
#include "core/record.h"

namespace core {

namespace ledger_detail {

namespace {

struct StatusName {
    LedgerStatus status;
    const char* text;
};
const StatusName kStatusNames[] = {
    {LedgerStatus::Reserved, "reserved"},
    {LedgerStatus::Ok, "ok"},
    {LedgerStatus::Failed, "failed"},
};

bool IsHexDigit(char c) {
    return IsDigit(c) || static_cast<unsigned char>((c | 0x20) - 'a') < 6;
}

// "0x" and one to eight hexadecimal digits.
bool IsHexValue(std::string_view text) {
    return text.size() >= 3 && text.size() <= 10 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
           std::all_of(text.begin() + 2, text.end(), IsHexDigit);
}

// The field as written, less the apostrophe that CsvField put before a formula-like text.
std::string FromCsvText(std::string_view field) {
    if (!field.empty() && field[0] == '\'' && LooksLikeFormula(field, 1))
        field.remove_prefix(1);
    return std::string(field);
}

}  // namespace

bool ParseNumber(std::string_view text, uint32_t& value) {
    const std::optional<uint64_t> number = ParseDecimal(text, 0xFFFFFFFFu);
    if (number)
        value = static_cast<uint32_t>(*number);
    return number.has_value();
}

bool LooksLikeFormula(std::string_view text, size_t from) {
    size_t first = text.find_first_not_of('\'', from);
    return first != std::string_view::npos && std::string_view("=+-@\t\r").find(text[first]) != std::string_view::npos;
}

namespace {

// An empty field, or a Number.
bool IsOptionalNumber(std::string_view text) {
    uint32_t value = 0;
    return text.empty() || ParseNumber(text, value);
}

std::optional<uint32_t> OptionalNumber(std::string_view text) {
    uint32_t value = 0;
    return !text.empty() && ParseNumber(text, value) ? std::optional<uint32_t>(value) : std::nullopt;
}

std::string OptionalText(const std::optional<uint32_t>& value) {
    return value ? DecimalText(*value) : std::string();
}

}  // namespace

bool IsSoundLine(const std::string_view* f, int layout, uint32_t& number) {
    Uuid uuid;
    const bool first = ParseLedgerStatus(f[2]) && HasLedgerTimeForm(f[0]) && (f[1].empty() || ParseStation(f[1])) &&
                       ParseNumber(f[3], number) && ParseUuidText(f[4], uuid) && (f[7].empty() || IsHexValue(f[7])) &&
                       IsHexValue(f[8]);
    return first && (layout == kLedgerLayout1 || (IsOptionalNumber(f[12]) && IsOptionalNumber(f[14])));
}

int LayoutOfHeader(const std::string* fields, size_t count) {
    for (int layout : {kLedgerLayout1, kLedgerLayout2}) {
        if (count == ColumnCount(layout) && std::equal(fields, fields + count, std::begin(kColumns)))
            return layout;
    }
    return 0;
}

LedgerEntry EntryOf(const std::string_view* f, int layout, uint32_t number) {
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
    if (layout == kLedgerLayout1)
        return entry;
    entry.operatorId = FromCsvText(f[9]);
    entry.recipe = FromCsvText(f[10]);
    entry.version = FromCsvText(f[11]);
    entry.durationMs = OptionalNumber(f[12]);
    entry.cause = FromCsvText(f[13]);
    entry.replaces = OptionalNumber(f[14]);
    return entry;
}

}  // namespace ledger_detail

using namespace ledger_detail;

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

std::string LedgerPreamble(int layout) {
    std::string text = kByteOrderMark;
    for (size_t i = 0; i < ColumnCount(layout); ++i)
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

std::string FormatLedgerLine(const LedgerEntry& entry, int layout) {
    const std::string fields[] = {entry.time,
                                  entry.station,
                                  LedgerStatusText(entry.status),
                                  DecimalText(entry.number),
                                  entry.uuid,
                                  entry.product,
                                  entry.maker,
                                  entry.slot,
                                  entry.interfaceType,
                                  entry.operatorId,
                                  entry.recipe,
                                  entry.version,
                                  OptionalText(entry.durationMs),
                                  entry.cause,
                                  OptionalText(entry.replaces)};
    std::string line;
    for (size_t i = 0; i < ColumnCount(layout); ++i)
        line += (i ? "," : "") + CsvField(fields[i]);
    return line + "\r\n";
}

}  // namespace core
