#include "graphics/Polygon.h"
#include "tests/graphics/ShapeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using namespace shape_test;

namespace
{
constexpr RasterPixel kOne = 0x01010101; // added once per visit

// Row extents [left, right] of the changed pixels, per row (-1 when empty).
std::vector<std::pair<int, int>> RowExtents(TestBitmap& b, RasterPixel background)
{
    std::vector<std::pair<int, int>> rows(b.Height(), {-1, -1});
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.At(x, y) != background)
            {
                if (rows[y].first < 0) rows[y].first = x;
                rows[y].second = x;
            }
    return rows;
}

bool NoPixelAbove(TestBitmap& b, RasterPixel limit)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.At(x, y) > limit) return false;
    return true;
}
} // namespace

TEST(FillConvexPolygon, CollinearRowAndTooFewPoints)
{
    TestBitmap b(12, 6, 14);
    Prepare(b, 0);
    const int32_t xs[] = {7, 2, 4}, ys[] = {3, 3, 3};
    FillConvexPolygon(&b, xs, ys, 3, 0xFF000000, 1.0f, 0);
    Points row;
    for (int x = 2; x <= 7; ++x)
        row.insert({x, 3});
    EXPECT_EQ(Changed(b, 0), row);

    b.Fill(0);
    FillConvexPolygon(&b, xs, ys, 2, 0xFF000000, 1.0f, 0);
    EXPECT_TRUE(Changed(b, 0).empty());

    // A row wholly left of the bitmap draws nothing (not even column 0).
    const int32_t left[] = {-5, -3, -1};
    FillConvexPolygon(&b, left, ys, 3, 0xFF000000, 1.0f, 0);
    EXPECT_TRUE(Changed(b, 0).empty());
    EXPECT_TRUE(PaddingIntact(b));
}

TEST(FillConvexPolygon, RightTriangleFillsEveryRowOnce)
{
    TestBitmap b(14, 14);
    FillTriangle(&b, 0, 0, 10, 0, 0, 10, kOne, 1.0f, 1);
    // The right edge steps exactly one column per row: row y spans 0..10 - y.
    auto rows = RowExtents(b, 0);
    for (int y = 0; y <= 10; ++y)
        EXPECT_EQ(rows[y], std::make_pair(0, 10 - y)) << "row " << y;
    EXPECT_EQ(rows[11].first, -1);
    EXPECT_TRUE(NoPixelAbove(b, kOne));
}

TEST(FillConvexPolygon, BandEdgesStepInFixedPointAndReachTheirCorners)
{
    // Edges of slope -4/7 and +4/7: the 16.16 step is trunc(4 x 65536 / 7),
    // so each edge moves one column every other row; the last row spans the
    // two base vertices.
    TestBitmap b(12, 10);
    FillTriangle(&b, 5, 1, 9, 8, 1, 8, kOne, 1.0f, 1);
    auto rows = RowExtents(b, 0);
    const std::pair<int, int> expected[] = {{5, 5}, {5, 5}, {4, 6}, {4, 6}, {3, 7}, {3, 7}, {2, 8}, {1, 9}};
    for (int y = 1; y <= 8; ++y)
        EXPECT_EQ(rows[y], expected[y - 1]) << "row " << y;
    EXPECT_EQ(rows[0].first, -1);
    EXPECT_EQ(rows[9].first, -1);

    b.Fill(0);
    FillTriangle(&b, 0, 0, 1, 3, 0, 3, kOne, 1.0f, 1);
    EXPECT_EQ(b.At(1, 3), kOne);
}

TEST(FillConvexPolygon, VertexOrderDoesNotMatter)
{
    const int32_t xs[] = {3, 12, 15, 9, 1}, ys[] = {1, 2, 9, 14, 8};
    const int32_t rxs[] = {1, 9, 15, 12, 3}, rys[] = {8, 14, 9, 2, 1};
    TestBitmap a(18, 16), b(18, 16);
    FillConvexPolygon(&a, xs, ys, 5, kOne, 1.0f, 1);
    FillConvexPolygon(&b, rxs, rys, 5, kOne, 1.0f, 1);
    EXPECT_EQ(a.Words(), b.Words());
    EXPECT_TRUE(NoPixelAbove(a, kOne)); // bands never share a row
    EXPECT_GT(Changed(a, 0).size(), 100u);
}

TEST(FillConvexPolygon, CopyWeightsMixWholeWords)
{
    TestBitmap b(4, 4);
    b.Fill(0xFFFFFFFF);
    FillTriangle(&b, 0, 0, 3, 0, 0, 3, 0xFF000000, 0.25f, 0);
    EXPECT_EQ(b.At(0, 0), 0xFDBEBEBEu); // D/2 + D/4 + C/4 per byte, alpha included
    b.Fill(0xFFFFFFFF);
    FillTriangle(&b, 0, 0, 3, 0, 0, 3, 0xFF000000, 0.75f, 0);
    EXPECT_EQ(b.At(0, 0), 0xFD3F3F3Fu); // D/4 + C/4 + C/2
    b.Fill(0xFFFFFFFF);
    FillTriangle(&b, 0, 0, 3, 0, 0, 3, 0xFF000000, 0.5f, 0);
    EXPECT_EQ(b.At(0, 0), 0xFE7F7F7Fu);
    b.Fill(0xFFFFFFFF);
    FillTriangle(&b, 0, 0, 3, 0, 0, 3, 0xFF000000, 0.3f, 0); // w = 76: 255 x 180 / 256
    EXPECT_EQ(b.At(0, 0), 0xFFB3B3B3u);
    b.Fill(0xFFFFFFFF);
    FillTriangle(&b, 0, 0, 3, 0, 0, 3, 0xFF000000, 1.0f, 6); // no such operator
    EXPECT_EQ(b.At(0, 0), 0xFFFFFFFFu);
}

