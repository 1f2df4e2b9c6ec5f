// Drawing a row's picture from its typeface: the text placed on whole
// character cells, rendered with sub-pixels, and reduced to the pixels of the
// picture so that every cell of the screen shows ink only where the glyph
// covers enough of it.
#include "tools/glyph_drawing.h"

#include FT_OUTLINE_H
#include FT_BBOX_H
#include FT_BITMAP_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/typefaces.h"

namespace {

// A character cell of the terminal (two by two pixels) shows ink when the
// glyph covers at least `cell_share` of it, or at least `faint_share` where
// the cell is a ridge of a thin stroke (it is covered more than the cell
// on one side and no less than the cell on the other, across or down, and
// the stroke does not run on solidly beyond it), so hairlines stay without
// strokes swelling. Within a cell that shows ink, the pixels covered at
// least `pixel_share` are ink, and the cell's most covered pixel always,
// which grades the cell for the shaded display.
constexpr double faint_share = 0.2;
constexpr double pixel_share = 0.35;
FT_Library library;

struct Face {
    FT_Face face = nullptr;
    bool tried = false;
};
Face faces[typeface_count];

}  // namespace

bool start_drawing()
{
    return FT_Init_FreeType(&library) == 0;
}

FT_Face open_face(int entry)
{
    Face& f = faces[entry];
    if (!f.tried) {
        f.tried = true;
        const Typeface& t = typefaces[entry];
        if (FT_New_Face(library, t.file, t.face_index, &f.face) != 0) {
            std::fprintf(stderr, "render_glyphs: cannot open %s (%s)\n", t.file, t.name);
            f.face = nullptr;
        } else if (!f.face->charmap && f.face->num_charmaps > 0) {
            // A bitmap face for a character set other than Unicode.
            FT_Set_Charmap(f.face, f.face->charmaps[0]);
        }
    }
    return f.face;
}

std::vector<unsigned> code_points(const char* text)
{
    std::vector<unsigned> points;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p;) {
        unsigned c = *p++;
        int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        c &= more == 3 ? 0x07 : more == 2 ? 0x0F : more == 1 ? 0x1F : 0x7F;
        for (; more > 0 && (*p & 0xC0) == 0x80; --more)
            c = (c << 6) | (*p++ & 0x3F);
        points.push_back(c);
    }
    return points;
}

namespace {

// Thickens every stroke of an unscaled outline by `weight` thousandths of
// the em, or thins it where the weight is below 0.
void embolden(FT_Face face, FT_Outline& outline, int weight)
{
    if (weight != 0)
        FT_Outline_Embolden(&outline, FT_Pos(weight) * face->units_per_EM / 1000);
}

// The columns and lines that ink of these proportions (width over height)
// spans in the frame: the most lines whose columns fit, keeping the
// proportions but for the rounding to whole cells. Ink so flat that it
// would span less than two thirds of the box across takes one line more,
// and as many columns as that asks, margins included.
void fit_cells(double proportions, const Frame& frame, int& columns, int& lines)
{
    const auto columns_for = [&](int l) {
        return std::max(1L, std::lround(frame.cell_aspect * l * proportions));
    };
    lines = frame.box_lines;
    while (lines > 1 && columns_for(lines) > frame.box_columns)
        --lines;
    columns = std::min<long>(columns_for(lines), frame.box_columns);
    if (lines < frame.box_lines && 3 * columns < 2 * frame.box_columns) {
        ++lines;
        columns = std::min<long>(columns_for(lines), frame.width / frame.cell_width);
    }
}

}  // namespace

