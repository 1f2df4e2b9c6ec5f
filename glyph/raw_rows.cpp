#include "glyph/row_loops.h"

int64_t raw_grey_run(RasterReader& reader, int64_t pixels)
{
    int64_t sum = 0;
    while (pixels > 0) {
        if (reader.pos == reader.end && !refill_reader(reader))
            return sum + sample_at_end('5', nullptr, 0, 0) * pixels;
        const int64_t ready = reader.end - reader.pos;
        const int64_t take = pixels < ready ? pixels : ready;
        sum += static_cast<int64_t>(sum_bytes(reader.pos, static_cast<size_t>(take)));
        reader.pos += take;
        pixels -= take;
    }
    return sum;
}

int64_t raw_colour_run(RasterReader& reader, int64_t pixels)
{
    int64_t sum = 0;
    while (pixels > 0) {
        if (reader.end - reader.pos < 3 && !refill_reader(reader)) {
            // The file ends inside this pixel or before it.
            const size_t ready = static_cast<size_t>(reader.end - reader.pos);
            const int64_t first = sample_at_end('6', reader.pos, ready, 0);
            reader.pos = reader.end;
            return sum + first + sample_at_end('6', nullptr, 0, 0) * (pixels - 1);
        }
        if (reader.end - reader.pos < 3)
            continue;   // a short read; the next refill finds more or the end
        const int64_t ready = (reader.end - reader.pos) / 3;
        const int64_t take = pixels < ready ? pixels : ready;
        sum += static_cast<int64_t>(sum_pixel_averages(reader.pos, static_cast<size_t>(take)));
        reader.pos += 3 * take;
        pixels -= take;
    }
    return sum;
}
