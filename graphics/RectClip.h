#pragma once
// The rectangle clipping shared by fills, AND/OR masking and the rectangle
// utilities: a rectangle (x, y, width, height) cut to the bitmap, as a block
// of rows in image order.

#include "graphics/RasterBitmap.h"

#include <cstddef>
#include <cstdint>

struct RectBlock
{
    RasterPixel* first; // first pixel of the top image row of the block
    ptrdiff_t step;     // pixels to the next image row (negative bottom-up)
    int32_t x, y;       // the clipped top-left corner in image coordinates
    int32_t width;
    int32_t height;
};

// False when nothing is left (null bitmap, no pixels, empty rectangle).
// Computed in 64 bits so no input overflows.
bool ClipRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height,
                   RectBlock* block);
