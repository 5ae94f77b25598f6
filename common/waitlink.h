// The board's link as an editor window uses it: every call shows the wait cursor first, since
// a call blocks the window until the library returns (up to the time-outs of the writes).
#pragma once

#include "core/link.h"

class CWaitCursorLink : public core::DeviceLink {
public:
    explicit CWaitCursorLink(core::DeviceLink& link) : m_link(link) {}

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

private:
    core::DeviceLink& m_link;
};
