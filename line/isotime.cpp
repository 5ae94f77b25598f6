#include "line/isotime.h"

#include "core/digits.h"

namespace core {

namespace {

// How much a reader asks of a time's fields: digits where digits go, or also a date that exists
// and a time on the clock.
enum class Check { Form, Clock };

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// The number of `count` decimal digits at text[at]; -1 when they are not all digits.
int Digits(std::string_view text, size_t at, size_t count) {
    if (at + count > text.size())
        return -1;
    int value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool Is(std::string_view text, size_t at, char c) {
    return at < text.size() && text[at] == c;
}

// "YYYY-MM-DD" at the start of the text, as days since 1970-01-01 (any number when only the
// form was asked for).
std::optional<int64_t> ParseDate(std::string_view text, Check check) {
    const int y = Digits(text, 0, 4), m = Digits(text, 5, 2), d = Digits(text, 8, 2);
    if (y < 0 || m < 0 || d < 0 || !Is(text, 4, '-') || !Is(text, 7, '-'))
        return std::nullopt;
    if (check == Check::Clock && (m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)))
        return std::nullopt;
    return DaysFromCivil(y, m, d);
}

// "Z", "+HH:MM" or "-HH:MM", the whole of what follows `at`.
std::optional<int> ParseOffset(std::string_view text, size_t at, Check check) {
    if (text.size() == at + 1 && text[at] == 'Z')
        return 0;
    const int h = Digits(text, at + 1, 2), m = Digits(text, at + 4, 2);
    if (text.size() != at + 6 || (text[at] != '+' && text[at] != '-') || !Is(text, at + 3, ':') || h < 0 || m < 0)
        return std::nullopt;
    if (check == Check::Clock && (h > 23 || m > 59))
        return std::nullopt;
    return (text[at] == '-' ? -1 : 1) * (h * 60 + m);
}

// "HH:MM" at text[at], and ":SS" after it when `seconds`.
std::optional<int64_t> ParseTimeOfDay(std::string_view text, size_t at, bool seconds, Check check) {
    const int h = Digits(text, at, 2), m = Digits(text, at + 3, 2);
    const int s = seconds ? Digits(text, at + 6, 2) : 0;
    if (h < 0 || m < 0 || s < 0 || !Is(text, at + 2, ':') || (seconds && !Is(text, at + 5, ':')))
        return std::nullopt;
    if (check == Check::Clock && (h > 23 || m > 59 || s > 59))
        return std::nullopt;
    return h * kHour + m * kMinute + s;
}

std::optional<ClockTime> ReadLedgerTime(std::string_view text, Check check) {
    std::optional<int64_t> days = ParseDate(text, check);
    std::optional<int64_t> time = ParseTimeOfDay(text, 11, true, check);
    std::optional<int> offset = ParseOffset(text, 19, check);
    if (!days || !Is(text, 10, 'T') || !time || !offset)
        return std::nullopt;
    return ClockTime{*days * kDay + *time, offset};
}

}  // namespace

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = FloorDiv(y, 400);
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int64_t& y, int& m, int& d) {
    days += 719468;
    const int64_t era = FloorDiv(days, 146097);
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    d = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yearOfEra + era * 400 + (m <= 2);
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

LocalTime WallClockOf(int64_t wallSeconds) {
    const int64_t days = FloorDiv(wallSeconds, kDay);
    const int64_t inDay = wallSeconds - days * kDay;
    LocalTime t;
    int64_t y = 0;
    CivilFromDays(days, y, t.month, t.day);
    t.year = static_cast<int>(y);
    t.hour = static_cast<int>(inDay / kHour);
    t.minute = static_cast<int>(inDay % kHour / kMinute);
    t.second = static_cast<int>(inDay % kMinute);
    return t;
}

std::optional<ClockTime> ParseLedgerTime(std::string_view text) {
    return ReadLedgerTime(text, Check::Clock);
}

bool HasLedgerTimeForm(std::string_view text) {
    return ReadLedgerTime(text, Check::Form).has_value();
}

std::optional<PeriodBound> ParsePeriodBound(const std::string& text, bool isEnd) {
    std::optional<int64_t> days = ParseDate(text, Check::Clock);
    if (!days)
        return std::nullopt;
    if (text.size() == 10)
        return PeriodBound{text, ClockTime{*days * kDay + (isEnd ? kDay - 1 : 0), std::nullopt}};
    if (!Is(text, 10, 'T'))
        return std::nullopt;
    const bool seconds = Is(text, 16, ':');
    std::optional<int64_t> time = ParseTimeOfDay(text, 11, seconds, Check::Clock);
    const size_t zoneAt = seconds ? 19 : 16;
    std::optional<int> offset;
    if (text.size() > zoneAt && !(offset = ParseOffset(text, zoneAt, Check::Clock)))
        return std::nullopt;
    if (!time)
        return std::nullopt;
    const int64_t last = isEnd && !seconds ? kMinute - 1 : 0;
    return PeriodBound{text, ClockTime{*days * kDay + *time + last, offset}};
}

}  // namespace core
