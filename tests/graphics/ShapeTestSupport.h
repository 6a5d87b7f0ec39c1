#pragma once
// Helpers shared by the shape and transformed-blit tests: pixel sets, the
// padding guard (words beyond each row's width must never be written) and
// window comparisons against a larger reference bitmap.

#include "tests/graphics/TestBitmap.h"

#include <cstdint>
#include <set>
#include <utility>

namespace shape_test
{
using Points = std::set<std::pair<int, int>>;

inline constexpr RasterPixel kSentinel = 0xA5C3E1F7u;

// Every pixel that differs from background, by image coordinates.
inline Points Changed(TestBitmap& b, RasterPixel background)
{
    Points out;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.At(x, y) != background) out.insert({x, y});
    return out;
}

// Sets every word, padding included, to the sentinel, then the visible
// pixels to background.
inline void Prepare(TestBitmap& b, RasterPixel background)
{
    RasterPixel* p = b.Pixels();
    for (int64_t i = 0; i < int64_t{b.RowSpan()} * b.Height(); ++i)
        p[i] = kSentinel;
    b.Fill(background);
}

// True when no padding word was touched.
inline bool PaddingIntact(TestBitmap& b)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = b.Width(); x < b.RowSpan(); ++x)
            if (b.Pixels()[int64_t{y} * b.RowSpan() + x] != kSentinel) return false;
    return true;
}

// True when small equals the window of big whose top-left is (ox, oy).
inline bool WindowEquals(TestBitmap& small, TestBitmap& big, int ox, int oy)
{
    for (int y = 0; y < small.Height(); ++y)
        for (int x = 0; x < small.Width(); ++x)
            if (small.At(x, y) != big.At(x + ox, y + oy)) return false;
    return true;
}

// The point set mirrored into all four quadrants around (cx, cy).
inline Points Quadrants(int cx, int cy, std::initializer_list<std::pair<int, int>> offsets)
{
    Points out;
    for (auto [dx, dy] : offsets)
        for (int sx : {-1, 1})
            for (int sy : {-1, 1})
                out.insert({cx + sx * dx, cy + sy * dy});
    return out;
}
} // namespace shape_test
