#include "graphics/Bezier.h"
#include "graphics/Line.h"
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
} // namespace

TEST(BezierMath, CoefficientsAndParameters)
{
    const CubicCoefficients k = CubicBezierCoefficients(1, 2, 4, 8, 10, 3, 12, 0);
    // c = 3 (P1 - P0), b = 3 (P2 - P1) - c, a = P3 - P0 - c - b.
    EXPECT_DOUBLE_EQ(k.x.c, 9);
    EXPECT_DOUBLE_EQ(k.x.b, 9);
    EXPECT_DOUBLE_EQ(k.x.a, -7);
    EXPECT_DOUBLE_EQ(k.y.c, 18);
    EXPECT_DOUBLE_EQ(k.y.b, -33);
    EXPECT_DOUBLE_EQ(k.y.a, 13);
    EXPECT_DOUBLE_EQ(k.x.At(1.0), 12);
    EXPECT_DOUBLE_EQ(k.y.At(1.0), 0);

    double lo, hi;
    CubicBezierTAtX(k.x, 7.0, &lo, &hi);
    EXPECT_NEAR(hi - lo, 1.0 / 256, 1e-12);
    EXPECT_LE(k.x.At(lo), 7.0);
    EXPECT_GE(k.x.At(hi), 7.0);
    // An exact hit stops at once: on a straight run from 0 to 9, x(0.5) = 4.5.
    const CubicCoefficients straight = CubicBezierCoefficients(0, 0, 3, 0, 6, 0, 9, 0);
    CubicBezierTAtX(straight.x, 4.5, &lo, &hi);
    EXPECT_DOUBLE_EQ(lo, 0.5);
    EXPECT_DOUBLE_EQ(hi, 0.5 + 1.0 / 256);

    // Quadratic x = 20 t^2 + 20 t (P0 x 0, P1 x 10, P2 x 40): at x = 19,
    // t = (sqrt(400 + 1520) - 20) / 40.
    float y;
    double t;
    QuadBezierYAtX(0, 0, 10, 10, 40, 0, 19.0f, &y, &t);
    EXPECT_NEAR(t, (std::sqrt(1920.0) - 20) / 40, 1e-12);
    float px, py;
    QuadBezierPoint(0, 0, 10, 10, 40, 0, t, &px, &py);
    EXPECT_NEAR(px, 19.0f, 1e-4);
    EXPECT_FLOAT_EQ(py, y);
    QuadBezierYAtX(0, 3, 10, 10, 40, 7, -5.0f, &y, &t);
    EXPECT_EQ(t, 0.0);
    EXPECT_EQ(y, 3.0f);
    QuadBezierYAtX(0, 3, 20, 10, 40, 7, 10.0f, &y, &t); // A = 0: linear in x
    EXPECT_DOUBLE_EQ(t, 0.25);
    EXPECT_FLOAT_EQ(y, 4.0f);
}

TEST(StrokeBezier, LongSegmentsDrawOneStraightPiece)
{
    for (bool antialias : {false, true})
    {
        TestBitmap curve(30, 30), line(30, 30);
        StrokeQuadBezier(&curve, 2.5f, 3.0f, 9.0f, 20.0f, 25.0f, 8.0f, kBlack, 1.0f, 0, antialias, 1000.0f);
        StrokeFloatLine(&line, 2.5f, 3.0f, 25.0f, 8.0f, kBlack, 1.0f, 0, antialias);
        EXPECT_EQ(curve.Words(), line.Words());
        curve.Fill(0);
        line.Fill(0);
        StrokeCubicBezier(&curve, 26.0f, 4.0f, 20.0f, 25.0f, 9.0f, 1.0f, 3.0f, 17.0f, kBlack, 1.0f, 0,
                          antialias, 1000.0f);
        StrokeFloatLine(&line, 3.0f, 17.0f, 26.0f, 4.0f, kBlack, 1.0f, 0, antialias);
        EXPECT_EQ(curve.Words(), line.Words());
    }
}

