// How many of a drawing's strokes a screen of character cells keeps apart:
// shared by the picture generator, which chooses between drawings with it,
// and the legibility measure.
#pragma once

#include <vector>

// Where the program puts each pixel of a picture at given limits: the column
// and line of its cell, -1 for rows it reads but never prints.
struct CellMap {
    std::vector<int> column_of;   // per picture column
    std::vector<int> line_of;     // per picture row
    int columns = 0, lines = 0;
};

CellMap cell_map(int width, int height, int max_width, int max_height);

// The cells that print ink: those holding any ink pixel.
std::vector<bool> screen_cells(const std::vector<bool>& ink, int width, const CellMap& m);

struct StrokeScore {
    int crossings = 0;   // strokes crossing the columns and lines of cells
    int lost = 0;        // of those, merged with a neighbour or dropped
    int specks = 0;      // pieces of one or two cells that the drawing lacks
    int breaks = 0;      // pieces on screen beyond those of the drawing
};

// The screen (columns x lines cells, rows top down) against the fine
// drawing, `fine_scale` pixels to a picture pixel each way, `fine_width`
// pixels wide. Down every column of cells, the strokes of the fine drawing
// that cover at least three eighths of its width are matched in order with the runs of ink on screen; a stroke that finds
// no run of its own within a cell of where it lies is lost. The same across
// every line. A speck is a piece of the screen of one or two cells whose
// fine ink is missing, or belongs to a piece that reaches beyond the cells
// around it.
// The width over the height of the ink on screen, a cell being twice as
// tall as wide at the default limits; 0 for a blank screen. `lines`
// receives the lines the ink spans.
double screen_proportions(const std::vector<bool>& cells, const CellMap& m, int width,
                          int height, int& lines);

// With `stroke_ends` false, a stroke is judged only where the fine drawing
// has it in the columns (lines) on both sides as well: not at its ends,
// which a drawing of another design may place a cell or two apart.
StrokeScore score_screen(const std::vector<bool>& cells, const CellMap& m,
                         const std::vector<bool>& fine, int fine_width, int fine_scale,
                         bool stroke_ends = true);
