// Expected words are worked out by hand from the operator formulas (signed
// division truncating toward zero), not taken from the code.
#include "graphics/BlendOperators.h"

#include <gtest/gtest.h>

namespace
{
RasterPixel Grey(int v)
{
    return MakePixel(v, v, v, v);
}

RasterPixel Apply(void (*op)(RasterPixel*, int, int, int, int, int), RasterPixel d, int s, int w)
{
    op(&d, s, s, s, s, w);
    return d;
}
} // namespace

TEST(WeightRule, TruncatesAndRejectsUnusableAlphas)
{
    EXPECT_EQ(WeightFromAlpha(1.0f), 256);
    EXPECT_EQ(WeightFromAlpha(0.5f), 128);
    EXPECT_EQ(WeightFromAlpha(0.25f), 64);
    EXPECT_EQ(WeightFromAlpha(0.5001f), 128);
    EXPECT_EQ(WeightFromAlpha(0.3f), 76);
    EXPECT_EQ(WeightFromAlpha(0.003f), 0);
    EXPECT_EQ(WeightFromAlpha(0.0f), 0);
    EXPECT_EQ(WeightFromAlpha(-0.5f), 0);
    EXPECT_EQ(WeightFromAlpha(1.5f), 0);
    EXPECT_EQ(WeightFromAlpha(__builtin_nanf("")), 0);
    EXPECT_EQ(WeightFromAlpha(__builtin_inff()), 0);
}

TEST(BlendOperators, CopyRoundsTowardZero)
{
    EXPECT_EQ(Apply(BlendPixel, 0x12345678, 0xAB, 256), Grey(0xAB));
    // 21 + (-11 x 128) / 256 = 21 - 5 = 16
    EXPECT_EQ(Apply(BlendPixel, Grey(10), 21, 128), Grey(16));
    // 50 + (150 x 156) / 256 = 50 + 91 = 141; 200 + (-150 x 156) / 256 = 200 - 91 = 109
    EXPECT_EQ(Apply(BlendPixel, Grey(200), 50, 100), Grey(141));
    EXPECT_EQ(Apply(BlendPixel, Grey(50), 200, 100), Grey(109));
    // Weight 255 still stores the source (|D - S| x 1 / 256 truncates to 0).
    EXPECT_EQ(Apply(BlendPixel, Grey(0), 255, 255), Grey(255));
}

TEST(BlendOperators, AddDodgeMultiplyOverlay)
{
    EXPECT_EQ(Apply(AddPixel, Grey(100), 200, 256), Grey(255));
    EXPECT_EQ(Apply(AddPixel, Grey(0), 255, 128), Grey(127));

    // k = 1: every non-zero channel saturates, zero stays zero.
    EXPECT_EQ(Apply(DodgePixel, 0x00010080, 255, 256), 0x00FF00FFu);
    EXPECT_EQ(Apply(DodgePixel, Grey(100), 128, 256), Grey(200));
    EXPECT_EQ(Apply(DodgePixel, Grey(130), 128, 256), Grey(255));
    // k = 256 - 50 = 206: 25600 / 206 = 124
    EXPECT_EQ(Apply(DodgePixel, Grey(100), 100, 128), Grey(124));

    EXPECT_EQ(Apply(MultiplyPixel, Grey(255), 255, 256), Grey(254));
    EXPECT_EQ(Apply(MultiplyPixel, Grey(77), 0, 256), Grey(0));
    EXPECT_EQ(Apply(MultiplyPixel, Grey(200), 128, 128), Grey(150));

    EXPECT_EQ(Apply(OverlayPixel, Grey(77), 128, 256), Grey(77));
    EXPECT_EQ(Apply(OverlayPixel, Grey(128), 255, 256), Grey(191));
    EXPECT_EQ(Apply(OverlayPixel, Grey(128), 0, 256), Grey(64));
    EXPECT_EQ(Apply(OverlayPixel, Grey(255), 255, 256), Grey(255));
}

