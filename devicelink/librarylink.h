// The maker's device libraries behind the board operations' link. Varnet.dll and
// TolkaCommon.dll are loaded at run time from the program's folder or the system folder, and
// their functions taken by name: a static import would let the loader look for them in the
// current folder, which may be a document's folder, before the program can restrict the
// search.
#pragma once

#include <optional>

#include "core/devicelibrary.h"
#include "core/boardlink.h"

class CLibraryLink : public core::DeviceLink {
public:
    // Loads both libraries and their twelve functions; what is missing otherwise.
    std::optional<core::MissingLibrary> Load();

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

    enum Function {
        kFlashModeOpen,
        kFlashModeClose,
        kOptionDlg1,
        kShowProductInfo,
        kGetIFType,
        kSetTimeouts,
        kFlshEchoTest,
        kFlshRead,
        kFlshWrite,
        kFlshErase,
        kFlshReadRWArea,
        kFlshWriteRWArea,
        kFunctionCount
    };

private:
    template <class Fn>
    Fn Get(Function function) const {
        return reinterpret_cast<Fn>(m_functions[function]);
    }

    void* m_functions[kFunctionCount] = {};
};

// The one link of a program, loaded on first use; the libraries keep no state of ours, so
// one object serves all. Its calls may be made only when DeviceLibrariesMissing() is empty.
core::DeviceLink& LibraryLink();

// Empty when both libraries and all their functions are there.
std::optional<core::MissingLibrary> DeviceLibrariesMissing();
