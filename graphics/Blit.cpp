#include "graphics/Blit.h"

#include "graphics/BlendOperators.h"
#include "graphics/BlitClip.h"
#include "graphics/PixelMixSimd.h"

#include <cstring>

// One row loop per operator, chosen once per blit through a table. Each loop
// walks the clipped block row by row and applies its operator to every pixel
// with the source pixel's own r, g, b, a; nothing in a loop depends on the
// mode. Copy at weight w and copy with source alpha at full weight have
// four-pixel forms; the scalar tails use the operators themselves.

namespace
{
using RowLoop = void (*)(const BlitBlock&, int);

template <void (*Op)(RasterPixel*, int, int, int, int, int)> void OperatorLoop(const BlitBlock& b, int w)
{
    RasterPixel* dstRow = b.dst;
    const RasterPixel* srcRow = b.src;
    for (int32_t y = 0; y < b.height; ++y, dstRow += b.dstStep, srcRow += b.srcStep)
    {
        for (int32_t x = 0; x < b.width; ++x)
        {
            RasterPixel s = srcRow[x];
            Op(dstRow + x, PixelRed(s), PixelGreen(s), PixelBlue(s), PixelAlpha(s), w);
        }
    }
}

void CopyRowsLoop(const BlitBlock& b, int)
{
    RasterPixel* dstRow = b.dst;
    const RasterPixel* srcRow = b.src;
    const size_t bytes = static_cast<size_t>(b.width) * sizeof(RasterPixel);
    for (int32_t y = 0; y < b.height; ++y, dstRow += b.dstStep, srcRow += b.srcStep)
        std::memmove(dstRow, srcRow, bytes);
}

void HalfMixLoop(const BlitBlock& b, int)
{
    RasterPixel* dstRow = b.dst;
    const RasterPixel* srcRow = b.src;
    for (int32_t y = 0; y < b.height; ++y, dstRow += b.dstStep, srcRow += b.srcStep)
        for (int32_t x = 0; x < b.width; ++x)
            dstRow[x] = MixHalf(dstRow[x], srcRow[x]);
}

void PlainCopyLoop(const BlitBlock& b, int)
{
    RasterPixel* dstRow = b.dst;
    const RasterPixel* srcRow = b.src;
    for (int32_t y = 0; y < b.height; ++y, dstRow += b.dstStep, srcRow += b.srcStep)
        for (int32_t x = 0; x < b.width; ++x)
            dstRow[x] = srcRow[x];
}

// BlendPixel at a constant weight (every byte, alpha included).
void BlendLoop(const BlitBlock& b, int w)
{
    RasterPixel* dstRow = b.dst;
    const RasterPixel* srcRow = b.src;
    for (int32_t y = 0; y < b.height; ++y, dstRow += b.dstStep, srcRow += b.srcStep)
    {
        int32_t x = 0;
#if defined(__SSE2__)
        const __m128i k = _mm_set1_epi16(static_cast<short>(256 - w));
        for (; x + 4 <= b.width; x += 4)
        {
            __m128i d = raster_simd::Load(dstRow + x);
            __m128i s = raster_simd::Load(srcRow + x);
            raster_simd::Store(dstRow + x, raster_simd::MixTowardSource(d, s, k, k));
        }
#endif
        for (; x < b.width; ++x)
        {
            RasterPixel s = srcRow[x];
            BlendPixel(dstRow + x, PixelRed(s), PixelGreen(s), PixelBlue(s), PixelAlpha(s), w);
        }
    }
}

inline void CopySourceAlphaOne(RasterPixel* d, RasterPixel s)
{
    CopyPixelSourceAlpha(d, PixelRed(s), PixelGreen(s), PixelBlue(s), PixelAlpha(s));
}

// CopyPixelSourceAlpha (weight 256): a = 0 keeps the pixel, a = 255 stores the
// colour with A = 255, otherwise colour S + ((D - S) x (255 - a)) / 256 and
// A = min(255, A + a). The general formula with k = 255 - a also gives the
// a = 255 result, so the four-pixel form only has to keep the a = 0 pixels.
void CopySourceAlphaLoop(const BlitBlock& b, int)
{
    RasterPixel* dstRow = b.dst;
    const RasterPixel* srcRow = b.src;
    for (int32_t y = 0; y < b.height; ++y, dstRow += b.dstStep, srcRow += b.srcStep)
    {
        int32_t x = 0;
#if defined(__SSE2__)
        const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        const __m128i full = _mm_set1_epi32(255);
        const __m128i zero = _mm_setzero_si128();
        for (; x + 4 <= b.width; x += 4)
        {
            __m128i s = raster_simd::Load(srcRow + x);
            __m128i a = _mm_srli_epi32(s, 24);
            __m128i transparent = _mm_cmpeq_epi32(a, zero);
            int transparentBits = _mm_movemask_epi8(transparent);
            if (transparentBits == 0xFFFF) continue;
            int opaqueBits = _mm_movemask_epi8(_mm_cmpeq_epi32(a, full));
            if (opaqueBits == 0xFFFF)
            {
                raster_simd::Store(dstRow + x, s);
                continue;
            }
            __m128i d = raster_simd::Load(dstRow + x);
            __m128i kLow, kHigh;
            raster_simd::SpreadPerPixel(_mm_sub_epi32(full, a), &kLow, &kHigh);
            __m128i colour = raster_simd::MixTowardSource(d, s, kLow, kHigh);
            __m128i alpha = _mm_and_si128(_mm_adds_epu8(d, _mm_and_si128(s, alphaMask)), alphaMask);
            __m128i mixed = _mm_or_si128(_mm_andnot_si128(alphaMask, colour), alpha);
            __m128i result =
                _mm_or_si128(_mm_and_si128(transparent, d), _mm_andnot_si128(transparent, mixed));
            raster_simd::Store(dstRow + x, result);
        }
#endif
        for (; x < b.width; ++x)
            CopySourceAlphaOne(dstRow + x, srcRow[x]);
    }
}

void ChannelCopyLoop(const BlitBlock& b, int mode)
{
    const unsigned srcShift = (static_cast<unsigned>(mode) & 3) * 8;
    const unsigned dstShift = ((static_cast<unsigned>(mode) >> 2) & 3) * 8;
    const RasterPixel keep = ~(RasterPixel{0xFF} << dstShift);
    RasterPixel* dstRow = b.dst;
    const RasterPixel* srcRow = b.src;
    for (int32_t y = 0; y < b.height; ++y, dstRow += b.dstStep, srcRow += b.srcStep)
        for (int32_t x = 0; x < b.width; ++x)
            dstRow[x] = (dstRow[x] & keep) | (((srcRow[x] >> srcShift) & 0xFF) << dstShift);
}

// Plain operators 1..5 and source-alpha forms 0..5 (copy is picked by weight).
constexpr RowLoop kPlainLoops[6] = {
    nullptr,
    OperatorLoop<AddPixel>,
    OperatorLoop<DodgePixel>,
    OperatorLoop<MultiplyPixel>,
    OperatorLoop<OverlayPixel>,
    OperatorLoop<HsvAdjustPixel>,
};
constexpr RowLoop kSourceAlphaLoops[6] = {
    OperatorLoop<BlendPixelSourceAlpha>,   OperatorLoop<AddPixelSourceAlpha>,
    OperatorLoop<DodgePixelSourceAlpha>,   OperatorLoop<MultiplyPixelSourceAlpha>,
    OperatorLoop<OverlayPixelSourceAlpha>, OperatorLoop<HsvAdjustPixelSourceAlpha>,
};
} // namespace

