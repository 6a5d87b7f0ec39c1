#pragma once
// The per-pixel blend operators. Every drawing family ends in one of these;
// the blit, fill and mask loops apply the same formulas.
//
// Rounding rules (D = destination channel, S = source channel, w = weight in
// 1/256, 256 = full):
//   - "/" is signed 32-bit division truncating toward zero, never a shift:
//     (D - S) x k / 256 with a negative product rounds toward zero.
//   - Clamp(x) limits to 0..255; "byte" keeps the low 8 bits (the formula
//     stays in range for w in 0..256).
//   copy      D = S + ((D - S) x (256 - w)) / 256                      byte
//   add       D = clamp(D + (S x w) / 256)
//   dodge     k = 256 - (S x w) / 256; D = clamp(D x 256 / k) when k >= 2,
//             else clamp(D x 256)
//   multiply  D = (D x (S x w + (256 - w) x 256)) / 65536              byte
//   overlay   t = S x w + (256 - w) x 128;
//             D = clamp((((32768 - t) x D) / 256 + t) x D / 32768)
//   HSV       the destination colour turned into hue / saturation / value,
//             shifted by the source (r: hue, g: saturation, b: value around
//             the middle 128) and turned back; the alpha becomes the source a.
// The alpha channel takes part like the colour channels unless a form says
// otherwise. Source-alpha forms first derive w' = ((a + 1) x w) / 256.
//
// Operators take the destination pixel and the source r, g, b, a (0..255, the
// clamped forms accept any int) and the weight (0..256); they never allocate.

#include "graphics/RasterPixel.h"

#include <array>
#include <cstdint>

// Entry 0 is 0, entry i is floor(65536 / i) - 1 (entry 1 is 65535, 255 is 256).
inline constexpr std::array<uint16_t, 256> MakeHsvReciprocalTable()
{
    std::array<uint16_t, 256> table{};
    for (int i = 1; i < 256; ++i)
        table[i] = static_cast<uint16_t>(65536 / i - 1);
    return table;
}
inline constexpr std::array<uint16_t, 256> HsvReciprocalTable = MakeHsvReciprocalTable();

