#include "line/reportpage.h"

#include <algorithm>
#include <string_view>

#include "core/digits.h"
#include "core/utf8.h"
#include "core/writerops.h"

namespace core {

namespace {

const char kOkColour[] = "#2e7d32";
const char kGapColour[] = "#c62828";

// The page's own style: on screen a column of A4's width, on paper A4 with its margins.
const char kStyle[] =
    "@page{size:A4;margin:14mm 12mm}"
    "body{font-family:\"Yu Gothic UI\",Meiryo,\"Noto Sans CJK JP\",\"IPAGothic\",sans-serif;font-size:10pt;"
    "color:#222;background:#fff;max-width:186mm;margin:0 auto;padding:6mm 4mm;"
    "-webkit-print-color-adjust:exact;print-color-adjust:exact}"
    "h1{font-size:18pt;margin:0 0 3mm}"
    "h2{font-size:12.5pt;margin:7mm 0 2mm;padding-bottom:.8mm;border-bottom:.3mm solid #999;break-after:avoid}"
    "table{border-collapse:collapse;width:100%}"
    "th,td{padding:.7mm 1.8mm;border-bottom:.2mm solid #d4d4d4;text-align:left;vertical-align:top;"
    "overflow-wrap:anywhere}"
    "th{font-weight:600;background:#f2f2f2}"
    ".n{text-align:right;white-space:nowrap;font-variant-numeric:tabular-nums}"
    "thead{display:table-header-group}"
    "tr{break-inside:avoid}"
    ".facts th{width:48mm;background:none;font-weight:normal;color:#555}"
    ".totals td{font-size:15pt;font-weight:600}"
    ".yield{white-space:nowrap}"
    ".bar{display:inline-block;width:24mm;height:2.6mm;margin-right:1.5mm;vertical-align:middle}"
    ".key{display:inline-block;width:3mm;height:3mm;margin:0 1mm 0 4mm;vertical-align:middle}"
    ".chart{display:block;width:100%;height:auto;break-inside:avoid}"
    ".note{color:#555;font-size:8.5pt;margin:1.5mm 0}"
    "@media print{body{max-width:none;padding:0}}";

// The chart's drawing, in the units of its view box.
constexpr int64_t kWidth = 1000;
constexpr int64_t kLeft = 70;
constexpr int64_t kRight = 12;
constexpr int64_t kTop = 12;
constexpr int64_t kPlotHeight = 240;
constexpr int64_t kBottom = 40;
constexpr int64_t kPlotWidth = kWidth - kLeft - kRight;
constexpr int64_t kHeight = kTop + kPlotHeight + kBottom;
constexpr size_t kMostBars = 200;     // more stretches are drawn as lines
constexpr size_t kMostPoints = 1100;  // more (only years, over centuries) are summed in runs
constexpr size_t kShownBytes = 96;    // of a text from the ledger; a record's names take 31
constexpr int64_t kLabels = 8;        // on the time axis

std::string Grouped(uint64_t n) {
    const std::string digits = DecimalText(n);
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

std::string Padded(int64_t value, size_t width) {
    std::string digits = DecimalText(value < 0 ? -value : value);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return (value < 0 ? "-" : "") + digits;
}

// A coordinate given in tenths of a unit.
std::string Tenths(int64_t tenths) {
    return DecimalText(tenths / 10) + "." + static_cast<char>('0' + tenths % 10);
}

// ok of reserved in tenths of a per cent, rounded down: 100.0% only when every one is ok.
uint64_t Permille(const ReportCounts& c) {
    return c.reserved == 0 ? 0 : c.ok * 1000 / c.reserved;
}

std::string Percent(const ReportCounts& c) {
    if (c.reserved == 0)
        return "-";
    const uint64_t p = Permille(c);
    return DecimalText(p / 10) + "." + static_cast<char>('0' + p % 10) + "%";
}

// The step between grid lines: 1, 2 or 5 times a power of ten, at most five steps to `most`.
uint64_t GridStep(uint64_t most) {
    for (uint64_t power = 1;; power *= 10) {
        for (uint64_t step : {power, 2 * power, 5 * power}) {
            if (step * 5 >= most)
                return step;
        }
    }
}

// A text from the ledger as the page shows it: escaped, and cut (with an ellipsis) where it is
// far longer than any name a record holds, so that no line can swell the page.
std::string Shown(const std::string& text) {
    if (text.size() <= kShownBytes)
        return HtmlText(text);
    size_t cut = kShownBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;  // not inside a character
    return HtmlText(text.substr(0, cut)) + "\xE2\x80\xA6";
}

// "0x" and up to eight hex digits, as the ledger writes an interface type.
std::optional<uint32_t> InterfaceValue(const std::string& text) {
    if (text.size() < 3 || text.size() > 10 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return std::nullopt;
    uint32_t value = 0;
    for (size_t i = 2; i < text.size(); ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return std::nullopt;
        value = value << 4 | static_cast<uint32_t>(digit);
    }
    return value;
}

// An interface type with the kind the board announced by it, as the writer tells it at connect.
std::string InterfaceShown(const std::string& text) {
    const std::optional<uint32_t> value = InterfaceValue(text);
    if (!value)
        return Shown(text);
    switch (AnnouncedInterface(*value)) {
        case InterfaceKind::Usb:
            return Shown(text) + " (USB)";
        case InterfaceKind::Lan:
            return Shown(text) + " (LAN)";
        case InterfaceKind::Other:
            break;
    }
    return Shown(text);
}

std::string StretchLabel(ChartUnit unit, int64_t start) {
    const LocalTime t = WallClockOf(start);
    const std::string year = Padded(t.year, 4), month = Padded(t.month, 2), day = Padded(t.day, 2);
    switch (unit) {
        case ChartUnit::Hour:
            return month + "-" + day + " " + Padded(t.hour, 2) + ":00";
        case ChartUnit::Day:
            return year + "-" + month + "-" + day;
        case ChartUnit::Month:
            return year + "-" + month;
        case ChartUnit::Year:
            break;
    }
    return year;
}

// The page, written front to back. Pieces are appended in lists rather than joined with
// operator+, which keeps the console program small.
class Page {
public:
    Page(const LedgerFigures& figures, const ReportFacts& facts) : f_(figures), facts_(facts) {}

    std::string Make() {
        Head();
        Facts();
        Totals();
        if (f_.total.reserved != 0) {
            Chart();
            Stations();
            Products();
            Operators();
            Gaps();
            Causes();
            Reworks();
            Ranges();
            Recipes();
        }
        Put({"</body>\n</html>\n"});
        return std::move(out_);
    }

private:
    void Put(std::initializer_list<std::string_view> pieces) {
        for (std::string_view piece : pieces)
            out_.append(piece);
    }

    std::string T(int id, std::initializer_list<std::wstring> args = {}) const {
        return HtmlText(ToUtf8(Text(facts_.lang, id, args)));
    }

    void More(uint64_t notListed) {
        if (notListed != 0)
            Put({"<p class=\"note\">", T(IDS_REPORT_MORE, {FromUtf8(Grouped(notListed))}), "</p>\n"});
    }

    void Head() {
        const std::string title = T(IDS_REPORT_TITLE);
        Put({"<!DOCTYPE html>\n<html lang=\"", facts_.lang == Lang::Ja ? "ja" : "en",
             "\">\n<head>\n<meta charset=\"utf-8\">\n"
             // Nothing from outside and no script, even if a text ever slipped through as markup.
             "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">\n"
             "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>",
             title, "</title>\n<style>", kStyle, "</style>\n</head>\n<body>\n<h1>", title, "</h1>\n"});
    }

    void FactRow(int name, const std::string& value) { Put({"<tr><th>", T(name), "</th><td>", value, "</td></tr>\n"}); }

    void Facts() {
        Put({"<table class=\"facts\">\n"});
        FactRow(IDS_REPORT_LEDGER, HtmlText(ToUtf8(facts_.ledger)));
        const std::wstring from =
            facts_.from.empty() ? Text(facts_.lang, IDS_REPORT_LEDGER_START) : FromUtf8(facts_.from);
        const std::wstring to = facts_.to.empty() ? Text(facts_.lang, IDS_REPORT_LEDGER_END) : FromUtf8(facts_.to);
        FactRow(IDS_REPORT_PERIOD, T(IDS_REPORT_PERIOD_RANGE, {from, to}));
        if (f_.total.reserved != 0)
            FactRow(IDS_REPORT_SPAN, Shown(f_.firstReservation) + " \xE2\x80\x93 " + Shown(f_.lastReservation));
        FactRow(IDS_REPORT_MADE, HtmlText(facts_.made));
        Put({"</table>\n<p class=\"note\">", T(IDS_REPORT_TIMES_NOTE), "</p>\n"});
    }

    // Table headings, each right-aligned as its figures unless it is text.
    void HeadingCells(std::initializer_list<std::pair<int, bool>> columns) {
        for (auto [id, figures] : columns)
            Put({figures ? "<th class=\"n\">" : "<th>", T(id), "</th>"});
    }

    void Headings(std::initializer_list<std::pair<int, bool>> columns) {
        Put({"<thead><tr>"});
        HeadingCells(columns);
        Put({"</tr></thead>\n<tbody>\n"});
    }

    void CountHeadings(int first) {
        Headings({{first, false},
                  {IDS_REPORT_RESERVED, true},
                  {IDS_REPORT_OK, true},
                  {IDS_REPORT_FAILED, true},
                  {IDS_REPORT_GAPS, true},
                  {IDS_REPORT_YIELD, false}});
    }

    void Figure(const std::string& text) { Put({"<td class=\"n\">", text, "</td>"}); }

    void CountCells(const ReportCounts& c, bool withBar) {
        for (uint64_t n : {c.reserved, c.ok, c.failed, c.Gaps()})
            Figure(Grouped(n));
        Put({"<td class=\"yield\">"});
        if (withBar && c.reserved != 0)
            Put(
                {"<svg class=\"bar\" viewBox=\"0 0 1000 10\" preserveAspectRatio=\"none\" aria-hidden=\"true\">"
                 "<rect width=\"1000\" height=\"10\" fill=\"#e2e2e2\"/><rect width=\"",
                 DecimalText(Permille(c)), "\" height=\"10\" fill=\"", kOkColour, "\"/></svg>"});
        Put({Percent(c), "</td>"});
    }

    void Totals() {
        Put({"<h2>", T(IDS_REPORT_TOTALS), "</h2>\n"});
        if (f_.total.reserved == 0) {
            Put({"<p>", T(IDS_REPORT_NONE), "</p>\n"});
        } else {
            Put({"<table class=\"totals\">\n<thead><tr>"});
            HeadingCells({{IDS_REPORT_RESERVED, true},
                          {IDS_REPORT_OK, true},
                          {IDS_REPORT_FAILED, true},
                          {IDS_REPORT_GAPS, true},
                          {IDS_REPORT_YIELD, false}});
            // Only where the ledger can record reworks: in one that cannot, it is the yield.
            if (f_.whoWhatWhy)
                HeadingCells({{IDS_REPORT_FIRST_PASS, false}});
            Put({"</tr></thead>\n<tbody>\n<tr>"});
            CountCells(f_.total, false);
            if (f_.whoWhatWhy)
                Put({"<td class=\"yield\">", Percent(f_.firstPass), "</td>"});
            Put({"</tr>\n</tbody>\n</table>\n<p class=\"note\">", T(IDS_REPORT_DEFINITIONS), "</p>\n"});
            if (f_.whoWhatWhy)
                Put({"<p class=\"note\">", T(IDS_REPORT_FIRST_PASS_NOTE), "</p>\n"});
        }
        if (f_.untimedReservations != 0)
            Put({"<p class=\"note\">", T(IDS_REPORT_UNTIMED, {FromUtf8(Grouped(f_.untimedReservations))}), "</p>\n"});
    }

    static int64_t Y10(uint64_t value, uint64_t top) {
        return (kTop + kPlotHeight) * 10 - static_cast<int64_t>(value * kPlotHeight * 10 / top);
    }

    void Key(const char* colour, int text) {
        Put({"<svg class=\"key\" viewBox=\"0 0 10 10\" aria-hidden=\"true\"><rect width=\"10\" height=\"10\" fill=\"",
             colour, "\"/></svg>", T(text)});
    }

    void HorizontalLine(int64_t y10, const char* more) {
        const std::string y = Tenths(y10);
        Put({"<line x1=\"", DecimalText(kLeft), "\" x2=\"", DecimalText(kWidth - kRight), "\" y1=\"", y, "\" y2=\"", y,
             "\"", more, "/>"});
    }

    void Chart() {
        std::vector<ChartBucket> c;
        const size_t run = (f_.chart.size() + kMostPoints - 1) / kMostPoints;
        for (size_t i = 0; i < f_.chart.size(); ++i) {
            if (i % run == 0) {
                c.push_back(f_.chart[i]);
            } else {
                c.back().reserved += f_.chart[i].reserved;
                c.back().ok += f_.chart[i].ok;
            }
        }
        const int kHeadings[] = {IDS_REPORT_PER_HOUR, IDS_REPORT_PER_DAY, IDS_REPORT_PER_MONTH, IDS_REPORT_PER_YEAR};
        const std::string heading = T(kHeadings[static_cast<int>(f_.unit)]);
        Put({"<h2>", heading, "</h2>\n<p class=\"note\">"});
        Key(kOkColour, IDS_REPORT_OK);
        Key(kGapColour, IDS_REPORT_GAPS);
        Put({"</p>\n"});

        const auto n = static_cast<int64_t>(c.size());
        const bool bars = c.size() <= kMostBars;
        uint64_t most = 1;
        for (const ChartBucket& b : c)
            most = std::max(most, b.reserved);
        const uint64_t step = GridStep(most);
        const uint64_t top = (most + step - 1) / step * step;

        Put({"<svg class=\"chart\" viewBox=\"0 0 ", DecimalText(kWidth), " ", DecimalText(kHeight),
             "\" role=\"img\" aria-label=\"", heading, "\" font-size=\"15\">\n<title>", heading,
             "</title>\n<g stroke=\"#d8d8d8\" stroke-width=\"1\">"});
        for (uint64_t v = 0; v <= top; v += step)
            HorizontalLine(Y10(v, top), "");
        Put({"</g>\n<g fill=\"#555\" text-anchor=\"end\">"});
        for (uint64_t v = 0; v <= top; v += step)
            Put({"<text x=\"", DecimalText(kLeft - 8), "\" y=\"", Tenths(Y10(v, top) + 50), "\">", Grouped(v),
                 "</text>"});
        Put({"</g>\n"});

        // Where stretch i stands on the time axis, in tenths.
        const int64_t slot10 = bars ? kPlotWidth * 10 / n : 0;
        auto x10 = [&](int64_t i) {
            if (bars)
                return kLeft * 10 + i * slot10 + slot10 / 2;
            return kLeft * 10 + (n == 1 ? kPlotWidth * 5 : i * kPlotWidth * 10 / (n - 1));
        };
        if (bars) {
            const int64_t bar10 = std::max<int64_t>(slot10 * 7 / 10, 4);
            for (int64_t i = 0; i < n; ++i) {
                const ChartBucket& b = c[static_cast<size_t>(i)];
                if (b.reserved == 0)
                    continue;
                const int64_t left = x10(i) - bar10 / 2, base = Y10(0, top), okTop = Y10(b.ok, top),
                              gapTop = Y10(b.reserved, top);
                Put({"<g><title>", HtmlText(StretchLabel(f_.unit, b.start)), ": ", T(IDS_REPORT_OK), " ", Grouped(b.ok),
                     ", ", T(IDS_REPORT_GAPS), " ", Grouped(b.reserved - b.ok), "</title>"});
                if (b.ok != 0)
                    Rect(left, okTop, bar10, base - okTop, kOkColour);
                if (b.reserved != b.ok)
                    Rect(left, gapTop, bar10, okTop - gapTop, kGapColour);
                Put({"</g>\n"});
            }
        } else {
            for (bool ok : {true, false}) {
                Put({"<polyline fill=\"none\" stroke-width=\"2\" stroke-linejoin=\"round\" stroke=\"",
                     ok ? kOkColour : kGapColour, "\" points=\""});
                for (int64_t i = 0; i < n; ++i) {
                    const ChartBucket& b = c[static_cast<size_t>(i)];
                    Put({i ? " " : "", Tenths(x10(i)), ",", Tenths(Y10(ok ? b.ok : b.reserved - b.ok, top))});
                }
                Put({"\"/>\n"});
            }
        }
        HorizontalLine(Y10(0, top), " stroke=\"#666\" stroke-width=\"1.5\"");
        Put({"\n<g fill=\"#555\" text-anchor=\"middle\">"});
        const int64_t every = (n + kLabels - 1) / kLabels;
        for (int64_t i = 0; i < n; i += every)
            Put({"<text x=\"", Tenths(x10(i)), "\" y=\"", DecimalText(kHeight - 14), "\">",
                 HtmlText(StretchLabel(f_.unit, c[static_cast<size_t>(i)].start)), "</text>"});
        Put({"</g>\n</svg>\n"});
    }

    void Rect(int64_t x10, int64_t y10, int64_t w10, int64_t h10, const char* colour) {
        Put({"<rect x=\"", Tenths(x10), "\" y=\"", Tenths(y10), "\" width=\"", Tenths(w10), "\" height=\"", Tenths(h10),
             "\" fill=\"", colour, "\"/>"});
    }

    std::string StationName(const std::string& station) const {
        return station.empty() ? T(IDS_LEDGER_NO_STATION) : Shown(station);
    }

    void Stations() {
        Put({"<h2>", T(IDS_REPORT_PER_STATION), "</h2>\n<table>\n"});
        CountHeadings(IDS_REPORT_STATION);
        for (const StationFigures& s : f_.stations) {
            Put({"<tr><td>", StationName(s.station), "</td>"});
            CountCells(s.counts, true);
            Put({"</tr>\n"});
        }
        Put({"</tbody>\n</table>\n"});
        More(f_.stationCount - f_.stations.size());
    }

    void Products() {
        Put({"<h2>", T(IDS_REPORT_PER_PRODUCT), "</h2>\n<table>\n"});
        CountHeadings(IDS_REPORT_PRODUCT);
        for (const ProductFigures& p : f_.products) {
            Put({"<tr><td>", p.product.empty() ? T(IDS_REPORT_NO_PRODUCT) : Shown(p.product), "</td>"});
            CountCells(p.counts, true);
            Put({"</tr>\n"});
        }
        Put({"</tbody>\n</table>\n"});
        More(f_.productCount - f_.products.size());
    }

    void Gaps() {
        if (f_.total.Gaps() == 0)
            return;
        Put({"<h2>", T(IDS_REPORT_FAILURES), "</h2>\n<table>\n"});
        Headings({{IDS_REPORT_NUMBER, true},
                  {IDS_REPORT_TIME, false},
                  {IDS_REPORT_STATION, false},
                  {IDS_REPORT_PRODUCT, false},
                  {IDS_REPORT_OUTCOME, false}});
        for (const GapLine& g : f_.gaps) {
            Put({"<tr>"});
            Figure(DecimalText(g.number));
            Put({"<td>", Shown(g.time), "</td><td>", StationName(g.station), "</td><td>", Shown(g.product), "</td><td>",
                 T(g.failed ? IDS_REPORT_OUTCOME_FAILED : IDS_REPORT_NO_OUTCOME), "</td></tr>\n"});
        }
        Put({"</tbody>\n</table>\n"});
        More(f_.total.Gaps() - f_.gaps.size());
    }

    void Operators() {
        if (f_.operators.empty())
            return;
        Put({"<h2>", T(IDS_REPORT_PER_OPERATOR), "</h2>\n<table>\n"});
        CountHeadings(IDS_REPORT_OPERATOR);
        for (const OperatorFigures& o : f_.operators) {
            Put({"<tr><td>", o.operatorId.empty() ? T(IDS_REPORT_NO_OPERATOR) : Shown(o.operatorId), "</td>"});
            CountCells(o.counts, true);
            Put({"</tr>\n"});
        }
        Put({"</tbody>\n</table>\n"});
        More(f_.operatorCount - f_.operators.size());
    }

    void Causes() {
        if (f_.causes.empty())
            return;
        Put({"<h2>", T(IDS_REPORT_BY_CAUSE), "</h2>\n<table>\n"});
        Headings({{IDS_REPORT_CAUSE, false}, {IDS_REPORT_FAILED, true}});
        for (const CauseFigures& c : f_.causes) {
            Put({"<tr><td>", c.cause.empty() ? T(IDS_REPORT_NO_CAUSE) : Shown(c.cause), "</td>"});
            Figure(Grouped(c.count));
            Put({"</tr>\n"});
        }
        Put({"</tbody>\n</table>\n"});
        More(f_.causeCount - f_.causes.size());
    }

    void Reworks() {
        if (f_.reworks == 0)
            return;
        Put({"<h2>", T(IDS_REPORT_REWORKS), "</h2>\n<p>", T(IDS_REPORT_REWORK_COUNT, {FromUtf8(Grouped(f_.reworks))}),
             "</p>\n<table>\n"});
        Headings({{IDS_REPORT_NUMBER, true},
                  {IDS_REPORT_REPLACES, true},
                  {IDS_REPORT_TIME, false},
                  {IDS_REPORT_STATION, false},
                  {IDS_REPORT_INTERFACE, false}});
        for (const ReworkLine& r : f_.reworkLines) {
            Put({"<tr>"});
            Figure(DecimalText(r.number));
            Figure(DecimalText(r.replaces));
            Put({"<td>", Shown(r.time), "</td><td>", StationName(r.station), "</td><td>",
                 InterfaceShown(r.interfaceType), "</td></tr>\n"});
        }
        Put({"</tbody>\n</table>\n"});
        More(f_.reworks - f_.reworkLines.size());
    }

    void Recipes() {
        if (f_.recipes.empty())
            return;
        Put({"<h2>", T(IDS_REPORT_RECIPES), "</h2>\n<table>\n"});
        Headings({{IDS_REPORT_RECIPE, false}, {IDS_REPORT_FIRST_USE, false}, {IDS_REPORT_LAST_USE, false}});
        for (const RecipeSpan& r : f_.recipes)
            Put({"<tr><td>", Shown(r.recipe), "</td><td>", Shown(r.first), "</td><td>", Shown(r.last), "</td></tr>\n"});
        Put({"</tbody>\n</table>\n"});
        More(f_.recipeCount - f_.recipes.size());
    }

    void Ranges() {
        Put({"<h2>", T(IDS_REPORT_RANGES), "</h2>\n<table>\n"});
        Headings({{IDS_REPORT_STATION, false},
                  {IDS_REPORT_FIRST, true},
                  {IDS_REPORT_LAST, true},
                  {IDS_REPORT_COUNT, true},
                  {IDS_REPORT_STEP, true}});
        size_t rowsLeft = kListedRangeRows;
        for (const StationFigures& s : f_.stations) {
            const std::string station = StationName(s.station);
            const size_t shown = std::min(s.ranges.size(), rowsLeft);
            rowsLeft -= shown;
            for (size_t i = 0; i < shown; ++i) {
                const NumberRange& r = s.ranges[i];
                Put({"<tr><td>", station, "</td>"});
                Figure(DecimalText(r.first));
                Figure(DecimalText(r.last));
                Figure(Grouped(r.count));
                Figure(DecimalText(s.step));
                Put({"</tr>\n"});
            }
            if (s.rangeCount > shown)
                Put({"<tr><td>", station, "</td><td class=\"note\" colspan=\"4\">",
                     T(IDS_REPORT_MORE, {FromUtf8(Grouped(s.rangeCount - shown))}), "</td></tr>\n"});
        }
        Put({"</tbody>\n</table>\n"});
    }

    const LedgerFigures& f_;
    const ReportFacts& facts_;
    std::string out_;
};

}  // namespace

std::string HtmlText(const std::string& text) {
    std::string html;
    html.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t n = Utf8SequenceLength(text, i);
        const auto c = static_cast<unsigned char>(text[i]);
        if (n == 0 || (c < 0x20 && c != '\t' && c != '\n') || c == 0x7F) {
            html += "\xEF\xBF\xBD";  // U+FFFD
            i += n == 0 ? 1 : n;
            continue;
        }
        // An embedding, override or isolate would turn the text after it round: shown as its code.
        if (n == 3 && c == 0xE2) {
            const auto b1 = static_cast<unsigned char>(text[i + 1]), b2 = static_cast<unsigned char>(text[i + 2]);
            unsigned code = 0;
            if (b1 == 0x80 && b2 >= 0xAA && b2 <= 0xAE)
                code = 0x202Au + (b2 - 0xAAu);
            else if (b1 == 0x81 && b2 >= 0xA6 && b2 <= 0xA9)
                code = 0x2066u + (b2 - 0xA6u);
            if (code != 0) {
                html += "&lt;U+" + HexText(code, 4) + "&gt;";
                i += n;
                continue;
            }
        }
        switch (c) {
            case '&':
                html += "&amp;";
                break;
            case '<':
                html += "&lt;";
                break;
            case '>':
                html += "&gt;";
                break;
            case '"':
                html += "&quot;";
                break;
            case '\'':
                html += "&#39;";
                break;
            default:
                html.append(text, i, n);
        }
        i += n;
    }
    return html;
}

std::string ReportPage(const LedgerFigures& figures, const ReportFacts& facts) {
    return Page(figures, facts).Make();
}

}  // namespace core
