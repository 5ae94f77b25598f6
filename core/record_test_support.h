// Case tables for the Number and UUID text rules, shared by the native tests and the
// Windows tests that hold the same rows against the system's wcstoul and UuidFromStringW.
// `runtimeNote` is null where the system must agree; otherwise it says how a Windows
// runtime is known (or likely) to read the text differently from our rule.
#pragma once

#include <cstdint>

namespace core {

struct NumberCase {
    const wchar_t* fieldText;  // as typed; TrimBlanks first, then ParseNumberText
    uint32_t expected;
    const char* runtimeNote;
};

inline constexpr NumberCase kNumberCases[] = {
    {L"12", 12, nullptr},
    {L" 12 ", 12, nullptr},
    {L"\t\r\n\v\f12 \t", 12, nullptr},
    {L"", 0, nullptr},
    {L"0", 0, nullptr},
    {L"010", 10, nullptr},  // decimal, never octal
    {L"abc", 0, nullptr},
    {L"ff", 0, nullptr},  // hexadecimal only with the prefix
    {L"12abc", 12, nullptr},
    {L"12.5", 12, nullptr},
    {L"1 2", 1, nullptr},
    {L"+5", 5, nullptr},
    {L"+ 5", 0, nullptr},
    {L"-0", 0, nullptr},
    {L"-1", 4294967295u, nullptr},
    {L"-4294967295", 1, nullptr},
    // Magnitude out of range: the maximum, not negated.
    {L"-4294967296", 4294967295u, "Wine's wcstoul negates the capped value: 1"},
    {L"4294967295", 4294967295u, nullptr},
    {L"4294967296", 4294967295u, nullptr},
    {L"99999999999999999999999", 4294967295u, nullptr},
    {L"0x", 0, nullptr},
    {L"0X", 0, nullptr},
    {L"0xg", 0, nullptr},  // prefix without a digit: the "0" alone
    {L"0x0x5", 0, nullptr},
    {L"0xff", 255, nullptr},
    {L"0X0A", 10, nullptr},
    {L"0x000000ff", 255, nullptr},
    {L"0x1g", 1, nullptr},
    {L"0xFFFFFFFF", 4294967295u, nullptr},
    {L"0x100000000", 4294967295u, nullptr},
    {L"-0x10", 0, nullptr},  // base 10: the sign hides the prefix
    // Full-width digits and the ideographic space, as a Japanese IME may type them.
    {L"\uFF11\uFF12", 12, nullptr},
    {L"\u30005\u3000", 5, nullptr},
    {L"\u00A07\u00A0", 7, nullptr},  // no-break spaces of pasted text
    {L"0x\uFF11\uFF10", 16, nullptr},
};

struct UuidCase {
    const wchar_t* text;
    bool accepted;
    uint8_t bytes[16];  // GUID memory order, when accepted
    const char* runtimeNote;
};

inline constexpr UuidCase kUuidCases[] = {
    {L"3aa4096d-2cc0-46dd-878a-88511d75ac78",
     true,
     {0x6D, 0x09, 0xA4, 0x3A, 0xC0, 0x2C, 0xDD, 0x46, 0x87, 0x8A, 0x88, 0x51, 0x1D, 0x75, 0xAC, 0x78},
     nullptr},
    {L"3AA4096D-2CC0-46DD-878A-88511D75AC78",
     true,
     {0x6D, 0x09, 0xA4, 0x3A, 0xC0, 0x2C, 0xDD, 0x46, 0x87, 0x8A, 0x88, 0x51, 0x1D, 0x75, 0xAC, 0x78},
     nullptr},
    {L"787C7eb3-31Ac-4be1-BD0a-c07563d39179",
     true,
     {0xB3, 0x7E, 0x7C, 0x78, 0xAC, 0x31, 0xE1, 0x4B, 0xBD, 0x0A, 0xC0, 0x75, 0x63, 0xD3, 0x91, 0x79},
     nullptr},
    {L"00000000-0000-0000-0000-000000000000", true, {}, nullptr},
    {L"01234567-89ab-cdef-0123-456789abcdef",
     true,
     {0x67, 0x45, 0x23, 0x01, 0xAB, 0x89, 0xEF, 0xCD, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF},
     nullptr},
    {L"{3aa4096d-2cc0-46dd-878a-88511d75ac78}", false, {}, nullptr},
    {L" 3aa4096d-2cc0-46dd-878a-88511d75ac78", false, {}, nullptr},
    {L"3aa4096d-2cc0-46dd-878a-88511d75ac78 ", false, {}, nullptr},
    {L"3aa4096d-2cc0-46dd-878a-88511d75ac7", false, {}, nullptr},    // 35
    {L"3aa4096d-2cc0-46dd-878a-88511d75ac789", false, {}, nullptr},  // 37
    {L"3aa4096d-2cc0-46dd-878a-88511d75ac7 ", false, {}, nullptr},   // 36, blank for a digit
    {L"3aa4096d2-cc0-46dd-878a-88511d75ac78", false, {}, nullptr},   // hyphen misplaced
    {L"3aa4096d-2cc0-46dd-878a88-511d75ac78", false, {}, nullptr},   // hyphen misplaced
    {L"3aa4096d_2cc0-46dd-878a-88511d75ac78", false, {}, nullptr},   // not a hyphen
    {L"3aa4096g-2cc0-46dd-878a-88511d75ac78", false, {}, nullptr},   // not hexadecimal
    {L"+aa4096d-2cc0-46dd-878a-88511d75ac78", false, {}, nullptr},
    {L"3aa4096d-2cc0-46dd-878a-88511d75ac\uFF17\uFF18", false, {}, nullptr},  // full-width digits
    {L"3aa4096d2cc046dd878a88511d75ac78", false, {}, nullptr},                // no hyphens
    {L"", false, {}, "Wine refuses it; Windows may take the empty text as the nil UUID"},
};

}  // namespace core
