// The virtual board in-process: the device libraries' calls made directly on the portable
// board model, logged exactly as the DLLs log them. Native tests run the board operations
// through this link, fault paths included, in milliseconds. Portable: no <windows.h>.
//
//   vboard::MemoryStore store;
//   vboard::ModelLink link(store);
//   TOLKA_HANDLE h = link.FlashModeOpen(TOLKA_IF_ALL, 0);
//   ... core operations on (link, h) ...
//   store.Text(vboard::kLogFile)    // the call log
#pragma once

#include <map>
#include <memory>

#include "board.h"
#include "board_calls.h"
#include "core/boardlink.h"

namespace vboard {

class ModelLink : public core::DeviceLink {
public:
    explicit ModelLink(BoardStore& store) : board_(store) {}

    TOLKA_HANDLE FlashModeOpen(uint32_t interfaces, uint32_t reserved) override;
    void FlashModeClose(TOLKA_HANDLE handle, uint32_t reserved) override;
    void OptionDlg1() override;
    int ShowProductInfo(TOLKA_HANDLE handle) override;
    uint32_t GetIFType(TOLKA_HANDLE handle) override;
    void SetTimeouts(TOLKA_HANDLE handle, uint32_t timeout1, uint32_t timeout2) override;
    int FlshEchoTest(TOLKA_HANDLE handle) override;
    int FlshRead(TOLKA_HANDLE handle, uint32_t address, uint8_t* buffer) override;
    int FlshWrite(TOLKA_HANDLE handle, uint32_t address, const uint8_t* data, uint32_t length) override;
    int FlshErase(TOLKA_HANDLE handle, uint32_t selector) override;
    int FlshReadRWArea(TOLKA_HANDLE handle, uint32_t area, uint8_t* buffer) override;
    int FlshWriteRWArea(TOLKA_HANDLE handle, uint32_t area, const uint8_t* image) override;

    VirtualBoard& Board() { return board_; }
    size_t OpenHandles() const { return handles_.size(); }

private:
    // Handles are the log's numbers in disguise; they are never dereferenced.
    static TOLKA_HANDLE HandleOf(uint32_t id);
    uint32_t IdOf(TOLKA_HANDLE handle) const;
    BoardCall Call(TOLKA_HANDLE handle);

    VirtualBoard board_;
    std::map<uint32_t, HandleState> handles_;
    uint32_t lastId_ = 0;
};

}  // namespace vboard