inline constexpr int ClampChannel(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}
inline constexpr int64_t ClampChannel64(int64_t v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Per-channel formulas.
inline constexpr int BlendChannel(int d, int s, int w)
{
    return (s + ((d - s) * (256 - w)) / 256) & 255;
}
inline constexpr int AddChannel(int d, int s, int w)
{
    return ClampChannel(d + (s * w) / 256);
}
inline constexpr int DodgeChannel(int d, int s, int w)
{
    int k = 256 - (s * w) / 256;
    return k >= 2 ? ClampChannel((d * 256) / k) : ClampChannel(d * 256);
}
inline constexpr int MultiplyChannel(int d, int s, int w)
{
    return ((d * (s * w + (256 - w) * 256)) / 65536) & 255;
}
inline constexpr int OverlayChannel(int d, int s, int w)
{
    int t = s * w + (256 - w) * 128;
    return ClampChannel(((((32768 - t) * d) / 256 + t) * d) / 32768);
}

inline void StorePixelChannels(RasterPixel* pixel, int r, int g, int b, int a)
{
    *pixel = MakePixel(a, r, g, b);
}

// Plain operators (operator byte 0..5).
inline void BlendPixel(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    RasterPixel d = *pixel;
    *pixel = MakePixel(BlendChannel(PixelAlpha(d), a, w), BlendChannel(PixelRed(d), r, w),
                       BlendChannel(PixelGreen(d), g, w), BlendChannel(PixelBlue(d), b, w));
}
inline void AddPixel(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    RasterPixel d = *pixel;
    *pixel = MakePixel(AddChannel(PixelAlpha(d), a, w), AddChannel(PixelRed(d), r, w),
                       AddChannel(PixelGreen(d), g, w), AddChannel(PixelBlue(d), b, w));
}
inline void DodgePixel(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    RasterPixel d = *pixel;
    *pixel = MakePixel(DodgeChannel(PixelAlpha(d), a, w), DodgeChannel(PixelRed(d), r, w),
                       DodgeChannel(PixelGreen(d), g, w), DodgeChannel(PixelBlue(d), b, w));
}
inline void MultiplyPixel(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    RasterPixel d = *pixel;
    *pixel = MakePixel(MultiplyChannel(PixelAlpha(d), a, w), MultiplyChannel(PixelRed(d), r, w),
                       MultiplyChannel(PixelGreen(d), g, w), MultiplyChannel(PixelBlue(d), b, w));
}
inline void OverlayPixel(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    RasterPixel d = *pixel;
    *pixel = MakePixel(OverlayChannel(PixelAlpha(d), a, w), OverlayChannel(PixelRed(d), r, w),
                       OverlayChannel(PixelGreen(d), g, w), OverlayChannel(PixelBlue(d), b, w));
}
// The whole word becomes HsvToPixel(...) with the source alpha a.
void HsvAdjustPixel(RasterPixel* pixel, int r, int g, int b, int a, int w);

// Hue 0..383 (six sectors of 64 from red), saturation and value 0..255.
RasterPixel HsvToPixel(int hue, int saturation, int value, int alpha);

// Source-alpha forms.
inline constexpr int SourceAlphaWeight(int a, int w)
{
    return ((a + 1) * w) / 256;
}

// Full-weight copy with source alpha: a = 0 leaves the pixel, a = 255 stores
// the colour with A = 255, otherwise colour D = S + ((D - S) x (255 - a)) / 256
// and A = min(255, A + a).
inline void CopyPixelSourceAlpha(RasterPixel* pixel, int r, int g, int b, int a)
{
    if (a == 0) return;
    if (a == 255)
    {
        *pixel = MakePixel(255, r, g, b);
        return;
    }
    RasterPixel d = *pixel;
    int k = 255 - a;
    int na = PixelAlpha(d) + a;
    *pixel = MakePixel(na > 255 ? 255 : na, (r + ((PixelRed(d) - r) * k) / 256),
                       (g + ((PixelGreen(d) - g) * k) / 256), (b + ((PixelBlue(d) - b) * k) / 256));
}
inline void BlendPixelSourceAlpha(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    if (a == 0) return;
    RasterPixel d = *pixel;
    int ws = SourceAlphaWeight(a, w);
    int na = PixelAlpha(d) + ws;
    *pixel = MakePixel(na > 255 ? 255 : na, BlendChannel(PixelRed(d), r, ws),
                       BlendChannel(PixelGreen(d), g, ws), BlendChannel(PixelBlue(d), b, ws));
}
inline void AddPixelSourceAlpha(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    if (a == 0) return;
    RasterPixel d = *pixel;
    int ws = SourceAlphaWeight(a, w);
    *pixel = MakePixel(ClampChannel(PixelAlpha(d) + (ws * a) / 256), AddChannel(PixelRed(d), r, ws),
                       AddChannel(PixelGreen(d), g, ws), AddChannel(PixelBlue(d), b, ws));
}
inline void DodgePixelSourceAlpha(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    DodgePixel(pixel, r, g, b, a, SourceAlphaWeight(a, w));
}
inline void MultiplyPixelSourceAlpha(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    if (a == 0) return;
    RasterPixel d = *pixel;
    int ws = SourceAlphaWeight(a, w);
    int alpha = (PixelAlpha(d) * ((256 - ws) * 256 + a * ws)) / 65536;
    *pixel = MakePixel(alpha, MultiplyChannel(PixelRed(d), r, ws), MultiplyChannel(PixelGreen(d), g, ws),
                       MultiplyChannel(PixelBlue(d), b, ws));
}
inline void OverlayPixelSourceAlpha(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    OverlayPixel(pixel, r, g, b, a, SourceAlphaWeight(a, w));
}
inline void HsvAdjustPixelSourceAlpha(RasterPixel* pixel, int r, int g, int b, int a, int w)
{
    HsvAdjustPixel(pixel, r, g, b, a, SourceAlphaWeight(a, w));
}

// Clamped forms: channel values may lie outside 0..255; every stored value is
// clamped. Computed in 64 bits so no input overflows.
void StoreClampedPixel(RasterPixel* pixel, int64_t r, int64_t g, int64_t b, int64_t a);
void CopyPixelClamped(RasterPixel* pixel, int r, int g, int b, int a);
void BlendPixelClamped(RasterPixel* pixel, int r, int g, int b, int a, int w);
void BlendPixelSourceAlphaClamped(RasterPixel* pixel, int r, int g, int b, int a, int w);
void CopyPixelSourceAlphaClamped(RasterPixel* pixel, int r, int g, int b, int a);
void MultiplyPixelClamped(RasterPixel* pixel, int r, int g, int b, int a, int w);
void MultiplyPixelSourceAlphaClamped(RasterPixel* pixel, int r, int g, int b, int a, int w);

// Stores b, g, r, a unchanged, ignoring w (copy callback of the rotated blits).
inline void StorePixel(RasterPixel* pixel, int r, int g, int b, int a, int /*w*/)
{
    *pixel = MakePixel(a, r, g, b);
}

// Applies plain operator op (0..5) at weight w; other operators do nothing.
// A general per-pixel path with a switch: for reference and rare callers, not
// for inner loops.
void ApplyPlainOperator(uint32_t op, RasterPixel* pixel, int r, int g, int b, int a, int w);
// The same for the source-alpha forms (op 0..5 with the source-alpha bit):
// copy at w = 256 uses CopyPixelSourceAlpha, otherwise BlendPixelSourceAlpha.
void ApplySourceAlphaOperator(uint32_t op, RasterPixel* pixel, int r, int g, int b, int a, int w);
