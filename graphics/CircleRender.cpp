// The whole-circle renderers: a midpoint walk (plain) and a square-root walk
// with coverage (anti-aliased), each a template over the per-pixel effect, so
// the operator is chosen once per circle. Coordinates are 64-bit so no radius
// or position the public operations accept can overflow.
#include "graphics/CircleRender.h"

#include "graphics/Circle.h"

#include "graphics/BlendOperators.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace
{
struct Ink
{
    RasterPixel colour;
    int r, g, b, a;
};

// Per-pixel effects. Store and Average ignore the weight; the operators skip a
// weight of 0 (a zero-coverage fringe pixel stays as it is, which matters for
// HSV adjust, the one operator that changes a pixel at weight 0).
struct StoreEffect
{
    static void Apply(RasterPixel* p, const Ink& ink, int) { *p = ink.colour; }
};
struct AverageEffect
{
    static void Apply(RasterPixel* p, const Ink& ink, int) { *p = MixAverage(*p, ink.colour); }
};
template <void (*Op)(RasterPixel*, int, int, int, int, int)> struct OperatorEffect
{
    static void Apply(RasterPixel* p, const Ink& ink, int w)
    {
        if (w != 0) Op(p, ink.r, ink.g, ink.b, ink.a, w);
    }
};

// Pixels, row spans and column spans; with Clip every pixel and span is
// held to the clip rectangle, without it nothing is tested.
template <class Effect, bool Clip> struct Painter
{
    RasterPixel* pixels;
    ptrdiff_t span;
    int64_t left, top, right, bottom;
    Ink ink;

    RasterPixel* At(int64_t x, int64_t y) const { return pixels + span * y + x; }

    void Pixel(int64_t x, int64_t y, int w) const
    {
        if (Clip && (x < left || x >= right || y < top || y >= bottom)) return;
        Effect::Apply(At(x, y), ink, w);
    }
    void Row(int64_t y, int64_t x1, int64_t x2, int w) const
    {
        if (Clip)
        {
            if (y < top || y >= bottom) return;
            x1 = std::max(x1, left);
            x2 = std::min(x2, right - 1);
        }
        if (x1 > x2) return;
        RasterPixel* p = At(x1, y);
        for (int64_t x = x1; x <= x2; ++x, ++p)
            Effect::Apply(p, ink, w);
    }
    void Column(int64_t x, int64_t y1, int64_t y2, int w) const
    {
        if (Clip)
        {
            if (x < left || x >= right) return;
            y1 = std::max(y1, top);
            y2 = std::min(y2, bottom - 1);
        }
        if (y1 > y2) return;
        RasterPixel* p = At(x, y1);
        for (int64_t y = y1; y <= y2; ++y, p += span)
            Effect::Apply(p, ink, w);
    }
    // The eight spans of one step of either walk, (x, y) the offsets of the
    // edge point: together with the centre cross they touch every pixel of
    // the disc exactly once.
    void OctantSpans(int64_t X, int64_t Y, int64_t x, int64_t y, int w) const
    {
        Column(X - x, Y - y, Y - x - 1, w);
        Column(X - x, Y + x + 1, Y + y, w);
        Row(Y - x, X - y, X - x, w);
        Row(Y - x, X + x, X + y, w);
        Row(Y + x, X - y, X - x, w);
        Row(Y + x, X + x, X + y, w);
        Column(X + x, Y - y, Y - x - 1, w);
        Column(X + x, Y + x + 1, Y + y, w);
    }
};

// A centre further out than this cannot reach a bitmap (sizes are i32 and
// radii at most kMaxCircleRadius), so positions stay in a safe range.
constexpr float kMaxCentre = 4.0e9f;

bool CircleCanBeDrawn(float cx, float cy, float r)
{
    return std::fabs(cx) <= kMaxCentre && std::fabs(cy) <= kMaxCentre && r >= 0.0f && r <= kMaxCircleRadius;
}

// The centre pixel: floor(c + 0.5) with the sum in single precision.
int64_t CentrePixel(float c)
{
    return static_cast<int64_t>(std::floor(c + 0.5f));
}

template <class Painter> void RenderMidpoint(const Painter& p, float cx, float cy, float r, int W, bool fill)
{
    const int64_t X = CentrePixel(cx), Y = CentrePixel(cy), R = static_cast<int64_t>(r + 0.5f);
    if (fill)
    {
        p.Column(X, Y - R, Y - 1, W);
        p.Column(X, Y + 1, Y + R, W);
        p.Row(Y, X - R, X + R, W);
    }
    else
    {
        p.Pixel(X, Y - R, W);
        p.Pixel(X + R, Y, W);
        p.Pixel(X, Y + R, W);
        p.Pixel(X - R, Y, W);
    }
    if (R < 2) return;
    int64_t x = 1, y = R, d = -R;
    do
    {
        if (d >= 0)
        {
            --y;
            d += 2 * (x - y) + 1;
        }
        else
            d += 2 * x + 1;
        if (fill)
            p.OctantSpans(X, Y, x, y, W);
        else
        {
            p.Pixel(X - x, Y - y, W);
            p.Pixel(X - x, Y + y, W);
            p.Pixel(X + x, Y - y, W);
            p.Pixel(X + x, Y + y, W);
            if (x != y)
            {
                p.Pixel(X - y, Y - x, W);
                p.Pixel(X - y, Y + x, W);
                p.Pixel(X + y, Y - x, W);
                p.Pixel(X + y, Y + x, W);
            }
        }
        ++x;
    } while (x < y);
}

template <class Painter>
void RenderAntialiased(const Painter& p, float cx, float cy, float r, int W, bool fill)
{
    const int64_t X = CentrePixel(cx), Y = CentrePixel(cy), Ri = static_cast<int64_t>(r);
    const double rd = r;
    const int a0 = static_cast<int>((rd - std::floor(rd)) * W);
    p.Pixel(X, Y - Ri - 1, a0);
    p.Pixel(X, Y + Ri + 1, a0);
    p.Pixel(X - Ri - 1, Y, a0);
    p.Pixel(X + Ri + 1, Y, a0);
    if (fill)
    {
        p.Column(X, Y - Ri, Y - 1, W);
        p.Column(X, Y + 1, Y + Ri, W);
        p.Row(Y, X - Ri, X + Ri, W);
    }
    else
    {
        p.Pixel(X, Y - Ri, W - a0);
        p.Pixel(X + Ri, Y, W - a0);
        p.Pixel(X, Y + Ri, W - a0);
        p.Pixel(X - Ri, Y, W - a0);
    }
    const double q = static_cast<double>(r * r);
    if (q - 1 < 0) return;
    double s = std::sqrt(q - 1);
    int64_t n = static_cast<int64_t>(s + 0.5);
    if (n < 1) return;
    int64_t i = 1;
    do
    {
        const int64_t h = static_cast<int64_t>(s);
        const int a = static_cast<int>((s - std::floor(s)) * W);
        p.Pixel(X - i, Y - h - 1, a);
        p.Pixel(X - i, Y + h + 1, a);
        p.Pixel(X + i, Y - h - 1, a);
        p.Pixel(X + i, Y + h + 1, a);
        if (i != n)
        {
            p.Pixel(X - h - 1, Y - i, a);
            p.Pixel(X + h + 1, Y - i, a);
            p.Pixel(X - h - 1, Y + i, a);
            p.Pixel(X + h + 1, Y + i, a);
        }
        if (fill)
            p.OctantSpans(X, Y, i, h, W);
        else
        {
            p.Pixel(X - h, Y - i, W - a);
            p.Pixel(X + h, Y - i, W - a);
            p.Pixel(X - i, Y + h, W - a);
            p.Pixel(X + i, Y + h, W - a);
            if (i != n)
            {
                p.Pixel(X - i, Y - h, W - a);
                p.Pixel(X + i, Y - h, W - a);
                p.Pixel(X - h, Y + i, W - a);
                p.Pixel(X + h, Y + i, W - a);
            }
        }
        ++i;
        const double rest = q - static_cast<double>(i * i);
        if (rest < 0) break;
        s = std::sqrt(rest);
        n = static_cast<int64_t>(s + 0.5);
    } while (i <= n);
}

struct CircleJob
{
    float cx, cy, r;
    int weight;
    bool fill;
    bool antialias;
};

template <class Painter> void Render(const Painter& painter, const CircleJob& job)
{
    if (job.antialias)
        RenderAntialiased(painter, job.cx, job.cy, job.r, job.weight, job.fill);
    else
        RenderMidpoint(painter, job.cx, job.cy, job.r, job.weight, job.fill);
}
} // namespace

