#include "core/texts.h"

#include "core/catalogue_table.h"
#include "core/placeholders.h"

namespace core {

namespace {

#define TOLKA_TEXT(face, id, text) TOLKA_CATALOGUE_ROW(id, text)

const CatalogueEntry kJapanese[] = {
#include "core/texts_ja.inc"
};

const CatalogueEntry kEnglish[] = {
#include "core/texts_en.inc"
};

#undef TOLKA_TEXT

}  // namespace

const wchar_t* CatalogueText(Lang lang, int id) {
    return lang == Lang::Ja ? FindCatalogueText(kJapanese, id) : FindCatalogueText(kEnglish, id);
}

std::wstring Text(Lang lang, int id, std::initializer_list<std::wstring> args) {
    return FillPlaceholders(CatalogueText(lang, id), args);
}

}  // namespace core
