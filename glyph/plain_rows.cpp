// The plain formats: digits and decimal numbers among any other bytes.
#include <cstring>

#include "glyph/row_loops.h"

namespace {

constexpr int64_t largest_sample = 2147483647;

// A run of plain bitmap pixels: the next '0' or '1' for each.
int64_t plain_bit_run(RasterReader& reader, int64_t pixels)
{
    int64_t white = 0;
    while (pixels > 0) {
        if (reader.pos == reader.end && !refill_reader(reader))
            return 255 * white + sample_at_end('1', nullptr, 0, 0) * pixels;
        unsigned char* p = reader.pos;
        const unsigned char* const end = reader.end;
        for (; p < end && pixels > 0; ++p) {
            const unsigned digit = unsigned(*p) - '0';
            const bool is_bit = digit <= 1;
            white += is_bit & (digit == 0);
            pixels -= is_bit;
        }
        reader.pos = p;
    }
    return 255 * white;
}

// The next decimal number; the byte that ends it is consumed. Values beyond
// 32 bits stay at the largest, which is white like any other above 240.
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline int64_t plain_number(char magic, RasterReader& reader)
{
    for (;;) {
        unsigned char* p = reader.pos;
        const unsigned char* const end = reader.end;
        while (p < end && unsigned(*p) - '0' > 9)
            ++p;
        reader.pos = p;
        if (p < end)
            break;
        if (!refill_reader(reader))
            return value_past_end(magic);
    }
#if defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // Most numbers are short: eight bytes at once, when the byte that ends
    // the number lies among them and before the end of what was read.
    uint64_t bytes;
    std::memcpy(&bytes, reader.pos, 8);
    const uint64_t values = bytes ^ 0x3030303030303030u;   // digits become 0 to 9
    const uint64_t not_digits = ((values + 0x7676767676767676u) | values) & 0x8080808080808080u;
    if (not_digits) {
        const int length = __builtin_ctzll(not_digits) / 8;   // the lowest byte comes first
        if (length < reader.end - reader.pos) {
            // The digits to the top, leading zeros below, then pairs, fours, eight.
            uint64_t v = values << (8 * (8 - length));
            v = (v * 10 + (v >> 8)) & 0x00ff00ff00ff00ffu;
            v = (v * 100 + (v >> 16)) & 0x0000ffff0000ffffu;
            v = (v * 10000 + (v >> 32)) & 0x00000000ffffffffu;
            reader.pos += length + 1;
            return static_cast<int64_t>(v);
        }
    }
#endif
    int64_t value = 0;
    for (;;) {
        unsigned char* p = reader.pos;
        const unsigned char* const end = reader.end;
        while (p < end) {
            const unsigned digit = unsigned(*p++) - '0';
            if (digit > 9) {
                reader.pos = p;
                return value;
            }
            value = value * 10 + digit;
            value = value > largest_sample ? largest_sample : value;
        }
        reader.pos = p;
        if (!refill_reader(reader))
            return value;
    }
}

}  // namespace

int64_t plain_run(char magic, RasterReader& reader, int64_t pixels)
{
    if (magic == '1')
        return plain_bit_run(reader, pixels);
    int64_t sum = 0;
    for (; pixels > 0 && !reader.ended; --pixels) {
        if (magic == '2') {
            sum += plain_number(magic, reader);
        } else {
            const int64_t red = plain_number(magic, reader);
            const int64_t green = plain_number(magic, reader);
            sum += (red + green + plain_number(magic, reader)) / 3;
        }
    }
    return sum + sample_at_end(magic, nullptr, 0, 0) * pixels;
}

