#pragma once
// Quadratic and cubic Bezier strokes and cubic area fills, built from
// StrokeFloatLine, StrokeLine and FillConvexPolygon (no state).
//
// Control points are single-precision pixel coordinates. Cubics are
// evaluated in the power basis in double precision:
//   c = 3 (P1 - P0), b = 3 (P2 - P1) - c, a = P3 - P0 - c - b,
//   P(t) = a t^3 + b t^2 + c t + P0;
// quadratics as (1 - t)^2 P0 + 2 (1 - t) t P1 + t^2 P2.
// A curve is cut into n straight pieces, n = trunc(control polygon length x
// clipped parameter range / segment length), at least 1 and at most
// kMaxBezierPieces; a segment length of 0 or less counts as 1.
// A control point or segment length that is not finite draws nothing.

#include "graphics/RasterBitmap.h"

#include <cstdint>

inline constexpr int32_t kMaxBezierPieces = 65536;

// The quadratic curve, turned to run toward increasing x and clipped to the
// columns 0..width - 1 (its end points there taken on the curve), as n
// StrokeFloatLine pieces between evenly spaced parameters.
void StrokeQuadBezier(RasterBitmap* bitmap, float x0, float y0, float x1, float y1, float x2, float y2,
                      RasterPixel colour, float alpha, BlendMode mode, bool antialias, float segmentLength);

// The cubic curve, clipped in x to 0..width by PrepareCubicBezier, as n
// StrokeFloatLine pieces; the last piece ends at the clipped end point.
void StrokeCubicBezier(RasterBitmap* bitmap, float x0, float y0, float x1, float y1, float x2, float y2,
                       float x3, float y3, RasterPixel colour, float alpha, BlendMode mode, bool antialias,
                       float segmentLength);

// Fills the area between the cubic and the row baseY, column by column from
// trunc(start x) to trunc(end x - 1) (so curves that share an end point do not
// fill its column twice); each column is filled once.
void FillCubicBezierToHorizontal(RasterBitmap* bitmap, float x0, float y0, float x1, float y1, float x2,
                                 float y2, float x3, float y3, int32_t baseY, RasterPixel colour, float alpha,
                                 BlendMode mode, float segmentLength);

// The same with x and y exchanged: the area between the cubic and the column
// baseX, row by row.
void FillCubicBezierToVertical(RasterBitmap* bitmap, float x0, float y0, float x1, float y1, float x2,
                               float y2, float x3, float y3, int32_t baseX, RasterPixel colour, float alpha,
                               BlendMode mode, float segmentLength);

// Fills between the segment (xa, ya)-(xb, yb) and the row baseY: one column
// StrokeLine when xa = xb, a quadrilateral when the segment lies on one side
// of the row, two triangles split at the crossing otherwise.
void FillSlabToHorizontal(RasterBitmap* bitmap, int32_t xa, int32_t ya, int32_t xb, int32_t yb, int32_t baseY,
                          RasterPixel colour, float alpha, BlendMode mode);
// The same with x and y exchanged (a segment against the column baseX).
void FillSlabToVertical(RasterBitmap* bitmap, int32_t xa, int32_t ya, int32_t xb, int32_t yb, int32_t baseX,
                        RasterPixel colour, float alpha, BlendMode mode);

// Power-basis coefficients per coordinate; d is the start point.
struct CubicAxis
{
    double a, b, c, d;
    double At(double t) const { return ((a * t + b) * t + c) * t + d; }
};
struct CubicCoefficients
{
    CubicAxis x, y;
};
CubicCoefficients CubicBezierCoefficients(float x0, float y0, float x1, float y1, float x2, float y2,
                                          float x3, float y3);

// The parameter interval (1/256 wide) where the axis reaches target, by 8
// bisection steps over 0..1 (an exact hit stops early with the interval
// hit..min(1, hit + 1/256)). The axis is taken as rising from t = 0 to 1.
void CubicBezierTAtX(const CubicAxis& axis, double target, double* tLow, double* tHigh);

// The point at t (computed in double precision, stored as f32).
void QuadBezierPoint(float x0, float y0, float x1, float y1, float x2, float y2, double t, float* x,
                     float* y);

// y on the quadratic (running toward increasing x) where it reaches x, with
// its parameter: P0's y and 0 at or left of x0, P2's y and 1 at or right of x2.
void QuadBezierYAtX(float x0, float y0, float x1, float y1, float x2, float y2, float x, float* y, double* t);

// A cubic ordered and clipped for drawing along one axis.
struct CubicPlan
{
    CubicCoefficients coefficients;
    double tStart, tEnd;  // the clipped parameter range
    float startX, startY; // the clipped end points
    float endX, endY;
};

// Turns the curve to run toward increasing x (or y when alongY), clips the
// parameter range to where that coordinate lies in 0..width (or 0..height)
// and returns the number of pieces; 0 when nothing is left to draw.
int32_t PrepareCubicBezier(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3,
                           float segmentLength, bool alongY, int32_t width, int32_t height, CubicPlan* plan);
