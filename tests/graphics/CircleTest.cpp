#include "graphics/Circle.h"
#include "graphics/CircleRender.h"
#include "tests/graphics/ShapeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace shape_test;

namespace
{
constexpr RasterPixel kOne = 0x01010101;
constexpr RasterPixel kWhite = 0xFFFFFFFF;

// The outline of radius 5 about (cx, cy) as the midpoint walk gives it.
Points OutlineR5(int cx, int cy)
{
    return Quadrants(cx, cy, {{0, 5}, {1, 5}, {2, 5}, {3, 4}, {4, 3}, {5, 2}, {5, 1}, {5, 0}});
}
} // namespace

TEST(StrokeCircle, MidpointOutline)
{
    TestBitmap b(21, 21, 23);
    Prepare(b, 0);
    StrokeCircle(&b, 10.0f, 10.0f, 5.0f, 0xFF000000, 1.0f, 0, false);
    EXPECT_EQ(Changed(b, 0), OutlineR5(10, 10));

    // R = 1: the four axis pixels.
    b.Fill(0);
    StrokeCircle(&b, 10.0f, 10.0f, 1.2f, 0xFF000000, 1.0f, 0, false);
    EXPECT_EQ(Changed(b, 0), (Points{{10, 9}, {11, 10}, {10, 11}, {9, 10}}));

    // R = 0: the centre gets the operator four times.
    b.Fill(0);
    StrokeCircle(&b, 10.0f, 10.0f, 0.2f, kOne, 1.0f, 1, false);
    EXPECT_EQ(Changed(b, 0), (Points{{10, 10}}));
    EXPECT_EQ(b.At(10, 10), 0x04040404u);
    EXPECT_TRUE(PaddingIntact(b));
}

TEST(FillCircle, DiscCoversOutlineAndInsideOnce)
{
    TestBitmap b(21, 21);
    FillCircle(&b, 10.0f, 10.0f, 5.0f, kOne, 1.0f, 1, false);
    // Every row from the outline's leftmost to rightmost pixel, each pixel once.
    Points expected;
    for (auto [x, y] : OutlineR5(10, 10))
        for (int xx = 10 - (x > 10 ? x - 10 : 10 - x); xx <= 10 + (x > 10 ? x - 10 : 10 - x); ++xx)
            expected.insert({xx, y});
    EXPECT_EQ(Changed(b, 0), expected);
    for (auto [x, y] : expected)
        EXPECT_EQ(b.At(x, y), kOne) << x << "," << y;
}

