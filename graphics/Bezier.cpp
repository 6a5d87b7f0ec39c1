#include "graphics/Bezier.h"

#include "graphics/Line.h"
#include "graphics/Polygon.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace
{
bool AllFinite(std::initializer_list<float> values)
{
    for (float v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

// A segment length of 0 or less counts as 1.
double SegmentLength(float s)
{
    return s > 0.0f ? s : 1.0;
}

int32_t PieceCount(double polygonLength, double range, double segmentLength)
{
    const double n = std::trunc(polygonLength * range / segmentLength);
    if (!(n >= 1.0)) return 1;
    return n >= kMaxBezierPieces ? kMaxBezierPieces : static_cast<int32_t>(n);
}

double Distance(double ax, double ay, double bx, double by)
{
    return std::hypot(bx - ax, by - ay);
}

// Truncation toward zero held to +-2^30, far enough outside any bitmap.
int32_t ToPixel(double v)
{
    constexpr double kLimit = 1073741824.0;
    return static_cast<int32_t>(std::clamp(std::trunc(v), -kLimit, kLimit));
}

double QuadAt(double p0, double p1, double p2, double t)
{
    const double u = 1.0 - t;
    return u * u * p0 + 2.0 * u * t * p1 + t * t * p2;
}
} // namespace

CubicCoefficients CubicBezierCoefficients(float x0, float y0, float x1, float y1, float x2, float y2,
                                          float x3, float y3)
{
    auto axis = [](double p0, double p1, double p2, double p3)
    {
        const double c = 3.0 * (p1 - p0), b = 3.0 * (p2 - p1) - c;
        return CubicAxis{p3 - p0 - c - b, b, c, p0};
    };
    return CubicCoefficients{axis(x0, x1, x2, x3), axis(y0, y1, y2, y3)};
}

void CubicBezierTAtX(const CubicAxis& axis, double target, double* tLow, double* tHigh)
{
    double lo = 0.0, hi = 1.0;
    for (int step = 0; step < 8; ++step)
    {
        const double mid = (lo + hi) / 2;
        const double v = axis.At(mid);
        if (v == target)
        {
            lo = mid;
            hi = std::min(1.0, mid + 1.0 / 256);
            break;
        }
        if (v < target)
            lo = mid;
        else
            hi = mid;
    }
    *tLow = lo;
    *tHigh = hi;
}

void QuadBezierPoint(float x0, float y0, float x1, float y1, float x2, float y2, double t, float* x, float* y)
{
    *x = static_cast<float>(QuadAt(x0, x1, x2, t));
    *y = static_cast<float>(QuadAt(y0, y1, y2, t));
}

void QuadBezierYAtX(float x0, float y0, float x1, float y1, float x2, float y2, float x, float* y, double* t)
{
    if (x <= x0)
    {
        *y = y0;
        *t = 0.0;
        return;
    }
    if (x >= x2)
    {
        *y = y2;
        *t = 1.0;
        return;
    }
    const double A = static_cast<double>(x0) - 2.0 * x1 + x2, B = 2.0 * (static_cast<double>(x1) - x0);
    if (A != 0.0)
    {
        // The discriminant is held at 0 so rounding cannot make it negative.
        const double disc = std::max(0.0, B * B - 4.0 * A * (static_cast<double>(x0) - x));
        *t = (std::sqrt(disc) - B) / (2.0 * A);
        *y = static_cast<float>(QuadAt(y0, y1, y2, *t));
    }
    else
    {
        *t = (static_cast<double>(x) - x0) / (static_cast<double>(x2) - x0);
        *y = static_cast<float>(y0 + (static_cast<double>(y2) - y0) * *t);
    }
}

void StrokeQuadBezier(RasterBitmap* bitmap, float x0, float y0, float x1, float y1, float x2, float y2,
                      RasterPixel colour, float alpha, BlendMode mode, bool antialias, float segmentLength)
{
    if (!bitmap || !AllFinite({x0, y0, x1, y1, x2, y2, segmentLength})) return;
    if (x0 > x2)
    {
        std::swap(x0, x2);
        std::swap(y0, y2);
    }
    const float right = static_cast<float>(bitmap->Width() - 1);
    if (x2 < 0.0f || x0 > right) return;
    double tStart = 0.0, tEnd = 1.0;
    float ignored;
    if (x0 < 0.0f) QuadBezierYAtX(x0, y0, x1, y1, x2, y2, 0.0f, &ignored, &tStart);
    if (x2 > right) QuadBezierYAtX(x0, y0, x1, y1, x2, y2, right, &ignored, &tEnd);
    if (!(tEnd > tStart)) return;
    const double length = Distance(x0, y0, x1, y1) + Distance(x1, y1, x2, y2);
    const int32_t n = PieceCount(length, tEnd - tStart, SegmentLength(segmentLength));
    const double dt = (tEnd - tStart) / n;
    float px, py;
    QuadBezierPoint(x0, y0, x1, y1, x2, y2, tStart, &px, &py);
    for (int32_t k = 1; k <= n; ++k)
    {
        float qx, qy;
        QuadBezierPoint(x0, y0, x1, y1, x2, y2, k == n ? tEnd : tStart + k * dt, &qx, &qy);
        StrokeFloatLine(bitmap, px, py, qx, qy, colour, alpha, mode, antialias);
        px = qx;
        py = qy;
    }
}

int32_t PrepareCubicBezier(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3,
                           float segmentLength, bool alongY, int32_t width, int32_t height, CubicPlan* plan)
{
    if (!plan || !AllFinite({x0, y0, x1, y1, x2, y2, x3, y3, segmentLength})) return 0;
    if (alongY ? y0 > y3 : x0 > x3)
    {
        std::swap(x0, x3);
        std::swap(y0, y3);
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    plan->coefficients = CubicBezierCoefficients(x0, y0, x1, y1, x2, y2, x3, y3);
    const CubicAxis& along = alongY ? plan->coefficients.y : plan->coefficients.x;
    const CubicAxis& across = alongY ? plan->coefficients.x : plan->coefficients.y;
    const double limit = alongY ? height : width;
    const double first = alongY ? y0 : x0, last = alongY ? y3 : x3;
    if (last < 0.0 || first > limit) return 0;

    // The clipped point where the curve reaches target along the axis: the
    // parameter and the other coordinate interpolated over the bisection
    // interval.
    auto clipAt = [&](double target, double* t, double* other)
    {
        double lo, hi;
        CubicBezierTAtX(along, target, &lo, &hi);
        const double a0 = along.At(lo), a1 = along.At(hi);
        const double f = a1 != a0 ? std::clamp((target - a0) / (a1 - a0), 0.0, 1.0) : 0.0;
        *t = lo + (hi - lo) * f;
        *other = across.At(lo) + (across.At(hi) - across.At(lo)) * f;
    };
    double tStart = 0.0, tEnd = 1.0;
    double startAlong = first, startAcross = alongY ? x0 : y0;
    double endAlong = last, endAcross = alongY ? x3 : y3;
    if (first < 0.0)
    {
        clipAt(0.0, &tStart, &startAcross);
        startAlong = 0.0;
    }
    if (last > limit)
    {
        clipAt(limit, &tEnd, &endAcross);
        endAlong = limit;
    }
    if (!(tEnd > tStart)) return 0;
    plan->tStart = tStart;
    plan->tEnd = tEnd;
    plan->startX = static_cast<float>(alongY ? startAcross : startAlong);
    plan->startY = static_cast<float>(alongY ? startAlong : startAcross);
    plan->endX = static_cast<float>(alongY ? endAcross : endAlong);
    plan->endY = static_cast<float>(alongY ? endAlong : endAcross);
    const double length = Distance(x0, y0, x1, y1) + Distance(x1, y1, x2, y2) + Distance(x2, y2, x3, y3);
    return PieceCount(length, tEnd - tStart, SegmentLength(segmentLength));
}

void StrokeCubicBezier(RasterBitmap* bitmap, float x0, float y0, float x1, float y1, float x2, float y2,
                       float x3, float y3, RasterPixel colour, float alpha, BlendMode mode, bool antialias,
                       float segmentLength)
{
    if (!bitmap) return;
    CubicPlan plan;
    const int32_t n = PrepareCubicBezier(x0, y0, x1, y1, x2, y2, x3, y3, segmentLength, false,
                                         bitmap->Width(), bitmap->Height(), &plan);
    if (n < 1) return;
    const double dt = (plan.tEnd - plan.tStart) / n;
    float px = plan.startX, py = plan.startY;
    for (int32_t k = 1; k <= n; ++k)
    {
        float qx = plan.endX, qy = plan.endY;
        if (k < n)
        {
            const double t = plan.tStart + k * dt;
            qx = static_cast<float>(plan.coefficients.x.At(t));
            qy = static_cast<float>(plan.coefficients.y.At(t));
        }
        StrokeFloatLine(bitmap, px, py, qx, qy, colour, alpha, mode, antialias);
        px = qx;
        py = qy;
    }
}

namespace
{
struct SlabPoint
{
    int64_t along, across; // along: the axis the fill walks; across: toward the base line
};

// Shared by both fills: walks the samples of a prepared curve and fills one
// slab per run of new positions along the axis.
void FillCubicToBase(RasterBitmap* bitmap, float x0, float y0, float x1, float y1, float x2, float y2,
                     float x3, float y3, int32_t base, RasterPixel colour, float alpha, BlendMode mode,
                     float segmentLength, bool alongY)
{
    if (!bitmap) return;
    CubicPlan plan;
    const int32_t n = PrepareCubicBezier(x0, y0, x1, y1, x2, y2, x3, y3, segmentLength, alongY,
                                         bitmap->Width(), bitmap->Height(), &plan);
    if (n < 1) return;
    const CubicAxis& along = alongY ? plan.coefficients.y : plan.coefficients.x;
    const CubicAxis& across = alongY ? plan.coefficients.x : plan.coefficients.y;
    auto toPoint = [](double a, double c) { return SlabPoint{ToPixel(a), ToPixel(c + 0.5)}; };
    const double startAlong = alongY ? plan.startY : plan.startX,
                 startAcross = alongY ? plan.startX : plan.startY;
    const double endAlong = alongY ? plan.endY : plan.endX, endAcross = alongY ? plan.endX : plan.endY;
    const int64_t lastPosition = ToPixel(endAlong - 1.0);
    const double dt = (plan.tEnd - plan.tStart) / n;

    SlabPoint prev = toPoint(startAlong, startAcross);
    int64_t next = prev.along;
    // The other coordinate on the segment prev-cur at position p.
    auto acrossAt = [](const SlabPoint& a, const SlabPoint& b, int64_t p)
    {
        if (b.along == a.along) return b.across;
        return a.across + static_cast<int64_t>(std::trunc(static_cast<double>(b.across - a.across) *
                                                          static_cast<double>(p - a.along) /
                                                          static_cast<double>(b.along - a.along)));
    };
    for (int32_t k = 1; k <= n && next <= lastPosition; ++k)
    {
        SlabPoint cur = toPoint(endAlong, endAcross);
        if (k < n)
        {
            const double t = plan.tStart + k * dt;
            cur = toPoint(along.At(t), across.At(t));
        }
        const int64_t to = std::min(cur.along, lastPosition);
        if (to >= next)
        {
            const int32_t a = static_cast<int32_t>(next), b = static_cast<int32_t>(to);
            const int32_t ca = static_cast<int32_t>(acrossAt(prev, cur, next));
            const int32_t cb = static_cast<int32_t>(acrossAt(prev, cur, to));
            if (alongY)
                FillSlabToVertical(bitmap, ca, a, cb, b, base, colour, alpha, mode);
            else
                FillSlabToHorizontal(bitmap, a, ca, b, cb, base, colour, alpha, mode);
            next = to + 1;
        }
        prev = cur;
    }
}

// The slab in (along, across) coordinates; swap puts across on x.
void FillSlab(RasterBitmap* bitmap, int64_t a0, int64_t c0, int64_t a1, int64_t c1, int64_t base,
              RasterPixel colour, float alpha, BlendMode mode, bool swap)
{
    auto polygon = [&](std::initializer_list<std::pair<int64_t, int64_t>> points)
    {
        int32_t xs[4], ys[4], n = 0;
        for (auto [a, c] : points)
        {
            xs[n] = static_cast<int32_t>(swap ? c : a);
            ys[n] = static_cast<int32_t>(swap ? a : c);
            ++n;
        }
        FillConvexPolygon(bitmap, xs, ys, n, colour, alpha, mode);
    };
    if (a0 == a1)
    {
        const int32_t from = static_cast<int32_t>(std::min({c0, c1, base}));
        const int32_t to = static_cast<int32_t>(std::max({c0, c1, base}));
        const int32_t at = static_cast<int32_t>(a0);
        if (swap)
            StrokeLine(bitmap, from, at, to, at, colour, alpha, mode, false);
        else
            StrokeLine(bitmap, at, from, at, to, colour, alpha, mode, false);
        return;
    }
    const bool crosses = (c0 < base && c1 > base) || (c0 > base && c1 < base);
    if (!crosses)
    {
        polygon({{a0, c0}, {a1, c1}, {a1, base}, {a0, base}});
        return;
    }
    const int64_t ac =
        a0 + static_cast<int64_t>(std::trunc(static_cast<double>(base - c0) * static_cast<double>(a1 - a0) /
                                             static_cast<double>(c1 - c0)));
    polygon({{a0, c0}, {ac, base}, {a0, base}});
    polygon({{ac, base}, {a1, c1}, {a1, base}});
}
} // namespace

void FillCubicBezierToHorizontal(RasterBitmap* bitmap, float x0, float y0, float x1, float y1, float x2,
                                 float y2, float x3, float y3, int32_t baseY, RasterPixel colour, float alpha,
                                 BlendMode mode, float segmentLength)
{
    FillCubicToBase(bitmap, x0, y0, x1, y1, x2, y2, x3, y3, baseY, colour, alpha, mode, segmentLength, false);
}

void FillCubicBezierToVertical(RasterBitmap* bitmap, float x0, float y0, float x1, float y1, float x2,
                               float y2, float x3, float y3, int32_t baseX, RasterPixel colour, float alpha,
                               BlendMode mode, float segmentLength)
{
    FillCubicToBase(bitmap, x0, y0, x1, y1, x2, y2, x3, y3, baseX, colour, alpha, mode, segmentLength, true);
}

void FillSlabToHorizontal(RasterBitmap* bitmap, int32_t xa, int32_t ya, int32_t xb, int32_t yb, int32_t baseY,
                          RasterPixel colour, float alpha, BlendMode mode)
{
    FillSlab(bitmap, xa, ya, xb, yb, baseY, colour, alpha, mode, false);
}

void FillSlabToVertical(RasterBitmap* bitmap, int32_t xa, int32_t ya, int32_t xb, int32_t yb, int32_t baseX,
                        RasterPixel colour, float alpha, BlendMode mode)
{
    FillSlab(bitmap, ya, xa, yb, xb, baseX, colour, alpha, mode, true);
}
