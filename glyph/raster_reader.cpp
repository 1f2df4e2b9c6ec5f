#include <cstring>

#include "glyph/raster.h"

void start_reader(RasterReader& reader, FILE* stream)
{
    reader.stream = stream;
    reader.pos = reader.buffer;
    reader.end = reader.buffer;
    reader.ended = false;
}

bool refill_reader(RasterReader& reader)
{
    if (reader.ended)
        return false;
    const size_t kept = static_cast<size_t>(reader.end - reader.pos);
    std::memmove(reader.buffer, reader.pos, kept);
    const size_t room = sizeof reader.buffer - kept;
    const size_t got = std::fread(reader.buffer + kept, 1, room, reader.stream);
    reader.pos = reader.buffer;
    reader.end = reader.buffer + kept + got;
    if (got == 0)
        reader.ended = true;
    return got != 0;
}
