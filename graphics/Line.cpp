#include "graphics/Line.h"

#include "graphics/Fill.h"
#include "graphics/LineClip.h"
#include "graphics/LinePlot.h"

#include <cstddef>
#include <cstdlib>

using namespace line_plot;

namespace
{
// count pixels from p, stepping by step.
template <class Plot> void Run(RasterPixel* p, ptrdiff_t step, int32_t count, const Pen& pen, int w)
{
    for (int32_t i = 0; i < count; ++i, p += step)
        Plot::Apply(p, pen, w);
}

// Anti-aliased diagonal of n steps: the first n pixels with Main at wMain and
// their neighbours one x step and one y step over with Side at wSide, then the
// last pixel with Main.
template <class Main, class Side>
void DiagonalAntialiased(RasterPixel* p, ptrdiff_t stepX, ptrdiff_t stepY, int32_t n, const Pen& pen,
                         int wMain, int wSide)
{
    for (int32_t i = 0; i < n; ++i, p += stepX + stepY)
    {
        Main::Apply(p, pen, wMain);
        Side::Apply(p + stepX, pen, wSide);
        Side::Apply(p + stepY, pen, wSide);
    }
    Main::Apply(p, pen, wMain);
}

struct GeneralWalk
{
    RasterPixel* front;  // at the first end point
    RasterPixel* back;   // at the second end point
    ptrdiff_t majorStep; // forward along the major axis
    ptrdiff_t minorStep; // toward the second end along the minor axis
    int32_t major;       // |major delta|, M
    int32_t slope;       // trunc(m / M x 65536)
};

// Both cursors move toward the middle; a minor step when the fraction reaches
// one half (ties resolved away from each cursor's start). M + 1 pixels.
template <class Plot> void WalkGeneral(GeneralWalk g, const Pen& pen, int w)
{
    int32_t f = 0;
    for (int32_t i = 0; i < (g.major + 1) / 2; ++i)
    {
        Plot::Apply(g.front, pen, w);
        Plot::Apply(g.back, pen, w);
        f += g.slope;
        if (f >= 32768)
        {
            g.front += g.minorStep;
            g.back -= g.minorStep;
            f -= 65536;
        }
        g.front += g.majorStep;
        g.back -= g.majorStep;
    }
    if (g.major % 2 == 0) Plot::Apply(g.front, pen, w);
}

template <class Plot> void WalkGeneralAntialiased(GeneralWalk g, const Pen& pen, int w)
{
    Plot::Apply(g.front, pen, w);
    Plot::Apply(g.back, pen, w);
    g.front += g.majorStep;
    g.back -= g.majorStep;
    int32_t f = g.slope;
    for (int32_t i = 0; i < (g.major + 1) / 2 - 1; ++i)
    {
        const int c = f >> 8;
        const int inner = CoverageWeight(255 - c, w), outer = CoverageWeight(c, w);
        Plot::Apply(g.front, pen, inner);
        Plot::Apply(g.front + g.minorStep, pen, outer);
        Plot::Apply(g.back, pen, inner);
        Plot::Apply(g.back - g.minorStep, pen, outer);
        f += g.slope;
        if (f >= 65536)
        {
            g.front += g.minorStep;
            g.back -= g.minorStep;
            f -= 65536;
        }
        g.front += g.majorStep;
        g.back -= g.majorStep;
    }
    if (g.major % 2 == 0)
    {
        const int c = f >> 8;
        Plot::Apply(g.front, pen, CoverageWeight(255 - c, w));
        Plot::Apply(g.front + g.minorStep, pen, CoverageWeight(c, w));
    }
}

void DrawRun(RasterPixel* p, ptrdiff_t step, int32_t count, const Pen& pen, float alpha, uint32_t op)
{
    if (op == kBlendCopy)
    {
        if (alpha == 1.0f) return Run<Store>(p, step, count, pen, 0);
        if (alpha == 0.5f) return Run<Half>(p, step, count, pen, 0);
        if (alpha == 0.25f) return Run<Quarter>(p, step, count, pen, 0);
        if (alpha == 0.75f) return Run<ThreeQuarters>(p, step, count, pen, 0);
    }
    const int w = WeightFromAlpha(alpha);
    if (w == 0) return;
    WithOperatorPlot(op, w, true, [&]<class Plot>() { Run<Plot>(p, step, count, pen, w); });
}

void DrawDiagonal(RasterPixel* p, ptrdiff_t stepX, ptrdiff_t stepY, int32_t n, const Pen& pen, float alpha,
                  uint32_t op, bool antialias)
{
    if (op == kBlendCopy && alpha == 1.0f)
    {
        if (antialias)
            DiagonalAntialiased<ThreeQuarters, Quarter>(p, stepX, stepY, n, pen, 0, 0);
        else
            Run<Store>(p, stepX + stepY, n + 1, pen, 0);
        return;
    }
    const int w = WeightFromAlpha(alpha);
    if (w == 0) return;
    if (antialias)
        WithOperatorPlot(op, w, false,
                         [&]<class Plot>()
                         { DiagonalAntialiased<Plot, Plot>(p, stepX, stepY, n, pen, (3 * w) / 4, w / 4); });
    else
        WithOperatorPlot(op, w, true, [&]<class Plot>() { Run<Plot>(p, stepX + stepY, n + 1, pen, w); });
}
} // namespace

