#include "graphics/Fill.h"
#include "graphics/BitmapUtilities.h"
#include "graphics/PixelCombine.h"
#include "graphics/ReferencePaths.h"
#include "tests/graphics/TestBitmap.h"

#include <gtest/gtest.h>

#include <random>

TEST(PlotPixel, ClipsAndUsesWordPaths)
{
    TestBitmap b(5, 2, 7);
    b.Fill(0xFFFFFFFF);
    PlotPixel(&b, -1, 0, 0, 1.0f, 0);
    PlotPixel(&b, 5, 0, 0, 1.0f, 0);
    PlotPixel(&b, 0, 2, 0, 1.0f, 0);
    EXPECT_EQ(ReadPixel(&b, -1, 0), 0u);
    EXPECT_EQ(ReadPixel(&b, 5, 0), 0u);
    EXPECT_EQ(ReadPixel(nullptr, 0, 0), 0u);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(ReadPixel(&b, x, y), 0xFFFFFFFFu);

    PlotPixel(&b, 1, 0, 0x01010101, 0.5f, 0x10000); // D/2 + C/2 per byte
    EXPECT_EQ(ReadPixel(&b, 1, 0), 0x7F7F7F7Fu);
    PlotPixel(&b, 2, 0, 0x00000000, 0.25f, 0); // D/2 + D/4 + C/4
    EXPECT_EQ(ReadPixel(&b, 2, 0), 0xBEBEBEBEu);
    PlotPixel(&b, 3, 0, 0x00000000, 0.75f, 0); // C/4 + C/2 + D/4
    EXPECT_EQ(ReadPixel(&b, 3, 0), 0x3F3F3F3Fu);
    PlotPixel(&b, 4, 0, 0x00000000, 0.3f, 0); // BlendPixel at 76
    EXPECT_EQ(ReadPixel(&b, 4, 0), 0xB3B3B3B3u);
    PlotPixel(&b, 0, 1, 0x00C80000, 1.0f, 1); // add
    EXPECT_EQ(ReadPixel(&b, 0, 1), 0xFFFFFFFFu);
    PlotPixel(&b, 1, 1, 0x12345678, 1.0f, 6);
    EXPECT_EQ(ReadPixel(&b, 1, 1), 0xFFFFFFFFu);
}

TEST(FillRectangle, ClipsToTheBitmap)
{
    TestBitmap b(5, 3, 8);
    FillRectangle(&b, -2, 0, 5, 1, 0xAABBCCDD, 1.0f, 0);
    EXPECT_EQ(b.At(2, 0), 0xAABBCCDDu);
    EXPECT_EQ(b.At(3, 0), 0u);
    FillRectangle(&b, -9, 1, 5, 1, 0xAABBCCDD, 1.0f, 0);
    FillRectangle(&b, 3, 2, 100, 100, 0x11111111, 1.0f, 0);
    EXPECT_EQ(b.At(4, 2), 0x11111111u);
    EXPECT_EQ(b.At(2, 2), 0u);
    for (int y = 0; y < 3; ++y)
        for (int x = 5; x < 8; ++x)
            EXPECT_EQ(b.Words()[y * 8 + x], 0u);
    EXPECT_EQ(b.At(0, 1), 0u);
    FillRectangle(nullptr, 0, 0, 1, 1, 0, 1.0f, 0);
}

