#include "core/devicelibrary.h"

#include <cstddef>
#include <iterator>

#include "core/placeholders.h"
#include "core/textids.h"

namespace core {

namespace {

struct EngineText {
    int id;
    const wchar_t* text;
};

// The engine's own lines of the catalogue, in tables of their own: a window program, which
// says only these from the compiled catalogue, carries none of the console's texts.
#define TOLKA_TEXT(face, id, text) TOLKA_ENGINE_##face(id, text)
#define TOLKA_ENGINE_ENGINE(id, text) {id, L"" text},
#define TOLKA_ENGINE_WINDOWS(id, text)
#define TOLKA_ENGINE_EDITORS(id, text)
#define TOLKA_ENGINE_PIWRITER(id, text)
#define TOLKA_ENGINE_OPTION(id, text)
#define TOLKA_ENGINE_LAUNCHER(id, text)
#define TOLKA_ENGINE_CONSOLE(id, text)

const EngineText kJapanese[] = {
#include "core/texts_ja.inc"
};

const EngineText kEnglish[] = {
#include "core/texts_en.inc"
};

#undef TOLKA_TEXT

template <std::size_t N>
const wchar_t* Find(const EngineText (&table)[N], int id) {
    for (const EngineText& entry : table) {
        if (entry.id == id)
            return entry.text;
    }
    return L"";
}

}  // namespace

std::wstring MissingLibraryText(bool japanese, const MissingLibrary& missing) {
    int id = missing.function.empty() ? IDS_LIBRARY_MISSING : IDS_LIBRARY_LACKS_FUNCTION;
    return FillPlaceholders(japanese ? Find(kJapanese, id) : Find(kEnglish, id),
                            {missing.library, missing.folder, missing.function});
}

}  // namespace core
