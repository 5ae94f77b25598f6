#include "line/lineledger.h"

#include "core/utf8.h"

namespace core {

namespace {

const wchar_t kOdbcPrefix[] = L"odbc:";
constexpr size_t kOdbcPrefixLength = sizeof kOdbcPrefix / sizeof kOdbcPrefix[0] - 1;

std::string ConnectionText(const std::wstring& ledger) {
    return ToUtf8(ledger.substr(kOdbcPrefixLength));
}

LedgerResult Problem(LedgerProblem problem) {
    LedgerResult r;
    r.problem = problem;
    return r;
}

LedgerResult Refused(LedgerFault fault, size_t line) {
    LedgerResult r = Problem(LedgerProblem::Refused);
    r.fault = fault;
    r.faultLine = line;
    return r;
}

// The file ledger: held only while it is read or appended to, so that other stations on the
// same file wait for milliseconds, never for a whole write.
class FileLedger : public LineLedger {
public:
    FileLedger(LedgerSystem& system, const std::wstring& path, const Station& station)
        : system_(system), path_(path), station_(station) {}

    // A ledger that is not there yet is only tried: a run that reserves nothing leaves no file.
    LedgerResult Check(uint32_t floor, std::optional<uint32_t>& next) override {
        LedgerOpenFailure failure;
        std::unique_ptr<LedgerFile> file = system_.OpenLedger(path_, LedgerOpen::LeaveNoFile, failure);
        if (file == nullptr)
            return ResultOf(failure);
        LedgerContent content;
        if (!ScanLedger(*file, content))
            return Problem(LedgerProblem::CannotRead);
        if (content.fault != LedgerFault::None)
            return Refused(content.fault, content.faultLine);
        layout_ = content.layout;
        next = NextNumber(content.highest, floor, station_);
        return {};
    }

    int Layout() const override { return layout_; }

    LedgerResult Reserve(const LedgerEntry& line, uint32_t& number) override {
        LedgerOpenFailure failure;
        std::unique_ptr<LedgerFile> file = system_.OpenLedger(path_, LedgerOpen::MayCreate, failure);
        if (file == nullptr)
            return ResultOf(failure);
        Reservation r = ReserveNumber(*file, line, line.number, station_);
        switch (r.failure) {
            case ReserveFailure::None:
                break;
            case ReserveFailure::Refused:
                return Refused(r.fault, r.faultLine);
            case ReserveFailure::Exhausted:
                return Problem(LedgerProblem::Exhausted);
            case ReserveFailure::ReadFailed:
                return Problem(LedgerProblem::CannotRead);
            case ReserveFailure::AppendFailed:
                return Problem(LedgerProblem::CannotWrite);
        }
        number = r.number;
        layout_ = r.layout;
        return {};
    }

    LedgerResult Record(const LedgerEntry& line) override {
        LedgerOpenFailure failure;
        std::unique_ptr<LedgerFile> file = system_.OpenLedger(path_, LedgerOpen::MayCreate, failure);
        if (file == nullptr || !file->Append(FormatLedgerLine(line, HeldLayout(*file))))
            return Problem(LedgerProblem::OutcomeLost);
        return {};
    }

private:
    LedgerSystem& system_;
    std::wstring path_;
    Station station_;
    int layout_ = kNewLedgerLayout;
};

// The database ledger: the reservation under an id of its own, on the line's connection
// (a lost one is made again and the reservation looked up by its id: DbLedger).
class DatabaseLedger : public LineLedger {
public:
    DatabaseLedger(LedgerSystem& system,
                   const std::wstring& ledger,
                   const Station& station,
                   unsigned timeoutSeconds,
                   LedgerConnection& connection)
        : system_(system), ledger_(ledger), station_(station), timeout_(timeoutSeconds), kept_(connection) {}

    LedgerResult Check(uint32_t, std::optional<uint32_t>& next) override {
        next.reset();
        return OpenDatabaseLedger(system_, ledger_, timeout_, kept_);
    }

    int Layout() const override { return kept_.ledger ? kept_.ledger->Layout() : kNewLedgerLayout; }

