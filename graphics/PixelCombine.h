#pragma once
// The blit's mode dispatch applied to single pixels. These are the general,
// per-pixel forms of the blit and fill loops (a switch per call): the library
// offers them to callers, and the tests compare the specialised loops with
// them.

#include "graphics/RasterPixel.h"

#include <cstdint>

// The blit dispatch on one pair of words: channel copy for operator bytes
// 0xF0..0xFF (at any alpha but 0 and not-a-number); copy at alpha 1.0 returns the source; copy at alpha 0.5
// the per-byte halves; otherwise the operator (with the source-alpha bit, the source-alpha form) at w =
// trunc(alpha x 256). An alpha that cannot draw or an operator outside the table returns the destination
// unchanged.
RasterPixel CombinePixelWords(RasterPixel destination, RasterPixel source, float alpha, BlendMode mode);

// The same dispatch on one pixel in place, source given as channels and the
// weight given directly (1..256; 0 or less does nothing, above 256 counts as
// 256).
void CombineIntoPixel(RasterPixel* pixel, int r, int g, int b, int a, int weight, BlendMode mode);

// As CombineIntoPixel, with the clamped operator forms for copy and multiply,
// so channel values outside 0..255 are accepted. Values for the other
// operators are held to -4096..4096 first so their arithmetic cannot overflow.
void CombineIntoPixelClamped(RasterPixel* pixel, int r, int g, int b, int a, int weight, BlendMode mode);
