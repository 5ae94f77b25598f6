// One library call on the virtual board: the operation and its line in calls.log. The DLLs
// and the in-process model link (model_link.h) both make their calls through here, so a call
// does and logs the same wherever it runs. Portable: no <windows.h>.
#pragma once

#include <cstdint>

#include "board.h"
#include "call_log.h"

namespace vboard {

class BoardCall {
public:
    // state is null when the caller's handle is not an open one: the call then fails with
    // kBadHandle (a read fills its buffer as failed reads do). handleId labels the handle in
    // the log (call_log.h).
    BoardCall(VirtualBoard& board, HandleState* state, uint32_t handleId)
        : board_(board), state_(state), handleId_(handleId) {}

    uint32_t GetIFType();
    void SetTimeouts(uint32_t timeout1, uint32_t timeout2);
    int32_t EchoTest();
    int32_t Read(uint32_t address, uint8_t* buffer);
    int32_t Write(uint32_t address, const uint8_t* data, uint32_t length);
    int32_t Erase(uint32_t selector);
    int32_t ReadArea(uint32_t area, uint8_t* buffer);
    int32_t WriteArea(uint32_t area, const uint8_t* image);

private:
    CallLine Line(const char* function) const;

    VirtualBoard& board_;
    HandleState* state_;
    uint32_t handleId_;
};

}  // namespace vboard
