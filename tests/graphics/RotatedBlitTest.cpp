#include "graphics/ScaledBlit.h"
#include "tests/graphics/ShapeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>

using namespace shape_test;

namespace
{
void Number(TestBitmap& b)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.At(x, y) = 0xFF000000u | static_cast<RasterPixel>(y << 8 | x);
}
} // namespace

TEST(BlitRotated, ZeroAngleReproducesTheSource)
{
    TestBitmap src(6, 5), dst(9, 8);
    Number(src);
    BlitRotated(&dst, &src, 2, 1, 6, 5, 0.0f, 0.0f, 6.0f, 5.0f, 0.0f, false, 1.0f, 0x100, 0.0f, 0.0f);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(dst.At(x + 2, y + 1), src.At(x, y)) << x << "," << y;
    EXPECT_EQ(dst.At(1, 1), 0u);
    EXPECT_EQ(dst.At(8, 1), 0u);
    // The centre offset moves the sampled rectangle.
    dst.Fill(0);
    BlitRotated(&dst, &src, 0, 0, 6, 5, 0.0f, 0.0f, 6.0f, 5.0f, 0.0f, false, 1.0f, 0, 1.0f, 2.0f);
    EXPECT_EQ(dst.At(0, 0), src.At(1, 2));
    EXPECT_EQ(dst.At(4, 2), src.At(5, 4));
    EXPECT_EQ(dst.At(5, 2), 0u);
}

TEST(BlitRotated, QuarterTurnAboutTheCentre)
{
    // A positive angle turns the image clockwise: destination (u, v) samples
    // source (v, 4 - u); with corner sampling the first column finds no sample.
    TestBitmap src(4, 4), dst(4, 4);
    Number(src);
    BlitRotated(&dst, &src, 0, 0, 4, 4, 0.0f, 0.0f, 4.0f, 4.0f, 1.5707964f, false, 1.0f, 0, 0.0f, 0.0f);
    for (int v = 0; v < 4; ++v)
        for (int u = 1; u < 4; ++u)
            EXPECT_EQ(dst.At(u, v), src.At(v, 4 - u)) << u << "," << v;
    EXPECT_EQ(dst.At(0, 0), 0u);
}

TEST(BlitRotated, ClipToSourceLeavesCornersUnpainted)
{
    TestBitmap src(20, 20), dst(12, 12);
    src.Fill(0xFFFFFFFF);
    BlitRotated(&dst, &src, 0, 0, 12, 12, 4.0f, 4.0f, 12.0f, 12.0f, 0.7853982f, true, 1.0f, 0x100, 0.0f,
                0.0f);
    EXPECT_EQ(dst.At(0, 0), 0u);
    EXPECT_EQ(dst.At(11, 0), 0u);
    EXPECT_EQ(dst.At(0, 11), 0u);
    EXPECT_EQ(dst.At(11, 11), 0u);
    EXPECT_EQ(dst.At(6, 6), 0xFFFFFFFFu);
    // Without clipping the rest of the source fills the corners.
    dst.Fill(0);
    BlitRotated(&dst, &src, 0, 0, 12, 12, 4.0f, 4.0f, 12.0f, 12.0f, 0.7853982f, false, 1.0f, 0x100, 0.0f,
                0.0f);
    EXPECT_EQ(dst.At(0, 0), 0xFFFFFFFFu);
}

TEST(BlitRotated, OperatorsAndBadInput)
{
    TestBitmap src(4, 4), dst(4, 4, 5);
    src.Fill(0x01010101);
    Prepare(dst, 0x01010101);
    // Copy at 0.5 is BlendPixel here (no word fast path): 1 and 1 give 1.
    BlitRotated(&dst, &src, 0, 0, 4, 4, 0, 0, 4, 4, 0.0f, false, 0.5f, 0, 0, 0);
    EXPECT_EQ(dst.At(1, 1), 0x01010101u);
    BlitRotated(&dst, &src, 0, 0, 4, 4, 0, 0, 4, 4, 0.0f, false, 1.0f, 1, 0, 0);
    EXPECT_EQ(dst.At(1, 1), 0x02020202u);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    BlitRotated(&dst, &src, 0, 0, 4, 4, 0, 0, 4, 4, nan, false, 1.0f, 1, 0, 0);
    BlitRotated(&dst, &src, 0, 0, 4, 4, nan, 0, 4, 4, 0.0f, false, 1.0f, 1, 0, 0);
    BlitRotated(&dst, &src, 0, 0, 4, 4, 0, 0, 4, 4, 0.0f, false, 1.0f, 6, 0, 0);
    BlitRotated(&dst, &src, 0, 0, 4, 4, 0, 0, 4, 4, 0.0f, false, 0.0f, 1, 0, 0);
    BlitRotated(&dst, &src, 0, 0, 4, 4, 0, 0, 4, 4, 0.0f, false, 1.0f, 0xF0, 0, 0);
    EXPECT_TRUE(Changed(dst, 0x02020202).empty());
    EXPECT_TRUE(PaddingIntact(dst));
}

