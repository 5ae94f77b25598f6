#include "core/digits.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <limits>

namespace core {
namespace {

// The digits replace printf's in every text the suite writes, so printf is the judge here.
TEST(Digits, WrittenAsPrintfWritesThem) {
    const uint64_t values[] = {
        0, 1, 9, 10, 15, 16, 255, 4096, 0x7080, 99999, 0x80000000u, 0xFFFFFFFFu, std::numeric_limits<uint64_t>::max()};
    for (uint64_t value : values) {
        for (unsigned width : {1u, 2u, 4u, 8u}) {
            char expected[32];
            std::snprintf(expected, sizeof expected, "%0*" PRIu64, static_cast<int>(width), value);
            EXPECT_EQ(DecimalText(value, width), expected) << value << " " << width;
            std::snprintf(expected, sizeof expected, "%0*" PRIX64, static_cast<int>(width), value);
            EXPECT_EQ(HexText(value, width), expected);
            std::snprintf(expected, sizeof expected, "%0*" PRIx64, static_cast<int>(width), value);
            EXPECT_EQ(HexText(value, width, HexCase::Lower), expected);
        }
    }
    for (int64_t value : {int64_t{-1}, int64_t{-42}, std::numeric_limits<int64_t>::min(), int64_t{7}}) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "%" PRId64, value);
        EXPECT_EQ(DecimalText(value), expected);
    }
    EXPECT_EQ(DecimalText<wchar_t>(int32_t{-2147483647 - 1}), L"-2147483648");
    EXPECT_EQ(DecimalText<wchar_t>(uint8_t{200}), L"200");
    EXPECT_EQ(HexText<wchar_t>(0xBEEF, 8), L"0000BEEF");
}

TEST(Digits, ReadOnlyWhenDigitsAloneWithinTheLimit) {
    struct Case {
        const char* text;
        uint64_t max;
        std::optional<uint64_t> value;
    } cases[] = {
        {"0", 10, 0},
        {"0042", 100, 42},
        {"4294967295", 0xFFFFFFFFu, 0xFFFFFFFFu},
        {"4294967296", 0xFFFFFFFFu, std::nullopt},
        {"18446744073709551615", UINT64_MAX, UINT64_MAX},
        {"18446744073709551616", UINT64_MAX, std::nullopt},
        {"99999999999999999999999", UINT64_MAX, std::nullopt},
        {"5", 3, std::nullopt},
        {"", 10, std::nullopt},
        {"+1", 10, std::nullopt},
        {"-1", 10, std::nullopt},
        {" 1", 10, std::nullopt},
        {"1 ", 10, std::nullopt},
        {"0x1", 10, std::nullopt},
        {"1e3", 10000, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDecimal(std::string(c.text), c.max), c.value) << c.text;
        EXPECT_EQ(ParseDecimal(std::wstring(c.text, c.text + std::char_traits<char>::length(c.text)), c.max), c.value)
            << c.text;
    }
    EXPECT_EQ(ParseDecimal(std::wstring(L"\xFF11"), 10), std::nullopt);  // a full-width digit
}

}  // namespace
}  // namespace core
