// Numbers as digits and digits as numbers: the one way the suite writes and reads a number in
// a text. No printf family (in the Windows builds it brings a formatter of its own, tens of
// KiB, into every file that calls it), no streams and no locale. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace core {

// The decimal digits of any integer, a '-' before a negative one, with zeros in front up to
// `width` digits: DecimalText(42) "42", DecimalText(7, 2) "07", DecimalText<wchar_t>(-5) L"-5".
template <class Char = char, class Int>
std::basic_string<Char> DecimalText(Int value, unsigned width = 1) {
    static_assert(std::is_integral_v<Int> && !std::is_same_v<Int, bool>, "an integer");
    using Unsigned = std::make_unsigned_t<Int>;
    bool negative = false;
    auto magnitude = static_cast<Unsigned>(value);
    if constexpr (std::is_signed_v<Int>) {
        negative = value < 0;
        if (negative)
            magnitude = static_cast<Unsigned>(Unsigned{0} - magnitude);
    }
    std::basic_string<Char> digits;
    do {
        digits.insert(digits.begin(), static_cast<Char>('0' + magnitude % 10));
        magnitude = static_cast<Unsigned>(magnitude / 10);
    } while (magnitude != 0);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), static_cast<Char>('0'));
    if (negative)
        digits.insert(digits.begin(), static_cast<Char>('-'));
    return digits;
}

enum class HexCase { Lower, Upper };

// The hexadecimal digits of `value`, with zeros in front up to `width` digits, no "0x":
// HexText(0x7080, 4) "7080", HexText(10, 2, HexCase::Lower) "0a".
template <class Char = char>
std::basic_string<Char> HexText(uint64_t value, unsigned width, HexCase letters = HexCase::Upper) {
    const char* const symbols = letters == HexCase::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::basic_string<Char> digits;
    do {
        digits.insert(digits.begin(), static_cast<Char>(symbols[value % 16]));
        value /= 16;
    } while (value != 0);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), static_cast<Char>('0'));
    return digits;
}

// Decimal digits and nothing else (no sign, no blank, at least one digit) whose value is at
// most `max`: that value; anything else, nothing.
template <class Char>
std::optional<uint64_t> ParseDecimal(std::basic_string_view<Char> text, uint64_t max) {
    if (text.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (Char c : text) {
        if (c < static_cast<Char>('0') || c > static_cast<Char>('9'))
            return std::nullopt;
        const auto digit = static_cast<uint64_t>(c - static_cast<Char>('0'));
        if (digit > max || value > (max - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

template <class Char>
std::optional<uint64_t> ParseDecimal(const std::basic_string<Char>& text, uint64_t max) {
    return ParseDecimal(std::basic_string_view<Char>(text), max);
}

}  // namespace core
