#pragma once
// Filled convex polygons, triangles and flat-topped trapezoids.
//
// A polygon is sorted by (y, x) and walked as a left and a right chain of
// edges; the rows between vertex rows are filled band by band with
// FillTrapezoid, and successive bands never fill a row twice. Vertices are
// integer pixel coordinates in the bitmap's top-down frame (mirrored on a
// bottom-up bitmap). Inverse slopes and edge positions between vertex rows are
// computed in single precision and truncated toward zero.
//
// FillTrapezoid steps both side edges in 16.16 fixed point (steps truncated
// toward zero) and fills one span per row, both ends included. Its last row,
// when that row is the given bottom row, spans exactly the given bottom x
// values, so a band always reaches its own corners.
//
// Weight: the weight rule of RasterPixel.h. Operator: the low byte of the mode
// (0..5; other bits ignored, above 5 draws nothing). Copy at the weights 256,
// 128, 64 and 192 mixes whole words (store, D/2 + C/2, a quarter and three
// quarters of the colour); other copy weights use BlendPixel on all four bytes;
// operators 1..5 their BlendOperators.h formula with the colour's r, g, b, a.
// Nothing outside the bitmap is written. Editor thread only.

#include "graphics/RasterBitmap.h"

#include <cstdint>

// Polygons with more vertices than this draw nothing: the chain walk costs
// count x count steps, and a convex outline on screen never needs more.
inline constexpr int32_t kMaxPolygonVertices = 8192;

// Fills the polygon of count vertices (xs[i], ys[i]). Fewer than 3 vertices,
// more than kMaxPolygonVertices, null arrays or a null bitmap draw nothing.
// Up to 512 vertices are copied on the stack; more go to the heap.
// Non-convex input is walked by the same chain rule (what it draws is not
// otherwise defined).
void FillConvexPolygon(RasterBitmap* bitmap, const int32_t* xs, const int32_t* ys, int32_t count,
                       RasterPixel colour, float alpha, BlendMode mode);

// FillConvexPolygon with the three points in the given order.
void FillTriangle(RasterBitmap* bitmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3,
                  int32_t y3, RasterPixel colour, float alpha, BlendMode mode);

// Fills rows topY..bottomY (swapped when bottomY < topY) between the edges
// (topLeftX, topY)-(bottomLeftX, bottomY) and (topRightX, topY)-
// (bottomRightX, bottomY); the two x values of a row are ordered first.
void FillTrapezoid(RasterBitmap* bitmap, int32_t topLeftX, int32_t topRightX, int32_t topY,
                   int32_t bottomLeftX, int32_t bottomRightX, int32_t bottomY, RasterPixel colour,
                   float alpha, BlendMode mode);

struct PolygonVertex
{
    int32_t x, y;
};

// -1 when a sorts before b (smaller y, then smaller x), 1 after, 0 equal.
int ComparePolygonVertices(const PolygonVertex& a, const PolygonVertex& b);
