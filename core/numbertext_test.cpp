#include "core/numbertext.h"

#include <gtest/gtest.h>

namespace {

TEST(NumberText, DecimalAndZeroPaddedHexDigits) {
    struct {
        uint64_t value;
        size_t hexDigits;
        const char* decimal;
        const char* hex;
    } cases[] = {
        {0, 1, "0", "0"},
        {0, 8, "0", "00000000"},
        {7, 2, "7", "07"},
        {255, 4, "255", "00ff"},
        {0x12345, 4, "74565", "12345"},  // more digits than asked for
        {4294967295u, 8, "4294967295", "ffffffff"},
        {UINT64_MAX, 1, "18446744073709551615", "ffffffffffffffff"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(core::DecimalDigits(c.value), c.decimal);
        EXPECT_EQ(core::DecimalText(c.value), std::wstring(c.decimal, c.decimal + strlen(c.decimal)));
        EXPECT_EQ(core::HexDigits(c.value, c.hexDigits), c.hex);
    }
}

}  // namespace
