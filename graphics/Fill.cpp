#include "graphics/Fill.h"

#include "graphics/BlendOperators.h"
#include "graphics/PixelMixSimd.h"
#include "graphics/RectClip.h"

namespace
{
// 1 / 255 as the single-precision constant the source-alpha fold uses.
constexpr float kInverse255 = 0.003921569f;

// Copy fast paths on whole words; false when w has none.
inline bool CopyWordMix(int w, RasterPixel d, RasterPixel c, RasterPixel* out)
{
    switch (w)
    {
    case 256:
        *out = c;
        return true;
    case 128:
        *out = MixHalf(d, c);
        return true;
    case 64:
        *out = MixQuarter(d, c);
        return true;
    case 192:
        *out = MixThreeQuarters(d, c);
        return true;
    default:
        return false;
    }
}

using FillLoop = void (*)(const RectBlock&, RasterPixel colour, int w);

template <RasterPixel (*Mix)(RasterPixel, RasterPixel)>
void WordMixFill(const RectBlock& b, RasterPixel colour, int)
{
    RasterPixel* row = b.first;
    for (int32_t y = 0; y < b.height; ++y, row += b.step)
        for (int32_t x = 0; x < b.width; ++x)
            row[x] = Mix(row[x], colour);
}

RasterPixel StoreColour(RasterPixel, RasterPixel c)
{
    return c;
}

// Copy at a weight of 1..255: colour channels toward r, g, b and the alpha
// channel toward w, each D = S + ((D - S) x (256 - w)) / 256.
void BlendFill(const RectBlock& b, RasterPixel colour, int w)
{
    const RasterPixel source = (colour & 0x00FFFFFFu) | (static_cast<RasterPixel>(w) << 24);
    const int r = PixelRed(colour), g = PixelGreen(colour), bl = PixelBlue(colour);
    RasterPixel* row = b.first;
#if defined(__SSE2__)
    const __m128i s = _mm_set1_epi32(static_cast<int>(source));
    const __m128i k = _mm_set1_epi16(static_cast<short>(256 - w));
#endif
    for (int32_t y = 0; y < b.height; ++y, row += b.step)
    {
        int32_t x = 0;
#if defined(__SSE2__)
        for (; x + 4 <= b.width; x += 4)
            raster_simd::Store(row + x, raster_simd::MixTowardSource(raster_simd::Load(row + x), s, k, k));
#endif
        for (; x < b.width; ++x)
            BlendPixel(row + x, r, g, bl, w, w);
    }
}

// Operators 1..5: the colour's r, g, b and the alpha source value w
// (at most 255 for HSV, whose result alpha is the source alpha).
template <void (*Op)(RasterPixel*, int, int, int, int, int), bool kLimitAlpha>
void OperatorFill(const RectBlock& b, RasterPixel colour, int w)
{
    const int r = PixelRed(colour), g = PixelGreen(colour), bl = PixelBlue(colour);
    const int alphaSource = kLimitAlpha && w > 255 ? 255 : w;
    RasterPixel* row = b.first;
    for (int32_t y = 0; y < b.height; ++y, row += b.step)
        for (int32_t x = 0; x < b.width; ++x)
            Op(row + x, r, g, bl, alphaSource, w);
}

constexpr FillLoop kOperatorFills[6] = {
    BlendFill,
    OperatorFill<AddPixel, false>,
    OperatorFill<DodgePixel, false>,
    OperatorFill<MultiplyPixel, false>,
    OperatorFill<OverlayPixel, false>,
    OperatorFill<HsvAdjustPixel, true>,
};
} // namespace

void PlotPixel(RasterBitmap* bitmap, int32_t x, int32_t y, RasterPixel colour, float alpha, BlendMode mode)
{
    if (!bitmap) return;
    RasterPixel* pixels = bitmap->Pixels();
    const int32_t width = bitmap->Width(), height = bitmap->Height();
    if (!pixels || x < 0 || y < 0 || x >= width || y >= height) return;
    RasterPixel* p = RowWalk(pixels, height, bitmap->RowSpan(), bitmap->IsBottomUp(), y).row + x;
    const int w = WeightFromAlpha(alpha);
    const uint32_t op = mode & kBlendOperatorMask;
    if (op == kBlendCopy && CopyWordMix(w, *p, colour, p)) return;
    if (w == 0 || op > kBlendLastOperator) return;
    ApplyPlainOperator(op, p, PixelRed(colour), PixelGreen(colour), PixelBlue(colour), PixelAlpha(colour), w);
}

RasterPixel ReadPixel(RasterBitmap* bitmap, int32_t x, int32_t y)
{
    if (!bitmap) return 0;
    RasterPixel* pixels = bitmap->Pixels();
    const int32_t width = bitmap->Width(), height = bitmap->Height();
    if (!pixels || x < 0 || y < 0 || x >= width || y >= height) return 0;
    return RowWalk(pixels, height, bitmap->RowSpan(), bitmap->IsBottomUp(), y).row[x];
}

int FillWeight(float alpha, RasterPixel colour, BlendMode mode)
{
    if (!IsDrawableAlpha(alpha)) return 0;
    float effective = alpha;
    if (mode & kBlendSourceAlpha) effective = alpha * (static_cast<float>(PixelAlpha(colour)) * kInverse255);
    if (effective == 0.0f) return 0;
    return WeightFromAlpha(effective);
}

void FillRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height,
                   RasterPixel colour, float alpha, BlendMode mode)
{
    RectBlock block;
    if (!ClipRectangle(bitmap, x, y, width, height, &block)) return;
    const int w = FillWeight(alpha, colour, mode);
    const uint32_t op = mode & kBlendOperatorMask;
    if (w == 0 || op > kBlendLastOperator) return;
    FillLoop loop = kOperatorFills[op];
    if (op == kBlendCopy)
    {
        switch (w)
        {
        case 256:
            loop = WordMixFill<StoreColour>;
            break;
        case 128:
            loop = WordMixFill<MixHalf>;
            break;
        case 64:
            loop = WordMixFill<MixQuarter>;
            break;
        case 192:
            loop = WordMixFill<MixThreeQuarters>;
            break;
        default:
            break;
        }
    }
    loop(block, colour, w);
}

void AndOrRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height,
                    uint32_t andMask, uint32_t orBits)
{
    RectBlock block;
    if (!ClipRectangle(bitmap, x, y, width, height, &block)) return;
    RasterPixel* row = block.first;
    for (int32_t j = 0; j < block.height; ++j, row += block.step)
        for (int32_t i = 0; i < block.width; ++i)
            row[i] = (row[i] & andMask) | orBits;
}
