#pragma once
// Anti-aliased shapes for the resource generator, described by signed distance functions
// (negative inside, positive outside, in pixels) and turned into 8-bit coverage masks that the
// raster library paints with DrawAlphaMask. Coverage of a pixel is clamp(0.5 - d, 0, 1) with
// d the distance at the pixel's centre, which gives one pixel of smooth edge on every shape.
// Angles are in degrees, clockwise from twelve o'clock (the way a knob reads).
// Pure functions of their arguments: the output depends on nothing else.

#include "graphics/RasterBitmap.h"

#include <cstdint>
#include <functional>
#include <vector>

// An 8-bit coverage mask placed at (x, y) of some image; rows are width bytes apart.
struct CoverageMask
{
    int32_t x = 0, y = 0, width = 0, height = 0;
    std::vector<uint8_t> bytes;

    bool Empty() const { return width <= 0 || height <= 0; }
    uint8_t At(int32_t px, int32_t py) const; // 0 outside the mask
};

struct Shape
{
    std::function<double(double, double)> distance;
    RasterRect bounds; // every pixel with coverage lies inside (right and bottom exclusive)
};

Shape Circle(double cx, double cy, double radius);
// The box (left, top)-(right, bottom) in pixel edges, corners rounded with radius.
Shape RoundedBox(double left, double top, double right, double bottom, double radius);
// A line from (x1, y1) to (x2, y2) with round ends, width pixels thick.
Shape Capsule(double x1, double y1, double x2, double y2, double width);
// A band of the given width along the circle of radius around (cx, cy), from angle `from` to
// angle `to` (to >= from), with round ends.
Shape Arc(double cx, double cy, double radius, double width, double from, double to);
// A convex polygon; vertices in order (either direction), pixel-edge coordinates.
Shape ConvexPolygon(std::vector<double> xs, std::vector<double> ys);
Shape Union(Shape a, Shape b);
Shape Subtract(Shape a, Shape cut);
Shape Intersect(Shape a, Shape b);
// The shape moved by (dx, dy).
Shape Translate(Shape a, double dx, double dy);

// Coverage of the shape over its bounds, clipped to (0, 0)-(clipWidth, clipHeight).
CoverageMask Rasterize(const Shape& shape, int32_t clipWidth, int32_t clipHeight);
// The union of two masks (per pixel the larger coverage), over the rectangle holding both.
CoverageMask MaxMasks(const CoverageMask& a, const CoverageMask& b);
