#include "graphics/Polygon.h"

#include "graphics/BlendOperators.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace
{
void FillTrapezoidInMemoryRows(RasterBitmap* bitmap, int64_t tl, int64_t tr, int64_t ty, int64_t bl,
                               int64_t br, int64_t by, RasterPixel colour, float alpha, BlendMode mode);

// Span fillers: one per operator, chosen once per trapezoid.
struct Paint
{
    RasterPixel colour;
    int r, g, b, a, w;
};

template <RasterPixel (*Mix)(RasterPixel, RasterPixel)> struct WordSpan
{
    static void Fill(RasterPixel* p, int64_t count, const Paint& paint)
    {
        for (int64_t i = 0; i < count; ++i)
            p[i] = Mix(p[i], paint.colour);
    }
};
inline RasterPixel StoreWord(RasterPixel, RasterPixel c)
{
    return c;
}

template <void (*Op)(RasterPixel*, int, int, int, int, int)> struct OperatorSpan
{
    static void Fill(RasterPixel* p, int64_t count, const Paint& paint)
    {
        for (int64_t i = 0; i < count; ++i)
            Op(p + i, paint.r, paint.g, paint.b, paint.a, paint.w);
    }
};

// One edge of a trapezoid: x in pixels, a 16-bit fraction, and the step
// split into direction and magnitude.
struct Edge
{
    int64_t x;
    int64_t fraction;
    int64_t magnitude;
    int direction;

    void Advance()
    {
        fraction += magnitude;
        if (fraction >= 0x10000)
        {
            x += direction * (fraction / 0x10000);
            fraction %= 0x10000;
        }
    }
};

Edge MakeEdge(int64_t top, int64_t bottom, double k)
{
    double step = (static_cast<double>(bottom) - static_cast<double>(top)) * k;
    step = std::clamp(step, -536870912.0, 536870912.0);
    const int64_t s = static_cast<int64_t>(step);
    return Edge{top, 0, s < 0 ? -s : s, s < 0 ? -1 : 1};
}

struct TrapezoidRows
{
    RasterPixel* pixels;
    ptrdiff_t span;
    int64_t width;
    int64_t firstRow, lastRow; // image rows, both inside the bitmap
    int64_t bottomRow;         // the trapezoid's own bottom row
    int64_t bottomLeft, bottomRight;
};

template <class Span> void FillRows(const TrapezoidRows& t, Edge left, Edge right, const Paint& paint)
{
    RasterPixel* row = t.pixels + t.span * t.firstRow;
    for (int64_t y = t.firstRow; y <= t.lastRow; ++y, row += t.span)
    {
        int64_t l = left.x, r = right.x;
        if (y == t.bottomRow)
        {
            // The band's own bottom corners belong to it.
            l = t.bottomLeft;
            r = t.bottomRight;
        }
        const int64_t from = std::max<int64_t>(0, l), to = std::min<int64_t>(t.width, r + 1);
        if (to > from) Span::Fill(row + from, to - from, paint);
        left.Advance();
        right.Advance();
    }
}

template <class F> bool WithSpan(uint32_t op, int w, F&& f)
{
    switch (op)
    {
    case kBlendCopy:
        switch (w)
        {
        case 256:
            f.template operator()<WordSpan<StoreWord>>();
            return true;
        case 128:
            f.template operator()<WordSpan<MixHalf>>();
            return true;
        case 64:
            f.template operator()<WordSpan<MixQuarter>>();
            return true;
        case 192:
            f.template operator()<WordSpan<MixThreeQuarters>>();
            return true;
        default:
            f.template operator()<OperatorSpan<BlendPixel>>();
            return true;
        }
    case kBlendAdd:
        f.template operator()<OperatorSpan<AddPixel>>();
        return true;
    case kBlendDodge:
        f.template operator()<OperatorSpan<DodgePixel>>();
        return true;
    case kBlendMultiply:
        f.template operator()<OperatorSpan<MultiplyPixel>>();
        return true;
    case kBlendOverlay:
        f.template operator()<OperatorSpan<OverlayPixel>>();
        return true;
    case kBlendHsv:
        f.template operator()<OperatorSpan<HsvAdjustPixel>>();
        return true;
    default:
        return false;
    }
}

// The polygon's working copy keeps 64-bit coordinates so mirroring on a
// bottom-up bitmap cannot overflow.
struct Vertex
{
    int64_t x, y;
};

bool VertexBefore(const Vertex& a, const Vertex& b)
{
    return a.y != b.y ? a.y < b.y : a.x < b.x;
}

// The next vertex of a chain from vertex i: among the later vertices on
// another row, the smallest (left) or largest (right) inverse slope in single
// precision; the later vertex wins a tie. i itself when there is none.
size_t NextVertex(const Vertex* v, size_t count, size_t i, bool left)
{
    size_t best = i;
    float bestSlope = 0.0f;
    for (size_t j = i + 1; j < count; ++j)
    {
        if (v[j].y == v[i].y) continue;
        const float slope = static_cast<float>(v[j].x - v[i].x) / static_cast<float>(v[j].y - v[i].y);
        if (best == i || (left ? slope <= bestSlope : slope >= bestSlope))
        {
            best = j;
            bestSlope = slope;
        }
    }
    return best;
}

// x on the edge from a to b at row y (a above b), in single precision.
int64_t EdgeX(const Vertex& a, const Vertex& b, int64_t y)
{
    if (y <= a.y) return a.x;
    if (y >= b.y) return b.x;
    const float offset =
        static_cast<float>(b.x - a.x) / static_cast<float>(b.y - a.y) * static_cast<float>(y - a.y);
    return a.x + static_cast<int64_t>(std::clamp(offset, -4.0e18f, 4.0e18f));
}

void FillSortedPolygon(RasterBitmap* bitmap, const Vertex* v, size_t count, int64_t minX, int64_t maxX,
                       RasterPixel colour, float alpha, BlendMode mode)
{
    const int64_t height = bitmap->Height();
    const Vertex& first = v[0];
    const Vertex& last = v[count - 1];
    if (first.y == last.y)
    {
        if (first.y >= 0 && first.y < height && minX <= maxX)
            FillTrapezoidInMemoryRows(bitmap, minX, maxX, first.y, minX, maxX, first.y, colour, alpha, mode);
        return;
    }
    size_t right = 0;
    while (right + 1 < count && v[right + 1].y == first.y)
        ++right;
    size_t left = 0;
    while (left + 1 <= right && v[left + 1].x == first.x)
        ++left;

    size_t nextLeft = NextVertex(v, count, left, true);
    size_t nextRight = NextVertex(v, count, right, false);
    int64_t row = first.y;
    // Every round moves at least one chain to a later vertex; the bound only
    // guards input the chain rule was not made for.
    for (size_t round = 0; (nextLeft != left || nextRight != right) && round < 2 * count + 2; ++round)
    {
        const int64_t bandBottom = std::min(v[nextLeft].y, v[nextRight].y);
        FillTrapezoidInMemoryRows(bitmap, EdgeX(v[left], v[nextLeft], row),
                                  EdgeX(v[right], v[nextRight], row), row,
                                  EdgeX(v[left], v[nextLeft], bandBottom),
                                  EdgeX(v[right], v[nextRight], bandBottom), bandBottom, colour, alpha, mode);
        if (v[nextLeft].y == bandBottom && nextLeft != left)
        {
            left = nextLeft;
            nextLeft = NextVertex(v, count, left, true);
        }
        if (v[nextRight].y == bandBottom && nextRight != right)
        {
            right = nextRight;
            nextRight = NextVertex(v, count, right, false);
        }
        row = bandBottom < row ? bandBottom - 1 : bandBottom + 1;
    }
}
} // namespace

