#include "graphics/Blit.h"
#include "graphics/MemoryBitmap.h"
#include "graphics/ReferencePaths.h"
#include "graphics/ScaledBlit.h"
#include "tests/graphics/TestBitmap.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <tuple>

namespace
{
// A source whose pixel (x, y) is 0xFF000000 | y << 8 | x, so a landed pixel
// tells where it came from.
TestBitmap Numbered(int w, int h, int span = 0, bool bottomUp = false)
{
    TestBitmap b(w, h, span, bottomUp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.At(x, y) = 0xFF000000u | (y << 8) | x;
    return b;
}
} // namespace

TEST(Blit, ClipsSourceRectangleAndDestination)
{
    TestBitmap src = Numbered(5, 3);
    TestBitmap dst(20, 4, 21);
    RasterRect rect{-3, 0, 5, 3};
    BlitBitmapRect(&dst, &src, 10, 0, &rect, 1.0f, 0);
    EXPECT_EQ(dst.At(12, 0), 0u);
    EXPECT_EQ(dst.At(13, 0), 0xFF000000u);
    EXPECT_EQ(dst.At(17, 2), 0xFF000204u);
    EXPECT_EQ(dst.At(18, 0), 0u);

    TestBitmap left(7, 3, 9);
    BlitBitmapRect(&left, &src, -3, 1, nullptr, 1.0f, 0);
    EXPECT_EQ(left.At(0, 1), 0xFF000003u);
    EXPECT_EQ(left.At(1, 2), 0xFF000104u);
    EXPECT_EQ(left.At(2, 1), 0u);
    EXPECT_EQ(left.At(0, 0), 0u);

    // A rectangle wider than the source is cut to the source; a block past
    // the right and bottom edges is cut there (the padding stays untouched).
    TestBitmap right(7, 3, 9);
    RasterRect wide{2, 1, 50, 50};
    BlitBitmapRect(&right, &src, 5, 1, &wide, 1.0f, 0);
    EXPECT_EQ(right.At(5, 1), 0xFF000102u);
    EXPECT_EQ(right.At(6, 2), 0xFF000203u);
    for (int y = 0; y < 3; ++y)
        for (int x = 7; x < 9; ++x)
            EXPECT_EQ(right.Words()[y * 9 + x], 0u);
}

TEST(Blit, ExactAlphaPathsAndWeights)
{
    TestBitmap src(5, 1), dst(5, 1);
    src.Fill(0x01010101);
    dst.Fill(0x01010101);
    BlitBitmap(&dst, &src, 0, 0, 0, 0, 5, 1, 0.5f, 0);
    EXPECT_EQ(dst.At(4, 0), 0u); // floor(1/2) + floor(1/2)
    dst.Fill(0x01010101);
    BlitBitmap(&dst, &src, 0, 0, 0, 0, 5, 1, 0.5001f, 0);
    EXPECT_EQ(dst.At(4, 0), 0x01010101u); // BlendPixel at 128

    src.Fill(0xFF000000);
    dst.Fill(0xFFFFFFFF);
    BlitBitmap(&dst, &src, 0, 0, 0, 0, 5, 1, 0.3f, 0); // w = 76: 255 x 180 / 256 = 179
    EXPECT_EQ(dst.At(0, 0), 0xFFB3B3B3u);

    for (float alpha : {0.0f, -1.0f, 2.0f, __builtin_nanf("")})
    {
        dst.Fill(0x12345678);
        BlitBitmap(&dst, &src, 0, 0, 0, 0, 5, 1, alpha, 0);
        EXPECT_EQ(dst.At(2, 0), 0x12345678u) << alpha;
    }
    for (float alpha : {0.0f, __builtin_nanf("")})
    {
        dst.Fill(0x12345678);
        BlitBitmap(&dst, &src, 0, 0, 0, 0, 5, 1, alpha, 0xF3);
        EXPECT_EQ(dst.At(2, 0), 0x12345678u) << alpha;
    }
}

TEST(Blit, ChannelCopyAndUnknownOperators)
{
    TestBitmap src(1, 1), dst(1, 1);
    src.At(0, 0) = 0xA1B2C3D4;
    dst.At(0, 0) = 0x11223344;
    BlitBitmapRect(&dst, &src, 0, 0, nullptr, 0.1f, 0xF3); // source A into destination B
    EXPECT_EQ(dst.At(0, 0), 0x112233A1u);
    BlitBitmapRect(&dst, &src, 0, 0, nullptr, 1.0f, 0x100FC); // source B into destination A
    EXPECT_EQ(dst.At(0, 0), 0xD42233A1u);

    for (BlendMode mode : {6u, 0x10006u, 0xEFu})
    {
        dst.At(0, 0) = 0x11223344;
        BlitBitmapRect(&dst, &src, 0, 0, nullptr, 0.7f, mode);
        EXPECT_EQ(dst.At(0, 0), 0x11223344u) << mode;
    }
    // The filter bits play no part.
    dst.At(0, 0) = 0x11223344;
    BlitBitmapRect(&dst, &src, 0, 0, nullptr, 1.0f, 0x100);
    EXPECT_EQ(dst.At(0, 0), 0xA1B2C3D4u);
}

TEST(Blit, SourceAlphaAtFullWeight)
{
    TestBitmap src(9, 1), dst(9, 1, 11);
    for (int x = 0; x < 9; ++x)
        src.At(x, 0) = x % 3 == 0 ? 0x00FFFFFFu : (x % 3 == 1 ? 0xFF123456u : 0x80FA0A00u);
    dst.Fill(MakePixel(100, 0, 200, 0));
    BlitBitmapRect(&dst, &src, 0, 0, nullptr, 1.0f, 0x10000);
    for (int x = 0; x < 9; ++x)
    {
        // Transparent: untouched; opaque: exact; a = 128: k = 127.
        RasterPixel expected = x % 3 == 0
                                   ? MakePixel(100, 0, 200, 0)
                                   : (x % 3 == 1 ? 0xFF123456u : MakePixel(228, 250 - 124, 10 + 94, 0));
        EXPECT_EQ(dst.At(x, 0), expected) << x;
    }
}

TEST(Blit, CopyBitmapTakesSourceSize)
{
    TestBitmap src = Numbered(7, 3);
    MemoryBitmap dst(2, 2, 4);
    CopyBitmap(&dst, &src);
    ASSERT_EQ(dst.Width(), 7);
    ASSERT_EQ(dst.Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(dst.Pixels()[dst.RowSpan() * y + x], src.At(x, y));
    CopyBitmap(nullptr, &src);
    CopyBitmap(&dst, nullptr);
}

TEST(Blit, BottomUpBitmapsAreAddressedByImageRow)
{
    TestBitmap src = Numbered(5, 3, 7, true);
    TestBitmap dst(9, 4, 9, true);
    BlitBitmapRect(&dst, &src, 1, 1, nullptr, 1.0f, 0);
    EXPECT_EQ(dst.At(1, 1), 0xFF000000u);
    EXPECT_EQ(dst.At(5, 3), 0xFF000204u);
    EXPECT_EQ(dst.Words()[0 * 9 + 5], 0xFF000204u); // image row 3 is memory row 0
}

// Every loop against the per-pixel reference on seeded random cases: widths
// that are not multiples of four, spans wider than the width, bottom-up
// bitmaps and clipping on every side. Whole storage is compared, padding
// included.
TEST(Blit, LoopsMatchReferenceOnRandomCases)
{
    const BlendMode modes[] = {0,       1,       2,       3,       4,       5,       6,
                               0x10000, 0x10001, 0x10002, 0x10003, 0x10004, 0x10005, 0x10006,
                               0xF0,    0xF7,    0xFB,    0xFE,    0x100,   0x10100};
    const float alphas[] = {1.0f, 0.5f, 0.25f, 0.75f, 0.3f, 0.999f, 0.004f, 0.62f, 1.5f, -1.0f};
    for (int seed = 0; seed < 400; ++seed)
    {
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi)
        { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
        const int sw = pick(1, 13), sh = pick(1, 6), dw = pick(1, 13), dh = pick(1, 6);
        TestBitmap src(sw, sh, sw + pick(0, 3), rng() % 4 == 0);
        TestBitmap fast(dw, dh, dw + pick(0, 3), rng() % 4 == 0);
        if (seed % 2)
            src.RandomiseSkinLike(rng);
        else
            src.Randomise(rng);
        fast.Randomise(rng);
        TestBitmap reference = fast;
        const BlendMode mode = modes[rng() % std::size(modes)];
        const float alpha = alphas[rng() % std::size(alphas)];
        RasterRect rect{pick(-3, sw), pick(-3, sh), pick(-2, sw + 3), pick(-2, sh + 3)};
        const bool useRect = rng() % 2;
        const int x = pick(-8, dw + 2), y = pick(-5, dh + 2);
        BlitBitmapRect(&fast, &src, x, y, useRect ? &rect : nullptr, alpha, mode);
        BlitBitmapRectReference(&reference, &src, x, y, useRect ? &rect : nullptr, alpha, mode);
        ASSERT_EQ(fast.Words(), reference.Words())
            << "seed " << seed << " mode " << mode << " alpha " << alpha;
    }
}

// Only an alpha of 0 (or NaN) stops a channel copy; any other alpha, outside
// (0, 1] included, plays no part in it.
TEST(Blit, ChannelCopyIgnoresAlphaOutsideZeroToOne)
{
    TestBitmap src(3, 2), dst(3, 2);
    src.Fill(0x80112233);
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const std::tuple<BlendMode, float, RasterPixel> cases[] = {
        {0xF3, 1.5f, 0xFF445580},   // source A into destination B
        {0xFC, -1.0f, 0x33445566},  // source B into destination A
        {0x100F5, inf, 0xFF442266}, // source G into destination G, mode bits above ignored
        {0xF3, 0.0f, 0xFF445566},   // alpha 0 stops every blit
        {0xF3, -0.0f, 0xFF445566},   {0xF3, nan, 0xFF445566},
        {0x10000, 1.5f, 0xFF445566}, // other operators still need an alpha in (0, 1]
    };
    for (auto [mode, alpha, expected] : cases)
    {
        dst.Fill(0xFF445566);
        TestBitmap reference = dst;
        BlitBitmapRect(&dst, &src, 0, 0, nullptr, alpha, mode);
        BlitBitmapRectReference(&reference, &src, 0, 0, nullptr, alpha, mode);
        EXPECT_EQ(dst.At(2, 1), expected) << std::hex << mode << " " << alpha;
        EXPECT_EQ(reference.Words(), dst.Words()) << std::hex << mode << " " << alpha;
        // A same-size scaled blit is this blit.
        TestBitmap scaled(3, 2);
        scaled.Fill(0xFF445566);
        BlitScaled(&scaled, &src, 0, 0, 3, 2, 0.0f, 0.0f, 3.0f, 2.0f, alpha, mode);
        EXPECT_EQ(scaled.Words(), dst.Words()) << std::hex << mode << " " << alpha;
    }
}
