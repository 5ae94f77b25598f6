#include "line/dbledger.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "core/digits.h"

namespace core {

namespace {

constexpr int kLayout1 = kLedgerLayout1;  // the nine columns of the first ledgers
constexpr int kLayout2 = kLedgerLayout2;  // who, what and why after them
// Races lost to other stations and connections lost on the way, per reservation or outcome.
constexpr int kAttempts = 20;
// Between two attempts to reach a server again, for as long as the time-out.
constexpr unsigned kReconnectPauseMs = 500;

// The columns layout 2 adds. "operator" is a reserved word for some servers, so its column is
// operator_id. The texts default to '' and the numbers to NULL, so that a station still of
// layout 1 can insert its lines into an upgraded table.
const char* const kLayout2Columns[] = {
    "operator_id VARCHAR(255) DEFAULT '' NOT NULL", "recipe VARCHAR(255) DEFAULT '' NOT NULL",
    "version VARCHAR(64) DEFAULT '' NOT NULL",      "duration_ms BIGINT",
    "cause VARCHAR(64) DEFAULT '' NOT NULL",        "replaces BIGINT",
};

const char kCreateLedger[] =
    "CREATE TABLE tolka_ledger ("
    "reservation VARCHAR(36) NOT NULL, time VARCHAR(32) NOT NULL, station VARCHAR(24) NOT NULL, "
    "status VARCHAR(8) NOT NULL, number BIGINT NOT NULL, uuid VARCHAR(36) NOT NULL, "
    "product VARCHAR(200) NOT NULL, maker VARCHAR(200) NOT NULL, slot VARCHAR(10) NOT NULL, "
    "interface VARCHAR(10) NOT NULL, host VARCHAR(255) NOT NULL, ";
const char kLedgerKeys[] = "PRIMARY KEY (number, status), UNIQUE (reservation, status))";
const char kCreateVersion[] = "CREATE TABLE tolka_ledger_version (version INTEGER NOT NULL)";
const char kInsertVersion[] = "INSERT INTO tolka_ledger_version (version) VALUES (?)";
const char kSelectVersion[] = "SELECT version FROM tolka_ledger_version";
const char kUpdateVersion[] = "UPDATE tolka_ledger_version SET version = ?";
const char kSelectHighest[] = "SELECT MAX(number) FROM tolka_ledger WHERE status = 'reserved'";
const char kInsertLine1[] =
    "INSERT INTO tolka_ledger (reservation, time, station, status, number, uuid, product, maker, slot, "
    "interface, host) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
// -1 stands for "none": a parameter has no NULL of its own here.
const char kInsertLine2[] =
    "INSERT INTO tolka_ledger (reservation, time, station, status, number, uuid, product, maker, slot, "
    "interface, host, operator_id, recipe, version, duration_ms, cause, replaces) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, NULLIF(?, -1), ?, NULLIF(?, -1))";
const char kSelectReservation[] = "SELECT number FROM tolka_ledger WHERE reservation = ? AND status = ?";
// 'reserved' sorts after 'ok' and 'failed': descending puts a reservation before its outcome.
const char kSelectAll1[] =
    "SELECT time, station, status, number, uuid, product, maker, slot, interface FROM tolka_ledger "
    "ORDER BY number, status DESC";
const char kSelectAll2[] =
    "SELECT time, station, status, number, uuid, product, maker, slot, interface, operator_id, recipe, version, "
    "duration_ms, cause, replaces FROM tolka_ledger ORDER BY number, status DESC";
constexpr size_t kColumns1 = 9;
constexpr size_t kColumns2 = 15;

std::string CreateLedgerSql() {
    std::string sql = kCreateLedger;
    for (const char* column : kLayout2Columns)
        sql += std::string(column) + ", ";
    return sql + kLedgerKeys;
}

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

bool SameKey(const std::string& a, const char* b) {
    std::string lower = a;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower == b;
}

// A value in braces from `at` (the opening brace); `end` is set past the closing one.
ConnectionFault BracedValue(const std::string& text, size_t at, std::string& value, size_t& end) {
    for (size_t i = at + 1; i < text.size(); ++i) {
        if (text[i] != '}') {
            value += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '}') {
            value += '}';
            ++i;
            continue;
        }
        end = i + 1;
        return ConnectionFault::None;
    }
    return ConnectionFault::OpenBrace;
}

// A number read from a cell: decimal digits only.
std::optional<uint32_t> CellNumber(const std::string& cell) {
    std::optional<uint64_t> value = cell.size() <= 10 ? ParseDecimal(cell, 0xFFFFFFFFu) : std::nullopt;
    if (!value)
        return std::nullopt;
    return static_cast<uint32_t>(*value);
}

// A cell that may be NULL (""), or a Number.
bool OptionalCell(const std::string& cell, std::optional<uint32_t>& value) {
    value = cell.empty() ? std::nullopt : CellNumber(cell);
    return cell.empty() || value.has_value();
}

int64_t OrNone(const std::optional<uint32_t>& value) {
    return value ? int64_t{*value} : -1;
}

bool IsUniqueViolation(const DbStatus& status) {
    return status.state.compare(0, 2, "23") == 0;
}

// SQLSTATE class 08: the connection failed or went.
bool IsConnectionLost(const DbStatus& status) {
    return status.state.compare(0, 2, "08") == 0;
}

// A statement or a connection that ran out of time (ODBC's time-outs, the server's statement
// cancelled): a frozen server or a held lock, which trying again would only wait for again.
bool IsTimeOut(const DbStatus& status) {
    return status.state == "HYT00" || status.state == "HYT01" || status.state == "57014";
}

// 42501: insufficient privilege.
bool IsDenied(const DbStatus& status) {
    return status.state == "42501";
}

// 42P07 (PostgreSQL) or 42S01 (ODBC): the table is there already.
bool IsTableThere(const DbStatus& status) {
    return status.state == "42P07" || status.state == "42S01";
}

}  // namespace

ConnectionFault ParseConnectionString(const std::string& text, ConnectionString& parsed) {
    parsed.pairs.clear();
    parsed.shown.clear();
    size_t shownUpTo = 0;  // text before this is in `shown`
    size_t at = 0;
    while (at < text.size()) {
        size_t equals = text.find('=', at);
        size_t semicolon = text.find(';', at);
        if (semicolon == at || Trim(text.substr(at, semicolon - at)).empty()) {
            at = semicolon == std::string::npos ? text.size() : semicolon + 1;
            continue;
        }
        if (equals == std::string::npos || equals > semicolon)
            return ConnectionFault::NoEquals;
        std::string key = Trim(text.substr(at, equals - at));
        size_t valueAt = text.find_first_not_of(" \t", equals + 1);
        std::string value;
        size_t end = semicolon;
        if (valueAt != std::string::npos && text[valueAt] == '{') {
            if (ConnectionFault fault = BracedValue(text, valueAt, value, end); fault != ConnectionFault::None)
                return fault;
            size_t next = text.find_first_not_of(" \t", end);
            if (next != std::string::npos && text[next] != ';')
                return ConnectionFault::TextAfterBrace;
            end = next;
        } else {
            value = Trim(
                text.substr(equals + 1, semicolon == std::string::npos ? std::string::npos : semicolon - equals - 1));
        }
        if (key.empty())
            return ConnectionFault::NoEquals;
        if (SameKey(key, "pwd") || SameKey(key, "password")) {
            const size_t valueEnd = end == std::string::npos ? text.size() : end;
            parsed.shown += text.substr(shownUpTo, equals + 1 - shownUpTo) + "***";
            shownUpTo = valueEnd;
        }
        parsed.pairs.emplace_back(key, value);
        at = end == std::string::npos ? text.size() : end + 1;
    }
    parsed.shown += text.substr(shownUpTo);
    if (parsed.pairs.empty())
        return ConnectionFault::Empty;
    bool target = std::any_of(parsed.pairs.begin(), parsed.pairs.end(), [](const auto& pair) {
        return SameKey(pair.first, "dsn") || SameKey(pair.first, "filedsn") || SameKey(pair.first, "driver");
    });
    return target ? ConnectionFault::None : ConnectionFault::NoTarget;
}

std::string MaskedConnectionString(const ConnectionString& parsed) {
    return parsed.shown;
}

CommitFate FateOf(const DbStatus& lookup, const DbRows& rows) {
    if (!lookup.ok)
        return CommitFate::Unknown;
    return rows.empty() ? CommitFate::NotCommitted : CommitFate::Committed;
}

DbLedger::DbLedger(DbLink& link, std::string connection, unsigned timeoutSeconds, std::string hostName)
    : link_(link),
      connection_(std::move(connection)),
      timeoutSeconds_(timeoutSeconds),
      hostName_(std::move(hostName)) {}

DbLedger::~DbLedger() {
    if (connected_)
        link_.Disconnect();
}

DbStatus DbLedger::Connect() {
    if (connected_)
        link_.Disconnect();
    DbStatus status = link_.Connect(connection_, timeoutSeconds_);
    connected_ = status.ok;
    return status;
}

// A server that went away may come back (a restart): tries again for as long as the time-out.
DbStatus DbLedger::ReconnectWithin() {
    const uint64_t deadline = link_.NowMs() + uint64_t{timeoutSeconds_} * 1000;
    // Counted too, so that a clock that stands still cannot keep it going.
    const unsigned attempts = std::max(1u, timeoutSeconds_ * 1000 / kReconnectPauseMs);
    DbStatus status;
    for (unsigned i = 0; i < attempts; ++i) {
        status = Connect();
        if (status.ok || IsTimeOut(status) || link_.NowMs() + kReconnectPauseMs >= deadline)
            return status;
        link_.Pause(kReconnectPauseMs);
    }
    return status;
}

DbStatus DbLedger::Run(const std::string& sql, const std::vector<DbValue>& params, DbRows* rows) {
    if (rows != nullptr)
        rows->clear();
    return link_.Execute(sql, params, rows);
}

// After a failed statement: the transaction is over either way.
DbStatus DbLedger::Rollback() {
    return link_.EndTransaction(false);
}

DbResult DbLedger::Unusable(const DbStatus& status) {
    DbResult result;
    result.outcome = DbOutcome::Unusable;
    result.status = status;
    return result;
}

DbStatus DbLedger::CreateTables() {
    for (const std::string& sql : {CreateLedgerSql(), std::string(kCreateVersion)}) {
        if (DbStatus status = Run(sql, {}); !status.ok)
            return status;
    }
    if (DbStatus status = Run(kInsertVersion, {int64_t{kLayout2}}); !status.ok)
        return status;
    DbStatus status = link_.EndTransaction(true);
    if (status.ok)
        layout_ = kLayout2;
    return status;
}

DbResult DbLedger::CheckLayout() {
    DbRows rows;
    DbStatus status = Run(kSelectVersion, {}, &rows);
    if (!status.ok)
        return Unusable(status);
    link_.EndTransaction(true);
    for (int layout : {kLayout1, kLayout2}) {
        if (rows.size() == 1 && !rows[0].empty() && rows[0][0] == DecimalText(layout)) {
            layout_ = layout;
            return DbResult();
        }
    }
    DbResult result;
    result.outcome = DbOutcome::OtherLayout;
    return result;
}

DbResult DbLedger::Open() {
    DbResult result;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (DbStatus status = ReconnectWithin(); !status.ok)
            return Unusable(status);
        result = OpenTables();
        // A connection lost in the middle (a server restarting) is made again.
        if (result.outcome != DbOutcome::Unusable || !IsConnectionLost(result.status))
            return result;
        connected_ = false;
    }
    return result;
}

