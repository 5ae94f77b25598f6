// The catalogue's lines compiled in as tables of ids and wide texts, for the two files that
// do so: core/texts.cpp takes every line, core/devicelibrary.cpp only the engine's own.
// Portable: no <windows.h>.
#pragma once

#include <cstddef>

namespace core {

struct CatalogueEntry {
    int id;
    const wchar_t* text;
};

// One table row from a catalogue line; L"" makes the text's literals wide, however many
// lines it takes.
#define TOLKA_CATALOGUE_ROW(id, text) {id, L"" text},

// The text of an id in a table; "" for an id the table lacks.
template <std::size_t N>
const wchar_t* FindCatalogueText(const CatalogueEntry (&table)[N], int id) {
    for (const CatalogueEntry& entry : table) {
        if (entry.id == id)
            return entry.text;
    }
    return L"";
}

}  // namespace core
