// Drawing a row's picture from its typeface: the text placed on whole
// character cells, rendered with sub-pixels, and reduced to the pixels of the
// picture, one to a cell of the screen, so that a cell shows ink only where
// the glyph covers enough of it.
#include "picture-tools/glyph_drawing.h"

#include FT_OUTLINE_H
#include FT_BBOX_H
#include FT_BITMAP_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "picture-tools/dot_faces.h"
#include "picture-tools/typefaces.h"

namespace {

// A character cell of the terminal (a pixel) shows ink when the glyph
// covers at least `cell_share` of it, or at least `faint_share` where the
// cell is a ridge of a thin stroke (it is covered more than the cell on one
// side and no less than the cell on the other, across or down, and the
// stroke does not run on solidly beyond it), so hairlines stay without
// strokes swelling.
constexpr double faint_share = 0.2;
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

// The voicing marks, drawn by hand rather than by the faces: at the size of
// a terminal's cells a face's two ticks run together and its ring closes.
// Two ticks with a blank column between them, a ring with a hole; "O" is
// ink. Each stands apart from its kana, at its top right.
struct Mark {
    int columns, lines;
    const char* cells;
};
constexpr Mark marks[2][2] = {
    {{3, 2, "O O"
            "O O"},
     {4, 3, " OO "
            "O  O"
            " OO "}},
    // The large set's, for its 24 lines: an eighth of the height, as in
    // the default set, with ticks and ring as thick as a line is tall.
    {{6, 3, " OO OO"
            " OO OO"
            "OO OO "},
     {6, 3, " OOOO "
            "OO  OO"
            " OOOO "}},
};

// Small kana of the compound syllables.
bool is_small_kana(unsigned c)
{
    static const unsigned small[] = {0x3041, 0x3043, 0x3045, 0x3047, 0x3049, 0x3063, 0x3083,
                                     0x3085, 0x3087, 0x308E, 0x30A1, 0x30A3, 0x30A5, 0x30A7,
                                     0x30A9, 0x30C3, 0x30E3, 0x30E5, 0x30E7, 0x30EE};
    return std::find(std::begin(small), std::end(small), c) != std::end(small);
}

// A small kana is drawn in the box of its big form (ゃ of や) shrunk to
// this share each way.
constexpr double small_size = 0.7;

// One character of the text: its glyph's ink box in font units, and where
// its ink goes in cells.
struct Piece {
    FT_UInt index;
    FT_BBox box;
    bool small;
    long big_width, big_height;   // a small kana's big form's ink, font units
    int mark;                     // 0, or 1 + the mark's number
    bool raised;                  // the mark stands above the kana, not beside it
    bool wide_gap;                // twice the blank columns before it: a bar of
                                  // it and one of the character before would
                                  // otherwise read as one line
    int left, top, columns, lines;
    int mark_left, mark_top;
};

// Lays the pieces out at `lines` lines for the big characters, on cells
// drawn `aspect` times as tall as wide, `raise` lines below the top: columns
// and lines of every piece, left to right, the characters `gap` cells apart.
// A mark goes a blank column right of its kana, over the next character
// when that leaves a blank line between them, or, raised, on the top lines
// over the kana's right end. Gives the width in cells; `exact` receives the
// width before the rounding to whole cells.
int lay_out(std::vector<Piece>& pieces, int lines, double aspect, int raise, const Frame& frame,
            double& exact)
{
    const Mark* mark_set = marks[frame.large ? 1 : 0];
    // The ink box of the big characters (of all, if none is big), on the
    // face's baseline.
    const bool any_big =
        std::any_of(pieces.begin(), pieces.end(), [](const Piece& p) { return !p.small; });
    long top = LONG_MIN, bottom = LONG_MAX;
    for (const Piece& p : pieces)
        if (!p.small || !any_big)
            top = std::max(top, p.box.yMax), bottom = std::min(bottom, p.box.yMin);
    const double per_unit = double(lines) / double(top - bottom);   // lines per font unit
    int x = 0, blocked_to = 0, blocked_lines = 0, right = 0;
    // The characters' width and the marks' right end apart: a mark over the
    // next character does not push that character's width further right.
    double marks_right = 0;
    exact = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        Piece& p = pieces[i];
        double w = double(p.box.xMax - p.box.xMin), h = double(p.box.yMax - p.box.yMin);
        if (p.small && any_big)
            w = small_size * double(p.big_width), h = small_size * double(p.big_height);
        p.lines = std::max(1, int(std::lround(h * per_unit)));
        p.columns = std::max(1, int(std::lround(aspect * w * per_unit)));
        p.top = p.small && any_big ? lines - p.lines
                                   : int(std::lround((top - p.box.yMax) * per_unit));
        p.lines = std::min(p.lines, lines - p.top);
        p.top += raise;
        if (i > 0) {
            x += frame.letter_gap * (p.wide_gap ? 2 : 1);
            // Right of a mark, unless it lies a blank line above this piece.
            if (p.top < blocked_lines + 1)
                x = std::max(x, blocked_to);
            exact += frame.letter_gap * (p.wide_gap ? 2 : 1);
        }
        p.left = x;
        x += p.columns;
        exact = std::max(exact, double(p.left)) + aspect * w * per_unit;
        right = std::max(right, x);
        blocked_to = 0, blocked_lines = 0;
        if (!p.mark)
            continue;
        const Mark& m = mark_set[p.mark - 1];
        p.mark_top = 0;
        if (p.raised) {
            // Over the kana's right end, a column beyond it.
            p.mark_left = std::max(p.left, x + 1 - m.columns);
            right = std::max(right, p.mark_left + m.columns);
            marks_right = std::max(marks_right, double(p.mark_left + m.columns));
            continue;
        }
        p.mark_left = x + 1;
        blocked_to = p.mark_left + m.columns + 1;
        blocked_lines = m.lines;
        right = std::max(right, blocked_to - 1);
        marks_right = std::max(marks_right, double(blocked_to - 1));
    }
    exact = std::max(exact, marks_right);
    return right;
}

