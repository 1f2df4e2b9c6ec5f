// The fine drawing a picture drawn on a grid of dots is judged against: the
// same character from an outline face of the same kind (sans-serif, serif,
// bold), unhinted, stretched over the picture's own ink box. A grid face's
// own dots would make any picture perfect, fused strokes included.
#include "picture-tools/outline_reference.h"

#include FT_OUTLINE_H
#include FT_BBOX_H
#include FT_BITMAP_H

#include <algorithm>
#include <cstring>

#include "picture-tools/typefaces.h"

namespace {

// The outlines are only rasterised here, with a library of their own.
FT_Library rasteriser()
{
    static FT_Library library = nullptr;
    if (!library && FT_Init_FreeType(&library) != 0)
        library = nullptr;
    return library;
}

bool has(const char* text, const char* word)
{
    return std::strstr(text, word) != nullptr;
}

}  // namespace

int outline_reference(int entry)
{
    const char* hand = typefaces[entry].hand;
    if (has(hand, "bold"))
        return bold_typeface;
    if (has(hand, "serif") && !has(hand, "sans-serif"))
        return serif_reference_typeface;
    return second_name_typeface;
}

bool draw_reference(int entry, const std::vector<unsigned>& text, const std::vector<bool>& ink,
                    int width, int height, int fine_scale, std::vector<bool>& fine)
{
    if (text.size() != 1)
        return false;
    FT_Face face = open_face(outline_reference(entry));
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (ink[size_t(y) * width + x])
                left = std::min(left, x), right = std::max(right, x),
                top = std::min(top, y), bottom = std::max(bottom, y);
    const FT_UInt index = face ? FT_Get_Char_Index(face, text[0]) : 0;
    if (right < 0 || index == 0 ||
        FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;
    FT_Outline& outline = face->glyph->outline;
    FT_BBox box;
    FT_Outline_Get_BBox(&outline, &box);
    if (box.xMax <= box.xMin || box.yMax <= box.yMin)
        return false;
    // The ink box in fine pixels, y upward from the bottom as the rasteriser
    // counts.
    const int fw = width * fine_scale, fh = height * fine_scale;
    const double x0 = left * fine_scale, x1 = (right + 1) * fine_scale;
    const double y0 = fh - (bottom + 1) * fine_scale, y1 = fh - top * fine_scale;
    for (int i = 0; i < outline.n_points; ++i) {
        FT_Vector& v = outline.points[i];
        const double x = x0 + (x1 - x0) * double(v.x - box.xMin) / double(box.xMax - box.xMin);
        const double y = y0 + (y1 - y0) * double(v.y - box.yMin) / double(box.yMax - box.yMin);
        v.x = FT_Pos(x * 64), v.y = FT_Pos(y * 64);
    }
    std::vector<unsigned char> gray(size_t(fw) * fh);
    FT_Bitmap bitmap;
    FT_Bitmap_Init(&bitmap);
    bitmap.rows = fh;
    bitmap.width = fw;
    bitmap.pitch = fw;
    bitmap.buffer = gray.data();
    bitmap.num_grays = 256;
    bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
    if (!rasteriser() || FT_Outline_Get_Bitmap(rasteriser(), &outline, &bitmap) != 0)
        return false;
    fine.assign(gray.size(), false);
    for (size_t i = 0; i < gray.size(); ++i)
        fine[i] = gray[i] >= 128;   // half covered
    return true;
}
