// Rows into the cell sums: by runs for every format, and column by column
// for narrow raw pictures; the inner loops they share.
#pragma once

#include <cstddef>
#include <cstdint>

#include "glyph/column_map.h"
#include "glyph/raster_reader.h"

// Adds one image row's samples to the map's cell sums, run by run. At the end
// of the file the missing samples take the format's constant and reading
// stops; reader.ended then tells the caller that every later row is that
// constant.
void add_raster_row(char magic, RasterReader& reader, ColumnMap& map);

// The sample of pixel `column` of a row of which only `ready` bytes could be
// read, the rest taking the value past the end (`row` may be null when
// `ready` is 0). In a plain raster every pixel past the end counts as one
// value past the end.
int64_t sample_at_end(char magic, const unsigned char* row, size_t ready, size_t column);

// The sum of the plain formats' run of `pixels` samples, -1 for every sample
// past the end.
int64_t plain_run(char magic, RasterReader& reader, int64_t pixels);

// The raw formats' inner loops. They may read up to raster_buffer_slack
// bytes past the last byte they count, and take no value from there.
// The sum of the bytes:
uint64_t sum_bytes(const unsigned char* bytes, size_t count);
// The sum of the pixel averages, three bytes each divided by 3:
uint64_t sum_pixel_averages(const unsigned char* bytes, size_t pixels);

// Where a raw bitmap row stands between two of its pieces: the run in
// progress, and where it started, in bits and in set bits, both counted from
// the next piece's first bit (so 0 or less).
struct BitmapRow {
    int32_t run = 0;
    int64_t start = 0;
    int64_t set_at_start = 0;
};
// Adds the runs that end within the first `bits` bits of `piece` (readable 8
// bytes past its end) to the cells, and carries the run in progress over to
// the next piece, which starts at bit `bits`: a multiple of 64 where a piece
// follows. `count_instruction` uses the processor's bit-count instruction
// where it has one, and gives the same sums. The scratch needs room for a
// count per 64 bits, and one more.
void add_bitmap_piece(const unsigned char* piece, int64_t bits, const int64_t* runs,
                      int32_t output_width, int64_t* sums, bool count_instruction,
                      uint32_t* set_before_word, BitmapRow& row);
// Adds one raw bitmap row to the map's cell sums, in pieces of at most
// raster_buffer_size bytes. Bytes past the end of the file have every bit
// set.
void add_bitmap_row(RasterReader& reader, ColumnMap& map);

// Narrow raw pictures go column by column: each row is added to a sum per
// image column, and the columns are folded into the cells once per printed
// line, or after column_sums_rows rows at the latest.
constexpr int32_t column_sums_rows = int32_t(1) << 16;
bool sums_by_column(char magic, const ColumnMap& map);

void start_column_sums(ColumnSums& columns);
// Adds one row to the column sums; at the end of the file the missing
// samples count as in add_raster_row, and reader.ended is set.
void add_row_to_columns(char magic, RasterReader& reader, ColumnSums& columns);
// Adds the column sums, run by run, to the cell sums, and empties them.
void fold_columns(ColumnMap& map);
// Writes the characters of one line to `line` (output width of them) for a
// band that lies in the column sums alone, and empties the column sums. The
// cells' counts, runs[k] times the band's rows, must be at most
// column_sums_rows.
void narrow_line(ColumnMap& map, const char* characters, char* line);
