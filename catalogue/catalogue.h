// The built-in table of symbols, its five sets, and the random pick.
#pragma once

#include <cstdint>

#include "control/settings.h"

struct SymbolRecord {
    const char* image_file;
    const char* translation;
    const char* on_reading;
    const char* kun_reading;
};

enum SymbolSet { Hiragana = 1, Hiragana2 = 2, Katakana = 3, Katakana2 = 4, Kanji = 5 };

constexpr int set_count = 5;
constexpr int symbol_count = 1367;

// One row per drawing, the five sets one after another in set order.
extern const SymbolRecord symbol_table[symbol_count];

struct SetInfo {
    const char* name;        // "Hiragana"
    const char* directory;   // "/Hiragana/", a slash at both ends
    int first_row;
    int size;
    char Settings::*use;     // the switch that turns the set on
};

// Indexed by set number - 1.
inline constexpr SetInfo set_table[set_count] = {
    {"Hiragana", "/Hiragana/", 0, 312, &Settings::use_hiragana},
    {"Hiragana2", "/Hiragana2/", 312, 82, &Settings::use_hiragana2},
    {"Katakana", "/Katakana/", 394, 189, &Settings::use_katakana},
    {"Katakana2", "/Katakana2/", 583, 77, &Settings::use_katakana2},
    {"Kanji", "/Kanji/", 660, 707, &Settings::use_kanji},
};

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