void BlitBitmapRect(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY,
                    const RasterRect* sourceRect, float alpha, BlendMode mode)
{
    // Only an alpha of 0 (or not a number) stops a blit before the mode is
    // looked at: a channel copy runs at any other alpha, which plays no
    // further part in it.
    if (!dest || !src || !IsNonZeroAlpha(alpha)) return;
    BlitBlock block;
    if (!ClipBlit(dest, src, dstX, dstY, sourceRect, &block)) return;

    if ((mode & kBlendOperatorMask) >= kBlendChannelCopyFirst)
    {
        ChannelCopyLoop(block, static_cast<int>(mode & kBlendOperatorMask));
        return;
    }
    if (!IsDrawableAlpha(alpha)) return;
    const uint32_t op = mode & (kBlendSourceAlpha | kBlendOperatorMask);
    if (op == kBlendCopy && alpha == 1.0f)
    {
        CopyRowsLoop(block, 0);
        return;
    }
    if (op == kBlendCopy && alpha == 0.5f)
    {
        HalfMixLoop(block, 0);
        return;
    }
    const int w = WeightFromAlpha(alpha);
    if (w <= 0) return;

    RowLoop loop = nullptr;
    if (op & kBlendSourceAlpha)
    {
        const uint32_t plain = op & kBlendOperatorMask;
        if (plain == kBlendCopy && w == kFullWeight)
            loop = CopySourceAlphaLoop;
        else if (plain <= kBlendLastOperator)
            loop = kSourceAlphaLoops[plain];
    }
    else if (op == kBlendCopy)
        loop = w == kFullWeight ? PlainCopyLoop : BlendLoop;
    else if (op <= kBlendLastOperator)
        loop = kPlainLoops[op];
    if (loop) loop(block, w);
}

void BlitBitmap(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY, int32_t srcX, int32_t srcY,
                int32_t width, int32_t height, float alpha, BlendMode mode)
{
    // Right and bottom are computed in 64 bits and held to the i32 range.
    auto edge = [](int32_t start, int32_t size)
    {
        int64_t e = static_cast<int64_t>(start) + size;
        return static_cast<int32_t>(e > INT32_MAX ? INT32_MAX : (e < INT32_MIN ? INT32_MIN : e));
    };
    RasterRect rect{srcX, srcY, edge(srcX, width), edge(srcY, height)};
    BlitBitmapRect(dest, src, dstX, dstY, &rect, alpha, mode);
}

void CopyBitmap(RasterBitmap* dest, RasterBitmap* src)
{
    if (!dest || !src) return;
    if (dest != src) dest->SetSize(src->Width(), src->Height());
    BlitBitmapRect(dest, src, 0, 0, nullptr, 1.0f, kBlendCopy);
}
