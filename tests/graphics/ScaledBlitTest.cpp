#include "graphics/ScaledBlit.h"
#include "graphics/Blit.h"
#include "graphics/SourceSampler.h"
#include "tests/graphics/ShapeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace shape_test;

namespace
{
RasterPixel Grey(int v)
{
    return MakePixel(v, v, v, v);
}

// A source whose pixel (x, y) is a distinct, recognisable word.
void Number(TestBitmap& b)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.At(x, y) = 0xFF000000u | static_cast<RasterPixel>(y << 8 | x);
}
} // namespace

TEST(BlitScaled, SameSizeIsAPlainBlit)
{
    std::mt19937 rng(7);
    TestBitmap src(100, 50, 103), a(120, 60), b(120, 60);
    src.Randomise(rng);
    BlitScaled(&a, &src, 5, 4, 100, 50, 0.0f, 0.0f, 100.0f, 50.0f, 1.0f, 0x100);
    BlitBitmapRect(&b, &src, 5, 4, nullptr, 1.0f, 0);
    EXPECT_EQ(a.Words(), b.Words());
    // Nearest sampling with a fractional source position rounds it.
    a.Fill(0);
    b.Fill(0);
    BlitScaled(&a, &src, 0, 0, 40, 20, 2.4f, 3.6f, 40.0f, 20.0f, 0.5f, 0x10001);
    const RasterRect rect{2, 4, 42, 24};
    BlitBitmapRect(&b, &src, 0, 0, &rect, 0.5f, 0x10001);
    EXPECT_EQ(a.Words(), b.Words());
}

TEST(BlitScaled, BilinearUpscaleRepeatsTheEdges)
{
    TestBitmap src(2, 2), dst(4, 4);
    src.At(0, 0) = Grey(0);
    src.At(1, 0) = Grey(100);
    src.At(0, 1) = Grey(200);
    src.At(1, 1) = Grey(40);
    BlitScaled(&dst, &src, 0, 0, 4, 4, 0.0f, 0.0f, 2.0f, 2.0f, 1.0f, 0x100);
    const int expected[4][4] = {{0, 50, 100, 100}, {100, 85, 70, 70}, {200, 120, 40, 40}, {200, 120, 40, 40}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dst.At(x, y), Grey(expected[y][x])) << x << "," << y;
}

