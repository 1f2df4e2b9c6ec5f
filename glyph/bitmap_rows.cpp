// Raw bitmap rows: one bit per pixel, the leftmost pixel in the most
// significant bit, set is black (0) and clear is white (255). Each row starts
// on a fresh byte. A row is taken in pieces of at most a buffer's size.
#include <cassert>
#include <cstring>

#include "glyph/row_loops.h"

namespace {

uint64_t count_bits_in_word(uint64_t x)
{
    x = x - ((x >> 1) & 0x5555555555555555u);
    x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0fu;
    return (x * 0x0101010101010101u) >> 56;
}

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

// Counts the set bits of every whole 64-bit word of the piece first, keeping
// the running total before each word; then each run's end needs that total
// and the bits of the word it ends in. (Counting word by word within each
// run instead costs a mispredicted loop exit per run.) Reads up to 7 bytes
// past the piece, and takes no bits from there.
template <bool count_instruction>
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline void add_bits(const unsigned char* piece, int64_t bits, const int64_t* runs,
                     int32_t output_width, int64_t* sums, uint32_t* set_before_word,
                     BitmapRow& row)
{
    // The set bits of a piece are counted in 32 bits.
    assert(bits >= 0 && bits <= 8 * int64_t{raster_buffer_size});
    auto count = [](uint64_t word) -> uint64_t {
#if defined(__GNUC__)
        if constexpr (count_instruction)
            return static_cast<uint64_t>(__builtin_popcountll(word));
#endif
        return count_bits_in_word(word);
    };
    uint32_t set = 0;
    for (int64_t word = 0; word < bits / 64; ++word) {
        set_before_word[word] = set;
        uint64_t chunk;
        std::memcpy(&chunk, piece + 8 * word, 8);
        set += static_cast<uint32_t>(count(chunk));
    }
    set_before_word[bits / 64] = set;
    // The set bits of the piece before bit `end`.
    auto set_before = [&](int64_t end) {
        const int rest = static_cast<int>(end % 64);
        const uint64_t in_last_word =
            rest ? count(leftmost_first(piece + 8 * (end / 64)) >> (64 - rest)) : 0;
        return set_before_word[end / 64] + static_cast<uint32_t>(in_last_word);
    };
    int32_t k = row.run;
    int64_t start = row.start;
    int64_t set_at_start = row.set_at_start;
    for (; k < output_width; ++k) {
        const int64_t end = start + runs[k];
        if (end > bits)
            break;
        const int64_t set_at_end = set_before(end);
        sums[k] += 255 * (runs[k] - (set_at_end - set_at_start));
        start = end;
        set_at_start = set_at_end;
    }
    row.run = k;
    if (k < output_width) {
        row.start = start - bits;
        row.set_at_start = set_at_start - set_before(bits);
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("popcnt"))) void add_bits_counting(const unsigned char* piece, int64_t bits,
                                                         const int64_t* runs,
                                                         int32_t output_width, int64_t* sums,
                                                         uint32_t* set_before_word,
                                                         BitmapRow& row)
{
    add_bits<true>(piece, bits, runs, output_width, sums, set_before_word, row);
}

bool has_count_instruction()
{
    return __builtin_cpu_supports("popcnt");
}
#else
void add_bits_counting(const unsigned char* piece, int64_t bits, const int64_t* runs,
                       int32_t output_width, int64_t* sums, uint32_t* set_before_word,
                       BitmapRow& row)
{
    add_bits<true>(piece, bits, runs, output_width, sums, set_before_word, row);
}

bool has_count_instruction()
{
    return true;
}
#endif

}  // namespace

// A piece followed by another is whole 64-bit words.
static_assert(raster_buffer_size % 8 == 0, "full pieces of whole words");

void add_bitmap_piece(const unsigned char* piece, int64_t bits, const int64_t* runs,
                      int32_t output_width, int64_t* sums, bool count_instruction,
                      uint32_t* set_before_word, BitmapRow& row)
{
    if (count_instruction && has_count_instruction())
        add_bits_counting(piece, bits, runs, output_width, sums, set_before_word, row);
    else
        add_bits<false>(piece, bits, runs, output_width, sums, set_before_word, row);
}

void add_bitmap_row(RasterReader& reader, ColumnMap& map)
{
    const int64_t* const runs = map.runs;
    const int32_t output_width = map.output_width;
    int64_t* const sums = map.sums;
    const int64_t width = map.width;
    BitmapRow row;
    const uint64_t row_bytes = (static_cast<uint64_t>(width) + 7) / 8;
    for (uint64_t done = 0; done < row_bytes;) {
        const size_t piece = static_cast<size_t>(
            row_bytes - done < raster_buffer_size ? row_bytes - done : raster_buffer_size);
        ensure_raster_bytes(reader, piece);
        const size_t ready = static_cast<size_t>(reader.end - reader.pos);
        if (ready == 0) {
            // The rest of the row lies past the end of the file: black, so
            // only the part of the run in progress already read adds white.
            if (row.run < output_width)
                sums[row.run] += 255 * (row.set_at_start - row.start);
            return;
        }
        if (ready < piece) {
            // The file has ended; what was read lies at the buffer's start.
            std::memmove(reader.buffer, reader.pos, ready);
            reader.pos = reader.buffer;
            std::memset(reader.pos + ready, value_past_end('4'), piece - ready);
            reader.end = reader.pos + piece;
            std::memset(reader.end, 0, raster_buffer_slack);
        }
        done += piece;
        const int64_t bits =
            done < row_bytes ? int64_t(8 * piece) : width - int64_t(8 * (done - piece));
        add_bitmap_piece(reader.pos, bits, runs, output_width, sums, true, map.set_before_word, row);
        reader.pos += piece;
    }
}
