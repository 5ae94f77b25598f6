#include "line/appendwhole.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace core {
namespace {

// A file in memory that takes at most `room` more bytes, in pieces of at most `piece`.
struct LimitedFile : AppendTarget {
    bool Length(uint64_t& length) override { return length = bytes.size(), true; }
    size_t WriteAtEnd(const char* data, size_t size) override {
        size_t n = std::min({size, room, piece});
        bytes.append(data, n);
        room -= n;
        return n;
    }
    bool Flush() override { return flushes; }
    bool CutTo(uint64_t length) override { return bytes.resize(static_cast<size_t>(length)), true; }
    std::string bytes = "header\r\n";
    size_t room = 0, piece = 0;
    bool flushes = true;
};

TEST(AppendWhole, AFileIsEitherWholeOrAsItWas) {
    const std::string line = "2024-05-01T09:30:00+09:00,,reserved,1001,製品\r\n";
    const struct {
        const char* name;
        size_t room, piece;
        bool flushes, whole;
    } cases[] = {
        {"room for the line", 1000, 1000, true, true},
        {"room for the line, written in pieces", 1000, 7, true, true},
        {"room for exactly the line", line.size(), 1000, true, true},
        {"one byte short (inside a character)", line.size() - 1, 1000, true, false},
        {"a full disk", 0, 1000, true, false},
        {"pieces until the disk is full", 20, 7, true, false},
        {"the flush fails", 1000, 1000, false, false},
    };
    for (const auto& c : cases) {
        LimitedFile file;
        file.room = c.room, file.piece = c.piece, file.flushes = c.flushes;
        EXPECT_EQ(AppendWhole(file, line), c.whole) << c.name;
        EXPECT_EQ(file.bytes, c.whole ? "header\r\n" + line : "header\r\n") << c.name;
    }
}

}  // namespace
}  // namespace core
