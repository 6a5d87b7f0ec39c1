#include "graphics/Circle.h"
#include "graphics/Line.h"
#include "graphics/RoundRect.h"
#include "tests/graphics/ShapeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace shape_test;

namespace
{
constexpr RasterPixel kOne = 0x01010101;
constexpr RasterPixel kBlack = 0xFF000000;
constexpr float kHalfPi = 1.5707964f;
constexpr float kPi = 3.1415927f;

Points Select(const Points& all, int left, int top, int right, int bottom)
{
    Points out;
    for (auto p : all)
        if (p.first >= left && p.first <= right && p.second >= top && p.second <= bottom) out.insert(p);
    return out;
}
} // namespace

TEST(StrokeArc, QuartersAreClippedToTheirBoxes)
{
    TestBitmap circle(24, 24), arc(24, 24);
    StrokeCircle(&circle, 12.0f, 12.0f, 6.0f, kBlack, 1.0f, 0, false);
    const Points whole = Changed(circle, 0);

    StrokeArc(&arc, 12.0f, 12.0f, 6.0f, 0.0f, kHalfPi, kBlack, 1.0f, 0, false);
    EXPECT_EQ(Changed(arc, 0), Select(whole, 12, 6, 18, 11)); // top right: from the top point clockwise
    arc.Fill(0);
    StrokeArc(&arc, 12.0f, 12.0f, 6.0f, kHalfPi, 0.0f, kBlack, 1.0f, 0, false);
    EXPECT_EQ(Changed(arc, 0), Select(whole, 12, 6, 18, 11)); // swapped angles: the same arc
    arc.Fill(0);
    StrokeArc(&arc, 12.0f, 12.0f, 6.0f, -kHalfPi, 0.0f, kBlack, 1.0f, 0, false);
    EXPECT_EQ(Changed(arc, 0), Select(whole, 6, 6, 11, 11)); // top left

    // The four quarters touch every outline pixel exactly once.
    arc.Fill(0);
    for (int q = 0; q < 4; ++q)
        StrokeArc(&arc, 12.0f, 12.0f, 6.0f, q * kHalfPi, (q + 1) * kHalfPi, kOne, 1.0f, 1, false);
    TestBitmap added(24, 24);
    StrokeCircle(&added, 12.0f, 12.0f, 6.0f, kOne, 1.0f, 1, false);
    EXPECT_EQ(arc.Words(), added.Words());
}

TEST(StrokeArc, WholeTurnsAndReductions)
{
    TestBitmap circle(20, 20), arc(20, 20);
    // A full turn draws StrokeCircle, masks included.
    StrokeCircle(&circle, 9.0f, 9.0f, 2.0f, kBlack, 1.0f, 0, true);
    StrokeArc(&arc, 9.0f, 9.0f, 2.0f, 0.0f, 2 * kPi, kBlack, 1.0f, 0, true);
    EXPECT_EQ(arc.Words(), circle.Words());
    arc.Fill(0);
    StrokeArc(&arc, 9.0f, 9.0f, 2.0f, -3.0f, 9.0f, kBlack, 1.0f, 0, true);
    EXPECT_EQ(arc.Words(), circle.Words());

    TestBitmap a(30, 30), b(30, 30);
    StrokeArc(&a, 15.0f, 15.0f, 9.0f, 7.0f, 8.0f, kBlack, 1.0f, 0, true);
    StrokeArc(&b, 15.0f, 15.0f, 9.0f, 7.0f - 2 * kPi, 8.0f - 2 * kPi, kBlack, 1.0f, 0, true);
    EXPECT_EQ(a.Words(), b.Words());
    EXPECT_FALSE(Changed(a, 0).empty());
    a.Fill(0);
    b.Fill(0);
    StrokeArc(&a, 15.0f, 15.0f, 9.0f, -9.0f, -8.0f, kBlack, 1.0f, 0, false);
    StrokeArc(&b, 15.0f, 15.0f, 9.0f, -9.0f + 2 * kPi, -8.0f + 2 * kPi, kBlack, 1.0f, 0, false);
    EXPECT_EQ(a.Words(), b.Words());
}

TEST(StrokeArc, EmptyAndBadArcsDrawNothing)
{
    TestBitmap b(20, 20, 22);
    Prepare(b, 0);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    StrokeArc(&b, 9.0f, 9.0f, 5.0f, 1.0f, 1.0f, kBlack, 1.0f, 0, false);
    StrokeArc(&b, 9.0f, 9.0f, -5.0f, 0.0f, 1.0f, kBlack, 1.0f, 0, false);
    StrokeArc(&b, 9.0f, 9.0f, 5.0f, nan, 1.0f, kBlack, 1.0f, 0, false);
    StrokeArc(&b, 9.0f, 9.0f, 5.0f, inf, inf, kBlack, 1.0f, 0, false);
    StrokeArc(&b, 9.0f, 9.0f, 5.0f, -inf, 1.0f, kBlack, 1.0f, 0, false);
    StrokeArc(&b, nan, 9.0f, 5.0f, 0.0f, 1.0f, kBlack, 1.0f, 0, false);
    StrokeArc(&b, 9.0f, 9.0f, 5.0f, 0.0f, 1.0f, kBlack, 0.0f, 0, false);
    StrokeArc(nullptr, 9.0f, 9.0f, 5.0f, 0.0f, 1.0f, kBlack, 1.0f, 0, false);
    EXPECT_TRUE(Changed(b, 0).empty());
    EXPECT_TRUE(PaddingIntact(b));
}

