// The two line variants beside StrokeLine: float end points and dashes.
#include "graphics/Line.h"

#include "graphics/LineClip.h"
#include "graphics/LinePlot.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>

using namespace line_plot;

namespace
{
struct FloatWalk
{
    RasterPixel* pixels;
    ptrdiff_t span;
    int32_t width, height;
    bool majorIsY;
    int64_t firstMajor, lastMajor; // integer major positions, both included
    int64_t cursor;                // minor position of the first pixel
    int direction;                 // +1 or -1 along the minor axis
    int32_t fraction;              // 16-bit fraction of the minor position
    int32_t step;                  // |slope| x 65536
};

// The clipper keeps the walk inside the bitmap; each plot still checks its
// pixel so float rounding can never write outside.
template <class Plot> void WalkFloat(const FloatWalk& walk, const Pen& pen, int w)
{
    auto plot = [&](int64_t major, int64_t minor, int coverage)
    {
        const int64_t x = walk.majorIsY ? minor : major, y = walk.majorIsY ? major : minor;
        if (x < 0 || y < 0 || x >= walk.width || y >= walk.height) return;
        Plot::Apply(walk.pixels + walk.span * y + x, pen, CoverageWeight(coverage, w));
    };
    int64_t cursor = walk.cursor;
    int32_t f = walk.fraction;
    for (int64_t major = walk.firstMajor; major <= walk.lastMajor; ++major)
    {
        plot(major, cursor, 255 - (f >> 8));
        plot(major, cursor + walk.direction, f >> 8);
        f += walk.step;
        if (f >= 65536)
        {
            cursor += walk.direction;
            f -= 65536;
        }
    }
}
} // namespace

void StrokeFloatLine(RasterBitmap* bitmap, float x1, float y1, float x2, float y2, RasterPixel colour,
                     float alpha, BlendMode mode, bool antialias)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
    if (!antialias)
    {
        // Truncated toward zero; values beyond the i32 range are held at its
        // limits (they are clipped away in any case).
        auto toInt = [](float v) {
            return v >= 2147483520.0f ? INT32_MAX
                                      : (v <= -2147483648.0f ? INT32_MIN : static_cast<int32_t>(v));
        };
        StrokeLine(bitmap, toInt(x1), toInt(y1), toInt(x2), toInt(y2), colour, alpha, mode, false);
        return;
    }
    if (!bitmap) return;
    RasterPixel* pixels = bitmap->Pixels();
    const int32_t width = bitmap->Width(), height = bitmap->Height();
    const uint32_t op = mode & kBlendOperatorMask;
    const int w = WeightFromAlpha(alpha);
    if (!pixels || w == 0 || op > kBlendLastOperator) return;
    if (bitmap->IsBottomUp())
    {
        y1 = static_cast<float>(height - 1) - y1;
        y2 = static_cast<float>(height - 1) - y2;
    }
    if (!ClipFloatLineToBitmap(x1, y1, x2, y2, width, height)) return;
    if (x1 == x2 && y1 == y2) return;

    const bool majorIsY = std::fabs(x2 - x1) <= std::fabs(y2 - y1);
    double startMajor = majorIsY ? y1 : x1, endMajor = majorIsY ? y2 : x2;
    double startMinor = majorIsY ? x1 : y1, endMinor = majorIsY ? x2 : y2;
    if (endMajor < startMajor)
    {
        std::swap(startMajor, endMajor);
        std::swap(startMinor, endMinor);
    }
    const double slope = (endMinor - startMinor) / (endMajor - startMajor);
    const double first = std::ceil(startMajor);
    const double minor = startMinor + (first - startMajor) * slope;
    const double floorMinor = std::floor(minor);
    int32_t fraction = static_cast<int32_t>((minor - floorMinor) * 65536.0);
    FloatWalk walk;
    walk.pixels = pixels;
    walk.span = bitmap->RowSpan();
    walk.width = width;
    walk.height = height;
    walk.majorIsY = majorIsY;
    walk.firstMajor = static_cast<int64_t>(first);
    walk.lastMajor = static_cast<int64_t>(std::floor(endMajor));
    walk.cursor = static_cast<int64_t>(floorMinor);
    walk.direction = 1;
    if (slope < 0)
    {
        fraction = 0xFFFF - fraction;
        walk.cursor += 1;
        walk.direction = -1;
    }
    walk.fraction = fraction;
    walk.step = static_cast<int32_t>(std::fabs(slope) * 65536.0);
    const Pen pen = MakePen(colour);
    WithOperatorPlot(op, w, false, [&]<class Plot>() { WalkFloat<Plot>(walk, pen, w); });
}

namespace
{
template <class Plot>
void Dashes(RasterPixel* start, ptrdiff_t step, int32_t length, int32_t dash, int32_t gap, const Pen& pen,
            int w)
{
    // Positions are relative to the start; length is far - start.
    int64_t pos = 0;
    for (; pos < static_cast<int64_t>(length) - dash; pos += static_cast<int64_t>(dash) + gap)
        for (int32_t i = 0; i < dash; ++i)
            Plot::Apply(start + step * (pos + i), pen, w);
    for (; pos < length; ++pos)
        Plot::Apply(start + step * pos, pen, w);
}
} // namespace

void StrokeDashedLine(RasterBitmap* bitmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                      int32_t dashLength, int32_t gapLength, RasterPixel colour, float alpha, BlendMode mode)
{
    if (!bitmap || dashLength < 1) return;
    if (gapLength < 0) gapLength = 0;
    RasterPixel* pixels = bitmap->Pixels();
    const int32_t width = bitmap->Width(), height = bitmap->Height();
    const ptrdiff_t span = bitmap->RowSpan();
    const uint32_t op = mode & kBlendOperatorMask;
    const int w = WeightFromAlpha(alpha);
    if (!pixels || w == 0 || op > kBlendLastOperator) return;
    if (bitmap->IsBottomUp() && !MirrorLineRows(y1, y2, height)) return;
    if (!ClipLineToBitmap(x1, y1, x2, y2, width, height)) return;
    RasterPixel* start;
    ptrdiff_t step;
    int32_t length;
    if (y1 == y2)
    {
        start = pixels + span * y1 + (x1 < x2 ? x1 : x2);
        step = 1;
        length = std::abs(x2 - x1);
    }
    else if (x1 == x2)
    {
        start = pixels + span * (y1 < y2 ? y1 : y2) + x1;
        step = span;
        length = std::abs(y2 - y1);
    }
    else
        return;
    const Pen pen = MakePen(colour);
    WithOperatorPlot(op, w, true,
                     [&]<class Plot>() { Dashes<Plot>(start, step, length, dashLength, gapLength, pen, w); });
}
