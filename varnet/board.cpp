#include "board.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "call_log.h"
#include "core/digits.h"
#include "core/portoptions.h"
#include "core/record.h"

namespace vboard {

const char kIniFile[] = "board.ini";
const char kFlashFile[] = "flash.bin";
const char kAreaFile[] = "area5.bin";
const char kLogFile[] = "calls.log";

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

const char kNoOptionArea[] = "the firmware has no port option area (option_area=0)";

// Firmware without the port option area has no zero mark at 0x8000-0x8003.
void HideFirmwareMark(uint32_t address, uint8_t* buffer) {
    for (uint32_t i = 0; i < kSlotSize; ++i) {
        uint64_t at = uint64_t{address} + i;
        if (at >= kFirmwareMarkAddress && at < kFirmwareMarkAddress + 4)
            buffer[i] = kErased;
    }
}

}  // namespace

// The board reads what the programs store with the engine's own code (core/record.h): a
// slot's status word and its record. Area 5 holds one port option image (core/portoptions.h),
// kept as opaque bytes as the firmware keeps it. No reader of its own: the record's layout is
// pinned once, against literal bytes, by the engine's record tests, and the board's tests
// write records as literal bytes, so a layout fault of the engine fails there; a second copy
// of the layout here would be one more to keep in step.
static_assert(kSlotSize == core::kRecordSize, "a flash slot holds one product-information record");

ProductInfo DecodeProductInfo(uint32_t slot, const uint8_t* record) {
    core::RecordFields fields = core::DecodeRecord(record);
    std::wstring uuid = core::FormatUuidText(fields.uuid.data());
    ProductInfo info;
    info.slot = slot;
    info.uuid.assign(uuid.begin(), uuid.end());  // hexadecimal digits and hyphens only
    info.number = fields.number;
    info.productName = fields.productName;
    info.maker = fields.makerName;
    return info;
}

bool FindNewestValidSlot(const FlashImage& flash, uint32_t& slot) {
    for (uint32_t address = kProductAreaEnd - kSlotSize;; address -= kSlotSize) {
        core::RecordImage record;
        flash.Read(address, record.data(), kSlotSize);
        if (core::ReadSlotStatus(record.data()) == core::kSlotValid) {
            slot = address;
            return true;
        }
        if (address == kProductAreaBegin)
            return false;
    }
}

bool VirtualBoard::LoadConfig(BoardConfig& config, std::vector<std::string>* problems) {
    std::vector<uint8_t> bytes;
    switch (store_.Read(kIniFile, bytes)) {
        case BoardStore::Load::Ok:
            config = ParseBoardIni(std::string(bytes.begin(), bytes.end()), problems);
            return true;
        case BoardStore::Load::Missing:
            config = BoardConfig();
            return store_.Replace(kIniFile, Bytes(DefaultBoardIni()));
        case BoardStore::Load::Failed:
            break;
    }
    return false;
}

bool VirtualBoard::SaveSettings(bool attached, uint32_t interfaceType) {
    std::vector<uint8_t> bytes;
    std::string text;
    switch (store_.Read(kIniFile, bytes)) {
        case BoardStore::Load::Ok:
            text.assign(bytes.begin(), bytes.end());
            break;
        case BoardStore::Load::Missing:
            text = DefaultBoardIni();
            break;
        case BoardStore::Load::Failed:
            return false;
    }
    return store_.Replace(kIniFile, Bytes(SetBoardSettings(text, attached, interfaceType)));
}

int32_t VirtualBoard::Settings(BoardConfig& config) {
    std::vector<std::string> problems;
    if (!LoadConfig(config, &problems))
        return kStateError;
    if (!problems.empty()) {
        ReportProblem(store_.Where(kIniFile) + " " + problems.front() + " (every call fails until it is mended)");
        return kStateError;
    }
    return kOk;
}

void VirtualBoard::ReportProblem(const std::string& text) {
    reportedProblem_ = true;
    Log(MessageEntry(text));
    if (showProblem_)
        showProblem_(text);
}