TEST(BlitScaled, NegativeSizesMirror)
{
    // A negative size extends the rectangle back from the given position.
    TestBitmap src(5, 3), dst(10, 6), plain(10, 6);
    Number(src);
    BlitScaled(&dst, &src, 5, 0, -5, 3, 0.0f, 0.0f, 5.0f, 3.0f, 1.0f, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(dst.At(x, y), src.At(4 - x, y)) << x << "," << y;
    dst.Fill(0);
    BlitScaled(&dst, &src, 0, 6, 10, -6, 0.0f, 0.0f, 5.0f, 3.0f, 1.0f, 0x100);
    BlitScaled(&plain, &src, 0, 0, 10, 6, 0.0f, 0.0f, 5.0f, 3.0f, 1.0f, 0x100);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(dst.At(x, y), plain.At(x, 5 - y)) << x << "," << y;
    EXPECT_EQ(dst.At(0, 0), src.At(0, 2));
    EXPECT_EQ(dst.At(0, 1), src.At(0, 2));
    // Two negative sizes of the source's own size: a half turn.
    dst.Fill(0);
    BlitScaled(&dst, &src, 5, 3, -5, -3, 0.0f, 0.0f, 5.0f, 3.0f, 1.0f, 0);
    EXPECT_EQ(dst.At(0, 0), src.At(4, 2));
    EXPECT_EQ(dst.At(4, 2), src.At(0, 0));
}

TEST(BlitScaled, DownscalingAveragesNeighbourhoods)
{
    std::mt19937 rng(3);
    TestBitmap src(16, 16);
    src.Randomise(rng);
    for (int factor : {2, 4})
    {
        const int n = 16 / factor, radius = factor == 4 ? 2 : 1;
        TestBitmap dst(n, n);
        BlitScaled(&dst, &src, 0, 0, n, n, 0.0f, 0.0f, 16.0f, 16.0f, 1.0f, 0x100);
        for (int v = 0; v < n; ++v)
            for (int u = 0; u < n; ++u)
            {
                uint32_t sum[4] = {}, count = 0;
                for (int y = v * factor - radius; y <= v * factor + radius; ++y)
                    for (int x = u * factor - radius; x <= u * factor + radius; ++x)
                        if (x >= 0 && y >= 0 && x < 16 && y < 16)
                        {
                            for (int c = 0; c < 4; ++c)
                                sum[c] += (src.At(x, y) >> (8 * c)) & 255;
                            ++count;
                        }
                RasterPixel expected = 0;
                for (int c = 0; c < 4; ++c)
                    expected |= (sum[c] / count) << (8 * c);
                EXPECT_EQ(dst.At(u, v), expected) << "factor " << factor << " at " << u << "," << v;
            }
    }
    // Without the bilinear filter a downscale takes the nearest pixel.
    TestBitmap dst(4, 4);
    BlitScaled(&dst, &src, 0, 0, 4, 4, 0.0f, 0.0f, 16.0f, 16.0f, 1.0f, 0);
    EXPECT_EQ(dst.At(1, 2), src.At(4, 8));
}

TEST(BlitScaled, OperatorsAndFastPaths)
{
    TestBitmap src(3, 3), dst(6, 6);
    src.Fill(0x01010101);
    dst.Fill(0x01010101);
    // Copy at weight 128 without filter or source alpha: D/2 + S/2 = 0.
    BlitScaled(&dst, &src, 0, 0, 6, 6, 0.0f, 0.0f, 3.0f, 3.0f, 0.5f, 0);
    EXPECT_EQ(dst.At(2, 2), 0u);
    // Any other filter value samples nearest but goes through BlendPixel: 1.
    dst.Fill(0x01010101);
    BlitScaled(&dst, &src, 0, 0, 6, 6, 0.0f, 0.0f, 3.0f, 3.0f, 0.5f, 0x200);
    EXPECT_EQ(dst.At(2, 2), 0x01010101u);
    // Source alpha: transparent source pixels leave the destination alone.
    src.Fill(0x00FF0000);
    src.At(1, 1) = 0xFF00FF00;
    dst.Fill(0xFF0000FF);
    BlitScaled(&dst, &src, 0, 0, 6, 6, 0.0f, 0.0f, 3.0f, 3.0f, 1.0f, 0x10000);
    EXPECT_EQ(dst.At(0, 0), 0xFF0000FFu);
    EXPECT_EQ(dst.At(3, 3), 0xFF00FF00u);
    // Add; then operators outside the table and channel copy draw nothing.
    dst.Fill(0x10101010);
    src.Fill(0x01020304);
    BlitScaled(&dst, &src, 0, 0, 6, 6, 0.0f, 0.0f, 3.0f, 3.0f, 1.0f, 1);
    EXPECT_EQ(dst.At(5, 5), 0x11121314u);
    for (BlendMode mode : {6u, 0x10006u, 0xF3u})
        BlitScaled(&dst, &src, 0, 0, 6, 6, 0.0f, 0.0f, 3.0f, 3.0f, 1.0f, mode);
    EXPECT_TRUE(Changed(dst, 0x11121314).empty());
}

TEST(BlitScaled, SourceOverhangKeepsEveryValidColumn)
{
    // Source 10 wide, sampled from 0.5 at one pixel per column: columns 0..9
    // have samples inside the source, column 10 does not.
    TestBitmap src(10, 1), dst(20, 1);
    src.Fill(0xFFFFFFFF);
    BlitScaled(&dst, &src, 0, 0, 20, 1, 0.5f, 0.0f, 20.0f, 1.0f, 1.0f, 0x100);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(dst.At(x, 0), 0xFFFFFFFFu) << x;
    for (int x = 10; x < 20; ++x)
        EXPECT_EQ(dst.At(x, 0), 0u) << x;
}

TEST(BlitScaled, BadInputDrawsNothing)
{
    TestBitmap src(4, 4), dst(8, 8, 9);
    src.Fill(0xFFFFFFFF);
    Prepare(dst, 0);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    BlitScaled(&dst, &src, 0, 0, 8, 8, nan, 0, 4, 4, 1.0f, 0);
    BlitScaled(&dst, &src, 0, 0, 8, 8, 0, 0, inf, 4, 1.0f, 0);
    BlitScaled(&dst, &src, 0, 0, 8, 8, 0, 0, 4, 4, nan, 0);
    BlitScaled(&dst, &src, 0, 0, 0, 8, 0, 0, 4, 4, 1.0f, 0);
    BlitScaled(&dst, &src, 0, 0, 8, 8, 1e20f, 0, 4, 4, 1.0f, 0);
    BlitScaled(&dst, &src, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0, 0, 4, 4, 1.0f, 0x100);
    BlitScaled(&dst, nullptr, 0, 0, 8, 8, 0, 0, 4, 4, 1.0f, 0);
    EXPECT_TRUE(Changed(dst, 0).empty());
    EXPECT_TRUE(PaddingIntact(dst));
}

TEST(BlitScaled, SeededClippingMatchesLargerBitmap)
{
    // Steps that are powers of two keep every float exact, so a blit clipped
    // by the destination equals the visible window of the unclipped blit.
    std::mt19937 rng(11);
    TestBitmap src(13, 11, 15, true);
    src.Randomise(rng);
    for (int seed = 0; seed < 400; ++seed)
    {
        std::mt19937 r(seed);
        auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(r); };
        const float scales[] = {0.25f, 0.5f, 1.0f, 2.0f, 4.0f};
        const float scaleX = scales[uni(0, 4)], scaleY = scales[uni(0, 4)];
        int dstW = uni(1, 30), dstH = uni(1, 30);
        const float srcX = uni(-8, 16) / 4.0f, srcY = uni(-8, 16) / 4.0f;
        const float srcW = dstW * scaleX, srcH = dstH * scaleY;
        if (uni(0, 3) == 0) dstW = -dstW;
        if (uni(0, 3) == 0) dstH = -dstH;
        const int dstX = uni(-35, 25), dstY = uni(-35, 25);
        const BlendMode modes[] = {0, 0x100, 0x10000, 0x10100, 1, 0x10103, 4, 5, 0x10002};
        const BlendMode mode = modes[uni(0, 8)];
        const float alpha = uni(0, 1) ? 1.0f : 0.5f;
        TestBitmap small(17, 14, 19);
        Prepare(small, 0x80402010);
        BlitScaled(&small, &src, dstX, dstY, dstW, dstH, srcX, srcY, srcW, srcH, alpha, mode);
        EXPECT_TRUE(PaddingIntact(small)) << "seed " << seed;
        TestBitmap big(17 + 80, 14 + 80);
        big.Fill(0x80402010);
        BlitScaled(&big, &src, dstX + 40, dstY + 40, dstW, dstH, srcX, srcY, srcW, srcH, alpha, mode);
        EXPECT_TRUE(WindowEquals(small, big, 40, 40)) << "seed " << seed;
    }
}

