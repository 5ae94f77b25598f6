// A ledger (file or database) in figures for one period: what a production report shows.
// The lines are handed over one at a time, in the ledger's order, and only figures are kept
// (per station, per product, per hour, the Number ranges, the reservations still without
// ok), so that a ledger of millions of lines needs no list of them. Portable: no <windows.h>.
//
//   LedgerSummary summary(period);
//   core::ReadLedgerEntries(file, [&](LedgerEntry&& e) { summary.Add(e); }, content);
//   const LedgerFigures& figures = summary.Finish();
//
// A Number belongs to the period when its reservation does: its outcome counts with it,
// wherever that line's own time falls, and an outcome whose reservation is outside the
// period (or not in the ledger) counts nowhere. A Number is ok once an ok line follows its
// reservation; a gap is a reservation without ok (failed, or never told).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <string>
#include <vector>

#include "line/ledger.h"

namespace core {

// A ledger time read as its wall clock and its offset from UTC.
struct ClockTime {
    int64_t wallSeconds = 0;           // seconds since 1970-01-01T00:00:00 on the clock as written
    std::optional<int> offsetMinutes;  // east positive; none where the text gave none
    int64_t Instant() const { return wallSeconds - int64_t{offsetMinutes.value_or(0)} * 60; }
};

// "YYYY-MM-DDTHH:MM:SS" with "Z" or "+HH:MM"/"-HH:MM", as the ledgers write their times, with
// a date that exists and a time of day from 00:00:00 to 23:59:59. Empty for anything else.
std::optional<ClockTime> ParseLedgerTime(const std::string& text);

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

struct Period {
    std::optional<PeriodBound> from, to;
    bool Contains(const ClockTime& time) const;
};

// Reservations and what became of them.
struct ReportCounts {
    uint64_t reserved = 0;
    uint64_t ok = 0;
    uint64_t failed = 0;  // a failed line and no ok
    uint64_t Gaps() const { return reserved - ok; }
};

// Reserved Numbers that follow one another at the station's step (N of "K/N", 1 without).
struct NumberRange {
    uint32_t first = 0;
    uint32_t last = 0;
    uint64_t count = 0;
};

struct StationFigures {
    std::string station;  // "K/N", or empty for lines without a station
    uint32_t step = 1;
    ReportCounts counts;
    std::vector<NumberRange> ranges;  // the first kListedRanges, in the ledger's order
    uint64_t rangeCount = 0;          // all of them
};

struct ProductFigures {
    std::string product;
    ReportCounts counts;
};

// A reservation without ok: the Number, the time and station of its reservation (of its
// failed line, when there is one), and its product.
struct GapLine {
    uint32_t number = 0;
    std::string time;
    std::string station;
    std::string product;
    bool failed = false;
};

// The reservations of one stretch of the chart's time axis.
struct ChartBucket {
    int64_t start = 0;  // wall-clock seconds of the stretch's first second
    uint64_t reserved = 0;
    uint64_t ok = 0;
};

enum class ChartUnit { Hour, Day, Month, Year };

struct LedgerFigures {
    uint64_t lines = 0;                // ledger lines read, the header not counted
    uint64_t untimedReservations = 0;  // whose time cannot be read: in no period, left out
    ReportCounts total;
    std::string firstReservation, lastReservation;  // times as written, of the period's earliest and latest
    std::vector<StationFigures> stations;           // in station order (K, then N), no station first,
                                                    // at most kListedStations
    uint64_t stationCount = 0;
    std::vector<ProductFigures> products;  // the most reserved first, at most kListedProducts
    uint64_t productCount = 0;
    std::vector<GapLine> gaps;  // in Number order, at most kListedGaps (total.Gaps() in all)
    ChartUnit unit = ChartUnit::Hour;
    std::vector<ChartBucket> chart;  // every stretch from the first reservation's to the last one's
};

// How much of each list a report shows, so that the page stays small for any ledger.
constexpr size_t kListedStations = 100;
constexpr size_t kListedRanges = 20;      // per station
constexpr size_t kListedRangeRows = 200;  // of all stations together
constexpr size_t kListedProducts = 50;
constexpr size_t kListedGaps = 200;
// The chart's unit is the smallest of hour, day, month and year that needs no more stretches.
constexpr size_t kChartMaxHours = 24 * 31;
constexpr size_t kChartMaxDays = 3 * 366;
constexpr size_t kChartMaxMonths = 240;

class LedgerSummary {
public:
    explicit LedgerSummary(Period period) : period_(std::move(period)) {}

    void Add(const LedgerEntry& entry);
    // The figures of every line added; Add may not be called after.
    const LedgerFigures& Finish();

private:
    struct StationTally {
        ReportCounts counts;
        uint32_t step = 1;
        std::vector<NumberRange> ranges;
        std::optional<NumberRange> current;
        uint64_t rangeCount = 0;
    };
    struct Pending {
        uint32_t number = 0;
        std::string time;
        int64_t wallSeconds = 0;
        uint32_t station = 0;
        uint32_t product = 0;
        bool failed = false;
    };

    uint32_t StationIndex(const std::string& station);
    uint32_t ProductIndex(const std::string& product);
    void Reserve(const LedgerEntry& entry, const ClockTime& time);
    void MakeChart();

    Period period_;
    LedgerFigures figures_;
    std::vector<std::string> stationNames_;
    std::vector<StationTally> stations_;
    std::map<std::string, uint32_t> stationIndex_;
    std::vector<std::string> productNames_;
    std::vector<ReportCounts> products_;
    std::map<std::string, uint32_t> productIndex_;
    std::unordered_map<uint32_t, Pending> pending_;  // reserved in the period, no ok yet
    std::vector<Pending> superseded_;                // reserved again before an ok: gaps for good
    std::map<int64_t, ChartBucket> hours_;           // by wall-clock hour
    std::optional<int64_t> firstSeconds_, lastSeconds_;
};

// The calendar date and time of day of wall-clock seconds since 1970-01-01 (offset 0).
LocalTime WallClockOf(int64_t wallSeconds);

}  // namespace core