int ComparePolygonVertices(const PolygonVertex& a, const PolygonVertex& b)
{
    if (a.y != b.y) return a.y < b.y ? -1 : 1;
    if (a.x != b.x) return a.x < b.x ? -1 : 1;
    return 0;
}

namespace
{
// The trapezoid in memory rows (the polygon has already mirrored its
// vertices on a bottom-up bitmap).
void FillTrapezoidInMemoryRows(RasterBitmap* bitmap, int64_t tl, int64_t tr, int64_t ty, int64_t bl,
                               int64_t br, int64_t by, RasterPixel colour, float alpha, BlendMode mode)
{
    if (!bitmap) return;
    RasterPixel* pixels = bitmap->Pixels();
    const int64_t width = bitmap->Width(), height = bitmap->Height();
    const uint32_t op = mode & kBlendOperatorMask;
    const int w = WeightFromAlpha(alpha);
    if (!pixels || width < 1 || height < 1 || w == 0 || op > kBlendLastOperator) return;
    if (by < ty)
    {
        std::swap(tl, bl);
        std::swap(tr, br);
        std::swap(ty, by);
    }
    if (tr < tl) std::swap(tl, tr);
    if (br < bl) std::swap(bl, br);
    if ((tr < 0 && br < 0) || (tl >= width && bl >= width)) return;
    if (tl < 1 && bl < 1) tl = bl = 0;
    if (tr >= width - 1 && br >= width - 1) tr = br = width - 1;
    if (by < 0 || ty >= height) return;

    const double k = by == ty ? 0.0 : 65536.0 / static_cast<double>(by - ty);
    Edge left = MakeEdge(tl, bl, k), right = MakeEdge(tr, br, k);
    const int64_t bottomRow = by;
    if (ty < 0)
    {
        // Advance both edges over the rows above the bitmap at once.
        for (Edge* e : {&left, &right})
        {
            e->fraction = e->magnitude * -ty;
            if (e->fraction > 0xFFFF)
            {
                e->x += e->direction * (e->fraction >> 16);
                e->fraction &= 0xFFFF;
            }
        }
        ty = 0;
    }
    TrapezoidRows rows{pixels, bitmap->RowSpan(), width, ty, std::min(by, height - 1), bottomRow, bl, br};
    const Paint paint{colour, PixelRed(colour), PixelGreen(colour), PixelBlue(colour), PixelAlpha(colour), w};
    WithSpan(op, w, [&]<class Span>() { FillRows<Span>(rows, left, right, paint); });
}
} // namespace

