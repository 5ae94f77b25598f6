#include "model_link.h"

#include <cstdint>
#include <string>
#include <vector>

#include "call_log.h"

namespace vboard {

TOLKA_HANDLE ModelLink::HandleOf(uint32_t id) {
    return reinterpret_cast<TOLKA_HANDLE>(static_cast<uintptr_t>(id));
}

uint32_t ModelLink::IdOf(TOLKA_HANDLE handle) const {
    if (handle == nullptr)
        return 0;
    uint32_t id = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle));
    return handles_.count(id) ? id : kInvalidHandleId;
}

BoardCall ModelLink::Call(TOLKA_HANDLE handle) {
    uint32_t id = IdOf(handle);
    auto it = handles_.find(id);
    return BoardCall(board_, it == handles_.end() ? nullptr : &it->second, id);
}

TOLKA_HANDLE ModelLink::FlashModeOpen(uint32_t interfaces, uint32_t reserved) {
    int32_t rc = board_.Probe();
    uint32_t id = 0;
    if (rc == kOk) {
        id = ++lastId_;
        handles_[id].id = id;
    }
    board_.Log(CallLine("Tolka_FlashModeOpen").Hex(interfaces).Dec(reserved).ResultHandle(id));
    return HandleOf(id);
}

void ModelLink::FlashModeClose(TOLKA_HANDLE handle, uint32_t reserved) {
    uint32_t id = IdOf(handle);
    board_.Log(CallLine("Tolka_FlashModeClose").Handle(id).Dec(reserved).NoResult());
    handles_.erase(id);
}

void ModelLink::OptionDlg1() {
    board_.Log(DialogEntry("connection settings"));
    board_.Log(CallLine("Tolka_OptionDlg1").NoResult());
}

int ModelLink::ShowProductInfo(TOLKA_HANDLE handle) {
    uint32_t id = IdOf(handle);
    int32_t rc = kBadHandle;
    if (handles_.count(id)) {
        uint32_t slot = 0;
        uint8_t record[kSlotSize];
        bool found = false;
        rc = board_.ReadProductInfo(slot, record, found);
        if (rc == kOk)
            board_.Log(DialogEntry("product information", found ? "slot " + HexText(slot) : "none"));
    }
    board_.Log(CallLine("Tolka_ShowProductInfo").Handle(id).Result(rc));
    return rc;
}

uint32_t ModelLink::GetIFType(TOLKA_HANDLE handle) {
    return Call(handle).GetIFType();
}

void ModelLink::SetTimeouts(TOLKA_HANDLE handle, uint32_t timeout1, uint32_t timeout2) {
    Call(handle).SetTimeouts(timeout1, timeout2);
}

int ModelLink::FlshEchoTest(TOLKA_HANDLE handle) {
    return Call(handle).EchoTest();
}

int ModelLink::FlshRead(TOLKA_HANDLE handle, uint32_t address, uint8_t* buffer) {
    return Call(handle).Read(address, buffer);
}

int ModelLink::FlshWrite(TOLKA_HANDLE handle, uint32_t address, const uint8_t* data, uint32_t length) {
    return Call(handle).Write(address, data, length);
}

int ModelLink::FlshErase(TOLKA_HANDLE handle, uint32_t selector) {
    return Call(handle).Erase(selector);
}

int ModelLink::FlshReadRWArea(TOLKA_HANDLE handle, uint32_t area, uint8_t* buffer) {
    return Call(handle).ReadArea(area, buffer);
}

int ModelLink::FlshWriteRWArea(TOLKA_HANDLE handle, uint32_t area, const uint8_t* image) {
    return Call(handle).WriteArea(area, image);
}

}  // namespace vboard