    LedgerResult Reserve(const LedgerEntry& line, uint32_t& number) override {
        Uuid id;
        if (!system_.NewUuid(id))
            return Problem(LedgerProblem::NoUuid);
        reservation_ = ToUtf8(FormatUuidText(id.data()));
        DbResult r = kept_.ledger->Reserve(line, line.number, station_, reservation_);
        number = r.number;
        return ResultOf(r);
    }

    LedgerResult Record(const LedgerEntry& line) override {
        DbResult r = kept_.ledger->Record(line, reservation_);
        if (r.outcome == DbOutcome::Done)
            return {};
        LedgerResult lost = Problem(LedgerProblem::OutcomeLost);
        lost.server = r.status;
        return lost;
    }

private:
    LedgerSystem& system_;
    std::wstring ledger_;
    Station station_;
    unsigned timeout_;
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
    ConnectionString parsed;
    if (ParseConnectionString(ConnectionText(ledger), parsed) != ConnectionFault::None)
        return kOdbcPrefix;  // what it holds may be a password
    return kOdbcPrefix + FromUtf8(MaskedConnectionString(parsed));
}

LedgerResult ResultOf(LedgerOpenFailure failure) {
    switch (failure) {
        case LedgerOpenFailure::Busy:
            return Problem(LedgerProblem::Busy);
        case LedgerOpenFailure::NoPlace:
            return Problem(LedgerProblem::NoPlace);
        case LedgerOpenFailure::NotAFile:
            return Problem(LedgerProblem::NotAFile);
        case LedgerOpenFailure::NoAccess:
            break;
    }
    return Problem(LedgerProblem::NoAccess);
}

LedgerResult ResultOf(const DbResult& r) {
    LedgerResult result;
    switch (r.outcome) {
        case DbOutcome::Done:
            return result;
        case DbOutcome::Exhausted:
            result.problem = LedgerProblem::Exhausted;
            break;
        case DbOutcome::OtherLayout:
            result.problem = LedgerProblem::OtherLayout;
            break;
        case DbOutcome::NoReadRights:
            result.problem = LedgerProblem::NoReadRights;
            break;
        case DbOutcome::Unusable:
            result.problem = LedgerProblem::Unusable;
            break;
    }
    result.server = r.status;
    return result;
}

LedgerResult OpenDatabaseLedger(LedgerSystem& system,
                                const std::wstring& ledger,
                                unsigned timeoutSeconds,
                                LedgerConnection& connection) {
    const std::string text = ConnectionText(ledger);
    ConnectionString parsed;
    if (ConnectionFault fault = ParseConnectionString(text, parsed); fault != ConnectionFault::None) {
        LedgerResult r = Problem(LedgerProblem::BadConnection);
        r.connection = fault;
        return r;
    }
    if (connection.ledger)  // opened for an earlier board of the line
        return {};
    connection.link = system.OpenDatabase();
    auto opened = std::make_unique<DbLedger>(*connection.link, text, timeoutSeconds, ToUtf8(system.ComputerName()));
    LedgerResult r = ResultOf(opened->Open());
    if (r.Ok())
        connection.ledger = std::move(opened);
    return r;
}

std::unique_ptr<LineLedger> MakeLineLedger(LedgerSystem& system,
                                           const std::wstring& ledger,
                                           const Station& station,
                                           unsigned timeoutSeconds,
                                           LedgerConnection& connection) {
    if (IsDatabaseLedger(ledger))
        return std::make_unique<DatabaseLedger>(system, ledger, station, timeoutSeconds, connection);
    return std::make_unique<FileLedger>(system, ledger, station);
}

int HeldLayout(LedgerFile& file) {
    constexpr uint64_t kHeaderMaxBytes = 512;
    std::string head;
    if (!file.ReadAt(0, kHeaderMaxBytes, head) || head.find('\n') == std::string::npos)
        return kNewLedgerLayout;
    return ParseLedger(head.substr(0, head.find('\n') + 1)).layout;
}

}  // namespace core
