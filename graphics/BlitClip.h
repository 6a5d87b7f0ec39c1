#pragma once
// Clipping of a same-scale blit into a block of rows, shared by the blit loops
// and the per-pixel reference path.

#include "graphics/RasterBitmap.h"

#include <cstddef>
#include <cstdint>

struct BlitBlock
{
    RasterPixel* dst; // first pixel of the first destination row
    const RasterPixel* src;
    ptrdiff_t dstStep; // pixels from one row to the next (negative bottom-up)
    ptrdiff_t srcStep;
    int32_t width;
    int32_t height;
};

// Clips the blit; false when nothing is to be drawn (null bitmap, no pixels,
// empty block). Coordinates are computed in 64 bits so no input overflows.
bool ClipBlit(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY, const RasterRect* sourceRect,
              BlitBlock* block);
