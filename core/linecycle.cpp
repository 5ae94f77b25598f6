#include "core/linecycle.h"

#include <array>

#include "core/optionops.h"
#include "core/writerops.h"

namespace core {

namespace {

constexpr uint32_t kSlotCount = (kProductAreaEnd - kProductAreaBegin) / kSlotSize;

uint32_t SlotAddress(uint32_t index) {
    return kFirstSlot + index * kSlotStep;
}

// Counts every call that reaches the board: each one is a round trip.
class CountingLink : public ForwardingLink {
public:
    using ForwardingLink::ForwardingLink;
    size_t calls = 0;

protected:
    void BeforeBlockingCall() override { ++calls; }
};

// The slots of the product-information area as far as they have been read; none is read twice.
class SlotReader {
public:
    SlotReader(DeviceLink& link, TOLKA_HANDLE device) : link_(link), device_(device) {}

    bool Read(uint32_t index) {
        if (!seen_[index]) {
            if (link_.FlshRead(device_, SlotAddress(index), images_[index].data()) != 0)
                return false;
            seen_[index] = true;
        }
        return true;
    }
    bool ReadAll() {
        for (uint32_t i = 0; i < kSlotCount; ++i) {
            if (!Read(i))
                return false;
        }
        return true;
    }
    bool Free(uint32_t index) const { return Status(index) == kSlotFree; }
    bool Valid(uint32_t index) const { return Status(index) == kSlotValid; }
    bool Seen(uint32_t index) const { return seen_[index]; }
    const RecordImage& Image(uint32_t index) const { return images_[index]; }

    // No slot read free below one read used, as in an area appended upwards.
    bool InOrder() const {
        bool freeSeen = false;
        for (uint32_t i = 0; i < kSlotCount; ++i) {
            if (!seen_[i])
                continue;
            if (Free(i))
                freeSeen = true;
            else if (freeSeen)
                return false;
        }
        return true;
    }

private:
    uint16_t Status(uint32_t index) const { return ReadSlotStatus(images_[index].data()); }

