#pragma once
// Sampling a source bitmap at 16.16 fixed-point positions, for the scaled,
// rotated and affine blits. A position's pixel is floor(position / 65536)
// (so a position just left of or above the bitmap is outside it) and its
// fraction the low 16 bits. Positions are pixel corners: 0 samples the
// top-left corner of pixel 0, with no half-pixel offset.
//
// Nearest: the pixel (X, Y) when minX <= X < maxX and minY <= Y < maxY.
// Bilinear, with fractions fx, fy: inside the limits and left of the last
// column and above the last row, each channel is
// (p00 w00 + p10 w10 + p01 w01 + p11 w11) / 65536 with w11 = (fx fy) >> 16,
// w10 = fx - w11, w01 = fy - w11, w00 = 65536 - fx - fy + w11 (never negative:
// it is (65536 - fx)(65536 - fy) / 65536 rounded down); on the last
// column it interpolates only down the column, on the last row only along
// the row, and the last pixel is taken as it is. Outside the limits there is
// no sample and the destination stays untouched.

#include "graphics/RasterBitmap.h"

#include <cstddef>
#include <cstdint>

namespace raster_sample
{
struct SourceView
{
    const RasterPixel* row0; // image row 0
    ptrdiff_t step;          // pixels from one image row to the next
    int64_t minX, minY, maxX, maxY;

    const RasterPixel* At(int64_t x, int64_t y) const { return row0 + step * y + x; }
};

// The view of all of src with the given limits (already held to the bitmap);
// row0 null when the bitmap has no pixels.
inline SourceView MakeSourceView(RasterBitmap* src, int64_t minX, int64_t minY, int64_t maxX, int64_t maxY)
{
    RasterPixel* pixels = src->Pixels();
    SourceView v{nullptr, 0, minX, minY, maxX, maxY};
    if (!pixels || src->Height() < 1) return v;
    RasterRowWalk walk = RowWalk(pixels, src->Height(), src->RowSpan(), src->IsBottomUp(), 0);
    v.row0 = walk.row;
    v.step = walk.step;
    return v;
}

struct Nearest
{
    static bool Sample(const SourceView& v, int64_t px, int64_t py, RasterPixel* out)
    {
        const int64_t X = px >> 16, Y = py >> 16;
        if (X < v.minX || Y < v.minY || X >= v.maxX || Y >= v.maxY) return false;
        *out = *v.At(X, Y);
        return true;
    }
};

// Channel pairs in two 32-bit lanes of a 64-bit word, so one multiply
// weights two channels: "even" holds B (bits 0-7) and R (bits 32-39), "odd"
// holds G and A. A lane never exceeds 255 x 65536, so the weighted sums stay
// exact and the lanes never carry into each other.
inline uint64_t EvenChannels(RasterPixel p)
{
    return (static_cast<uint64_t>(p & 0x00FF0000u) << 16) | (p & 0xFFu);
}
inline uint64_t OddChannels(RasterPixel p)
{
    return (static_cast<uint64_t>(p & 0xFF000000u) << 8) | ((p >> 8) & 0xFFu);
}
// Both lanes divided by 65536 (the sums are never negative) and packed back.
inline RasterPixel PackChannels(uint64_t even, uint64_t odd)
{
    even = (even >> 16) & 0x000000FF000000FFull;
    odd = (odd >> 16) & 0x000000FF000000FFull;
    return static_cast<RasterPixel>(even | (even >> 16) | (odd << 8) | (odd >> 8));
}

struct Bilinear
{
    // (p0 (65536 - f) + p1 f) >> 16 per channel.
    static RasterPixel Mix2(RasterPixel p0, RasterPixel p1, uint32_t f)
    {
        const uint64_t g = 65536 - f;
        return PackChannels(EvenChannels(p0) * g + EvenChannels(p1) * f,
                            OddChannels(p0) * g + OddChannels(p1) * f);
    }

    static bool Sample(const SourceView& v, int64_t px, int64_t py, RasterPixel* out)
    {
        const int64_t X = px >> 16, Y = py >> 16;
        if (X < v.minX || Y < v.minY || X >= v.maxX || Y >= v.maxY) return false;
        const uint32_t fx = static_cast<uint32_t>(px & 0xFFFF), fy = static_cast<uint32_t>(py & 0xFFFF);
        const RasterPixel* p = v.At(X, Y);
        const bool lastColumn = X == v.maxX - 1, lastRow = Y == v.maxY - 1;
        if (lastColumn && lastRow)
            *out = *p;
        else if (lastColumn)
            *out = Mix2(p[0], p[v.step], fy);
        else if (lastRow)
            *out = Mix2(p[0], p[1], fx);
        else
        {
            // Formed in 64 bits with w11 added before fx and fy are taken
            // away: 65536 - fx - fy alone goes below zero when fx + fy > 65536.
            const uint64_t w11 = (uint64_t{fx} * fy) >> 16, w10 = fx - w11, w01 = fy - w11;
            const uint64_t w00 = 65536 + w11 - fx - fy;
            const RasterPixel p00 = p[0], p10 = p[1], p01 = p[v.step], p11 = p[v.step + 1];
            *out = PackChannels(EvenChannels(p00) * w00 + EvenChannels(p10) * w10 + EvenChannels(p01) * w01 +
                                    EvenChannels(p11) * w11,
                                OddChannels(p00) * w00 + OddChannels(p10) * w10 + OddChannels(p01) * w01 +
                                    OddChannels(p11) * w11);
        }
        return true;
    }
};

// Converts a position or step in pixels to 16.16, truncated toward zero.
// False when the value is not finite or too large to walk without overflow.
inline bool ToFixed(double v, int64_t* out)
{
    constexpr double kLimit = 1099511627776.0; // 2^40 pixels
    if (!(v > -kLimit && v < kLimit)) return false;
    *out = static_cast<int64_t>(v * 65536.0);
    return true;
}
} // namespace raster_sample
