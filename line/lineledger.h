// The Number ledger as a station of the line uses it, whichever face runs the station (the
// console's `line run` or the station window): a CSV file, or after "odbc:" a table in a
// database server. Both keep the same rules: a Number is reserved and recorded before the
// board is written, its outcome after the verify, and a ledger that cannot be used is found
// before any board is touched. What went wrong comes back as a LedgerResult, which each face
// puts in its own words. Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/record.h"
#include "line/dbledger.h"
#include "line/isotime.h"
#include "line/ledger.h"

namespace core {

// Whether opening a missing ledger leaves a file behind.
enum class LedgerOpen {
    MayCreate,    // a reservation: the new ledger is made
    LeaveNoFile,  // a check before any board is touched: a new ledger is only tried, and is
                  // gone again when the object goes
};

// Why a ledger file could not be opened.
enum class LedgerOpenFailure {
    Busy,      // another program held it for too long
    NoPlace,   // its folder does not exist or cannot be reached, or the name is not a file name
    NotAFile,  // a folder or a device
    NoAccess,  // read-only, or the account may not write it
};

// What the system gives a ledger: the held file, the database calls, UUIDs, the name of the
// computer and the clocks.
class LedgerSystem {
public:
    virtual ~LedgerSystem() = default;
    // The ledger, held by this process alone until the object goes; created empty when
    // missing (and with LeaveNoFile deleted again when the object goes). Null when it cannot
    // be opened or another process holds it for too long, with the reason in `failure`.
    virtual std::unique_ptr<LedgerFile> OpenLedger(const std::wstring& path,
                                                   LedgerOpen how,
                                                   LedgerOpenFailure& failure) = 0;
    // The ODBC calls of a database ledger, on a connection of their own.
    virtual std::unique_ptr<DbLink> OpenDatabase() = 0;
    virtual bool NewUuid(Uuid& uuid) = 0;
    // This computer's name, which a database ledger records with each line.
    virtual std::wstring ComputerName() = 0;
    virtual LocalTime Now() = 0;
    // A clock that only goes forward, in milliseconds: how long a board took.
    virtual uint64_t NowMs() = 0;
};

enum class LedgerProblem {
    None,
    BadConnection,  // the "odbc:" text is no connection string: `connection` says why
    Busy,           // the file: as LedgerOpenFailure
    NoPlace,
    NotAFile,
    NoAccess,
    Refused,       // a line that is not a ledger's: `fault` at `faultLine`
    CannotRead,    // the file could not be read
    CannotWrite,   // the reservation could not be appended
    Exhausted,     // no Number left for the station
    OtherLayout,   // database tables of a layout this program does not know
    NoReadRights,  // database tables the account may not read: `server`
    Unusable,      // the server, the connection or the tables failed: `server`
    NoUuid,        // no reservation id could be made
    OutcomeLost,   // the outcome of a reserved Number could not be recorded (`server` for a database)
};

struct LedgerResult {
    LedgerProblem problem = LedgerProblem::None;
    LedgerFault fault = LedgerFault::None;
    size_t faultLine = 0;
    ConnectionFault connection = ConnectionFault::None;
    DbStatus server;

    bool Ok() const { return problem == LedgerProblem::None; }
};

// What a line of boards keeps from one board to the next: a database ledger's connection,
// made for the first board and used by every later one (made anew only when it is lost). A
// file ledger keeps nothing: it is opened for each reservation and each outcome.
struct LedgerConnection {
    std::unique_ptr<DbLink> link;
    std::unique_ptr<DbLedger> ledger;  // open: its tables checked
    bool layoutTold = false;           // the user was told that the ledger is of layout 1
};

class LineLedger {
public:
    virtual ~LineLedger() = default;
    // Whether the ledger can be used; before any board is touched. `next` receives the Number
    // the station's next reservation would take from a file ledger as it is now (another
    // station may take it first); a database ledger leaves it empty.
    virtual LedgerResult Check(uint32_t floor, std::optional<uint32_t>& next) = 0;
    // The line's Number is the floor; `number` receives the one reserved.
    virtual LedgerResult Reserve(const LedgerEntry& line, uint32_t& number) = 0;
    // The outcome of the last reservation (ok or failed).
    virtual LedgerResult Record(const LedgerEntry& line) = 0;
    // The ledger's layout, known once Check succeeded: a ledger of layout 1 records neither
    // who nor what nor why.
    virtual int Layout() const = 0;
};

// "odbc:" begins a connection string; anything else is a file path.
bool IsDatabaseLedger(const std::wstring& ledger);

// The ledger as messages name it: a database ledger without its password.
std::wstring LedgerName(const std::wstring& ledger);

// A station's ledger; a database ledger uses (and keeps) the line's connection, whose calls
// end within about `timeoutSeconds`.
std::unique_ptr<LineLedger> MakeLineLedger(LedgerSystem& system,
                                           const std::wstring& ledger,
                                           const Station& station,
                                           unsigned timeoutSeconds,
                                           LedgerConnection& connection);

// The database ledger's connection checked and opened, for a read of all its lines or an
// upgrade: `connection.ledger` is open when the result is Ok.
LedgerResult OpenDatabaseLedger(LedgerSystem& system,
                                const std::wstring& ledger,
                                unsigned timeoutSeconds,
                                LedgerConnection& connection);

// A database's result, or why a ledger file could not be opened, as a LedgerResult.
LedgerResult ResultOf(const DbResult& r);
LedgerResult ResultOf(LedgerOpenFailure failure);

// The layout the held ledger's header names: what a line appended to it must hold, whatever
// the ledger was when its Number was reserved (an upgrade may have run in between).
int HeldLayout(LedgerFile& file);

}  // namespace core