DbResult DbLedger::OpenTables() {
    DbResult layout = CheckLayout();
    if (layout.outcome != DbOutcome::Unusable || IsTimeOut(layout.status))
        return layout;
    if (IsDenied(layout.status)) {
        Rollback();
        layout.outcome = DbOutcome::NoReadRights;
        return layout;
    }
    // No tables yet: made in one transaction. Another station may make them at the same
    // moment; then the layout is read again.
    Rollback();
    DbStatus created = CreateTables();
    if (created.ok)
        return DbResult();
    Rollback();
    DbResult again = CheckLayout();
    if (again.outcome != DbOutcome::Unusable)
        return again;
    Rollback();
    // Tables that are there but cannot be read: the account lacks the right to read them,
    // which its server may have told as something else than 42501 on the first look.
    if (IsTableThere(created)) {
        again.outcome = DbOutcome::NoReadRights;
        return again;
    }
    return Unusable(created);
}

DbStatus DbLedger::Insert(const LedgerEntry& line, const std::string& reservationId) {
    std::vector<DbValue> params{reservationId,
                                line.time,
                                line.station,
                                std::string(LedgerStatusText(line.status)),
                                int64_t{line.number},
                                line.uuid,
                                line.product,
                                line.maker,
                                line.slot,
                                line.interfaceType,
                                hostName_};
    if (layout_ == kLayout1)
        return Run(kInsertLine1, params);
    params.insert(params.end(), {line.operatorId, line.recipe, line.version, OrNone(line.durationMs), line.cause,
                                 OrNone(line.replaces)});
    return Run(kInsertLine2, params);
}