TEST(HalveBitmap, SumsQuartersOfEachBlock)
{
    TestBitmap src(5, 4), dst(3, 3);
    src.Fill(0);
    src.At(0, 0) = 0xFFFFFFFF;
    src.At(1, 0) = 0x07070707;
    src.At(0, 1) = 0x04040404;
    src.At(1, 1) = 0x03030303;
    src.At(2, 2) = 0x80808080;
    HalveBitmap(&dst, &src);
    EXPECT_EQ(dst.At(0, 0), 0x41414141u); // 63 + 1 + 1 + 0 per byte
    EXPECT_EQ(dst.At(1, 1), 0x20202020u);
    EXPECT_EQ(dst.At(2, 2), 0u); // beyond src / 2: untouched (the test bitmap starts at 0)
}

// Bilinear weights at fractions whose sum passes one pixel: w00 = 65536 - fx -
// fy + w11 must not wrap before w11 is added (a wrapped weight carries into
// the neighbouring channel of the packed pair). Every transformed blit samples
// through the same rule.
TEST(BilinearSample, FractionsSummingPastOnePixel)
{
    // fx = fy = 40000 / 65536: w11 = 24414, w00 = 9950, w10 = w01 = 15586.
    // B and G: 255 x 9950 / 65536 = 38; R: 0x33 x 24414 / 65536 = 18.
    TestBitmap src(2, 2);
    src.Fill(0xFF000000);
    src.At(0, 0) = 0xFF00FFFF;
    src.At(1, 1) = 0xFF330000;
    const float f = 40000.0f / 65536.0f;
    const RasterPixel expected = 0xFF122626;

    TestBitmap scaled(1, 1), rotated(1, 1), delta(1, 1), grid(1, 1);
    BlitScaled(&scaled, &src, 0, 0, 1, 1, f, f, 1.0f, 1.0f, 1.0f, 0x100);
    BlitRotated(&rotated, &src, 0, 0, 1, 1, f, f, 1.0f, 1.0f, 0.0f, false, 1.0f, 0x100, 0.0f, 0.0f);
    DeltaBlit(&delta, &src, 0, 0, 1, 1, f, f, 1.0f, 1.0f, 1, 0, 0, 1, 0, 0, false, 1.0f, 0x100);
    const float points[] = {f, f, f + 1, f, f, f + 1, f + 1, f + 1};
    GridBlit(&grid, &src, 0, 0, 1, 1, points, 2, 2, 1.0f, 0x100);
    EXPECT_EQ(scaled.At(0, 0), expected);
    EXPECT_EQ(rotated.At(0, 0), expected);
    EXPECT_EQ(delta.At(0, 0), expected);
    EXPECT_EQ(grid.At(0, 0), expected);
}

