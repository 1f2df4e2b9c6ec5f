#include "glyph/row_loops.h"

int64_t sample_at_end(char magic, const unsigned char* row, size_t ready, size_t column)
{
    auto byte = [&](size_t i) -> int64_t { return i < ready ? row[i] : value_past_end(magic); };
    switch (magic) {
    case '4':
        return (byte(column / 8) >> (7 - column % 8)) & 1 ? 0 : 255;
    case '6':
        return (byte(3 * column) + byte(3 * column + 1) + byte(3 * column + 2)) / 3;
    case '5':
        return byte(column);
    default:
        return value_past_end(magic);
    }
}

void add_raster_row(char magic, RasterReader& reader, ColumnMap& map)
{
    const int64_t* const runs = map.runs;
    const int32_t output_width = map.output_width;
    int64_t* const sums = map.sums;
    switch (magic) {
    case '5':
        for (int32_t k = 0; k < output_width; ++k)
            sums[k] += raw_grey_run(reader, runs[k]);
        break;
    case '6':
        for (int32_t k = 0; k < output_width; ++k)
            sums[k] += raw_colour_run(reader, runs[k]);
        break;
    case '4':
        add_bitmap_row(reader, map);
        break;
    default:
        for (int32_t k = 0; k < output_width; ++k)
            sums[k] += plain_run(magic, reader, runs[k]);
        break;
    }
}
