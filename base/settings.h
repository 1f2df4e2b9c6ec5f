// The one record of option values and open streams, and the flush that
// every piece of dialogue ends with.
#pragma once

#include <cstdint>
#include <cstdio>

struct Settings {
    int32_t max_width = 32;
    int32_t max_height = 22;
    const char* input_path = nullptr;
    FILE* input = nullptr;          // standard input once parsing starts, unless set before
    const char* output_path = nullptr;
    FILE* output = nullptr;         // standard output likewise
    const char* error_path = nullptr;
    FILE* error = nullptr;          // standard error likewise
    FILE* glyph_stream = nullptr;   // the picture file being shown, if any
    const char* symbol_path = "/usr/local/rilk/";
    unsigned char debug = 0;
    char test_mode = 'y';
    char loop_mode = 'y';
    char grey_shades = 'n';
    char reverse = 'n';
    char use_hiragana = 'y';
    char use_hiragana2 = 'n';
    char use_katakana = 'n';
    char use_katakana2 = 'n';
    char use_kanji = 'n';
};

extern Settings settings;

// Flushes the output stream. A write that failed, now or before, ends the
// run at once with status -1: nothing more the run prints can be read.
void flush_output();