    DeviceLink& link_;
    TOLKA_HANDLE device_;
    std::array<RecordImage, kSlotCount> images_{};
    std::array<bool, kSlotCount> seen_{};
};

// The first slot above every used one, by halving over "slot is free", which an area
// appended upwards makes false below that slot and true from it on. The slot above the
// target and the last slot are read as well, where an area written out of order shows
// itself at little cost; whatever contradicts the order, or a used slot below the target
// that holds no valid record, costs a full scan. False when a read failed: a failed read
// never makes the area look full or empty.
bool FindFreeSlot(SlotReader& slots, uint32_t& freeIndex) {
    if (!slots.Read(0))
        return false;
    // A fresh board answers after one read; a used one is halved over the 31 slots above.
    uint32_t low = slots.Free(0) ? 0 : 1;
    uint32_t high = slots.Free(0) ? 0 : kSlotCount;
    while (low < high) {
        uint32_t middle = (low + high) / 2;
        if (!slots.Read(middle))
            return false;
        if (slots.Free(middle))
            high = middle;
        else
            low = middle + 1;
    }
    for (uint32_t probe : {low + 1, kSlotCount - 1}) {
        if (probe > low && probe < kSlotCount && !slots.Read(probe))
            return false;
    }
    if (!slots.InOrder() || (low > 0 && !slots.Valid(low - 1))) {
        if (!slots.ReadAll())
            return false;
    }
    freeIndex = 0;
    for (uint32_t i = kSlotCount; i > 0; --i) {
        if (slots.Seen(i - 1) && !slots.Free(i - 1)) {
            freeIndex = i;
            break;
        }
    }
    return true;
}

void Describe(const SlotReader& slots, uint32_t freeIndex, BoardHolding& holding) {
    holding.areaFull = freeIndex == kSlotCount;
    holding.freeSlot = holding.areaFull ? kFirstSlot : SlotAddress(freeIndex);
    for (uint32_t i = kSlotCount; i > 0; --i) {
        if (slots.Seen(i - 1) && slots.Valid(i - 1)) {
            const RecordImage& record = slots.Image(i - 1);
            RecordFields fields = DecodeRecord(record.data());
            holding.numbered = true;
            holding.slot = SlotAddress(i - 1);
            holding.record = record;
            holding.number = fields.number;
            holding.productName = fields.productName;
            return;
        }
    }
}

// Everything after the connection is open; the caller closes it.
LineOutcome RunOnBoard(DeviceLink& link,
                       TOLKA_HANDLE device,
                       const LineJob& job,
                       LineCycleHooks& hooks,
                       LineReport& report) {
    report.before.interfaceType = link.GetIFType(device);
    if (!AwaitAnswer(link, device))
        return LineOutcome::NoAnswer;

    hooks.Step(LineStep::Reading);
    SlotReader slots(link, device);
    uint32_t freeIndex = 0;
    if (!FindFreeSlot(slots, freeIndex))
        return LineOutcome::ReadFailed;
    Describe(slots, freeIndex, report.before);
    const BoardHolding& before = report.before;
    if (!job.rework && before.numbered)
        return LineOutcome::AlreadyNumbered;
    if (!job.rework && before.areaFull)
        return LineOutcome::AreaFull;

    // Before a Number is spent: a board that cannot take the options gets none.
    if (job.options) {
        hooks.Step(LineStep::CheckingOptions);
        switch (CheckOptionArea(link, device)) {
            case OptionAreaCheck::Supported:
                break;
            case OptionAreaCheck::Unsupported:
                return LineOutcome::OptionsUnsupported;
            case OptionAreaCheck::ReadFailed:
                return LineOutcome::ReadFailed;
        }
    }

    hooks.Step(LineStep::Reserving);
    if (!hooks.Reserve(before, report.record))
        return LineOutcome::NotReserved;
    report.reserved = true;

    report.slot = before.freeSlot;
    if (before.areaFull) {
        hooks.Step(LineStep::Erasing);
        if (!EraseProductInfo(link, device))
            return LineOutcome::EraseFailed;
        report.erased = true;
    }
    hooks.Step(LineStep::Writing);
    const RecordImage& record = report.record;
    if (link.FlshWrite(device, report.slot, record.data(), static_cast<uint32_t>(record.size())) != 0)
        return LineOutcome::WriteFailed;
    hooks.Step(LineStep::Verifying);
    RecordImage readBack;
    if (link.FlshRead(device, report.slot, readBack.data()) != 0 || readBack != record)
        return LineOutcome::VerifyFailed;
    report.recordWritten = true;

    if (job.options) {
        hooks.Step(LineStep::WritingOptions);
        if (link.FlshWriteRWArea(device, kPortOptionArea, job.options->data()) != 0)
            return LineOutcome::OptionsWriteFailed;
        hooks.Step(LineStep::VerifyingOptions);
        PortOptionImage options{};
        if (!ReadPortOptionArea(link, device, options) || options != *job.options)
            return LineOutcome::OptionsVerifyFailed;
    }
    return LineOutcome::Written;
}

}  // namespace

const char* LineOutcomeName(LineOutcome outcome) {
    switch (outcome) {
        case LineOutcome::Written:
            return "Written";
        case LineOutcome::NoBoard:
            return "NoBoard";
        case LineOutcome::NoAnswer:
            return "NoAnswer";
        case LineOutcome::ReadFailed:
            return "ReadFailed";
        case LineOutcome::AlreadyNumbered:
            return "AlreadyNumbered";
        case LineOutcome::AreaFull:
            return "AreaFull";
        case LineOutcome::OptionsUnsupported:
            return "OptionsUnsupported";
        case LineOutcome::NotReserved:
            return "NotReserved";
        case LineOutcome::EraseFailed:
            return "EraseFailed";
        case LineOutcome::WriteFailed:
            return "WriteFailed";
        case LineOutcome::VerifyFailed:
            return "VerifyFailed";
        case LineOutcome::OptionsWriteFailed:
            return "OptionsWriteFailed";
        case LineOutcome::OptionsVerifyFailed:
            return "OptionsVerifyFailed";
    }
    return "?";
}

LineReport RunLineCycle(DeviceLink& link, const LineJob& job, LineCycleHooks& hooks) {
    LineReport report;
    CountingLink counted(link);
    {
        hooks.Step(LineStep::Connecting);
        BoardConnection connection(counted);
        report.outcome =
            connection.Open() ? RunOnBoard(counted, connection.Handle(), job, hooks, report) : LineOutcome::NoBoard;
    }
    report.calls = counted.calls;
    return report;
}

}  // namespace core