// Whether a mark laid out beside its kana stands in line with a
// horizontal bar of it: a run of inked cells, a quarter of the kana's width
// or longer, on the mark's lines, or on the line below it and reaching
// under the mark. Such a mark would read as the bar's dotted end.
bool in_line_with_a_bar(const Coverage& c, int sub, const Piece& p, const Mark& m, int left,
                        int top)
{
    const int w = c.width / sub, h = c.height / sub;
    const std::vector<bool> ink = ink_cells(shares(c, sub), w, h);
    const int longest = std::max(3, p.columns / 4);
    for (int y = top + p.mark_top; y <= top + p.mark_top + m.lines && y < h; ++y) {
        int run = 0;
        for (int x = left + p.left; x < left + p.left + p.columns && x < w; ++x) {
            run = ink[size_t(y) * w + x] ? run + 1 : 0;
            const bool below = y == top + p.mark_top + m.lines;
            if (run >= longest && (!below || x >= left + p.mark_left - 3))
                return true;
        }
    }
    return false;
}

// Whether, on some line, a horizontal stroke of one piece runs up to the
// gap before the next and one of the next runs on from it: two cells of ink
// on either side of the gap.
bool bars_meet(const Coverage& c, int sub, const Piece& before, const Piece& after, int left)
{
    const int w = c.width / sub, h = c.height / sub;
    const std::vector<bool> ink = ink_cells(shares(c, sub), w, h);
    const auto at = [&](int x, int y) { return x >= 0 && x < w && ink[size_t(y) * w + x]; };
    const int end = left + before.left + before.columns, start = left + after.left;
    for (int y = 0; y < h; ++y) {
        const bool from = (at(end - 1, y) && at(end - 2, y)) || (at(end - 2, y) && at(end - 3, y));
        const bool on = (at(start, y) && at(start + 1, y)) || (at(start + 1, y) && at(start + 2, y));
        if (from && on)
            return true;
    }
    return false;
}

}  // namespace

