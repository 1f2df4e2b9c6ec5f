#include <cstring>

#include "glyph/raster.h"

void start_reader(RasterReader& reader, FILE* stream)
{
    reader.stream = stream;
    reader.pos = reader.buffer;
    reader.end = reader.buffer;
    reader.ended = false;
    std::memset(reader.end, 0, raster_buffer_slack);
}

bool refill_reader(RasterReader& reader)
{
    if (reader.ended)
        return false;
    const size_t kept = static_cast<size_t>(reader.end - reader.pos);
    std::memmove(reader.buffer, reader.pos, kept);
    const size_t room = raster_buffer_size - kept;
    const size_t got = std::fread(reader.buffer + kept, 1, room, reader.stream);
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
