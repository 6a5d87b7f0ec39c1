#include "graphics/AlphaMask.h"
#include "graphics/BlendOperators.h"
#include "graphics/Blur.h"
#include "tests/graphics/TestBitmap.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

TEST(AlphaMask, ClipsAndWeighsByCoverage)
{
    const uint8_t mask[2 * 5] = {255, 128, 0, 10, 20, 30, 40, 50, 60, 255};
    TestBitmap b(7, 3, 9);
    b.Fill(0xFFFFFFFF);
    // At x = -3 the first three mask columns are skipped. Black over white at
    // weight m: each colour byte 255 x (256 - m) / 256.
    DrawAlphaMask(&b, -3, 0, 0xFF000000, mask, 5, 2, 1.0f, 0);
    EXPECT_EQ(b.At(0, 0), 0xFFF5F5F5u); // m = 10
    EXPECT_EQ(b.At(1, 0), 0xFFEBEBEBu); // m = 20
    EXPECT_EQ(b.At(0, 1), 0xFFC3C3C3u); // m = 60
    EXPECT_EQ(b.At(1, 1), 0xFF000000u); // m = 255: weight 255 still stores the colour
    EXPECT_EQ(b.At(2, 0), 0xFFFFFFFFu);
    EXPECT_EQ(b.At(0, 2), 0xFFFFFFFFu);

    // Half alpha: weight (m x 128) / 256; the span parameter picks rows.
    b.Fill(0xFFFFFFFF);
    DrawAlphaMaskWithSpan(&b, 5, 1, 0xFF000000, mask, 2, 5, 2, 0.5f, 0);
    EXPECT_EQ(b.At(5, 1), 0xFF808080u); // m = 255: weight 127, 255 x 129 / 256 = 128
    EXPECT_EQ(b.At(6, 1), 0xFFBFBFBFu); // m = 128: weight 64, 255 x 192 / 256 = 191
    EXPECT_EQ(b.At(5, 2), 0xFFF0F0F0u); // m = 30: weight 15, 255 x 241 / 256 = 240
}

