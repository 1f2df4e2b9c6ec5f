// The one record of option values and open streams, and the command line
// that fills it.
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

// Fills settings from the arguments, strictly left to right. Input, output
// and error start as the standard streams, or as the streams already set.
// Prints the usage or version text and ends the process where the command
// line asks for it or does not fit.
void parse_command_line(int argc, char** argv);

// Applies one switch letter (t, l, g, G, k, K, j) with 'y' or 'n'; any other
// letter prints the usage text and ends the process with status 0.
void set_mode_letter(char letter, char value);

void print_usage();
void print_version();

// Flushes the output stream. A write that failed, now or before, ends the
// run at once with status -1: nothing more the run prints can be read.
void flush_output();