CommitFate DbLedger::LookUp(const std::string& reservationId,
                            LedgerStatus status,
                            uint32_t& number,
                            DbStatus& failure) {
    failure = ReconnectWithin();
    if (!failure.ok)
        return CommitFate::Unknown;
    DbRows rows;
    failure = Run(kSelectReservation, {reservationId, std::string(LedgerStatusText(status))}, &rows);
    link_.EndTransaction(failure.ok);
    CommitFate fate = FateOf(failure, rows);
    if (fate == CommitFate::Committed) {
        std::optional<uint32_t> found = CellNumber(rows[0].empty() ? std::string() : rows[0][0]);
        if (!found)
            return CommitFate::Unknown;
        number = *found;
    }
    return fate;
}

// The station's next Number after the highest one reserved; none when none is left.
DbStatus DbLedger::NextFree(uint32_t floor, const Station& station, std::optional<uint32_t>& next) {
    DbRows rows;
    DbStatus status = Run(kSelectHighest, {}, &rows);
    if (!status.ok)
        return status;
    std::optional<uint32_t> highest;
    if (!rows.empty() && !rows[0].empty() && !rows[0][0].empty())
        highest = CellNumber(rows[0][0]);
    next = NextNumber(highest, floor, station);
    return status;
}

// A COMMIT that reported a failure may have reached the server all the same: only the
// server knows, so the line is looked up on a new connection. Nothing when it is not there
// (the caller tries again).
std::optional<DbResult> DbLedger::AfterFailedCommit(const DbStatus& commit,
                                                    const std::string& reservationId,
                                                    LedgerStatus status) {
    uint32_t number = 0;
    DbStatus lookup;
    switch (LookUp(reservationId, status, number, lookup)) {
        case CommitFate::Committed: {
            DbResult result;
            result.number = number;
            return result;
        }
        case CommitFate::NotCommitted:
            break;
        case CommitFate::Unknown:
            return Unusable(lookup.ok ? commit : lookup);
    }
    return std::nullopt;
}

