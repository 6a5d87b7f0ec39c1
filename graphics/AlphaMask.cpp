#include "graphics/AlphaMask.h"

#include "graphics/BlendOperators.h"

#include <algorithm>
#include <cstddef>

namespace
{
struct MaskBlock
{
    RasterPixel* dst;
    ptrdiff_t dstStep;
    const uint8_t* mask;
    ptrdiff_t maskSpan;
    int32_t width, height;
};

using MaskLoop = void (*)(const MaskBlock&, RasterPixel colour, int w);

template <void (*Op)(RasterPixel*, int, int, int, int, int)>
void MaskOperatorLoop(const MaskBlock& b, RasterPixel colour, int w)
{
    const int r = PixelRed(colour), g = PixelGreen(colour), bl = PixelBlue(colour), a = PixelAlpha(colour);
    RasterPixel* row = b.dst;
    const uint8_t* maskRow = b.mask;
    for (int32_t y = 0; y < b.height; ++y, row += b.dstStep, maskRow += b.maskSpan)
        for (int32_t x = 0; x < b.width; ++x)
        {
            const int m = maskRow[x];
            if (m != 0) Op(row + x, r, g, bl, a, (m * w) / 256);
        }
}

constexpr MaskLoop kMaskLoops[6] = {
    MaskOperatorLoop<BlendPixel>,    MaskOperatorLoop<AddPixel>,     MaskOperatorLoop<DodgePixel>,
    MaskOperatorLoop<MultiplyPixel>, MaskOperatorLoop<OverlayPixel>, MaskOperatorLoop<HsvAdjustPixel>,
};
} // namespace

void DrawAlphaMaskWithSpan(RasterBitmap* bitmap, int32_t x, int32_t y, RasterPixel colour,
                           const uint8_t* mask, int32_t width, int32_t maskSpan, int32_t height, float alpha,
                           BlendMode mode)
{
    DrawAlphaMaskAtWeight(bitmap, x, y, colour, mask, width, maskSpan, height, WeightFromAlpha(alpha), mode);
}

void DrawAlphaMaskAtWeight(RasterBitmap* bitmap, int32_t x, int32_t y, RasterPixel colour,
                           const uint8_t* mask, int32_t width, int32_t maskSpan, int32_t height, int weight,
                           BlendMode mode)
{
    if (!bitmap || !mask || width < 1 || height < 1) return;
    const int w = std::clamp(weight, -kMaxMaskWeight, kMaxMaskWeight);
    if (!(x > -static_cast<int64_t>(width)) || !(y > -static_cast<int64_t>(height))) return;
    int64_t maskX = 0, maskY = 0, drawWidth = width, drawHeight = height;
    int64_t startX = x, startY = y;
    if (x < 0)
    {
        maskX = -static_cast<int64_t>(x);
        drawWidth = width + static_cast<int64_t>(x);
        startX = 0;
    }
    if (y < 0)
    {
        maskY = -static_cast<int64_t>(y);
        drawHeight = height + static_cast<int64_t>(y);
        startY = 0;
    }
    const int64_t bitmapWidth = bitmap->Width(), bitmapHeight = bitmap->Height();
    if (startX >= bitmapWidth || startY >= bitmapHeight) return;
    if (startX + drawWidth > bitmapWidth) drawWidth = bitmapWidth - startX;
    if (startY + drawHeight > bitmapHeight) drawHeight = bitmapHeight - startY;
    RasterPixel* pixels = bitmap->Pixels();
    if (drawWidth < 1 || drawHeight < 1 || !pixels) return;
    const uint32_t op = mode & kBlendOperatorMask;
    if (w == 0 || op > kBlendLastOperator || (op == kBlendCopy && w < 0)) return;

    RasterRowWalk walk = RowWalk(pixels, bitmap->Height(), bitmap->RowSpan(), bitmap->IsBottomUp(),
                                 static_cast<int32_t>(startY));
    MaskBlock block;
    block.dst = walk.row + startX;
    block.dstStep = walk.step;
    block.maskSpan = maskSpan;
    block.mask = mask + maskY * block.maskSpan + maskX;
    block.width = static_cast<int32_t>(drawWidth);
    block.height = static_cast<int32_t>(drawHeight);
    kMaskLoops[op](block, colour, w);
}

void DrawAlphaMask(RasterBitmap* bitmap, int32_t x, int32_t y, RasterPixel colour, const uint8_t* mask,
                   int32_t width, int32_t height, float alpha, BlendMode mode)
{
    DrawAlphaMaskWithSpan(bitmap, x, y, colour, mask, width, width, height, alpha, mode);
}
