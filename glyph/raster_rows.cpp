// A row of any format, run by run.
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

namespace {

// The sum of a run of raw grey samples.
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

// The sum of a run of raw colour pixels, each the average of its three
// bytes.
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

}  // namespace

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
