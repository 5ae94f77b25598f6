#include "cli/ledgers.h"

#include <cstdint>

#include "core/utf8.h"
#include "core/dbledger.h"
#include "core/digits.h"

namespace cli {

namespace {

const wchar_t kOdbcPrefix[] = L"odbc:";
constexpr size_t kOdbcPrefixLength = sizeof kOdbcPrefix / sizeof kOdbcPrefix[0] - 1;

Msg FaultText(core::LedgerFault fault) {
    switch (fault) {
        case core::LedgerFault::NoByteOrderMark:
            return Msg::FaultNoByteOrderMark;
        case core::LedgerFault::BadHeader:
            return Msg::FaultBadHeader;
        case core::LedgerFault::NotUtf8:
            return Msg::FaultNotUtf8;
        case core::LedgerFault::BadQuoting:
            return Msg::FaultBadQuoting;
        case core::LedgerFault::UnterminatedLine:
            return Msg::FaultUnterminatedLine;
        case core::LedgerFault::FieldCount:
            return Msg::FaultFieldCount;
        default:
            return Msg::FaultBadField;
    }
}

Msg ConnectionFaultText(core::ConnectionFault fault) {
    switch (fault) {
        case core::ConnectionFault::Empty:
            return Msg::ConnectionEmpty;
        case core::ConnectionFault::NoEquals:
            return Msg::ConnectionNoEquals;
        case core::ConnectionFault::OpenBrace:
            return Msg::ConnectionOpenBrace;
        case core::ConnectionFault::TextAfterBrace:
            return Msg::ConnectionTextAfterBrace;
        default:
            return Msg::ConnectionNoTarget;
    }
}

std::string ConnectionText(const std::wstring& ledger) {
    return core::ToUtf8(ledger.substr(kOdbcPrefixLength));
}

Exit Refused(Context& c, const std::wstring& name, core::LedgerFault fault, size_t line) {
    return c.report.Fail(Exit::Ledger, Msg::LedgerRefused,
                         {name, core::DecimalText<wchar_t>(line), c.report.Text(FaultText(fault))});
}

// The file ledger: held only while it is read or appended to, so that other stations on the
// same file wait for milliseconds, never for a whole write.
class FileLedger : public LineLedger {
public:
    FileLedger(Context& c, const std::wstring& path) : c_(c), path_(path) {}

    Exit Check() override {
        LedgerOpenFailure failure;
        std::unique_ptr<core::LedgerFile> file = c_.host.OpenLedger(path_, failure);
        if (file == nullptr)
            return CannotOpen(failure);
        core::LedgerContent content;
        if (!core::ScanLedger(*file, content))
            return c_.report.Fail(Exit::Ledger, Msg::LedgerCannotRead, {path_});
        if (content.fault != core::LedgerFault::None)
            return Refused(c_, path_, content.fault, content.faultLine);
        return Exit::Done;
    }

    Exit Reserve(const core::LedgerEntry& line, uint32_t& number) override {
        LedgerOpenFailure failure;
        std::unique_ptr<core::LedgerFile> file = c_.host.OpenLedger(path_, failure);
        if (file == nullptr)
            return CannotOpen(failure);
        core::Reservation r = core::ReserveNumber(*file, line, line.number, c_.inv.station);
        switch (r.failure) {
            case core::ReserveFailure::None:
                break;
            case core::ReserveFailure::Refused:
                return Refused(c_, path_, r.fault, r.faultLine);
            case core::ReserveFailure::Exhausted:
                return c_.report.Fail(Exit::Ledger, Msg::LedgerExhausted, {path_});
            case core::ReserveFailure::ReadFailed:
                return c_.report.Fail(Exit::Ledger, Msg::LedgerCannotRead, {path_});
            case core::ReserveFailure::AppendFailed:
                return c_.report.Fail(Exit::Ledger, Msg::LedgerCannotWrite, {path_});
        }
        number = r.number;
        return Exit::Done;
    }

