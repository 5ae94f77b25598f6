// The maker's device libraries behind the board operations' link: every call goes straight
// to Varnet.dll or TolkaCommon.dll.
#pragma once

#include "core/link.h"

class CLibraryLink : public core::DeviceLink {
public:
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
};

// The one link of a program; the libraries keep no state of ours, so one object serves all.
core::DeviceLink& LibraryLink();
