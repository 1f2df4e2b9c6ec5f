#include <cstring>

#include "glyph/raster.h"

namespace {

constexpr int64_t missing = -1;   // a sample or byte read past the end of the file
constexpr int64_t largest_sample = 2147483647;

// ---- raw grey map: one byte per sample

uint64_t sum_bytes(const unsigned char* bytes, size_t count)
{
    uint64_t sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return sum;
}

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

// ---- raw colour: three bytes per pixel, averaged

uint64_t sum_pixel_averages(const unsigned char* bytes, size_t pixels)
{
    uint64_t sum = 0;
    for (size_t i = 0; i < pixels; ++i) {
        const unsigned total = unsigned(bytes[3 * i]) + bytes[3 * i + 1] + bytes[3 * i + 2];
        sum += total / 3;
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

// ---- raw bitmap: one bit per pixel, set is black (0), clear is white (255)

int count_bits(unsigned value)
{
    int count = 0;
    for (; value; value &= value - 1)
        ++count;
    return count;
}

uint64_t count_bits(uint64_t x)
{
    x = x - ((x >> 1) & 0x5555555555555555u);
    x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0fu;
    return (x * 0x0101010101010101u) >> 56;
}

uint64_t count_bits(const unsigned char* bytes, size_t count)
{
    uint64_t total = 0;
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        total += count_bits(word);
    }
    for (; i < count; ++i)
        total += static_cast<uint64_t>(count_bits(unsigned(bytes[i])));
    return total;
}

// Where a row stands in its bytes: the current byte and how many of its bits,
// from the most significant, are used. Each row starts on a fresh byte.
struct BitPosition {
    unsigned byte = 0;
    int used = 8;
};

// The number of set bits among the next `pixels` bits. Bytes past the end of
// the file have every bit set.
int64_t set_bits(RasterReader& reader, BitPosition& bits, int64_t pixels)
{
    int64_t set = 0;
    if (bits.used < 8) {
        const int left = 8 - bits.used;
        const int take = pixels < left ? static_cast<int>(pixels) : left;
        const unsigned chunk = (bits.byte >> (left - take)) & ((1u << take) - 1);
        set += count_bits(chunk);
        bits.used += take;
        pixels -= take;
    }
    while (pixels >= 8) {
        if (reader.pos == reader.end && !refill_reader(reader))
            return set + pixels;
        const int64_t ready = reader.end - reader.pos;
        const int64_t whole = pixels / 8 < ready ? pixels / 8 : ready;
        set += static_cast<int64_t>(count_bits(reader.pos, static_cast<size_t>(whole)));
        reader.pos += whole;
        pixels -= 8 * whole;
    }
    if (pixels > 0) {
        const int next = next_raster_byte(reader);
        bits.byte = next < 0 ? 0xffu : static_cast<unsigned>(next);
        bits.used = static_cast<int>(pixels);
        set += count_bits(bits.byte >> (8 - pixels));
    }
    return set;
}

// ---- plain formats: digits and decimal numbers among any other bytes

// A plain bitmap pixel: the next '0' or '1'.
int64_t plain_bit(RasterReader& reader)
{
    for (;;) {
        const int c = next_raster_byte(reader);
        if (c == '1')
            return 0;
        if (c == '0')
            return 255;
        if (c < 0)
            return missing;
    }
}

// The next decimal number; the byte that ends it is consumed. Values beyond
// 32 bits stay at the largest, which is white like any other above 240.
int64_t plain_number(RasterReader& reader)
{
    int c;
    do {
        c = next_raster_byte(reader);
        if (c < 0)
            return missing;
    } while (c < '0' || c > '9');
    int64_t value = 0;
    while (c >= '0' && c <= '9') {
        value = value * 10 + (c - '0');
        if (value > largest_sample)
            value = largest_sample;
        c = next_raster_byte(reader);
    }
    return value;
}

int64_t plain_run(char magic, RasterReader& reader, int64_t pixels)
{
    int64_t sum = 0;
    for (; pixels > 0 && !reader.ended; --pixels) {
        if (magic == '1') {
            sum += plain_bit(reader);
        } else if (magic == '2') {
            sum += plain_number(reader);
        } else {
            const int64_t red = plain_number(reader);
            const int64_t green = plain_number(reader);
            sum += (red + green + plain_number(reader)) / 3;
        }
    }
    return sum + missing * pixels;
}

}  // namespace

int64_t sample_past_end(char magic)
{
    return magic == '4' ? 0 : missing;
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
        BitPosition bits;
        for (int32_t k = 0; k < output_width; ++k)
            sums[k] += 255 * (runs[k] - set_bits(reader, bits, runs[k]));
        break;
    }
    default:
        for (int32_t k = 0; k < output_width; ++k)
            sums[k] += plain_run(magic, reader, runs[k]);
        break;
    }
}