DbResult DbLedger::Reserve(LedgerEntry line, uint32_t floor, const Station& station, const std::string& reservationId) {
    line.status = LedgerStatus::Reserved;
    DbStatus last;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (!connected_) {
            if (last = ReconnectWithin(); !last.ok)
                return Unusable(last);
        }
        std::optional<uint32_t> next;
        if (last = NextFree(floor, station, next); !last.ok) {
            if (IsTimeOut(last))
                return Unusable(last);
            Rollback();
            connected_ = false;  // a lost connection looks like any failure: start anew
            continue;
        }
        if (!next) {
            Rollback();
            DbResult result;
            result.outcome = DbOutcome::Exhausted;
            return result;
        }
        line.number = *next;
        if (last = Insert(line, reservationId); !last.ok) {
            if (IsTimeOut(last))
                return Unusable(last);
            Rollback();
            // Nothing was committed: another station took the Number, or the connection went.
            if (!IsUniqueViolation(last))
                connected_ = false;
            continue;
        }
        if (last = link_.EndTransaction(true); last.ok) {
            DbResult result;
            result.number = *next;
            return result;
        }
        if (std::optional<DbResult> decided = AfterFailedCommit(last, reservationId, LedgerStatus::Reserved))
            return *decided;
    }
    return Unusable(last);
}

