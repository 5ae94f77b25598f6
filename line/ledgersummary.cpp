#include "line/ledgersummary.h"

#include <algorithm>
#include <tuple>

namespace core {

namespace {

constexpr int64_t kMinute = 60;
constexpr int64_t kHour = 3600;
constexpr int64_t kDay = 86400;

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
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

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// The number of `count` decimal digits at text[at]; -1 when they are not all digits.
int Digits(const std::string& text, size_t at, size_t count) {
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

bool Is(const std::string& text, size_t at, char c) {
    return at < text.size() && text[at] == c;
}

// "YYYY-MM-DD" at the start of the text, as days since 1970-01-01.
std::optional<int64_t> ParseDate(const std::string& text) {
    const int y = Digits(text, 0, 4), m = Digits(text, 5, 2), d = Digits(text, 8, 2);
    if (y < 0 || m < 1 || m > 12 || d < 1 || !Is(text, 4, '-') || !Is(text, 7, '-') || d > DaysInMonth(y, m))
        return std::nullopt;
    return DaysFromCivil(y, m, d);
}

// "Z", "+HH:MM" or "-HH:MM", the whole of what follows `at`.
std::optional<int> ParseOffset(const std::string& text, size_t at) {
    if (text.size() == at + 1 && text[at] == 'Z')
        return 0;
    const int h = Digits(text, at + 1, 2), m = Digits(text, at + 4, 2);
    if (text.size() != at + 6 || (text[at] != '+' && text[at] != '-') || !Is(text, at + 3, ':') || h < 0 || h > 23 ||
        m < 0 || m > 59)
        return std::nullopt;
    return (text[at] == '-' ? -1 : 1) * (h * 60 + m);
}

// "HH:MM" at text[at], and ":SS" after it when `seconds`.
std::optional<int64_t> ParseTimeOfDay(const std::string& text, size_t at, bool seconds) {
    const int h = Digits(text, at, 2), m = Digits(text, at + 3, 2);
    const int s = seconds ? Digits(text, at + 6, 2) : 0;
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59 || !Is(text, at + 2, ':') ||
        (seconds && !Is(text, at + 5, ':')))
        return std::nullopt;
    return h * kHour + m * kMinute + s;
}

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

}  // namespace

std::optional<ClockTime> ParseLedgerTime(const std::string& text) {
    std::optional<int64_t> days = ParseDate(text);
    std::optional<int64_t> time = ParseTimeOfDay(text, 11, true);
    std::optional<int> offset = ParseOffset(text, 19);
    if (!days || !Is(text, 10, 'T') || !time || !offset)
        return std::nullopt;
    return ClockTime{*days * kDay + *time, offset};
}

std::optional<PeriodBound> ParsePeriodBound(const std::string& text, bool isEnd) {
    std::optional<int64_t> days = ParseDate(text);
    if (!days)
        return std::nullopt;
    if (text.size() == 10)
        return PeriodBound{text, ClockTime{*days * kDay + (isEnd ? kDay - 1 : 0), std::nullopt}};
    if (!Is(text, 10, 'T'))
        return std::nullopt;
    const bool seconds = Is(text, 16, ':');
    std::optional<int64_t> time = ParseTimeOfDay(text, 11, seconds);
    const size_t zoneAt = seconds ? 19 : 16;
    std::optional<int> offset;
    if (text.size() > zoneAt && !(offset = ParseOffset(text, zoneAt)))
        return std::nullopt;
    if (!time)
        return std::nullopt;
    const int64_t last = isEnd && !seconds ? kMinute - 1 : 0;
    return PeriodBound{text, ClockTime{*days * kDay + *time + last, offset}};
}

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

uint32_t LedgerSummary::StationIndex(const std::string& station) {
    auto [it, added] = stationIndex_.emplace(station, static_cast<uint32_t>(stations_.size()));
    if (added) {
        stationNames_.push_back(station);
        stations_.emplace_back();
        stations_.back().step = StationStep(station).value_or(1);
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
        if (!p.failed)
            p.time = entry.time;
        p.failed = true;
        return;
    }
    ++figures_.total.ok;
    ++stations_[p.station].counts.ok;
    ++products_[p.product].ok;
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
    Pending p{entry.number, entry.time, time.wallSeconds, station, product, false};
    auto [it, added] = pending_.emplace(entry.number, p);
    if (!added) {  // the same Number reserved again: the earlier reservation can never be ok
        superseded_.push_back(std::move(it->second));
        it->second = std::move(p);
    }
}

const LedgerFigures& LedgerSummary::Finish() {
    std::vector<GapLine> gaps;
    auto gap = [&](const Pending& p) {
        if (p.failed) {
            ++figures_.total.failed;
            ++stations_[p.station].counts.failed;
            ++products_[p.product].failed;
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
