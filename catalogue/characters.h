// The character(s) each catalogue row depicts, in UTF-8, by row number:
// the kana of a syllable, the kanji of a kanji row. The program itself does
// not carry these; the picture generator and the tests do.
#pragma once

#include "catalogue/catalogue.h"

extern const char* const symbol_characters[symbol_count];
