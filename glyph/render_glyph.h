// Printing the open picture as scaled text art.
#pragma once

#include "catalogue/catalogue.h"

// Reads the whole raster, prints the reduced picture to settings.output,
// flushes it and closes the glyph file. Does nothing for no record or no
// open file.
void render_glyph(const SymbolRecord* record);
