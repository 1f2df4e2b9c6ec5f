// Which image columns fall into an output column, and how rows advance the
// line accumulator.
#include "glyph/cells.h"

#include <cmath>

int64_t output_column(int64_t column, double ratio)
{
    return static_cast<int64_t>(static_cast<long double>(column) * static_cast<long double>(ratio));
}

// The first image column that maps to output column k or beyond.
static int64_t first_column_of(int64_t k, int32_t width, double ratio)
{
    const long double estimate = std::ceil(static_cast<long double>(k) / ratio);
    int64_t column = estimate < 0 ? 0 : estimate > width ? width : static_cast<int64_t>(estimate);
    while (column > 0 && output_column(column - 1, ratio) >= k)
        --column;
    while (column < width && output_column(column, ratio) < k)
        ++column;
    return column;
}

void column_runs(int32_t width, int32_t output_width, double ratio, int64_t* runs)
{
    int64_t begin = 0;
    for (int32_t k = 0; k < output_width; ++k) {
        // The last output column also takes anything the mapping would put
        // beyond it, so no sample can land outside the cells.
        const int64_t next = k + 1 == output_width ? width : first_column_of(k + 1, width, ratio);
        runs[k] = next - begin;
        begin = next;
    }
}

// Within one binade [top/2, top) of the accumulator every double is a
// multiple of the same unit, so once one addition has been rounded there
// (settling a tie to an even multiple), each further addition that stays
// below top adds the same rounded step. Such a stretch is taken in one go;
// only the rows that cross into the next binade are added one by one. Below
// 1.0 there are at most a few dozen binades to cross.
int64_t advance_lines(double& accumulator, double ratio, int64_t rows, bool& line)
{
    line = false;
    int64_t taken = 0;
    while (taken < rows) {
        if (accumulator >= 0x1p-900 && accumulator < 1.0 && rows - taken > 2) {
            int exponent;
            std::frexp(accumulator, &exponent);
            const double top = std::ldexp(1.0, exponent);
            const double first = accumulator + ratio;
            const double second = first + ratio;
            if (second < top) {
                const double unit = std::ldexp(1.0, exponent - 53);
                const int64_t step = static_cast<int64_t>((second - first) / unit);
                const int64_t room = static_cast<int64_t>((top - second) / unit);
                int64_t more = step > 0 ? (room - 1) / step : 0;
                if (more > rows - taken - 2)
                    more = rows - taken - 2;
                accumulator = second + static_cast<double>(more) * (second - first);
                taken += 2 + more;
                continue;
            }
        }
        accumulator += ratio;
        ++taken;
        if (accumulator >= 1.0) {
            line = true;
            return taken;
        }
    }
    return taken;
}
