// Block copies between memory DCs and onto window surfaces.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"
#include "tests/platform/gdi/MemoryCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace
{

TEST(BitBlt, CopiesOntoAWindowSurfaceOpaqueAndClipped)
{
    MemoryCanvas back(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            back.At(x, y) = 0x00010000u * (x + 1) + 0x100u * (y + 1) + 0x80000000u * (x == 0);
    PixelSurface screen;
    screen.Resize(5, 3);
    HDC window = CreateSurfaceDC(&screen);

    // Destination (3, -1): only columns 3..4 and rows 0..1 of the screen exist.
    ASSERT_TRUE(BitBlt(window, 3, -1, 4, 4, back.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(screen.At(3, 0), 0xFF010200u) << "source (0, 1), alpha forced opaque";
    EXPECT_EQ(screen.At(4, 1), 0xFF020300u) << "source (1, 2)";
    EXPECT_EQ(screen.At(2, 0), 0u) << "left of the block stays unpainted";
    EXPECT_EQ(screen.At(3, 2), 0xFF010400u) << "source (0, 3)";
    ReleaseSurfaceDC(window);
}

TEST(BitBlt, WindowClipLimitsThePaintedArea)
{
    MemoryCanvas back(6, 6);
    for (int i = 0; i < 36; ++i)
        back.pixels[i] = 0x123456;
    PixelSurface screen;
    screen.Resize(6, 6);
    HDC window = CreateSurfaceDC(&screen);
    const RECT clip = {2, 1, 4, 3};
    ASSERT_TRUE(SetSurfaceDCClip(window, &clip));
    ASSERT_TRUE(BitBlt(window, 0, 0, 6, 6, back.dc, 0, 0, SRCCOPY));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
        {
            const bool inside = x >= 2 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(screen.At(x, y), inside ? 0xFF123456u : 0u) << x << "," << y;
        }
    ReleaseSurfaceDC(window);
    EXPECT_FALSE(SetSurfaceDCClip(window, nullptr)) << "the DC is gone";
}

TEST(BitBlt, CopiesBackFromAWindowSurface)
{
    PixelSurface screen;
    screen.Resize(2, 2);
    screen.pixels = {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFFFFFFFFu};
    HDC window = CreateSurfaceDC(&screen);
    MemoryCanvas copy(2, 2);
    ASSERT_TRUE(BitBlt(copy.dc, 0, 0, 2, 2, window, 0, 0, SRCCOPY));
    EXPECT_EQ(copy.At(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(copy.At(0, 1), 0xFFFF0000u);
    ReleaseSurfaceDC(window);
}

TEST(BitBlt, RefusesOtherOperationsAndBadArguments)
{
    MemoryCanvas a(2, 2), b(2, 2);
    EXPECT_FALSE(BitBlt(a.dc, 0, 0, 2, 2, b.dc, 0, 0, 0x00EE0086)); // SRCPAINT
    EXPECT_FALSE(BitBlt(a.dc, 0, 0, -2, 2, b.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 2, 2, b.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(a.dc, 0, 0, 2, 2, reinterpret_cast<HDC>(0x1234), 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(a.dc, 0, 0, 0, 0, b.dc, 0, 0, SRCCOPY)) << "an empty block copies nothing";
    EXPECT_TRUE(BitBlt(a.dc, 0x7FFFFFF0, 0x7FFFFFF0, 0x7FFFFFFF, 0x7FFFFFFF, b.dc, -0x7FFFFFFF, 0, SRCCOPY));
}

// Reference: pixel by pixel through a snapshot of the source, with every bound checked.
void ReferenceBlit(std::vector<uint32_t>& dst, int dw, int dh, const std::vector<uint32_t>& src, int sw,
                   int sh, int x, int y, int cx, int cy, int sx, int sy)
{
    for (int j = 0; j < cy; ++j)
        for (int i = 0; i < cx; ++i)
        {
            const int tx = x + i, ty = y + j, fx = sx + i, fy = sy + j;
            if (tx >= 0 && tx < dw && ty >= 0 && ty < dh && fx >= 0 && fx < sw && fy >= 0 && fy < sh)
                dst[ty * dw + tx] = src[fy * sw + fx];
        }
}

TEST(BitBlt, MatchesThePixelByPixelReferenceOnRandomBlocks)
{
    for (int seed = 1; seed <= 400; ++seed)
    {
        std::mt19937 random(seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
        const int sw = pick(1, 9), sh = pick(1, 9);
        const bool sameDc = seed % 4 == 0; // overlapping copies within one bitmap
        const int dw = sameDc ? sw : pick(1, 9), dh = sameDc ? sh : pick(1, 9);
        MemoryCanvas src(sw, sh);
        MemoryCanvas separate(dw, dh);
        MemoryCanvas& dst = sameDc ? src : separate;
        for (int i = 0; i < sw * sh; ++i)
            src.pixels[i] = static_cast<uint32_t>(random());
        for (int i = 0; i < dw * dh; ++i)
            dst.pixels[i] = static_cast<uint32_t>(random());
        const std::vector<uint32_t> srcBefore(src.pixels, src.pixels + sw * sh);
        std::vector<uint32_t> expected(dst.pixels, dst.pixels + dw * dh);

        // Corners mostly within the bitmaps, sometimes a little outside.
        const int x = pick(-3, dw), y = pick(-3, dh), sx = pick(-3, sw), sy = pick(-3, sh);
        const int cx = pick(0, std::max(dw, sw) + 3), cy = pick(0, std::max(dh, sh) + 3);
        // Windows copies only where both blocks exist; the reference does the same.
        ReferenceBlit(expected, dw, dh, srcBefore, sw, sh, x, y, cx, cy, sx, sy);
        ASSERT_TRUE(BitBlt(dst.dc, x, y, cx, cy, src.dc, sx, sy, SRCCOPY)) << "seed " << seed;
        const std::vector<uint32_t> actual(dst.pixels, dst.pixels + dw * dh);
        ASSERT_EQ(actual, expected) << "seed " << seed;
    }
}

} // namespace