TEST(StrokeCircle, SmallRadiiComeFromMasks)
{
    TestBitmap b(20, 20);
    StrokeCircle(&b, 10.3f, 10.3f, 2.0f, kWhite, 1.0f, 0, false);
    // The 5 x 5 diamond at (trunc(cx - 2), trunc(cy - 2)) = (8, 8).
    EXPECT_EQ(Changed(b, 0),
              (Points{{10, 8}, {9, 9}, {11, 9}, {8, 10}, {12, 10}, {9, 11}, {11, 11}, {10, 12}}));
    EXPECT_EQ(b.At(10, 8), kWhite); // coverage 255 at full weight still stores the colour

    b.Fill(0);
    StrokeCircle(&b, 10.0f, 10.0f, 2.01f, kWhite, 1.0f, 0, false);
    EXPECT_EQ(Changed(b, 0), Quadrants(10, 10, {{0, 2}, {2, 0}, {1, 2}, {2, 1}}));

    // Anti-aliased mask values go straight to the weight: copy of white onto
    // black leaves each channel at (m x 256) / 256 = m (m = 255 stays 255).
    b.Fill(0);
    StrokeCircle(&b, 5.0f, 5.0f, 3.0f, kWhite, 1.0f, 0, true);
    int32_t side = 0;
    const uint8_t* mask = SmallCircleMask(3.0f, true, &side);
    ASSERT_NE(mask, nullptr);
    ASSERT_EQ(side, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(PixelBlue(b.At(2 + x, 2 + y)), mask[y * 7 + x]) << x << "," << y;
    EXPECT_EQ(mask[1 * 7 + 3], 64); // beside the top point
    EXPECT_EQ(mask[3 * 7 + 1], 48); // beside the left point

    // A filled disc never uses a mask.
    b.Fill(0);
    FillCircle(&b, 10.0f, 10.0f, 2.0f, kOne, 1.0f, 1, false);
    EXPECT_EQ(b.At(10, 10), kOne);
    EXPECT_EQ(Changed(b, 0).size(), 21u); // 5 x 5 without its corners
}

TEST(RenderCircle, AntialiasedOutlineWeights)
{
    // Copy of white onto black at weight w < 256 leaves each channel at w,
    // so the pixels show the weights the walk used.
    TestBitmap b(15, 15);
    RenderCircle(&b, 7.0f, 7.0f, 3.0f, kWhite, 256, true, false, 0, CircleClip{0, 0, 15, 15}, false);
    auto weight = [&](int dx, int dy) { return PixelBlue(b.At(7 + dx, 7 + dy)); };
    for (int s : {-1, 1})
    {
        EXPECT_EQ(weight(0, 3 * s), 255);
        EXPECT_EQ(weight(3 * s, 0), 255);
        EXPECT_EQ(weight(0, 4 * s), 0); // coverage 0: untouched
        for (int t : {-1, 1})
        {
            EXPECT_EQ(weight(1 * s, 3 * t), 212);
            EXPECT_EQ(weight(3 * s, 1 * t), 212);
            EXPECT_EQ(weight(1 * s, 2 * t), 44);
            EXPECT_EQ(weight(2 * s, 1 * t), 44);
            EXPECT_EQ(weight(2 * s, 2 * t), 196);
            EXPECT_EQ(weight(2 * s, 3 * t), 60);
            EXPECT_EQ(weight(3 * s, 2 * t), 0); // skipped where the walk meets the diagonal
        }
    }
}

TEST(FillCircle, AntialiasedCentreRow)
{
    TestBitmap b(24, 24);
    FillCircle(&b, 10.5f, 10.0f, 3.5f, kWhite, 1.0f, 0, true);
    // X = floor(10.5 + 0.5) = 11, Ri = 3: the row runs 8..14 at full weight
    // and the outer edge pixels 7 and 15 get trunc(0.5 x 256) = 128.
    for (int x = 8; x <= 14; ++x)
        EXPECT_EQ(b.At(x, 10), kWhite) << x;
    EXPECT_EQ(PixelBlue(b.At(7, 10)), 128);
    EXPECT_EQ(PixelBlue(b.At(15, 10)), 128);
    EXPECT_EQ(b.At(6, 10), 0u);
    EXPECT_EQ(b.At(16, 10), 0u);
}

TEST(StrokeCircle, WeightRulesPerOperator)
{
    TestBitmap b(21, 21);
    // Copy at 0.5 without anti-aliasing averages: (0 + 1) / 2 = 0.
    StrokeCircle(&b, 10.0f, 10.0f, 6.0f, kOne, 0.5f, 0, false);
    EXPECT_TRUE(Changed(b, 0).empty());
    // Anti-aliased copy uses BlendPixel: 1 + (0 - 1) x 128 / 256 = 1.
    FillCircle(&b, 10.0f, 10.0f, 6.0f, kOne, 0.5f, 0, true);
    EXPECT_EQ(b.At(10, 10), kOne);

    // A negative alpha subtracts with add, and copy draws nothing.
    b.Fill(0x80808080);
    FillCircle(&b, 10.0f, 10.0f, 6.0f, 0x10101010, -0.5f, 1, false);
    EXPECT_EQ(b.At(10, 10), 0x78787878u);
    b.Fill(0x80808080);
    FillCircle(&b, 10.0f, 10.0f, 6.0f, 0x10101010, -0.5f, 0, false);
    EXPECT_TRUE(Changed(b, 0x80808080).empty());
    // Mode bits above the operator byte are ignored; operator 6 draws nothing.
    FillCircle(&b, 10.0f, 10.0f, 6.0f, 0xFF000000, 1.0f, 0x10106, false);
    EXPECT_TRUE(Changed(b, 0x80808080).empty());
    FillCircle(&b, 10.0f, 10.0f, 6.0f, 0xFF000000, 1.0f, 0x10100, false);
    EXPECT_EQ(b.At(10, 10), 0xFF000000u);
}

TEST(StrokeCircle, BadInputDrawsNothing)
{
    TestBitmap b(20, 20, 22);
    Prepare(b, 0);
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    StrokeCircle(nullptr, 5, 5, 3, kWhite, 1.0f, 0, false);
    StrokeCircle(&b, 5, 5, -3, kWhite, 1.0f, 0, false);
    StrokeCircle(&b, 5, 5, nan, kWhite, 1.0f, 0, true);
    FillCircle(&b, 5, 5, inf, kWhite, 1.0f, 0, true);
    FillCircle(&b, nan, 5, 4, kWhite, 1.0f, 0, true);
    FillCircle(&b, 5, inf, 4, kWhite, 1.0f, 0, false);
    FillCircle(&b, 1e30f, 5, 4, kWhite, 1.0f, 0, false);
    FillCircle(&b, 5, 5, 4, kWhite, nan, 0, false);
    StrokeCircle(&b, nan, nan, 3.0f, kWhite, 1.0f, 0, false); // a mask radius
    EXPECT_TRUE(Changed(b, 0).empty());
    // A huge radius is refused at once instead of walking it.
    FillCircle(&b, 5, 5, 3.0e9f, kWhite, 1.0f, 0, false);
    EXPECT_TRUE(Changed(b, 0).empty());
    // A large disc centred outside still covers the bitmap.
    FillCircle(&b, -1000, 10, 5000, kWhite, 1.0f, 0, false);
    EXPECT_EQ(Changed(b, 0).size(), 400u);
    EXPECT_TRUE(PaddingIntact(b));
}

TEST(StrokeCircle, NegativeCentresAreNotPulledToTheEdge)
{
    // A centre at -1 lies one pixel left of a centre at 0.
    TestBitmap a(12, 12), b(12, 12);
    FillCircle(&a, -1.0f, 5.0f, 3.0f, kOne, 1.0f, 1, false);
    FillCircle(&b, 0.0f, 5.0f, 3.0f, kOne, 1.0f, 1, false);
    EXPECT_EQ(a.At(2, 5), kOne);
    EXPECT_EQ(a.At(3, 5), 0u);
    EXPECT_EQ(b.At(3, 5), kOne);
}

TEST(StrokeCircle, BottomUpMirrorsTheCentre)
{
    TestBitmap up(20, 16, 20, true), down(20, 16, 20, false);
    FillCircle(&up, 8.0f, 5.0f, 4.5f, kOne, 1.0f, 1, true);
    FillCircle(&down, 8.0f, 10.0f, 4.5f, kOne, 1.0f, 1, true);
    EXPECT_EQ(up.Words(), down.Words());
    // The mask path places the mask by image rows (the mask drawing mirrors).
    up.Fill(0);
    StrokeCircle(&up, 8.0f, 5.0f, 2.0f, kWhite, 1.0f, 0, false);
    EXPECT_EQ(Changed(up, 0), (Points{{8, 3}, {7, 4}, {9, 4}, {6, 5}, {10, 5}, {7, 6}, {9, 6}, {8, 7}}));
}

TEST(StrokeCircle, SeededClippingMatchesLargerBitmap)
{
    for (int seed = 0; seed < 400; ++seed)
    {
        std::mt19937 rng(seed);
        auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const float cx = uni(-80, 120) / 4.0f, cy = uni(-80, 100) / 4.0f, r = uni(0, 120) / 4.0f;
        const bool antialias = uni(0, 1) == 1, fill = uni(0, 1) == 1;
        const float alphas[] = {1.0f, 0.5f, 0.3f};
        const float alpha = alphas[uni(0, 2)];
        const BlendMode mode = static_cast<BlendMode>(uni(0, 5));
        auto draw = [&](RasterBitmap* target, float dx)
        {
            if (fill)
                FillCircle(target, cx + dx, cy + dx, r, 0xC0A08060, alpha, mode, antialias);
            else
                StrokeCircle(target, cx + dx, cy + dx, r, 0xC0A08060, alpha, mode, antialias);
        };
        TestBitmap small(19, 17, 21);
        Prepare(small, 0x80402010);
        draw(&small, 0.0f);
        EXPECT_TRUE(PaddingIntact(small)) << "seed " << seed;
        TestBitmap big(19 + 120, 17 + 120);
        big.Fill(0x80402010);
        draw(&big, 60.0f);
        EXPECT_TRUE(WindowEquals(small, big, 60, 60)) << "seed " << seed;
    }
}

TEST(SmallCircleMask, TablesAreMirrorSymmetric)
{
    // Every mask is symmetric left to right and top to bottom; a slip in the
    // constant data breaks that.
    for (float r : {1.5f, 2.0f, 2.5f, 3.0f, 3.5f, 4.0f})
        for (bool antialias : {false, true})
        {
            int32_t n = 0;
            const uint8_t* m = SmallCircleMask(r, antialias, &n);
            ASSERT_NE(m, nullptr);
            ASSERT_EQ(n, static_cast<int32_t>(2 * r + 1));
            for (int y = 0; y < n; ++y)
                for (int x = 0; x < n; ++x)
                {
                    EXPECT_EQ(m[y * n + x], m[y * n + (n - 1 - x)]) << r << " " << antialias;
                    EXPECT_EQ(m[y * n + x], m[(n - 1 - y) * n + x]) << r << " " << antialias;
                }
        }
    EXPECT_EQ(SmallCircleMask(2.25f, false, nullptr), nullptr);
}

// The small outline circles drawn from the mask table follow the circle
// family's weight rule, like every larger circle: the weight is not held to
// 0..256, so add with a negative alpha subtracts and an alpha above 1.0 adds
// more; copy with a negative alpha and a NaN alpha draw nothing. A full-turn
// arc goes the same way.
TEST(StrokeCircle, SmallCirclesTakeTheCircleWeightRule)
{
    const RasterPixel grey = 0x80808080, colour = 0x10101010;
    TestBitmap b(16, 16);
    int32_t side = 0;
    const uint8_t* mask = SmallCircleMask(3.0f, false, &side);
    ASSERT_NE(mask, nullptr);
    // Mask byte 255 at alpha -1: weight (255 x -256) / 256 = -255, so each
    // channel becomes 128 + (16 x -255) / 256 = 128 - 15; at alpha 2 it is
    // 128 + (16 x 510) / 256 = 128 + 31.
    const std::pair<float, RasterPixel> cases[] = {{-1.0f, 0x71717171u}, {2.0f, 0x9F9F9F9Fu}};
    for (auto [alpha, expected] : cases)
        for (bool arc : {false, true})
        {
            b.Fill(grey);
            if (arc)
                StrokeArc(&b, 8.0f, 8.0f, 3.0f, 0.0f, 6.2831855f, colour, alpha, 1, false);
            else
                StrokeCircle(&b, 8.0f, 8.0f, 3.0f, colour, alpha, 1, false);
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    ASSERT_EQ(b.At(5 + x, 5 + y), mask[y * side + x] ? expected : grey)
                        << alpha << " " << arc << " at " << x << "," << y;
        }

    // Anti-aliased: coverage 143 at alpha 2 is weight 286, 128 + (16 x 286) / 256.
    b.Fill(grey);
    StrokeCircle(&b, 8.0f, 8.0f, 3.0f, colour, 2.0f, 1, true);
    EXPECT_EQ(b.At(5 + 1, 5), 0x91919191u);
    EXPECT_EQ(b.At(5, 5), grey); // coverage 0

    for (auto [alpha, mode] : {std::pair{-1.0f, 0u}, std::pair{std::numeric_limits<float>::quiet_NaN(), 1u}})
    {
        b.Fill(grey);
        StrokeCircle(&b, 8.0f, 8.0f, 3.0f, colour, alpha, mode, false);
        EXPECT_TRUE(Changed(b, grey).empty()) << alpha << " " << mode;
    }
}
