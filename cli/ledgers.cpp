#include "cli/ledgers.h"

#include <cstdint>

#include "core/utf8.h"
#include "line/dbledger.h"
#include "suite/suite_version.h"
#include "core/digits.h"

namespace cli {

namespace {

const wchar_t kOdbcPrefix[] = L"odbc:";
constexpr size_t kOdbcPrefixLength = sizeof kOdbcPrefix / sizeof kOdbcPrefix[0] - 1;

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

std::string ConnectionText(const std::wstring& ledger) {
    return core::ToUtf8(ledger.substr(kOdbcPrefixLength));
}

Exit Refused(Context& c, const std::wstring& name, core::LedgerFault fault, size_t line) {
    return c.report.Fail(Exit::Ledger, IDS_LEDGER_REFUSED,
                         {name, core::DecimalText<wchar_t>(line), c.report.Text(FaultText(fault))});
}

Exit CannotOpenLedger(Context& c, const std::wstring& path, LedgerOpenFailure failure) {
    int msg = IDS_LEDGER_CANNOT_OPEN;
    switch (failure) {
        case LedgerOpenFailure::Busy:
            msg = IDS_LEDGER_BUSY;
            break;
        case LedgerOpenFailure::NoPlace:
            msg = IDS_LEDGER_NO_PLACE;
            break;
        case LedgerOpenFailure::NotAFile:
            msg = IDS_LEDGER_NOT_AFILE;
            break;
        case LedgerOpenFailure::NoAccess:
            break;
    }
    return c.report.Fail(Exit::Ledger, msg, {path});
}

// The layout the held ledger's header names: what a line appended to it must hold, whatever
// the ledger was when its Number was reserved (`ledger upgrade` may have run in between).
int HeldLayout(core::LedgerFile& file) {
    constexpr uint64_t kHeaderMaxBytes = 512;
    std::string head;
    if (!file.ReadAt(0, kHeaderMaxBytes, head) || head.find('\n') == std::string::npos)
        return core::kNewLedgerLayout;
    return core::ParseLedger(head.substr(0, head.find('\n') + 1)).layout;
}

// The file ledger: held only while it is read or appended to, so that other stations on the
// same file wait for milliseconds, never for a whole write.
class FileLedger : public LineLedger {
public:
    FileLedger(Context& c, const std::wstring& path) : c_(c), path_(path) {}

    // A ledger that is not there yet is only tried: a run that reserves nothing leaves no file.
    Exit Check() override {
        LedgerOpenFailure failure;
        std::unique_ptr<core::LedgerFile> file = c_.host.OpenLedger(path_, LedgerOpen::LeaveNoFile, failure);
        if (file == nullptr)
            return CannotOpen(failure);
        core::LedgerContent content;
        if (!core::ScanLedger(*file, content))
            return c_.report.Fail(Exit::Ledger, IDS_LEDGER_CANNOT_READ, {path_});
        if (content.fault != core::LedgerFault::None)
            return Refused(c_, path_, content.fault, content.faultLine);
        layout_ = content.layout;
        return Exit::Done;
    }

    int Layout() const override { return layout_; }

    Exit Reserve(const core::LedgerEntry& line, uint32_t& number) override {
        LedgerOpenFailure failure;
        std::unique_ptr<core::LedgerFile> file = c_.host.OpenLedger(path_, LedgerOpen::MayCreate, failure);
        if (file == nullptr)
            return CannotOpen(failure);
        core::Reservation r = core::ReserveNumber(*file, line, line.number, c_.inv.station);
        switch (r.failure) {
            case core::ReserveFailure::None:
                break;
            case core::ReserveFailure::Refused:
                return Refused(c_, path_, r.fault, r.faultLine);
            case core::ReserveFailure::Exhausted:
                return c_.report.Fail(Exit::Ledger, IDS_LEDGER_EXHAUSTED, {path_});
            case core::ReserveFailure::ReadFailed:
                return c_.report.Fail(Exit::Ledger, IDS_LEDGER_CANNOT_READ, {path_});
            case core::ReserveFailure::AppendFailed:
                return c_.report.Fail(Exit::Ledger, IDS_LEDGER_CANNOT_WRITE, {path_});
        }
        number = r.number;
        layout_ = r.layout;
        return Exit::Done;
    }

