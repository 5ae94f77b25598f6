#include "core/utf8.h"

#include <gtest/gtest.h>

namespace core {
namespace {

// Each limit from both sides: the first or last sequence taken, the next one refused.
TEST(Utf8, SequenceLengthsAtTheLimitsOfWellFormedText) {
    const struct {
        const char* bytes;
        size_t length;
    } cases[] = {
        {"\x7F", 1},              // the last ASCII
        {"\x80", 0},              // a continuation byte alone
        {"\xC1\xBF", 0},          // overlong 2 bytes
        {"\xC2\x80", 2},          // U+0080
        {"\xE0\x9F\xBF", 0},      // overlong 3 bytes
        {"\xE0\xA0\x80", 3},      // U+0800
        {"\xED\x9F\xBF", 3},      // U+D7FF
        {"\xED\xA0\x80", 0},      // the first surrogate
        {"\xEF\xBF\xBF", 3},      // U+FFFF
        {"\xF0\x8F\xBF\xBF", 0},  // overlong 4 bytes
        {"\xF0\x90\x80\x80", 4},  // U+10000
        {"\xF4\x8F\xBF\xBF", 4},  // U+10FFFF
        {"\xF4\x90\x80\x80", 0},  // past U+10FFFF
        {"\xF5\x80\x80\x80", 0},  // a lead byte no character has
        {"\xE3\x81", 0},          // cut short by the end
        {"\xE3\x81\x41", 0},      // cut short by ASCII
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8SequenceLength(c.bytes, 0), c.length) << testing::PrintToString(std::string(c.bytes));
}

}  // namespace
}  // namespace core
