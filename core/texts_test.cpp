// The catalogue in both languages: the same texts under the same ids, with the same arguments.
#include "core/texts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

struct Line {
    int id;
    const char* name;
};

#define TOLKA_TEXT(face, id, text) {id, #id},
const std::vector<Line> kJapaneseLines = {
#include "core/texts_ja.inc"
};
const std::vector<Line> kEnglishLines = {
#include "core/texts_en.inc"
};
#undef TOLKA_TEXT

// The placeholders a text fills: %1 -> '1', ...
std::set<wchar_t> Placeholders(const std::wstring& text) {
    std::set<wchar_t> found;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == L'%' && text[i + 1] >= L'1' && text[i + 1] <= L'9')
            found.insert(text[i + 1]);
    }
    return found;
}

TEST(Catalogue, BothLanguagesListTheSameIdsInOrderEachOnce) {
    ASSERT_EQ(kJapaneseLines.size(), kEnglishLines.size());
    std::set<int> seen;
    for (size_t i = 0; i < kJapaneseLines.size(); ++i) {
        SCOPED_TRACE(kJapaneseLines[i].name);
        EXPECT_STREQ(kJapaneseLines[i].name, kEnglishLines[i].name);
        EXPECT_EQ(kJapaneseLines[i].id, kEnglishLines[i].id);
        EXPECT_TRUE(seen.insert(kJapaneseLines[i].id).second) << "id number given twice";
    }
}

TEST(Catalogue, EachTextTakesTheSameArgumentsInBothLanguages) {
    for (const Line& line : kJapaneseLines) {
        SCOPED_TRACE(line.name);
        std::wstring ja = core::CatalogueText(core::Lang::Ja, line.id);
        std::wstring en = core::CatalogueText(core::Lang::En, line.id);
        EXPECT_FALSE(ja.empty());
        EXPECT_FALSE(en.empty());
        EXPECT_EQ(Placeholders(ja), Placeholders(en));
    }
}

}  // namespace
