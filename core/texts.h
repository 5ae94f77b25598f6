// The catalogue of the texts the user reads (core/texts.inc), compiled in: the console says its
// messages from here. The windows load theirs from their string tables, made from the same
// lines (core/texts.rc); the engine's own lines are compiled into core/devicelibrary.cpp by
// themselves, so that a window program links none of the console's.
// Portable: no <windows.h>.
#pragma once

#include <initializer_list>
#include <string>

#include "core/lang.h"
#include "core/textids.h"

namespace core {

// The catalogue's text of an id, placeholders unfilled; "" for an id the catalogue lacks.
// Not for IDS_ABOUTBOX, which each window program words its own way.
std::wstring CatalogueText(Lang lang, int id);

// The text with %1, %2, ... replaced by the arguments in order.
std::wstring Text(Lang lang, int id, std::initializer_list<std::wstring> args = {});

}  // namespace core
