// Varnet.dll of the virtual board: the Varn_* device functions, and the handles and the
// flash-mode lock that TolkaCommon.dll's Tolka_FlashModeOpen/Close work through.
// Each call reads the board's files afresh and writes one line to calls.log (format:
// call_log.h).

#include <windows.h>

#include <map>
#include <set>

#include "board_calls.h"
#include "board_files_win.h"
#include "board_voice_win.h"
#include "call_log.h"
#include "core/deviceapi.h"
#include "core/utf8.h"
#include "virtualboard_link.h"

// One open of the board.
struct TolkaDeviceTag {
    std::wstring folder;
    vboard::HandleState state;
};

namespace {

// Calls may come from any thread of the process. The system's own lock: std::mutex would
// bring the C++ library's system_error and its strings into the DLL for a failure that
// cannot happen here.
SRWLOCK g_lock = SRWLOCK_INIT;

class LockHeld {
public:
    LockHeld() { AcquireSRWLockExclusive(&g_lock); }
    ~LockHeld() { ReleaseSRWLockExclusive(&g_lock); }
    LockHeld(const LockHeld&) = delete;
    LockHeld& operator=(const LockHeld&) = delete;
};
std::set<TolkaDeviceTag*> g_handles;
uint32_t g_lastHandleId = 0;

// Flash-rewrite mode keeps board.lock in the board's folder open without sharing, so
// another process cannot open the board; the system closes it when a process dies, so a
// crash never locks the board for good. Opens within one process share the lock.
struct FolderLock {
    HANDLE file = INVALID_HANDLE_VALUE;
    int users = 0;
};
std::map<std::wstring, FolderLock> g_locks;

// ERROR_SUCCESS, or why the lock could not be had (ERROR_SHARING_VIOLATION: someone has it).
DWORD AcquireLock(const std::wstring& folder) {
    const std::wstring key = vboard::PathKey(folder);
    auto it = g_locks.find(key);
    if (it == g_locks.end()) {
        std::wstring path = folder + L"\\board.lock";
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return GetLastError();
        it = g_locks.emplace(key, FolderLock{file, 0}).first;
    }
    ++it->second.users;
    return ERROR_SUCCESS;
}

void ReleaseLock(const std::wstring& folder) {
    auto it = g_locks.find(vboard::PathKey(folder));
    if (it == g_locks.end() || it->second.users == 0)
        return;
    if (--it->second.users == 0) {
        CloseHandle(it->second.file);
        g_locks.erase(it);
    }
}

TolkaDeviceTag* Find(TOLKA_HANDLE handle) {
    return g_handles.count(handle) ? handle : nullptr;
}

uint32_t IdOf(TOLKA_HANDLE handle) {
    if (!handle)
        return 0;
    TolkaDeviceTag* tag = Find(handle);
    return tag ? tag->state.id : vboard::kInvalidHandleId;
}

// The board's own messages (a board.ini line it does not understand).
void ShowProblem(const std::string& text) {
    vboard::Tell(L"Varnet", core::FromUtf8(text), MB_ICONERROR);
}

// The board one call works on: the handle's, or for a handle that is not open the board
// the environment names now (so that the call still reaches a log).
class Call {
public:
    explicit Call(TOLKA_HANDLE handle)
        : tag_(Find(handle)),
          id_(IdOf(handle)),
          store_(tag_ ? tag_->folder : vboard::BoardFolder()),
          board_(store_, ShowProblem) {}

    bool Open() const { return tag_ != nullptr; }
    vboard::VirtualBoard& Board() { return board_; }
    // The library call itself, logged, after the board's round trip.
    vboard::BoardCall Device() {
        board_.AwaitRoundTrip();
        return vboard::BoardCall(board_, tag_ ? &tag_->state : nullptr, id_);
    }
    void Log(const std::string& line) { board_.Log(line); }

private:
    TolkaDeviceTag* tag_;
    uint32_t id_;
    vboard::FolderStore store_;
    vboard::VirtualBoard board_;
};

// Keeps C++ exceptions from crossing into a caller that knows only the C interface.
template <typename T, typename F>
T Guarded(T onError, F body) {
    try {
        LockHeld held;
        return body();
    } catch (...) {
        return onError;
    }
}

}  // namespace

