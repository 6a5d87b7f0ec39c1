#pragma once
// Single pixels and rectangle fills.
//
// PlotPixel and FillRectangle share the copy fast paths on whole words
// (D = destination word, C = colour word, halves and quarters per byte):
//   w = 256: C;  w = 128: D/2 + C/2;  w = 64: D/2 + D/4 + C/4;
//   w = 192: C/2 + C/4 + D/4.
// Other weights apply the operator (low byte of the mode, 0..5) of
// BlendOperators.h. FillRectangle uses the weight itself, not the colour's
// alpha, as the alpha channel's source value. Weights follow the weight rule
// of RasterPixel.h. Every call clips to the bitmap; editor thread only.

#include "graphics/RasterBitmap.h"

#include <cstdint>

// Blends colour into pixel (x, y) with the operator in the low byte of mode
// (the source-alpha and filter bits play no part). Nothing outside the bitmap.
void PlotPixel(RasterBitmap* bitmap, int32_t x, int32_t y, RasterPixel colour, float alpha, BlendMode mode);

// The pixel's word; 0 for a null bitmap, no pixels or (x, y) outside.
RasterPixel ReadPixel(RasterBitmap* bitmap, int32_t x, int32_t y);

// Fills the rectangle with top-left (x, y). With the source-alpha bit the
// alpha is first scaled by the colour's alpha (alpha x (A x (1 / 255)) in
// single precision); then the operator in the low byte applies.
void FillRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height,
                   RasterPixel colour, float alpha, BlendMode mode);

// Every pixel p of the clipped rectangle becomes (p & andMask) | orBits.
void AndOrRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t width, int32_t height,
                    uint32_t andMask, uint32_t orBits);

// The weight FillRectangle uses for (alpha, colour, mode); 0 draws nothing.
int FillWeight(float alpha, RasterPixel colour, BlendMode mode);
