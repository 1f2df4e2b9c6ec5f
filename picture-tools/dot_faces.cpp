// Bitmap faces designed on a grid of dots, drawn a dot to two columns by
// one line (or a multiple of that) so that every dot lands on whole cells of
// the screen.
#include "picture-tools/dot_faces.h"

#include FT_BDF_H

#include <iconv.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// The code of a character in a face: bitmap faces made for the Japanese
// character set are indexed by its row and cell, not by Unicode; 0 for none.
unsigned face_code(FT_Face face, unsigned c)
{
    const char* encoding;
    const char* registry;
    if (FT_IS_SCALABLE(face) || FT_Get_BDF_Charset_ID(face, &encoding, &registry) != 0 ||
        std::strncmp(registry, "JISX0208", 8) != 0)
        return c;
    static iconv_t to_euc = iconv_open("EUC-JP", "UTF-32LE");
    char in[4] = {char(c), char(c >> 8), char(c >> 16), char(c >> 24)}, out[4];
    char* from = in;
    char* to = out;
    size_t in_left = sizeof in, out_left = sizeof out;
    iconv(to_euc, nullptr, nullptr, nullptr, nullptr);
    if (to_euc == iconv_t(-1) || iconv(to_euc, &from, &in_left, &to, &out_left) == size_t(-1) ||
        to - out != 2)
        return 0;
    return (unsigned(out[0]) & 0x7F) << 8 | (unsigned(out[1]) & 0x7F);
}

}  // namespace

// The characters of a bitmap face, side by side at their advances, every
// dot two columns by one line: the dots land on whole cells. False when
// the face lacks a character or the dots do not fit the frame.
bool draw_dots(FT_Face face, const std::vector<unsigned>& text, const Frame& frame, int sub,
               Coverage& out, double& proportions)
{
    struct Dot {
        int x, y;   // dots, y down from the baseline
    };
    std::vector<Dot> dots;
    int pen = 0;
    for (unsigned c : text) {
        const FT_UInt index = FT_Get_Char_Index(face, face_code(face, c));
        if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
            return false;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& b = slot->bitmap;
        if (b.pixel_mode != FT_PIXEL_MODE_MONO)
            return false;
        for (unsigned y = 0; y < b.rows; ++y)
            for (unsigned x = 0; x < b.width; ++x)
                if (b.buffer[size_t(y) * b.pitch + x / 8] & (0x80 >> (x % 8)))
                    dots.push_back({pen + slot->bitmap_left + int(x), int(y) - slot->bitmap_top});
        pen += int(slot->advance.x >> 6);
    }
    if (dots.empty())
        return false;
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    for (const Dot& d : dots)
        x0 = std::min(x0, d.x), x1 = std::max(x1, d.x), y0 = std::min(y0, d.y), y1 = std::max(y1, d.y);
    const int k = frame.dot;
    const int columns = 2 * k * (x1 - x0 + 1), lines = k * (y1 - y0 + 1);
    if (columns > frame.width || lines > frame.box_lines)
        return false;
    proportions = columns / (2.0 * lines);
    int left, top;
    clear_canvas(frame, columns, lines, sub, out, left, top);
    const int dot_width = 2 * k * sub, dot_height = k * sub;
    for (const Dot& d : dots)
        for (int y = 0; y < dot_height; ++y) {
            const int row = (top + k * (d.y - y0)) * sub + y;
            const int column = (left + 2 * k * (d.x - x0)) * sub;
            std::fill_n(&out.pixels[size_t(row) * out.width + column], dot_width, 255);
        }
    return true;
}

