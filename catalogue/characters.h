// The character(s) each catalogue row depicts, in UTF-8, by row number:
// the kana of a syllable, the kanji of a kanji row. The program itself does
// not carry these; the picture generator and the tests do.
#pragma once

#include <vector>

#include "catalogue/catalogue.h"

extern const char* const symbol_characters[symbol_count];

// Every row of the table in order, with the number of the set it stands in.
struct CatalogueRow {
    int set_number;
    int row;
};

inline std::vector<CatalogueRow> catalogue_rows()
{
    std::vector<CatalogueRow> rows;
    for (int s = 0; s < set_count; ++s)
        for (int i = 0; i < set_table[s].size; ++i)
            rows.push_back({s + 1, set_table[s].first_row + i});
    return rows;
}
