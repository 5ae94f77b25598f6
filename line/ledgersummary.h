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

#include "line/isotime.h"
#include "line/ledger.h"

namespace core {

// The period a report covers; an end not given leaves it open on that side.
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

// Reservations made under one operator's name (empty: the station asked for none).
struct OperatorFigures {
    std::string operatorId;
    ReportCounts counts;
};

// Numbers that ended failed, by the cause their first failed line gives (empty: none given).
struct CauseFigures {
    std::string cause;
    uint64_t count = 0;
};

// A reservation for a board that carried another Number before.
struct ReworkLine {
    uint32_t number = 0;
    uint32_t replaces = 0;
    std::string time;
    std::string station;
    std::string interfaceType;
};

// A recipe and the times (as written) of the period's first and last reservation made with it.
struct RecipeSpan {
    std::string recipe;
    std::string first, last;
    int64_t firstSeconds = 0, lastSeconds = 0;
};

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

    // From the columns a ledger of layout 1 leaves empty; all of these stay empty for it.
    bool whoWhatWhy = false;  // some line has an operator, recipe, version, duration, cause or replaces
    // A board's first Number is a reservation without `replaces`: `reserved` counts those,
    // `ok` those of them that became ok (first-pass yield).
    ReportCounts firstPass;
    std::vector<OperatorFigures> operators;  // the most reserved first, at most kListedOperators;
    uint64_t operatorCount = 0;              // empty unless some reservation names an operator
    std::vector<CauseFigures> causes;        // the most frequent first, at most kListedCauses;
    uint64_t causeCount = 0;                 // empty unless some line has a cause
    uint64_t reworks = 0;                    // reservations with `replaces`
    std::vector<ReworkLine> reworkLines;     // the first kListedReworks, in the ledger's order
    std::vector<RecipeSpan> recipes;         // by first use, at most kListedRecipes; empty unless
    uint64_t recipeCount = 0;                // more than one recipe was used
};

// How much of each list a report shows, so that the page stays small for any ledger.
constexpr size_t kListedStations = 100;
constexpr size_t kListedRanges = 20;      // per station
constexpr size_t kListedRangeRows = 200;  // of all stations together
constexpr size_t kListedProducts = 50;
constexpr size_t kListedGaps = 200;
constexpr size_t kListedOperators = 100;
constexpr size_t kListedCauses = 50;
constexpr size_t kListedReworks = 200;
constexpr size_t kListedRecipes = 50;
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
        uint32_t operatorIndex = 0;
        bool failed = false;
        bool rework = false;
        std::string cause;  // of its first failed line
    };

    uint32_t StationIndex(const std::string& station);
    uint32_t ProductIndex(const std::string& product);
    uint32_t OperatorIndex(const std::string& operatorId);
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
    std::vector<std::string> operatorNames_;
    std::vector<ReportCounts> operators_;
    std::map<std::string, uint32_t> operatorIndex_;
    bool anyOperator_ = false;
    bool anyCause_ = false;
    std::map<std::string, RecipeSpan> recipes_;
    std::unordered_map<uint32_t, Pending> pending_;  // reserved in the period, no ok yet
    std::vector<Pending> superseded_;                // reserved again before an ok: gaps for good
    std::map<int64_t, ChartBucket> hours_;           // by wall-clock hour
    std::optional<int64_t> firstSeconds_, lastSeconds_;
};

}  // namespace core
