// Drawing a catalogue row's picture: the face it takes, the ways of
// drawing it tried, the one that reads best.
#pragma once

#include "picture-tools/glyph_drawing.h"

#include <string>
#include <vector>

// A row's picture as the generator draws it.
struct Drawing {
    std::vector<bool> ink;     // the set's width x height, rows top down
    std::vector<bool> fine;    // the same character, fine_scale times finer
                               // each way, unhinted
    int entry = -1;            // the typeface that drew it
    Style style;               // how its outlines were drawn
    double least = cell_share; // the share of a cell that showed ink
    double proportions = 0;    // the ink's width over its height in the face
};

// "Hiragana/a.1.pbm", or "large/Hiragana/a.1.pbm" in the large set.
std::string row_name(const CatalogueRow& r, int set = 0);
// The picture of a row in a set of pictures, in its face, or else in the
// faces its face falls back on; false (with a message) when none draws it.
bool draw_row(const CatalogueRow& r, int set, Drawing& drawing);
