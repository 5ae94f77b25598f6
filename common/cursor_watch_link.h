// For the editors' Wine tests: the real device libraries, noting for each call that may block
// whether the wait cursor was showing when it was made.
#pragma once

#include <windows.h>

#include <vector>

#include "common/librarylink.h"

class CursorWatchLink : public CLibraryLink {
public:
    CursorWatchLink() { Load(); }

    std::vector<bool> waitShown;  // one per call, in order

    TOLKA_HANDLE FlashModeOpen(uint32_t interfaces, uint32_t reserved) override {
        return Note(), CLibraryLink::FlashModeOpen(interfaces, reserved);
    }
    void FlashModeClose(TOLKA_HANDLE handle, uint32_t reserved) override {
        Note();
        CLibraryLink::FlashModeClose(handle, reserved);
    }
    uint32_t GetIFType(TOLKA_HANDLE handle) override { return Note(), CLibraryLink::GetIFType(handle); }
    void SetTimeouts(TOLKA_HANDLE handle, uint32_t timeout1, uint32_t timeout2) override {
        Note();
        CLibraryLink::SetTimeouts(handle, timeout1, timeout2);
    }
    int FlshEchoTest(TOLKA_HANDLE handle) override { return Note(), CLibraryLink::FlshEchoTest(handle); }
    int FlshRead(TOLKA_HANDLE handle, uint32_t address, uint8_t* buffer) override {
        return Note(), CLibraryLink::FlshRead(handle, address, buffer);
    }
    int FlshWrite(TOLKA_HANDLE handle, uint32_t address, const uint8_t* data, uint32_t length) override {
        return Note(), CLibraryLink::FlshWrite(handle, address, data, length);
    }
    int FlshErase(TOLKA_HANDLE handle, uint32_t selector) override {
        return Note(), CLibraryLink::FlshErase(handle, selector);
    }
    int FlshReadRWArea(TOLKA_HANDLE handle, uint32_t area, uint8_t* buffer) override {
        return Note(), CLibraryLink::FlshReadRWArea(handle, area, buffer);
    }
    int FlshWriteRWArea(TOLKA_HANDLE handle, uint32_t area, const uint8_t* image) override {
        return Note(), CLibraryLink::FlshWriteRWArea(handle, area, image);
    }

private:
    void Note() { waitShown.push_back(GetCursor() == LoadCursorW(nullptr, IDC_WAIT)); }
};
