#include "board_calls.h"

#include <algorithm>

#include "call_log.h"

namespace vboard {

CallLine BoardCall::Line(const char* function) const {
    CallLine line(function);
    line.Handle(handleId_);
    return line;
}

uint32_t BoardCall::GetIFType() {
    uint32_t type = state_ ? board_.InterfaceType() : 0;
    board_.Log(Line("Varn_GetIFType").ResultHex32(type));
    return type;
}

void BoardCall::SetTimeouts(uint32_t timeout1, uint32_t timeout2) {
    if (state_) {
        state_->timeout1 = timeout1;
        state_->timeout2 = timeout2;
    }
    board_.Log(Line("Varn_SetTimeouts").Dec(timeout1).Dec(timeout2).NoResult());
}

int32_t BoardCall::EchoTest() {
    int32_t rc = state_ ? board_.EchoTest(*state_) : kBadHandle;
    board_.Log(Line("Varn_FlshEchoTest").Result(rc));
    return rc;
}

int32_t BoardCall::Read(uint32_t address, uint8_t* buffer) {
    int32_t rc = kBadHandle;
    if (state_) {
        rc = board_.Read(address, buffer, state_);
    } else if (buffer) {
        std::fill(buffer, buffer + kSlotSize, kFailedReadFill);
    }
    board_.Log(Line("Varn_FlshRead").Hex(address).Result(rc));
    return rc;
}

int32_t BoardCall::Write(uint32_t address, const uint8_t* data, uint32_t length) {
    int32_t rc = state_ ? board_.Write(address, data, length, state_) : kBadHandle;
    board_.Log(Line("Varn_FlshWrite").Hex(address).Dec(length).Result(rc));
    return rc;
}

int32_t BoardCall::Erase(uint32_t selector) {
    int32_t rc = state_ ? board_.Erase(selector) : kBadHandle;
    board_.Log(Line("Varn_FlshErase").Dec(selector).Result(rc));
    return rc;
}

int32_t BoardCall::ReadArea(uint32_t area, uint8_t* buffer) {
    int32_t rc = state_ ? board_.ReadArea(area, buffer) : kBadHandle;
    board_.Log(Line("Varn_FlshReadRWArea").Dec(area).Result(rc));
    return rc;
}

int32_t BoardCall::WriteArea(uint32_t area, const uint8_t* image) {
    int32_t rc = state_ ? board_.WriteArea(area, image) : kBadHandle;
    board_.Log(Line("Varn_FlshWriteRWArea").Dec(area).Result(rc));
    return rc;
}

}  // namespace vboard