int CircleWeight(float alpha)
{
    return UnrestrictedWeight(alpha, -4096.0f, 4096.0f);
}

void RenderCircle(RasterBitmap* bitmap, float cx, float cy, float r, RasterPixel colour, int weight,
                  bool antialias, bool fill, BlendMode mode, CircleClip clip, bool needsClipping)
{
    if (!bitmap) return;
    weight = std::clamp(weight, -4096, 4096); // the range no operator overflows in
    const uint32_t op = mode & kBlendOperatorMask;
    if (weight == 0 || op > kBlendLastOperator || (op == kBlendCopy && weight < 0)) return;
    if (!CircleCanBeDrawn(cx, cy, r)) return;
    RasterPixel* pixels = bitmap->Pixels();
    const int64_t width = bitmap->Width(), height = bitmap->Height();
    if (!pixels || width < 1 || height < 1) return;
    // Every pixel either walk can touch lies within trunc(r) + 2 of the
    // centre pixel.
    const int64_t X = CentrePixel(cx), Y = CentrePixel(cy), reach = static_cast<int64_t>(r) + 2;
    const bool insideBitmap = X - reach >= 0 && Y - reach >= 0 && X + reach < width && Y + reach < height;
    int64_t left = 0, top = 0, right = width, bottom = height;
    if (needsClipping || !insideBitmap)
    {
        if (needsClipping)
        {
            left = std::max<int64_t>(left, clip.left);
            top = std::max<int64_t>(top, clip.top);
            right = std::min<int64_t>(right, clip.right);
            bottom = std::min<int64_t>(bottom, clip.bottom);
        }
        if (left >= right || top >= bottom || X + reach < left || X - reach >= right || Y + reach < top ||
            Y - reach >= bottom)
            return;
        needsClipping = true;
    }
    const Ink ink{colour, PixelRed(colour), PixelGreen(colour), PixelBlue(colour), PixelAlpha(colour)};
    const CircleJob job{cx, cy, r, weight, fill, antialias};
    auto run = [&]<class Effect>()
    {
        if (needsClipping)
            Render(Painter<Effect, true>{pixels, bitmap->RowSpan(), left, top, right, bottom, ink}, job);
        else
            Render(Painter<Effect, false>{pixels, bitmap->RowSpan(), left, top, right, bottom, ink}, job);
    };
    switch (op)
    {
    case kBlendCopy:
        if (!antialias && weight == kFullWeight)
            run.template operator()<StoreEffect>();
        else if (!antialias && weight == 128)
            run.template operator()<AverageEffect>();
        else
            run.template operator()<OperatorEffect<BlendPixel>>();
        break;
    case kBlendAdd:
        run.template operator()<OperatorEffect<AddPixel>>();
        break;
    case kBlendDodge:
        run.template operator()<OperatorEffect<DodgePixel>>();
        break;
    case kBlendMultiply:
        run.template operator()<OperatorEffect<MultiplyPixel>>();
        break;
    case kBlendOverlay:
        run.template operator()<OperatorEffect<OverlayPixel>>();
        break;
    case kBlendHsv:
        run.template operator()<OperatorEffect<HsvAdjustPixel>>();
        break;
    default:
        break;
    }
}

