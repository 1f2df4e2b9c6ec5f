// The inner loops of the raw grey and colour formats, sixteen bytes at a
// time where the processor has SSE2 (every x86-64 does), a byte at a time
// elsewhere and for the last few bytes.
#include "glyph/raster.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
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

namespace {

uint64_t sum_pixel_averages_by_16(const unsigned char* bytes, size_t pixels)
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


#if defined(__x86_64__) && defined(__GNUC__)
// The same in rounds of 32 pixels (96 bytes), for processors with AVX2.
// The 256-bit unpacks work within each 128-bit half, so the pixel totals
// land in different lanes in the two halves: each mask below picks, half by
// half, the lanes that hold a pixel's total. The last pixels (fewer than 32)
// go by sixteen.
__attribute__((target("avx2"))) uint64_t sum_pixel_averages_by_32(const unsigned char* bytes,
                                                                   size_t pixels)
{
    const __m256i zero = _mm256_setzero_si256();
    const __m256i third = _mm256_set1_epi16(21846);
    // Lanes 0,3,6 / 1,4,7 / 2,5 of a half, as in the 16-pixel rounds.
    const short a = -1;
    const __m256i low_m0_high_m2 =
        _mm256_setr_epi16(a, 0, 0, a, 0, 0, a, 0, 0, 0, a, 0, 0, a, 0, 0);
    const __m256i low_m1_high_m0 =
        _mm256_setr_epi16(0, a, 0, 0, a, 0, 0, a, a, 0, 0, a, 0, 0, a, 0);
    const __m256i low_m2_high_m1 =
        _mm256_setr_epi16(0, 0, a, 0, 0, a, 0, 0, 0, a, 0, 0, a, 0, 0, a);
    __m256i sums = zero;
    size_t i = 0;
    for (; i + 32 <= pixels; i += 32) {
        const unsigned char* p = bytes + 3 * i;
        __m256i low[3], high[3];
        for (int part = 0; part < 3; ++part) {
            const unsigned char* at = p + 32 * part;
            const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
            const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 1));
            const __m256i z = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 2));
            low[part] = _mm256_add_epi16(
                _mm256_add_epi16(_mm256_unpacklo_epi8(x, zero), _mm256_unpacklo_epi8(y, zero)),
                _mm256_unpacklo_epi8(z, zero));
            high[part] = _mm256_add_epi16(
                _mm256_add_epi16(_mm256_unpackhi_epi8(x, zero), _mm256_unpackhi_epi8(y, zero)),
                _mm256_unpackhi_epi8(z, zero));
        }
        // Byte offsets of the halves: part 0 low 0|16, high 8|24; part 1
        // low 32|48, high 40|56; part 2 low 64|80, high 72|88.
        const __m256i first = _mm256_or_si256(
            _mm256_or_si256(_mm256_and_si256(low[0], low_m0_high_m2),
                            _mm256_and_si256(high[0], low_m1_high_m0)),
            _mm256_and_si256(high[1], low_m2_high_m1));
        const __m256i second = _mm256_or_si256(
            _mm256_or_si256(_mm256_and_si256(low[1], low_m1_high_m0),
                            _mm256_and_si256(low[2], low_m2_high_m1)),
            _mm256_and_si256(high[2], low_m0_high_m2));
        const __m256i averages = _mm256_packus_epi16(_mm256_mulhi_epu16(first, third),
                                                     _mm256_mulhi_epu16(second, third));
        sums = _mm256_add_epi64(sums, _mm256_sad_epu8(averages, zero));
    }
    const __m128i halves = _mm_add_epi64(_mm256_castsi256_si128(sums),
                                         _mm256_extracti128_si256(sums, 1));
    return add_lanes(halves) + sum_pixel_averages_by_16(bytes + 3 * i, pixels - i);
}
#endif

}  // namespace

uint64_t sum_pixel_averages(const unsigned char* bytes, size_t pixels)
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool has_avx2 = __builtin_cpu_supports("avx2");
    if (has_avx2)
        return sum_pixel_averages_by_32(bytes, pixels);
#endif
    return sum_pixel_averages_by_16(bytes, pixels);
}
