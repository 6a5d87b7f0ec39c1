#pragma once
// Circles, discs and arcs: outline (StrokeCircle), filled disc (FillCircle)
// and clockwise outline arc between two angles (StrokeArc), plain (midpoint)
// or anti-aliased, with any operator 0..5 of the mode's low byte (the filter
// and source-alpha bits are ignored; above 5 draws nothing).
//
// Geometry: centre (cx, cy) and radius r in pixels of the bitmap's top-down
// frame; the centre pixel is floor(c + 0.5). Angles are radians, 0 pointing
// up, increasing clockwise: the point of angle t is
// (cx + r sin t, cy - r cos t).
//
// Weight: W = trunc(alpha x 256) in single precision and, unlike the rest of
// the library, not limited to 0..256: an alpha above 1 gives a weight above
// 256 and a negative alpha a negative weight, which the operators take as
// they come (add with a negative alpha subtracts the colour). Copy with a
// negative weight draws nothing. The weight is held to -4096..4096 (alpha
// -16..16) so no operator overflows; an alpha that is not a number draws
// nothing.
//
// Outline circles of radius exactly 1.5, 2, 2.5, 3, 3.5 or 4 come from fixed
// coverage masks drawn with DrawAlphaMask (its own weight rule then applies).
//
// Nothing is drawn for a null bitmap, a bitmap without pixels or of width or
// height below 1, a negative radius, a radius above kMaxCircleRadius, a centre
// or radius that is not finite, a weight of 0, or an arc whose angles are
// equal or not finite. No pixel outside the bitmap is written. No allocation;
// no state; the caller's thread.

#include "graphics/RasterBitmap.h"

// Larger radii draw nothing: the renderers walk the whole radius.
inline constexpr float kMaxCircleRadius = 1048576.0f;

void StrokeCircle(RasterBitmap* bitmap, float cx, float cy, float r, RasterPixel colour, float alpha,
                  BlendMode mode, bool antialias);

// A filled disc; never drawn from the masks.
void FillCircle(RasterBitmap* bitmap, float cx, float cy, float r, RasterPixel colour, float alpha,
                BlendMode mode, bool antialias);

// The outline arc clockwise from the smaller to the larger angle (swapping the
// two draws the same). A span of 2 pi or more draws the whole StrokeCircle.
void StrokeArc(RasterBitmap* bitmap, float cx, float cy, float r, float minAngle, float maxAngle,
               RasterPixel colour, float alpha, BlendMode mode, bool antialias);
