#pragma once
// Whole-bitmap and rectangle utilities of the library's interface. Each uses
// the rectangle clipping of the fills unless it works on the whole bitmap.
// Editor thread only; no errors are reported.

#include "graphics/RasterBitmap.h"

#include <cstdint>

// Every pixel of Width x Height becomes colour.
void ClearBitmap(RasterBitmap* bitmap, RasterPixel colour);

// Calls callback(pixel, data) for every pixel of the clipped block, row by
// row. Nothing when callback is null.
void ForEachPixelInRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t w, int32_t h,
                             void (*callback)(RasterPixel* pixel, void* data), void* data);

// Each channel c becomes clamp((c x S + O) >> 8) with S = trunc(scale x 256)
// and O = trunc(offset x 256) (arithmetic shift). A scale or offset that is
// not finite draws nothing; magnitudes are held to 2^20.
void MultiplyAddRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t w, int32_t h, float scaleR,
                          float scaleG, float scaleB, float scaleA, float offsetR, float offsetG,
                          float offsetB, float offsetA);

// Over the whole bitmap: a pixel whose low 24 bits equal key gets alpha 0
// (colour kept); every other pixel gets alpha 255.
void ApplyColourKey(RasterBitmap* bitmap, uint32_t key);

// Rewrites the connected vertical band of runs matching pixel(x, y) under
// compareMask as (p & andMask) | orBits: down from row y, then up from y - 1,
// each row's run around column x, stopping at the first row whose pixel in
// column x does not match. Rows are taken as stored. Nothing outside.
void FloodFill(RasterBitmap* bitmap, int32_t x, int32_t y, uint32_t orBits, uint32_t compareMask,
               uint32_t andMask);

// Compares two bitmaps. Null a and b: 0; a null: -1; b null: 1; different
// widths: b.Width - a.Width; different heights: b.Height - a.Height. Without
// rectangle: the first non-zero byte comparison of corresponding rows (its
// sign), else 0. With one: 0 and the rectangle all zeros when identical, else
// 1 with the rectangle set to the bounding box of differing pixels given as
// (x, y, width, height) in left, top, right, bottom.
int32_t CompareBitmaps(RasterBitmap* a, RasterBitmap* b, RasterRect* difference);

// A colour ramp in 16.16 fixed point: r, g, b and their steps scaled by 255,
// a and its steps by 256. Each pixel takes the integer parts as its source
// colour and its alpha value (nominally 0..256) as both the weight and the
// alpha channel's source value of the operator (low byte of mode, 0..5),
// every stored result clamped. Pixels whose weight is 0 or less are left;
// weights above 256 count as 256. Inputs that are not finite draw nothing.
void GradientRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t w, int32_t h, float r, float g,
                       float b, float a, float drdx, float dgdx, float dbdx, float dadx, float drdy,
                       float dgdy, float dbdy, float dady, BlendMode mode);
