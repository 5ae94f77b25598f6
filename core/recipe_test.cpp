#include "core/recipe.h"

#include <gtest/gtest.h>

namespace core {
namespace {

TEST(Recipe, ShortDigestsOfRecordAndOptions) {
    // Only the first eight bytes of a digest count.
    const FileDigest record = {0xba, 0x78, 0x16, 0xbf, 0x8f, 0x01, 0xcf, 0xea, 0x41};
    const FileDigest options = {0xe3, 0xb0, 0xc4, 0x42, 0x98, 0xfc, 0x1c, 0x14, 0x9a};
    const struct {
        FileDigest record;
        std::optional<FileDigest> options;
        const char* text;
    } cases[] = {
        {record, std::nullopt, "ba7816bf8f01cfea"},
        {record, options, "ba7816bf8f01cfea+e3b0c44298fc1c14"},
        {FileDigest{}, record, "0000000000000000+ba7816bf8f01cfea"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecipeText(c.record, c.options), c.text);
}

}  // namespace
}  // namespace core
