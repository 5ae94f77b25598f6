// calls.log, the virtual board's record of every library call. Portable: no <windows.h>.
//
// UTF-8 text, one entry per line ending in LF, appended by every process using the board:
//
//   Tolka_FlashModeOpen(0xE0000000, 0) = h1    a call with its result
//   Varn_SetTimeouts(h1, 1000, 1000)           a call that has no result
//   message: <text>                            a message box of the libraries
//   dialog: <name>[: <details>]                a dialog of the libraries
//   warning: <text>                            a caller's mistake the board refused
//   process: <id> <program>                    who writes the lines that follow
//
// A call's line is written when the call returns, so messages, dialogs and warnings of a
// call come before it. Message and dialog entries are written whether or not the window
// was really shown (TOLKA_VIRTUAL_BOARD_SILENT=1 hides them). A process writes its
// process line before its first line in a log, and again whenever another process has
// written to the log since its own last line (the in-process model writes none).
//
// Arguments appear in declared order without the buffer and data pointers:
//   handles        h<N>, N counting the opens within one process from 1; a null handle:
//                  null; a value that is not an open handle: invalid
//   addresses and interface values   0x and at least four upper-case hex digits (0x7F80)
//   everything else                  decimal (lengths, time-outs, selectors, areas)
// Results: int in decimal (0 = success), a handle as h<N> or null, Varn_GetIFType as
// 0x%08X. In texts a line break appears as \n (\r for CR), a backslash as \\, and any
// other control character or byte that is not part of well-formed UTF-8 as \xNN, so the
// log is valid UTF-8 whatever board.ini or a record holds.
//
// Every call, as written:
//   Tolka_FlashModeOpen(0xE0000000, 0) = h1      Tolka_FlashModeClose(h1, 0)
//   Tolka_OptionDlg1()                           Tolka_ShowProductInfo(h1) = 0
//   Varn_GetIFType(h1) = 0x80000000              Varn_SetTimeouts(h1, 1000, 1000)
//   Varn_FlshEchoTest(h1) = 0                    Varn_FlshRead(h1, 0x7F80) = 0
//   Varn_FlshWrite(h1, 0x7000, 128) = 0          Varn_FlshErase(h1, 128) = 0
//   Varn_FlshReadRWArea(h1, 5) = 0               Varn_FlshWriteRWArea(h1, 5) = 0
#pragma once

#include <cstdint>
#include <string>

#include "core/digits.h"

namespace vboard {

// Stands for a handle value that is not an open handle.
constexpr uint32_t kInvalidHandleId = 0xFFFFFFFFu;

// "h<id>", "null" for id 0, "invalid" for kInvalidHandleId.
std::string HandleLabel(uint32_t id);
// "0x" and at least four upper-case hexadecimal digits.
std::string HexText(uint32_t value);
// Keeps a text on one line and valid UTF-8: CR, LF and backslash become \r, \n and \\,
// other control characters and malformed bytes \xNN.
std::string EscapeText(const std::string& text);

// Whether a log line is a call's (rather than a message, dialog, warning or process line).
bool IsCallLine(const std::string& line);
// The call lines in a log's text.
uint32_t CountCalls(const std::string& log);

class CallLine {
public:
    explicit CallLine(const char* function) : text_(function) { text_ += '('; }

    CallLine& Handle(uint32_t id) { return Arg(HandleLabel(id)); }
    CallLine& Hex(uint32_t value) { return Arg(HexText(value)); }
    CallLine& Dec(uint32_t value) { return Arg(core::DecimalText(value)); }

    std::string NoResult() const { return text_ + ")"; }
    std::string Result(int32_t result) const { return text_ + ") = " + core::DecimalText(result); }
    std::string ResultHex32(uint32_t result) const;
    std::string ResultHandle(uint32_t id) const { return text_ + ") = " + HandleLabel(id); }

    // An argument already in its written form.
    CallLine& Arg(const std::string& text) {
        if (!first_)
            text_ += ", ";
        text_ += text;
        first_ = false;
        return *this;
    }

private:
    std::string text_;
    bool first_ = true;
};

std::string MessageEntry(const std::string& utf8Text);
std::string DialogEntry(const std::string& name, const std::string& details = std::string());
std::string WarningEntry(const std::string& text);
std::string ProcessEntry(uint32_t processId, const std::string& program);

}  // namespace vboard