TEST(FillConvexPolygon, ManyVerticesAndBottomUp)
{
    // 600 vertices on a circle (heap copy) fill like the same polygon given
    // in reverse; vertices far above the bitmap are advanced over.
    std::vector<int32_t> xs, ys;
    for (int i = 0; i < 600; ++i)
    {
        xs.push_back(static_cast<int32_t>(std::lround(20 + 18 * std::cos(i * 2 * M_PI / 600))));
        ys.push_back(static_cast<int32_t>(std::lround(20 + 18 * std::sin(i * 2 * M_PI / 600))));
    }
    TestBitmap a(40, 40);
    FillConvexPolygon(&a, xs.data(), ys.data(), 600, kOne, 1.0f, 1);
    EXPECT_EQ(a.At(20, 20), kOne);
    EXPECT_EQ(a.At(0, 0), 0u);
    EXPECT_TRUE(NoPixelAbove(a, kOne));

    // On a bottom-up bitmap the vertices are mirrored and filled in memory
    // rows: the stored words equal the mirrored polygon on a top-down bitmap.
    const int32_t px[] = {2, 9, 7}, py[] = {1, 3, 8}, my[] = {8, 6, 1};
    TestBitmap up(11, 10, 12, true), down(11, 10, 12, false);
    FillConvexPolygon(&up, px, py, 3, kOne, 1.0f, 1);
    FillConvexPolygon(&down, px, my, 3, kOne, 1.0f, 1);
    EXPECT_EQ(up.Words(), down.Words());
}

TEST(FillConvexPolygon, SeededClippingMatchesLargerBitmap)
{
    // A polygon clipped by the bitmap fills exactly the visible part of the
    // same polygon drawn whole into a larger bitmap, and never writes past a
    // row's width.
    for (int seed = 0; seed < 300; ++seed)
    {
        std::mt19937 rng(seed);
        auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const int n = uni(3, 7);
        const int cx = uni(-15, 35), cy = uni(-15, 30), radius = uni(1, 30);
        std::vector<int32_t> xs, ys;
        const double phase = uni(0, 359) * M_PI / 180;
        for (int i = 0; i < n; ++i)
        {
            xs.push_back(cx + static_cast<int32_t>(std::lround(radius * std::cos(phase + i * 2 * M_PI / n))));
            ys.push_back(cy + static_cast<int32_t>(std::lround(radius * std::sin(phase + i * 2 * M_PI / n))));
        }
        const float alphas[] = {1.0f, 0.5f, 0.3f};
        const float alpha = alphas[uni(0, 2)];
        const BlendMode mode = static_cast<BlendMode>(uni(0, 5));
        TestBitmap small(21, 17, 23);
        Prepare(small, 0x80402010);
        FillConvexPolygon(&small, xs.data(), ys.data(), n, 0xC0A08060, alpha, mode);
        EXPECT_TRUE(PaddingIntact(small)) << "seed " << seed;

        constexpr int kOffset = 60;
        TestBitmap big(21 + 2 * kOffset, 17 + 2 * kOffset);
        big.Fill(0x80402010);
        std::vector<int32_t> bx(xs), by(ys);
        for (int i = 0; i < n; ++i)
        {
            bx[i] += kOffset;
            by[i] += kOffset;
        }
        FillConvexPolygon(&big, bx.data(), by.data(), n, 0xC0A08060, alpha, mode);
        EXPECT_TRUE(WindowEquals(small, big, kOffset, kOffset)) << "seed " << seed;
    }
}

TEST(FillTrapezoid, RowsSwapAndClampAtEveryEdge)
{
    TestBitmap b(8, 6, 9);
    Prepare(b, 0);
    // Given bottom first: the rows swap; x pairs are ordered.
    FillTrapezoid(&b, 5, 2, 4, 6, 1, 1, kOne, 1.0f, 1);
    auto rows = RowExtents(b, 0);
    EXPECT_EQ(rows[1], std::make_pair(1, 6));
    EXPECT_EQ(rows[4], std::make_pair(2, 5));
    EXPECT_EQ(rows[0].first, -1);
    EXPECT_EQ(rows[5].first, -1);

    b.Fill(0);
    FillTrapezoid(&b, -100, 100, -50, -100, 100, 50, kOne, 1.0f, 1);
    EXPECT_EQ(Changed(b, 0).size(), 48u);
    EXPECT_TRUE(NoPixelAbove(b, kOne));
    EXPECT_TRUE(PaddingIntact(b));
    FillTrapezoid(&b, -9, -1, 0, -9, -1, 5, kOne, 1.0f, 1);
    FillTrapezoid(&b, 8, 20, 0, 8, 20, 5, kOne, 1.0f, 1);
    FillTrapezoid(&b, 0, 7, 6, 0, 7, 9, kOne, 1.0f, 1);
    EXPECT_TRUE(NoPixelAbove(b, kOne));
    EXPECT_TRUE(PaddingIntact(b));
}
