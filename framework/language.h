// The language of the user interface: Japanese or English, for every text a window shows.
//
// TOLKA_LANG=ja or TOLKA_LANG=en decides when it is set; otherwise the thread's UI language
// does (Japanese for Japanese, English for any other). The resource scripts hold each
// dialog, menu and string table in both languages; the framework loads them in this
// language explicitly, so that the choice never depends on the thread locale, which stays
// as it is: the records' text encoding is the thread's ANSI code page whatever the language.
#pragma once

#include <windows.h>

#include "core/lang.h"

namespace fw {

core::Lang GetUiLang();

// The resource language of the scripts' blocks for a UI language.
LANGID ResourceLanguage(core::Lang lang);

// At start: makes the system's own texts (message-box buttons, common dialogs) follow the
// same choice where the system lets a thread choose.
void ApplyUiLanguageToThread();

// A resource of the program (or of the given module) in the UI language; of any language
// when the module has none in it (icons, version); nullptr when it is missing.
HRSRC FindUiResource(LPCWSTR type, LPCWSTR name, HMODULE module = nullptr);

// The resource's bytes (resources stay mapped while the module is loaded); nullptr: none.
const void* LockUiResource(LPCWSTR type, LPCWSTR name, HMODULE module = nullptr);

}  // namespace fw
