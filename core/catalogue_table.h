// The catalogue's lines compiled in, for the two files that do so: core/texts.cpp takes every
// line, core/devicelibrary.cpp only the engine's own. A language's lines are two tables: their
// ids in order, and their texts one after the other, each ended by a NUL, with no pointer per
// line. English is kept in UTF-8 as the catalogue writes it (half the size of wide text),
// Japanese as wide text (two bytes for a kana or kanji, where UTF-8 takes three).
// Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace core {

// A language's lines: count texts, each ended by a NUL, the one of ids[i] i-th; in UTF-8 or
// wide, whichever of the two is not null.
struct CatalogueTable {
    const std::uint16_t* ids;
    std::size_t count;
    const char* utf8;
    const wchar_t* wide;
};

// The text of an id in a table, made wide; "" for an id the table lacks.
std::wstring FindCatalogueText(const CatalogueTable& table, int id);

}  // namespace core

// A catalogue line as an entry of the ids' table, and as a text of the texts' table (UTF-8 or
// wide). A file includes the catalogue's lines once with TOLKA_CATALOGUE_ROW defined as each.
#define TOLKA_CATALOGUE_ID(id, text) id,
#define TOLKA_CATALOGUE_TEXT(id, text) text "\0"
#define TOLKA_CATALOGUE_WIDE_TEXT(id, text) L"" text "\0"