// The characters set side by side, the frame's letter gap apart, on the
// face's own baseline (its small kana are small by themselves), rendered
// into the frame at `sub` x `sub` sub-pixels per pixel. `proportions`
// receives the width of the ink over its height in the typeface. False
// when the face lacks a character or has no outline for it.
bool draw_text(FT_Face face, const Style& style, const std::vector<unsigned>& text,
               const Frame& frame, int sub, Coverage& out, double& proportions)
{
    if (!FT_IS_SCALABLE(face))
        return draw_dots(face, text, frame, sub, out, proportions);
    const FT_Int32 load = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;
    struct Placed {
        FT_UInt index;
        long pen;
    };
    std::vector<Placed> placed;
    long pen;
    long x0 = 0, y0 = 0, x1 = 0, y1 = 0;   // the ink box, in font units
    for (unsigned c : text) {
        const FT_UInt index = FT_Get_Char_Index(face, c);
        if (index == 0 || FT_Load_Glyph(face, index, load) != 0)
            return false;
        FT_GlyphSlot slot = face->glyph;
        if (slot->format != FT_GLYPH_FORMAT_OUTLINE || slot->outline.n_points == 0)
            return false;
        embolden(face, slot->outline, style.weight);
        FT_BBox box;
        FT_Outline_Get_BBox(&slot->outline, &box);
        if (box.xMax <= box.xMin || box.yMax <= box.yMin)
            return false;
        if (placed.empty()) {
            pen = 0;
            x0 = box.xMin, x1 = box.xMax, y0 = box.yMin, y1 = box.yMax;
        } else {
            pen = x1 + long(frame.letter_gap * face->units_per_EM) - box.xMin;
            x1 = box.xMax + pen;
            y0 = std::min(y0, box.yMin), y1 = std::max(y1, box.yMax);
        }
        placed.push_back({index, pen});
    }
    if (placed.empty())
        return false;
    proportions = double(x1 - x0) / double(y1 - y0);
    int columns, lines;
    fit_cells(proportions, frame, columns, lines);
    if (style.grid > 0) {
        // A face drawn on a grid: its ink spans whole dots, and a dot that
        // takes two columns by one line lands on whole cells.
        const double dot = double(face->units_per_EM) / style.grid;
        const long dot_columns = 2 * std::lround((x1 - x0) / dot);
        const long dot_lines = std::lround((y1 - y0) / dot);
        if (dot_columns <= frame.box_columns && dot_lines <= frame.box_lines) {
            columns = int(dot_columns), lines = int(dot_lines);
            proportions = columns / (2.0 * lines);   // the face's own, in dots
        }
    }
    // Pixels per font unit across and down, and where the ink box begins.
    const double across = double(columns * frame.cell_width) / double(x1 - x0);
    const double down = double(lines * frame.cell_height) / double(y1 - y0);
    const int free_columns = frame.width / frame.cell_width - columns;
    const double left =
        (columns > frame.box_columns ? free_columns / 2
                                     : frame.box_left + (frame.box_columns - columns) / 2) *
        frame.cell_width;
    double top = (frame.box_top + (frame.box_lines - lines) / 2) * frame.cell_height;
    // Columns and lines to the em, for hinting on the grid of the screen's
    // cells; the baseline then lies on the edge of a line.
    const double em_columns = across * face->units_per_EM / frame.cell_width;
    const double em_lines = down * face->units_per_EM / frame.cell_height;
    if (style.hinting > 0) {
        const double baseline = (top + down * y1) / frame.cell_height;
        top += (std::round(baseline) - baseline) * frame.cell_height;
        if (FT_Set_Char_Size(face, FT_F26Dot6(std::lround(em_columns * 64)),
                             FT_F26Dot6(std::lround(em_lines * 64)), 72, 72) != 0)
            return false;
    }

    out.width = frame.width * sub;
    out.height = frame.height * sub;
    out.pixels.assign(size_t(out.width) * out.height, 0);
    std::vector<unsigned char> layer(out.pixels.size());
    for (const Placed& p : placed) {
        FT_Outline& outline = face->glyph->outline;
        if (style.hinting > 0) {
            // Light hinting moves edges up or down only, onto whole lines;
            // the normal one also sideways, onto whole columns.
            const FT_Int32 target = style.hinting == 1 ? FT_LOAD_TARGET_LIGHT : FT_LOAD_TARGET_NORMAL;
            if (FT_Load_Glyph(face, p.index, target | FT_LOAD_FORCE_AUTOHINT | FT_LOAD_NO_BITMAP) != 0)
                return false;
            if (style.weight != 0)
                FT_Outline_EmboldenXY(&outline, std::lround(style.weight * em_columns * 64 / 1000),
                                      std::lround(style.weight * em_lines * 64 / 1000));
        } else {
            FT_Load_Glyph(face, p.index, load);
            embolden(face, outline, style.weight);
        }
        // Outline coordinates become 26.6 sub-pixels, y upward from the
        // bottom of the canvas, as the rasteriser expects. Hinted outlines
        // come in 26.6 columns and lines.
        for (int i = 0; i < outline.n_points; ++i) {
            FT_Vector& v = outline.points[i];
            double x, y;
            if (style.hinting > 0) {
                x = left + across * double(p.pen - x0) + v.x / 64.0 * frame.cell_width;
                y = frame.height - (top + down * double(y1) - v.y / 64.0 * frame.cell_height);
            } else {
                x = left + across * double(v.x + p.pen - x0);
                y = frame.height - (top + down * double(y1 - v.y));
            }
            v.x = std::lround(x * sub * 64);
            v.y = std::lround(y * sub * 64);
        }
        std::fill(layer.begin(), layer.end(), 0);
        FT_Bitmap bitmap;
        FT_Bitmap_Init(&bitmap);
        bitmap.rows = out.height;
        bitmap.width = out.width;
        bitmap.pitch = out.width;
        bitmap.buffer = layer.data();
        bitmap.num_grays = 256;
        bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
        if (FT_Outline_Get_Bitmap(library, &outline, &bitmap) != 0)
            return false;
        for (size_t i = 0; i < layer.size(); ++i)
            out.pixels[i] = std::max(out.pixels[i], layer[i]);
    }
    return true;
}

