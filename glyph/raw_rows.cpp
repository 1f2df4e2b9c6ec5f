#include "glyph/raster.h"

namespace {

constexpr int64_t missing = -1;   // a byte read past the end of the file

}  // namespace

int64_t raw_grey_run(RasterReader& reader, int64_t pixels)
{
    int64_t sum = 0;
    while (pixels > 0) {
        if (reader.pos == reader.end && !refill_reader(reader))
            return sum + missing * pixels;
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
            // The file ends inside this pixel or before it: each missing byte
            // counts as -1, and every later pixel averages to -1.
            int64_t total = 0;
            for (int i = 0; i < 3; ++i)
                total += reader.pos < reader.end ? *reader.pos++ : missing;
            return sum + total / 3 + missing * (pixels - 1);
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