void RenderArc(int32_t width, int32_t height, RasterBitmap* bitmap, float cx, float cy, float r,
               double startAngle, double endAngle, RasterPixel colour, int weight, bool antialias,
               BlendMode mode)
{
    if (!std::isfinite(startAngle) || !std::isfinite(endAngle) || !CircleCanBeDrawn(cx, cy, r)) return;
    constexpr double kTwoPi = 6.2831854820251465;   // 2 pi in single precision, widened
    constexpr double kQuarter = 1.5707963705062866; // pi / 2 likewise
    const double s = startAngle + kTwoPi, e = endAngle + kTwoPi;
    const double rd = r, cxd = cx, cyd = cy;
    auto point = [&](double t, int64_t* x, int64_t* y)
    {
        *x = static_cast<int64_t>(std::floor(std::sin(t) * rd + cxd + 0.5));
        *y = static_cast<int64_t>(std::floor(cyd - std::cos(t) * rd + 0.5));
    };
    double t = s - std::fmod(s, kQuarter);
    int64_t x0, y0;
    point(s, &x0, &y0);
    if (s >= e) return;
    // A span below 2 pi gives at most five pieces; the bound guards rounding.
    for (int piece = 0; piece < 8; ++piece)
    {
        t = std::min(t + kQuarter, e);
        int64_t x1, y1;
        point(t, &x1, &y1);
        int64_t left = std::min(x0, x1), right = std::max(x0, x1);
        int64_t top = std::min(y0, y1), bottom = std::max(y0, y1);
        if (static_cast<float>(right) != cx) ++right;
        if (static_cast<float>(bottom) != cy) ++bottom;
        left = std::max<int64_t>(left, 0);
        top = std::max<int64_t>(top, 0);
        right = std::min<int64_t>(right, width);
        bottom = std::min<int64_t>(bottom, height);
        if (left < right && top < bottom)
            RenderCircle(bitmap, cx, cy, r, colour, weight, antialias, false, mode,
                         CircleClip{static_cast<int32_t>(left), static_cast<int32_t>(top),
                                    static_cast<int32_t>(right), static_cast<int32_t>(bottom)},
                         true);
        x0 = x1;
        y0 = y1;
        if (t >= e) break;
    }
}
