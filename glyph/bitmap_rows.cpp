// Raw bitmap rows: one bit per pixel, the leftmost pixel in the most
// significant bit, set is black (0) and clear is white (255). Each row starts
// on a fresh byte, and bytes past the end of the file have every bit set.
#include <cstring>

#include "glyph/raster.h"

namespace {

// Eight bytes as one word, the first byte's leftmost bit on top.
uint64_t leftmost_first(const unsigned char* bytes)
{
    uint64_t word;
    std::memcpy(&word, bytes, 8);
#if defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    return __builtin_bswap64(word);
#else
    word = 0;
    for (int i = 0; i < 8; ++i)
        word = word << 8 | bytes[i];
    return word;
#endif
}

// Counts the set bits of every whole 64-bit word of the row first, keeping
// the running total before each word; then each run's end needs that total
// and the bits of the word it ends in. (Counting word by word within each
// run instead costs a mispredicted loop exit per run.) Reads up to 7 bytes
// past the row, and takes no bits from there.
template <bool count_instruction>
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline void add_bits(const unsigned char* row, const int64_t* runs, int32_t output_width,
                     int64_t* sums, uint32_t* set_before_word)
{
    auto count = [](uint64_t word) -> uint64_t {
#if defined(__GNUC__)
        if constexpr (count_instruction)
            return static_cast<uint64_t>(__builtin_popcountll(word));
#endif
        return count_bits_in_word(word);
    };
    int64_t width = 0;
    for (int32_t k = 0; k < output_width; ++k)
        width += runs[k];
    uint32_t set = 0;
    for (int64_t word = 0; word < width / 64; ++word) {
        set_before_word[word] = set;
        uint64_t bits;
        std::memcpy(&bits, row + 8 * word, 8);
        set += static_cast<uint32_t>(count(bits));
    }
    set_before_word[width / 64] = set;
    int64_t end_bit = 0;
    uint32_t set_before = 0;   // before the run's first bit
    for (int32_t k = 0; k < output_width; ++k) {
        end_bit += runs[k];
        const int64_t word = end_bit / 64;
        const int rest = static_cast<int>(end_bit % 64);
        const uint64_t in_last_word =
            rest ? count(leftmost_first(row + 8 * word) >> (64 - rest)) : 0;
        const uint32_t set_to_end = set_before_word[word] + static_cast<uint32_t>(in_last_word);
        sums[k] += 255 * (runs[k] - static_cast<int64_t>(set_to_end - set_before));
        set_before = set_to_end;
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("popcnt"))) void add_bits_counting(const unsigned char* row,
                                                         const int64_t* runs,
                                                         int32_t output_width, int64_t* sums,
                                                         uint32_t* set_before_word)
{
    add_bits<true>(row, runs, output_width, sums, set_before_word);
}

bool has_count_instruction()
{
    return __builtin_cpu_supports("popcnt");
}
#else
void add_bits_counting(const unsigned char* row, const int64_t* runs, int32_t output_width,
                       int64_t* sums, uint32_t* set_before_word)
{
    add_bits<true>(row, runs, output_width, sums, set_before_word);
}

bool has_count_instruction()
{
    return true;
}
#endif

}  // namespace

void add_bitmap_bits(const unsigned char* row, const int64_t* runs, int32_t output_width,
                     int64_t* sums, bool count_instruction, uint32_t* set_before_word)
{
    if (count_instruction && has_count_instruction())
        add_bits_counting(row, runs, output_width, sums, set_before_word);
    else
        add_bits<false>(row, runs, output_width, sums, set_before_word);
}

void add_bitmap_row(RasterReader& reader, const int64_t* runs, int32_t output_width,
                    int64_t* sums, size_t row_bytes)
{
    ensure_raster_bytes(reader, row_bytes);
    const size_t ready = static_cast<size_t>(reader.end - reader.pos);
    if (ready < row_bytes) {
        // The file has ended (the refill moved the bytes to the buffer's start).
        std::memset(reader.end, value_past_end('4'), row_bytes - ready);
        reader.end = reader.pos + row_bytes;
        std::memset(reader.end, 0, raster_buffer_slack);
    }
    add_bitmap_bits(reader.pos, runs, output_width, sums, true, reader.set_before_word);
    reader.pos += row_bytes;
}

namespace {

// Where a row stands in its bytes: the current byte and how many of its bits,
// from the most significant, are used.
struct BitPosition {
    unsigned byte = 0;
    int used = 8;
};

// The number of set bits among the next `pixels` bits.
int64_t set_bits(RasterReader& reader, BitPosition& bits, int64_t pixels)
{
    int64_t set = 0;
    if (bits.used < 8) {
        const int left = 8 - bits.used;
        const int take = pixels < left ? static_cast<int>(pixels) : left;
        const unsigned chunk = (bits.byte >> (left - take)) & ((1u << take) - 1);
        set += count_set_bits(chunk);
        bits.used += take;
        pixels -= take;
    }
    while (pixels >= 8) {
        if (reader.pos == reader.end && !refill_reader(reader))
            return set + pixels;
        const int64_t ready = reader.end - reader.pos;
        const int64_t whole = pixels / 8 < ready ? pixels / 8 : ready;
        set += static_cast<int64_t>(count_set_bits(reader.pos, static_cast<size_t>(whole)));
        reader.pos += whole;
        pixels -= 8 * whole;
    }
    if (pixels > 0) {
        const int next = next_raster_byte(reader);
        bits.byte = next < 0 ? unsigned(value_past_end('4')) : static_cast<unsigned>(next);
        bits.used = static_cast<int>(pixels);
        set += count_set_bits(bits.byte >> (8 - pixels));
    }
    return set;
}

}  // namespace

void add_wide_bitmap_row(RasterReader& reader, const int64_t* runs, int32_t output_width,
                         int64_t* sums)
{
    BitPosition bits;
    for (int32_t k = 0; k < output_width; ++k)
        sums[k] += 255 * (runs[k] - set_bits(reader, bits, runs[k]));
}
