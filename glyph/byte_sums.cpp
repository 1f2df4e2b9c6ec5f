// The inner loops of the raw formats, sixteen bytes at a time where the
// processor has SSE2 (every x86-64 does), a word or a byte at a time
// elsewhere and for the last few bytes.
#include <cstring>

#include "glyph/raster.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Set bits per byte value.
struct BitCounts {
    unsigned char of[256];
    constexpr BitCounts() : of()
    {
        for (int value = 1; value < 256; ++value)
            of[value] = static_cast<unsigned char>(of[value >> 1] + (value & 1));
    }
};
constexpr BitCounts bit_counts;

#if defined(__SSE2__)
uint64_t add_lanes(__m128i sums)
{
    return static_cast<uint64_t>(_mm_cvtsi128_si64(sums))
           + static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
}

__m128i load(const unsigned char* bytes)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

// All bits set in the first `count` (0 to 16) bytes, none in the others.
__m128i first_bytes(size_t count)
{
    static constexpr unsigned char ones_then_zeros[32] = {
        255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    return load(ones_then_zeros + 16 - count);
}
#endif

}  // namespace

uint64_t sum_bytes(const unsigned char* bytes, size_t count)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i first = zero, second = zero;
    size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        first = _mm_add_epi64(first, _mm_sad_epu8(load(bytes + i), zero));
        second = _mm_add_epi64(second, _mm_sad_epu8(load(bytes + i + 16), zero));
    }
    for (; i < count; i += 16) {
        const __m128i part = count - i < 16 ? _mm_and_si128(load(bytes + i), first_bytes(count - i))
                                            : load(bytes + i);
        first = _mm_add_epi64(first, _mm_sad_epu8(part, zero));
    }
    return add_lanes(_mm_add_epi64(first, second));
#else
    uint64_t sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return sum;
#endif
}

uint64_t sum_pixel_averages(const unsigned char* bytes, size_t pixels)
{
#if defined(__SSE2__)
    // Sixteen pixels (48 bytes) a round. Adding each byte to the next two
    // gives, at every third 16-bit lane, a pixel's total; three masks pick
    // those lanes out of three vectors into one of eight totals, and the
    // high half of the product with 21846 is the total divided by 3, exact
    // for totals up to 765. The averages come out of order: byte b of a
    // round holds the pixel pixel_of_byte[b]. A round reads two bytes beyond
    // its pixels, the last one up to 47 more; those pixels are masked off.
    const __m128i zero = _mm_setzero_si128();
    const __m128i lanes_0_3_6 = _mm_set_epi16(0, -1, 0, 0, -1, 0, 0, -1);
    const __m128i lanes_1_4_7 = _mm_set_epi16(-1, 0, 0, -1, 0, 0, -1, 0);
    const __m128i lanes_2_5 = _mm_set_epi16(0, 0, -1, 0, 0, -1, 0, 0);
    const __m128i third = _mm_set1_epi16(21846);
    const __m128i pixel_of_byte =
        _mm_setr_epi8(0, 3, 6, 1, 4, 7, 2, 5, 8, 11, 14, 9, 12, 15, 10, 13);
    __m128i sums = zero;
    for (size_t i = 0; i < pixels; i += 16) {
        const unsigned char* p = bytes + 3 * i;
        __m128i totals[6];
        for (int part = 0; part < 3; ++part) {
            const __m128i a = load(p + 16 * part);
            const __m128i b = load(p + 16 * part + 1);
            const __m128i c = load(p + 16 * part + 2);
            totals[2 * part] = _mm_add_epi16(
                _mm_add_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)),
                _mm_unpacklo_epi8(c, zero));
            totals[2 * part + 1] = _mm_add_epi16(
                _mm_add_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero)),
                _mm_unpackhi_epi8(c, zero));
        }
        const __m128i low = _mm_or_si128(_mm_or_si128(_mm_and_si128(totals[0], lanes_0_3_6),
                                                      _mm_and_si128(totals[1], lanes_1_4_7)),
                                         _mm_and_si128(totals[2], lanes_2_5));
        const __m128i high = _mm_or_si128(_mm_or_si128(_mm_and_si128(totals[3], lanes_0_3_6),
                                                       _mm_and_si128(totals[4], lanes_1_4_7)),
                                          _mm_and_si128(totals[5], lanes_2_5));
        __m128i averages =
            _mm_packus_epi16(_mm_mulhi_epu16(low, third), _mm_mulhi_epu16(high, third));
        if (pixels - i < 16) {
            const __m128i present = _mm_set1_epi8(static_cast<char>(pixels - i));
            averages = _mm_and_si128(averages, _mm_cmplt_epi8(pixel_of_byte, present));
        }
        sums = _mm_add_epi64(sums, _mm_sad_epu8(averages, zero));
    }
    return add_lanes(sums);
#else
    uint64_t sum = 0;
    for (size_t i = 0; i < pixels; ++i) {
        const unsigned total = unsigned(bytes[3 * i]) + bytes[3 * i + 1] + bytes[3 * i + 2];
        sum += total / 3;
    }
    return sum;
#endif
}

uint64_t count_set_bits(const unsigned char* bytes, size_t count)
{
    uint64_t total = 0;
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i fives = _mm_set1_epi8(0x55);
    const __m128i threes = _mm_set1_epi8(0x33);
    const __m128i low_nibbles = _mm_set1_epi8(0x0f);
    __m128i sums = zero;
    for (; i + 16 <= count; i += 16) {
        __m128i x = load(bytes + i);
        x = _mm_sub_epi8(x, _mm_and_si128(_mm_srli_epi64(x, 1), fives));
        x = _mm_add_epi8(_mm_and_si128(x, threes), _mm_and_si128(_mm_srli_epi64(x, 2), threes));
        x = _mm_and_si128(_mm_add_epi8(x, _mm_srli_epi64(x, 4)), low_nibbles);
        sums = _mm_add_epi64(sums, _mm_sad_epu8(x, zero));
    }
    total = add_lanes(sums);
#endif
    for (; i + 8 <= count; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        total += count_bits_in_word(word);
    }
    for (; i < count; ++i)
        total += bit_counts.of[bytes[i]];
    return total;
}

int count_set_bits(unsigned byte)
{
    return bit_counts.of[byte & 255];
}
