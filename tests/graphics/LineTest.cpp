#include "graphics/Line.h"
#include "graphics/LineClip.h"
#include "tests/graphics/TestBitmap.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

namespace
{
constexpr RasterPixel kWhite = 0xFFFFFFFF;
constexpr RasterPixel kBlack = 0xFF000000;

std::set<std::pair<int, int>> Changed(TestBitmap& b, RasterPixel background)
{
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.At(x, y) != background) out.insert({x, y});
    return out;
}
using Points = std::set<std::pair<int, int>>;
} // namespace

TEST(StrokeLine, PixelSets)
{
    TestBitmap b(9, 7, 11);
    StrokeLine(&b, 5, 5, 5, 5, kBlack, 1.0f, 0, false);
    EXPECT_EQ(Changed(b, 0), (Points{{5, 5}}));

    b.Fill(0);
    StrokeLine(&b, 0, 0, 4, 2, kBlack, 1.0f, 0, false);
    const Points general{{0, 0}, {1, 1}, {2, 1}, {3, 1}, {4, 2}};
    EXPECT_EQ(Changed(b, 0), general);
    b.Fill(0);
    StrokeLine(&b, 4, 2, 0, 0, kBlack, 1.0f, 0, false);
    EXPECT_EQ(Changed(b, 0), general);

    // Steep: (1, 0) to (3, 5): M = 5, slope = trunc(0.4 x 65536); three pixels from each end.
    b.Fill(0);
    StrokeLine(&b, 1, 0, 3, 5, kBlack, 1.0f, 0, false);
    EXPECT_EQ(Changed(b, 0), (Points{{1, 0}, {1, 1}, {2, 2}, {2, 3}, {3, 4}, {3, 5}}));

    b.Fill(0);
    StrokeLine(&b, 8, 0, 2, 6, kBlack, 1.0f, 0, false);
    EXPECT_EQ(Changed(b, 0).size(), 7u);
    EXPECT_EQ(b.At(5, 3), kBlack);
}

TEST(StrokeLine, CopyAlphasOnRuns)
{
    TestBitmap b(5, 4);
    b.Fill(kWhite);
    StrokeLine(&b, 0, 0, 4, 0, kBlack, 0.5f, 0, false);
    EXPECT_EQ(b.At(2, 0), 0xFE7F7F7Fu);
    StrokeLine(&b, 0, 1, 4, 1, kBlack, 0.3f, 0, true); // w = 76: 255 x 180 / 256 = 179
    EXPECT_EQ(b.At(4, 1), 0xFFB3B3B3u);
    StrokeLine(&b, 0, 2, 0, 3, kBlack, 0.25f, 0, false); // D/2 + D/4 + C/4
    EXPECT_EQ(b.At(0, 3), 0xFDBEBEBEu);
    StrokeLine(&b, 1, 3, 1, 2, kBlack, 0.75f, 0, false); // D/4 + C/4 + C/2
    EXPECT_EQ(b.At(1, 2), 0xFD3F3F3Fu);
    // Weight 128 not from 0.5 exactly: (D + C) >> 1.
    StrokeLine(&b, 2, 2, 4, 2, kBlack, 0.5001f, 0, false);
    EXPECT_EQ(b.At(3, 2), 0xFF7F7F7Fu);
    // Copy at alpha 1.0 stores the word, its alpha byte included.
    StrokeLine(&b, 2, 3, 4, 3, 0x64000000, 1.0f, 0x10000, false);
    EXPECT_EQ(b.At(2, 3), 0x64000000u);
    StrokeLine(&b, 0, 3, 4, 3, kWhite, 1.0f, 6, false);
    EXPECT_EQ(b.At(2, 3), 0x64000000u);
}

TEST(StrokeLine, AntialiasedDiagonalAndGeneral)
{
    TestBitmap b(6, 5);
    b.Fill(kWhite);
    StrokeLine(&b, 0, 0, 2, 2, kBlack, 1.0f, 0, true);
    // Line pixels D/4 + C/4 + C/2 = 0x3F; neighbours D/2 + D/4 + C/4 = 0xBE;
    // alpha bytes 0x3F + 0x3F + 0x7F = 0xFD.
    EXPECT_EQ(b.At(0, 0), 0xFD3F3F3Fu);
    EXPECT_EQ(b.At(2, 2), 0xFD3F3F3Fu);
    EXPECT_EQ(b.At(1, 0), 0xFDBEBEBEu);
    EXPECT_EQ(b.At(0, 1), 0xFDBEBEBEu);
    EXPECT_EQ(b.At(2, 1), 0xFDBEBEBEu);
    EXPECT_EQ(b.At(2, 0), kWhite);
    EXPECT_EQ(b.At(3, 2), kWhite);

    // (0, 0) to (3, 1): slope 21845, coverage 85: inner weight 170, outer 85.
    b.Fill(kWhite);
    StrokeLine(&b, 0, 0, 3, 1, kBlack, 1.0f, 0, true);
    EXPECT_EQ(b.At(0, 0), kBlack);
    EXPECT_EQ(b.At(3, 1), kBlack);
    EXPECT_EQ(b.At(1, 0), 0xFF555555u); // 255 x 86 / 256 = 85
    EXPECT_EQ(b.At(2, 1), 0xFF555555u);
    EXPECT_EQ(b.At(1, 1), 0xFFAAAAAAu); // 255 x 171 / 256 = 170
    EXPECT_EQ(b.At(2, 0), 0xFFAAAAAAu);
    EXPECT_EQ(Changed(b, kWhite).size(), 6u);

    // Half weight: the diagonal pattern at 3w/4 = 96 and w/4 = 32 through BlendPixel.
    b.Fill(kWhite);
    StrokeLine(&b, 3, 3, 4, 4, kBlack, 0.5f, 0, true);
    EXPECT_EQ(b.At(3, 3), 0xFF9F9F9Fu); // 255 x 160 / 256 = 159
    EXPECT_EQ(b.At(4, 3), 0xFFDFDFDFu); // 255 x 224 / 256 = 223
}