    Exit Record(const core::LedgerEntry& line) override {
        LedgerOpenFailure failure;
        std::unique_ptr<core::LedgerFile> file = c_.host.OpenLedger(path_, failure);
        if (file == nullptr || !file->Append(core::FormatLedgerLine(line))) {
            const wchar_t* status = line.status == core::LedgerStatus::Ok ? L"ok" : L"failed";
            return c_.report.Fail(Exit::Ledger, Msg::LedgerOutcomeLost, {path_, status, std::to_wstring(line.number)});
        }
        return Exit::Done;
    }

private:
    Exit CannotOpen(LedgerOpenFailure failure) {
        Msg msg = Msg::LedgerCannotOpen;
        switch (failure) {
            case LedgerOpenFailure::Busy:
                msg = Msg::LedgerBusy;
                break;
            case LedgerOpenFailure::NoPlace:
                msg = Msg::LedgerNoPlace;
                break;
            case LedgerOpenFailure::NotAFile:
                msg = Msg::LedgerNotAFile;
                break;
            case LedgerOpenFailure::NoAccess:
                break;
        }
        return c_.report.Fail(Exit::Ledger, msg, {path_});
    }

    Context& c_;
    std::wstring path_;
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
            return c_.report.Fail(Exit::Ledger, Msg::LedgerBadConnection, {c_.report.Text(ConnectionFaultText(fault))});
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

    Exit Reserve(const core::LedgerEntry& line, uint32_t& number) override {
        core::Uuid id;
        if (!c_.host.NewUuid(id))
            return c_.report.Fail(Exit::Ledger, Msg::UuidCreateFailed);
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
            c_.report.Text(Msg::LedgerOutcomeLost, {name_, status, core::DecimalText<wchar_t>(line.number)}) + L"\n" +
                ServerText(r.status));
    }

    // Every line, for show and export.
    Exit ReadAll(std::vector<core::LedgerEntry>& entries) {
        if (Exit exit = Check(); exit != Exit::Done)
            return exit;
        return Tell(kept_.ledger->ReadAll(entries));
    }

private:
    std::wstring ServerText(const core::DbStatus& status) {
        return c_.report.Text(Msg::LedgerServerSaid, {status.state.empty() ? L"-" : core::FromUtf8(status.state),
                                                      core::FromUtf8(status.text)});
    }

    Exit Tell(const core::DbResult& r) {
        switch (r.outcome) {
            case core::DbOutcome::Done:
                return Exit::Done;
            case core::DbOutcome::Exhausted:
                return c_.report.Fail(Exit::Ledger, Msg::LedgerExhausted, {name_});
            case core::DbOutcome::OtherLayout:
                return c_.report.Fail(Exit::Ledger, Msg::LedgerOtherLayout, {name_});
            case core::DbOutcome::Unusable:
                break;
        }
        return c_.report.FailText(Exit::Ledger,
                                  c_.report.Text(Msg::LedgerUnusable, {name_}) + L"\n" + ServerText(r.status));
    }

    Context& c_;
    std::wstring name_;
    std::string connection_;
    LedgerConnection own_;
    LedgerConnection& kept_;
    std::string reservation_;
};

}  // namespace

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

std::unique_ptr<LineLedger> MakeLineLedger(Context& c, const std::wstring& ledger, LedgerConnection& connection) {
    if (IsDatabaseLedger(ledger))
        return std::make_unique<DatabaseLedger>(c, ledger, &connection);
    return std::make_unique<FileLedger>(c, ledger);
}

Exit ReadLedger(Context& c, const std::wstring& ledger, std::vector<core::LedgerEntry>& entries) {
    if (IsDatabaseLedger(ledger))
        return DatabaseLedger(c, ledger).ReadAll(entries);
    // Read as any file: a ledger that is not there is not made.
    std::vector<uint8_t> bytes;
    if (c.host.ReadFile(ledger, SIZE_MAX, bytes) != FileStatus::Ok)
        return c.report.Fail(Exit::Ledger, Msg::LedgerCannotOpen, {ledger});
    core::LedgerContent content = core::ParseLedger(std::string(bytes.begin(), bytes.end()));
    if (content.fault != core::LedgerFault::None)
        return Refused(c, ledger, content.fault, content.faultLine);
    entries = std::move(content.entries);
    return Exit::Done;
}

}  // namespace cli
