// The board as the board operations see it: one call per function of the maker's two device
// libraries, with the same arguments and results. The programs pass the libraries themselves
// (common/librarylink.h); native tests pass the virtual board's model (varnet/model_link.h),
// so every operation runs, fault paths included, without Windows.
// Portable: no <windows.h>.
#pragma once

#include <cstdint>

#include "core/devicelink.h"

namespace core {

class DeviceLink {
public:
    virtual ~DeviceLink() = default;

    virtual TOLKA_HANDLE FlashModeOpen(uint32_t interfaces, uint32_t reserved) = 0;
    virtual void FlashModeClose(TOLKA_HANDLE handle, uint32_t reserved) = 0;
    virtual void OptionDlg1() = 0;
    virtual int ShowProductInfo(TOLKA_HANDLE handle) = 0;

    virtual uint32_t GetIFType(TOLKA_HANDLE handle) = 0;
    virtual void SetTimeouts(TOLKA_HANDLE handle, uint32_t timeout1, uint32_t timeout2) = 0;
    virtual int FlshEchoTest(TOLKA_HANDLE handle) = 0;
    virtual int FlshRead(TOLKA_HANDLE handle, uint32_t address, uint8_t* buffer) = 0;
    virtual int FlshWrite(TOLKA_HANDLE handle, uint32_t address, const uint8_t* data, uint32_t length) = 0;
    virtual int FlshErase(TOLKA_HANDLE handle, uint32_t selector) = 0;
    virtual int FlshReadRWArea(TOLKA_HANDLE handle, uint32_t area, uint8_t* buffer) = 0;
    virtual int FlshWriteRWArea(TOLKA_HANDLE handle, uint32_t area, const uint8_t* image) = 0;
};

}  // namespace core
