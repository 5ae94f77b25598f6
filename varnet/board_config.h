// The virtual board's settings and injected faults, kept in board.ini so a person can
// edit them with a text editor. Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vboard {

// What goes wrong on purpose. Each key of [faults] in board.ini sets one member.
struct Faults {
    enum class ReadFail { None, AtAddress, All };

    bool noBoard = false;                // no_board: Tolka_FlashModeOpen finds nothing
    bool echoFail = false;               // echo_fail: every echo test fails
    bool echoFailFirst = false;          // echo_fail_first: the first echo test of each handle fails
    ReadFail readFail = ReadFail::None;  // read_fail: none, all, or an address
    uint32_t readFailAddress = 0;        //   reads starting exactly here fail
    bool writeFail = false;              // write_fail: Varn_FlshWrite fails, nothing stored
    bool writeCorrupt = false;           // write_corrupt: the middle byte of a write is stored wrong
    uint32_t writeDelayMs = 0;           // write_delay_ms: each write waits this long first (a hung board)
    bool readBackFail = false;           // readback_fail: reading what a handle last wrote fails
    bool eraseFail = false;              // erase_fail: Varn_FlshErase fails, nothing erased
    bool areaReadNone = false;           // rw_read_none: read/write-area reads find no settings
    bool areaWriteFail = false;          // rw_write_fail: read/write-area writes fail
    bool productInfoFail = false;        // product_info_fail: Tolka_ShowProductInfo fails
    uint32_t failCall = 0;               // fail_call: the Nth call in calls.log fails; 0 = off
};

struct BoardConfig {
    bool attached = true;
    uint32_t interfaceType = 0x80000000u;
    bool optionArea = true;    // option_area: firmware with the port option area (read/write area 5)
    uint32_t callDelayMs = 0;  // call_delay_ms: each call of the DLLs waits this long, as a real board's round trip
    bool newBoardEachOpen = false;  // new_board_each_open: every connection finds a new board, as on a line
    Faults faults;
};

// Reads board.ini text. Missing sections and keys keep their defaults. Each line that
// cannot be understood is described in problems (if given) as "line N: ...",
// in order, and otherwise ignored; the board refuses to work while there is one.
BoardConfig ParseBoardIni(const std::string& text, std::vector<std::string>* problems = nullptr);

// The board.ini of a new board: every key with its default and a comment saying what it does.
std::string DefaultBoardIni();

// Returns text with [board] attached and interface set, keeping every other line, comment
// and key as it was (adds the keys or the section when missing).
std::string SetBoardSettings(const std::string& text, bool attached, uint32_t interfaceType);

// Decimal or 0x-prefixed hexadecimal, surrounding blanks allowed, nothing else.
bool ParseUInt32(const std::string& text, uint32_t& value);

// A switch: 1/0, true/false, yes/no or on/off in any case, surrounding blanks allowed.
bool ParseSwitch(const std::string& text, bool& value);

}  // namespace vboard