extern "C" {

uint32_t TOLKA_API Varn_GetIFType(TOLKA_HANDLE handle) {
    return Guarded<uint32_t>(0, [&] { return Call(handle).Device().GetIFType(); });
}

void TOLKA_API Varn_SetTimeouts(TOLKA_HANDLE handle, uint32_t timeout1, uint32_t timeout2) {
    Guarded<int>(0, [&] {
        Call(handle).Device().SetTimeouts(timeout1, timeout2);
        return 0;
    });
}

int TOLKA_API Varn_FlshEchoTest(TOLKA_HANDLE handle) {
    return Guarded<int>(vboard::kStateError, [&] { return Call(handle).Device().EchoTest(); });
}

int TOLKA_API Varn_FlshRead(TOLKA_HANDLE handle, uint32_t address, uint8_t* buffer) {
    return Guarded<int>(vboard::kStateError, [&] { return Call(handle).Device().Read(address, buffer); });
}

int TOLKA_API Varn_FlshWrite(TOLKA_HANDLE handle, uint32_t address, const uint8_t* data, uint32_t length) {
    return Guarded<int>(vboard::kStateError, [&] { return Call(handle).Device().Write(address, data, length); });
}

int TOLKA_API Varn_FlshErase(TOLKA_HANDLE handle, uint32_t selector) {
    return Guarded<int>(vboard::kStateError, [&] { return Call(handle).Device().Erase(selector); });
}

int TOLKA_API Varn_FlshReadRWArea(TOLKA_HANDLE handle, uint32_t area, uint8_t* buffer) {
    return Guarded<int>(vboard::kStateError, [&] { return Call(handle).Device().ReadArea(area, buffer); });
}

int TOLKA_API Varn_FlshWriteRWArea(TOLKA_HANDLE handle, uint32_t area, const uint8_t* image) {
    return Guarded<int>(vboard::kStateError, [&] { return Call(handle).Device().WriteArea(area, image); });
}

// For TolkaCommon.dll (virtualboard_link.h).

int VirtualBoard_Open(uint32_t /*interfaces*/, uint32_t /*reserved*/, TOLKA_HANDLE* handle) {
    *handle = nullptr;
    return Guarded<int>(VB_STATE_ERROR, [&]() -> int {
        std::wstring folder = vboard::BoardFolder();
        if (!vboard::EnsureFolder(folder))
            return VB_STATE_ERROR;
        vboard::FolderStore store(folder);
        vboard::VirtualBoard board(store, ShowProblem);
        board.AwaitRoundTrip();
        int32_t rc = board.Probe();
        if (rc == vboard::kNoBoard || rc == vboard::kInjectedFault)
            return VB_NO_BOARD;
        if (board.ReportedProblem())
            return VB_BAD_SETTINGS;
        if (rc != vboard::kOk)
            return VB_STATE_ERROR;
        if (DWORD error = AcquireLock(folder))
            return error == ERROR_SHARING_VIOLATION ? VB_BUSY : VB_STATE_ERROR;
        store.RemoveStaleTemporaries();

        TolkaDeviceTag* tag = new TolkaDeviceTag;
        tag->folder = folder;
        tag->state.id = ++g_lastHandleId;
        g_handles.insert(tag);
        *handle = tag;
        return VB_OPENED;
    });
}

void VirtualBoard_Close(TOLKA_HANDLE handle) {
    Guarded<int>(0, [&]() -> int {
        TolkaDeviceTag* tag = Find(handle);
        if (!tag)
            return 0;
        vboard::FolderStore store(tag->folder);
        vboard::VirtualBoard(store).AwaitRoundTrip();
        ReleaseLock(tag->folder);
        g_handles.erase(tag);
        delete tag;
        return 0;
    });
}

uint32_t VirtualBoard_HandleId(TOLKA_HANDLE handle) {
    return Guarded<uint32_t>(vboard::kInvalidHandleId, [&]() -> uint32_t { return IdOf(handle); });
}

void VirtualBoard_Log(TOLKA_HANDLE handle, const char* line) {
    Guarded<int>(0, [&]() -> int {
        Call call(handle);
        call.Log(line ? line : "");
        return 0;
    });
}

int VirtualBoard_ReadProductInfo(TOLKA_HANDLE handle, uint32_t* slot, uint8_t* record, int* found) {
    *found = 0;
    return Guarded<int>(vboard::kStateError, [&]() -> int {
        Call call(handle);
        if (!call.Open())
            return vboard::kBadHandle;
        call.Board().AwaitRoundTrip();
        bool haveRecord = false;
        int32_t rc = call.Board().ReadProductInfo(*slot, record, haveRecord);
        *found = haveRecord ? 1 : 0;
        return rc;
    });
}

int VirtualBoard_GetSettings(uint32_t* attached, uint32_t* interfaceType) {
    return Guarded<int>(vboard::kStateError, [&]() -> int {
        std::wstring folder = vboard::BoardFolder();
        if (!vboard::EnsureFolder(folder))
            return vboard::kStateError;
        vboard::FolderStore store(folder);
        vboard::BoardConfig config;
        if (!vboard::VirtualBoard(store).LoadConfig(config))
            return vboard::kStateError;
        *attached = config.attached ? 1 : 0;
        *interfaceType = config.interfaceType;
        return vboard::kOk;
    });
}

int VirtualBoard_SaveSettings(uint32_t attached, uint32_t interfaceType) {
    return Guarded<int>(vboard::kStateError, [&]() -> int {
        std::wstring folder = vboard::BoardFolder();
        if (!vboard::EnsureFolder(folder))
            return vboard::kStateError;
        vboard::FolderStore store(folder);
        return vboard::VirtualBoard(store).SaveSettings(attached != 0, interfaceType) ? vboard::kOk
                                                                                      : vboard::kStateError;
    });
}

uint32_t VirtualBoard_GetFolder(wchar_t* buffer, uint32_t capacity) {
    return Guarded<uint32_t>(0, [&]() -> uint32_t {
        std::wstring folder = vboard::BoardFolder();
        uint32_t length = static_cast<uint32_t>(folder.size());
        if (buffer && capacity > length)
            std::copy(folder.c_str(), folder.c_str() + length + 1, buffer);
        return length;
    });
}

}  // extern "C"
