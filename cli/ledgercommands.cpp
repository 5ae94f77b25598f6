// The ledger commands: a ledger (file or database) in figures per station, a database
// ledger written out as the CSV file a spreadsheet shows, and a production report as a page.
#include <map>
#include <set>

#include "cli/context.h"
#include "cli/ledgers.h"
#include "core/digits.h"
#include "line/ledgersummary.h"
#include "line/reportpage.h"
#include "core/utf8.h"

namespace cli {

namespace {

// What one station (or all of them) did.
struct Tally {
    uint64_t reserved = 0, ok = 0, failed = 0;
    std::optional<uint32_t> highest;
    std::set<uint32_t> reservedNumbers, okNumbers;

    void Add(const core::LedgerEntry& e) {
        switch (e.status) {
            case core::LedgerStatus::Reserved:
                ++reserved;
                reservedNumbers.insert(e.number);
                highest = std::max(highest.value_or(0), e.number);
                break;
            case core::LedgerStatus::Ok:
                ++ok;
                okNumbers.insert(e.number);
                break;
            case core::LedgerStatus::Failed:
                ++failed;
                break;
        }
    }

    // Reserved Numbers that no board holds: failed writes and programs that never told.
    std::vector<uint64_t> Gaps() const {
        std::vector<uint64_t> gaps;
        for (uint32_t n : reservedNumbers) {
            if (okNumbers.count(n) == 0)
                gaps.push_back(n);
        }
        return gaps;
    }
};

std::wstring NumberList(const std::vector<uint64_t>& numbers) {
    std::wstring text;
    for (uint64_t n : numbers)
        text += (text.empty() ? L"" : L", ") + core::DecimalText<wchar_t>(n);
    return text;
}

JsonObject TallyJson(const Tally& t) {
    JsonObject o;
    o.Number("reserved", t.reserved).Number("ok", t.ok).Number("failed", t.failed);
    if (t.highest)
        o.Number("highest", *t.highest);
    else
        o.Null("highest");
    return o.Numbers("gaps", t.Gaps());
}

void SayTally(Context& c, const std::wstring& who, const Tally& t) {
    const std::vector<uint64_t> gaps = t.Gaps();
    c.report.Say(IDS_LEDGER_STATION_LINE,
                 {who, core::DecimalText<wchar_t>(t.reserved), core::DecimalText<wchar_t>(t.ok),
                  core::DecimalText<wchar_t>(t.failed), t.highest ? core::DecimalText<wchar_t>(*t.highest) : L"-",
                  core::DecimalText<wchar_t>(gaps.size())});
    if (!gaps.empty())
        c.report.Say(IDS_LEDGER_GAPS, {NumberList(gaps)});
}

}  // namespace

Exit LedgerShow(Context& c) {
    c.report.Fields().Text("ledger", LedgerName(c.inv.file));
    std::vector<core::LedgerEntry> entries;
    if (Exit exit = ReadLedger(c, c.inv.file, entries); exit != Exit::Done)
        return c.report.Finish(exit);
    Tally all;
    std::map<std::string, Tally> stations;
    for (const core::LedgerEntry& e : entries) {
        all.Add(e);
        stations[e.station].Add(e);
    }
    std::vector<JsonObject> perStation;
    for (const auto& [station, tally] : stations) {
        SayTally(c, station.empty() ? c.report.Text(IDS_LEDGER_NO_STATION) : core::FromUtf8(station), tally);
        JsonObject o;
        if (station.empty())
            o.Null("station");
        else
            o.Text("station", core::FromUtf8(station));
        perStation.push_back(o.Append(TallyJson(tally)));
    }
    SayTally(c, c.report.Text(IDS_LEDGER_ALL_STATIONS), all);
    // Nested: the report's own "ok" says whether the command succeeded.
    c.report.Fields().Object("total", TallyJson(all)).Objects("stations", perStation);
    return c.report.Finish(Exit::Done);
}

// The ledger brought to layout 2, or told that it is there already; nothing else changes.
Exit LedgerUpgrade(Context& c) {
    c.report.Fields().Text("ledger", LedgerName(c.inv.file));
    UpgradeOutcome result;
    if (Exit exit = UpgradeLedger(c, c.inv.file, result); exit != Exit::Done)
        return c.report.Finish(exit);
    const bool converted = result.layoutBefore == core::kLedgerLayout1;
    c.report.Say(converted ? IDS_LEDGER_UPGRADED : IDS_LEDGER_ALREADY_NEW, {LedgerName(c.inv.file)});
    if (converted && !IsDatabaseLedger(c.inv.file)) {
        c.report.Say(IDS_LEDGER_LINES_KEPT, {core::DecimalText<wchar_t>(result.lines)});
        c.report.Fields().Number("lines", result.lines);
    }
    c.report.Fields()
        .Number("layout_before", static_cast<uint64_t>(result.layoutBefore))
        .Number("layout", core::kLedgerLayout2);
    return c.report.Finish(Exit::Done);
}

// What a command writes never goes over the file ledger it reads, nor its index: that would
// lose the ledger.
Exit RefuseOutputOverLedger(Context& c) {
    const std::wstring& output = c.inv.Value(Option::Output);
    if (IsDatabaseLedger(c.inv.file) ||
        (!c.host.IsSameFile(output, c.inv.file) && !c.host.IsSameFile(output, c.inv.file + L".index")))
        return Exit::Done;
    return c.report.Fail(Exit::BadFile, IDS_OUTPUT_IS_THE_LEDGER, {output});
}

Exit LedgerExport(Context& c) {
    c.report.Fields().Text("ledger", LedgerName(c.inv.file));
    if (Exit exit = RefuseOutputOverLedger(c); exit != Exit::Done)
        return c.report.Finish(exit);
    std::vector<core::LedgerEntry> entries;
    if (Exit exit = ReadLedger(c, c.inv.file, entries); exit != Exit::Done)
        return c.report.Finish(exit);
    std::string csv = core::LedgerPreamble();
    for (const core::LedgerEntry& e : entries)
        csv += core::FormatLedgerLine(e);
    const std::wstring& output = c.inv.Value(Option::Output);
    if (Exit exit = WriteImageFile(c, output, reinterpret_cast<const uint8_t*>(csv.data()), csv.size());
        exit != Exit::Done)
        return c.report.Finish(exit);
    c.report.Say(IDS_LEDGER_EXPORTED, {core::DecimalText<wchar_t>(entries.size()), output});
    c.report.Fields().Number("lines", entries.size());
    return c.report.Finish(Exit::Done);
}

// Only figures are kept while the ledger is read, so a ledger of any length makes a page of a
// few tens of KB.
Exit LedgerReport(Context& c) {
    const std::wstring name = LedgerName(c.inv.file);
    c.report.Fields().Text("ledger", name);
    if (Exit exit = RefuseOutputOverLedger(c); exit != Exit::Done)
        return c.report.Finish(exit);
    core::LedgerSummary summary(c.inv.period);
    if (Exit exit = ForEachLedgerLine(c, c.inv.file, [&](core::LedgerEntry&& e) { summary.Add(e); });
        exit != Exit::Done)
        return c.report.Finish(exit);
    const core::LedgerFigures& figures = summary.Finish();
    core::ReportFacts facts;
    facts.lang = c.report.Language();
    facts.ledger = name;
    facts.from = core::ToUtf8(c.inv.Value(Option::From));
    facts.to = core::ToUtf8(c.inv.Value(Option::To));
    facts.made = core::FormatIsoTime(c.host.Now());
    const std::string page = core::ReportPage(figures, facts);
    const std::wstring& output = c.inv.Value(Option::Output);
    if (Exit exit = WriteImageFile(c, output, reinterpret_cast<const uint8_t*>(page.data()), page.size());
        exit != Exit::Done)
        return c.report.Finish(exit);
    c.report.Say(IDS_REPORT_WRITTEN, {core::DecimalText<wchar_t>(figures.total.reserved),
                                      core::DecimalText<wchar_t>(figures.lines), output});
    JsonObject total;
    total.Number("reserved", figures.total.reserved)
        .Number("ok", figures.total.ok)
        .Number("failed", figures.total.failed)
        .Number("gaps", figures.total.Gaps());
    // Nested, as in ledger show: the report's own "ok" says whether the command succeeded.
    c.report.Fields().Number("lines", figures.lines).Object("total", total);
    return c.report.Finish(Exit::Done);
}

}  // namespace cli