TEST(StrokeLine, ClippingAndBottomUp)
{
    TestBitmap b(10, 10);
    StrokeLine(&b, -50, 5, 200, 5, kBlack, 1.0f, 0, false);
    EXPECT_EQ(Changed(b, 0).size(), 10u);
    b.Fill(0);
    StrokeLine(&b, -20, 0, -5, 9, kBlack, 1.0f, 0, false);
    EXPECT_TRUE(Changed(b, 0).empty());

    int x1 = 0, y1 = 0, x2 = 20, y2 = 10;
    ASSERT_TRUE(ClipLineToBitmap(x1, y1, x2, y2, 10, 10));
    // Bottom first: x = trunc(20 x 10 / 10) = 20, y = 9; then right with the
    // moved end: y = trunc(9 x 10 / 20) = 4, x = 9.
    EXPECT_EQ(x2, 9);
    EXPECT_EQ(y2, 4);
    int a1 = -15, b1 = -11, a2 = 9, b2 = 7;
    EXPECT_TRUE(ClipLineToBitmap(a1, b1, a2, b2, 8, 6));
    EXPECT_TRUE(a1 >= 0 && a1 < 8 && b1 >= 0 && b1 < 6 && a2 >= 0 && a2 < 8 && b2 >= 0 && b2 < 6);
    int r1 = 5, s1 = 5, r2 = 30, s2 = 5;
    ASSERT_TRUE(ClipLineToRect(r1, s1, r2, s2, 2, 2, 12, 8));
    EXPECT_EQ(r2, 11);

    TestBitmap up(5, 4, 5, true);
    StrokeLine(&up, 2, 0, 2, 1, kBlack, 1.0f, 0, false);
    EXPECT_EQ(up.Words()[3 * 5 + 2], kBlack); // image row 0 is the last stored row
    EXPECT_EQ(up.Words()[2 * 5 + 2], kBlack);

    // Mirroring rows for a bottom-up bitmap: height - 1 - y, refused when the
    // result leaves the 32-bit range (the line would be clipped away anyway).
    int m1 = 0, m2 = 3;
    ASSERT_TRUE(MirrorLineRows(m1, m2, 4));
    EXPECT_EQ(m1, 3);
    EXPECT_EQ(m2, 0);
    int far1 = INT32_MIN, far2 = 0;
    EXPECT_FALSE(MirrorLineRows(far1, far2, 10));
    const auto before = up.Words();
    StrokeLine(&up, 2, INT32_MIN, 2, 3, 0xFF00FF00u, 1.0f, 0, false);
    StrokeDashedLine(&up, 2, INT32_MIN, 2, 3, 1, 0, 0xFF00FF00u, 1.0f, 0);
    EXPECT_EQ(up.Words(), before);
}

TEST(StrokeLine, RectangleOutlines)
{
    TestBitmap b(12, 7);
    StrokeRectangle(&b, 0, 0, 10, 5, kBlack, 1.0f, 0);
    Points changed = Changed(b, 0);
    EXPECT_EQ(changed.size(), 2u * 11 + 2u * 4);
    EXPECT_TRUE(changed.count({10, 5}));
    EXPECT_FALSE(changed.count({11, 5}));

    // At alpha 0.5 each corner is mixed twice.
    b.Fill(kWhite);
    StrokeRectangle(&b, 1, 1, 3, 3, kBlack, 0.5f, 0);
    EXPECT_EQ(b.At(2, 1), 0xFE7F7F7Fu);
    EXPECT_EQ(b.At(1, 1), 0xFE3F3F3Fu);

    b.Fill(0);
    FillBorderedRectangle(&b, 1, 1, 4, 3, 0xFF00FF00, kBlack, 1.0f, 0);
    EXPECT_EQ(b.At(1, 1), kBlack);
    EXPECT_EQ(b.At(2, 2), 0xFF00FF00u);
    EXPECT_EQ(b.At(4, 3), 0xFF00FF00u);
    EXPECT_EQ(b.At(5, 3), kBlack);
    EXPECT_EQ(b.At(5, 4), kBlack);
}

