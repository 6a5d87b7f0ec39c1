#pragma once
// Four-pixels-at-a-time forms of the copy formula D = S + ((D - S) x k) / 256
// (k = 256 - weight, division truncating toward zero), for the hot loops.
// Exact: |D - S| x k <= 255 x 256 fits an unsigned 16-bit lane, so the
// magnitude is computed unsigned and the sign put back afterwards, which is
// truncation toward zero. Used only where SSE2 is available (every x86-64).

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

namespace raster_simd
{
// Per byte: S + trunc((D - S) x k / 256), with k given per 16-bit lane for the
// low two pixels (kLow) and the high two pixels (kHigh), each 0..256.
inline __m128i MixTowardSource(__m128i d, __m128i s, __m128i kLow, __m128i kHigh)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i above = _mm_subs_epu8(d, s); // D - S where D > S
    __m128i below = _mm_subs_epu8(s, d); // S - D where S > D
    __m128i magnitude = _mm_or_si128(above, below);
    __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(magnitude, zero), kLow), 8);
    __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(magnitude, zero), kHigh), 8);
    __m128i scaled = _mm_packus_epi16(lo, hi);
    __m128i negative = _mm_xor_si128(_mm_cmpeq_epi8(below, zero), _mm_set1_epi8(-1)); // S > D
    // S + scaled, or S - scaled where D < S.
    __m128i signedScaled = _mm_sub_epi8(_mm_xor_si128(scaled, negative), negative);
    return _mm_add_epi8(s, signedScaled);
}

// Spreads four 32-bit lanes holding k (0..256) to the 16-bit channel lanes of
// the low and high pixel pairs.
inline void SpreadPerPixel(__m128i k32, __m128i* kLow, __m128i* kHigh)
{
    __m128i kk = _mm_or_si128(k32, _mm_slli_epi32(k32, 16));
    *kLow = _mm_unpacklo_epi32(kk, kk);
    *kHigh = _mm_unpackhi_epi32(kk, kk);
}

inline __m128i Load(const uint32_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(uint32_t* p, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
} // namespace raster_simd
#endif