TEST(BlendOperators, HsvConversion)
{
    EXPECT_EQ(HsvReciprocalTable[0], 0);
    EXPECT_EQ(HsvReciprocalTable[1], 65535);
    EXPECT_EQ(HsvReciprocalTable[3], 21844);
    EXPECT_EQ(HsvReciprocalTable[255], 256);

    EXPECT_EQ(HsvToPixel(0, 255, 255, 255), 0xFFFF0000u);
    EXPECT_EQ(HsvToPixel(128, 255, 255, 255), 0xFF00FF00u);
    // p = 100; R = ((-36 x 128 + 16384) x 200) / 16384 = 143
    EXPECT_EQ(HsvToPixel(100, 128, 200, 7), 0x078FC864u);

    // Neutral shifts keep pure red and take the source alpha.
    RasterPixel red = 0x80FF0000;
    HsvAdjustPixel(&red, 128, 128, 128, 0x40, 256);
    EXPECT_EQ(red, 0x40FF0000u);
    // r = 0 turns the hue half way round: red becomes cyan.
    RasterPixel turned = 0xFFFF0000;
    HsvAdjustPixel(&turned, 0, 128, 128, 255, 256);
    EXPECT_EQ(turned, 0xFF00FFFFu);

    // Mixed cases, worked through the five steps with truncating division:
    // base 256 (B largest), base 383 (R largest, G < B) and base 128 (G largest).
    RasterPixel blue = 0xFF3C78B4;
    HsvAdjustPixel(&blue, 200, 100, 150, 77, 200);
    EXPECT_EQ(blue, 0x4DC36BD6u);
    RasterPixel magenta = 0x00C83278;
    HsvAdjustPixel(&magenta, 30, 220, 90, 255, 256);
    EXPECT_EQ(magenta, 0xFF005F7Cu);
    RasterPixel green = 0x000AC81E;
    HsvAdjustPixel(&green, 128, 128, 128, 9, 256);
    EXPECT_EQ(green, 0x090BC81Du);
}

TEST(BlendOperators, SourceAlphaForms)
{
    RasterPixel untouched = 0x11223344;
    CopyPixelSourceAlpha(&untouched, 1, 2, 3, 0);
    BlendPixelSourceAlpha(&untouched, 1, 2, 3, 0, 200);
    AddPixelSourceAlpha(&untouched, 1, 2, 3, 0, 200);
    MultiplyPixelSourceAlpha(&untouched, 1, 2, 3, 0, 200);
    EXPECT_EQ(untouched, 0x11223344u);

    RasterPixel opaque = 0x10203040;
    CopyPixelSourceAlpha(&opaque, 1, 2, 3, 255);
    EXPECT_EQ(opaque, 0xFF010203u);

    // k = 127: R 0 + 200 x 127 / 256 = 99, G 250 - 240 x 127 / 256 = 131, A 100 + 128
    RasterPixel half = MakePixel(100, 200, 10, 0);
    CopyPixelSourceAlpha(&half, 0, 250, 0, 128);
    EXPECT_EQ(half, 0xE4638300u);

    // w' = 129 x 128 / 256 = 64: R 150, G 250 - 180 = 70, A 164
    RasterPixel blended = MakePixel(100, 200, 10, 0);
    BlendPixelSourceAlpha(&blended, 0, 250, 0, 128, 128);
    EXPECT_EQ(blended, 0xA4964600u);

    // w' = 129: R 100 + 100 = 200, G 255, B 100, A 100 + 64
    RasterPixel added = MakePixel(100, 100, 250, 0);
    AddPixelSourceAlpha(&added, 200, 200, 200, 128, 256);
    EXPECT_EQ(added, 0xA4C8FF64u);

    // w' = 65: R 174, G 74, B 49, A 161
    RasterPixel multiplied = MakePixel(200, 200, 100, 50);
    MultiplyPixelSourceAlpha(&multiplied, 128, 0, 255, 64, 256);
    EXPECT_EQ(multiplied, 0xA1AE4A31u);
}

TEST(BlendOperators, ClampedFormsAcceptOutOfRangeValues)
{
    RasterPixel p = 0;
    CopyPixelClamped(&p, 300, -5, 128, 999);
    EXPECT_EQ(p, 0xFFFF0080u);
    p = Grey(100);
    // 400 + (-300 x 128) / 256 = 250; -100 + (200 x 128) / 256 = 0
    BlendPixelClamped(&p, 400, -100, 400, 400, 128);
    EXPECT_EQ(p, MakePixel(250, 250, 0, 250));
    p = MakePixel(250, 10, 10, 10);
    // a = 255 at full weight: colour stored clamped, A = 255
    CopyPixelSourceAlphaClamped(&p, 1000, -1000, 7, 255);
    EXPECT_EQ(p, 0xFFFF0007u);
    p = MakePixel(250, 10, 10, 10);
    // w' = 129 x 256 / 256 = 129; A = 250 + 129 clamps to 255
    BlendPixelSourceAlphaClamped(&p, 10, 10, 10, 128, 256);
    EXPECT_EQ(p, MakePixel(255, 10, 10, 10));
    p = Grey(200);
    // 200 x (512 x 256) / 65536 = 400 -> 255
    MultiplyPixelClamped(&p, 512, 512, 512, 512, 256);
    EXPECT_EQ(p, Grey(255));
}
