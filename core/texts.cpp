#include "core/texts.h"

#include <iterator>

#include "core/catalogue_table.h"
#include "core/placeholders.h"

namespace core {

namespace {

// Every line but the virtual board library's, which the suite's programs never say themselves.
#define TOLKA_CATALOGUE_LINE(face, id, text) TOLKA_COMPILED_##face(id, text)
#define TOLKA_COMPILED_WINDOWS(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_EDITORS(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_PIWRITER(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_OPTION(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_LAUNCHER(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_STATION(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_ENGINE(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_CONSOLE(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_COMPILED_BOARD(id, text)

#include "core/catalogue_tables.inc"

}  // namespace

std::wstring CatalogueText(Lang lang, int id) {
    return FindCatalogueText(lang == Lang::Ja ? kJapanese : kEnglish, id);
}

std::wstring Text(Lang lang, int id, std::initializer_list<std::wstring> args) {
    return FillPlaceholders(CatalogueText(lang, id).c_str(), args);
}

}  // namespace core
