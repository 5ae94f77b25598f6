#include "common/librarylink.h"

TOLKA_HANDLE CLibraryLink::FlashModeOpen(uint32_t interfaces, uint32_t reserved) {
    return Tolka_FlashModeOpen(interfaces, reserved);
}

void CLibraryLink::FlashModeClose(TOLKA_HANDLE handle, uint32_t reserved) {
    Tolka_FlashModeClose(handle, reserved);
}

void CLibraryLink::OptionDlg1() {
    Tolka_OptionDlg1();
}

int CLibraryLink::ShowProductInfo(TOLKA_HANDLE handle) {
    return Tolka_ShowProductInfo(handle);
}

uint32_t CLibraryLink::GetIFType(TOLKA_HANDLE handle) {
    return Varn_GetIFType(handle);
}

void CLibraryLink::SetTimeouts(TOLKA_HANDLE handle, uint32_t timeout1, uint32_t timeout2) {
    Varn_SetTimeouts(handle, timeout1, timeout2);
}

int CLibraryLink::FlshEchoTest(TOLKA_HANDLE handle) {
    return Varn_FlshEchoTest(handle);
}

int CLibraryLink::FlshRead(TOLKA_HANDLE handle, uint32_t address, uint8_t* buffer) {
    return Varn_FlshRead(handle, address, buffer);
}

int CLibraryLink::FlshWrite(TOLKA_HANDLE handle, uint32_t address, const uint8_t* data, uint32_t length) {
    return Varn_FlshWrite(handle, address, data, length);
}

int CLibraryLink::FlshErase(TOLKA_HANDLE handle, uint32_t selector) {
    return Varn_FlshErase(handle, selector);
}

int CLibraryLink::FlshReadRWArea(TOLKA_HANDLE handle, uint32_t area, uint8_t* buffer) {
    return Varn_FlshReadRWArea(handle, area, buffer);
}

int CLibraryLink::FlshWriteRWArea(TOLKA_HANDLE handle, uint32_t area, const uint8_t* image) {
    return Varn_FlshWriteRWArea(handle, area, image);
}

core::DeviceLink& LibraryLink() {
    static CLibraryLink link;
    return link;
}
