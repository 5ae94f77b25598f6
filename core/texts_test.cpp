// The catalogue in both languages: the same texts under the same ids, with the same arguments.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/texts.h"
#include "core/textids.h"

namespace {

struct Line {
    std::string face;
    int id;
    const char* name;
    const wchar_t* text;
};

#define TOLKA_TEXT(face, id, text) {#face, id, #id, L"" text},
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

// An id number may repeat only among the texts of the writer, the option editor and the
// launcher, which no program holds together (their About entries); never where the console
// or a string table would find two.
TEST(Catalogue, BothLanguagesListTheSameIdsInOrderAndNoProgramFindsTwo) {
    ASSERT_EQ(kJapaneseLines.size(), kEnglishLines.size());
    const std::set<std::string> programsOwn = {"PIWRITER", "OPTION", "LAUNCHER"};
    std::map<int, std::set<std::string>> facesOfId;
    for (size_t i = 0; i < kJapaneseLines.size(); ++i) {
        const Line& line = kJapaneseLines[i];
        SCOPED_TRACE(line.name);
        EXPECT_STREQ(line.name, kEnglishLines[i].name);
        EXPECT_EQ(line.face, kEnglishLines[i].face);
        EXPECT_TRUE(facesOfId[line.id].insert(line.face).second) << "twice in one face";
    }
    for (const auto& [id, faces] : facesOfId) {
        if (faces.size() == 1)
            continue;
        for (const std::string& face : faces) {
            EXPECT_EQ(programsOwn.count(face), 1u) << id << " is shared by " << face;
        }
    }
}

TEST(Catalogue, EachTextTakesTheSameArgumentsInBothLanguages) {
    for (size_t i = 0; i < kJapaneseLines.size() && i < kEnglishLines.size(); ++i) {
        SCOPED_TRACE(kJapaneseLines[i].name);
        std::wstring ja = kJapaneseLines[i].text;
        std::wstring en = kEnglishLines[i].text;
        EXPECT_FALSE(ja.empty());
        EXPECT_FALSE(en.empty());
        EXPECT_EQ(Placeholders(ja), Placeholders(en));
    }
}

// What the console says is each line as written, in both languages: the compiled tables hold
// every line but the virtual board's, and an id's first line where several faces share it.
TEST(Catalogue, TheCompiledTextOfEachIdIsItsFirstLine) {
    for (auto [lang, lines] : {std::pair{core::Lang::Ja, &kJapaneseLines}, std::pair{core::Lang::En, &kEnglishLines}}) {
        std::set<int> seen;
        for (const Line& line : *lines) {
            if (line.face == "BOARD" || !seen.insert(line.id).second)
                continue;
            SCOPED_TRACE(line.name);
            EXPECT_EQ(core::CatalogueText(lang, line.id), line.text);
        }
        EXPECT_EQ(core::CatalogueText(lang, 1), L"");
    }
}

}  // namespace
