#pragma once
// Painting one colour through an 8-bit coverage mask (0 = not covered,
// 255 = fully covered). Each pixel with mask byte m > 0 gets the operator
// (low byte of the mode, 0..5) with the colour's r, g, b, a at weight
// (m x w) / 256, w from the weight rule; m = 0 leaves the pixel. So m = 255 at
// alpha 1.0 is weight 255, which for copy still stores the colour exactly.
// Clipped to the bitmap; a null mask or bitmap draws nothing.

#include "graphics/RasterBitmap.h"

#include <cstdint>

// Mask rows are maskSpan bytes apart, top row first.
void DrawAlphaMaskWithSpan(RasterBitmap* bitmap, int32_t x, int32_t y, RasterPixel colour,
                           const uint8_t* mask, int32_t width, int32_t maskSpan, int32_t height, float alpha,
                           BlendMode mode);

// The mask drawn at a weight given directly instead of from an alpha: any
// non-zero weight, held to -kMaxMaskWeight..kMaxMaskWeight (the range no
// operator overflows in); copy draws nothing at a negative weight. The
// circle family draws its small outline circles through it with its own
// weight rule.
inline constexpr int kMaxMaskWeight = 4096;
void DrawAlphaMaskAtWeight(RasterBitmap* bitmap, int32_t x, int32_t y, RasterPixel colour,
                           const uint8_t* mask, int32_t width, int32_t maskSpan, int32_t height, int weight,
                           BlendMode mode);

// DrawAlphaMaskWithSpan with maskSpan = width.
void DrawAlphaMask(RasterBitmap* bitmap, int32_t x, int32_t y, RasterPixel colour, const uint8_t* mask,
                   int32_t width, int32_t height, float alpha, BlendMode mode);
