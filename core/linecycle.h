// The board half of one production-line cycle, in one connection: what the board holds, a
// Number the caller reserves for it, the product information appended and read back, the port
// options written and read back. On a line every library call is a round trip to a real board,
// so the cycle makes only the calls the work needs and counts them: on an empty board at most
// 12 (16 with port options), on a board with used slots at most 6 more.
// A board that already carries a Number is refused unless the job is a rework.
// Portable: no <windows.h>.
//
//   class Station : public core::LineCycleHooks {
//       bool Reserve(const core::BoardHolding& holding, core::RecordImage& record) override;
//   } station;
//   core::LineReport report = core::RunLineCycle(link, job, station);
//   if (report.outcome == core::LineOutcome::AlreadyNumbered) ...report.before.number...
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/boardmap.h"
#include "core/boardlink.h"
#include "core/portoptions.h"
#include "core/record.h"

namespace core {

// What the board carried when the cycle found it.
struct BoardHolding {
    uint32_t interfaceType = 0;  // Varn_GetIFType at connect, for the caller's product-kind check
    bool numbered = false;       // a valid product-information record is on the board
    uint32_t slot = 0;           // the slot of that record, the board's current one
    RecordImage record{};
    uint32_t number = 0;      // its Number
    std::string productName;  // its product name, the stored bytes without the NUL
    uint32_t freeSlot = 0;    // where the next record goes: the slot above every used one
    bool areaFull = false;    // no slot is free above the used ones
};

// The step a cycle runs now, for a window to show.
enum class LineStep {
    Connecting,
    Reading,
    CheckingOptions,
    Reserving,
    Erasing,
    Writing,
    Verifying,
    WritingOptions,
    VerifyingOptions,
};

// What a cycle asks of its caller, who keeps the Number ledger.
class LineCycleHooks {
public:
    virtual ~LineCycleHooks() = default;
    // Fills in the record to write, with the Number reserved for this board (on a rework a new
    // one that replaces holding.number), or refuses: false writes nothing. Called at most once,
    // once the board has been read and found fit, before anything on it changes. The record
    // must be a valid one (status 0, as EncodeRecord makes it).
    virtual bool Reserve(const BoardHolding& holding, RecordImage& record) = 0;
    virtual void Step(LineStep) {}
};

struct LineJob {
    // Number a board that carries one already (or whose area is full), replacing its Number.
    bool rework = false;
    // Written into read/write area 5 after the product information, when given.
    std::optional<PortOptionImage> options;
};

// Written, or the step that stopped the cycle. The board is unchanged by every outcome
// before EraseFailed.
enum class LineOutcome {
    Written,              // product information (and options, when given) written and read back equal
    NoBoard,              // no board could be opened
    NoAnswer,             // two echo tests in a row failed
    ReadFailed,           // a slot or the firmware mark could not be read
    AlreadyNumbered,      // the board carries a Number and the job is no rework; Reserve not called
    AreaFull,             // no free slot and the job is no rework; Reserve not called
    OptionsUnsupported,   // options given, but the firmware has no port option area
    NotReserved,          // the caller refused to reserve a Number
    EraseFailed,          // a rework on a full area could not erase it
    WriteFailed,          // the product information could not be written
    VerifyFailed,         // its read-back failed or differs
    OptionsWriteFailed,   // the product information is on the board; the options could not be written
    OptionsVerifyFailed,  // the product information is on the board; the options' read-back failed or differs
};

// The outcome's name as a log or the console writes it.
const char* LineOutcomeName(LineOutcome outcome);

struct LineReport {
    LineOutcome outcome = LineOutcome::NoBoard;
    BoardHolding before;         // what the board held, from AlreadyNumbered on (interfaceType from NoAnswer on)
    bool reserved = false;       // Reserve gave a record: its Number is spent whatever follows
    RecordImage record{};        // the record Reserve gave
    uint32_t slot = 0;           // the slot written (or tried)
    bool erased = false;         // the full area was erased: the board's earlier records are gone
    bool recordWritten = false;  // the product information is on the board, read back equal
    size_t calls = 0;            // library calls made, open and close included
};

// Opens the first board on any interface (and closes it before returning), reads its
// interface type, sets the time-outs and makes the echo test as ReadCurrentRecord does, finds
// the board's current record and the free slot by halving (a full scan only when the slots
// read contradict an area filled upwards), then checks, reserves, writes and verifies.
LineReport RunLineCycle(DeviceLink& link, const LineJob& job, LineCycleHooks& hooks);

}  // namespace core
