#include <cmath>

#include "glyph/column_map.h"

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
