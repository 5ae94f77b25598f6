// Unsigned numbers as ASCII digits, made here rather than by the C library's formatting
// (printf, and std::to_wstring, which uses it): the windowed programs do not carry it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace core {

// Decimal digits: "0", "4294967295".
std::string DecimalDigits(uint64_t value);
std::wstring DecimalText(uint64_t value);

// Lower-case hexadecimal digits, zero-padded to at least minDigits: HexDigits(0xff, 4) is "00ff".
std::string HexDigits(uint64_t value, size_t minDigits);

}  // namespace core
