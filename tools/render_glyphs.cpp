// Draws the picture of every catalogue row from a typeface and writes it as a
// raw PBM under <out>/<Set>/<image file>.
//
//   render_glyphs [-o DIR] [Set/file.pbm ...]   all rows, or the rows named
//   render_glyphs --list [Set/file.pbm ...]     the face that draws each row
//                                               and the glyph's proportions
//   render_glyphs --logo                        the version logo, as C++
//
// Each picture is 64 x 44 pixels: at the default limits the program reduces
// it to 32 columns by 22 lines, two pixels to a column and two rows to a
// line. A terminal cell is about twice as tall as wide, so a glyph is drawn
// about twice as wide as high in pixels to keep its proportions on screen.
// Rendering is deterministic: the same fonts give the same bytes.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BBOX_H
#include FT_BITMAP_H

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/characters.h"
#include "tools/typefaces.h"

namespace {

constexpr int picture_width = 64;
constexpr int picture_height = 44;
constexpr int supersampling = 16;  // sub-pixels per pixel, each way
// A character cell of the terminal (two by two pixels) shows ink when the
// glyph covers at least `cell_share` of it, or at least `faint_share` where
// the cell is a ridge of a thin stroke (it is covered more than the cell
// on one side and no less than the cell on the other, across or down, and
// the stroke does not run on solidly beyond it), so hairlines stay without
// strokes swelling. Within a cell that shows ink, the pixels covered at
// least `pixel_share` are ink, and the cell's most covered pixel always,
// which grades the cell for the shaded display.
constexpr double cell_share = 0.5;
constexpr double faint_share = 0.2;
constexpr double pixel_share = 0.5;
// Between the ink of two characters of one picture, in ems: closer than the
// full-width advances of the typeface, as proportional setting has it, so
// that compound syllables are drawn larger.
constexpr double letter_gap = 0.1;
// Two or three characters in one picture are drawn at about half the size
// of one: their strokes are thickened by this many thousandths of the em to
// stay whole on screen.
constexpr int compound_weight = 30;

FT_Library library;

struct Face {
    FT_Face face = nullptr;
    bool tried = false;
};
Face faces[typeface_count];

FT_Face open_face(int entry)
{
    Face& f = faces[entry];
    if (!f.tried) {
        f.tried = true;
        const Typeface& t = typefaces[entry];
        if (FT_New_Face(library, t.file, t.face_index, &f.face) != 0) {
            std::fprintf(stderr, "render_glyphs: cannot open %s (%s)\n", t.file, t.name);
            f.face = nullptr;
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

// A coverage bitmap, 0 to 255 per pixel, rows top down.
struct Coverage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

// Thickens every stroke of an unscaled outline by `weight` thousandths of
// the em.
void embolden(FT_Face face, FT_Outline& outline, int weight)
{
    if (weight > 0)
        FT_Outline_Embolden(&outline, FT_Pos(weight) * face->units_per_EM / 1000);
}

// Where text goes: a canvas of whole pixels, `cell_width` x `cell_height`
// pixels to a character cell of the terminal, and the box within it, in
// cells, that the ink of the text fills. A cell on screen is `cell_aspect`
// times as tall as wide; the ink spans whole cells, as many as fit with
// its proportions kept, centred in the box.
struct Frame {
    int width, height;                  // pixels
    int cell_width, cell_height;        // pixels
    int box_left, box_top, box_columns, box_lines;   // cells
    double cell_aspect;
    double letter_gap;                  // ems between the ink of two characters
};

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

// The characters set side by side, the frame's letter gap apart, on the
// face's own baseline (its small kana are small by themselves), rendered
// into the frame at `sub` x `sub` sub-pixels per pixel. `proportions`
// receives the width of the ink over its height in the typeface. False
// when the face lacks a character or has no outline for it.
bool draw_text(FT_Face face, int weight, const std::vector<unsigned>& text, const Frame& frame,
               int sub, Coverage& out, double& proportions)
{
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
        embolden(face, slot->outline, weight);
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
    // Pixels per font unit across and down, and where the ink box begins.
    const double across = double(columns * frame.cell_width) / double(x1 - x0);
    const double down = double(lines * frame.cell_height) / double(y1 - y0);
    const int free_columns = frame.width / frame.cell_width - columns;
    const double left =
        (columns > frame.box_columns ? free_columns / 2
                                     : frame.box_left + (frame.box_columns - columns) / 2) *
        frame.cell_width;
    const double top = (frame.box_top + (frame.box_lines - lines) / 2) * frame.cell_height;

    out.width = frame.width * sub;
    out.height = frame.height * sub;
    out.pixels.assign(size_t(out.width) * out.height, 0);
    std::vector<unsigned char> layer(out.pixels.size());
    for (const Placed& p : placed) {
        FT_Load_Glyph(face, p.index, load);
        FT_Outline& outline = face->glyph->outline;
        embolden(face, outline, weight);
        // Outline coordinates become 26.6 sub-pixels, y upward from the
        // bottom of the canvas, as the rasteriser expects.
        for (int i = 0; i < outline.n_points; ++i) {
            FT_Vector& v = outline.points[i];
            const double x = left + across * double(v.x + p.pen - x0);
            const double y = frame.height - (top + down * double(y1 - v.y));
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

// Which cells of a w x h grid of shares show ink (see cell_share).
std::vector<bool> ink_cells(const std::vector<double>& share, int w, int h)
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
            ink[size_t(y) * w + x] = c >= cell_share || (c >= faint_share && ridge);
        }
    return ink;
}

// The picture's pixels from the coverage at `sub` sub-pixels per pixel.
std::vector<bool> reduce(const Coverage& c, int sub)
{
    const int w = c.width / sub, h = c.height / sub;
    const std::vector<double> pixel = shares(c, sub);
    const std::vector<bool> cells = ink_cells(shares(c, 2 * sub), w / 2, h / 2);
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
                    ink[i] = pixel[i] >= pixel_share;
                }
            ink[darkest] = true;
        }
    return ink;
}

bool has_ink(const std::vector<bool>& ink)
{
    return std::find(ink.begin(), ink.end(), true) != ink.end();
}

// The picture of a row in the given face; empty when the face cannot draw it.
std::vector<bool> draw_picture(int entry, const char* characters, double& proportions)
{
    FT_Face face = open_face(entry);
    if (!face)
        return {};
    // One blank column at either side, one blank line above and below.
    const Frame frame = {picture_width, picture_height, 2, 2, 1, 1,
                         picture_width / 2 - 2, picture_height / 2 - 2, 2.0, letter_gap};
    const std::vector<unsigned> text = code_points(characters);
    const int weight = typefaces[entry].embolden + (text.size() > 1 ? compound_weight : 0);
    Coverage coverage;
    if (!draw_text(face, weight, text, frame, supersampling, coverage, proportions))
        return {};
    std::vector<bool> ink = reduce(coverage, supersampling);
    return has_ink(ink) ? ink : std::vector<bool>();
}

std::string pbm(const std::vector<bool>& ink)
{
    std::string out = "P4\n" + std::to_string(picture_width) + " " +
                      std::to_string(picture_height) + "\n";
    for (int y = 0; y < picture_height; ++y)
        for (int x = 0; x < picture_width; x += 8) {
            unsigned char byte = 0;
            for (int b = 0; b < 8 && x + b < picture_width; ++b)
                if (ink[size_t(y) * picture_width + x + b])
                    byte |= 0x80 >> b;
            out += char(byte);
        }
    return out;
}

bool make_directory(const std::string& path)
{
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

using Row = CatalogueRow;

std::string row_name(const Row& r)
{
    return std::string(set_table[r.set_number - 1].name) + "/" + symbol_table[r.row].image_file;
}

// The picture of a row in its face, or else in the faces its face falls
// back on, in turn; `entry` is left at the face that drew it.
std::vector<bool> draw_row(const Row& r, int& entry, double& proportions)
{
    const char* characters = symbol_characters[r.row];
    entry = typeface_for(r.set_number, symbol_table[r.row].image_file);
    std::vector<bool> ink;
    while (entry >= 0 && (ink = draw_picture(entry, characters, proportions)).empty())
        entry = typefaces[entry].fallback;
    if (ink.empty())
        std::fprintf(stderr, "render_glyphs: no face draws %s (\"%s\")\n",
                     row_name(r).c_str(), characters);
    return ink;
}

bool write_row(const Row& r, const std::string& out_dir)
{
    int entry;
    double proportions;
    const std::vector<bool> ink = draw_row(r, entry, proportions);
    if (ink.empty())
        return false;
    const std::string directory = out_dir + "/" + set_table[r.set_number - 1].name;
    const std::string path = out_dir + "/" + row_name(r);
    if (!make_directory(directory)) {
        std::fprintf(stderr, "render_glyphs: cannot create %s\n", directory.c_str());
        return false;
    }
    const std::string bytes = pbm(ink);
    FILE* f = std::fopen(path.c_str(), "wb");
    const bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (!(f && std::fclose(f) == 0 && written)) {
        std::fprintf(stderr, "render_glyphs: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

bool list_row(const Row& r)
{
    int entry;
    double proportions;
    if (draw_row(r, entry, proportions).empty())
        return false;
    std::printf("%s\t%s\t%s\t%.3f\n", row_name(r).c_str(), symbol_characters[r.row],
                typefaces[entry].name, proportions);
    return true;
}

// The two kanji of the program's name, nine lines of 34 characters, one
// character per cell, printed as the C++ constant the program holds.
int print_logo()
{
    constexpr int columns = 34, lines = 9;
    FT_Face face = open_face(bold_typeface);
    const Frame frame = {columns, lines, 1, 1, 0, 0, columns, lines, 2.0, letter_gap};
    Coverage coverage;
    double proportions;
    if (!face || !draw_text(face, 0, code_points("日本"), frame, supersampling, coverage,
                            proportions)) {
        std::fprintf(stderr, "render_glyphs: cannot draw the logo\n");
        return 1;
    }
    const std::vector<bool> ink = ink_cells(shares(coverage, supersampling), columns, lines);
    std::printf("static const char version_logo[] =\n");
    for (int y = 0; y < lines; ++y) {
        std::string line;
        for (int x = 0; x < columns; ++x)
            line += ink[size_t(y) * columns + x] ? '#' : ' ';
        std::printf("    \"%s\\n\"%s\n", line.c_str(), y + 1 == lines ? ";" : "");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string out_dir = "glyphs";
    std::vector<std::string> names;
    bool logo = false, list = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-o" && i + 1 < argc) {
            out_dir = argv[++i];
        } else if (arg == "--logo") {
            logo = true;
        } else if (arg == "--list") {
            list = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "usage: render_glyphs [-o DIR] [Set/file.pbm ...]\n"
                                 "       render_glyphs --list [Set/file.pbm ...]\n"
                                 "       render_glyphs --logo\n");
            return 2;
        } else {
            names.push_back(arg);
        }
    }
    if (FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "render_glyphs: FreeType does not start\n");
        return 1;
    }
    if (logo)
        return print_logo();
    const std::vector<Row> every_row = catalogue_rows();
    std::vector<Row> rows = names.empty() ? every_row : std::vector<Row>();
    for (const std::string& name : names) {
        const auto found = std::find_if(every_row.begin(), every_row.end(),
                                        [&](const Row& r) { return row_name(r) == name; });
        if (found == every_row.end()) {
            std::fprintf(stderr, "render_glyphs: no row %s\n", name.c_str());
            return 1;
        }
        rows.push_back(*found);
    }
    if (!list && !make_directory(out_dir)) {
        std::fprintf(stderr, "render_glyphs: cannot create %s\n", out_dir.c_str());
        return 1;
    }
    int failed = 0;
    for (const Row& r : rows)
        failed += !(list ? list_row(r) : write_row(r, out_dir));
    return failed ? 1 : 0;
}
