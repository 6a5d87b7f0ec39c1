#include "tools/resgen/Shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace
{
constexpr double kDegrees = std::numbers::pi / 180.0;

double Length(double x, double y)
{
    return std::sqrt(x * x + y * y);
}

RasterRect Grow(RasterRect r, int32_t by)
{
    return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

RasterRect BoundsOf(double left, double top, double right, double bottom)
{
    return Grow({static_cast<int32_t>(std::floor(left)), static_cast<int32_t>(std::floor(top)),
                 static_cast<int32_t>(std::ceil(right)), static_cast<int32_t>(std::ceil(bottom))},
                1);
}

RasterRect UnionRect(RasterRect a, RasterRect b)
{
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

RasterRect IntersectRect(RasterRect a, RasterRect b)
{
    RasterRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

double SegmentDistance(double px, double py, double x1, double y1, double x2, double y2)
{
    double dx = x2 - x1, dy = y2 - y1;
    double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0.0 ? ((px - x1) * dx + (py - y1) * dy) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return Length(px - (x1 + t * dx), py - (y1 + t * dy));
}
} // namespace

uint8_t CoverageMask::At(int32_t px, int32_t py) const
{
    px -= x;
    py -= y;
    if (px < 0 || py < 0 || px >= width || py >= height) return 0;
    return bytes[static_cast<size_t>(py) * static_cast<size_t>(width) + static_cast<size_t>(px)];
}

Shape Circle(double cx, double cy, double radius)
{
    return {[=](double x, double y) { return Length(x - cx, y - cy) - radius; },
            BoundsOf(cx - radius, cy - radius, cx + radius, cy + radius)};
}

Shape RoundedBox(double left, double top, double right, double bottom, double radius)
{
    double cx = (left + right) * 0.5, cy = (top + bottom) * 0.5;
    double hx = (right - left) * 0.5, hy = (bottom - top) * 0.5;
    radius = std::clamp(radius, 0.0, std::min(hx, hy));
    return {[=](double x, double y)
            {
                double qx = std::abs(x - cx) - (hx - radius);
                double qy = std::abs(y - cy) - (hy - radius);
                return Length(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) -
                       radius;
            },
            BoundsOf(left, top, right, bottom)};
}

Shape Capsule(double x1, double y1, double x2, double y2, double width)
{
    double r = width * 0.5;
    return {[=](double x, double y) { return SegmentDistance(x, y, x1, y1, x2, y2) - r; },
            BoundsOf(std::min(x1, x2) - r, std::min(y1, y2) - r, std::max(x1, x2) + r, std::max(y1, y2) + r)};
}

Shape Arc(double cx, double cy, double radius, double width, double from, double to)
{
    double half = width * 0.5;
    double ax = cx + radius * std::sin(from * kDegrees), ay = cy - radius * std::cos(from * kDegrees);
    double bx = cx + radius * std::sin(to * kDegrees), by = cy - radius * std::cos(to * kDegrees);
    return {[=](double x, double y)
            {
                // Angle of the point, clockwise from twelve o'clock, brought into [from, from + 360).
                double angle = std::atan2(x - cx, -(y - cy)) / kDegrees;
                while (angle < from)
                    angle += 360.0;
                while (angle >= from + 360.0)
                    angle -= 360.0;
                if (angle <= to) return std::abs(Length(x - cx, y - cy) - radius) - half;
                double toStart = Length(x - ax, y - ay), toEnd = Length(x - bx, y - by);
                return std::min(toStart, toEnd) - half;
            },
            BoundsOf(cx - radius - half, cy - radius - half, cx + radius + half, cy + radius + half)};
}

Shape ConvexPolygon(std::vector<double> xs, std::vector<double> ys)
{
    size_t n = std::min(xs.size(), ys.size());
    double area = 0.0;
    for (size_t i = 0; i < n; ++i)
        area += xs[i] * ys[(i + 1) % n] - xs[(i + 1) % n] * ys[i];
    double orientation = area >= 0.0 ? 1.0 : -1.0;
    double minX = *std::min_element(xs.begin(), xs.begin() + n),
           maxX = *std::max_element(xs.begin(), xs.begin() + n);
    double minY = *std::min_element(ys.begin(), ys.begin() + n),
           maxY = *std::max_element(ys.begin(), ys.begin() + n);
    return {[=](double x, double y)
            {
                // The largest signed distance to the edge lines; exact inside and along the edges.
                double d = -1e9;
                for (size_t i = 0; i < n; ++i)
                {
                    double ex = xs[(i + 1) % n] - xs[i], ey = ys[(i + 1) % n] - ys[i];
                    double len = Length(ex, ey);
                    if (len == 0.0) continue;
                    double cross = (ex * (y - ys[i]) - ey * (x - xs[i])) / len;
                    d = std::max(d, -cross * orientation);
                }
                return d;
            },
            BoundsOf(minX, minY, maxX, maxY)};
}

Shape Union(Shape a, Shape b)
{
    RasterRect bounds = UnionRect(a.bounds, b.bounds);
    return {[da = std::move(a.distance), db = std::move(b.distance)](double x, double y)
            { return std::min(da(x, y), db(x, y)); },
            bounds};
}

Shape Subtract(Shape a, Shape cut)
{
    RasterRect bounds = a.bounds;
    return {[da = std::move(a.distance), dc = std::move(cut.distance)](double x, double y)
            { return std::max(da(x, y), -dc(x, y)); },
            bounds};
}

Shape Intersect(Shape a, Shape b)
{
    RasterRect bounds = IntersectRect(a.bounds, b.bounds);
    return {[da = std::move(a.distance), db = std::move(b.distance)](double x, double y)
            { return std::max(da(x, y), db(x, y)); },
            bounds};
}

Shape Translate(Shape a, double dx, double dy)
{
    int32_t ix = static_cast<int32_t>(std::floor(dx)), iy = static_cast<int32_t>(std::floor(dy));
    RasterRect bounds{a.bounds.left + ix, a.bounds.top + iy, a.bounds.right + ix + 1,
                      a.bounds.bottom + iy + 1};
    return {[d = std::move(a.distance), dx, dy](double x, double y) { return d(x - dx, y - dy); }, bounds};
}

CoverageMask Rasterize(const Shape& shape, int32_t clipWidth, int32_t clipHeight)
{
    RasterRect r = IntersectRect(shape.bounds, {0, 0, clipWidth, clipHeight});
    CoverageMask mask;
    mask.x = r.left;
    mask.y = r.top;
    mask.width = r.right - r.left;
    mask.height = r.bottom - r.top;
    if (mask.Empty()) return mask;
    mask.bytes.assign(static_cast<size_t>(mask.width) * static_cast<size_t>(mask.height), 0);
    for (int32_t py = 0; py < mask.height; ++py)
        for (int32_t px = 0; px < mask.width; ++px)
        {
            double d = shape.distance(r.left + px + 0.5, r.top + py + 0.5);
            double coverage = std::clamp(0.5 - d, 0.0, 1.0);
            mask.bytes[static_cast<size_t>(py) * static_cast<size_t>(mask.width) + static_cast<size_t>(px)] =
                static_cast<uint8_t>(std::lround(coverage * 255.0));
        }
    return mask;
}

CoverageMask MaxMasks(const CoverageMask& a, const CoverageMask& b)
{
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    CoverageMask m;
    m.x = std::min(a.x, b.x);
    m.y = std::min(a.y, b.y);
    m.width = std::max(a.x + a.width, b.x + b.width) - m.x;
    m.height = std::max(a.y + a.height, b.y + b.height) - m.y;
    m.bytes.assign(static_cast<size_t>(m.width) * static_cast<size_t>(m.height), 0);
    for (int32_t py = 0; py < m.height; ++py)
        for (int32_t px = 0; px < m.width; ++px)
            m.bytes[static_cast<size_t>(py) * static_cast<size_t>(m.width) + static_cast<size_t>(px)] =
                std::max(a.At(m.x + px, m.y + py), b.At(m.x + px, m.y + py));
    return m;
}
