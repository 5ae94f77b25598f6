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

namespace cli {

// "odbc:" begins a connection string; anything else is a file path.
bool IsDatabaseLedger(const std::wstring& ledger);

// The ledger as messages and JSON name it: a database ledger without its password.
std::wstring LedgerName(const std::wstring& ledger);

class LineLedger {
public:
    virtual ~LineLedger() = default;
    // Whether the ledger can be used; before any board is touched.
    virtual Exit Check() = 0;
    // The line's Number is the floor; `number` receives the one reserved.
    virtual Exit Reserve(const core::LedgerEntry& line, uint32_t& number) = 0;
    // The outcome of the last reservation (ok or failed).
    virtual Exit Record(const core::LedgerEntry& line) = 0;
};

// What a line of boards keeps from one board to the next: a database ledger's connection,
// made for the first board and used by every later one (made anew only when it is lost). A
// file ledger keeps nothing: it is opened for each reservation and each outcome.
struct LedgerConnection {
    std::unique_ptr<core::DbLink> link;
    std::unique_ptr<core::DbLedger> ledger;  // open: its tables checked
};

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
