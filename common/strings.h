// Ids of the texts the two editors share: the catalogue's (core/texts_ja.inc,
// core/texts_en.inc, made into string tables by core/texts.rc).
#pragma once

#include "../core/textids.h"