    Exit Record(const core::LedgerEntry& line) override {
        LedgerOpenFailure failure;
        std::unique_ptr<core::LedgerFile> file = c_.host.OpenLedger(path_, LedgerOpen::MayCreate, failure);
        if (file == nullptr || !file->Append(core::FormatLedgerLine(line, HeldLayout(*file)))) {
            const wchar_t* status = line.status == core::LedgerStatus::Ok ? L"ok" : L"failed";
            return c_.report.Fail(Exit::Ledger, IDS_LEDGER_OUTCOME_LOST,
                                  {path_, status, core::DecimalText<wchar_t>(line.number)});
        }
        return Exit::Done;
    }

private:
    Exit CannotOpen(LedgerOpenFailure failure) { return CannotOpenLedger(c_, path_, failure); }

    Context& c_;
    std::wstring path_;
    int layout_ = core::kNewLedgerLayout;
};

// The database ledger: the reservation under an id of its own, on the line's connection
// (a lost one is made again and the reservation looked up by its id: core::DbLedger).
class DatabaseLedger : public LineLedger {
public:
    // Without a line, the connection is the ledger's own.
    DatabaseLedger(Context& c, const std::wstring& ledger, LedgerConnection* line = nullptr)
        : c_(c), name_(LedgerName(ledger)), connection_(ConnectionText(ledger)), kept_(line ? *line : own_) {}

    Exit Check() override {
        core::ConnectionString parsed;
        if (core::ConnectionFault fault = core::ParseConnectionString(connection_, parsed);
            fault != core::ConnectionFault::None)
            return c_.report.Fail(Exit::Ledger, IDS_LEDGER_BAD_CONNECTION,
                                  {c_.report.Text(ConnectionFaultText(fault))});
        if (kept_.ledger)  // opened for an earlier board of the line
            return Exit::Done;
        kept_.link = c_.host.OpenDatabase();
        auto ledger = std::make_unique<core::DbLedger>(*kept_.link, connection_, c_.inv.ledgerTimeout,
                                                       core::ToUtf8(c_.host.ComputerName()));
        if (Exit exit = Tell(ledger->Open()); exit != Exit::Done)
            return exit;
        kept_.ledger = std::move(ledger);
        return Exit::Done;
    }

    int Layout() const override { return kept_.ledger ? kept_.ledger->Layout() : core::kNewLedgerLayout; }

    Exit Reserve(const core::LedgerEntry& line, uint32_t& number) override {
        core::Uuid id;
        if (!c_.host.NewUuid(id))
            return c_.report.Fail(Exit::Ledger, IDS_UUID_CANNOT_BE_CREATED);
        reservation_ = core::ToUtf8(core::FormatUuidText(id.data()));
        core::DbResult r = kept_.ledger->Reserve(line, line.number, c_.inv.station, reservation_);
        number = r.number;
        return Tell(r);
    }

    Exit Record(const core::LedgerEntry& line) override {
        core::DbResult r = kept_.ledger->Record(line, reservation_);
        if (r.outcome == core::DbOutcome::Done)
            return Exit::Done;
        const wchar_t* status = line.status == core::LedgerStatus::Ok ? L"ok" : L"failed";
        return c_.report.FailText(
            Exit::Ledger,
            c_.report.Text(IDS_LEDGER_OUTCOME_LOST, {name_, status, core::DecimalText<wchar_t>(line.number)}) + L"\n" +
                ServerText(r.status));
    }

    // Every line, for show and export.
    Exit ReadAll(std::vector<core::LedgerEntry>& entries) {
        if (Exit exit = Check(); exit != Exit::Done)
            return exit;
        return Tell(kept_.ledger->ReadAll(entries));
    }

