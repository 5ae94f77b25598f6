#include "cli/ledgers.h"

#include <cstdint>

#include "core/utf8.h"
#include "line/dbledger.h"
#include "suite/suite_version.h"
#include "core/digits.h"

namespace cli {

namespace {

int FaultText(core::LedgerFault fault) {
    switch (fault) {
        case core::LedgerFault::NoByteOrderMark:
            return IDS_FAULT_NO_BYTE_ORDER_MARK;
        case core::LedgerFault::BadHeader:
            return IDS_FAULT_BAD_HEADER;
        case core::LedgerFault::NotUtf8:
            return IDS_FAULT_NOT_UTF8;
        case core::LedgerFault::BadQuoting:
            return IDS_FAULT_BAD_QUOTING;
        case core::LedgerFault::UnterminatedLine:
            return IDS_FAULT_UNTERMINATED_LINE;
        case core::LedgerFault::FieldCount:
            return IDS_FAULT_FIELD_COUNT;
        default:
            return IDS_FAULT_BAD_FIELD;
    }
}

int ConnectionFaultText(core::ConnectionFault fault) {
    switch (fault) {
        case core::ConnectionFault::Empty:
            return IDS_CONNECTION_EMPTY;
        case core::ConnectionFault::NoEquals:
            return IDS_CONNECTION_NO_EQUALS;
        case core::ConnectionFault::OpenBrace:
            return IDS_CONNECTION_OPEN_BRACE;
        case core::ConnectionFault::TextAfterBrace:
            return IDS_CONNECTION_TEXT_AFTER_BRACE;
        default:
            return IDS_CONNECTION_NO_TARGET;
    }
}

Exit Refused(Context& c, const std::wstring& name, core::LedgerFault fault, size_t line) {
    return c.report.Fail(Exit::Ledger, IDS_LEDGER_REFUSED,
                         {name, core::DecimalText<wchar_t>(line), c.report.Text(FaultText(fault))});
}

Exit CannotOpenLedger(Context& c, const std::wstring& path, core::LedgerOpenFailure failure) {
    return TellLedger(c, path, core::ResultOf(failure));
}

std::wstring ServerText(Context& c, const core::DbStatus& status) {
    return c.report.Text(IDS_LEDGER_SERVER_SAID,
                         {status.state.empty() ? L"-" : core::FromUtf8(status.state), core::FromUtf8(status.text)});
}

// The database ledger's tables open on a connection of their own, or why not, told.
Exit OpenDatabase(Context& c, const std::wstring& ledger, LedgerConnection& connection) {
    return TellLedger(c, LedgerName(ledger), core::OpenDatabaseLedger(c.host, ledger, c.inv.ledgerTimeout, connection));
}

Exit OpenedToRead(Context& c, const std::wstring& ledger, core::FileResult status) {
    switch (status) {
        case core::FileResult::Ok:
            break;
        case core::FileResult::Missing:
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_MISSING, {ledger});
        case core::FileResult::CannotOpen:
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_CANNOT_OPEN, {ledger});
        case core::FileResult::IoError:
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_CANNOT_READ, {ledger});
    }
    return Exit::Done;
}

// Rounds of read, look and replace before a ledger that stations keep appending to is given up.
constexpr int kUpgradeAttempts = 5;