TEST(StrokeLine, FloatAndDashedVariants)
{
    TestBitmap b(10, 5);
    b.Fill(kWhite);
    StrokeFloatLine(&b, 1.5f, 2.25f, 6.5f, 2.25f, kBlack, 1.0f, 0, true);
    for (int x = 2; x <= 6; ++x)
    {
        EXPECT_EQ(b.At(x, 2), 0xFF404040u) << x; // coverage 191: 255 x 65 / 256 = 64
        EXPECT_EQ(b.At(x, 3), 0xFFBFBFBFu) << x; // coverage 64: 255 x 192 / 256 = 191
    }
    EXPECT_EQ(b.At(1, 2), kWhite);
    EXPECT_EQ(b.At(7, 2), kWhite);

    // Falling minor direction: the cursor starts one pixel further down.
    b.Fill(kWhite);
    StrokeFloatLine(&b, 2.0f, 1.0f, 6.0f, 0.0f, kBlack, 1.0f, 0, true);
    EXPECT_EQ(b.At(2, 1), kBlack);
    EXPECT_EQ(b.At(2, 2), kWhite);
    EXPECT_EQ(b.At(4, 1), 0xFF7F7F7Fu); // coverage 128
    EXPECT_EQ(b.At(4, 0), 0xFF808080u); // coverage 127
    EXPECT_EQ(b.At(6, 0), kBlack);

    TestBitmap c(10, 5);
    StrokeFloatLine(&c, 0.9f, 0.2f, 4.7f, 2.9f, kBlack, 1.0f, 0, false);
    TestBitmap d(10, 5);
    StrokeLine(&d, 0, 0, 4, 2, kBlack, 1.0f, 0, false);
    EXPECT_EQ(c.Words(), d.Words());
    StrokeFloatLine(&c, __builtin_nanf(""), 0, 3, 3, kBlack, 1.0f, 0, true);
    StrokeFloatLine(&c, 0, 0, __builtin_inff(), 3, kBlack, 1.0f, 0, false);
    EXPECT_EQ(c.Words(), d.Words());

    TestBitmap e(12, 8);
    StrokeDashedLine(&e, 3, 0, 3, 5, 1, 1, kBlack, 1.0f, 0);
    EXPECT_EQ(Changed(e, 0), (Points{{3, 0}, {3, 2}, {3, 4}}));
    e.Fill(0);
    StrokeDashedLine(&e, 11, 7, 0, 7, 3, 2, kBlack, 1.0f, 0);
    EXPECT_EQ(Changed(e, 0), (Points{{0, 7}, {1, 7}, {2, 7}, {5, 7}, {6, 7}, {7, 7}, {10, 7}}));
    e.Fill(0);
    StrokeDashedLine(&e, 0, 0, 11, 0, 0, 0, kBlack, 1.0f, 0);
    StrokeDashedLine(&e, 0, 0, 11, 0, -3, 2, kBlack, 1.0f, 0);
    StrokeDashedLine(&e, 0, 0, 5, 5, 1, 1, kBlack, 1.0f, 0);
    EXPECT_TRUE(Changed(e, 0).empty());
}

// Lines of every kind at random into tiny bitmaps whose storage ends at the
// last pixel: nothing may be written outside (the address sanitizer checks),
// and lines stay symmetric: drawn either way round they give the same pixels.
TEST(StrokeLine, RandomLinesStayInsideAndSymmetric)
{
    for (int seed = 0; seed < 500; ++seed)
    {
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi)
        { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
        const int w = pick(1, 9), h = pick(1, 9);
        TestBitmap a(w, h, w, rng() % 3 == 0);
        TestBitmap b = a;
        const int x1 = pick(-12, 20), y1 = pick(-12, 20), x2 = pick(-12, 20), y2 = pick(-12, 20);
        const bool aa = rng() % 2;
        const BlendMode mode = static_cast<BlendMode>(pick(0, 5));
        StrokeLine(&a, x1, y1, x2, y2, 0xFF808080, 1.0f, mode, aa);
        if (x1 >= 0 && x2 >= 0 && y1 >= 0 && y2 >= 0 && x1 < w && x2 < w && y1 < h && y2 < h)
        {
            StrokeLine(&b, x2, y2, x1, y1, 0xFF808080, 1.0f, mode, aa);
            EXPECT_EQ(a.Words(), b.Words()) << "seed " << seed;
        }
        TestBitmap f(w, h, w);
        StrokeFloatLine(&f, x1 * 0.7f, y1 * 1.3f, x2 * 0.9f, y2 * 0.6f, 0xFF808080, 0.8f, mode, true);
        StrokeDashedLine(&f, x1, y1, x2, y1, pick(1, 3), pick(0, 2), 0xFF808080, 0.6f, mode);
    }
}