TEST(StrokeBezier, SegmentLengthAndClipping)
{
    TestBitmap a(40, 30), b(40, 30);
    StrokeCubicBezier(&a, 2, 2, 30, 2, 5, 25, 35, 28, kBlack, 1.0f, 0, true, 0.0f);
    StrokeCubicBezier(&b, 2, 2, 30, 2, 5, 25, 35, 28, kBlack, 1.0f, 0, true, 1.0f);
    EXPECT_EQ(a.Words(), b.Words());
    EXPECT_GT(Changed(a, 0).size(), 30u);

    // Wholly left or right of the bitmap: nothing.
    TestBitmap c(20, 20, 22);
    Prepare(c, 0);
    StrokeQuadBezier(&c, -30, 2, -20, 10, -5, 3, kBlack, 1.0f, 0, true, 1.0f);
    StrokeCubicBezier(&c, 25, 2, 30, 10, 40, 3, 50, 9, kBlack, 1.0f, 0, false, 1.0f);
    FillCubicBezierToHorizontal(&c, 25, 2, 30, 10, 40, 3, 50, 9, 5, kBlack, 1.0f, 0, 1.0f);
    EXPECT_TRUE(Changed(c, 0).empty());

    // Ending beyond the right edge: drawn up to the last column.
    StrokeQuadBezier(&c, 2, 2, 20, 30, 60, 10, kBlack, 1.0f, 0, false, 1.0f);
    bool lastColumn = false;
    for (int y = 0; y < 20; ++y)
        lastColumn = lastColumn || c.At(19, y) != 0 || c.At(18, y) != 0;
    EXPECT_TRUE(lastColumn);
    EXPECT_TRUE(PaddingIntact(c));

    // Bad numbers draw nothing; far control points are capped, not walked.
    c.Fill(0);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    StrokeQuadBezier(&c, 2, 2, nan, 5, 10, 10, kBlack, 1.0f, 0, true, 1.0f);
    StrokeCubicBezier(&c, 2, 2, 5, inf, 8, 5, 10, 10, kBlack, 1.0f, 0, true, 1.0f);
    StrokeCubicBezier(&c, 2, 2, 5, 5, 8, 5, 10, 10, kBlack, 1.0f, 0, true, nan);
    FillCubicBezierToVertical(&c, 2, 2, 5, 5, 8, 5, 10, nan, 3, kBlack, 1.0f, 0, 1.0f);
    EXPECT_TRUE(Changed(c, 0).empty());
    StrokeCubicBezier(&c, 2, 2, 5, 3e37f, 8, -3e37f, 10, 10, kBlack, 1.0f, 0, true, 1e-30f);
    EXPECT_TRUE(PaddingIntact(c));
}

TEST(FillCubicBezier, StraightCurveFillsARectangleOnce)
{
    TestBitmap b(20, 16);
    // x runs 2 -> 12 along y = 5; filled down to row 10, columns 2..11.
    FillCubicBezierToHorizontal(&b, 2, 5, 5, 5, 9, 5, 12, 5, 10, kOne, 1.0f, 1, 1.0f);
    Points expected;
    for (int y = 5; y <= 10; ++y)
        for (int x = 2; x <= 11; ++x)
            expected.insert({x, y});
    EXPECT_EQ(Changed(b, 0), expected);
    for (auto [x, y] : expected)
        EXPECT_EQ(b.At(x, y), kOne) << x << "," << y;

    // Given from right to left, and filled up toward a base above.
    b.Fill(0);
    FillCubicBezierToHorizontal(&b, 12, 9, 9, 9, 5, 9, 2, 9, 1, kOne, 1.0f, 1, 1.0f);
    expected.clear();
    for (int y = 1; y <= 9; ++y)
        for (int x = 2; x <= 11; ++x)
            expected.insert({x, y});
    EXPECT_EQ(Changed(b, 0), expected);

    // The vertical fill is the same with x and y exchanged.
    b.Fill(0);
    FillCubicBezierToVertical(&b, 5, 2, 5, 5, 5, 9, 5, 12, 10, kOne, 1.0f, 1, 1.0f);
    expected.clear();
    for (int y = 2; y <= 11; ++y)
        for (int x = 5; x <= 10; ++x)
            expected.insert({x, y});
    EXPECT_EQ(Changed(b, 0), expected);
}

TEST(FillCubicBezier, CurvedFillsEachColumnOnce)
{
    TestBitmap b(40, 40, 42);
    Prepare(b, 0);
    FillCubicBezierToHorizontal(&b, -5, 30, 10, -10, 25, 50, 45, 5, 20, kOne, 1.0f, 1, 0.5f);
    // Columns 0..39 (clipped at both sides): each column is one run touching
    // row 20, every pixel at most once.
    for (int x = 0; x < 40; ++x)
    {
        int count = 0;
        for (int y = 0; y < 40; ++y)
        {
            EXPECT_LE(b.At(x, y), kOne) << x << "," << y;
            count += b.At(x, y) != 0;
        }
        EXPECT_GE(count, 1) << x;
        EXPECT_EQ(b.At(x, 20), kOne) << x;
    }
    EXPECT_TRUE(PaddingIntact(b));
}