DbResult DbLedger::Record(const LedgerEntry& line, const std::string& reservationId) {
    DbStatus last;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (!connected_) {
            if (last = ReconnectWithin(); !last.ok)
                return Unusable(last);
        }
        if (last = Insert(line, reservationId); !last.ok) {
            if (IsTimeOut(last))
                return Unusable(last);
            Rollback();
            // Already there: an earlier attempt committed after all.
            if (IsUniqueViolation(last))
                return DbResult();
            connected_ = false;
            continue;
        }
        if (last = link_.EndTransaction(true); last.ok)
            return DbResult();
        if (std::optional<DbResult> decided = AfterFailedCommit(last, reservationId, line.status))
            return *decided;
    }
    return Unusable(last);
}

DbResult DbLedger::ReadAll(std::vector<LedgerEntry>& entries) {
    entries.clear();
    DbRows rows;
    DbStatus status = Run(layout_ == kLayout1 ? kSelectAll1 : kSelectAll2, {}, &rows);
    link_.EndTransaction(status.ok);
    if (!status.ok)
        return Unusable(status);
    const size_t columns = layout_ == kLayout1 ? kColumns1 : kColumns2;
    for (const std::vector<std::string>& row : rows) {
        std::optional<LedgerStatus> lineStatus = row.size() == columns ? ParseLedgerStatus(row[2]) : std::nullopt;
        std::optional<uint32_t> number = row.size() == columns ? CellNumber(row[3]) : std::nullopt;
        LedgerEntry entry;
        const bool sound = lineStatus && number &&
                           (columns == kColumns1 ||
                            (OptionalCell(row[12], entry.durationMs) && OptionalCell(row[14], entry.replaces)));
        if (!sound)
            return Unusable(DbStatus::Failed("", "a row of tolka_ledger holds what no ledger line can hold"));
        entry.time = row[0];
        entry.station = row[1];
        entry.status = *lineStatus;
        entry.number = *number;
        entry.uuid = row[4];
        entry.product = row[5];
        entry.maker = row[6];
        entry.slot = row[7];
        entry.interfaceType = row[8];
        if (columns == kColumns2) {
            entry.operatorId = row[9];
            entry.recipe = row[10];
            entry.version = row[11];
            entry.cause = row[13];
        }
        entries.push_back(std::move(entry));
    }
    return DbResult();
}

// One transaction, so that a failure leaves the tables of layout 1. Two upgrades at the same
// moment are ordered by the server's lock on the table; the second fails on the columns the
// first added, with the server's text, and changes nothing. "ADD" without "COLUMN": the
// word is optional for most servers and unknown to some.
DbResult DbLedger::Upgrade() {
    if (layout_ != kLayout1)
        return DbResult();
    for (const char* column : kLayout2Columns) {
        if (DbStatus status = Run(std::string("ALTER TABLE tolka_ledger ADD ") + column, {}); !status.ok) {
            Rollback();
            return Unusable(status);
        }
    }
    DbStatus status = Run(kUpdateVersion, {int64_t{kLayout2}});
    if (status.ok)
        status = link_.EndTransaction(true);
    else
        Rollback();
    if (!status.ok)
        return Unusable(status);
    layout_ = kLayout2;
    return DbResult();
}

}  // namespace core
