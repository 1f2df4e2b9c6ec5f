// Which pixels meet in a character cell, and the character a cell prints.
#pragma once

#include <cstdint>

// The output column of image column `column`: its product with the stored
// double ratio, formed exactly (in extended precision), then truncated. So
// where the stored ratio lies just below the true quotient, a column whose
// true position is whole goes one column to the left.
int64_t output_column(int64_t column, double ratio);

// Writes `output_width` runs: runs[k] image columns, side by side, fall into
// output column k, as output_column maps them. A run may be 0 only where
// rounding skips an output column (enormous pictures).
void column_runs(int32_t width, int32_t output_width, double ratio, int64_t* runs);

// Adds `ratio` to the line accumulator once per row, for at most `rows`
// rows, and stops after the row at which it reaches 1.0 (setting `line`,
// leaving the subtraction to the caller). Returns the rows taken. The result
// is exactly that of adding row by row, at a cost that does not grow with
// the number of rows: rows past the end of the file need no reading.
int64_t advance_lines(double& accumulator, double ratio, int64_t rows, bool& line);

// The four characters for cell averages above 240, 129..240, 65..128 and
// 64 or less, under the grey-shade and reverse switches ('n' is off).
inline const char* shade_characters(char grey_shades, char reverse)
{
    static const char* const characters[2][2] = {{" OOO", " .:#"}, {"O   ", "#:. "}};
    return characters[reverse != 'n'][grey_shades != 'n'];
}

// The sums at which a cell of `count` samples (at least 1) prints lighter:
// its average, truncated toward zero, is above 240, 128 and 64 exactly when
// its sum is at least 241, 129 and 65 times the count, whatever the sign of
// the sum. A product beyond 64 bits stays at the largest value, which no sum
// reaches (sums lie within +-2^62). Most cells of a line have the same
// count, so a line works these out once per count.
struct ShadeSteps {
    int64_t count = 0;
    int64_t lighter[3] = {};
};

inline ShadeSteps shade_steps(int64_t count)
{
    auto times = [count](int64_t factor) {
        return count > INT64_MAX / factor ? INT64_MAX : factor * count;
    };
    return {count, {times(241), times(129), times(65)}};
}

inline int cell_shade_level(int64_t sum, const ShadeSteps& steps)
{
    return (sum < steps.lighter[0]) + (sum < steps.lighter[1]) + (sum < steps.lighter[2]);
}
