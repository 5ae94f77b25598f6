#include "core/texts.h"

#include <cstddef>

#include "core/placeholders.h"

namespace core {

namespace {

struct CatalogueEntry {
    int id;
    const wchar_t* text;
};

// L"" makes the text's literals wide, however many lines it takes.
#define TOLKA_TEXT(face, id, text) {id, L"" text},

const CatalogueEntry kJapanese[] = {
#include "core/texts_ja.inc"
};

const CatalogueEntry kEnglish[] = {
#include "core/texts_en.inc"
};

#undef TOLKA_TEXT

template <std::size_t N>
const wchar_t* Find(const CatalogueEntry (&table)[N], int id) {
    for (const CatalogueEntry& entry : table) {
        if (entry.id == id)
            return entry.text;
    }
    return L"";
}

}  // namespace

const wchar_t* CatalogueText(Lang lang, int id) {
    return lang == Lang::Ja ? Find(kJapanese, id) : Find(kEnglish, id);
}

std::wstring Text(Lang lang, int id, std::initializer_list<std::wstring> args) {
    return FillPlaceholders(CatalogueText(lang, id), args);
}

}  // namespace core