TEST(BlitRotated, SeededBlitsStayInsideTheDestination)
{
    std::mt19937 rng(5);
    TestBitmap src(9, 7, 11);
    src.Randomise(rng);
    for (int seed = 0; seed < 300; ++seed)
    {
        std::mt19937 r(seed);
        auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(r); };
        TestBitmap dst(15, 12, 17);
        Prepare(dst, 0);
        const int dstW = uni(-30, 30), dstH = uni(-30, 30);
        BlitRotated(&dst, &src, uni(-30, 20), uni(-30, 20), dstW, dstH, uni(-20, 20) / 2.0f,
                    uni(-20, 20) / 2.0f, uni(-20, 40) / 2.0f, uni(-20, 40) / 2.0f, uni(-700, 700) / 100.0f,
                    uni(0, 1) == 1, 1.0f, uni(0, 1) ? 0x100 : 0x10001, uni(-8, 8) / 2.0f, uni(-8, 8) / 2.0f);
        EXPECT_TRUE(PaddingIntact(dst)) << "seed " << seed;
    }
}

TEST(DeltaBlit, IdentityStepsCopy)
{
    TestBitmap src(6, 6), dst(8, 8);
    Number(src);
    DeltaBlit(&dst, &src, 1, 1, 6, 6, 0, 0, 6, 6, 1, 0, 0, 1, 0, 0, false, 1.0f, 0);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(dst.At(x + 1, y + 1), src.At(x, y));
    // A transposing map: columns walk down the source, rows across it.
    dst.Fill(0);
    DeltaBlit(&dst, &src, 0, 0, 6, 6, 0, 0, 6, 6, 0, 1, 1, 0, 0, 0, false, 1.0f, 0);
    EXPECT_EQ(dst.At(2, 5), src.At(5, 2));
    // The column step changes per row: row v steps (1 + v) source columns.
    dst.Fill(0);
    DeltaBlit(&dst, &src, 0, 0, 6, 3, 0, 0, 6, 6, 1, 0, 0, 1, 1, 0, false, 1.0f, 0);
    EXPECT_EQ(dst.At(2, 1), src.At(4, 1));
    EXPECT_EQ(dst.At(1, 2), src.At(3, 2));
    EXPECT_EQ(dst.At(2, 2), 0u); // sample at column 6 lies outside
}

TEST(GridBlit, RegularGridIsACopy)
{
    TestBitmap src(8, 8), dst(8, 8);
    Number(src);
    const float points[] = {0, 0, 4, 0, 8, 0, 0, 4, 4, 4, 8, 4, 0, 8, 4, 8, 8, 8};
    GridBlit(&dst, &src, 0, 0, 8, 8, points, 3, 3, 1.0f, 0);
    EXPECT_EQ(dst.Words(), src.Words());
    TestBitmap twice(8, 8);
    double dpoints[18];
    for (int i = 0; i < 18; ++i)
        dpoints[i] = points[i];
    GridBlitDouble(&twice, &src, 0, 0, 8, 8, dpoints, 3, 3, 1.0f, 0);
    EXPECT_EQ(twice.Words(), src.Words());
    // Too few points draw nothing.
    TestBitmap none(8, 8);
    GridBlit(&none, &src, 0, 0, 8, 8, points, 1, 9, 1.0f, 0);
    GridBlit(&none, &src, 0, 0, 8, 8, nullptr, 3, 3, 1.0f, 0);
    EXPECT_TRUE(Changed(none, 0).empty());
}

// A negative destination size mirrors a rotated blit as it does a scaled one:
// at angle 0 the sampling starts one step in from the far edge, so the image
// is the exact reverse of the unmirrored one, every destination pixel is
// painted, and it equals BlitScaled with the same arguments.
TEST(BlitRotated, MirroringMatchesBlitScaled)
{
    TestBitmap src(5, 3);
    Number(src);
    struct Size
    {
        int w, h;
    };
    for (BlendMode mode : {0u, 0x100u})
        for (bool clip : {false, true})
            for (Size size : {Size{-5, 3}, Size{-10, 3}, Size{5, -3}, Size{10, -6}, Size{-10, -6}})
            {
                const int w = std::abs(size.w), h = std::abs(size.h);
                const int x = size.w < 0 ? w : 0, y = size.h < 0 ? h : 0;
                TestBitmap rotated(w, h), scaled(w, h), plain(w, h);
                Prepare(rotated, kSentinel);
                BlitRotated(&rotated, &src, x, y, size.w, size.h, 0.0f, 0.0f, 5.0f, 3.0f, 0.0f, clip, 1.0f,
                            mode, 0.0f, 0.0f);
                BlitScaled(&scaled, &src, x, y, size.w, size.h, 0.0f, 0.0f, 5.0f, 3.0f, 1.0f, mode);
                BlitScaled(&plain, &src, 0, 0, w, h, 0.0f, 0.0f, 5.0f, 3.0f, 1.0f, mode);
                const auto label = testing::Message() << "mode " << mode << " clip " << clip << " size "
                                                      << size.w << " x " << size.h;
                ASSERT_EQ(rotated.Words(), scaled.Words()) << label;
                for (int j = 0; j < h; ++j)
                    for (int i = 0; i < w; ++i)
                        ASSERT_EQ(rotated.At(i, j),
                                  plain.At(size.w < 0 ? w - 1 - i : i, size.h < 0 ? h - 1 - j : j))
                            << label << " at " << i << "," << j;
            }
}
