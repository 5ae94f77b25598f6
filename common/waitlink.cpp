#include "common/waitlink.h"

#include "framework/waitcursor.h"

using fw::CCommandCursor;

TOLKA_HANDLE CWaitCursorLink::FlashModeOpen(uint32_t interfaces, uint32_t reserved) {
    CCommandCursor::ShowWait();
    return m_link.FlashModeOpen(interfaces, reserved);
}

void CWaitCursorLink::FlashModeClose(TOLKA_HANDLE handle, uint32_t reserved) {
    CCommandCursor::ShowWait();
    m_link.FlashModeClose(handle, reserved);
}

// The library's own dialogs set their own cursor; the wait cursor comes back after them.
void CWaitCursorLink::OptionDlg1() {
    m_link.OptionDlg1();
}

int CWaitCursorLink::ShowProductInfo(TOLKA_HANDLE handle) {
    return m_link.ShowProductInfo(handle);
}

uint32_t CWaitCursorLink::GetIFType(TOLKA_HANDLE handle) {
    CCommandCursor::ShowWait();
    return m_link.GetIFType(handle);
}

void CWaitCursorLink::SetTimeouts(TOLKA_HANDLE handle, uint32_t timeout1, uint32_t timeout2) {
    CCommandCursor::ShowWait();
    m_link.SetTimeouts(handle, timeout1, timeout2);
}

int CWaitCursorLink::FlshEchoTest(TOLKA_HANDLE handle) {
    CCommandCursor::ShowWait();
    return m_link.FlshEchoTest(handle);
}

int CWaitCursorLink::FlshRead(TOLKA_HANDLE handle, uint32_t address, uint8_t* buffer) {
    CCommandCursor::ShowWait();
    return m_link.FlshRead(handle, address, buffer);
}

int CWaitCursorLink::FlshWrite(TOLKA_HANDLE handle, uint32_t address, const uint8_t* data, uint32_t length) {
    CCommandCursor::ShowWait();
    return m_link.FlshWrite(handle, address, data, length);
}

int CWaitCursorLink::FlshErase(TOLKA_HANDLE handle, uint32_t selector) {
    CCommandCursor::ShowWait();
    return m_link.FlshErase(handle, selector);
}

int CWaitCursorLink::FlshReadRWArea(TOLKA_HANDLE handle, uint32_t area, uint8_t* buffer) {
    CCommandCursor::ShowWait();
    return m_link.FlshReadRWArea(handle, area, buffer);
}

int CWaitCursorLink::FlshWriteRWArea(TOLKA_HANDLE handle, uint32_t area, const uint8_t* image) {
    CCommandCursor::ShowWait();
    return m_link.FlshWriteRWArea(handle, area, image);
}
