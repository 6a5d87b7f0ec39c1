#pragma once
// Scaled and transformed blits: a source rectangle in floating-point source
// coordinates drawn into an integer destination rectangle of another size,
// optionally rotated or under a general affine map. Samples are taken in 16.16
// fixed point (SourceSampler.h), nearest or bilinear (bilinear when the mode's
// filter byte is exactly 1, mode & 0xFF00 == 0x100), and handed to the
// operator the mode names: op = mode & 0x100FF; copy (plain copy at weight
// 256, BlendPixel otherwise), add, dodge, multiply, overlay, HSV, and with bit
// 0x10000 the source-alpha forms (CopyPixelSourceAlpha at weight 256,
// BlendPixelSourceAlpha otherwise). Any other operator draws nothing.
// Weight: the weight rule of RasterPixel.h (an alpha outside (0, 1] draws
// nothing, except that a same-size BlitScaled is a BlitBitmapRect, whose
// channel copy runs at any alpha but 0 and NaN). Null bitmaps, empty sizes, coordinates that are not finite
// or lie beyond 2^30 pixels draw nothing. Nothing outside the destination is written, nothing outside the
// source is read. Editor thread; no allocation.

#include "graphics/RasterBitmap.h"

#include <cstdint>

// Draws (srcX, srcY, srcW, srcH) of src into (dstX, dstY, dstW, dstH) of dest.
// A negative dstW or dstH mirrors the image along that axis (the mirrored
// image is the exact reverse of the unmirrored one). Equal sizes with
// (for bilinear) source coordinates within 0.03 of whole pixels become a
// same-scale BlitBitmapRect. Copy with no filter and no source alpha stores
// the nearest sample at weight 256 and mixes D/2 + S/2 at weight 128. With
// bilinear filtering and both steps at least 1.7 source pixels per destination
// pixel, each pixel averages the 3 x 3 (5 x 5 when a step exceeds 3) source
// pixels around its sample.
void BlitScaled(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY, int32_t dstW, int32_t dstH,
                float srcX, float srcY, float srcW, float srcH, float alpha, BlendMode mode);

// BlitScaled plus a rotation by angle radians (clockwise on screen) about the
// centre of the source rectangle moved by (centreOffsetX, centreOffsetY)
// source pixels, which the centre of the destination rectangle samples. With
// clipToSource only pixels inside the source rectangle are sampled; outside
// the destination stays untouched. Copy at weight 256 stores the sample. A
// negative dstW or dstH mirrors as in BlitScaled (at angle 0 the mirrored
// image is the exact reverse of the unmirrored one).
void BlitRotated(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY, int32_t dstW,
                 int32_t dstH, float srcX, float srcY, float srcW, float srcH, float angle, bool clipToSource,
                 float alpha, BlendMode mode, float centreOffsetX, float centreOffsetY);

// The general affine blit: destination pixel (0, 0) samples (srcX, srcY); one
// column moves the sample by (dsdx, dtdx), one row by (dsdy, dtdy), and the
// column step changes by (dsdxdy, dtdxdy) from one row to the next. A
// negative dstW or dstH only moves the start by srcW or srcH and the
// destination position, without turning the steps.
void DeltaBlit(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY, int32_t dstW, int32_t dstH,
               float srcX, float srcY, float srcW, float srcH, double dsdx, double dtdx, double dsdy,
               double dtdy, double dsdxdy, double dtdxdy, bool clipToSource, float alpha, BlendMode mode);

// Each pixel (x, y) of dest, for x < min(dest.Width, src.Width / 2) and
// y < min(dest.Height, src.Height / 2), becomes the per-byte sum of the
// quarters (truncated) of the source's 2 x 2 block at (2x, 2y), in memory rows.
void HalveBitmap(RasterBitmap* dest, RasterBitmap* src);

// A mesh warp: columns x rows source points (x, y pairs, row by row; both
// counts at least 2) spread evenly over the destination rectangle; each cell
// is drawn with DeltaBlit from its top-left point, the steps being the
// differences to its neighbours divided by the cell's size. No source
// clipping. Fewer than 2 columns or rows, a null point list or non-finite
// points draw nothing; cells of no size are skipped.
void GridBlit(RasterBitmap* dest, RasterBitmap* src, int32_t x, int32_t y, int32_t w, int32_t h,
              const float* points, int32_t columns, int32_t rows, float alpha, BlendMode mode);
void GridBlitDouble(RasterBitmap* dest, RasterBitmap* src, int32_t x, int32_t y, int32_t w, int32_t h,
                    const double* points, int32_t columns, int32_t rows, float alpha, BlendMode mode);
