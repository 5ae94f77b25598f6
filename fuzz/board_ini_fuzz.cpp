// board.ini, which a person edits by hand: parsing never fails or crashes, what it says about
// a line stays one line of valid UTF-8 in the log, and saving the connection settings into
// any text makes them the settings the board then reads.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/utf8_check.h"
#include "varnet/board_config.h"
#include "varnet/call_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5)
        return 0;
    const bool attached = data[0] & 1;
    const uint32_t interfaceType =
        uint32_t{data[1]} | uint32_t{data[2]} << 8 | uint32_t{data[3]} << 16 | uint32_t{data[4]} << 24;
    const std::string text(reinterpret_cast<const char*>(data + 5), size - 5);

    std::vector<std::string> problems;
    vboard::ParseBoardIni(text, &problems);
    for (const std::string& problem : problems) {
        if (!fuzzcheck::IsOneLineOfUtf8(vboard::MessageEntry(problem)) ||
            !fuzzcheck::IsOneLineOfUtf8(vboard::WarningEntry(problem)))
            std::abort();
    }

    vboard::BoardConfig saved = vboard::ParseBoardIni(vboard::SetBoardSettings(text, attached, interfaceType));
    if (saved.attached != attached || saved.interfaceType != interfaceType)
        std::abort();
    return 0;
}
