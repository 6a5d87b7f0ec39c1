#pragma once
// PNG encoding of 32-bit bitmaps with libpng: 8 bits per channel, RGB when every pixel is opaque,
// RGBA (straight alpha) otherwise; maximum compression, no time or text chunks, so the same
// pixels always give the same bytes.

#include "graphics/RasterBitmap.h"

#include <cstdint>
#include <string>
#include <vector>

// The PNG bytes of the bitmap; false (and *out untouched) for a bitmap without pixels or when
// libpng reports an error.
bool EncodePng(RasterBitmap& bitmap, std::vector<uint8_t>* out);

// True when every pixel's alpha is 255.
bool IsOpaque(RasterBitmap& bitmap);
