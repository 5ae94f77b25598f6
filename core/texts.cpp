#include "core/texts.h"

#include <iterator>

#include "core/catalogue_table.h"
#include "core/placeholders.h"

namespace core {

namespace {

// Every line but the virtual board library's, which the suite's programs never say themselves.
#define TOLKA_TEXT(face, id, text) TOLKA_COMPILED_##face(id, text)
#define TOLKA_COMPILED_WINDOWS(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_EDITORS(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_PIWRITER(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_OPTION(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_LAUNCHER(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_ENGINE(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_CONSOLE(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_BOARD(id, text)

#define TOLKA_CATALOGUE_ROW TOLKA_CATALOGUE_ID
const std::uint16_t kJapaneseIds[] = {
#include "core/texts_ja.inc"
};
const std::uint16_t kEnglishIds[] = {
#include "core/texts_en.inc"
};
#undef TOLKA_CATALOGUE_ROW

#define TOLKA_CATALOGUE_ROW TOLKA_CATALOGUE_WIDE_TEXT
const wchar_t kJapaneseTexts[] =
#include "core/texts_ja.inc"
    ;
#undef TOLKA_CATALOGUE_ROW
#define TOLKA_CATALOGUE_ROW TOLKA_CATALOGUE_TEXT
const char kEnglishTexts[] =
#include "core/texts_en.inc"
    ;
#undef TOLKA_CATALOGUE_ROW

#undef TOLKA_TEXT

const CatalogueTable kJapanese = {kJapaneseIds, std::size(kJapaneseIds), nullptr, kJapaneseTexts};
const CatalogueTable kEnglish = {kEnglishIds, std::size(kEnglishIds), kEnglishTexts, nullptr};

}  // namespace

std::wstring CatalogueText(Lang lang, int id) {
    return FindCatalogueText(lang == Lang::Ja ? kJapanese : kEnglish, id);
}

std::wstring Text(Lang lang, int id, std::initializer_list<std::wstring> args) {
    return FillPlaceholders(CatalogueText(lang, id).c_str(), args);
}

}  // namespace core
