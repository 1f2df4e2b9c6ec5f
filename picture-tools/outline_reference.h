// The outline drawings that grid faces' pictures are judged against.
#pragma once

#include "picture-tools/glyph_drawing.h"

#include <vector>

// The outline face that pictures drawn by a face on a grid are judged
// against: one of the same kind (sans-serif, serif, bold).
int outline_reference(int entry);
// The fine drawing of a grid face's picture: the character in its outline
// reference, unhinted, stretched over the picture's ink box (`ink`, width x
// height pixels), `fine_scale` fine pixels to a pixel each way; false when
// the reference cannot draw it (compounds, a missing glyph).
bool draw_reference(int entry, const std::vector<unsigned>& text, const std::vector<bool>& ink,
                    int width, int height, int fine_scale, std::vector<bool>& fine);
