// The Number ledger in a database server, reached through ODBC: the same lines as the file
// ledger, in a table that many stations share.
//
//   tolka_ledger          reservation, time, station, status, number, uuid, product, maker,
//                         slot, interface, host; from layout 2 on also operator_id, recipe,
//                         version, duration_ms, cause, replaces. One row per line of the
//                         file ledger.
//                         (number, status) and (reservation, status) are unique, so a Number
//                         is reserved once and a reservation is recorded once.
//   tolka_ledger_version  one row: the layout of these tables (1 or 2; new tables are of 2), so
//                         that a later layout is recognised instead of misread. Tables of
//                         layout 1 are used as they are until Upgrade.
//
// A reservation is one short transaction: the highest reserved Number, the next one for the
// station, the insert of the `reserved` row, COMMIT. A station that lost the race to another
// hits the unique key and tries again. After a lost connection or a failed COMMIT, which may
// have committed all the same, the ledger reconnects and looks its reservation id up before
// deciding. Portable: the ODBC calls come in through DbLink; no <windows.h>.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "line/ledger.h"

namespace core {

// An ODBC connection string: "key=value" pairs separated by ";", a value in braces may hold
// ";" and "}}" for "}". Keys keep their spelling; they compare without case.
struct ConnectionString {
    std::vector<std::pair<std::string, std::string>> pairs;
    std::string shown;  // the string as given, the password's value as "***"
};

enum class ConnectionFault { None, Empty, NoEquals, OpenBrace, TextAfterBrace, NoTarget };

// Empty pairs (";;") are skipped. NoTarget: neither DSN, FILEDSN nor DRIVER is named.
ConnectionFault ParseConnectionString(const std::string& text, ConnectionString& parsed);

// The string as a person may see it: as it was given, braces and all, with the password's
// value replaced by "***".
std::string MaskedConnectionString(const ConnectionString& parsed);

// What an ODBC call reported: nothing, or the SQLSTATE and text of its first diagnostic.
struct DbStatus {
    bool ok = true;
    std::string state;  // empty when the driver gave none
    std::string text;

    static DbStatus Failed(std::string state, std::string text) { return {false, std::move(state), std::move(text)}; }
};

using DbValue = std::variant<std::string, int64_t>;
using DbRows = std::vector<std::vector<std::string>>;  // every cell as text, NULL as ""

// The ODBC calls the database ledger makes, on one connection at a time. Texts are UTF-8.
class DbLink {
public:
    virtual ~DbLink() = default;
    // Opens the connection with automatic commit off. Every later call of this connection
    // ends within about `timeoutSeconds`, answered or not.
    virtual DbStatus Connect(const std::string& connection, unsigned timeoutSeconds) = 0;
    // One statement with "?" parameters; `rows` receives its result set when not null.
    virtual DbStatus Execute(const std::string& sql, const std::vector<DbValue>& params, DbRows* rows) = 0;
    virtual DbStatus EndTransaction(bool commit) = 0;
    virtual void Disconnect() = 0;
    // Waits between two attempts to reach the server again.
    virtual void Pause(unsigned milliseconds) = 0;
    // A clock that only goes forward, in milliseconds.
    virtual uint64_t NowMs() = 0;
};

enum class DbOutcome {
    Done,
    Unusable,      // the server, the connection or the tables failed: see the status
    Exhausted,     // no Number left for the station
    OtherLayout,   // the tables are of a layout this program does not know
    NoReadRights,  // the tables are there, but the account may not read them: see the status
};

struct DbResult {
    DbOutcome outcome = DbOutcome::Done;
    DbStatus status;  // the failure that made the ledger unusable
    uint32_t number = 0;
};

// Where a reservation stands after its COMMIT failed: the reservation id looked up again on
// a new connection.
enum class CommitFate { Committed, NotCommitted, Unknown };
CommitFate FateOf(const DbStatus& lookup, const DbRows& rows);

class DbLedger {
public:
    DbLedger(DbLink& link, std::string connection, unsigned timeoutSeconds, std::string hostName);
    ~DbLedger();
    DbLedger(const DbLedger&) = delete;
    DbLedger& operator=(const DbLedger&) = delete;

    // Connects, and creates the tables when they are missing.
    DbResult Open();
    // The layout of the tables, once Open succeeded: the lines carry the fields of layout 2
    // only in a table of layout 2.
    int Layout() const { return layout_; }
    // Adds layout 2's columns to tables of layout 1, in one transaction; the account needs the
    // right to alter the table. Nothing to do on layout 2.
    DbResult Upgrade();
    // Reserves the next Number for the station (not below `floor`) under `reservationId`
    // and commits it; the line's Number and status are the reservation's.
    DbResult Reserve(LedgerEntry line, uint32_t floor, const Station& station, const std::string& reservationId);
    // The outcome line (ok or failed) of a reservation.
    DbResult Record(const LedgerEntry& line, const std::string& reservationId);
    // Every line, a Number's reservation before its outcome.
    DbResult ReadAll(std::vector<LedgerEntry>& entries);

private:
    DbStatus Connect();
    DbStatus ReconnectWithin();
    DbStatus Run(const std::string& sql, const std::vector<DbValue>& params, DbRows* rows = nullptr);
    DbStatus Rollback();
    DbStatus CreateTables();
    DbResult CheckLayout();
    DbResult OpenTables();
    DbStatus Insert(const LedgerEntry& line, const std::string& reservationId);
    DbStatus NextFree(uint32_t floor, const Station& station, std::optional<uint32_t>& next);
    CommitFate LookUp(const std::string& reservationId, LedgerStatus status, uint32_t& number, DbStatus& failure);
    std::optional<DbResult> AfterFailedCommit(const DbStatus& commit,
                                              const std::string& reservationId,
                                              LedgerStatus status);
    DbResult Unusable(const DbStatus& status);

    DbLink& link_;
    std::string connection_;
    unsigned timeoutSeconds_;
    std::string hostName_;
    bool connected_ = false;
    int layout_ = kNewLedgerLayout;
};

}  // namespace core
