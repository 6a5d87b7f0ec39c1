#pragma once
// The inner layer of the circle family (Circle.h): the small-circle masks,
// the arc walker and the whole-circle dispatcher with its renderers. Geometry
// here is in memory rows (already mirrored on a bottom-up bitmap), except for
// StrokeSmallCircle, whose mask drawing mirrors by itself.

#include "graphics/RasterBitmap.h"

#include <cstdint>

// A clip rectangle in memory rows; right and bottom exclusive.
struct CircleClip
{
    int32_t left, top, right, bottom;
};

// The circle family's weight: trunc(alpha x 256) held to -4096..4096; 0 for
// an alpha that is not a number.
int CircleWeight(float alpha);

// The coverage mask for an outline circle of radius r (exactly 1.5, 2, 2.5,
// 3, 3.5 or 4) with or without anti-aliasing; null for any other radius. The
// mask is square with side 2r + 1, row by row.
const uint8_t* SmallCircleMask(float r, bool antialias, int32_t* side);

// Draws the outline from the mask table when r has a mask: DrawAlphaMask at
// (floor(cx - r), floor(cy - r)) with the caller's alpha and mode; returns
// true then. False (nothing drawn) for any other radius or a centre that is
// not finite.
bool StrokeSmallCircle(RasterBitmap* bitmap, float cx, float cy, float r, RasterPixel colour, float alpha,
                       BlendMode mode, bool antialias);

// The outline arc from startAngle to endAngle (radians, start below end),
// drawn as one whole-circle outline per piece between quarter boundaries, each
// clipped to the box of the piece's end points. cy is in memory rows.
void RenderArc(int32_t width, int32_t height, RasterBitmap* bitmap, float cx, float cy, float r,
               double startAngle, double endAngle, RasterPixel colour, int weight, bool antialias,
               BlendMode mode);

// Chooses the renderer by anti-aliasing, operator and (plain copy) weight and
// draws the outline or the disc. With needsClipping every pixel is tested
// against clip; without it the caller has shown the whole circle (two pixels
// of margin included) lies inside the bitmap. The clip is always held to the
// bitmap, and a circle that turns out not to lie inside is clipped to it.
void RenderCircle(RasterBitmap* bitmap, float cx, float cy, float r, RasterPixel colour, int weight,
                  bool antialias, bool fill, BlendMode mode, CircleClip clip, bool needsClipping);
