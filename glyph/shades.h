// The character each cell prints.
#pragma once

#include <cstdint>

// The four characters for cell averages above 240, 129..240, 65..128 and
// 64 or less, under the grey-shade and reverse switches ('n' is off).
inline const char* shade_characters(char grey_shades, char reverse)
{
    const bool shades = grey_shades != 'n';
    if (reverse != 'n')
        return shades ? "#:. " : "O   ";
    return shades ? " .:#" : " OOO";
}

inline int shade_level(int64_t average)
{
    return average > 240 ? 0 : average > 128 ? 1 : average > 64 ? 2 : 3;
}

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
