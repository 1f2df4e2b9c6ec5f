#include "glyph/raster.h"

const char* shade_characters(char grey_shades, char reverse)
{
    const bool shades = grey_shades != 'n';
    if (reverse != 'n')
        return shades ? "#:. " : "O   ";
    return shades ? " .:#" : " OOO";
}

int shade_level(int64_t average)
{
    if (average > 240)
        return 0;
    if (average > 128)
        return 1;
    if (average > 64)
        return 2;
    return 3;
}
