#pragma once
// The pixel word, the mode word and the weight rule shared by every drawing
// operation of the raster library.
//
// RasterPixel: 0xAARRGGBB, straight (not premultiplied) alpha, stored
// little-endian so the bytes of a pixel are B, G, R, A in address order.
//
// BlendMode: bits 0-7 the combine operator, bits 8-15 the filter (1 asks for
// bilinear sampling), bit 16 weights each pixel by the source pixel's alpha.
//
// Weight rule: an alpha (float, 1.0 = full) becomes the integer weight
// trunc(alpha x 256) in single precision; 1.0 gives 256, 0.5 gives 128.
// A weight of 0 draws nothing. An alpha that is not a number, negative or
// above 1.0 also gives weight 0, so it draws nothing instead of feeding
// out-of-range weights (or an undefined float-to-int conversion) to the
// operators.

#include <cstdint>

using RasterPixel = uint32_t;
using BlendMode = uint32_t;

// Operator byte values (mode & 0xFF).
inline constexpr BlendMode kBlendCopy = 0;
inline constexpr BlendMode kBlendAdd = 1;
inline constexpr BlendMode kBlendDodge = 2;
inline constexpr BlendMode kBlendMultiply = 3;
inline constexpr BlendMode kBlendOverlay = 4;
inline constexpr BlendMode kBlendHsv = 5;
inline constexpr BlendMode kBlendLastOperator = 5;
inline constexpr BlendMode kBlendChannelCopyFirst = 0xF0; // 0xF0..0xFF: channel copy (same-scale blits)

inline constexpr BlendMode kBlendOperatorMask = 0xFF;
inline constexpr BlendMode kBlendFilterMask = 0xFF00;
inline constexpr BlendMode kBlendFilterBilinear = 0x100;
inline constexpr BlendMode kBlendSourceAlpha = 0x10000;

// Full weight: an alpha of 1.0.
inline constexpr int kFullWeight = 256;

// Channel access on a pixel word.
inline constexpr int PixelRed(RasterPixel p)
{
    return static_cast<int>((p >> 16) & 255);
}
inline constexpr int PixelGreen(RasterPixel p)
{
    return static_cast<int>((p >> 8) & 255);
}
inline constexpr int PixelBlue(RasterPixel p)
{
    return static_cast<int>(p & 255);
}
inline constexpr int PixelAlpha(RasterPixel p)
{
    return static_cast<int>(p >> 24);
}

// Builds a word from four channel values, each taken as its low 8 bits.
inline constexpr RasterPixel MakePixel(int a, int r, int g, int b)
{
    return (static_cast<RasterPixel>(a & 255) << 24) | (static_cast<RasterPixel>(r & 255) << 16) |
           (static_cast<RasterPixel>(g & 255) << 8) | static_cast<RasterPixel>(b & 255);
}

// True when alpha can draw: a number in (0, 1]. Everything else draws nothing.
inline constexpr bool IsDrawableAlpha(float alpha)
{
    return alpha > 0.0f && alpha <= 1.0f; // false for NaN
}

// The weight rule: trunc(alpha x 256) in single precision, 0 for an alpha
// that cannot draw (see above). Result in 0..256.
inline constexpr int WeightFromAlpha(float alpha)
{
    return IsDrawableAlpha(alpha) ? static_cast<int>(alpha * 256.0f) : 0;
}

// The weight trunc(alpha x 256) without the (0, 1] restriction, for the
// drawing families whose weight rule lets any alpha through (an alpha above
// 1.0 weighs more than 256, a negative one subtracts where the operator
// allows it). Held to low..high (a range the caller's arithmetic cannot
// overflow in) before the conversion, so no alpha is undefined to convert;
// 0 for an alpha that is not a number.
inline int UnrestrictedWeight(float alpha, float low, float high)
{
    if (!(alpha == alpha)) return 0; // NaN
    const float scaled = alpha * 256.0f;
    return static_cast<int>(scaled < low ? low : (scaled > high ? high : scaled));
}

// True for any alpha but 0 and not-a-number: the test that alone stops a
// same-scale channel copy and cached text.
inline constexpr bool IsNonZeroAlpha(float alpha)
{
    return alpha < 0.0f || alpha > 0.0f;
}

// Whole-word mixes that work on the four bytes at once. Each term shifts the
// word and clears the bits that crossed into the byte below, so every byte is
// truncated separately.
inline constexpr RasterPixel HalfOfBytes(RasterPixel p)
{
    return (p >> 1) & 0x7F7F7F7Fu;
}
inline constexpr RasterPixel QuarterOfBytes(RasterPixel p)
{
    return (p >> 2) & 0x3F3F3F3Fu;
}
inline constexpr RasterPixel EighthOfBytes(RasterPixel p)
{
    return (p >> 3) & 0x1F1F1F1Fu;
}

// floor(D / 2) + floor(C / 2) per byte.
inline constexpr RasterPixel MixHalf(RasterPixel d, RasterPixel c)
{
    return HalfOfBytes(d) + HalfOfBytes(c);
}
// A quarter of the colour: D/2 + D/4 + C/4 per byte.
inline constexpr RasterPixel MixQuarter(RasterPixel d, RasterPixel c)
{
    return HalfOfBytes(d) + QuarterOfBytes(d) + QuarterOfBytes(c);
}
// Three quarters of the colour: D/4 + C/4 + C/2 per byte.
inline constexpr RasterPixel MixThreeQuarters(RasterPixel d, RasterPixel c)
{
    return QuarterOfBytes(d) + QuarterOfBytes(c) + HalfOfBytes(c);
}
// (D + C) >> 1 per byte, without truncating each half separately.
inline constexpr RasterPixel MixAverage(RasterPixel d, RasterPixel c)
{
    return (d & c) + (((d ^ c) >> 1) & 0x7F7F7F7Fu);
}
