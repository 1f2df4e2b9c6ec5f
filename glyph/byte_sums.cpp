// The inner loops of the raw grey and colour formats, sixteen bytes at a
// time where the processor has SSE2 (every x86-64 does), a byte at a time
// elsewhere and for the last few bytes.
#include "glyph/row_loops.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

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
    // Sixteen pixels (48 bytes) a round, in three parts of sixteen bytes.
    // Read as eight 16-bit lanes, a part holds its even bytes in the low
    // halves and its odd bytes in the high ones; with the same two bytes
    // further on, that gives the total of the three bytes from every even
    // position and from every odd one, with no shuffling. A pixel starts at
    // every third byte: three masks pick those lanes out of the six vectors
    // of totals into two of eight totals each, and the high half of the
    // product with 21846 is the total divided by 3, exact for totals up to
    // 765. The averages come out of order: byte b of a round holds the pixel
    // pixel_of_byte[b]. A round reads two bytes beyond its pixels, the last
    // one up to 47 more; those pixels are masked off.
    const __m128i zero = _mm_setzero_si128();
    const __m128i low_bytes = _mm_set1_epi16(0x00ff);
    const __m128i lanes_0_3_6 = _mm_set_epi16(0, -1, 0, 0, -1, 0, 0, -1);
    const __m128i lanes_1_4_7 = _mm_set_epi16(-1, 0, 0, -1, 0, 0, -1, 0);
    const __m128i lanes_2_5 = _mm_set_epi16(0, 0, -1, 0, 0, -1, 0, 0);
    const __m128i third = _mm_set1_epi16(21846);
    const __m128i pixel_of_byte =
        _mm_setr_epi8(0, 1, 12, 2, 3, 14, 4, 5, 11, 6, 7, 13, 8, 9, 15, 10);
    __m128i sums = zero;
    for (size_t i = 0; i < pixels; i += 16) {
        const unsigned char* p = bytes + 3 * i;
        __m128i from_even[3], from_odd[3];   // totals by the position they start at
        for (int part = 0; part < 3; ++part) {
            const __m128i here = load(p + 16 * part);
            const __m128i next = load(p + 16 * part + 2);
            const __m128i middle =
                _mm_add_epi16(_mm_srli_epi16(here, 8), _mm_and_si128(next, low_bytes));
            from_even[part] = _mm_add_epi16(_mm_and_si128(here, low_bytes), middle);
            from_odd[part] = _mm_add_epi16(middle, _mm_srli_epi16(next, 8));
        }
        // Pixels 0 to 5 start at the part 0 lanes 0, 3, 6 (even) and 1, 4, 7
        // (odd); 6 to 10 at part 1 lanes 1, 4, 7 (even) and 2, 5 (odd); 11
        // to 15 at part 2 lanes 0, 3, 6 (odd) and 2, 5 (even).
        const __m128i first =
            _mm_or_si128(_mm_or_si128(_mm_and_si128(from_even[0], lanes_0_3_6),
                                      _mm_and_si128(from_odd[0], lanes_1_4_7)),
                         _mm_and_si128(from_even[2], lanes_2_5));
        const __m128i second =
            _mm_or_si128(_mm_or_si128(_mm_and_si128(from_odd[2], lanes_0_3_6),
                                      _mm_and_si128(from_even[1], lanes_1_4_7)),
                         _mm_and_si128(from_odd[1], lanes_2_5));
        __m128i averages =
            _mm_packus_epi16(_mm_mulhi_epu16(first, third), _mm_mulhi_epu16(second, third));
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
