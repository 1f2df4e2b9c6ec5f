#include <algorithm>
#include <array>

#include "glyph/samples.h"

namespace {

// One picture is open at a time, so one block serves them all.
constexpr size_t block_size = size_t(1) << 16;
unsigned char block[block_size];

// The cell sums are 64-bit. A cell holds fewer than 2^62 pixels (32-bit
// sides) and no sample is below -1, so the sums cannot overflow downwards.
// Upwards, a sample above 255 comes only from a plain number, and a number
// kept at its largest, 2^31 - 1, took ten digits: no sum grows by more than
// 2^28 for each byte read. So the raster is read up to 2^34 bytes (16 GiB)
// and no further, which keeps every sum below 2^62: in every build, the rest
// of a larger file counts as past its end, as if the file ended there.
static_assert(int64_t{INT32_MAX} * INT32_MAX < int64_t{1} << 62, "a cell's pixels fit");
constexpr uint64_t most_bytes = uint64_t(1) << 34;
constexpr int64_t largest_number = INT32_MAX;

// For raw bitmaps: the set bits among the first (most significant) i bits
// of each byte value, i from 0 to 8.
using BitCounts = std::array<unsigned char, 9>;
constexpr std::array<BitCounts, 256> set_in_first = [] {
    std::array<BitCounts, 256> counts{};
    for (int byte = 0; byte < 256; ++byte)
        for (int i = 1; i <= 8; ++i)
            counts[byte][i] =
                static_cast<unsigned char>(counts[byte][i - 1] + (byte >> (8 - i) & 1));
    return counts;
}();

// Reads the next block. False, with `ended` set, when the file has ended or
// the bound on the bytes read is reached.
bool refill(SampleReader& reader)
{
    if (reader.ended)
        return false;
    const uint64_t allowed = std::min(reader.unread, most_bytes - reader.bytes_read);
    const size_t room = static_cast<size_t>(std::min<uint64_t>(allowed, block_size));
    const size_t got = room ? std::fread(block, 1, room, reader.stream) : 0;
    reader.unread -= got;
    reader.bytes_read += got;
    reader.pos = block;
    reader.end = block + got;
    reader.ended = got == 0;
    return !reader.ended;
}

// How many of the next `wanted` bytes lie ready in the block, refilled if
// it is empty; 0 once the file has ended.
size_t ready(SampleReader& reader, int64_t wanted)
{
    if (reader.pos == reader.end)
        refill(reader);
    const size_t got = static_cast<size_t>(reader.end - reader.pos);
    return wanted < int64_t(got) ? static_cast<size_t>(wanted) : got;
}

inline int next_byte(SampleReader& reader)
{
    if (reader.pos == reader.end && !refill(reader))
        return value_past_end;
    return *reader.pos++;
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
    for (; c >= '0' && c <= '9'; c = next_byte(reader))
        value = std::min(value * 10 + (c - '0'), largest_number);
    return value;
}

// Raw grey: a byte per pixel.
int64_t grey_run(SampleReader& reader, int64_t& pixels)
{
    int64_t sum = 0;
    for (size_t take; pixels > 0 && (take = ready(reader, pixels)) > 0; pixels -= int64_t(take)) {
        for (size_t i = 0; i < take; ++i)
            sum += reader.pos[i];
        reader.pos += take;
    }
    return sum;
}

// Raw colour: three bytes per pixel, averaged.
int64_t colour_run(SampleReader& reader, int64_t& pixels)
{
    int64_t sum = 0;
    while (pixels > 0) {
        const size_t take = ready(reader, 3 * pixels) / 3 * 3;
        if (take == 0 && reader.pos == reader.end)
            break;
        if (take == 0) {
            // A pixel split between two blocks, or cut short by the end.
            sum += (next_byte(reader) + next_byte(reader) + next_byte(reader)) / 3;
            --pixels;
        }
        for (size_t i = 0; i < take; i += 3)
            sum += (reader.pos[i] + reader.pos[i + 1] + reader.pos[i + 2]) / 3;
        reader.pos += take;
        pixels -= int64_t(take / 3);
    }
    return sum;
}

// Raw bitmap: a bit per pixel, the leftmost in the most significant bit;
// set is black (0), clear is white (255). A row starts on a fresh byte.
// `in_hand` counts the bits of the byte in hand, `taken` of which are taken.

// The sum of a run that goes beyond the byte in hand: the rest of it, whole
// bytes straight from the block, then a fresh byte for what is left.
int64_t bitmap_run_across(SampleReader& reader, int64_t pixels, const BitCounts*& in_hand,
                          int64_t& taken)
{
    int64_t white = pixels;
    int64_t black = (*in_hand)[8] - (*in_hand)[taken];
    pixels -= 8 - taken;
    taken = 8;
    for (size_t take; pixels >= 8 && (take = ready(reader, pixels / 8)) > 0;) {
        for (size_t i = 0; i < take; ++i)
            black += set_in_first[reader.pos[i]][8];
        reader.pos += take;
        pixels -= 8 * int64_t(take);
    }
    const int64_t past_end = pixels >= 8 ? pixels : 0;   // the file has ended
    if (pixels > 0 && !past_end) {
        in_hand = &set_in_first[static_cast<unsigned>(next_byte(reader)) & 0xff];
        black += (*in_hand)[pixels];
        taken = pixels;
    }
    return 255 * (white - black - past_end) + past_end * sample_past_end('4');
}

void bitmap_row(SampleReader& reader, const int64_t* runs, int64_t* sums, int32_t cells)
{
    const BitCounts* in_hand = &set_in_first[0];
    int64_t taken = 8;
    for (int32_t k = 0; k < cells; ++k) {
        const int64_t pixels = runs[k];
        if (taken + pixels <= 8) {
            sums[k] += 255 * (pixels - ((*in_hand)[taken + pixels] - (*in_hand)[taken]));
            taken += pixels;
        } else if (taken == 8 && pixels <= 8) {
            in_hand = &set_in_first[static_cast<unsigned>(next_byte(reader)) & 0xff];
            sums[k] += 255 * (pixels - (*in_hand)[pixels]);
            taken = pixels;
        } else {
            sums[k] += bitmap_run_across(reader, pixels, in_hand, taken);
        }
    }
}

// Plain bitmap: the next '0' (white) or '1' (black) for each pixel; every
// other byte is skipped.
int64_t plain_bits(SampleReader& reader, int64_t& pixels)
{
    int64_t white = 0;
    while (pixels > 0 && ready(reader, 1) > 0) {
        const unsigned char* p = reader.pos;
        for (; p < reader.end && pixels > 0; ++p) {
            const unsigned digit = unsigned(*p - '0');
            white += digit == 0;
            pixels -= digit <= 1;
        }
        reader.pos = p;
    }
    return 255 * white;
}

// Plain grey and colour, a pixel at a time. The three numbers of a colour
// pixel are added in whichever order the calls run: their sum is the same.
int64_t plain_run(SampleReader& reader, int64_t& pixels)
{
    if (reader.magic == '1')
        return plain_bits(reader, pixels);
    int64_t sum = 0;
    for (; pixels > 0 && !reader.ended; --pixels)
        sum += reader.magic == '2'
                   ? plain_number(reader)
                   : (plain_number(reader) + plain_number(reader) + plain_number(reader)) / 3;
    return sum;
}

}  // namespace

void start_samples(SampleReader& reader, FILE* stream, char magic, int32_t width, int32_t height)
{
    reader = SampleReader{stream, magic, block, block};
    // Raw rasters have a known size; a raw bitmap row starts on a fresh byte.
    const uint64_t columns = width > 0 ? static_cast<uint64_t>(width) : 0;
    const uint64_t rows = height > 0 ? static_cast<uint64_t>(height) : 0;
    const uint64_t row_bytes =
        magic == '4' ? (columns + 7) / 8 : magic == '5' ? columns : 3 * columns;
    reader.unread = magic >= '4' && magic <= '6' ? row_bytes * rows : UINT64_MAX;
}

void add_row(SampleReader& reader, const int64_t* runs, int64_t* sums, int32_t cells)
{
    const char magic = reader.magic;
    if (magic == '4')
        return bitmap_row(reader, runs, sums, cells);
    for (int32_t k = 0; k < cells; ++k) {
        int64_t pixels = runs[k];
        const int64_t sum = magic == '5'   ? grey_run(reader, pixels)
                            : magic == '6' ? colour_run(reader, pixels)
                                           : plain_run(reader, pixels);
        // The pixels left are past the end of the file.
        sums[k] += sum + pixels * sample_past_end(magic);
    }
}