// The layout-2 text of a file ledger of layout 1, every line kept, put in its place in one
// replacement. The ledger is held while it is read, and looked at again under the hold right
// before the replacement: a station that appended meanwhile makes the round start anew. The
// hold must be let go for the replacement (a held file cannot be replaced), so one window
// remains: a station that holds, reserves and lets go while the host writes the new copy, before
// its rename, loses that line. A station that still holds the ledger then makes the replacement
// fail instead. Hence the advice to upgrade while the line pauses.
Exit UpgradeFile(Context& c, const std::wstring& path, UpgradeOutcome& result) {
    core::FileResult opened = core::FileResult::Ok;
    c.host.ReadLedgerPieces(path, opened);
    if (Exit exit = OpenedToRead(c, path, opened); exit != Exit::Done)
        return exit;
    for (int attempt = 0; attempt < kUpgradeAttempts; ++attempt) {
        core::LedgerOpenFailure failure;
        std::unique_ptr<core::LedgerFile> held = c.host.OpenLedger(path, core::LedgerOpen::LeaveNoFile, failure);
        if (held == nullptr)
            return CannotOpenLedger(c, path, failure);
        uint64_t size = 0;
        std::string text = core::LedgerPreamble(core::kLedgerLayout2);
        result.lines = 0;
        core::LedgerContent content;
        const auto convert = [&](core::LedgerEntry&& e) {
            text += core::FormatLedgerLine(e, core::kLedgerLayout2);
            ++result.lines;
        };
        if (!held->Size(size) || !core::ReadLedgerEntries(*held, convert, content))
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_CANNOT_READ, {path});
        if (content.fault != core::LedgerFault::None)
            return Refused(c, path, content.fault, content.faultLine);
        // An empty file is of no layout yet: its first reservation writes the new one.
        result.layoutBefore = content.fresh ? core::kNewLedgerLayout : content.layout;
        if (result.layoutBefore != core::kLedgerLayout1)
            return Exit::Done;
        held.reset();

        // Only appended to: the same size is the same bytes.
        held = c.host.OpenLedger(path, core::LedgerOpen::LeaveNoFile, failure);
        if (held == nullptr)
            return CannotOpenLedger(c, path, failure);
        uint64_t now = 0;
        if (!held->Size(now))
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_CANNOT_READ, {path});
        held.reset();
        if (now != size)
            continue;
        if (c.host.WriteFile(path, reinterpret_cast<const uint8_t*>(text.data()), text.size()) != core::FileResult::Ok)
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_CANNOT_WRITE, {path});
        // The old index no longer vouches for anything: its check covers the first bytes, whose
        // header changed, so it would only be passed over. Scanning now writes the new file's.
        held = c.host.OpenLedger(path, core::LedgerOpen::LeaveNoFile, failure);
        if (held != nullptr)
            core::ScanLedger(*held, content);
        return Exit::Done;
    }
    return c.report.Fail(Exit::Ledger, IDS_LEDGER_KEPT_GROWING, {path});
}

}  // namespace

Exit UpgradeLedger(Context& c, const std::wstring& ledger, UpgradeOutcome& result) {
    if (!IsDatabaseLedger(ledger))
        return UpgradeFile(c, ledger, result);
    LedgerConnection connection;
    if (Exit exit = OpenDatabase(c, ledger, connection); exit != Exit::Done)
        return exit;
    result.layoutBefore = connection.ledger->Layout();
    core::DbResult r = connection.ledger->Upgrade();
    if (r.outcome == core::DbOutcome::Done)
        return Exit::Done;
    return c.report.FailText(
        Exit::Ledger, c.report.Text(IDS_LEDGER_UPGRADE_FAILED, {LedgerName(ledger)}) + L"\n" + ServerText(c, r.status));
}

Exit RepeatBoards(Context& c, const std::function<Exit(Context& board, LedgerConnection& connection)>& oneBoard) {
    LedgerConnection connection;
    unsigned boards = 0;
    unsigned failed = 0;
    Exit first = Exit::Done;
    for (;;) {
        ++boards;
        Report report(c.host, c.report.Language(), c.report.IsJson(), c.inv.name);
        Context board{c.host, c.inv, report};
        report.Say(IDS_BOARD_HEADING, {core::DecimalText<wchar_t>(boards)});
        report.Fields().Number("board", boards);
        Exit exit = report.Finish(oneBoard(board, connection));
        if (exit != Exit::Done) {
            ++failed;
            if (first == Exit::Done)
                first = exit;
        }
        // A ledger that cannot be used stops the line: no further board could be recorded.
        if (exit == Exit::Ledger)
            break;
        c.host.Err(c.report.Text(IDS_NEXT_BOARD_PROMPT));
        if (!c.host.NextBoard())
            break;
    }
    c.report.Say(IDS_REPEAT_SUMMARY, {core::DecimalText<wchar_t>(boards - failed), core::DecimalText<wchar_t>(failed)});
    c.report.Fields().Number("boards", boards).Number("failed", failed);
    return c.report.Finish(first);
}

core::LedgerEntry LedgerLine(Context& c, const core::RecordFields& fields, uint32_t interfaceType) {
    core::LedgerEntry line;
    line.time = core::FormatIsoTime(c.host.Now());
    if (c.inv.Has(Option::Station))
        line.station = core::FormatStation(c.inv.station);
    line.number = fields.number;
    line.uuid = core::ToUtf8(core::FormatUuidText(fields.uuid.data()));
    line.product = core::ToUtf8(c.host.FromAnsi(fields.productName));
    line.maker = core::ToUtf8(c.host.FromAnsi(fields.makerName));
    line.interfaceType = core::ToUtf8(Hex32(interfaceType));
    line.version = TOLKA_SUITE_VERSION_TEXT;
    return line;
}

void TellOldLayout(Context& c, const LineLedger& ledger, const std::wstring& name, LedgerConnection& connection) {
    if (ledger.Layout() != core::kLedgerLayout1 || connection.layoutTold)
        return;
    connection.layoutTold = true;
    c.report.Warn(c.report.Text(IDS_LEDGER_OLD_LAYOUT, {LedgerName(name)}));
}