TEST(FillRectangle, WeightsAndAlphaChannel)
{
    TestBitmap b(7, 1);
    // Source alpha folds the colour's alpha into the weight: 128 -> the half path.
    b.Fill(0xFFFFFFFF);
    FillRectangle(&b, 0, 0, 7, 1, 0x80000000, 1.0f, 0x10000);
    EXPECT_EQ(b.At(6, 0), 0xBF7F7F7Fu);
    EXPECT_EQ(FillWeight(1.0f, 0x80000000, 0x10000), 128);
    EXPECT_EQ(FillWeight(1.0f, 0xFF000000, 0x10000), 256);
    EXPECT_EQ(FillWeight(1.0f, 0x00000000, 0x10000), 0);

    // Weight 100 over an opaque pixel: A = 100 + (155 x 156) / 256 = 194.
    b.Fill(0xFF000000);
    FillRectangle(&b, 0, 0, 7, 1, 0x00FF0000, 100.0f / 256.0f, 0);
    // R = 255 + (-255 x 156) / 256 = 100
    EXPECT_EQ(b.At(3, 0), 0xC2640000u);

    // Add uses w x w / 256 for the alpha channel: 0 + 128 x 128 / 256 = 64.
    b.Fill(0x00000000);
    FillRectangle(&b, 0, 0, 7, 1, 0x00FF0000, 0.5f, 1);
    EXPECT_EQ(b.At(0, 0), 0x407F0000u);
    // HSV takes min(w, 255) as the result alpha.
    b.Fill(0x80FF0000);
    FillRectangle(&b, 0, 0, 7, 1, 0x00808080, 1.0f, 5);
    EXPECT_EQ(b.At(0, 0), 0xFFFF0000u);

    b.Fill(0x12345678);
    FillRectangle(&b, 0, 0, 7, 1, 0, 1.0f, 6);
    FillRectangle(&b, 0, 0, 7, 1, 0, __builtin_nanf(""), 0);
    EXPECT_EQ(b.At(0, 0), 0x12345678u);
}

