#pragma once
// PNG snapshots of pixels for tests and tools (libpng's write side; the product itself
// only reads PNG).
//
// What it implements:
//   [x] 0xAARRGGBB pixel rows (a window surface, a DIB section, any bitmap's rows) written
//       as an 8-bit RGBA PNG file or into memory, straight (not premultiplied) alpha
//   [x] optionally opaque (every alpha byte written as 255), as the screen shows them
// A window surface's never-painted pixels are 0 and so come out transparent.

#include "platform/gdi/Surface.h"

#include <cstdint>
#include <vector>

enum class PngAlpha
{
    Keep,  // the pixels' own alpha bytes
    Opaque // alpha 255 everywhere
};

// Rows of `width` pixels, `stride` pixels apart (stride >= width), top row first.
// False for bad arguments (null pixels, a size below 1, stride < width) or a write error.
bool WritePixelsPng(const uint32_t* pixels, int width, int height, int stride, const char* path,
                    PngAlpha alpha = PngAlpha::Keep);
bool EncodePixelsPng(const uint32_t* pixels, int width, int height, int stride,
                     std::vector<unsigned char>& out, PngAlpha alpha = PngAlpha::Keep);

// The whole surface. False for an empty surface or a write error.
bool SaveSurfacePng(const PixelSurface& surface, const char* path, PngAlpha alpha = PngAlpha::Keep);
