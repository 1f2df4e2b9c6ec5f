// The pieces render_glyph is built from: the block reader over the glyph
// stream, the column runs, the line bands, the per-format row readers and
// the shade table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Reads the glyph stream in blocks; the header reader has left the stream at
// the first raster byte, and the stream's own buffer is shared, so nothing is
// lost between the two. The inner loops may read a little past `end`: the
// slack is there for that, and reads as zeros after each refill.
constexpr size_t raster_buffer_size = size_t(1) << 17;
constexpr size_t raster_buffer_slack = 64;

struct RasterReader {
    FILE* stream = nullptr;
    unsigned char* pos = nullptr;
    unsigned char* end = nullptr;
    uint64_t unread = 0;                // raster bytes not yet asked of the stream
    bool ended = false;                 // a read found the end of the file
    unsigned char buffer[raster_buffer_size + raster_buffer_slack];
};

// `raster_bytes` is the size of the raster where the format fixes it (the
// raw ones): no more is asked of the stream, so a small file whose raster
// already lies in the stream's buffer needs no further read to find its end.
// The plain formats pass no_raster_size.
constexpr uint64_t no_raster_size = UINT64_MAX;
void start_reader(RasterReader& reader, FILE* stream, uint64_t raster_bytes);

// The raster size of a raw format, or no_raster_size for a plain one.
uint64_t raster_size(char magic, int32_t width, int32_t height);

// Keeps the unread bytes and reads more after them. False, with `ended` set,
// when nothing more could be read (the kept bytes stay readable).
bool refill_reader(RasterReader& reader);

// Reads until `count` bytes (at most raster_buffer_size) lie ready side by
// side, or the file ends.
void ensure_raster_bytes(RasterReader& reader, size_t count);

// Narrow raw pictures (P4, P5 and P6 at most this wide, with output columns
// of at most column_sums_run image columns) are read column by column (see
// sums_by_column below). Where runs are longer, the block inner loops over
// each run cost less.
constexpr int32_t column_sums_width = 4096;
constexpr int32_t column_sums_run = 16;

// Output columns: runs[k] image columns, side by side, fall into output
// column k. The image column c goes to the whole part of c times the stored
// double ratio, the product formed in extended precision. A run may be 0 only
// where that rounding skips an output column. Writes `output_width` runs.
void column_runs(int32_t width, int32_t output_width, double ratio, int64_t* runs);

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
    int32_t* gather = nullptr;             // in one block with the column sums
    int32_t gather_stride = 0;
    ColumnSums columns;
};

// Fits the map to pictures `width` pixels wide printed in `output_width`
// columns. What it holds is kept when the widths are those it was last
// fitted to: a drill shows pictures of one size after another. The ratio
// must be the one the two widths give (`output_width` / `width`, or 1.0 when
// equal). Ends the run when there is no memory for it.
void fit_column_map(ColumnMap& map, int32_t width, int32_t output_width, double ratio);

// The output column of image column `column` (the mapping the runs follow).
int64_t output_column(int64_t column, double ratio);

// Adds `ratio` to the line accumulator once per row, for at most `rows` rows,
// and stops after the row at which it reaches 1.0 (setting `line`, leaving
// the subtraction to the caller). Returns the rows taken. The result is
// exactly that of adding row by row, at a cost that does not grow with the
// number of rows.
int64_t advance_lines(double& accumulator, double ratio, int64_t rows, bool& line);

// Adds one image row's samples to the map's cell sums, run by run. At the end
// of the file the missing samples take the format's constant and reading
// stops; reader.ended then tells the caller that every later row is that
// constant.
void add_raster_row(char magic, RasterReader& reader, ColumnMap& map);

// The raw formats' inner loops. They may read up to raster_buffer_slack
// bytes past the last byte they count, and take no value from there.
// The sum of the bytes:
uint64_t sum_bytes(const unsigned char* bytes, size_t count);
// The sum of the pixel averages, three bytes each divided by 3:
uint64_t sum_pixel_averages(const unsigned char* bytes, size_t pixels);

inline uint64_t count_bits_in_word(uint64_t x)
{
    x = x - ((x >> 1) & 0x5555555555555555u);
    x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0fu;
    return (x * 0x0101010101010101u) >> 56;
}

// Where a raw bitmap row stands between two of its pieces: the run in
// progress, where it ends counted from the next piece's first bit, and the
// set bits it had in the pieces before.
struct BitmapRow {
    int32_t run;
    int64_t run_end;
    int64_t set_earlier;
};
BitmapRow start_bitmap_row(const int64_t* runs, int32_t output_width);
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
// The plain formats' run of `pixels` samples, and the raw grey and colour
// ones: each gives the run's sum, -1 for every sample past the end.
int64_t plain_run(char magic, RasterReader& reader, int64_t pixels);
int64_t raw_grey_run(RasterReader& reader, int64_t pixels);
int64_t raw_colour_run(RasterReader& reader, int64_t pixels);

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

// What a value read past the end of the file counts as: every byte of a raw
// bitmap has all its bits set (eight black pixels); every byte of a raw grey
// or colour map, and every number or digit of a plain raster, is -1.
constexpr int value_past_end(char magic)
{
    return magic == '4' ? 0xff : -1;
}

// The sample of pixel `column` of a row of which only `ready` bytes could be
// read, the rest taking the value past the end (`row` may be null when
// `ready` is 0). In a plain raster every pixel past the end counts as one
// value past the end.
int64_t sample_at_end(char magic, const unsigned char* row, size_t ready, size_t column);

// The four characters for cell averages above 240, 129..240, 65..128 and
// 64 or less, under the grey-shade and reverse switches ('n' is off).
const char* shade_characters(char grey_shades, char reverse);
int shade_level(int64_t average);

// The shade level of a cell whose `count` (at least 1) samples add up to
// `sum`: that of the average truncated toward zero, found without dividing.
// For a threshold t >= 0 the truncated average is above t exactly when
// sum >= (t + 1) * count, whatever the sign of the sum; counts so large that
// the products could overflow are divided after all.
inline int cell_shade_level(int64_t sum, int64_t count)
{
    if (count > INT64_MAX / 241)
        return shade_level(sum / count);
    return (sum < 241 * count) + (sum < 129 * count) + (sum < 65 * count);
}
