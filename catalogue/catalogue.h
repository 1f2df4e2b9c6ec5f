// The built-in table of symbols, its five sets, and the random pick.
#pragma once

#include <cstdint>

#include "base/settings.h"

struct SymbolRecord {
    const char* image_file;
    const char* translation;
    const char* on_reading;
    const char* kun_reading;
};

// A field without a value holds the absent marker "-", and no present value
// begins with "-": the first character tells.
inline bool is_absent(const char* field)
{
    return field[0] == '-';
}

struct SetInfo {
    const char* name;        // "Hiragana"
    const char* directory;   // "/Hiragana/", a slash at both ends
    int first_row;
    int size;
    char Settings::*use;     // the switch that turns the set on
};

// The sets, generated with the rows from catalogue/symbols.tsv into the build
// folder: enum SymbolSet (Hiragana = 1 ...), set_count, symbol_count, and
// set_table, the sets in order, indexed by set number - 1.
#include "catalogue/sets.h"

// One row per drawing, the five sets one after another in set order.
extern const SymbolRecord symbol_table[symbol_count];

// The row counts pick_symbol draws within; fixed by prepare_run.
extern int set_sizes[set_count];

// Directory name of the set of the most recently picked row; none at start.
extern const char* current_set_directory;

void fix_set_sizes();

// The generator every draw comes from: rand() in the program; tests replace
// it to feed exact values. Values run from 0 to 2^31 - 1.
using RandomSource = int (*)();
extern RandomSource random_source;

// One draw: the next generator value divided by 2^31, so 0 <= draw < 1.
double random_draw();

// Draws a set until one that is switched on comes up, then a row of it.
// Two draws per attempt. Never returns none.
const SymbolRecord* pick_symbol();
