#include "core/devicelibrary.h"

#include <iterator>

#include "core/catalogue_table.h"
#include "core/placeholders.h"
#include "core/textids.h"

namespace core {

namespace {

// The engine's own lines of the catalogue, in tables of their own: a window program, which
// says only these from the compiled catalogue, carries none of the console's texts.
#define TOLKA_CATALOGUE_LINE(face, id, text) TOLKA_ENGINE_##face(id, text)
#define TOLKA_ENGINE_ENGINE(id, text) TOLKA_CATALOGUE_ROW(id, text)
#define TOLKA_ENGINE_WINDOWS(id, text)
#define TOLKA_ENGINE_EDITORS(id, text)
#define TOLKA_ENGINE_PIWRITER(id, text)
#define TOLKA_ENGINE_OPTION(id, text)
#define TOLKA_ENGINE_LAUNCHER(id, text)
#define TOLKA_ENGINE_STATION(id, text)
#define TOLKA_ENGINE_CONSOLE(id, text)
#define TOLKA_ENGINE_BOARD(id, text)

#include "core/catalogue_tables.inc"

}  // namespace

std::wstring MissingLibraryText(Lang lang, const MissingLibrary& missing) {
    int id = missing.function.empty() ? IDS_LIBRARY_MISSING : IDS_LIBRARY_LACKS_FUNCTION;
    return FillPlaceholders(FindCatalogueText(lang == Lang::Ja ? kJapanese : kEnglish, id).c_str(),
                            {missing.library, missing.folder, missing.function});
}

}  // namespace core
