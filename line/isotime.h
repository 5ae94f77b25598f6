// Times as the ledgers write them ("2024-05-01T09:30:00+09:00") and as the user names the ends
// of a period: the proleptic Gregorian calendar, the one reader of these texts and their writer.
// Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

constexpr int64_t kMinute = 60;
constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 86400;

// a / b rounded down, for times before 1970 too.
int64_t FloorDiv(int64_t a, int64_t b);

// Days since 1970-01-01 of a date, and the date of such a day.
int64_t DaysFromCivil(int64_t y, int m, int d);
void CivilFromDays(int64_t days, int64_t& y, int& m, int& d);

// A wall-clock time with its offset from UTC in minutes (east positive).
struct LocalTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    int offsetMinutes = 0;
};

// "2024-05-01T09:30:00+09:00"; an offset of zero is written "+00:00".
std::string FormatIsoTime(const LocalTime& time);

// The calendar date and time of day of wall-clock seconds since 1970-01-01 (offset 0).
LocalTime WallClockOf(int64_t wallSeconds);

// A ledger time read as its wall clock and its offset from UTC.
struct ClockTime {
    int64_t wallSeconds = 0;           // seconds since 1970-01-01T00:00:00 on the clock as written
    std::optional<int> offsetMinutes;  // east positive; none where the text gave none
    int64_t Instant() const { return wallSeconds - int64_t{offsetMinutes.value_or(0)} * 60; }
};

// "YYYY-MM-DDTHH:MM:SS" with "Z" or "+HH:MM"/"-HH:MM", as the ledgers write their times, with
// a date that exists and a time of day from 00:00:00 to 23:59:59. Empty for anything else.
std::optional<ClockTime> ParseLedgerTime(std::string_view text);

// The same form with any digits in its fields: what a ledger line's time must look like. A
// line is not refused for a date that does not exist; the summary passes over such a line.
bool HasLedgerTimeForm(std::string_view text);

// One end of the period the user chooses (--from, --to): a date "YYYY-MM-DD", or a date-time
// "YYYY-MM-DDTHH:MM" or "YYYY-MM-DDTHH:MM:SS", the date-time with "Z" or "+HH:MM"/"-HH:MM" if
// wanted. Each names a stretch of time (a day, a minute, a second): a start begins with its
// first second, an end ends with its last. With an offset the bound is an instant, compared
// with each line's own instant; without one it is a wall-clock time, compared with the time
// the line's station wrote, whatever its offset (the factory's local time).
struct PeriodBound {
    std::string text;  // as given
    ClockTime time;
};
std::optional<PeriodBound> ParsePeriodBound(const std::string& text, bool isEnd);

}  // namespace core