std::unique_ptr<LineLedger> MakeLineLedger(Context& c, const std::wstring& ledger, LedgerConnection& connection) {
    return std::make_unique<LineLedger>(c, ledger, connection);
}

LineLedger::LineLedger(Context& c, const std::wstring& ledger, LedgerConnection& connection)
    : c_(c),
      name_(LedgerName(ledger)),
      ledger_(core::MakeLineLedger(c.host, ledger, c.inv.station, c.inv.ledgerTimeout, connection)) {}

Exit LineLedger::Check() {
    std::optional<uint32_t> next;
    return TellLedger(c_, name_, ledger_->Check(0, next));
}

Exit LineLedger::Reserve(const core::LedgerEntry& line, uint32_t& number) {
    return TellLedger(c_, name_, ledger_->Reserve(line, number));
}

Exit LineLedger::Record(const core::LedgerEntry& line) {
    return TellLedger(c_, name_, ledger_->Record(line), &line);
}

Exit TellLedger(Context& c, const std::wstring& name, const core::LedgerResult& r, const core::LedgerEntry* line) {
    switch (r.problem) {
        case core::LedgerProblem::None:
            return Exit::Done;
        case core::LedgerProblem::BadConnection:
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_BAD_CONNECTION,
                                 {c.report.Text(ConnectionFaultText(r.connection))});
        case core::LedgerProblem::Busy:
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_BUSY, {name});
        case core::LedgerProblem::NoPlace:
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_NO_PLACE, {name});
        case core::LedgerProblem::NotAFile:
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_NOT_AFILE, {name});
        case core::LedgerProblem::NoAccess:
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_CANNOT_OPEN, {name});
        case core::LedgerProblem::Refused:
            return Refused(c, name, r.fault, r.faultLine);
        case core::LedgerProblem::CannotRead:
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_CANNOT_READ, {name});
        case core::LedgerProblem::CannotWrite:
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_CANNOT_WRITE, {name});
        case core::LedgerProblem::Exhausted:
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_EXHAUSTED, {name});
        case core::LedgerProblem::OtherLayout:
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_OTHER_LAYOUT, {name});
        case core::LedgerProblem::NoReadRights:
            return c.report.Fail(Exit::Ledger, IDS_LEDGER_NO_READ_RIGHTS, {name, ServerText(c, r.server)});
        case core::LedgerProblem::Unusable:
            break;
        case core::LedgerProblem::NoUuid:
            return c.report.Fail(Exit::Ledger, IDS_UUID_CANNOT_BE_CREATED);
        case core::LedgerProblem::OutcomeLost: {
            const wchar_t* status = line && line->status == core::LedgerStatus::Ok ? L"ok" : L"failed";
            std::wstring text = c.report.Text(IDS_LEDGER_OUTCOME_LOST,
                                              {name, status, core::DecimalText<wchar_t>(line ? line->number : 0)});
            if (!r.server.text.empty() || !r.server.state.empty())
                text += L"\n" + ServerText(c, r.server);
            return c.report.FailText(Exit::Ledger, text);
        }
    }
    return c.report.FailText(Exit::Ledger,
                             c.report.Text(IDS_LEDGER_UNUSABLE, {name}) + L"\n" + ServerText(c, r.server));
}

Exit ForEachLedgerLine(Context& c, const std::wstring& ledger, const std::function<void(core::LedgerEntry&&)>& onLine) {
    if (IsDatabaseLedger(ledger)) {
        std::vector<core::LedgerEntry> entries;
        LedgerConnection connection;
        if (Exit exit = OpenDatabase(c, ledger, connection); exit != Exit::Done)
            return exit;
        if (Exit exit = TellLedger(c, LedgerName(ledger), core::ResultOf(connection.ledger->ReadAll(entries)));
            exit != Exit::Done)
            return exit;
        for (core::LedgerEntry& e : entries)
            onLine(std::move(e));
        return Exit::Done;
    }
    core::FileResult status = core::FileResult::Ok;
    std::unique_ptr<core::LedgerFile> file = c.host.ReadLedgerPieces(ledger, status);
    if (Exit exit = OpenedToRead(c, ledger, status); exit != Exit::Done)
        return exit;
    core::LedgerContent content;
    if (file == nullptr || !core::ReadLedgerEntries(*file, onLine, content))
        return c.report.Fail(Exit::Ledger, IDS_LEDGER_CANNOT_READ, {ledger});
    if (content.fault != core::LedgerFault::None)
        return Refused(c, ledger, content.fault, content.faultLine);
    return Exit::Done;
}

Exit ReadLedger(Context& c, const std::wstring& ledger, std::vector<core::LedgerEntry>& entries) {
    return ForEachLedgerLine(c, ledger, [&entries](core::LedgerEntry&& e) { entries.push_back(std::move(e)); });
}

}  // namespace cli
