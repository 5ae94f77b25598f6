#include "core/recipe.h"

#include "core/digits.h"

namespace core {

namespace {

// 16 hex digits: 64 bits, enough to tell a line's files apart.
std::string ShortDigest(const FileDigest& digest) {
    std::string text;
    for (size_t i = 0; i < 8; ++i)
        text += HexText(digest[i], 2, HexCase::Lower);
    return text;
}

}  // namespace

std::string RecipeText(const FileDigest& record, const std::optional<FileDigest>& options) {
    return options ? ShortDigest(record) + "+" + ShortDigest(*options) : ShortDigest(record);
}

}  // namespace core