TEST(StrokeArc, SeededArcsStayInsideTheirCircle)
{
    // An arc only ever draws pixels of its whole circle, inside the bitmap.
    for (int seed = 0; seed < 300; ++seed)
    {
        std::mt19937 rng(seed);
        auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const float cx = uni(-40, 80) / 2.0f, cy = uni(-40, 70) / 2.0f, r = uni(5, 60) / 2.0f;
        const float a0 = uni(-1300, 1300) / 100.0f, a1 = uni(-1300, 1300) / 100.0f;
        const bool antialias = uni(0, 1) == 1;
        TestBitmap arc(23, 19, 25), circle(23, 19, 25);
        Prepare(arc, 0);
        Prepare(circle, 0);
        StrokeArc(&arc, cx, cy, r, a0, a1, kBlack, 1.0f, 0, antialias);
        StrokeCircle(&circle, cx, cy, r, kBlack, 1.0f, 0, antialias);
        EXPECT_TRUE(PaddingIntact(arc)) << "seed " << seed;
        for (auto [x, y] : Changed(arc, 0))
            EXPECT_NE(circle.At(x, y), 0u) << "seed " << seed << " at " << x << "," << y;
    }
}

TEST(StrokeRoundRect, SmallCornersTraceACircle)
{
    TestBitmap b(20, 20);
    StrokeRoundRect(&b, 10.0f, 10.0f, 4.0f, 4.0f, 2, kBlack, 1.0f, 0, false);
    // All four corner centres are (12, 12): the arcs trace the radius-2
    // midpoint circle (never the mask), and the edges lie on it.
    EXPECT_EQ(Changed(b, 0), Quadrants(12, 12, {{0, 2}, {2, 0}, {1, 2}, {2, 1}}));
}

TEST(StrokeRoundRect, FallsBackToThePlainRectangle)
{
    TestBitmap a(30, 50), b(30, 50);
    StrokeRectangle(&b, 2, 3, 10, 20, kBlack, 1.0f, 0);
    StrokeRoundRect(&a, 2.0f, 3.0f, 10.0f, 20.0f, 1, kBlack, 1.0f, 0, true);
    EXPECT_EQ(a.Words(), b.Words());
    a.Fill(0);
    StrokeRoundRect(&a, 2.0f, 3.0f, 10.0f, 20.0f, 0, kBlack, 1.0f, 0, true);
    EXPECT_EQ(a.Words(), b.Words());
    // Radius 8 on a box 3 wide: 1.5, floored to 1.
    a.Fill(0);
    b.Fill(0);
    StrokeRectangle(&b, 2, 3, 3, 20, kBlack, 1.0f, 0);
    StrokeRoundRect(&a, 2.7f, 3.2f, 3.9f, 20.0f, 8, kBlack, 1.0f, 0, false);
    EXPECT_EQ(a.Words(), b.Words());
    // A negative size falls back too.
    a.Fill(0);
    b.Fill(0);
    StrokeRectangle(&b, 20, 30, -10, -20, kBlack, 1.0f, 0);
    StrokeRoundRect(&a, 20.0f, 30.0f, -10.0f, -20.0f, 5, kBlack, 1.0f, 0, false);
    EXPECT_EQ(a.Words(), b.Words());
}

TEST(StrokeRoundRect, RadiusIsClampedToTheBox)
{
    TestBitmap b(20, 50);
    StrokeRoundRect(&b, 2.0f, 3.0f, 10.0f, 40.0f, 8, kBlack, 1.0f, 0, false);
    // Corners of radius 5: the top edge is the single pixel at x + 5, the
    // sides run straight between rows y + 5 and y + 35; corners stay empty.
    const Points drawn = Changed(b, 0);
    EXPECT_TRUE(drawn.count({7, 3}));
    EXPECT_TRUE(drawn.count({12, 20}));
    EXPECT_TRUE(drawn.count({2, 20}));
    EXPECT_TRUE(drawn.count({7, 43}));
    EXPECT_FALSE(drawn.count({2, 3}));
    EXPECT_FALSE(drawn.count({12, 43}));
    for (auto [x, y] : drawn)
    {
        EXPECT_TRUE(x >= 2 && x <= 12 && y >= 3 && y <= 43) << x << "," << y;
    }
    const float nan = std::numeric_limits<float>::quiet_NaN();
    b.Fill(0);
    StrokeRoundRect(&b, nan, 3.0f, 10.0f, 40.0f, 8, kBlack, 1.0f, 0, false);
    EXPECT_TRUE(Changed(b, 0).empty());
}
