#include "graphics/BlitClip.h"

#include <algorithm>

bool ClipBlit(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY, const RasterRect* sourceRect,
              BlitBlock* block)
{
    if (!dest || !src) return false;
    const int64_t srcWidth = src->Width(), srcHeight = src->Height();
    const int64_t dstWidth = dest->Width(), dstHeight = dest->Height();
    int64_t dx = dstX, dy = dstY;
    int64_t sx = 0, sy = 0, ex = srcWidth, ey = srcHeight;
    if (sourceRect)
    {
        sx = sourceRect->left;
        if (sx < 0)
        {
            dx -= sx;
            sx = 0;
        }
        sy = sourceRect->top;
        if (sy < 0)
        {
            dy -= sy;
            sy = 0;
        }
        ex = std::min<int64_t>(sourceRect->right, srcWidth);
        ey = std::min<int64_t>(sourceRect->bottom, srcHeight);
    }
    if (dx < 0)
    {
        sx -= dx;
        dx = 0;
    }
    if (dy < 0)
    {
        sy -= dy;
        dy = 0;
    }
    if (ex - sx + dx > dstWidth) ex = dstWidth + sx - dx;
    if (ey - sy + dy > dstHeight) ey = dstHeight + sy - dy;
    if (ex <= sx || ey <= sy) return false;
    RasterPixel* dstPixels = dest->Pixels();
    RasterPixel* srcPixels = src->Pixels();
    if (!dstPixels || !srcPixels) return false;

    RasterRowWalk d =
        RowWalk(dstPixels, dest->Height(), dest->RowSpan(), dest->IsBottomUp(), static_cast<int32_t>(dy));
    RasterRowWalk s =
        RowWalk(srcPixels, src->Height(), src->RowSpan(), src->IsBottomUp(), static_cast<int32_t>(sy));
    block->dst = d.row + dx;
    block->src = s.row + sx;
    block->dstStep = d.step;
    block->srcStep = s.step;
    block->width = static_cast<int32_t>(ex - sx);
    block->height = static_cast<int32_t>(ey - sy);
    return true;
}