// The share of each block of block x block sub-pixels that the glyph covers.
std::vector<double> shares(const Coverage& c, int block)
{
    const int w = c.width / block, h = c.height / block;
    std::vector<double> out(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            long sum = 0;
            for (int sy = 0; sy < block; ++sy) {
                const unsigned char* row = &c.pixels[size_t(y * block + sy) * c.width + x * block];
                for (int sx = 0; sx < block; ++sx)
                    sum += row[sx];
            }
            out[size_t(y) * w + x] = sum / (255.0 * block * block);
        }
    return out;
}

// Which cells of a w x h grid of shares show ink (see cell_share; `least`
// takes its place).
std::vector<bool> ink_cells(const std::vector<double>& share, int w, int h, double least)
{
    const auto at = [&](int x, int y) {
        return x < 0 || y < 0 || x >= w || y >= h ? 0.0 : share[size_t(y) * w + x];
    };
    std::vector<bool> ink(share.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double c = at(x, y);
            // A ridge across, not the end of a stroke that runs on solidly
            // along it.
            const bool across = c > at(x - 1, y) && c >= at(x + 1, y) &&
                                at(x, y - 1) < cell_share && at(x, y + 1) < cell_share;
            const bool down = c > at(x, y - 1) && c >= at(x, y + 1) &&
                              at(x - 1, y) < cell_share && at(x + 1, y) < cell_share;
            const bool ridge = across || down;
            ink[size_t(y) * w + x] = c >= least || (c >= faint_share && ridge);
        }
    return ink;
}

// The picture's pixels from the coverage at `sub` sub-pixels per pixel.
std::vector<bool> reduce(const Coverage& c, int sub, double least)
{
    const int w = c.width / sub, h = c.height / sub;
    const std::vector<double> pixel = shares(c, sub);
    const std::vector<bool> cells = ink_cells(shares(c, 2 * sub), w / 2, h / 2, least);
    std::vector<bool> ink(pixel.size());
    for (int cy = 0; cy < h / 2; ++cy)
        for (int cx = 0; cx < w / 2; ++cx) {
            if (!cells[size_t(cy) * (w / 2) + cx])
                continue;
            size_t darkest = size_t(2 * cy) * w + 2 * cx;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const size_t i = size_t(2 * cy + dy) * w + 2 * cx + dx;
                    if (pixel[i] > pixel[darkest])
                        darkest = i;
                    // Cells that show ink from less covered take their
                    // pixels from less covered, too, to stay solid.
                    ink[i] = pixel[i] >= pixel_share * least / cell_share;
                }
            ink[darkest] = true;
        }
    return ink;
}

bool has_ink(const std::vector<bool>& ink)
{
    return std::find(ink.begin(), ink.end(), true) != ink.end();
}
