#pragma once
// A small fixed blur computed bytewise on whole words. Per byte of each pixel:
// the centre weighs 1/2 and each of its four neighbours 1/8; a neighbour
// outside the block gives its weight to the opposite one, which then weighs
// 1/4. Every term is a shifted word with the crossing bits cleared, so each is
// truncated separately (a block of 0xFF bytes gives 0xFB inside, 0xFC on the
// edges, 0xFD in the corners). Neighbours are always the unblurred pixels.

#include "graphics/RasterBitmap.h"

#include <cstdint>

// Writes a blurred copy of the rectangle (srcX, srcY, width, height) of src
// to (dstX, dstY) of dest, clipped like a blit (a negative source corner moves
// the destination with it). dest and src may be the same bitmap, at the same
// or another position. Nothing unless the clipped block is at least 2 x 2.
// No allocation for in-place blocks up to 1024 pixels wide.
void BlurRectangle(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY, int32_t srcX,
                   int32_t srcY, int32_t width, int32_t height);
