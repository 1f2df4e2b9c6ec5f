// Narrow raw pictures, column by column: each row's samples are added to a
// sum per image column, and only once per printed line are the columns
// folded into the output cells. Pictures a few thousand pixels wide or less
// are far cheaper this way than by working out every output column's run in
// every row.
#include <algorithm>
#include <cassert>
#include <cstring>

#include "glyph/row_loops.h"

// A column sum holds at most column_sums_rows samples of -1 to 255, and so
// does a cell of a band that lies in the column sums alone.
static_assert(255 * int64_t{column_sums_rows} <= INT32_MAX, "column sums within 32 bits");
static_assert(241 * int64_t{column_sums_rows} <= INT32_MAX, "cell comparisons within 32 bits");

namespace {

// The white pixels of each raw bitmap byte, one byte per pixel in memory
// order (the leftmost pixel, the most significant bit, first): 1 for a clear
// bit, 0 for a set one. Added as words to ColumnSums::white, each byte
// counts its own column, since no byte there carries into the next.
struct WhiteBytes {
    unsigned char of[256][8];
    constexpr WhiteBytes() : of()
    {
        for (int byte = 0; byte < 256; ++byte) {
            for (int bit = 0; bit < 8; ++bit)
                of[byte][bit] = (byte >> (7 - bit)) & 1 ? 0 : 1;
        }
    }
};
constexpr WhiteBytes white_bytes;

size_t row_size(char magic, int32_t width)
{
    const size_t pixels = static_cast<size_t>(width);
    return magic == '4' ? (pixels + 7) / 8 : magic == '5' ? pixels : 3 * pixels;
}

// Moves the white pixels counted so far into the sums, as 255 each.
void settle_white(ColumnSums& columns)
{
    if (columns.white_rows == 0)
        return;
    // Held apart from the columns, which the stores could otherwise change.
    const int32_t width = columns.width;
    int32_t* const sums = columns.sums;
    const unsigned char* const white = reinterpret_cast<const unsigned char*>(columns.white);
    for (int32_t c = 0; c < width; ++c)
        sums[c] += 255 * white[c];
    std::fill_n(columns.white, (width + 7) / 8, 0);
    columns.white_rows = 0;
}

void count_white_pixels(const unsigned char* row, size_t row_bytes, ColumnSums& columns)
{
    for (size_t byte = 0; byte < row_bytes; ++byte) {
        uint64_t white;
        std::memcpy(&white, white_bytes.of[row[byte]], sizeof white);
        columns.white[byte] += white;
    }
    if (++columns.white_rows == 255)
        settle_white(columns);
}

// The row in which the file ends, `ready` bytes of it read.
void add_short_row(char magic, const unsigned char* row, size_t ready, ColumnSums& columns)
{
    for (int32_t c = 0; c < columns.width; ++c)
        columns.sums[c] += static_cast<int32_t>(sample_at_end(magic, row, ready, size_t(c)));
}

}  // namespace

bool sums_by_column(char magic, const ColumnMap& map)
{
    return (magic == '4' || magic == '5' || magic == '6') && map.gather;
}

void start_column_sums(ColumnSums& columns)
{
    std::fill_n(columns.sums, columns.width + 1, 0);
    std::fill_n(columns.white, (columns.width + 7) / 8, 0);
    columns.white_rows = 0;
    columns.rows = 0;
}

void add_row_to_columns(char magic, RasterReader& reader, ColumnSums& columns)
{
    assert(columns.rows < column_sums_rows);
    ++columns.rows;
    const int32_t width = columns.width;
    const size_t row_bytes = row_size(magic, width);
    ensure_raster_bytes(reader, row_bytes);
    const unsigned char* row = reader.pos;
    const size_t ready = static_cast<size_t>(reader.end - reader.pos);
    if (ready < row_bytes) {
        add_short_row(magic, row, ready, columns);
        reader.pos = reader.end;
        return;
    }
    int32_t* sums = columns.sums;
    if (magic == '4') {
        count_white_pixels(row, row_bytes, columns);
    } else if (magic == '5') {
        for (int32_t c = 0; c < width; ++c)
            sums[c] += row[c];
    } else {
        for (int32_t c = 0; c < width; ++c) {
            const unsigned char* pixel = row + 3 * c;
            sums[c] += (pixel[0] + pixel[1] + pixel[2]) / 3;
        }
    }
    reader.pos += row_bytes;
}

void fold_columns(ColumnMap& map)
{
    settle_white(map.columns);
    const int32_t output_width = map.output_width;
    const int64_t* const runs = map.runs;
    int64_t* const sums = map.sums;
    int32_t* column = map.columns.sums;
    for (int32_t k = 0; k < output_width; ++k) {
        int64_t sum = 0;
        for (int64_t i = 0; i < runs[k]; ++i) {
            sum += *column;
            *column++ = 0;
        }
        sums[k] += sum;
    }
    map.columns.rows = 0;
}

void narrow_line(ColumnMap& map, const char* characters, char* line)
{
    ColumnSums& columns = map.columns;
    const int32_t rows = columns.rows;
    assert(int64_t{rows} * map.gather_stride <= column_sums_rows);
    settle_white(columns);
    const int32_t output_width = map.output_width, stride = map.gather_stride;
    const int32_t* const gather = map.gather;
    const int64_t* const runs = map.runs;
    const int32_t* const column = columns.sums;
    // The comparisons of cell_shade_level.
    const int32_t above_240 = 241 * rows, above_128 = 129 * rows, above_64 = 65 * rows;
    if (stride == 2 && characters[1] == characters[2] && characters[2] == characters[3]) {
        // The usual drill, in one pass: runs of one or two columns, and
        // characters (the default ones or their reverse) that only the first
        // comparison tells apart.
        for (int32_t k = 0; k < output_width; ++k) {
            const int32_t sum = column[gather[2 * k]] + column[gather[2 * k + 1]];
            line[k] = characters[sum < above_240 * static_cast<int32_t>(runs[k])];
        }
    } else {
        int32_t sums[column_sums_width];
        if (stride == 2) {
            for (int32_t k = 0; k < output_width; ++k)
                sums[k] = column[gather[2 * k]] + column[gather[2 * k + 1]];
        } else {
            for (int32_t k = 0; k < output_width; ++k) {
                int32_t sum = 0;
                for (int32_t j = 0; j < stride; ++j)
                    sum += column[gather[k * stride + j]];
                sums[k] = sum;
            }
        }
        for (int32_t k = 0; k < output_width; ++k) {
            const int32_t sum = sums[k], run = static_cast<int32_t>(runs[k]);
            line[k] = characters[(sum < above_240 * run) + (sum < above_128 * run)
                                 + (sum < above_64 * run)];
        }
    }
    std::fill_n(columns.sums, map.width, 0);
    columns.rows = 0;
}
