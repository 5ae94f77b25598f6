// The two kinds of Number ledger behind --ledger: a CSV file, or after "odbc:" a table in
// a database server reached through ODBC. Both keep the same rules: a Number is reserved and
// recorded before the board is written, its outcome after the verify, and a ledger that
// cannot be used ends the command with Exit::Ledger before any board is touched.
// Portable: no <windows.h>.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/context.h"
#include "line/dbledger.h"
#include "line/ledger.h"
#include "line/lineledger.h"

namespace cli {

using core::IsDatabaseLedger;
using core::LedgerConnection;
using core::LedgerName;

// A station's ledger (core::LineLedger) with what goes wrong told in the console's words: each
// call ends with Exit::Ledger when the ledger cannot be used.
class LineLedger {
public:
    LineLedger(Context& c, const std::wstring& ledger, LedgerConnection& connection);
    // Whether the ledger can be used; before any board is touched.
    Exit Check();
    // The line's Number is the floor; `number` receives the one reserved.
    Exit Reserve(const core::LedgerEntry& line, uint32_t& number);
    // The outcome of the last reservation (ok or failed).
    Exit Record(const core::LedgerEntry& line);
    // The ledger's layout, known once Check succeeded.
    int Layout() const { return ledger_->Layout(); }
    core::LineLedger& Engine() { return *ledger_; }

private:
    Context& c_;
    std::wstring name_;
    std::unique_ptr<core::LineLedger> ledger_;
};

// Tells why the ledger could not be used, and gives Exit::Ledger; `line` names the Number
// whose outcome was lost.
Exit TellLedger(Context& c,
                const std::wstring& name,
                const core::LedgerResult& r,
                const core::LedgerEntry* line = nullptr);

// Board after board at one station, until the user stops (or a ledger cannot be used): each
// board's own report, then the line's count; a database ledger stays connected from the first
// board to the last. The exit code is the first failed board's.
Exit RepeatBoards(Context& c, const std::function<Exit(Context& board, LedgerConnection& connection)>& oneBoard);

// The ledger line of a board about to be written with these fields: the Number is the floor
// until the ledger gives its own; the program's version goes with it.
core::LedgerEntry LedgerLine(Context& c, const core::RecordFields& fields, uint32_t interfaceType);

// Says once per line, on the error stream, that a ledger of layout 1 records none of the
// columns of layout 2.
void TellOldLayout(Context& c, const LineLedger& ledger, const std::wstring& name, LedgerConnection& connection);

// A board's ledger; a database ledger uses the line's connection.
std::unique_ptr<LineLedger> MakeLineLedger(Context& c, const std::wstring& ledger, LedgerConnection& connection);

// What `ledger upgrade` found and did.
struct UpgradeOutcome {
    int layoutBefore = 0;  // layout 1 was converted; any other was left as it is
    uint64_t lines = 0;    // of a file ledger: every line, kept
};

// Brings a ledger of layout 1 to layout 2: a file ledger in one replacement of the whole file
// with every line kept, a database's tables by adding the columns. A ledger of another layout
// is left as it is. A ledger that is refused or cannot be changed is told and left untouched.
Exit UpgradeLedger(Context& c, const std::wstring& ledger, UpgradeOutcome& result);

// Every line of either kind of ledger, in its order.
Exit ReadLedger(Context& c, const std::wstring& ledger, std::vector<core::LedgerEntry>& entries);

// The same, handed over one line at a time: a file ledger is read a piece at a time, in memory
// that does not grow with it. The lines handed over count only when the result is Done (a
// fault further on refuses the whole ledger).
Exit ForEachLedgerLine(Context& c, const std::wstring& ledger, const std::function<void(core::LedgerEntry&&)>& onLine);

}  // namespace cli