bool VirtualBoard::FailsNow(const Faults& faults) {
    if (faults.failCall == 0)
        return false;
    std::vector<uint8_t> log;
    if (store_.Read(kLogFile, log) != BoardStore::Load::Ok)
        return faults.failCall == 1;
    return CountCalls(std::string(log.begin(), log.end())) + 1 == faults.failCall;
}

int32_t VirtualBoard::Refuse(const std::string& why) {
    Log(WarningEntry(why));
    return kBadArgument;
}

int32_t VirtualBoard::Present(BoardConfig& config) {
    if (int32_t rc = Settings(config))
        return rc;
    if (!config.attached || config.faults.noBoard)
        return kNoBoard;
    return FailsNow(config.faults) ? kInjectedFault : kOk;
}

bool VirtualBoard::LoadFlash(FlashImage& flash) {
    std::vector<uint8_t> bytes;
    switch (store_.Read(kFlashFile, bytes)) {
        case BoardStore::Load::Ok:
            flash = FlashImage(std::move(bytes));
            return true;
        case BoardStore::Load::Missing:
            flash = FlashImage::NewBoard();
            return SaveFlash(flash);
        case BoardStore::Load::Failed:
            break;
    }
    return false;
}

bool VirtualBoard::SaveFlash(const FlashImage& flash) {
    return store_.Replace(kFlashFile, flash.Bytes());
}

int32_t VirtualBoard::Probe() {
    BoardConfig config;
    if (int32_t rc = Settings(config))
        return rc;
    if (config.newBoardEachOpen && config.attached && (!SaveFlash(FlashImage::NewBoard()) || !store_.Remove(kAreaFile)))
        return kStateError;
    FlashImage flash;
    if (!LoadFlash(flash))
        return kStateError;
    return Present(config);
}

uint32_t VirtualBoard::InterfaceType() {
    BoardConfig config;
    return Settings(config) == kOk ? config.interfaceType : 0;
}

int32_t VirtualBoard::EchoTest(HandleState& handle) {
    BoardConfig config;
    if (int32_t rc = Present(config))
        return rc;
    ++handle.echoTests;
    if (config.faults.echoFail)
        return kInjectedFault;
    if (config.faults.echoFailFirst && handle.echoTests == 1)
        return kInjectedFault;
    return kOk;
}

int32_t VirtualBoard::Read(uint32_t address, uint8_t* buffer, const HandleState* handle) {
    if (!buffer)
        return kBadArgument;
    auto read = [&]() -> int32_t {
        BoardConfig config;
        if (int32_t rc = Present(config))
            return rc;
        if (uint64_t{address} + kSlotSize > kFlashLimit)
            return kBadArgument;
        const Faults& faults = config.faults;
        if (faults.readFail == Faults::ReadFail::All ||
            (faults.readFail == Faults::ReadFail::AtAddress && faults.readFailAddress == address)) {
            return kInjectedFault;
        }
        if (faults.readBackFail && handle && handle->wrote && handle->lastWriteAddress == address)
            return kInjectedFault;
        FlashImage flash;
        if (!LoadFlash(flash))
            return kStateError;
        flash.Read(address, buffer, kSlotSize);
        if (!config.optionArea)
            HideFirmwareMark(address, buffer);
        return kOk;
    };
    int32_t rc = read();
    if (rc != kOk)
        std::memset(buffer, kFailedReadFill, kSlotSize);
    return rc;
}

int32_t VirtualBoard::Write(uint32_t address, const uint8_t* data, uint32_t length, HandleState* handle) {
    if (!data)
        return Refuse("Varn_FlshWrite: no data");
    if (length != kSlotSize)
        return Refuse("Varn_FlshWrite: length " + core::DecimalText(length) + ": the board writes 128 bytes at a time");
    if (address < kProductAreaBegin || uint64_t{address} + length > kProductAreaEnd)
        return Refuse("Varn_FlshWrite: " + HexText(address) + " is outside the product-information area 0x7000-0x7FFF");
    if (address % kSlotSize != 0)
        return Refuse("Varn_FlshWrite: " + HexText(address) + " is not the start of a 128-byte slot");
    BoardConfig config;
    if (int32_t rc = Present(config))
        return rc;
    if (config.faults.writeDelayMs != 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(config.faults.writeDelayMs));
    if (config.faults.writeFail)
        return kInjectedFault;
    FlashImage flash;
    if (!LoadFlash(flash))
        return kStateError;
    if (handle) {
        handle->wrote = true;
        handle->lastWriteAddress = address;
    }
    flash.Program(address, data, length);
    if (config.faults.writeCorrupt) {
        // Stored differently from what any correct write could leave there.
        std::vector<uint8_t> bytes = flash.Bytes();
        bytes[address + length / 2] ^= 0x01;
        flash = FlashImage(std::move(bytes));
    }
    return SaveFlash(flash) ? kOk : kStateError;
}

