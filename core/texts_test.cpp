// The catalogue in both languages: each line's two texts take the same arguments, no program
// finds two texts under one number, and the compiled tables say what the lines say.
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
    const wchar_t* english;
    const wchar_t* japanese;
};

#define TOLKA_TEXT(face, id, number, english, japanese) {#face, number, #id, L"" english, L"" japanese},
const std::vector<Line> kLines = {
#include "core/texts.inc"
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

// An id number may repeat only among the texts of the writer, the option editor, the
// launcher and the station, which no program holds together (their About entries); never
// where the console or a string table would find two.
TEST(Catalogue, NoProgramFindsTwoTextsUnderOneNumber) {
    const std::set<std::string> programsOwn = {"PIWRITER", "OPTION", "LAUNCHER", "STATION"};
    std::map<int, std::set<std::string>> facesOfId;
    for (const Line& line : kLines) {
        SCOPED_TRACE(line.name);
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
    for (const Line& line : kLines) {
        SCOPED_TRACE(line.name);
        EXPECT_NE(line.japanese[0], L'\0');
        EXPECT_NE(line.english[0], L'\0');
        EXPECT_EQ(Placeholders(line.japanese), Placeholders(line.english));
    }
}

// What the console says is each line as written, in both languages: the compiled tables hold
// every line but the virtual board's, and an id's first line where several faces share it.
TEST(Catalogue, TheCompiledTextOfEachIdIsItsFirstLine) {
    std::set<int> seen;
    for (const Line& line : kLines) {
        if (line.face == "BOARD" || !seen.insert(line.id).second)
            continue;
        SCOPED_TRACE(line.name);
        EXPECT_EQ(core::CatalogueText(core::Lang::Ja, line.id), line.japanese);
        EXPECT_EQ(core::CatalogueText(core::Lang::En, line.id), line.english);
    }
    EXPECT_EQ(core::CatalogueText(core::Lang::Ja, 1), L"");
    EXPECT_EQ(core::CatalogueText(core::Lang::En, 1), L"");
}

}  // namespace
