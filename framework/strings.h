// Ids of the framework's own texts, which every window program's string table holds: the
// catalogue's (core/texts_ja.inc, core/texts_en.inc, made into string tables by core/texts.rc).
#pragma once

#include "../core/textids.h"
