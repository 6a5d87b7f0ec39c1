#include "graphics/Circle.h"

#include "graphics/CircleRender.h"

#include <cmath>

namespace
{
// The shared start of StrokeCircle and FillCircle, after the mask path.
void DrawWholeCircle(RasterBitmap* bitmap, float cx, float cy, float r, RasterPixel colour, float alpha,
                     BlendMode mode, bool antialias, bool fill)
{
    if (!bitmap) return;
    const int32_t width = bitmap->Width(), height = bitmap->Height();
    if (bitmap->IsBottomUp()) cy = static_cast<float>(height - 1) - cy;
    const int weight = CircleWeight(alpha);
    if (weight == 0 || width < 1 || height < 1 || !(r >= 0.0f)) return;
    // Inside test, in double precision so rounding can never call a circle
    // inside that is not (which would skip the clip tests).
    const double x = cx, y = cy, rr = r;
    const bool inside = x - rr - 2 >= 0 && y - rr - 2 >= 0 && x + rr + 2 < width && y + rr + 2 < height;
    RenderCircle(bitmap, cx, cy, r, colour, weight, antialias, fill, mode, CircleClip{0, 0, width, height},
                 !inside);
}
} // namespace

void StrokeCircle(RasterBitmap* bitmap, float cx, float cy, float r, RasterPixel colour, float alpha,
                  BlendMode mode, bool antialias)
{
    if (!bitmap) return;
    if (StrokeSmallCircle(bitmap, cx, cy, r, colour, alpha, mode, antialias)) return;
    DrawWholeCircle(bitmap, cx, cy, r, colour, alpha, mode, antialias, false);
}

void FillCircle(RasterBitmap* bitmap, float cx, float cy, float r, RasterPixel colour, float alpha,
                BlendMode mode, bool antialias)
{
    DrawWholeCircle(bitmap, cx, cy, r, colour, alpha, mode, antialias, true);
}

void StrokeArc(RasterBitmap* bitmap, float cx, float cy, float r, float minAngle, float maxAngle,
               RasterPixel colour, float alpha, BlendMode mode, bool antialias)
{
    if (!bitmap || !std::isfinite(minAngle) || !std::isfinite(maxAngle)) return;
    constexpr float kPi = 3.1415927f;
    constexpr float kTwoPi = 6.2831855f;
    const int32_t width = bitmap->Width(), height = bitmap->Height();
    const float callerCy = cy;
    if (bitmap->IsBottomUp())
    {
        cy = static_cast<float>(height - 1) - cy;
        minAngle = kPi - minAngle;
        maxAngle = kPi - maxAngle;
    }
    float lo = minAngle < maxAngle ? minAngle : maxAngle;
    float hi = minAngle < maxAngle ? maxAngle : minAngle;
    if (hi - lo >= kTwoPi)
    {
        StrokeCircle(bitmap, cx, callerCy, r, colour, alpha, mode, antialias);
        return;
    }
    // Bring the larger (or, failing that, the smaller) angle back by whole
    // turns, keeping the span.
    if (hi >= kTwoPi)
    {
        const float t = static_cast<float>(std::fmod(static_cast<double>(hi), static_cast<double>(kTwoPi)));
        lo = lo - (hi - t);
        hi = t;
    }
    else if (!(lo > -kTwoPi))
    {
        const float t = static_cast<float>(std::fmod(static_cast<double>(lo), static_cast<double>(kTwoPi)));
        hi = hi - (lo - t);
        lo = t;
    }
    if (!(r >= 0.0f)) return;
    const int weight = CircleWeight(alpha);
    if (weight == 0) return;
    RenderArc(width, height, bitmap, cx, cy, r, lo, hi, colour, weight, antialias, mode);
}
