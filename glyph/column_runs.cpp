#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "control/settings.h"
#include "glyph/raster.h"

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

// The map of the last picture's widths.
ColumnMap kept;
// Room for the gather table of any narrow picture: the longest run is at
// most one more than width / output width, so the table holds at most
// width + 2 * output width entries (the check below keeps to the room
// anyway).
int32_t kept_gather[3 * column_sums_width];

void gather_table(ColumnMap& map)
{
    map.gather = nullptr;
    map.gather_stride = 0;
    if (map.width > column_sums_width)
        return;
    int32_t longest_run = 0;
    for (int32_t k = 0; k < map.output_width; ++k)
        longest_run = std::max(longest_run, static_cast<int32_t>(map.runs[k]));
    const int32_t stride = std::max(longest_run, 2);
    if (longest_run > column_sums_run
        || static_cast<int64_t>(stride) * map.output_width > 3 * column_sums_width)
        return;
    int32_t begin = 0;
    for (int32_t k = 0; k < map.output_width; ++k) {
        const int32_t run = static_cast<int32_t>(map.runs[k]);
        for (int32_t j = 0; j < stride; ++j)
            kept_gather[k * stride + j] = j < run ? begin + j : map.width;
        begin += run;
    }
    map.gather = kept_gather;
    map.gather_stride = stride;
}

}  // namespace

const ColumnMap& shared_column_map(int32_t width, int32_t output_width, double ratio)
{
    if (kept.runs && width == kept.width && output_width == kept.output_width)
        return kept;
    std::free(kept.runs);
    // Room for at least one, so that an empty picture is no failed allocation.
    kept.runs = static_cast<int64_t*>(
        std::calloc(output_width > 0 ? static_cast<size_t>(output_width) : 1, sizeof(int64_t)));
    if (!kept.runs)
        fail_run();
    column_runs(width, output_width, ratio, kept.runs);
    kept.width = width;
    kept.output_width = output_width;
    gather_table(kept);
    return kept;
}
