// Drawing a catalogue row's picture from its typeface with FreeType: shared
// by the picture generator and the legibility measure.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

#include "catalogue/characters.h"

// The two sets of pictures. A pixel of a picture is a character cell of the
// screen: a picture no larger than the program's limits prints one
// character per pixel and one line per pixel row, the same at any larger
// limits. A cell is about twice as tall as wide, so a glyph is drawn about
// twice as wide as high in pixels.
struct PictureSet {
    const char* directory;   // under the pictures' folder: "" or "large/"
    int width, height;       // pixels
    int max_width, max_height;   // the limits (-x, -y) the set is drawn for
    int fine_scale;          // pixels of the fine drawing to a picture pixel,
                             // each way
};
inline constexpr PictureSet picture_sets[] = {
    {"", 32, 16, 32, 22, 8},        // the default limits: a 24-line screen
                                    // holds a question and its correction
    {"large/", 48, 24, 48, 24, 8},  // kanji on grids of 24 dots, one dot to
                                    // two columns by one line: a 32-line
                                    // screen holds a question and its
                                    // correction
};
constexpr int picture_set_count = 2;
constexpr int large_set = 1;

constexpr int supersampling = 16;  // sub-pixels per pixel, each way

// A cell of the screen shows ink from this share covered.
constexpr double cell_share = 0.5;

// A coverage bitmap, 0 to 255 per sub-pixel, rows top down, and per pixel
// what is drawn whatever the coverage: the voicing marks (1) and the blank
// ring around them (0); -1 elsewhere.
struct Coverage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
    std::vector<signed char> fixed;
};

// Where text goes: a canvas of cells (pixels) and the box within it that
// the ink of the text fills. A cell on screen is `cell_aspect` times as tall
// as wide; the ink spans whole cells, as many as fit with its proportions
// kept, centred in the box.
struct Frame {
    int width, height;                               // cells
    int box_left, box_top, box_columns, box_lines;   // cells
    double cell_aspect;
    int letter_gap;                                  // cells between two characters
    bool large;                                      // the large set's voicing marks
    int dot = 1;             // lines to a dot of a face on a grid (columns: twice)
    double narrowest_aspect = 0;   // two characters or more may be drawn on cells
                                   // down to this many times as tall as wide to
                                   // stand taller; 0: only at cell_aspect
};

// How a face's outlines are drawn.
struct Style {
    int weight = 0;        // thousandths of the em added to every stroke
    int grid = 0;          // dots to the em of a face designed on a grid
    int hinting = 0;       // outlines hinted onto the screen's lines (1), or
                           // its lines and columns (2); 0 for none
};

// Starts FreeType; false when it does not start.
bool start_drawing();
FT_Face open_face(int entry);
std::vector<unsigned> code_points(const char* text);

// The characters set side by side in the frame, on whole cells, their ink as
// large as fits the frame's box with the proportions kept, and rendered at
// `sub` x `sub` sub-pixels per pixel: small kana 70% of their big form each
// way, the characters' ink never in the blank columns between them, voicing
// marks drawn apart from their kana. `proportions` receives the width of the
// ink over its height. False when the face lacks a character or has no
// outline for it.
bool draw_text(FT_Face face, const Style& style, const std::vector<unsigned>& text,
               const Frame& frame, int sub, Coverage& out, double& proportions);
// The share of each block of block x block sub-pixels that the glyph covers.
std::vector<double> shares(const Coverage& c, int block);
// Which cells of a w x h grid of shares show ink: those covered at least
// `least`, or less but no less than a fifth where they are the ridge of a
// thin stroke.
std::vector<bool> ink_cells(const std::vector<double>& share, int w, int h,
                            double least = cell_share);
// Unicode's voiced and semi-voiced kana as their plain kana and mark (1 for
// the two ticks, 2 for the ring); others as they are, mark 0.
unsigned plain_kana(unsigned c, int& mark);

// Clears `out` to the frame at `sub` x `sub` sub-pixels per pixel, nothing
// fixed, and gives the cell where ink of `columns` x `lines` cells starts:
// centred in the box, or in the whole width when wider than the box.
void clear_canvas(const Frame& frame, int columns, int lines, int sub, Coverage& out,
                  int& left, int& top);
// The picture's pixels from a coverage at `sub` sub-pixels per pixel,
// showing ink from `least` covered (see ink_cells), the marks as fixed.
std::vector<bool> reduce(const Coverage& c, int sub, double least = cell_share);
bool has_ink(const std::vector<bool>& ink);