int32_t VirtualBoard::Erase(uint32_t selector) {
    if (selector != kEraseProductInfo && selector != kErasePortOptions)
        return Refuse("Varn_FlshErase: unknown selector " + core::DecimalText(selector) + " (128 or 32)");
    BoardConfig config;
    if (int32_t rc = Present(config))
        return rc;
    if (selector == kErasePortOptions && !config.optionArea)
        return Refuse(kNoOptionArea);
    if (config.faults.eraseFail)
        return kInjectedFault;
    if (selector == kErasePortOptions)
        return store_.Remove(kAreaFile) ? kOk : kStateError;
    FlashImage flash;
    if (!LoadFlash(flash))
        return kStateError;
    flash.Erase(kProductAreaBegin, kProductAreaEnd);
    return SaveFlash(flash) ? kOk : kStateError;
}

int32_t VirtualBoard::PresentArea(uint32_t area, BoardConfig& config) {
    if (area != kPortOptionArea)
        return Refuse("read/write area " + core::DecimalText(area) + ": the board has only area 5");
    if (int32_t rc = Present(config))
        return rc;
    return config.optionArea ? kOk : Refuse(kNoOptionArea);
}

int32_t VirtualBoard::ReadArea(uint32_t area, uint8_t* buffer) {
    if (!buffer)
        return kBadArgument;
    BoardConfig config;
    if (int32_t rc = PresentArea(area, config))
        return rc;
    if (config.faults.areaReadNone)
        return kNoSettings;
    std::vector<uint8_t> bytes;
    switch (store_.Read(kAreaFile, bytes)) {
        case BoardStore::Load::Ok:
            break;
        case BoardStore::Load::Missing:
            return kNoSettings;
        case BoardStore::Load::Failed:
            return kStateError;
    }
    // A file of another size is not something this board wrote.
    if (bytes.size() != core::kPortOptionImageSize)
        return kNoSettings;
    std::memcpy(buffer, bytes.data(), core::kPortOptionImageSize);
    return kOk;
}

int32_t VirtualBoard::WriteArea(uint32_t area, const uint8_t* image) {
    if (!image)
        return kBadArgument;
    BoardConfig config;
    if (int32_t rc = PresentArea(area, config))
        return rc;
    if (config.faults.areaWriteFail)
        return kInjectedFault;
    return store_.Replace(kAreaFile, std::vector<uint8_t>(image, image + core::kPortOptionImageSize)) ? kOk
                                                                                                      : kStateError;
}

int32_t VirtualBoard::ReadProductInfo(uint32_t& slot, uint8_t* record, bool& found) {
    found = false;
    if (!record)
        return kBadArgument;
    BoardConfig config;
    if (int32_t rc = Present(config))
        return rc;
    if (config.faults.productInfoFail)
        return kInjectedFault;
    FlashImage flash;
    if (!LoadFlash(flash))
        return kStateError;
    found = FindNewestValidSlot(flash, slot);
    if (found)
        flash.Read(slot, record, kSlotSize);
    return kOk;
}

void VirtualBoard::AwaitRoundTrip() {
    // A board.ini that cannot be read or understood is reported by the call itself.
    BoardConfig config;
    if (LoadConfig(config) && config.callDelayMs != 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(config.callDelayMs));
}

void VirtualBoard::Log(const std::string& line) {
    // A log that cannot be written must not change what the board does.
    store_.AppendLine(kLogFile, line);
}

}  // namespace vboard
