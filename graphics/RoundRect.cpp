#include "graphics/RoundRect.h"

#include "graphics/Circle.h"
#include "graphics/Line.h"

#include <cmath>

namespace
{
// Truncation toward zero, held to the i32 range (such coordinates are
// clipped away by the line operations anyway).
int32_t TruncToInt32(float v)
{
    if (v >= 2147483520.0f) return INT32_MAX;
    if (v <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(v);
}
} // namespace

void StrokeRoundRect(RasterBitmap* bitmap, float x, float y, float w, float h, int32_t radius,
                     RasterPixel colour, float alpha, BlendMode mode, bool antialias)
{
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(w) || !std::isfinite(h)) return;
    auto plain = [&]
    {
        StrokeRectangle(bitmap, TruncToInt32(x), TruncToInt32(y), TruncToInt32(w), TruncToInt32(h), colour,
                        alpha, mode);
    };
    if (radius <= 0) return plain();
    float rr = static_cast<float>(radius);
    if (static_cast<double>(rr) > static_cast<double>(w) * 0.5) rr = w * 0.5f;
    if (static_cast<double>(rr) > static_cast<double>(h) * 0.5) rr = h * 0.5f;
    rr = std::floor(rr);
    if (rr < 2.0f) return plain();

    const float right = x + w, bottom = y + h;
    const float xl = x + rr, xr = right - rr, yt = y + rr, yb = bottom - rr;
    StrokeLine(bitmap, TruncToInt32(xl), TruncToInt32(y), TruncToInt32(xr), TruncToInt32(y), colour, alpha,
               mode, antialias);
    StrokeLine(bitmap, TruncToInt32(xl - 1.0f), TruncToInt32(bottom), TruncToInt32(xr), TruncToInt32(bottom),
               colour, alpha, mode, antialias);
    StrokeLine(bitmap, TruncToInt32(right), TruncToInt32(yt), TruncToInt32(right), TruncToInt32(yb), colour,
               alpha, mode, antialias);
    StrokeLine(bitmap, TruncToInt32(x), TruncToInt32(yt - 1.0f), TruncToInt32(x), TruncToInt32(yb), colour,
               alpha, mode, antialias);

    constexpr float kQuarter = 1.5707964f, kHalf = 3.1415927f, kThreeQuarters = 4.712389f;
    StrokeArc(bitmap, xl, yt, rr, -kQuarter, 0.0f, colour, alpha, mode, antialias);
    StrokeArc(bitmap, xr, yt, rr, 0.0f, kQuarter, colour, alpha, mode, antialias);
    StrokeArc(bitmap, xr, yb, rr, kQuarter, kHalf, colour, alpha, mode, antialias);
    StrokeArc(bitmap, xl, yb, rr, kHalf, kThreeQuarters, colour, alpha, mode, antialias);
}
