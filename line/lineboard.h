// One board of a station of the line, whichever face runs it: the line cycle
// (core::RunLineCycle) with its Number reserved in the station's ledger once the board has been
// read and found fit, and the outcome recorded for the Number it spent, with who ran the board,
// with which recipe, how long it took and why it failed. The faces only tell the result.
// Portable: no <windows.h>.
//
//   core::LineBoardJob job;            // the record, the options, the ledger line's who and what
//   core::LineBoardResult r = core::RunLedgerBoard(link, *ledger, system, job, onStep);
//   if (r.reservation.Ok() && r.cycle.outcome == core::LineOutcome::Written) ...r.line.number...
#pragma once

#include <functional>
#include <optional>

#include "core/linecycle.h"
#include "core/writerops.h"
#include "line/lineledger.h"

namespace core {

// What every board of a station is written with.
struct LineBoardJob {
    RecordFields fields;  // its Number is the floor of the ledger's
    std::optional<PortOptionImage> options;
    bool rework = false;  // boards that already carry a Number are numbered again
    // The ledger line's station, product, maker, version, operator and recipe; the time, the
    // UUID and the board's own columns are filled in for each board.
    LedgerEntry line;
};

struct LineBoardResult {
    LineReport cycle;
    std::optional<KindMismatch> wrongKind;  // the record is for the other kind of board: nothing reserved
    LedgerResult reservation;               // the ledger could not reserve: nothing written
    LedgerEntry line;                       // the line reserved, then recorded (cycle.reserved)
    LedgerResult outcome;                   // the ledger could not record the board's outcome

    // Written, read back equal, and recorded as such.
    bool Passed() const { return cycle.outcome == LineOutcome::Written && outcome.Ok(); }
};

// A failed board's cause as the ledger's `cause` column names it: "verify", "no-answer".
const char* FailureCause(LineOutcome outcome);

// Runs one board. The ledger must have been checked (LineLedger::Check); `onStep` may be empty.
LineBoardResult RunLedgerBoard(DeviceLink& link,
                               LineLedger& ledger,
                               LedgerSystem& system,
                               const LineBoardJob& job,
                               const std::function<void(LineStep)>& onStep);

}  // namespace core
