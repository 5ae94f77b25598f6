// The virtual board: one emulated board whose state lives in a folder of plain files
// (board.ini, flash.bin, area5.bin, calls.log), so it survives between program runs and a
// person can inspect and edit it. The DLLs map each library call onto one operation here.
// Portable: no <windows.h>; the files are reached through BoardStore.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "board_config.h"
#include "core/boardmap.h"
#include "flash_image.h"

namespace vboard {

// Results of the library calls. Callers only test for zero; the codes tell a person
// reading calls.log what happened.
enum Result : int32_t {
    kOk = 0,
    kNoBoard = 1,        // board.ini says no board (attached=0 or no_board=1)
    kBadHandle = 2,      // not the handle of an open board
    kBadArgument = 3,    // null buffer, unknown selector or area, address past the flash
    kInjectedFault = 4,  // a fault switched on in [faults]
    kStateError = 5,     // the board's files could not be read or written
    kNoSettings = 6,     // the read/write area holds no settings
};

// The memory map is the one the programs use.
using core::kErasePortOptions;
using core::kEraseProductInfo;
using core::kPortOptionArea;
using core::kProductAreaBegin;
using core::kProductAreaEnd;
using core::kSlotSize;
constexpr uint32_t kFirmwareMarkAddress = core::kOptionFirmwareAddress;
constexpr uint32_t kDefaultTimeout = 3000;
// Filled into a flash read's buffer when the read fails: its first word is neither
// 0x0000 (valid slot) nor 0xFFFF (free slot), so callers that do not check the result
// pass over that slot.
constexpr uint8_t kFailedReadFill = 0xEE;

extern const char kIniFile[];
extern const char kFlashFile[];
extern const char kAreaFile[];
extern const char kLogFile[];

// File access by name inside the board's folder. The DLL stores into that folder; the
// tests keep the files in memory.
class BoardStore {
public:
    enum class Load { Ok, Missing, Failed };

    virtual ~BoardStore() = default;
    virtual Load Read(const std::string& name, std::vector<uint8_t>& bytes) = 0;
    // Replaces the whole file at once: a reader sees the old or the new content, never a mix.
    virtual bool Replace(const std::string& name, const std::vector<uint8_t>& bytes) = 0;
    // True also when there was no such file.
    virtual bool Remove(const std::string& name) = 0;
    virtual bool AppendLine(const std::string& name, const std::string& line) = 0;
    // Where the file is, for messages to a person (UTF-8).
    virtual std::string Where(const std::string& name) const { return name; }
};

// Shows a person a message of the board about its own files (UTF-8 as far as board.ini
// is). The DLLs show a message box; the in-process model shows nothing.
using ShowProblem = std::function<void(const std::string& text)>;

// What an open handle keeps between calls.
struct HandleState {
    uint32_t id = 0;
    uint32_t echoTests = 0;
    uint32_t timeout1 = kDefaultTimeout;
    uint32_t timeout2 = kDefaultTimeout;
    bool wrote = false;
    uint32_t lastWriteAddress = 0;
};

// A product-information slot as the product-information window shows it.
struct ProductInfo {
    uint32_t slot = 0;
    std::string uuid;  // 36 characters, lowercase
    uint32_t number = 0;
    std::string productName;  // multibyte text as stored, without the NUL
    std::string maker;
};

ProductInfo DecodeProductInfo(uint32_t slot, const uint8_t* record);
// The newest valid record: scanning 0x7F80 down to 0x7000, the first slot whose first
// 16-bit word is 0x0000. False when there is none.
bool FindNewestValidSlot(const FlashImage& flash, uint32_t& slot);

// Every operation reads the board's files afresh, so changes made between calls (by a
// person or by another process) count at once. The board is strict: it exists to catch
// the programs' mistakes, so a caller's bad argument fails with kBadArgument and a
// warning in the log, and a board.ini it does not fully understand fails every call with
// kStateError and a message naming the file and line.
class VirtualBoard {
public:
    explicit VirtualBoard(BoardStore& store, ShowProblem showProblem = ShowProblem())
        : store_(store), showProblem_(std::move(showProblem)) {}

    // board.ini, written with the defaults when missing; lines not understood go to
    // problems when given and are otherwise passed over (for the settings dialog).
    bool LoadConfig(BoardConfig& config, std::vector<std::string>* problems = nullptr);
    // Sets [board] attached and interface, keeping the rest of board.ini.
    bool SaveSettings(bool attached, uint32_t interfaceType);

    // For opening: creates the files of a new board and says whether one is attached.
    // kInjectedFault when fail_call names this call.
    int32_t Probe();
    uint32_t InterfaceType();
    int32_t EchoTest(HandleState& handle);
    // The handle, when given, takes part in the read-back fault.
    int32_t Read(uint32_t address, uint8_t* buffer, const HandleState* handle = nullptr);
    int32_t Write(uint32_t address, const uint8_t* data, uint32_t length, HandleState* handle = nullptr);
    int32_t Erase(uint32_t selector);
    int32_t ReadArea(uint32_t area, uint8_t* buffer);
    int32_t WriteArea(uint32_t area, const uint8_t* image);
    // kOk with found telling whether a valid slot exists; if so, record gets its 128 bytes.
    int32_t ReadProductInfo(uint32_t& slot, uint8_t* record, bool& found);

    // Waits call_delay_ms, as a real board answers each call after a round trip. Only the
    // DLLs wait: the in-process model answers at once, so the engine's tests stay fast.
    void AwaitRoundTrip();

    void Log(const std::string& line);
    // Whether a call of this object failed on a board.ini line it did not understand (and
    // has said so).
    bool ReportedProblem() const { return reportedProblem_; }

private:
    // board.ini as every call needs it: kOk, or kStateError after reporting a line that
    // was not understood (or when the file cannot be used).
    int32_t Settings(BoardConfig& config);
    void ReportProblem(const std::string& text);
    // Whether fail_call names the call being made now.
    bool FailsNow(const Faults& faults);
    // A caller's mistake: logged as a warning, kBadArgument.
    int32_t Refuse(const std::string& why);
    int32_t Present(BoardConfig& config);
    // Present, and area is the read/write area the board has.
    int32_t PresentArea(uint32_t area, BoardConfig& config);
    bool LoadFlash(FlashImage& flash);
    bool SaveFlash(const FlashImage& flash);

    BoardStore& store_;
    ShowProblem showProblem_;
    bool reportedProblem_ = false;
};

}  // namespace vboard
