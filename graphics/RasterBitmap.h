#pragma once
// The bitmap interface every drawing routine works on.
//
// Addressing rule: pixel (x, y), 0 <= x < Width, 0 <= y < Height, lies at
// Pixels() + RowSpan() * row + x (in pixels), where row = y, or
// Height - 1 - y when IsBottomUp(). Code that walks image rows downward steps
// by +RowSpan, or by -RowSpan on a bottom-up bitmap.
//
// Drawing routines read Pixels, Width, Height, RowSpan and IsBottomUp once per
// call (never per pixel) and do nothing when Pixels is null.

#include "graphics/RasterPixel.h"

#include <cstddef>
#include <cstdint>

struct PlatformDC;

// A rectangle: left, top, right, bottom; right and bottom exclusive.
struct RasterRect
{
    int32_t left, top, right, bottom;
};

class RasterBitmap
{
public:
    RasterBitmap() = default;
    RasterBitmap(const RasterBitmap&) = delete;
    RasterBitmap& operator=(const RasterBitmap&) = delete;
    virtual ~RasterBitmap() = default;

    // First pixel of memory row 0; null when the bitmap has no storage.
    virtual RasterPixel* Pixels() = 0;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
    // Distance between memory rows in pixels, at least the width.
    virtual int32_t RowSpan() const = 0;
    // True when memory row 0 is the bottom image row.
    virtual bool IsBottomUp() const { return false; }
    // Resizes. Returns false when the size asked for is the current one;
    // otherwise as each implementation states. Content is not cleared.
    virtual bool SetSize(int32_t width, int32_t height) = 0;
    // The device context the bitmap can be drawn on natively; null by default.
    virtual PlatformDC* DeviceContext() { return nullptr; }
    // Extension hook; null for every bitmap of the system.
    virtual void* QueryExtension(uint32_t /*id*/) { return nullptr; }
};

// Pointer to the first pixel of image row y (by the addressing rule) and the
// step in pixels to the next image row below it. The bitmap must have pixels
// and 0 <= y < height.
struct RasterRowWalk
{
    RasterPixel* row;
    ptrdiff_t step;
};

inline RasterRowWalk RowWalk(RasterPixel* pixels, int32_t height, int32_t span, bool bottomUp, int32_t y)
{
    if (bottomUp)
        return {pixels + static_cast<ptrdiff_t>(span) * (height - 1 - y), -static_cast<ptrdiff_t>(span)};
    return {pixels + static_cast<ptrdiff_t>(span) * y, static_cast<ptrdiff_t>(span)};
}
