#include "core/numbertext.h"

#include <algorithm>

namespace core {

namespace {

std::string DigitsInBase(uint64_t value, unsigned base, size_t minDigits) {
    std::string digits;
    do {
        digits += "0123456789abcdef"[value % base];
        value /= base;
    } while (value != 0 || digits.size() < minDigits);
    std::reverse(digits.begin(), digits.end());
    return digits;
}

}  // namespace

std::string DecimalDigits(uint64_t value) {
    return DigitsInBase(value, 10, 1);
}

std::wstring DecimalText(uint64_t value) {
    const std::string digits = DecimalDigits(value);
    return std::wstring(digits.begin(), digits.end());
}

std::string HexDigits(uint64_t value, size_t minDigits) {
    return DigitsInBase(value, 16, minDigits);
}

}  // namespace core