// The packed two-channels-per-word sampler against the formula taken one
// channel at a time, on seeded pixels and fractions over the whole range.
TEST(BilinearSample, PackedChannelsMatchPerChannelFormula)
{
    TestBitmap src(2, 2);
    const raster_sample::SourceView view = raster_sample::MakeSourceView(&src, 0, 0, 2, 2);
    for (int seed = 0; seed < 2000; ++seed)
    {
        std::mt19937 rng(seed);
        src.Randomise(rng);
        const int64_t fx = rng() & 0xFFFF, fy = seed % 4 == 0 ? 0xFFFF : (rng() & 0xFFFF);
        RasterPixel sample = 0;
        ASSERT_TRUE(raster_sample::Bilinear::Sample(view, fx, fy, &sample));
        const int64_t w11 = (fx * fy) >> 16, w10 = fx - w11, w01 = fy - w11, w00 = 65536 - fx - fy + w11;
        RasterPixel model = 0;
        for (int shift = 0; shift < 32; shift += 8)
        {
            auto c = [&](int x, int y) { return static_cast<int64_t>((src.At(x, y) >> shift) & 255); };
            const int64_t v = (c(0, 0) * w00 + c(1, 0) * w10 + c(0, 1) * w01 + c(1, 1) * w11) / 65536;
            model |= static_cast<RasterPixel>(v) << shift;
        }
        ASSERT_EQ(sample, model) << "seed " << seed << " fx " << fx << " fy " << fy;
    }
}

// Bilinear sampling never reaches past the source rectangle's far edge, also
// where that edge is 32 or more (where 40 + 0.999999 rounds to 41 in single
// precision): a rectangle of a wide source scales exactly like a bitmap
// holding only that rectangle.
TEST(BlitScaled, BilinearStopsAtTheRectangleFarEdge)
{
    TestBitmap stripes(64, 8), dst(16, 16);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 64; ++x)
            stripes.At(x, y) = 0xFF000000u | static_cast<RasterPixel>(x * 0x030201);
    BlitScaled(&dst, &stripes, 0, 0, 16, 16, 32.0f, 0.0f, 8.0f, 8.0f, 1.0f, 0x100);
    EXPECT_EQ(dst.At(15, 3), stripes.At(39, 3));
    for (int y = 0; y < 16; ++y)
        ASSERT_EQ(dst.At(15, y), stripes.At(39, 0)) << y;

    for (int seed = 0; seed < 300; ++seed)
    {
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi)
        { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
        const int sw = pick(33, 300), sh = pick(33, 200);
        TestBitmap src(sw, sh);
        src.Randomise(rng);
        const int rw = pick(1, 12), rh = pick(1, 12);
        const int rx = pick(32 - rw, sw - rw), ry = pick(32 - rh, sh - rh);
        TestBitmap crop(rw, rh);
        for (int y = 0; y < rh; ++y)
            for (int x = 0; x < rw; ++x)
                crop.At(x, y) = src.At(rx + x, ry + y);
        const int dw = pick(rw, 4 * rw), dh = pick(rh, 4 * rh);
        const BlendMode mode = rng() % 2 ? 0x100 : 0x10101;
        TestBitmap fromRect(dw, dh), fromCrop(dw, dh);
        BlitScaled(&fromRect, &src, 0, 0, dw, dh, static_cast<float>(rx), static_cast<float>(ry),
                   static_cast<float>(rw), static_cast<float>(rh), 1.0f, mode);
        BlitScaled(&fromCrop, &crop, 0, 0, dw, dh, 0.0f, 0.0f, static_cast<float>(rw), static_cast<float>(rh),
                   1.0f, mode);
        ASSERT_EQ(fromRect.Words(), fromCrop.Words()) << "seed " << seed;
    }
}
