#pragma once
// Pixel plotters of the line family. Each plotter is a type whose Apply writes
// one pixel at a given weight; the walkers are templates over the plotter, so
// the operator is chosen once per line and the loops hold no mode switch.

#include "graphics/BlendOperators.h"

namespace line_plot
{
struct Pen
{
    RasterPixel colour;
    int r, g, b, a;
};

inline Pen MakePen(RasterPixel colour)
{
    return {colour, PixelRed(colour), PixelGreen(colour), PixelBlue(colour), PixelAlpha(colour)};
}

struct Store
{
    static void Apply(RasterPixel* p, const Pen& pen, int) { *p = pen.colour; }
};
struct Average
{
    static void Apply(RasterPixel* p, const Pen& pen, int) { *p = MixAverage(*p, pen.colour); }
};
struct Half
{
    static void Apply(RasterPixel* p, const Pen& pen, int) { *p = MixHalf(*p, pen.colour); }
};
struct Quarter
{
    static void Apply(RasterPixel* p, const Pen& pen, int) { *p = MixQuarter(*p, pen.colour); }
};
struct ThreeQuarters
{
    static void Apply(RasterPixel* p, const Pen& pen, int) { *p = MixThreeQuarters(*p, pen.colour); }
};
// An operator at the given weight; a weight below 1 leaves the pixel.
template <void (*Op)(RasterPixel*, int, int, int, int, int)> struct Operator
{
    static void Apply(RasterPixel* p, const Pen& pen, int w)
    {
        if (w >= 1) Op(p, pen.r, pen.g, pen.b, pen.a, w);
    }
};
using Blend = Operator<BlendPixel>;

// Coverage c in 0..255 turned into a weight for the anti-aliased walks.
inline int CoverageWeight(int c, int w)
{
    return w == kFullWeight ? c : (c * w) / 256;
}

// Calls f.template operator()<Plot>() with the plotter for operator op at
// weight w. Copy picks Store at 256 and Average at 128 when allowWordPaths is
// set, else Blend. Returns false for an operator outside 0..5.
template <class F> bool WithOperatorPlot(uint32_t op, int w, bool allowWordPaths, F&& f)
{
    switch (op)
    {
    case kBlendCopy:
        if (allowWordPaths && w == kFullWeight)
            f.template operator()<Store>();
        else if (allowWordPaths && w == 128)
            f.template operator()<Average>();
        else
            f.template operator()<Blend>();
        return true;
    case kBlendAdd:
        f.template operator()<Operator<AddPixel>>();
        return true;
    case kBlendDodge:
        f.template operator()<Operator<DodgePixel>>();
        return true;
    case kBlendMultiply:
        f.template operator()<Operator<MultiplyPixel>>();
        return true;
    case kBlendOverlay:
        f.template operator()<Operator<OverlayPixel>>();
        return true;
    case kBlendHsv:
        f.template operator()<Operator<HsvAdjustPixel>>();
        return true;
    default:
        return false;
    }
}
} // namespace line_plot