void FillTrapezoid(RasterBitmap* bitmap, int32_t topLeftX, int32_t topRightX, int32_t topY,
                   int32_t bottomLeftX, int32_t bottomRightX, int32_t bottomY, RasterPixel colour,
                   float alpha, BlendMode mode)
{
    if (!bitmap) return;
    int64_t ty = topY, by = bottomY;
    if (bitmap->IsBottomUp())
    {
        ty = static_cast<int64_t>(bitmap->Height()) - 1 - ty;
        by = static_cast<int64_t>(bitmap->Height()) - 1 - by;
    }
    FillTrapezoidInMemoryRows(bitmap, topLeftX, topRightX, ty, bottomLeftX, bottomRightX, by, colour, alpha,
                              mode);
}

void FillConvexPolygon(RasterBitmap* bitmap, const int32_t* xs, const int32_t* ys, int32_t count,
                       RasterPixel colour, float alpha, BlendMode mode)
{
    if (!bitmap || !xs || !ys || count < 3 || count > kMaxPolygonVertices) return;
    const int64_t height = bitmap->Height();
    const bool bottomUp = bitmap->IsBottomUp();
    std::array<Vertex, 512> local;
    std::vector<Vertex> heap;
    Vertex* v = local.data();
    if (count > static_cast<int32_t>(local.size()))
    {
        heap.resize(static_cast<size_t>(count));
        v = heap.data();
    }
    // The true extent in x (not held to the bitmap), so a row that lies
    // wholly beside the bitmap draws nothing.
    int64_t minX = xs[0], maxX = xs[0];
    for (int32_t i = 0; i < count; ++i)
    {
        v[i] = Vertex{xs[i], bottomUp ? height - 1 - ys[i] : ys[i]};
        minX = std::min<int64_t>(minX, xs[i]);
        maxX = std::max<int64_t>(maxX, xs[i]);
    }
    std::sort(v, v + count, VertexBefore);
    FillSortedPolygon(bitmap, v, static_cast<size_t>(count), minX, maxX, colour, alpha, mode);
}

void FillTriangle(RasterBitmap* bitmap, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3,
                  int32_t y3, RasterPixel colour, float alpha, BlendMode mode)
{
    const int32_t xs[3] = {x1, x2, x3};
    const int32_t ys[3] = {y1, y2, y3};
    FillConvexPolygon(bitmap, xs, ys, 3, colour, alpha, mode);
}
