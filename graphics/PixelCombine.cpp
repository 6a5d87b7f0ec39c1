#include "graphics/PixelCombine.h"

#include "graphics/BlendOperators.h"

namespace
{
RasterPixel ChannelCopy(RasterPixel destination, RasterPixel source, BlendMode mode)
{
    const unsigned srcShift = (mode & 3) * 8;
    const unsigned dstShift = ((mode >> 2) & 3) * 8;
    return (destination & ~(RasterPixel{0xFF} << dstShift)) | (((source >> srcShift) & 0xFF) << dstShift);
}

int LimitWeight(int weight)
{
    return weight > kFullWeight ? kFullWeight : weight;
}

int Bounded(int v)
{
    return v < -4096 ? -4096 : (v > 4096 ? 4096 : v);
}
} // namespace

RasterPixel CombinePixelWords(RasterPixel destination, RasterPixel source, float alpha, BlendMode mode)
{
    if (!IsNonZeroAlpha(alpha)) return destination;
    if ((mode & kBlendOperatorMask) >= kBlendChannelCopyFirst) return ChannelCopy(destination, source, mode);
    if (!IsDrawableAlpha(alpha)) return destination;
    const uint32_t op = mode & (kBlendSourceAlpha | kBlendOperatorMask);
    if (op == kBlendCopy && alpha == 1.0f) return source;
    if (op == kBlendCopy && alpha == 0.5f) return MixHalf(destination, source);
    const int w = WeightFromAlpha(alpha);
    if (w <= 0) return destination;
    RasterPixel result = destination;
    const int r = PixelRed(source), g = PixelGreen(source), b = PixelBlue(source), a = PixelAlpha(source);
    if (op & kBlendSourceAlpha)
        ApplySourceAlphaOperator(op & kBlendOperatorMask, &result, r, g, b, a, w);
    else if (op == kBlendCopy && w == kFullWeight)
        result = source;
    else
        ApplyPlainOperator(op, &result, r, g, b, a, w);
    return result;
}

void CombineIntoPixel(RasterPixel* pixel, int r, int g, int b, int a, int weight, BlendMode mode)
{
    if (!pixel || weight <= 0) return;
    const int w = LimitWeight(weight);
    if ((mode & kBlendOperatorMask) >= kBlendChannelCopyFirst)
    {
        *pixel = ChannelCopy(*pixel, MakePixel(a, r, g, b), mode);
        return;
    }
    const uint32_t op = mode & (kBlendSourceAlpha | kBlendOperatorMask);
    if (op & kBlendSourceAlpha)
        ApplySourceAlphaOperator(op & kBlendOperatorMask, pixel, r, g, b, a, w);
    else if (op == kBlendCopy && w == kFullWeight)
        *pixel = MakePixel(a, r, g, b);
    else
        ApplyPlainOperator(op, pixel, r, g, b, a, w);
}

void CombineIntoPixelClamped(RasterPixel* pixel, int r, int g, int b, int a, int weight, BlendMode mode)
{
    if (!pixel || weight <= 0) return;
    const int w = LimitWeight(weight);
    if ((mode & kBlendOperatorMask) >= kBlendChannelCopyFirst)
    {
        *pixel = ChannelCopy(
            *pixel, MakePixel(ClampChannel(a), ClampChannel(r), ClampChannel(g), ClampChannel(b)), mode);
        return;
    }
    const uint32_t op = mode & (kBlendSourceAlpha | kBlendOperatorMask);
    switch (op)
    {
    case kBlendCopy:
        if (w == kFullWeight)
            CopyPixelClamped(pixel, r, g, b, a);
        else
            BlendPixelClamped(pixel, r, g, b, a, w);
        return;
    case kBlendMultiply:
        MultiplyPixelClamped(pixel, r, g, b, a, w);
        return;
    case kBlendSourceAlpha | kBlendCopy:
        if (w == kFullWeight)
            CopyPixelSourceAlphaClamped(pixel, r, g, b, a);
        else
            BlendPixelSourceAlphaClamped(pixel, r, g, b, a, w);
        return;
    case kBlendSourceAlpha | kBlendMultiply:
        MultiplyPixelSourceAlphaClamped(pixel, r, g, b, a, w);
        return;
    default:
        break;
    }
    // Remaining operators: the plain forms clamp their own results; the
    // source-alpha forms need a source alpha within 0..255.
    if (op & kBlendSourceAlpha)
        ApplySourceAlphaOperator(op & kBlendOperatorMask, pixel, Bounded(r), Bounded(g), Bounded(b),
                                 ClampChannel(a), w);
    else
        ApplyPlainOperator(op, pixel, Bounded(r), Bounded(g), Bounded(b), Bounded(a), w);
}
