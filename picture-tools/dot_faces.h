// Drawing the characters of a face designed on a grid of dots.
#pragma once

#include "picture-tools/glyph_drawing.h"

// The characters of a bitmap face drawn a dot to two columns by one line;
// false when the face lacks one or they do not fit the frame.
bool draw_dots(FT_Face face, const std::vector<unsigned>& text, const Frame& frame, int sub,
               Coverage& out, double& proportions);
