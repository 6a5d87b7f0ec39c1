#pragma once
// Same-scale blits: a rectangle of one bitmap drawn onto another, each source
// pixel combined with the destination pixel under a BlendMode and an alpha.
//
// Mode handling (after clipping, chosen once per call):
//   - operator byte 0xF0..0xFF: channel copy: destination byte (mode >> 2) & 3
//     takes source byte mode & 3 (0 = B, 1 = G, 2 = R, 3 = A), at any alpha
//     but 0 and not-a-number (alpha plays no other part);
//   - copy at alpha exactly 1.0: a block move per row;
//   - copy at alpha exactly 0.5: floor(D / 2) + floor(S / 2) per byte;
//   - otherwise weight w = trunc(alpha x 256) and one loop per operator:
//     plain operators 0..5, or the source-alpha forms when bit 0x10000 is set
//     (copy at w = 256 uses CopyPixelSourceAlpha, else BlendPixelSourceAlpha).
// The filter bits play no part. Null bitmaps, an empty clipped block, an
// operator outside the table and, except for channel copy, an alpha that
// cannot draw (0, negative, above 1 or not a number) draw nothing. Rows are processed top to bottom in image
// order, left to right. Editor thread only; no allocation.

#include "graphics/RasterBitmap.h"

#include <cstdint>

// Draws sourceRect of src (all of src when null) with its top-left corner at
// (dstX, dstY) of dest.
void BlitBitmapRect(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY,
                    const RasterRect* sourceRect, float alpha, BlendMode mode);

// BlitBitmapRect with the rectangle (srcX, srcY, srcX + width, srcY + height).
void BlitBitmap(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY, int32_t srcX, int32_t srcY,
                int32_t width, int32_t height, float alpha, BlendMode mode);

// Resizes dest to src's size and copies all of src to (0, 0). Nothing when
// either is null.
void CopyBitmap(RasterBitmap* dest, RasterBitmap* src);
