#include "line/ledgersummary.h"

#include <algorithm>
#include <tuple>

namespace core {

namespace {

std::optional<uint32_t> StationStep(const std::string& station) {
    std::optional<Station> parsed = ParseStation(station);
    return parsed ? std::optional<uint32_t>(parsed->n) : std::nullopt;
}

// Stations in the order K, then N; texts that are no "K/N" after them, by their text.
bool StationBefore(const std::string& a, const std::string& b) {
    const std::optional<Station> sa = ParseStation(a), sb = ParseStation(b);
    if (sa && sb)
        return std::tie(sa->k, sa->n) < std::tie(sb->k, sb->n);
    if (sa.has_value() != sb.has_value())
        return a.empty() || (!b.empty() && sa.has_value());
    return a < b;
}

// The chart's stretches: an index per stretch, and the first second of an index.
int64_t StretchOf(ChartUnit unit, int64_t wallSeconds) {
    if (unit == ChartUnit::Hour)
        return FloorDiv(wallSeconds, kHour);
    const int64_t days = FloorDiv(wallSeconds, kDay);
    if (unit == ChartUnit::Day)
        return days;
    int64_t y = 0;
    int m = 1, d = 1;
    CivilFromDays(days, y, m, d);
    return unit == ChartUnit::Month ? y * 12 + (m - 1) : y;
}

int64_t StretchStart(ChartUnit unit, int64_t stretch) {
    switch (unit) {
        case ChartUnit::Hour:
            return stretch * kHour;
        case ChartUnit::Day:
            return stretch * kDay;
        case ChartUnit::Month:
            return DaysFromCivil(FloorDiv(stretch, 12), static_cast<int>(stretch - FloorDiv(stretch, 12) * 12) + 1, 1) *
                   kDay;
        case ChartUnit::Year:
            break;
    }
    return DaysFromCivil(stretch, 1, 1) * kDay;
}

// The order std::sort gives the items under Before, sorted as pointers to them: one
// instantiation of the sort serves every kind of item. The sort's steps depend only on what
// the comparisons answer, so the order, ties included, is the one of sorting the items
// themselves.
using PointeeBefore = bool (*)(const void* a, const void* b);

struct ComparePointees {
    PointeeBefore before;
    bool operator()(const void* a, const void* b) const { return before(a, b); }
};

void SortPointers(std::vector<const void*>& order, PointeeBefore before) {
    std::sort(order.begin(), order.end(), ComparePointees{before});
}

template <class T, bool (*Before)(const T&, const T&)>
void SortItems(std::vector<T>& items) {
    std::vector<const void*> order;
    order.reserve(items.size());
    for (const T& item : items)
        order.push_back(&item);
    SortPointers(order, [](const void* a, const void* b) {
        return Before(*static_cast<const T*>(a), *static_cast<const T*>(b));
    });
    std::vector<T> sorted;
    sorted.reserve(items.size());
    for (const void* item : order)
        sorted.push_back(std::move(*static_cast<T*>(const_cast<void*>(item))));
    items = std::move(sorted);
}

bool GapBefore(const GapLine& a, const GapLine& b) {
    return std::tie(a.number, a.time) < std::tie(b.number, b.time);
}

bool StationFiguresBefore(const StationFigures& a, const StationFigures& b) {
    return StationBefore(a.station, b.station);
}

// The most reserved first, then by name.
bool ProductBefore(const ProductFigures& a, const ProductFigures& b) {
    return a.counts.reserved != b.counts.reserved ? a.counts.reserved > b.counts.reserved : a.product < b.product;
}

bool OperatorBefore(const OperatorFigures& a, const OperatorFigures& b) {
    return a.counts.reserved != b.counts.reserved ? a.counts.reserved > b.counts.reserved : a.operatorId < b.operatorId;
}

bool CauseBefore(const CauseFigures& a, const CauseFigures& b) {
    return a.count != b.count ? a.count > b.count : a.cause < b.cause;
}

bool RecipeBefore(const RecipeSpan& a, const RecipeSpan& b) {
    return std::tie(a.firstSeconds, a.recipe) < std::tie(b.firstSeconds, b.recipe);
}

bool HasWhoWhatWhy(const LedgerEntry& e) {
    return !e.operatorId.empty() || !e.recipe.empty() || !e.version.empty() || e.durationMs || !e.cause.empty() ||
           e.replaces;
}

template <class T, bool (*Before)(const T&, const T&)>
void SortAndCut(std::vector<T>& items, size_t most) {
    SortItems<T, Before>(items);
    if (items.size() > most)
        items.resize(most);
}

}  // namespace

bool Period::Contains(const ClockTime& time) const {
    // A bound with an offset is an instant; one without is read on each line's own clock.
    auto key = [&time](const PeriodBound& bound) {
        return bound.time.offsetMinutes ? time.Instant() : time.wallSeconds;
    };
    auto bound = [](const PeriodBound& b) { return b.time.offsetMinutes ? b.time.Instant() : b.time.wallSeconds; };
    if (from && key(*from) < bound(*from))
        return false;
    return !(to && key(*to) > bound(*to));
}

uint32_t LedgerSummary::StationIndex(const std::string& station) {
    auto [it, added] = stationIndex_.emplace(station, static_cast<uint32_t>(stations_.size()));
    if (added) {
        stationNames_.push_back(station);
        stations_.emplace_back();
        stations_.back().step = StationStep(station).value_or(1);
    }
    return it->second;
}

uint32_t LedgerSummary::OperatorIndex(const std::string& operatorId) {
    auto [it, added] = operatorIndex_.emplace(operatorId, static_cast<uint32_t>(operators_.size()));
    if (added) {
        operatorNames_.push_back(operatorId);
        operators_.emplace_back();
    }
    return it->second;
}

uint32_t LedgerSummary::ProductIndex(const std::string& product) {
    auto [it, added] = productIndex_.emplace(product, static_cast<uint32_t>(products_.size()));
    if (added) {
        productNames_.push_back(product);
        products_.emplace_back();
    }
    return it->second;
}

void LedgerSummary::Add(const LedgerEntry& entry) {
    ++figures_.lines;
    figures_.whoWhatWhy = figures_.whoWhatWhy || HasWhoWhatWhy(entry);
    anyCause_ = anyCause_ || !entry.cause.empty();
    if (entry.status == LedgerStatus::Reserved) {
        std::optional<ClockTime> time = ParseLedgerTime(entry.time);
        if (!time)
            ++figures_.untimedReservations;
        else if (period_.Contains(*time))
            Reserve(entry, *time);
        return;
    }
    auto it = pending_.find(entry.number);
    if (it == pending_.end())
        return;  // reserved outside the period, or already ok
    Pending& p = it->second;
    if (entry.status == LedgerStatus::Failed) {
        if (!p.failed) {
            p.time = entry.time;
            p.cause = entry.cause;
        }
        p.failed = true;
        return;
    }
    ++figures_.total.ok;
    ++stations_[p.station].counts.ok;
    ++products_[p.product].ok;
    ++operators_[p.operatorIndex].ok;
    figures_.firstPass.ok += p.rework ? 0u : 1u;
    ++hours_[FloorDiv(p.wallSeconds, kHour)].ok;
    pending_.erase(it);
}

void LedgerSummary::Reserve(const LedgerEntry& entry, const ClockTime& time) {
    const uint32_t station = StationIndex(entry.station);
    const uint32_t product = ProductIndex(entry.product);
    ++figures_.total.reserved;
    ++products_[product].reserved;
    StationTally& s = stations_[station];
    ++s.counts.reserved;
    if (s.current && uint64_t{entry.number} == uint64_t{s.current->last} + s.step) {
        s.current->last = entry.number;
        ++s.current->count;
    } else {
        if (s.current && s.ranges.size() < kListedRanges)
            s.ranges.push_back(*s.current);
        s.rangeCount += s.current ? 1u : 0u;
        s.current = NumberRange{entry.number, entry.number, 1};
    }
    ++hours_[FloorDiv(time.wallSeconds, kHour)].reserved;
    if (!firstSeconds_ || time.wallSeconds < *firstSeconds_) {
        firstSeconds_ = time.wallSeconds;
        figures_.firstReservation = entry.time;
    }
    if (!lastSeconds_ || time.wallSeconds >= *lastSeconds_) {
        lastSeconds_ = time.wallSeconds;
        figures_.lastReservation = entry.time;
    }
    const uint32_t operatorIndex = OperatorIndex(entry.operatorId);
    anyOperator_ = anyOperator_ || !entry.operatorId.empty();
    ++operators_[operatorIndex].reserved;
    if (entry.replaces) {
        if (figures_.reworkLines.size() < kListedReworks)
            figures_.reworkLines.push_back(
                {entry.number, *entry.replaces, entry.time, entry.station, entry.interfaceType});
        ++figures_.reworks;
    } else {
        ++figures_.firstPass.reserved;
    }
    if (!entry.recipe.empty()) {
        auto [r, added] = recipes_.try_emplace(entry.recipe);
        RecipeSpan& span = r->second;
        if (added || time.wallSeconds < span.firstSeconds) {
            span.first = entry.time;
            span.firstSeconds = time.wallSeconds;
        }
        if (added || time.wallSeconds >= span.lastSeconds) {
            span.last = entry.time;
            span.lastSeconds = time.wallSeconds;
        }
    }
    Pending p{entry.number,  entry.time, time.wallSeconds,           station, product,
              operatorIndex, false,      entry.replaces.has_value(), {}};
    auto [it, added] = pending_.emplace(entry.number, p);
    if (!added) {  // the same Number reserved again: the earlier reservation can never be ok
        superseded_.push_back(std::move(it->second));
        it->second = std::move(p);
    }
}

const LedgerFigures& LedgerSummary::Finish() {
    std::vector<GapLine> gaps;
    std::map<std::string, uint64_t> causes;
    auto gap = [&](const Pending& p) {
        if (p.failed) {
            ++figures_.total.failed;
            ++stations_[p.station].counts.failed;
            ++products_[p.product].failed;
            ++operators_[p.operatorIndex].failed;
            ++causes[p.cause];
        }
        gaps.push_back({p.number, p.time, stationNames_[p.station], productNames_[p.product], p.failed});
    };
    for (const auto& [number, p] : pending_)
        gap(p);
    for (const Pending& p : superseded_)
        gap(p);
    SortItems<GapLine, GapBefore>(gaps);
    if (gaps.size() > kListedGaps)
        gaps.resize(kListedGaps);
    figures_.gaps = std::move(gaps);

    for (size_t i = 0; i < stations_.size(); ++i) {
        StationTally& s = stations_[i];
        if (s.current && s.ranges.size() < kListedRanges)
            s.ranges.push_back(*s.current);
        s.rangeCount += s.current ? 1u : 0u;
        figures_.stations.push_back({stationNames_[i], s.step, s.counts, std::move(s.ranges), s.rangeCount});
    }
    SortItems<StationFigures, StationFiguresBefore>(figures_.stations);
    figures_.stationCount = figures_.stations.size();
    if (figures_.stations.size() > kListedStations)
        figures_.stations.resize(kListedStations);

    for (size_t i = 0; i < products_.size(); ++i)
        figures_.products.push_back({productNames_[i], products_[i]});
    figures_.productCount = products_.size();
    SortItems<ProductFigures, ProductBefore>(figures_.products);
    if (figures_.products.size() > kListedProducts)
        figures_.products.resize(kListedProducts);

    if (anyOperator_) {
        for (size_t i = 0; i < operators_.size(); ++i)
            figures_.operators.push_back({operatorNames_[i], operators_[i]});
        figures_.operatorCount = operators_.size();
        SortAndCut<OperatorFigures, OperatorBefore>(figures_.operators, kListedOperators);
    }
    if (anyCause_) {
        for (auto& [cause, count] : causes)
            figures_.causes.push_back({cause, count});
        figures_.causeCount = causes.size();
        SortAndCut<CauseFigures, CauseBefore>(figures_.causes, kListedCauses);
    }
    if (recipes_.size() > 1) {
        for (auto& [recipe, span] : recipes_) {
            figures_.recipes.push_back(std::move(span));
            figures_.recipes.back().recipe = recipe;
        }
        figures_.recipeCount = recipes_.size();
        SortAndCut<RecipeSpan, RecipeBefore>(figures_.recipes, kListedRecipes);
    }

    MakeChart();
    return figures_;
}

void LedgerSummary::MakeChart() {
    if (hours_.empty())
        return;
    const int64_t first = hours_.begin()->first * kHour, last = hours_.rbegin()->first * kHour;
    ChartUnit unit = ChartUnit::Year;
    for (auto [candidate, most] : {std::pair{ChartUnit::Hour, kChartMaxHours}, std::pair{ChartUnit::Day, kChartMaxDays},
                                   std::pair{ChartUnit::Month, kChartMaxMonths}}) {
        if (static_cast<uint64_t>(StretchOf(candidate, last) - StretchOf(candidate, first)) < most) {
            unit = candidate;
            break;
        }
    }
    const int64_t firstStretch = StretchOf(unit, first), lastStretch = StretchOf(unit, last);
    figures_.unit = unit;
    figures_.chart.reserve(static_cast<size_t>(lastStretch - firstStretch + 1));
    for (int64_t s = firstStretch; s <= lastStretch; ++s)
        figures_.chart.push_back({StretchStart(unit, s), 0, 0});
    for (const auto& [hour, bucket] : hours_) {
        ChartBucket& b = figures_.chart[static_cast<size_t>(StretchOf(unit, hour * kHour) - firstStretch)];
        b.reserved += bucket.reserved;
        b.ok += bucket.ok;
    }
}

}  // namespace core