TEST(AlphaMask, ZeroCoverageAndRejectedInput)
{
    const uint8_t zero[1] = {0};
    const uint8_t full[1] = {255};
    TestBitmap b(3, 3);
    b.Fill(0x80102030);
    DrawAlphaMask(&b, 1, 1, 0xFF808080, zero, 1, 1, 1.0f, 5); // HSV would rewrite the pixel
    EXPECT_EQ(b.At(1, 1), 0x80102030u);
    DrawAlphaMask(&b, -1, 0, 0xFFFFFFFF, full, 1, 1, 1.0f, 0); // wholly left
    DrawAlphaMask(&b, 3, 0, 0xFFFFFFFF, full, 1, 1, 1.0f, 0);  // wholly right
    DrawAlphaMask(&b, 0, 0, 0xFFFFFFFF, nullptr, 1, 1, 1.0f, 0);
    DrawAlphaMask(&b, 0, 0, 0xFFFFFFFF, full, 1, 1, 1.0f, 6);
    DrawAlphaMask(&b, 0, 0, 0xFFFFFFFF, full, 1, 1, 0.001f, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(b.At(x, y), 0x80102030u);
    DrawAlphaMask(&b, 2, 2, 0x00C80000, full, 1, 1, 1.0f, 1); // add at weight 255
    EXPECT_EQ(b.At(2, 2), 0x80D72030u);                       // 16 + 200 x 255 / 256 = 215
}

TEST(Blur, KernelTruncatesEachTerm)
{
    TestBitmap b(5, 4, 7);
    b.Fill(0xFFFFFFFF);
    BlurRectangle(&b, &b, 0, 0, 0, 0, 5, 4);
    EXPECT_EQ(b.At(2, 1), 0xFBFBFBFBu);
    EXPECT_EQ(b.At(2, 0), 0xFCFCFCFCu);
    EXPECT_EQ(b.At(0, 2), 0xFCFCFCFCu);
    EXPECT_EQ(b.At(0, 0), 0xFDFDFDFDu);
    EXPECT_EQ(b.At(4, 3), 0xFDFDFDFDu);

    // One bright pixel in the middle of a dark block spreads 1/2 and 1/8.
    TestBitmap src(3, 3), dst(3, 3);
    src.At(1, 1) = 0x00F00000;
    BlurRectangle(&dst, &src, 0, 0, 0, 0, 3, 3);
    EXPECT_EQ(dst.At(1, 1), 0x00780000u);
    EXPECT_EQ(dst.At(0, 1), 0x003C0000u); // first column: the only horizontal neighbour weighs 1/4
    EXPECT_EQ(dst.At(1, 0), 0x003C0000u);
    EXPECT_EQ(dst.At(0, 0), 0u);

    TestBitmap thin(1, 5);
    thin.Fill(0xFFFFFFFF);
    BlurRectangle(&thin, &thin, 0, 0, 0, 0, 1, 5);
    EXPECT_EQ(thin.At(0, 2), 0xFFFFFFFFu);
}

TEST(Blur, InPlaceMatchesSeparateAndClipsLikeABlit)
{
    for (int seed = 0; seed < 40; ++seed)
    {
        std::mt19937 rng(seed);
        const int w = 2 + static_cast<int>(rng() % 9), h = 2 + static_cast<int>(rng() % 6);
        TestBitmap src(w, h, w + 1, seed % 3 == 0);
        src.Randomise(rng);
        TestBitmap inPlace = src;
        TestBitmap separate(w, h, w + 1, seed % 3 == 0);
        separate.Randomise(rng);
        BlurRectangle(&inPlace, &inPlace, 0, 0, 0, 0, w, h);
        BlurRectangle(&separate, &src, 0, 0, 0, 0, w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(inPlace.At(x, y), separate.At(x, y)) << seed;

        // The same bitmap at another position equals a blur from a copy.
        TestBitmap moved = src;
        TestBitmap expected = src;
        BlurRectangle(&moved, &moved, 1, 1, 0, 0, w, h);
        BlurRectangle(&expected, &src, 1, 1, 0, 0, w, h);
        ASSERT_EQ(moved.Words(), expected.Words()) << seed;
    }

    // A negative source corner moves the destination with it, so an in-place
    // blur of a block overhanging the left edge does not shift the picture.
    std::mt19937 rng(7);
    TestBitmap src(6, 4);
    src.Randomise(rng);
    TestBitmap overhang = src;
    TestBitmap exact = src;
    BlurRectangle(&overhang, &overhang, -3, -2, -3, -2, 9, 6);
    BlurRectangle(&exact, &exact, 0, 0, 0, 0, 6, 4);
    EXPECT_EQ(overhang.Words(), exact.Words());
}

TEST(Blur, WideBlocksUseTheHeap)
{
    TestBitmap wide(1500, 3);
    wide.Fill(0xFFFFFFFF);
    BlurRectangle(&wide, &wide, 0, 0, 0, 0, 1500, 3);
    EXPECT_EQ(wide.At(700, 1), 0xFBFBFBFBu);
    EXPECT_EQ(wide.At(1499, 2), 0xFDFDFDFDu);
}

// The per-operator mask loops against the rule applied pixel by pixel:
// mask byte m > 0 gets the operator at weight (m x w) / 256.
TEST(AlphaMask, LoopsMatchThePerPixelRule)
{
    for (int seed = 0; seed < 120; ++seed)
    {
        std::mt19937 rng(seed);
        const int w = 1 + static_cast<int>(rng() % 9), h = 1 + static_cast<int>(rng() % 5);
        std::vector<uint8_t> mask(static_cast<size_t>(w) * h);
        for (auto& m : mask)
            m = rng() % 3 == 0 ? 0 : static_cast<uint8_t>(rng());
        TestBitmap drawn(w + 2, h + 1, w + 4, seed % 2 == 0);
        drawn.Randomise(rng);
        TestBitmap expected = drawn;
        const RasterPixel colour = rng();
        const uint32_t op = rng() % 6;
        const float alpha = seed % 3 == 0 ? 1.0f : 0.37f;
        const int weight = WeightFromAlpha(alpha);
        DrawAlphaMask(&drawn, 1, 1, colour, mask.data(), w, h, alpha, op);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                const int m = mask[static_cast<size_t>(y) * w + x];
                if (m != 0)
                    ApplyPlainOperator(op, &expected.At(x + 1, y + 1), PixelRed(colour), PixelGreen(colour),
                                       PixelBlue(colour), PixelAlpha(colour), (m * weight) / 256);
            }
        ASSERT_EQ(drawn.Words(), expected.Words()) << "seed " << seed;
    }
}
