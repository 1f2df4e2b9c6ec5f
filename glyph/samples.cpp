#include <array>
#include <cassert>

#include "glyph/samples.h"

namespace {

// One picture is open at a time, so one block serves them all.
constexpr size_t block_size = size_t(1) << 16;
unsigned char block[block_size];

// The cell sums are 64-bit. A cell holds fewer than 2^62 pixels (32-bit
// sides) and no sample is below -1, so the sums cannot overflow downwards.
// Upwards, a sample above 255 comes only from a plain number, and a number
// kept at its largest, 2^31 - 1, took ten digits: no sum grows by more than
// 2^28 for each byte read. Files below 2^34 bytes (16 GiB) keep every sum
// below 2^62.
static_assert(int64_t{INT32_MAX} * INT32_MAX < int64_t{1} << 62, "a cell's pixels fit");
constexpr uint64_t most_bytes = uint64_t(1) << 34;
constexpr int64_t largest_number = INT32_MAX;

// The set bits of each byte value, for raw bitmaps.
constexpr std::array<unsigned char, 256> bits_set_in = [] {
    std::array<unsigned char, 256> counts{};
    for (int byte = 1; byte < 256; ++byte)
        counts[byte] = static_cast<unsigned char>(counts[byte / 2] + byte % 2);
    return counts;
}();

// Reads the next block. False, with `ended` set, when the file has ended.
bool refill(SampleReader& reader)
{
    if (reader.ended)
        return false;
    const size_t room = reader.unread < block_size ? static_cast<size_t>(reader.unread) : block_size;
    const size_t got = room ? std::fread(block, 1, room, reader.stream) : 0;
    reader.unread -= got;
    reader.bytes_read += got;
    assert(reader.bytes_read < most_bytes);
    reader.pos = block;
    reader.end = block + got;
    reader.ended = got == 0;
    return !reader.ended;
}

// The bytes ready in the block, refilled if it is empty; 0 once the file has
// ended.
size_t ready(SampleReader& reader)
{
    if (reader.pos == reader.end)
        refill(reader);
    return static_cast<size_t>(reader.end - reader.pos);
}

inline int next_byte(SampleReader& reader)
{
    if (reader.pos == reader.end && !refill(reader))
        return value_past_end;
    return *reader.pos++;
}

// A plain bitmap pixel: the next '0' (white) or '1' (black); every other
// byte is skipped.
int64_t plain_bit(SampleReader& reader)
{
    int c;
    do
        c = next_byte(reader);
    while (c != '0' && c != '1' && c != value_past_end);
    return c == '0' ? 255 : c == '1' ? 0 : value_past_end;
}

// A plain number: bytes up to the first digit are skipped, and the byte that
// ends the digits is taken with them. There is no sign and no comment. A
// value beyond 32 bits stays at the largest, white like any above 240.
int64_t plain_number(SampleReader& reader)
{
    int c = next_byte(reader);
    while (c != value_past_end && (c < '0' || c > '9'))
        c = next_byte(reader);
    if (c == value_past_end)
        return value_past_end;
    int64_t value = 0;
    for (; c >= '0' && c <= '9'; c = next_byte(reader)) {
        value = value * 10 + (c - '0');
        if (value > largest_number)
            value = largest_number;
    }
    return value;
}

// Raw grey: a byte per pixel.
int64_t grey_run(SampleReader& reader, int64_t& pixels)
{
    int64_t sum = 0;
    while (pixels > 0) {
        const size_t got = ready(reader);
        if (!got)
            break;
        const size_t take = pixels < int64_t(got) ? static_cast<size_t>(pixels) : got;
        for (size_t i = 0; i < take; ++i)
            sum += reader.pos[i];
        reader.pos += take;
        pixels -= static_cast<int64_t>(take);
    }
    return sum;
}

// Raw colour: three bytes per pixel, averaged.
int64_t colour_run(SampleReader& reader, int64_t& pixels)
{
    int64_t sum = 0;
    while (pixels > 0) {
        const size_t got = ready(reader);
        if (!got)
            break;
        if (got < 3) {
            // A pixel split between two blocks, or cut short by the end.
            const int red = next_byte(reader), green = next_byte(reader);
            sum += (red + green + next_byte(reader)) / 3;
            --pixels;
            continue;
        }
        const size_t take = pixels < int64_t(got / 3) ? static_cast<size_t>(pixels) : got / 3;
        const unsigned char* p = reader.pos;
        for (size_t i = 0; i < take; ++i, p += 3)
            sum += (p[0] + p[1] + p[2]) / 3;
        reader.pos = p;
        pixels -= static_cast<int64_t>(take);
    }
    return sum;
}

// Raw bitmap: a bit per pixel, the leftmost in the most significant bit;
// set is black (0), clear is white (255). Whole bytes are counted at once
// where a run covers them.
int64_t bitmap_run(SampleReader& reader, int64_t& pixels)
{
    int64_t white = 0;
    while (pixels > 0) {
        if (reader.bits_left == 0) {
            if (pixels >= 8 && ready(reader)) {
                const size_t got = static_cast<size_t>(reader.end - reader.pos);
                const size_t take = pixels / 8 < int64_t(got) ? static_cast<size_t>(pixels / 8) : got;
                for (size_t i = 0; i < take; ++i)
                    white += 8 - bits_set_in[reader.pos[i]];
                reader.pos += take;
                pixels -= 8 * static_cast<int64_t>(take);
                continue;
            }
            if (reader.ended)
                break;
            reader.bitmap_byte = next_byte(reader) & 0xff;
            reader.bits_left = 8;
        }
        const int take = pixels < reader.bits_left ? static_cast<int>(pixels) : reader.bits_left;
        const unsigned bits = (unsigned(reader.bitmap_byte) >> (reader.bits_left - take)) & ((1u << take) - 1);
        white += take - bits_set_in[bits];
        reader.bits_left -= take;
        pixels -= take;
    }
    return 255 * white;
}

// Plain formats, a pixel at a time.
int64_t plain_run(SampleReader& reader, int64_t& pixels)
{
    int64_t sum = 0;
    for (; pixels > 0 && !reader.ended; --pixels) {
        if (reader.magic == '1') {
            sum += plain_bit(reader);
        } else if (reader.magic == '2') {
            sum += plain_number(reader);
        } else {
            const int64_t red = plain_number(reader), green = plain_number(reader);
            sum += (red + green + plain_number(reader)) / 3;
        }
    }
    return sum;
}

}  // namespace

void start_samples(SampleReader& reader, FILE* stream, char magic, int32_t width, int32_t height)
{
    reader = SampleReader{};
    reader.stream = stream;
    reader.magic = magic;
    reader.pos = reader.end = block;
    // Raw rasters have a known size; a raw bitmap row starts on a fresh byte.
    const uint64_t columns = width > 0 ? static_cast<uint64_t>(width) : 0;
    const uint64_t rows = height > 0 ? static_cast<uint64_t>(height) : 0;
    const uint64_t row_bytes = magic == '4' ? (columns + 7) / 8 : magic == '5' ? columns : 3 * columns;
    reader.unread = magic >= '4' && magic <= '6' ? row_bytes * rows : UINT64_MAX;
}

int64_t add_run(SampleReader& reader, int64_t pixels)
{
    const char magic = reader.magic;
    const int64_t sum = magic == '4'   ? bitmap_run(reader, pixels)
                        : magic == '5' ? grey_run(reader, pixels)
                        : magic == '6' ? colour_run(reader, pixels)
                                       : plain_run(reader, pixels);
    // The pixels left are past the end of the file.
    return sum + pixels * sample_past_end(magic);
}
