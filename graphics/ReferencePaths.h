#pragma once
// General per-pixel forms of the blit and the rectangle fill: the same
// clipping as the specialised loops, then the mode dispatch for every single
// pixel. Slow and obviously correct; the tests compare the specialised loops
// with them on seeded random cases.

#include "graphics/RasterBitmap.h"

#include <cstdint>

void BlitBitmapRectReference(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY,
                             const RasterRect* sourceRect, float alpha, BlendMode mode);

void FillRectangleReference(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height,
                            RasterPixel colour, float alpha, BlendMode mode);
