// Which pixels meet in a cell: image columns map to output columns in runs,
// and rows to printed lines in bands. The map also holds the storage a
// picture of its widths is summed in.
#pragma once

#include <cstdint>

// Narrow raw pictures (P4, P5 and P6 at most this wide, with output columns
// of at most column_sums_run image columns) are read column by column (see
// row_loops.h). Where runs are longer, the block inner loops over each run
// cost less.
constexpr int32_t column_sums_width = 4096;
constexpr int32_t column_sums_run = 16;

// Output columns: runs[k] image columns, side by side, fall into output
// column k. The image column c goes to the whole part of c times the stored
// double ratio, the product formed in extended precision. A run may be 0 only
// where that rounding skips an output column. Writes `output_width` runs.
void column_runs(int32_t width, int32_t output_width, double ratio, int64_t* runs);

// The output column of image column `column` (the mapping the runs follow).
int64_t output_column(int64_t column, double ratio);

// The column sums of a narrow picture: `width` + 1 of them, the last always
// 0. Raw bitmap rows are first counted in `white`: the white pixels of each
// column, one byte per column in memory order, eight to a word, so that a
// row is added a word per eight pixels. They go into the sums before any
// byte could pass 255.
struct ColumnSums {
    int32_t width = 0;
    int32_t* sums = nullptr;
    uint64_t* white = nullptr;
    int32_t white_rows = 0;   // rows counted in `white`
    int32_t rows = 0;         // rows added since the sums were last emptied
};

// The runs for one pair of widths, and the storage a picture of those widths
// works in: the cell sums, a count per 64 pixels for raw bitmap rows, and
// for narrow pictures the column sums and a gather table: for each output
// column, `gather_stride` entries, the image columns of its run padded with
// `width` (a column sum that stays 0); the stride is the longest run, and at
// least 2. Other maps have no column sums and no table.
struct ColumnMap {
    int32_t width = -1;
    int32_t output_width = -1;
    int64_t* runs = nullptr;               // the start of one block with sums and set_before_word
    int64_t* sums = nullptr;
    uint32_t* set_before_word = nullptr;
    int32_t* gather = nullptr;             // in the block that columns.white starts
    int32_t gather_stride = 0;
    ColumnSums columns;
};

// Fits the map to pictures `width` pixels wide printed in `output_width`
// columns. What it holds is kept when the widths are those it was last
// fitted to: a drill shows pictures of one size after another. The ratio
// must be the one the two widths give (`output_width` / `width`, or 1.0 when
// equal). Ends the run when there is no memory for it.
void fit_column_map(ColumnMap& map, int32_t width, int32_t output_width, double ratio);

// Adds `ratio` to the line accumulator once per row, for at most `rows` rows,
// and stops after the row at which it reaches 1.0 (setting `line`, leaving
// the subtraction to the caller). Returns the rows taken. The result is
// exactly that of adding row by row, at a cost that does not grow with the
// number of rows.
int64_t advance_lines(double& accumulator, double ratio, int64_t rows, bool& line);
