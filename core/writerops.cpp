#include "core/writerops.h"

namespace core {

static_assert(kSlotSize == kRecordSize, "a slot holds one record");

namespace {

bool IsVarnexKind(const RecordImage& record) {
    return ProductKindOf(record.data() + kUuidOffset) == ProductKind::Varnex;
}

bool IsPelnexKind(const RecordImage& record) {
    return ProductKindOf(record.data() + kUuidOffset) == ProductKind::Pelnex;
}

}  // namespace

std::optional<KindMismatch> KindMismatchOf(const RecordImage& record, uint32_t interfaceType) {
    if (IsVarnexKind(record) && (interfaceType & TOLKA_IF_LAN) != 0)
        return KindMismatch::VarnexOnLan;
    if (IsPelnexKind(record) && (interfaceType & TOLKA_IF_USB) != 0)
        return KindMismatch::PelnexOnUsb;
    return std::nullopt;
}

namespace {

// The interface type is fetched afresh, and only for a record of either kind.
bool PassesKindCheck(DeviceLink& link, TOLKA_HANDLE device, const RecordImage& record, WriteQuestions& questions) {
    if (!IsVarnexKind(record) && !IsPelnexKind(record))
        return true;
    const std::optional<KindMismatch> mismatch = KindMismatchOf(record, link.GetIFType(device));
    return !mismatch || questions.ContinueDespite(*mismatch);
}

enum class SlotSearch { Found, Full, ReadFailed };

SlotSearch FindFreeSlot(DeviceLink& link, TOLKA_HANDLE device, uint32_t& target) {
    RecordImage slot;
    for (uint32_t address = kFirstSlot; address <= kLastSlot; address += kSlotStep) {
        // A failed read must not make the area look full: that would erase valid records.
        if (link.FlshRead(device, address, slot.data()) != 0)
            return SlotSearch::ReadFailed;
        if (ReadSlotStatus(slot.data()) == kSlotFree) {
            target = address;
            return SlotSearch::Found;
        }
    }
    return SlotSearch::Full;
}

}  // namespace

bool EndsConnection(ReadResult result) {
    return result == ReadResult::NoAnswer;
}

bool EndsConnection(const WriteReport& report) {
    return report.outcome == WriteOutcome::Written;
}

InterfaceKind AnnouncedInterface(uint32_t interfaceType) {
    switch (interfaceType & 0xFF000000u) {
        case TOLKA_IF_USB:
        case TOLKA_IF_USB2:
            return InterfaceKind::Usb;
        case TOLKA_IF_LAN:
            return InterfaceKind::Lan;
        default:
            return InterfaceKind::Other;
    }
}

bool AwaitAnswer(DeviceLink& link, TOLKA_HANDLE device) {
    link.SetTimeouts(device, kEchoTimeout, kEchoTimeout);
    // A board that has just been switched to flash mode may miss the first echo.
    if (link.FlshEchoTest(device) != 0 && link.FlshEchoTest(device) != 0)
        return false;
    link.SetTimeouts(device, kTransferTimeout, kTransferTimeout);
    return true;
}

ReadResult ReadCurrentRecord(DeviceLink& link, TOLKA_HANDLE device, CurrentRecord& current) {
    if (!AwaitAnswer(link, device))
        return ReadResult::NoAnswer;
    current.slotsUsed = 0;
    for (uint32_t address = kLastSlot + kSlotStep; address > kFirstSlot;) {
        address -= kSlotStep;
        if (link.FlshRead(device, address, current.record.data()) != 0)
            return ReadResult::ReadFailed;
        uint16_t status = ReadSlotStatus(current.record.data());
        if (status != kSlotFree)
            ++current.slotsUsed;
        if (status == kSlotValid) {
            // Records are appended upwards: every slot below a valid one is used too.
            current.slotsUsed += (address - kFirstSlot) / kSlotStep;
            current.slot = address;
            return ReadResult::Found;
        }
    }
    return ReadResult::Empty;
}

WriteReport WriteRecord(DeviceLink& link, TOLKA_HANDLE device, const RecordImage& record, WriteQuestions& questions) {
    WriteReport report;
    if (!PassesKindCheck(link, device, record, questions))
        return report;
    switch (FindFreeSlot(link, device, report.slot)) {
        case SlotSearch::ReadFailed:
            report.outcome = WriteOutcome::ReadFailed;
            return report;
        case SlotSearch::Full:
            report.slot = kFirstSlot;
            if (!EraseProductInfo(link, device)) {
                report.outcome = WriteOutcome::EraseFailed;
                return report;
            }
            report.erased = true;
            break;
        case SlotSearch::Found:
            break;
    }
    if (link.FlshWrite(device, report.slot, record.data(), static_cast<uint32_t>(record.size())) != 0) {
        report.outcome = WriteOutcome::WriteFailed;
        return report;
    }
    RecordImage readBack;
    bool verified = link.FlshRead(device, report.slot, readBack.data()) == 0 && readBack == record;
    report.outcome = verified ? WriteOutcome::Written : WriteOutcome::VerifyFailed;
    return report;
}

bool EraseProductInfo(DeviceLink& link, TOLKA_HANDLE device) {
    return link.FlshErase(device, kEraseProductInfo) == 0;
}

}  // namespace core