TEST(AndOrRectangle, RewritesTheBlock)
{
    TestBitmap b(5, 2, 6, true);
    b.Fill(0xFFFFFFFF);
    AndOrRectangle(&b, 1, 1, 10, 10, 0x00FFFFFF, 0);
    EXPECT_EQ(b.At(0, 1), 0xFFFFFFFFu);
    EXPECT_EQ(b.At(1, 1), 0x00FFFFFFu);
    EXPECT_EQ(b.At(4, 1), 0x00FFFFFFu);
    EXPECT_EQ(b.At(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(b.Words()[0 * 6 + 1], 0x00FFFFFFu); // image row 1 is memory row 0
}

TEST(FillRectangle, LoopsMatchReferenceOnRandomCases)
{
    const float alphas[] = {1.0f, 0.5f, 0.25f, 0.75f, 0.3f, 0.999f, 0.01f, 0.62f};
    for (int seed = 0; seed < 300; ++seed)
    {
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi)
        { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
        const int w = pick(1, 11), h = pick(1, 5);
        TestBitmap fast(w, h, w + pick(0, 3), rng() % 4 == 0);
        fast.Randomise(rng);
        TestBitmap reference = fast;
        const BlendMode mode = static_cast<BlendMode>(pick(0, 6)) | (rng() % 2 ? 0x10000u : 0u);
        const float alpha = alphas[rng() % std::size(alphas)];
        const RasterPixel colour = rng();
        const int x = pick(-4, w), y = pick(-3, h), fw = pick(-1, w + 4), fh = pick(-1, h + 3);
        FillRectangle(&fast, x, y, fw, fh, colour, alpha, mode);
        FillRectangleReference(&reference, x, y, fw, fh, colour, alpha, mode);
        ASSERT_EQ(fast.Words(), reference.Words()) << "seed " << seed;
    }
}

TEST(PixelCombine, DispatchOnWords)
{
    EXPECT_EQ(CombinePixelWords(0x01010101, 0x01010101, 0.5f, 0), 0u);
    EXPECT_EQ(CombinePixelWords(0x11223344, 0xAABBCCDD, 1.0f, 0), 0xAABBCCDDu);
    EXPECT_EQ(CombinePixelWords(0x11223344, 0xAABBCCDD, 0.0f, 0), 0x11223344u);
    EXPECT_EQ(CombinePixelWords(0x11223344, 0xAABBCCDD, 1.0f, 0xF3), 0x112233AAu);
    EXPECT_EQ(CombinePixelWords(0x11223344, 0x00BBCCDD, 1.0f, 0x10000), 0x11223344u);
    EXPECT_EQ(CombinePixelWords(0x11223344, 0xAABBCCDD, 1.0f, 7), 0x11223344u);

    RasterPixel p = 0x0A0A0A0A;
    CombineIntoPixel(&p, 21, 21, 21, 21, 128, 0);
    EXPECT_EQ(p, 0x10101010u);
    CombineIntoPixel(&p, 1, 2, 3, 4, 0, 0);
    EXPECT_EQ(p, 0x10101010u);
    CombineIntoPixelClamped(&p, 300, -4, 0, 999, 256, 0);
    EXPECT_EQ(p, 0xFFFF0000u);
}

TEST(BitmapUtilities, WholeBitmapOperations)
{
    TestBitmap b(5, 3, 6);
    ClearBitmap(&b, 0x80112233);
    EXPECT_EQ(b.At(4, 2), 0x80112233u);
    EXPECT_EQ(b.Words()[5], 0u);
    b.At(1, 1) = 0x00ABCDEF;
    ApplyColourKey(&b, 0x00112233);
    EXPECT_EQ(b.At(0, 0), 0x00112233u);
    EXPECT_EQ(b.At(1, 1), 0xFFABCDEFu);

    // clamp((c x 128 + 256) >> 8): 0x11 -> 9, 0x22 -> 18, 0x33 -> 26 (0x1A); alpha 0 stays 0
    ClearBitmap(&b, 0x00112233);
    MultiplyAddRectangle(&b, 0, 0, 1, 1, 0.5f, 0.5f, 0.5f, 2.0f, 1.0f, 1.0f, 1.0f, 0.0f);
    EXPECT_EQ(b.At(0, 0), 0x0009121Au);
    EXPECT_EQ(b.At(1, 0), 0x00112233u);

    int count = 0;
    ForEachPixelInRectangle(
        &b, -1, -1, 3, 3, [](RasterPixel*, void* n) { ++*static_cast<int*>(n); }, &count);
    EXPECT_EQ(count, 4);
}

TEST(BitmapUtilities, FloodFillAndCompare)
{
    TestBitmap b(5, 4);
    b.Fill(0xFF000000);
    b.At(2, 0) = 0xFF0000FF; // a wall in row 0
    b.At(1, 2) = 0xFF0000FF;
    FloodFill(&b, 3, 1, 0x00FF0000, 0x00FFFFFF, 0xFFFFFFFF);
    // Row 1 and everything reachable straight down or up from column 3.
    EXPECT_EQ(b.At(0, 1), 0xFFFF0000u);
    EXPECT_EQ(b.At(0, 2), 0xFF000000u); // left of the wall in row 2
    EXPECT_EQ(b.At(2, 2), 0xFFFF0000u);
    EXPECT_EQ(b.At(3, 0), 0xFFFF0000u);
    EXPECT_EQ(b.At(1, 0), 0xFF000000u); // behind the wall in row 0
    EXPECT_EQ(b.At(4, 3), 0xFFFF0000u);

    TestBitmap c = b;
    RasterRect diff{9, 9, 9, 9};
    EXPECT_EQ(CompareBitmaps(&b, &c, &diff), 0);
    EXPECT_EQ(diff.left + diff.top + diff.right + diff.bottom, 0);
    c.At(1, 1) = 1;
    c.At(3, 2) = 1;
    EXPECT_EQ(CompareBitmaps(&b, &c, &diff), 1);
    EXPECT_EQ(diff.left, 1);
    EXPECT_EQ(diff.top, 1);
    EXPECT_EQ(diff.right, 3);  // width
    EXPECT_EQ(diff.bottom, 2); // height
    EXPECT_NE(CompareBitmaps(&b, &c, nullptr), 0);
    TestBitmap narrow(3, 4);
    EXPECT_EQ(CompareBitmaps(&b, &narrow, nullptr), -2);
    EXPECT_EQ(CompareBitmaps(nullptr, &b, nullptr), -1);
}

TEST(BitmapUtilities, GradientRamp)
{
    TestBitmap b(4, 1);
    b.Fill(0xFF000000);
    // Alpha 1.0 (weight 256): red ramps 0, 63, 127, 191 (0.25 x 255 per column, truncated).
    GradientRectangle(&b, 0, 0, 4, 1, 0.0f, 0.0f, 0.0f, 1.0f, 0.25f, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(b.At(0, 0), 0xFF000000u);
    EXPECT_EQ(b.At(1, 0), 0xFF3F0000u);
    EXPECT_EQ(b.At(3, 0), 0xFFBF0000u);
    // Clipping on the left advances the ramp.
    b.Fill(0xFF000000);
    GradientRectangle(&b, -2, 0, 6, 1, 0.0f, 0.0f, 0.0f, 1.0f, 0.25f, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(b.At(0, 0), 0xFF7F0000u);
    GradientRectangle(&b, 0, 0, 4, 1, __builtin_nanf(""), 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(b.At(0, 0), 0xFF7F0000u);
}
