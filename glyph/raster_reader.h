// The glyph stream's raster, read in blocks, and what it gives past the end
// of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Reads the glyph stream in blocks; the header reader has left the stream at
// the first raster byte, and the stream's own buffer is shared, so nothing is
// lost between the two. The inner loops may read a little past `end`: the
// slack is there for that, and reads as zeros after each refill.
constexpr size_t raster_buffer_size = size_t(1) << 17;
constexpr size_t raster_buffer_slack = 64;

struct RasterReader {
    FILE* stream = nullptr;
    unsigned char* pos = nullptr;
    unsigned char* end = nullptr;
    uint64_t unread = 0;                // raster bytes not yet asked of the stream
    bool ended = false;                 // a read found the end of the file
    unsigned char buffer[raster_buffer_size + raster_buffer_slack];
};

// `raster_bytes` is the size of the raster where the format fixes it (the
// raw ones): no more is asked of the stream, so a small file whose raster
// already lies in the stream's buffer needs no further read to find its end.
// The plain formats pass no_raster_size.
constexpr uint64_t no_raster_size = UINT64_MAX;
void start_reader(RasterReader& reader, FILE* stream, uint64_t raster_bytes);

// The raster size of a raw format, or no_raster_size for a plain one.
uint64_t raster_size(char magic, int32_t width, int32_t height);

// Keeps the unread bytes and reads more after them. False, with `ended` set,
// when nothing more could be read (the kept bytes stay readable).
bool refill_reader(RasterReader& reader);

// Reads until `count` bytes (at most raster_buffer_size) lie ready side by
// side, or the file ends.
void ensure_raster_bytes(RasterReader& reader, size_t count);

// What a value read past the end of the file counts as: every byte of a raw
// bitmap has all its bits set (eight black pixels); every byte of a raw grey
// or colour map, and every number or digit of a plain raster, is -1.
constexpr int value_past_end(char magic)
{
    return magic == '4' ? 0xff : -1;
}
