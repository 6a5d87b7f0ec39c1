#include "graphics/RectClip.h"

bool ClipRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height,
                   RectBlock* block)
{
    if (!bitmap) return false;
    int64_t left = x, top = y, w = width, h = height;
    const int64_t bitmapWidth = bitmap->Width(), bitmapHeight = bitmap->Height();
    if (left < 0)
    {
        w += left;
        left = 0;
    }
    if (top < 0)
    {
        h += top;
        top = 0;
    }
    if (left + w > bitmapWidth) w = bitmapWidth - left;
    if (top + h > bitmapHeight) h = bitmapHeight - top;
    RasterPixel* pixels = bitmap->Pixels();
    if (!pixels || w < 1 || h < 1 || bitmap->RowSpan() < 1) return false;
    RasterRowWalk walk =
        RowWalk(pixels, bitmap->Height(), bitmap->RowSpan(), bitmap->IsBottomUp(), static_cast<int32_t>(top));
    block->first = walk.row + left;
    block->step = walk.step;
    block->x = static_cast<int32_t>(left);
    block->y = static_cast<int32_t>(top);
    block->width = static_cast<int32_t>(w);
    block->height = static_cast<int32_t>(h);
    return true;
}