unsigned plain_kana(unsigned c, int& mark)
{
    mark = 0;
    if (c == 0x3094 || c == 0x30F4) {   // vu, of u
        mark = 1;
        return c - 0x4E;
    }
    for (unsigned base : {0x3040u, 0x30A0u}) {
        const unsigned k = c - base;
        // ka to ji: the voiced ones follow their plain kana; tsu to do the
        // same, after the small tsu; ha to ho: the voiced and the
        // semi-voiced ones.
        if ((k >= 0x0C && k <= 0x22 && k % 2 == 0) || (k >= 0x25 && k <= 0x29 && k % 2 == 1)) {
            mark = 1;
            return c - 1;
        }
        if (k >= 0x2F && k <= 0x3D && (k - 0x2F) % 3 != 0) {
            mark = int((k - 0x2F) % 3);
            return c - mark;
        }
    }
    return c;
}

void clear_canvas(const Frame& frame, int columns, int lines, int sub, Coverage& out,
                  int& left, int& top)
{
    left = columns > frame.box_columns ? (frame.width - columns) / 2
                                       : frame.box_left + (frame.box_columns - columns) / 2;
    top = frame.box_top + (frame.box_lines - lines) / 2;
    out.width = frame.width * sub;
    out.height = frame.height * sub;
    out.pixels.assign(size_t(out.width) * out.height, 0);
    out.fixed.assign(size_t(frame.width) * frame.height, -1);
}