    Exit Upgrade(UpgradeOutcome& result) {
        if (Exit exit = Check(); exit != Exit::Done)
            return exit;
        result.layoutBefore = kept_.ledger->Layout();
        core::DbResult r = kept_.ledger->Upgrade();
        if (r.outcome == core::DbOutcome::Done)
            return Exit::Done;
        return c_.report.FailText(Exit::Ledger,
                                  c_.report.Text(IDS_LEDGER_UPGRADE_FAILED, {name_}) + L"\n" + ServerText(r.status));
    }

private:
    std::wstring ServerText(const core::DbStatus& status) {
        return c_.report.Text(IDS_LEDGER_SERVER_SAID, {status.state.empty() ? L"-" : core::FromUtf8(status.state),
                                                       core::FromUtf8(status.text)});
    }

    Exit Tell(const core::DbResult& r) {
        switch (r.outcome) {
            case core::DbOutcome::Done:
                return Exit::Done;
            case core::DbOutcome::Exhausted:
                return c_.report.Fail(Exit::Ledger, IDS_LEDGER_EXHAUSTED, {name_});
            case core::DbOutcome::OtherLayout:
                return c_.report.Fail(Exit::Ledger, IDS_LEDGER_OTHER_LAYOUT, {name_});
            case core::DbOutcome::NoReadRights:
                return c_.report.Fail(Exit::Ledger, IDS_LEDGER_NO_READ_RIGHTS, {name_, ServerText(r.status)});
            case core::DbOutcome::Unusable:
                break;
        }
        return c_.report.FailText(Exit::Ledger,
                                  c_.report.Text(IDS_LEDGER_UNUSABLE, {name_}) + L"\n" + ServerText(r.status));
    }

    Context& c_;
    std::wstring name_;
    std::string connection_;
    LedgerConnection own_;
    LedgerConnection& kept_;
    std::string reservation_;
};

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
        LedgerOpenFailure failure;
        std::unique_ptr<core::LedgerFile> held = c.host.OpenLedger(path, LedgerOpen::LeaveNoFile, failure);
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
        held = c.host.OpenLedger(path, LedgerOpen::LeaveNoFile, failure);
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
        held = c.host.OpenLedger(path, LedgerOpen::LeaveNoFile, failure);
        if (held != nullptr)
            core::ScanLedger(*held, content);
        return Exit::Done;
    }
    return c.report.Fail(Exit::Ledger, IDS_LEDGER_KEPT_GROWING, {path});
}

}  // namespace

Exit UpgradeLedger(Context& c, const std::wstring& ledger, UpgradeOutcome& result) {
    if (IsDatabaseLedger(ledger))
        return DatabaseLedger(c, ledger).Upgrade(result);
    return UpgradeFile(c, ledger, result);
}

bool IsDatabaseLedger(const std::wstring& ledger) {
    return ledger.compare(0, kOdbcPrefixLength, kOdbcPrefix) == 0;
}

std::wstring LedgerName(const std::wstring& ledger) {
    if (!IsDatabaseLedger(ledger))
        return ledger;
    core::ConnectionString parsed;
    if (core::ParseConnectionString(ConnectionText(ledger), parsed) != core::ConnectionFault::None)
        return kOdbcPrefix;  // what it holds may be a password
    return kOdbcPrefix + core::FromUtf8(core::MaskedConnectionString(parsed));
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
    if (IsDatabaseLedger(ledger))
        return std::make_unique<DatabaseLedger>(c, ledger, &connection);
    return std::make_unique<FileLedger>(c, ledger);
}

Exit ForEachLedgerLine(Context& c, const std::wstring& ledger, const std::function<void(core::LedgerEntry&&)>& onLine) {
    if (IsDatabaseLedger(ledger)) {
        std::vector<core::LedgerEntry> entries;
        if (Exit exit = DatabaseLedger(c, ledger).ReadAll(entries); exit != Exit::Done)
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
