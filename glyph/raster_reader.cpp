#include <cstring>

#include "glyph/raster_reader.h"

void start_reader(RasterReader& reader, FILE* stream, uint64_t raster_bytes)
{
    reader.stream = stream;
    reader.pos = reader.buffer;
    reader.end = reader.buffer;
    reader.unread = raster_bytes;
    reader.ended = false;
    std::memset(reader.end, 0, raster_buffer_slack);
}

uint64_t raster_size(char magic, int32_t width, int32_t height)
{
    const uint64_t columns = width > 0 ? static_cast<uint64_t>(width) : 0;
    const uint64_t rows = height > 0 ? static_cast<uint64_t>(height) : 0;
    static_assert(3 * uint64_t{INT32_MAX} * INT32_MAX <= no_raster_size - 1,
                  "every raw raster's size fits, below no_raster_size");
    switch (magic) {
    case '4':
        return (columns + 7) / 8 * rows;
    case '5':
        return columns * rows;
    case '6':
        return 3 * columns * rows;
    default:
        return no_raster_size;
    }
}

bool refill_reader(RasterReader& reader)
{
    if (reader.ended)
        return false;
    const size_t kept = static_cast<size_t>(reader.end - reader.pos);
    std::memmove(reader.buffer, reader.pos, kept);
    size_t room = raster_buffer_size - kept;
    if (room > reader.unread)
        room = static_cast<size_t>(reader.unread);
    const size_t got = room ? std::fread(reader.buffer + kept, 1, room, reader.stream) : 0;
    reader.unread -= got;
    reader.pos = reader.buffer;
    reader.end = reader.buffer + kept + got;
    std::memset(reader.end, 0, raster_buffer_slack);
    if (got == 0)
        reader.ended = true;
    return got != 0;
}

void ensure_raster_bytes(RasterReader& reader, size_t count)
{
    while (static_cast<size_t>(reader.end - reader.pos) < count && refill_reader(reader)) {
    }
}