namespace {

// The pieces rendered into `out`, which clear_canvas prepared, their ink
// boxes starting at cell (left, top); each piece's ink kept within its own
// columns, so the gap between two characters stays blank. False when
// FreeType fails.
bool render_pieces(FT_Face face, const Style& style, const std::vector<Piece>& pieces,
                   const Frame& frame, int sub, int left, int top, Coverage& out)
{
    const FT_Int32 load = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;
    std::vector<unsigned char> layer(out.pixels.size());
    for (const Piece& p : pieces) {
        const double w = double(p.box.xMax - p.box.xMin), h = double(p.box.yMax - p.box.yMin);
        const double across = p.columns / w, down = p.lines / h;   // cells per font unit
        const double x0 = left + p.left, y0 = top + p.top;          // the ink box, in cells
        FT_Outline& outline = face->glyph->outline;
        if (style.hinting > 0) {
            // Light hinting moves edges up or down only, onto whole lines;
            // the normal one also sideways, onto whole columns.
            const double em_columns = across * face->units_per_EM;
            const double em_lines = down * face->units_per_EM;
            if (FT_Set_Char_Size(face, FT_F26Dot6(std::lround(em_columns * 64)),
                                 FT_F26Dot6(std::lround(em_lines * 64)), 72, 72) != 0)
                return false;
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
        // come in 26.6 cells, from the glyph's origin.
        for (int i = 0; i < outline.n_points; ++i) {
            FT_Vector& v = outline.points[i];
            double x, y;
            if (style.hinting > 0) {
                x = x0 - across * double(p.box.xMin) + v.x / 64.0;
                y = frame.height - (y0 + down * double(p.box.yMax) - v.y / 64.0);
            } else {
                x = x0 + across * double(v.x - p.box.xMin);
                y = frame.height - (y0 + down * double(p.box.yMax - v.y));
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
        const int from = pieces.size() > 1 ? (left + p.left) * sub : 0;
        const int to = pieces.size() > 1 ? (left + p.left + p.columns) * sub : out.width;
        for (int y = 0; y < out.height; ++y)
            for (int x = std::max(0, from); x < std::min(to, out.width); ++x) {
                const size_t i = size_t(y) * out.width + x;
                out.pixels[i] = std::max(out.pixels[i], layer[i]);
            }
    }
    return true;
}

// The lines and the cells' aspect at which the pieces fill the frame's box:
// the most lines whose width fits, on cells as tall as the frame's; a
// compound may take cells down to the frame's narrowest aspect first, so as
// to stand taller. Ink so flat that it would span less than two thirds of
// the box across takes one line more, and as many columns as that asks,
// margins included. Gives the columns.
int fit(std::vector<Piece>& pieces, const Frame& frame, int raise, int& lines, double& aspect,
        double& exact)
{
    const double narrowest = pieces.size() > 1 && frame.narrowest_aspect > 0
                                 ? std::min(frame.narrowest_aspect, frame.cell_aspect)
                                 : frame.cell_aspect;
    int columns = 0;
    for (lines = frame.box_lines - raise; lines > 1; --lines) {
        for (aspect = frame.cell_aspect; aspect > narrowest - 1e-9; aspect -= 0.05)
            if ((columns = lay_out(pieces, lines, aspect, raise, frame, exact)) <= frame.box_columns)
                break;
        if (columns <= frame.box_columns)
            break;
    }
    if (columns > frame.box_columns)
        aspect = frame.cell_aspect;
    columns = lay_out(pieces, lines, aspect, raise, frame, exact);
    if (lines < frame.box_lines - raise && 3 * columns < 2 * frame.box_columns &&
        lay_out(pieces, lines + 1, aspect, raise, frame, exact) <= frame.width)
        columns = lay_out(pieces, ++lines, aspect, raise, frame, exact);
    return columns;
}

// The characters' glyphs, thickened by `weight` thousandths of the em, with
// their ink boxes and marks; false when the face lacks one or has no outline
// for it.
bool load_pieces(FT_Face face, const std::vector<unsigned>& text, int weight,
                 std::vector<Piece>& pieces)
{
    const FT_Int32 load = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;
    pieces.clear();
    for (unsigned c : text) {
        Piece p = {};
        const unsigned plain = plain_kana(c, p.mark);
        p.index = FT_Get_Char_Index(face, plain);
        if (p.index == 0 || FT_Load_Glyph(face, p.index, load) != 0)
            return false;
        FT_GlyphSlot slot = face->glyph;
        if (slot->format != FT_GLYPH_FORMAT_OUTLINE || slot->outline.n_points == 0)
            return false;
        embolden(face, slot->outline, weight);
        FT_Outline_Get_BBox(&slot->outline, &p.box);
        if (p.box.xMax <= p.box.xMin || p.box.yMax <= p.box.yMin)
            return false;
        p.small = text.size() > 1 && is_small_kana(c);
        p.big_width = p.box.xMax - p.box.xMin, p.big_height = p.box.yMax - p.box.yMin;
        // The big form follows its small kana in Unicode.
        FT_BBox big;
        const FT_UInt big_index = p.small ? FT_Get_Char_Index(face, c + 1) : 0;
        if (big_index != 0 && FT_Load_Glyph(face, big_index, load) == 0 &&
            face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
            embolden(face, face->glyph->outline, weight);
            FT_Outline_Get_BBox(&face->glyph->outline, &big);
            if (big.xMax > big.xMin && big.yMax > big.yMin)
                p.big_width = big.xMax - big.xMin, p.big_height = big.yMax - big.yMin;
        }
        pieces.push_back(p);
    }
    return !pieces.empty();
}

}  // namespace

bool draw_text(FT_Face face, const Style& style, const std::vector<unsigned>& text,
               const Frame& frame, int sub, Coverage& out, double& proportions)
{
    if (!FT_IS_SCALABLE(face))
        return draw_dots(face, text, frame, sub, out, proportions);
    std::vector<Piece> pieces;
    const Mark* mark_set = marks[frame.large ? 1 : 0];
    int raise = 0, lines = 0, columns = 0, left = 0, top = 0;
    double aspect = frame.cell_aspect, exact = 0;
    // A mark that stands in line with a bar of its kana, laid out beside it,
    // is raised over it; two characters whose bars meet across the gap
    // between them stand further apart. That is judged on the face's own outlines,
    // unhinted, so that every way of drawing a picture lays it out alike.
    if (!load_pieces(face, text, 0, pieces))
        return false;
    std::vector<bool> raised(pieces.size()), wide_gap(pieces.size());
    if (pieces.size() > 1 ||
        std::any_of(pieces.begin(), pieces.end(), [](const Piece& p) { return p.mark > 0; })) {
        columns = fit(pieces, frame, 0, lines, aspect, exact);
        clear_canvas(frame, columns, lines, sub, out, left, top);
        if (!render_pieces(face, Style(), pieces, frame, sub, left, top, out))
            return false;
        for (size_t i = 0; i < pieces.size(); ++i) {
            const Piece& p = pieces[i];
            if (p.mark && in_line_with_a_bar(out, sub, p, mark_set[p.mark - 1], left, top)) {
                raised[i] = true;
                raise = std::max(raise, mark_set[p.mark - 1].lines + 1);
            }
            wide_gap[i] = i > 0 && bars_meet(out, sub, pieces[i - 1], p, left);
        }
    }
    if (style.weight != 0 && !load_pieces(face, text, style.weight, pieces))
        return false;
    for (size_t i = 0; i < pieces.size(); ++i)
        pieces[i].raised = raised[i], pieces[i].wide_gap = wide_gap[i];
    columns = fit(pieces, frame, raise, lines, aspect, exact);
    proportions = exact / (2.0 * (lines + raise));   // as cells twice as tall as wide show it
    if (style.grid > 0 && pieces.size() == 1 && !pieces[0].mark) {
        // A face drawn on a grid: its ink spans whole dots, and a dot that
        // takes two columns by one line (or a multiple) lands on whole cells.
        Piece& p = pieces[0];
        const double dot = double(face->units_per_EM) / style.grid;
        const long dot_columns = 2 * frame.dot * std::lround((p.box.xMax - p.box.xMin) / dot);
        const long dot_lines = frame.dot * std::lround((p.box.yMax - p.box.yMin) / dot);
        if (dot_columns <= frame.box_columns && dot_lines <= frame.box_lines) {
            p.columns = columns = int(dot_columns), p.lines = lines = int(dot_lines);
            proportions = columns / (2.0 * lines);   // the face's own, in dots
        }
    }
    clear_canvas(frame, columns, lines + raise, sub, out, left, top);
    if (!render_pieces(face, style, pieces, frame, sub, left, top, out))
        return false;
    // The marks, and a blank cell all round each.
    for (const Piece& p : pieces) {
        if (!p.mark)
            continue;
        const Mark& m = mark_set[p.mark - 1];
        const int mx = left + p.mark_left, my = top + p.mark_top;
        for (int y = my - 1; y <= my + m.lines; ++y)
            for (int x = mx - 1; x <= mx + m.columns; ++x) {
                if (x < 0 || y < 0 || x >= frame.width || y >= frame.height)
                    continue;
                const bool inside = x >= mx && y >= my && x < mx + m.columns && y < my + m.lines;
                const bool ink = inside && m.cells[(y - my) * m.columns + (x - mx)] == 'O';
                out.fixed[size_t(y) * frame.width + x] = ink ? 1 : 0;
                for (int sy = 0; sy < sub; ++sy)
                    std::fill_n(&out.pixels[size_t(y * sub + sy) * out.width + x * sub], sub,
                                ink ? 255 : 0);
            }
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
    std::vector<bool> ink = ink_cells(shares(c, sub), w, h, least);
    for (size_t i = 0; i < c.fixed.size() && i < ink.size(); ++i)
        if (c.fixed[i] >= 0)
            ink[i] = c.fixed[i] == 1;
    return ink;
}

bool has_ink(const std::vector<bool>& ink)
{
    return std::find(ink.begin(), ink.end(), true) != ink.end();
}
