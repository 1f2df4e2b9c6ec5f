// Narrow raw pictures, column by column: each row's samples are added to a
// sum per image column, and only once per printed line are the columns
// folded into the output cells. Pictures a few thousand pixels wide or less
// are far cheaper this way than by working out every output column's run in
// every row.
#include <algorithm>
#include <cstring>

#include "glyph/raster.h"

namespace {

// The samples of the eight pixels of each raw bitmap byte, as grey bytes: a
// set bit is black (0), a clear one white (255), the most significant bit
// leftmost.
struct BitSamples {
    unsigned char of[256][8];
    constexpr BitSamples() : of()
    {
        for (int byte = 0; byte < 256; ++byte) {
            for (int bit = 0; bit < 8; ++bit)
                of[byte][bit] = (byte >> (7 - bit)) & 1 ? 0 : 255;
        }
    }
};
constexpr BitSamples bit_samples;

size_t row_size(char magic, int32_t width)
{
    const size_t pixels = static_cast<size_t>(width);
    return magic == '4' ? (pixels + 7) / 8 : magic == '5' ? pixels : 3 * pixels;
}

void add_grey_samples(const unsigned char* row, int32_t width, int32_t* columns)
{
    for (int32_t c = 0; c < width; ++c)
        columns[c] += row[c];
}

// A bitmap row becomes a row of grey samples first, eight at a time.
void add_bitmap_samples(const unsigned char* row, size_t row_bytes, int32_t width,
                        int32_t* columns)
{
    unsigned char grey[column_sums_width + 8];
    for (size_t byte = 0; byte < row_bytes; ++byte)
        std::memcpy(grey + 8 * byte, bit_samples.of[row[byte]], 8);
    add_grey_samples(grey, width, columns);
}

// The row in which the file ends, `ready` bytes of it read: every missing
// byte counts as -1 in grey and colour maps, and as all bits set in bitmaps.
void add_short_row(char magic, const unsigned char* row, size_t ready, int32_t width,
                   int32_t* columns)
{
    auto byte = [&](size_t i) -> int32_t { return i < ready ? row[i] : magic == '4' ? 255 : -1; };
    for (int32_t c = 0; c < width; ++c) {
        const size_t i = static_cast<size_t>(c);
        if (magic == '4')
            columns[c] += (byte(i / 8) >> (7 - i % 8)) & 1 ? 0 : 255;
        else if (magic == '5')
            columns[c] += byte(i);
        else
            columns[c] += (byte(3 * i) + byte(3 * i + 1) + byte(3 * i + 2)) / 3;
    }
}

}  // namespace

bool sums_by_column(char magic, const ColumnMap& map)
{
    return (magic == '4' || magic == '5' || magic == '6') && map.gather;
}

void add_row_to_columns(char magic, RasterReader& reader, int32_t width, int32_t* columns)
{
    const size_t row_bytes = row_size(magic, width);
    ensure_raster_bytes(reader, row_bytes);
    const unsigned char* row = reader.pos;
    const size_t ready = static_cast<size_t>(reader.end - reader.pos);
    if (ready < row_bytes) {
        add_short_row(magic, row, ready, width, columns);
        reader.pos = reader.end;
        return;
    }
    if (magic == '4') {
        add_bitmap_samples(row, row_bytes, width, columns);
    } else if (magic == '5') {
        add_grey_samples(row, width, columns);
    } else {
        for (int32_t c = 0; c < width; ++c) {
            const unsigned char* pixel = row + 3 * c;
            columns[c] += (pixel[0] + pixel[1] + pixel[2]) / 3;
        }
    }
    reader.pos += row_bytes;
}

void fold_columns(int32_t* columns, const int64_t* runs, int32_t output_width, int64_t* sums)
{
    int32_t* column = columns;
    for (int32_t k = 0; k < output_width; ++k) {
        int64_t sum = 0;
        for (int64_t i = 0; i < runs[k]; ++i) {
            sum += *column;
            *column++ = 0;
        }
        sums[k] += sum;
    }
}

void narrow_line(int32_t* columns, const ColumnMap& map, int32_t rows, const char* characters,
                 char* line)
{
    const int32_t output_width = map.output_width, longest_run = map.longest_run;
    const int32_t* const gather = map.gather;
    // Each cell's sum through its run's entries in the gather table; the
    // usual runs of one or two columns go without an inner loop.
    int32_t sums[column_sums_width];
    if (longest_run == 2) {
        for (int32_t k = 0; k < output_width; ++k)
            sums[k] = columns[gather[2 * k]] + columns[gather[2 * k + 1]];
    } else {
        for (int32_t k = 0; k < output_width; ++k) {
            int32_t sum = 0;
            for (int32_t j = 0; j < longest_run; ++j)
                sum += columns[gather[k * longest_run + j]];
            sums[k] = sum;
        }
    }
    std::fill_n(columns, map.width, 0);
    // The comparisons of cell_shade_level, in 32 bits. With the default
    // characters (and their reverse) only the first one tells them apart.
    const int64_t* const runs = map.runs;
    const int32_t above_240 = 241 * rows, above_128 = 129 * rows, above_64 = 65 * rows;
    if (characters[1] == characters[2] && characters[2] == characters[3]) {
        for (int32_t k = 0; k < output_width; ++k)
            line[k] = characters[sums[k] < above_240 * static_cast<int32_t>(runs[k])];
    } else {
        for (int32_t k = 0; k < output_width; ++k) {
            const int32_t sum = sums[k], run = static_cast<int32_t>(runs[k]);
            line[k] = characters[(sum < above_240 * run) + (sum < above_128 * run)
                                 + (sum < above_64 * run)];
        }
    }
}
