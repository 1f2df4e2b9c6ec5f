// Finding a symbol's picture and reading its Netpbm header.
#pragma once

#include <cstdint>
#include <cstdio>

#include "catalogue/catalogue.h"

struct GlyphHeader {
    char magic;      // the digit after "P", '1' to '6'
    int32_t width;
    int32_t height;
};

extern GlyphHeader glyph_header;

// Joins symbol path, set directory and image file, opens the file and reads
// its header, leaving settings.glyph_stream at the first raster byte.
// Does nothing for no record. Ends the process on failure.
void open_glyph(const SymbolRecord* record);

// Reads a Netpbm header from `stream` into glyph_header, stopping right after
// the byte that ends its last number (after the line of a comment that "#"
// begins there). Ends the process on a bad magic digit, a number beyond 32
// bits, or the end of the file inside the header.
void read_glyph_header(FILE* stream);
