// The scans that read most of a ledger: eight bytes at a time while none of them is one looked
// for, then byte by byte. Inline, as they run once for every few bytes of a ledger.
// Portable: no <windows.h>.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace core::ledger_detail {

inline constexpr uint64_t kEveryByte = 0x0101010101010101ull;
inline constexpr uint64_t kHighBits = 0x8080808080808080ull;

// Whether one of the eight bytes is zero.
constexpr bool HasZeroByte(uint64_t word) {
    return ((word - kEveryByte) & ~word & kHighBits) != 0;
}

// How many bytes from `at` on, before `limit`, are ASCII; eight at a time while they are.
inline size_t AsciiRun(const std::string& text, size_t at, size_t limit) {
    size_t i = at;
    for (; i + 8 <= limit; i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, text.data() + i, 8);
        if ((word & kHighBits) != 0)
            break;
    }
    while (i < limit && static_cast<unsigned char>(text[i]) < 0x80)
        ++i;
    return i - at;
}

inline bool IsSeparator(char c) {
    return c == ',' || c == '\n' || c == '"' || c == '\r';
}

// The first comma, line feed, quote or CR from `bytes` on, or `end`; eight bytes at a time
// where none is among them (the system's memchr is a byte loop on some runtimes).
inline const char* NextSeparator(const char* bytes, const char* end) {
    for (; end - bytes >= 8; bytes += 8) {
        uint64_t word = 0;
        std::memcpy(&word, bytes, 8);
        if (HasZeroByte(word ^ (kEveryByte * ',')) || HasZeroByte(word ^ (kEveryByte * '\n')) ||
            HasZeroByte(word ^ (kEveryByte * '"')) || HasZeroByte(word ^ (kEveryByte * '\r')))
            break;
    }
    while (bytes < end && !IsSeparator(*bytes))
        ++bytes;
    return bytes;
}

inline size_t CountLineFeeds(const char* bytes, size_t length) {
    return static_cast<size_t>(std::count(bytes, bytes + length, '\n'));
}

}  // namespace core::ledger_detail
