// The production report: the period's bounds, the figures of a ledger made for the test, the
// chart's unit, the bounded lists, and the page's escaping of every text a ledger brings.
#include "line/ledgersummary.h"

#include <gtest/gtest.h>
#include <tuple>

#include "core/utf8.h"
#include "line/reportpage.h"

namespace core {
namespace {

LedgerEntry Line(const char* time,
                 const char* station,
                 LedgerStatus status,
                 uint32_t number,
                 const char* product = "") {
    LedgerEntry e;
    e.time = time;
    e.station = station;
    e.status = status;
    e.number = number;
    e.product = product;
    return e;
}

int64_t Wall(const char* time) {
    return ParseLedgerTime(time)->wallSeconds;
}

// A ledger line needs only the time's form; the summary counts only a time on the calendar.
TEST(LedgerTime, TheFormAndTheClock) {
    const struct {
        const char* text;
        bool form, clock;
    } cases[] = {
        {"2024-02-29T23:59:59+09:00", true, true},  {"2024-05-01T09:30:00Z", true, true},
        {"2023-02-29T00:00:00Z", true, false},      {"2024-13-01T10:00:00+09:00", true, false},
        {"2024-05-01T24:00:00-05:30", true, false}, {"2024-05-01T09:30:00+09:60", true, false},
        {"2024-05-01T09:30:00+9:00", false, false}, {"2024-05-01 09:30:00Z", false, false},
        {"2024-05-01T09:30Z", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasLedgerTimeForm(c.text), c.form) << c.text;
        EXPECT_EQ(ParseLedgerTime(c.text).has_value(), c.clock) << c.text;
    }
}

TEST(ReportPeriod, BoundsNameADayAMinuteOrASecond) {
    const struct {
        const char* text;
        bool isEnd;
        const char* wall;  // as a ledger time; null: refused
        std::optional<int> offset;
    } cases[] = {
        {"2024-05-01", false, "2024-05-01T00:00:00Z", std::nullopt},
        {"2024-05-01", true, "2024-05-01T23:59:59Z", std::nullopt},
        {"2024-05-01T08:30", false, "2024-05-01T08:30:00Z", std::nullopt},
        {"2024-05-01T08:30", true, "2024-05-01T08:30:59Z", std::nullopt},
        {"2024-05-01T08:30:15", true, "2024-05-01T08:30:15Z", std::nullopt},
        {"2024-05-01T08:30+09:00", false, "2024-05-01T08:30:00Z", 540},
        {"2024-05-01T08:30:15-05:30", false, "2024-05-01T08:30:15Z", -330},
        {"2024-05-01T08:30Z", true, "2024-05-01T08:30:59Z", 0},
        {"2024-02-29", false, "2024-02-29T00:00:00Z", std::nullopt},
        {"2023-02-29", false, nullptr, std::nullopt},
        {"2024-13-01", false, nullptr, std::nullopt},
        {"2024-5-1", false, nullptr, std::nullopt},
        {"2024-05-01T24:00", false, nullptr, std::nullopt},
        {"2024-05-01T08:30:60", false, nullptr, std::nullopt},
        {"2024-05-01T08", false, nullptr, std::nullopt},
        {"2024-05-01 08:30", false, nullptr, std::nullopt},
        {"2024-05-01+09:00", false, nullptr, std::nullopt},
        {"2024-05-01T08:30+9:00", false, nullptr, std::nullopt},
        {"2024-05-01T08:30:00+09:00x", false, nullptr, std::nullopt},
        {"", false, nullptr, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::optional<PeriodBound> bound = ParsePeriodBound(c.text, c.isEnd);
        ASSERT_EQ(bound.has_value(), c.wall != nullptr);
        if (bound) {
            EXPECT_EQ(bound->time.wallSeconds, Wall(c.wall));
            EXPECT_EQ(bound->time.offsetMinutes, c.offset);
        }
    }
}

// Without an offset a bound is read on each line's own clock; with one it is an instant.
TEST(ReportPeriod, WallClockBoundsReadTheStationsClockAndOffsetsMakeInstants) {
    const struct {
        const char* from;
        const char* to;
        const char* line;
        bool inside;
    } cases[] = {
        {"2024-05-01", "2024-05-01", "2024-05-01T23:59:59+09:00", true},
        {"2024-05-01", "2024-05-01", "2024-05-02T00:00:00+09:00", false},
        {"2024-05-01", "2024-05-01", "2024-05-01T00:00:00-08:00", true},
        {"2024-05-01T00:00Z", "2024-05-01T23:59Z", "2024-05-01T08:59:59+09:00", false},  // 23:59:59Z on 04-30
        {"2024-05-01T00:00Z", "2024-05-01T23:59Z", "2024-05-02T08:59:59+09:00", true},
        {"2024-05-01T09:00", "2024-05-01T09:00", "2024-05-01T09:00:59+02:00", true},
        {"2024-05-01T09:00", "2024-05-01T09:00", "2024-05-01T09:01:00+02:00", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Period p{ParsePeriodBound(c.from, false), ParsePeriodBound(c.to, true)};
        EXPECT_EQ(p.Contains(*ParseLedgerTime(c.line)), c.inside);
    }
}

TEST(ReportFigures, CountEachNumberWithItsReservationInThePeriod) {
    LedgerSummary summary({ParsePeriodBound("2024-05-01T09:00", false), ParsePeriodBound("2024-05-01", true)});
    const LedgerEntry lines[] = {
        Line("2024-05-01T08:59:59+09:00", "1/2", LedgerStatus::Reserved, 999, "A"),  // before the period
        Line("2024-05-01T09:00:01+09:00", "1/2", LedgerStatus::Ok, 999, "A"),        // its ok counts nowhere
        Line("2024-05-01T09:00:00+09:00", "1/2", LedgerStatus::Reserved, 1001, "A"),
        Line("2024-05-01T09:00:05+09:00", "1/2", LedgerStatus::Ok, 1001, "A"),
        Line("2024-05-01T09:10:00+09:00", "2/2", LedgerStatus::Reserved, 1002, "B"),
        Line("2024-05-01T09:10:09+09:00", "2/2", LedgerStatus::Failed, 1002, "B"),
        Line("2024-05-01T09:20:00+09:00", "1/2", LedgerStatus::Reserved, 1003, "A"),  // never told
        Line("2024-05-01T10:05:00+09:00", "1/2", LedgerStatus::Reserved, 1007, "A"),  // a new range
        Line("2024-05-01T10:06:00+09:00", "", LedgerStatus::Reserved, 1008, ""),
        Line("2024-05-01T10:07:00+09:00", "1/2", LedgerStatus::Ok, 1007, "A"),
        Line("2024-05-01T10:08:00+09:00", "", LedgerStatus::Ok, 1008, ""),
        Line("2024-05-01T10:09:00+09:00", "", LedgerStatus::Ok, 1008, ""),            // twice: once
        Line("2024-13-01T10:00:00+09:00", "2/2", LedgerStatus::Reserved, 1010, "B"),  // no such month
        Line("2024-05-02T00:00:00+09:00", "2/2", LedgerStatus::Reserved, 1012, "B"),  // after the period
    };
    for (const LedgerEntry& e : lines)
        summary.Add(e);
    const LedgerFigures& f = summary.Finish();
    EXPECT_EQ(f.lines, 14u);
    EXPECT_EQ(f.untimedReservations, 1u);
    EXPECT_EQ(f.firstReservation, "2024-05-01T09:00:00+09:00");
    EXPECT_EQ(f.lastReservation, "2024-05-01T10:06:00+09:00");
    auto counts = [](const ReportCounts& c) { return std::vector<uint64_t>{c.reserved, c.ok, c.failed, c.Gaps()}; };
    EXPECT_EQ(counts(f.total), (std::vector<uint64_t>{5, 3, 1, 2}));
    ASSERT_EQ(f.stations.size(), 3u);
    const struct {
        const char* station;
        std::vector<uint64_t> counts;
        std::vector<std::vector<uint32_t>> ranges;  // first, last, count
    } stations[] = {
        {"", {1, 1, 0, 0}, {{1008, 1008, 1}}},
        {"1/2", {3, 2, 0, 1}, {{1001, 1003, 2}, {1007, 1007, 1}}},
        {"2/2", {1, 0, 1, 1}, {{1002, 1002, 1}}},
    };
    for (size_t i = 0; i < f.stations.size(); ++i) {
        const StationFigures& s = f.stations[i];
        EXPECT_EQ(s.station, stations[i].station);
        EXPECT_EQ(counts(s.counts), stations[i].counts) << s.station;
        std::vector<std::vector<uint32_t>> ranges;
        for (const NumberRange& r : s.ranges)
            ranges.push_back({r.first, r.last, static_cast<uint32_t>(r.count)});
        EXPECT_EQ(ranges, stations[i].ranges) << s.station;
        EXPECT_EQ(s.rangeCount, s.ranges.size());
    }
    ASSERT_EQ(f.products.size(), 3u);
    EXPECT_EQ(f.products[0].product, "A");
    EXPECT_EQ(counts(f.products[0].counts), (std::vector<uint64_t>{3, 2, 0, 1}));
    EXPECT_EQ(counts(f.products[1].counts), (std::vector<uint64_t>{1, 1, 0, 0}));  // "" before "B"
    ASSERT_EQ(f.gaps.size(), 2u);
    EXPECT_EQ(f.gaps[0].number, 1002u);
    EXPECT_EQ(f.gaps[0].time, "2024-05-01T09:10:09+09:00");  // of its failed line
    EXPECT_TRUE(f.gaps[0].failed);
    EXPECT_EQ(f.gaps[1].number, 1003u);
    EXPECT_FALSE(f.gaps[1].failed);
    EXPECT_EQ(f.unit, ChartUnit::Hour);
    ASSERT_EQ(f.chart.size(), 2u);
    EXPECT_EQ(f.chart[0].start, Wall("2024-05-01T09:00:00Z"));
    EXPECT_EQ(std::make_pair(f.chart[0].reserved, f.chart[0].ok), std::make_pair(uint64_t{3}, uint64_t{1}));
    EXPECT_EQ(std::make_pair(f.chart[1].reserved, f.chart[1].ok), std::make_pair(uint64_t{2}, uint64_t{2}));

    // A ledger of layout 1: none of the figures from who, what and why, and none of their sections.
    EXPECT_FALSE(f.whoWhatWhy);
    EXPECT_TRUE(f.operators.empty() && f.causes.empty() && f.reworkLines.empty() && f.recipes.empty());
    for (Lang lang : {Lang::En, Lang::Ja}) {
        ReportFacts facts;
        facts.lang = lang;
        const std::string page = ReportPage(f, facts);
        for (int id : {IDS_REPORT_FIRST_PASS, IDS_REPORT_PER_OPERATOR, IDS_REPORT_BY_CAUSE, IDS_REPORT_REWORKS,
                       IDS_REPORT_RECIPES, IDS_REPORT_INTERFACE})
            EXPECT_EQ(page.find(ToUtf8(Text(lang, id))), std::string::npos) << id;
        EXPECT_NE(page.find(ToUtf8(Text(lang, IDS_REPORT_OUTCOME_FAILED))), std::string::npos);
    }
}

// Who ran each board, why it failed, which boards came back and under which recipe, by hand:
// boards are the reservations without `replaces` (1001 1002 1004 1005 1006 1008), of which
// only 1001 was ok; 1007 failed, then became ok, so its cause counts nowhere.
TEST(ReportFigures, OperatorsCausesReworksAndRecipesFromLayoutTwo) {
    struct Row {
        const char* time;
        LedgerStatus status;
        uint32_t number;
        const char* operatorId;
        const char* recipe;
        const char* cause;
        std::optional<uint32_t> replaces;
        const char* interfaceType;
    };
    using S = LedgerStatus;
    const Row rows[] = {
        {"2024-05-01T09:00:00+09:00", S::Reserved, 1001, "alice", "R1", "", {}, ""},
        {"2024-05-01T09:01:00+09:00", S::Ok, 1001, "alice", "R1", "", {}, ""},
        {"2024-05-01T09:10:00+09:00", S::Reserved, 1002, "alice", "R1", "", {}, ""},
        {"2024-05-01T09:11:00+09:00", S::Failed, 1002, "alice", "R1", "verify", {}, ""},
        {"2024-05-01T09:20:00+09:00", S::Reserved, 1003, "bob", "R1", "", 1002, "0x80000000"},
        {"2024-05-01T09:21:00+09:00", S::Ok, 1003, "bob", "R1", "", {}, ""},
        {"2024-05-01T10:00:00+09:00", S::Reserved, 1004, "bob", "R2", "", {}, ""},
        {"2024-05-01T10:01:00+09:00", S::Failed, 1004, "bob", "R2", "no-answer", {}, ""},
        {"2024-05-01T10:30:00+09:00", S::Reserved, 1005, "bob", "R2", "", {}, ""},
        {"2024-05-01T10:31:00+09:00", S::Failed, 1005, "bob", "R2", "verify", {}, ""},
        {"2024-05-01T11:00:00+09:00", S::Reserved, 1006, "", "R2", "", {}, ""},
        {"2024-05-01T11:01:00+09:00", S::Failed, 1006, "", "R2", "", {}, ""},
        {"2024-05-01T11:30:00+09:00", S::Reserved, 1007, "alice", "R2", "", 1005, "0x40000001"},
        {"2024-05-01T11:31:00+09:00", S::Failed, 1007, "alice", "R2", "write", {}, ""},
        {"2024-05-01T11:32:00+09:00", S::Ok, 1007, "alice", "R2", "", {}, ""},
        {"2024-05-01T12:00:00+09:00", S::Reserved, 1008, "bob", "R1", "", {}, ""},
    };
    LedgerSummary summary({});
    for (const Row& r : rows) {
        LedgerEntry e = Line(r.time, "1/1", r.status, r.number);
        std::tie(e.operatorId, e.recipe, e.cause, e.replaces, e.interfaceType) =
            std::make_tuple(r.operatorId, r.recipe, r.cause, r.replaces, r.interfaceType);
        summary.Add(e);
    }
    const LedgerFigures& f = summary.Finish();
    using Counts = std::vector<uint64_t>;
    auto counts = [](const ReportCounts& c) { return Counts{c.reserved, c.ok, c.failed}; };
    EXPECT_EQ(counts(f.total), (Counts{8, 3, 4}));
    EXPECT_EQ(std::make_pair(f.firstPass.reserved, f.firstPass.ok), std::make_pair(uint64_t{6}, uint64_t{1}));
    std::vector<std::pair<std::string, Counts>> operators,
        expectedOperators = {{"bob", {4, 1, 2}}, {"alice", {3, 2, 1}}, {"", {1, 0, 1}}};
    for (const OperatorFigures& o : f.operators)
        operators.push_back({o.operatorId, counts(o.counts)});
    EXPECT_EQ(operators, expectedOperators);
    std::vector<std::pair<std::string, uint64_t>> causes, expectedCauses = {{"verify", 2}, {"", 1}, {"no-answer", 1}};
    for (const CauseFigures& c : f.causes)
        causes.push_back({c.cause, c.count});
    EXPECT_EQ(causes, expectedCauses);
    EXPECT_EQ(f.reworks, 2u);
    std::vector<std::vector<std::string>> reworks,
        expectedReworks = {{"1003", "1002", "2024-05-01T09:20:00+09:00", "0x80000000"},
                           {"1007", "1005", "2024-05-01T11:30:00+09:00", "0x40000001"}};
    for (const ReworkLine& r : f.reworkLines)
        reworks.push_back({std::to_string(r.number), std::to_string(r.replaces), r.time, r.interfaceType});
    EXPECT_EQ(reworks, expectedReworks);
    std::vector<std::vector<std::string>> recipes,
        expectedRecipes = {{"R1", "2024-05-01T09:00:00+09:00", "2024-05-01T12:00:00+09:00"},
                           {"R2", "2024-05-01T10:00:00+09:00", "2024-05-01T11:30:00+09:00"}};
    for (const RecipeSpan& r : f.recipes)
        recipes.push_back({r.recipe, r.first, r.last});
    EXPECT_EQ(recipes, expectedRecipes);
    const std::string page = ReportPage(f, ReportFacts());
    for (const char* shown : {"<td class=\"yield\">16.6%</td>", "0x80000000 (USB)", "0x40000001 (LAN)",
                              "no cause recorded", "(not recorded)"})
        EXPECT_NE(page.find(shown), std::string::npos) << shown;
}

TEST(ReportFigures, TheChartTakesTheSmallestUnitThatKeepsItShort) {
    const struct {
        const char* first;
        const char* last;
        ChartUnit unit;
        size_t stretches;
    } cases[] = {
        {"2024-05-01T09:59:59Z", "2024-05-01T09:00:00Z", ChartUnit::Hour, 1},
        {"2024-05-01T00:00:00Z", "2024-05-31T23:59:59Z", ChartUnit::Hour, 744},
        {"2024-05-01T00:00:00Z", "2024-06-01T00:00:00Z", ChartUnit::Day, 32},
        {"2021-12-31T23:00:00Z", "2024-12-31T00:00:00Z", ChartUnit::Day, 1097},
        {"2021-12-31T23:00:00Z", "2026-01-01T00:00:00Z", ChartUnit::Month, 50},
        {"1999-07-01T00:00:00Z", "2024-02-01T00:00:00Z", ChartUnit::Year, 26},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.last);
        LedgerSummary summary({});
        summary.Add(Line(c.first, "", LedgerStatus::Reserved, 1));
        summary.Add(Line(c.last, "", LedgerStatus::Reserved, 2));
        const LedgerFigures& f = summary.Finish();
        EXPECT_EQ(f.unit, c.unit);
        ASSERT_EQ(f.chart.size(), c.stretches);
        uint64_t reserved = 0;
        for (const ChartBucket& b : f.chart)
            reserved += b.reserved;
        EXPECT_EQ(reserved, 2u);
    }
}

// Texts a ledger may bring into the page, each of which must stay text.
const char* const kHostile[] = {"<script>alert(1)</script>",
                                "A & B",
                                "\"quoted\" 'single'",
                                "x]]>y",
                                "<![CDATA[z",
                                "</td></tr></table><img src=x onerror=alert(2)>",
                                "<!--",
                                "op\xE2\x80\xAEtxt.exe",
                                "\x01\x7F"};

TEST(ReportPage, EveryLedgerTextIsEscapedAndNothingIsLoadedOrRun) {
    EXPECT_EQ(HtmlText("<a href=\"x\">&'</a>"), "&lt;a href=&quot;x&quot;&gt;&amp;&#39;&lt;/a&gt;");
    EXPECT_EQ(HtmlText("製品\x01\x7F\xFF\n"), "製品\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\n");
    // Embeddings, overrides and isolates as codes; the marks (U+200F, U+202F) stay as they are.
    EXPECT_EQ(HtmlText("\xE2\x80\xAA\xE2\x80\xAE"
                       "a\xE2\x81\xA6\xE2\x81\xA9\xE2\x80\x8F\xE2\x80\xAF"),
              "&lt;U+202A&gt;&lt;U+202E&gt;a&lt;U+2066&gt;&lt;U+2069&gt;\xE2\x80\x8F\xE2\x80\xAF");
    LedgerSummary summary({});
    uint32_t number = 1;
    for (const char* text : kHostile) {
        LedgerEntry e = Line("2024-05-01T09:00:00+09:00", "", LedgerStatus::Reserved, number++, text);
        e.station = text;  // a database ledger's station is any text
        summary.Add(e);
    }
    ReportFacts facts;
    facts.ledger = L"odbc:DSN=<b>line</b>";
    const std::string page = ReportPage(summary.Finish(), facts);
    for (const char* text : kHostile) {
        SCOPED_TRACE(text);
        EXPECT_EQ(page.find(text), std::string::npos);
        EXPECT_NE(page.find(HtmlText(text)), std::string::npos);
    }
    EXPECT_EQ(page.find("<b>"), std::string::npos);
    for (const char* outside : {"<script", "<img", "<link", "<iframe", "<object", "href=", "url(", "@import"})
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;
    EXPECT_NE(page.find("content=\"default-src 'none'; style-src 'unsafe-inline'\""), std::string::npos);
    for (const char* element : {"table", "svg", "tr", "td"}) {
        const std::string open = std::string("<") + element, close = std::string("</") + element + ">";
        size_t opened = 0, closed = 0;
        for (size_t at = page.find(open); at != std::string::npos; at = page.find(open, at + 1))
            opened += page[at + open.size()] == '>' || page[at + open.size()] == ' ';
        for (size_t at = page.find(close); at != std::string::npos; at = page.find(close, at + 1))
            ++closed;
        EXPECT_EQ(opened, closed) << element;
    }
}

// However many Numbers, stations, products and years, and however long a name, the page stays
// small: the lists stop and tell the rest, long texts are cut, a chart of centuries sums runs.
TEST(ReportPage, StaysSmallForAnyLedger) {
    LedgerSummary summary({});
    constexpr uint32_t kStations = 1000, kRanges = 22;
    for (uint32_t k = 1; k <= kStations; ++k) {
        const std::string station = std::to_string(k) + "/" + std::to_string(kStations);
        const std::string product = std::string(120, '<') + std::to_string(k);
        for (uint32_t j = 0; j < kRanges; ++j) {
            const std::string time = std::to_string(1000 + (k * kRanges + j) % 3000) + "-05-01T09:00:00+09:00";
            summary.Add(Line(time.c_str(), station.c_str(), LedgerStatus::Reserved, j * 1000000 + k, product.c_str()));
        }
    }
    const LedgerFigures& f = summary.Finish();
    EXPECT_EQ(f.total.Gaps(), kStations * kRanges);
    EXPECT_EQ(f.gaps.size(), kListedGaps);
    EXPECT_EQ(f.gaps.back().number, kListedGaps);
    EXPECT_EQ(f.stations.size(), kListedStations);
    EXPECT_EQ(f.stations[1].station, "2/1000");
    EXPECT_EQ(f.stations[1].ranges.size(), kListedRanges);
    EXPECT_EQ(f.stations[1].rangeCount, kRanges);
    EXPECT_EQ(f.productCount, kStations);
    EXPECT_EQ(f.products.size(), kListedProducts);
    EXPECT_EQ(f.unit, ChartUnit::Year);
    const std::string page = ReportPage(f, ReportFacts());
    EXPECT_LT(page.size(), 250000u);
    EXPECT_EQ(page.find(std::string(97, '<')), std::string::npos);
    for (const char* more : {"21,800 more, not listed.", "900 more, not listed.", "950 more, not listed.",
                             "2 more, not listed.", "22 more, not listed."})
        EXPECT_NE(page.find(more), std::string::npos) << more;
}

}  // namespace
}  // namespace core
