#pragma once
// The outline of a rectangle with rounded corners: four straight edges
// (StrokeLine) and four quarter arcs (StrokeArc) of radius
// floor(min(radius, w / 2, h / 2)), or the plain StrokeRectangle outline when
// that radius is below 2. Every end point is the single-precision sum
// truncated toward zero, so for integral arguments the outline spans columns
// x..x + w and rows y..y + h, the same box as the plain rectangle.
// Colour, alpha, mode and antialias go unchanged to every line and arc.
// A box whose x, y, w or h is not finite draws nothing; clipping is done by
// the line and arc operations. The caller's thread; no state.

#include "graphics/RasterBitmap.h"

#include <cstdint>

void StrokeRoundRect(RasterBitmap* bitmap, float x, float y, float w, float h, int32_t radius,
                     RasterPixel colour, float alpha, BlendMode mode, bool antialias);
