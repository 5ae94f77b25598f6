// The product-information writer's board operations, over the library calls of boardlink.h:
// reading the board's current record, writing a record into the next free slot (erasing
// the area when it is full) with its read-back verify, and erasing the area. The writer
// window and the console program both run these; they differ only in how they ask and tell.
// Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <optional>

#include "core/boardmap.h"
#include "core/boardlink.h"
#include "core/record.h"

namespace core {

// Time-outs: short while the echo test asks whether the board answers, longer for transfers.
constexpr uint32_t kEchoTimeout = 1000;
constexpr uint32_t kTransferTimeout = 5000;

// How a board announces itself at connect (the top byte of the interface type).
enum class InterfaceKind { Usb, Lan, Other };
InterfaceKind AnnouncedInterface(uint32_t interfaceType);

enum class ReadResult {
    Found,       // current holds the board's newest valid record
    Empty,       // no slot holds a valid record
    NoAnswer,    // two echo tests in a row failed
    ReadFailed,  // a slot could not be read
};

struct CurrentRecord {
    uint32_t slot = 0;
    RecordImage record{};
    uint32_t slotsUsed = 0;  // slots that are not free (valid or not), counted on the way down
};

// Time-outs 1000/1000, up to two echo tests, then time-outs 5000/5000 for the transfers;
// false (time-outs left at 1000) when the board does not answer.
bool AwaitAnswer(DeviceLink& link, TOLKA_HANDLE device);

// AwaitAnswer, then the slots from 0x7F80 down to the first valid one.
ReadResult ReadCurrentRecord(DeviceLink& link, TOLKA_HANDLE device, CurrentRecord& current);

// A board that does not answer is given back, so that the user reconnects with one click.
bool EndsConnection(ReadResult result);

// A record of one product kind about to go into a board of the other kind.
enum class KindMismatch { VarnexOnLan, PelnexOnUsb };

// The mismatch of a record's product kind with the interface the board announced, if any:
// the line cycle's check, made on the interface type it read at connect.
std::optional<KindMismatch> KindMismatchOf(const RecordImage& record, uint32_t interfaceType);

// What a write asks its caller before it changes the board.
class WriteQuestions {
public:
    virtual ~WriteQuestions() = default;
    // True to write all the same.
    virtual bool ContinueDespite(KindMismatch mismatch) = 0;
};

enum class WriteOutcome {
    Written,       // stored and read back equal
    Refused,       // the caller answered no; the board is unchanged
    ReadFailed,    // a slot could not be read while looking for a free one; unchanged
    EraseFailed,   // the area was full and could not be erased
    WriteFailed,   // the library refused the write
    VerifyFailed,  // the read-back failed or differs from the record
};

struct WriteReport {
    WriteOutcome outcome = WriteOutcome::Refused;
    uint32_t slot = 0;    // the slot written (or tried)
    bool erased = false;  // the full area was erased first: the board's earlier records are gone
};

// The product-kind check, the search for the first free slot from 0x7000 up (erasing the
// area with selector 128 when none is free), the write and its read-back verify.
WriteReport WriteRecord(DeviceLink& link, TOLKA_HANDLE device, const RecordImage& record, WriteQuestions& questions);

// A board written and verified is given back once its record has been shown, so that the
// next write goes to whichever board is attached then; after a failure it stays connected.
bool EndsConnection(const WriteReport& report);

// Empties the product-information area; true when the board did it.
bool EraseProductInfo(DeviceLink& link, TOLKA_HANDLE device);

}  // namespace core
