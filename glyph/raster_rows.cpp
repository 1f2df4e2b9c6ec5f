#include "glyph/raster.h"

int64_t sample_past_end(char magic)
{
    return magic == '4' ? 0 : -1;
}

void add_raster_row(char magic, RasterReader& reader, const int64_t* runs, int32_t output_width,
                    int64_t* sums)
{
    switch (magic) {
    case '5':
        for (int32_t k = 0; k < output_width; ++k)
            sums[k] += raw_grey_run(reader, runs[k]);
        break;
    case '6':
        for (int32_t k = 0; k < output_width; ++k)
            sums[k] += raw_colour_run(reader, runs[k]);
        break;
    case '4': {
        int64_t width = 0;
        for (int32_t k = 0; k < output_width; ++k)
            width += runs[k];
        const size_t row_bytes = static_cast<size_t>((width + 7) / 8);
        if (row_bytes <= raster_buffer_size)
            add_bitmap_row(reader, runs, output_width, sums, row_bytes);
        else
            add_wide_bitmap_row(reader, runs, output_width, sums);
        break;
    }
    default:
        for (int32_t k = 0; k < output_width; ++k)
            sums[k] += plain_run(magic, reader, runs[k]);
        break;
    }
}
