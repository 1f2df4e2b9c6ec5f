// Drawing a catalogue row's picture from its typeface with FreeType: shared
// by the picture generator and the legibility measure.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

#include "catalogue/characters.h"

constexpr int picture_width = 64;
constexpr int picture_height = 44;
constexpr int supersampling = 16;  // sub-pixels per pixel, each way
// Between the ink of two characters of one picture, in ems: closer than the
// full-width advances of the typeface, as proportional setting has it, so
// that compound syllables are drawn larger.
constexpr double letter_gap = 0.1;
// The fine drawing has this many pixels to a picture pixel, each way: eight
// to a character cell at the default limits.
constexpr int fine_scale = 4;

// A cell of the screen shows ink from this share covered.
constexpr double cell_share = 0.5;

// A coverage bitmap, 0 to 255 per pixel, rows top down.
struct Coverage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

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

// How a face's outlines are drawn.
struct Style {
    int weight = 0;        // thousandths of the em added to every stroke
    int grid = 0;          // dots to the em of a face designed on a grid
    int hinting = 0;       // outlines hinted onto the screen's lines (1), or
                           // its lines and columns (2); 0 for none
};

// A row's picture as the generator draws it.
struct Drawing {
    std::vector<bool> ink;     // picture_width x picture_height, rows top down
    std::vector<bool> fine;    // the same character, fine_scale times finer
                               // each way, unhinted
    int entry = -1;            // the typeface that drew it
    Style style;               // how its outlines were drawn
    double least = cell_share; // the share of a cell that showed ink
    double proportions = 0;    // the ink's width over its height in the face
};

// Starts FreeType; false when it does not start.
bool start_drawing();
FT_Face open_face(int entry);
std::vector<unsigned> code_points(const char* text);

// The characters set side by side in the frame and rendered at `sub` x `sub`
// sub-pixels per pixel; false when the face lacks one of them.
bool draw_text(FT_Face face, const Style& style, const std::vector<unsigned>& text,
               const Frame& frame, int sub, Coverage& out, double& proportions);
// The share of each block of block x block sub-pixels that the glyph covers.
std::vector<double> shares(const Coverage& c, int block);
// Which cells of a w x h grid of shares show ink: those covered at least
// `least`, or less but no less than a fifth where they are the ridge of a
// thin stroke.
std::vector<bool> ink_cells(const std::vector<double>& share, int w, int h,
                            double least = cell_share);

// The characters of a bitmap face drawn a dot to two columns by one line;
// false when the face lacks one or they do not fit the frame.
bool draw_dots(FT_Face face, const std::vector<unsigned>& text, const Frame& frame, int sub,
               Coverage& out, double& proportions);
// The picture's pixels from a coverage at `sub` sub-pixels per pixel, its
// cells showing ink from `least` covered (see ink_cells).
std::vector<bool> reduce(const Coverage& c, int sub, double least = cell_share);
bool has_ink(const std::vector<bool>& ink);

std::string row_name(const CatalogueRow& r);
// The picture of a row in its face, or else in the faces its face falls
// back on; false (with a message) when none draws it.
bool draw_row(const CatalogueRow& r, Drawing& drawing);
