// The board as the board operations see it: one call per function of the maker's two device
// libraries, with the same arguments and results. The programs pass the libraries themselves
// (devicelink/librarylink.h); native tests pass the virtual board's model (varnet/model_link.h),
// so every operation runs, fault paths included, without Windows.
// Portable: no <windows.h>.
#pragma once

#include <cstdint>

#include "core/deviceapi.h"

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

// The one connection an editor or a console command holds: the first board found on any
// interface in flash-rewrite mode, given back when the object goes. Both faces open and
// close a board only through it.
class BoardConnection {
public:
    explicit BoardConnection(DeviceLink& link) : link_(link) {}
    ~BoardConnection() { Close(); }
    BoardConnection(const BoardConnection&) = delete;
    BoardConnection& operator=(const BoardConnection&) = delete;

    // True when a board is open (also one opened before: a second is never opened over it);
    // false when none could be, which the library has told the user.
    bool Open() {
        if (handle_ == nullptr)
            handle_ = link_.FlashModeOpen(TOLKA_IF_ALL, 0);
        return handle_ != nullptr;
    }
    void Close() {
        if (handle_ != nullptr)
            link_.FlashModeClose(handle_, 0);
        handle_ = nullptr;
    }
    bool IsOpen() const { return handle_ != nullptr; }
    TOLKA_HANDLE Handle() const { return handle_; }

private:
    DeviceLink& link_;
    TOLKA_HANDLE handle_ = nullptr;
};

// A link that hands every call on to another one, with a hook before each call that may block
// the caller until the board answers (all but the libraries' own dialogs, which run their own
// message loop). The windows' wait cursor and the tests that watch it are such links.
class ForwardingLink : public DeviceLink {
public:
    explicit ForwardingLink(DeviceLink& next) : m_next(next) {}

    TOLKA_HANDLE FlashModeOpen(uint32_t interfaces, uint32_t reserved) override {
        BeforeBlockingCall();
        return m_next.FlashModeOpen(interfaces, reserved);
    }
    void FlashModeClose(TOLKA_HANDLE handle, uint32_t reserved) override {
        BeforeBlockingCall();
        m_next.FlashModeClose(handle, reserved);
    }
    void OptionDlg1() override { m_next.OptionDlg1(); }
    int ShowProductInfo(TOLKA_HANDLE handle) override { return m_next.ShowProductInfo(handle); }

    uint32_t GetIFType(TOLKA_HANDLE handle) override {
        BeforeBlockingCall();
        return m_next.GetIFType(handle);
    }
    void SetTimeouts(TOLKA_HANDLE handle, uint32_t timeout1, uint32_t timeout2) override {
        BeforeBlockingCall();
        m_next.SetTimeouts(handle, timeout1, timeout2);
    }
    int FlshEchoTest(TOLKA_HANDLE handle) override {
        BeforeBlockingCall();
        return m_next.FlshEchoTest(handle);
    }
    int FlshRead(TOLKA_HANDLE handle, uint32_t address, uint8_t* buffer) override {
        BeforeBlockingCall();
        return m_next.FlshRead(handle, address, buffer);
    }
    int FlshWrite(TOLKA_HANDLE handle, uint32_t address, const uint8_t* data, uint32_t length) override {
        BeforeBlockingCall();
        return m_next.FlshWrite(handle, address, data, length);
    }
    int FlshErase(TOLKA_HANDLE handle, uint32_t selector) override {
        BeforeBlockingCall();
        return m_next.FlshErase(handle, selector);
    }
    int FlshReadRWArea(TOLKA_HANDLE handle, uint32_t area, uint8_t* buffer) override {
        BeforeBlockingCall();
        return m_next.FlshReadRWArea(handle, area, buffer);
    }
    int FlshWriteRWArea(TOLKA_HANDLE handle, uint32_t area, const uint8_t* image) override {
        BeforeBlockingCall();
        return m_next.FlshWriteRWArea(handle, area, image);
    }

protected:
    virtual void BeforeBlockingCall() = 0;

private:
    DeviceLink& m_next;
};

}  // namespace core
