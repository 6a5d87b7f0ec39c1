#include "graphics/ReferencePaths.h"

#include "graphics/BlendOperators.h"
#include "graphics/BlitClip.h"
#include "graphics/Fill.h"
#include "graphics/PixelCombine.h"
#include "graphics/RectClip.h"

void BlitBitmapRectReference(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY,
                             const RasterRect* sourceRect, float alpha, BlendMode mode)
{
    BlitBlock block;
    if (!ClipBlit(dest, src, dstX, dstY, sourceRect, &block)) return;
    for (int32_t y = 0; y < block.height; ++y)
        for (int32_t x = 0; x < block.width; ++x)
        {
            RasterPixel* d = block.dst + y * block.dstStep + x;
            *d = CombinePixelWords(*d, block.src[y * block.srcStep + x], alpha, mode);
        }
}

void FillRectangleReference(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height,
                            RasterPixel colour, float alpha, BlendMode mode)
{
    RectBlock block;
    if (!ClipRectangle(bitmap, x, y, width, height, &block)) return;
    const int w = FillWeight(alpha, colour, mode);
    const uint32_t op = mode & kBlendOperatorMask;
    if (w == 0 || op > kBlendLastOperator) return;
    for (int32_t j = 0; j < block.height; ++j)
        for (int32_t i = 0; i < block.width; ++i)
        {
            RasterPixel* p = block.first + j * block.step + i;
            if (op == kBlendCopy && w == 256)
                *p = colour;
            else if (op == kBlendCopy && w == 128)
                *p = MixHalf(*p, colour);
            else if (op == kBlendCopy && w == 64)
                *p = MixQuarter(*p, colour);
            else if (op == kBlendCopy && w == 192)
                *p = MixThreeQuarters(*p, colour);
            else
            {
                // The alpha channel's source value is the weight (at most 255
                // for HSV, whose result alpha is the source alpha).
                int alphaSource = (op == kBlendHsv && w > 255) ? 255 : w;
                ApplyPlainOperator(op, p, PixelRed(colour), PixelGreen(colour), PixelBlue(colour),
                                   alphaSource, w);
            }
        }
}