void StrokeLine(RasterBitmap* bitmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, RasterPixel colour,
                float alpha, BlendMode mode, bool antialias)
{
    if (!bitmap) return;
    RasterPixel* pixels = bitmap->Pixels();
    const int32_t width = bitmap->Width(), height = bitmap->Height();
    const ptrdiff_t span = bitmap->RowSpan();
    const uint32_t op = mode & kBlendOperatorMask;
    if (!pixels || op > kBlendLastOperator || WeightFromAlpha(alpha) == 0) return;
    if (bitmap->IsBottomUp() && !MirrorLineRows(y1, y2, height)) return;
    if (!ClipLineToBitmap(x1, y1, x2, y2, width, height)) return;
    // From here on coordinates are memory rows and columns inside the bitmap.
    const Pen pen = MakePen(colour);
    auto at = [&](int32_t x, int32_t y) { return pixels + span * y + x; };
    const int32_t dx = x2 - x1, dy = y2 - y1;

    if (dy == 0) return DrawRun(at(dx < 0 ? x2 : x1, y1), 1, std::abs(dx) + 1, pen, alpha, op);
    if (dx == 0) return DrawRun(at(x1, dy < 0 ? y2 : y1), span, std::abs(dy) + 1, pen, alpha, op);
    if (std::abs(dx) == std::abs(dy))
        return DrawDiagonal(at(x1, y1), x1 < x2 ? 1 : -1, y2 > y1 ? span : -span, std::abs(dx), pen, alpha,
                            op, antialias);

    // General: walk forward along the major axis.
    const bool majorIsX = std::abs(dy) < std::abs(dx);
    const int32_t majorDelta = majorIsX ? dx : dy;
    if (majorDelta < 0)
    {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const int32_t minorDelta = majorIsX ? y2 - y1 : x2 - x1;
    const int32_t M = std::abs(majorDelta), m = std::abs(minorDelta);
    GeneralWalk g;
    g.front = at(x1, y1);
    g.back = at(x2, y2);
    g.majorStep = majorIsX ? 1 : span;
    g.minorStep = (majorIsX ? span : 1) * (minorDelta < 0 ? -1 : 1);
    g.major = M;
    g.slope = static_cast<int32_t>(static_cast<double>(m) / M * 65536.0);
    const int w = WeightFromAlpha(alpha);
    if (antialias)
        WithOperatorPlot(op, w, false, [&]<class Plot>() { WalkGeneralAntialiased<Plot>(g, pen, w); });
    else
        WithOperatorPlot(op, w, true, [&]<class Plot>() { WalkGeneral<Plot>(g, pen, w); });
}

namespace
{
int32_t Saturate(int64_t v)
{
    return static_cast<int32_t>(v > INT32_MAX ? INT32_MAX : (v < INT32_MIN ? INT32_MIN : v));
}
} // namespace

void StrokeRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t w, int32_t h, RasterPixel colour,
                     float alpha, BlendMode mode)
{
    const int32_t right = Saturate(static_cast<int64_t>(x) + w),
                  bottom = Saturate(static_cast<int64_t>(y) + h);
    StrokeLine(bitmap, x, y, right, y, colour, alpha, mode, false);
    StrokeLine(bitmap, right, y, right, bottom, colour, alpha, mode, false);
    StrokeLine(bitmap, right, bottom, x, bottom, colour, alpha, mode, false);
    StrokeLine(bitmap, x, bottom, x, y, colour, alpha, mode, false);
}

void FillBorderedRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t w, int32_t h, RasterPixel fill,
                           RasterPixel border, float alpha, BlendMode mode)
{
    FillRectangle(bitmap, Saturate(static_cast<int64_t>(x) + 1), Saturate(static_cast<int64_t>(y) + 1),
                  Saturate(static_cast<int64_t>(w) - 1), Saturate(static_cast<int64_t>(h) - 1), fill, alpha,
                  mode);
    StrokeRectangle(bitmap, x, y, w, h, border, alpha, mode);
}
