// The column map of a picture, and the storage sized by it.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "control/fail.h"
#include "glyph/column_map.h"
#include "glyph/raster_reader.h"

int64_t output_column(int64_t column, double ratio)
{
    // Not rounded to double first: where the stored ratio lies just below the
    // true quotient, a column whose true position is whole goes one column
    // to the left.
    return static_cast<int64_t>(static_cast<long double>(column) * static_cast<long double>(ratio));
}

namespace {

// The first image column that maps to output column k or beyond.
int64_t first_column_of(int64_t k, int32_t width, double ratio)
{
    const long double estimate = std::ceil(static_cast<long double>(k) / ratio);
    int64_t column = estimate < 0 ? 0 : estimate > width ? width : static_cast<int64_t>(estimate);
    while (column > 0 && output_column(column - 1, ratio) >= k)
        --column;
    while (column < width && output_column(column, ratio) < k)
        ++column;
    return column;
}

}  // namespace

void column_runs(int32_t width, int32_t output_width, double ratio, int64_t* runs)
{
    if (output_width == width) {
        for (int32_t k = 0; k < output_width; ++k)
            runs[k] = 1;
        return;
    }
    int64_t begin = 0;
    for (int32_t k = 0; k < output_width; ++k) {
        // The last output column also takes anything the mapping would put
        // beyond it, so no sample can land outside the cells.
        const int64_t next = k + 1 == output_width ? width : first_column_of(k + 1, width, ratio);
        runs[k] = next - begin;
        begin = next;
    }
}

namespace {

// Every part of the map's storage is written before it is read.
void* allocate_or_fail(size_t bytes)
{
    void* block = std::malloc(bytes);
    if (!block)
        fail_run();
    return block;
}

// The counts a raw bitmap row needs: one per 64 bits of its longest piece,
// and one more.
size_t bitmap_counts(int32_t width)
{
    const size_t row_bytes = (static_cast<size_t>(width) + 7) / 8;
    return std::min(row_bytes, raster_buffer_size) / 8 + 1;
}

// The column sums and the gather table, for narrow pictures only.
void fit_narrow_storage(ColumnMap& map)
{
    if (map.width > column_sums_width)
        return;
    int32_t longest_run = 0;
    for (int32_t k = 0; k < map.output_width; ++k)
        longest_run = std::max(longest_run, static_cast<int32_t>(map.runs[k]));
    if (longest_run > column_sums_run)
        return;
    const int32_t stride = std::max(longest_run, 2);
    const size_t white_words = static_cast<size_t>(map.width) / 8 + 1;
    const size_t sums = static_cast<size_t>(map.width) + 1;
    const size_t gather = static_cast<size_t>(stride) * static_cast<size_t>(map.output_width);
    char* block = static_cast<char*>(allocate_or_fail(
        white_words * sizeof(uint64_t) + (sums + gather) * sizeof(int32_t)));
    map.columns.width = map.width;
    map.columns.white = reinterpret_cast<uint64_t*>(block);
    map.columns.sums = reinterpret_cast<int32_t*>(block + white_words * sizeof(uint64_t));
    map.gather = map.columns.sums + sums;
    map.gather_stride = stride;
    int32_t begin = 0;
    for (int32_t k = 0; k < map.output_width; ++k) {
        const int32_t run = static_cast<int32_t>(map.runs[k]);
        for (int32_t j = 0; j < stride; ++j)
            map.gather[k * stride + j] = j < run ? begin + j : map.width;
        begin += run;
    }
}

}  // namespace

void fit_column_map(ColumnMap& map, int32_t width, int32_t output_width, double ratio)
{
    if (map.runs && width == map.width && output_width == map.output_width)
        return;
    std::free(map.runs);
    std::free(map.columns.white);
    map = ColumnMap{};
    // The runs and then the cell sums, side by side since the inner loops
    // take a run and add to its sum together, then the bitmap counts. Room
    // for at least one cell, so that an empty picture is no failed
    // allocation.
    const size_t cells = output_width > 0 ? static_cast<size_t>(output_width) : 1;
    char* block = static_cast<char*>(allocate_or_fail(2 * cells * sizeof(int64_t)
                                                      + bitmap_counts(width) * sizeof(uint32_t)));
    map.runs = reinterpret_cast<int64_t*>(block);
    map.sums = map.runs + cells;
    map.set_before_word = reinterpret_cast<uint32_t*>(map.sums + cells);
    map.width = width;
    map.output_width = output_width;
    column_runs(width, output_width, ratio, map.runs);
    fit_narrow_storage(map);
}
