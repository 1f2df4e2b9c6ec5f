// The pieces render_glyph is built from: the block reader over the glyph
// stream, the column runs, the line bands, the per-format row readers and
// the shade table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Reads the glyph stream in blocks; the header reader has left the stream at
// the first raster byte, and the stream's own buffer is shared, so nothing is
// lost between the two.
struct RasterReader {
    FILE* stream = nullptr;
    const unsigned char* pos = nullptr;
    const unsigned char* end = nullptr;
    bool ended = false;                 // a read found the end of the file
    unsigned char buffer[1 << 16];
};

void start_reader(RasterReader& reader, FILE* stream);

// Keeps the unread bytes and reads more after them. False, with `ended` set,
// when nothing more could be read.
bool refill_reader(RasterReader& reader);

// The next byte, or -1 at the end of the file.
inline int next_raster_byte(RasterReader& reader)
{
    if (reader.pos == reader.end && !refill_reader(reader))
        return -1;
    return *reader.pos++;
}

// Output columns: runs[k] image columns, side by side, fall into output
// column k. The image column c goes to the whole part of c times the stored
// double ratio, the product formed in extended precision. A run may be 0 only
// where that rounding skips an output column. Writes `output_width` runs.
void column_runs(int32_t width, int32_t output_width, double ratio, int64_t* runs);

// The output column of image column `column` (the mapping the runs follow).
int64_t output_column(int64_t column, double ratio);

// Adds `ratio` to the line accumulator once per row, for at most `rows` rows,
// and stops after the row at which it reaches 1.0 (setting `line`, leaving
// the subtraction to the caller). Returns the rows taken. The result is
// exactly that of adding row by row, at a cost that does not grow with the
// number of rows.
int64_t advance_lines(double& accumulator, double ratio, int64_t rows, bool& line);

// Adds one image row's samples to the cell sums, run by run. At the end of
// the file the missing samples take the format's constant and reading stops;
// reader.ended then tells the caller that every later row is that constant.
void add_raster_row(char magic, RasterReader& reader, const int64_t* runs, int32_t output_width,
                    int64_t* sums);

// What every sample read past the end of the file counts as.
int64_t sample_past_end(char magic);

// The four characters for cell averages above 240, 129..240, 65..128 and
// 64 or less, under the grey-shade and reverse switches ('n' is off).
const char* shade_characters(char grey_shades, char reverse);
int shade_level(int64_t average);
