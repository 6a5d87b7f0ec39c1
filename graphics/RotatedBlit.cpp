// The rotated, affine and mesh blits: one transform loop that walks the
// destination block, stepping a 16.16 sample position, with the operator as
// a callback (chosen once per call).
#include "graphics/ScaledBlit.h"

#include "graphics/SampleOperators.h"
#include "graphics/SourceSampler.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <initializer_list>

using namespace raster_sample;

namespace
{
constexpr double kMaxCoordinate = 1073741824.0; // 2^30 pixels

bool Usable(double v)
{
    return v > -kMaxCoordinate && v < kMaxCoordinate;
} // false for NaN

struct Transform
{
    double startX, startY;   // sample position of destination pixel (0, 0) of the block
    double columnX, columnY; // per destination column
    double rowX, rowY;       // per destination row
    double changeX, changeY; // change of the column step per row
};

struct Block
{
    int64_t x, y, width, height;
};

// Clips the destination block, moving the transform's start (and column
// step) by the skipped columns and rows. False when nothing is left.
bool ClipBlock(Block* b, Transform* t, int64_t destWidth, int64_t destHeight)
{
    if (b->x < 0)
    {
        const double k = static_cast<double>(-b->x);
        t->startX += k * t->columnX;
        t->startY += k * t->columnY;
        b->width += b->x;
        b->x = 0;
    }
    if (b->y < 0)
    {
        const double k = static_cast<double>(-b->y);
        t->startX += k * t->rowX;
        t->startY += k * t->rowY;
        t->columnX += k * t->changeX;
        t->columnY += k * t->changeY;
        b->height += b->y;
        b->y = 0;
    }
    b->width = std::min(b->width, destWidth - b->x);
    b->height = std::min(b->height, destHeight - b->y);
    return b->width > 0 && b->height > 0;
}

template <class Sampler>
void TransformLoop(const SourceView& src, RasterPixel* dstRow, ptrdiff_t dstStep, const Block& b, Transform t,
                   PixelOp op, int weight)
{
    for (int64_t j = 0; j < b.height; ++j, dstRow += dstStep)
    {
        int64_t px, py, cx, cy;
        if (ToFixed(t.startX, &px) && ToFixed(t.startY, &py) && ToFixed(t.columnX, &cx) &&
            ToFixed(t.columnY, &cy))
        {
            for (int64_t i = 0; i < b.width; ++i, px += cx, py += cy)
            {
                RasterPixel s;
                if (Sampler::Sample(src, px, py, &s))
                    op(dstRow + i, PixelRed(s), PixelGreen(s), PixelBlue(s), PixelAlpha(s), weight);
            }
        }
        t.startX += t.rowX;
        t.startY += t.rowY;
        t.columnX += t.changeX;
        t.columnY += t.changeY;
    }
}

// The walk stays within 2^40 pixels of the origin when every step times the
// block size does, so no 16.16 position can overflow.
bool WalkFits(const Block& b, const Transform& t)
{
    const double w = static_cast<double>(b.width), h = static_cast<double>(b.height);
    const double reach =
        std::fabs(t.startX) + std::fabs(t.startY) + (std::fabs(t.columnX) + std::fabs(t.columnY)) * w +
        (std::fabs(t.changeX) + std::fabs(t.changeY)) * w * h + (std::fabs(t.rowX) + std::fabs(t.rowY)) * h;
    return reach < 1.0e12;
}

// Steps 1 (the null tests are the caller's), 2, clipping, weight and the
// loop, shared by BlitRotated and DeltaBlit.
void RunTransform(RasterBitmap* dest, RasterBitmap* src, Block block, Transform t, float srcX, float srcY,
                  float srcW, float srcH, bool clipToSource, float alpha, BlendMode mode)
{
    int64_t minX = 0, minY = 0, maxX = src->Width(), maxY = src->Height();
    if (clipToSource)
    {
        minX = std::max<int64_t>(static_cast<int64_t>(srcX), 0);
        minY = std::max<int64_t>(static_cast<int64_t>(srcY), 0);
        maxX = std::min<int64_t>(static_cast<int64_t>(srcX + srcW), maxX);
        maxY = std::min<int64_t>(static_cast<int64_t>(srcY + srcH), maxY);
    }
    if (!ClipBlock(&block, &t, dest->Width(), dest->Height())) return;
    RasterPixel* dstPixels = dest->Pixels();
    const SourceView view = MakeSourceView(src, minX, minY, maxX, maxY);
    if (!dstPixels || !view.row0 || minX >= maxX || minY >= maxY || !WalkFits(block, t)) return;
    const int weight = WeightFromAlpha(alpha);
    if (weight == 0) return;
    const PixelOp op = ChooseOperator(mode & (kBlendSourceAlpha | kBlendOperatorMask), weight, StorePixel);
    if (!op) return;
    const RasterRowWalk walk = RowWalk(dstPixels, dest->Height(), dest->RowSpan(), dest->IsBottomUp(),
                                       static_cast<int32_t>(block.y));
    if ((mode & kBlendFilterMask) == kBlendFilterBilinear)
        TransformLoop<Bilinear>(view, walk.row + block.x, walk.step, block, t, op, weight);
    else
        TransformLoop<Nearest>(view, walk.row + block.x, walk.step, block, t, op, weight);
}

bool AllUsable(std::initializer_list<double> values)
{
    for (double v : values)
        if (!Usable(v)) return false;
    return true;
}
} // namespace

void BlitRotated(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY, int32_t dstW,
                 int32_t dstH, float srcX, float srcY, float srcW, float srcH, float angle, bool clipToSource,
                 float alpha, BlendMode mode, float centreOffsetX, float centreOffsetY)
{
    if (!dest || !src || dstW == 0 || dstH == 0) return;
    if (!AllUsable({srcX, srcY, srcW, srcH, centreOffsetX, centreOffsetY}) || !std::isfinite(angle)) return;
    // The sampling limits use the rectangle as passed.
    const float limitX = srcX, limitY = srcY, limitW = srcW, limitH = srcH;
    Block block{dstX, dstY, dstW, dstH};
    // Mirroring as in BlitScaled: the sampling starts one step in from the
    // far edge, so at angle 0 the mirrored image is the exact reverse of the
    // unmirrored one (starting on the far edge itself would sample outside
    // the rectangle and leave the first column or row untouched).
    if (block.width < 0)
    {
        block.width = -block.width;
        srcX += srcW;
        block.x -= block.width;
        srcW = -srcW;
        srcX += srcW / static_cast<float>(block.width);
    }
    if (block.height < 0)
    {
        block.height = -block.height;
        srcY += srcH;
        block.y -= block.height;
        srcH = -srcH;
        srcY += srcH / static_cast<float>(block.height);
    }
    const double c = std::cos(static_cast<double>(angle)), s = std::sin(static_cast<double>(angle));
    const double scaleX = srcW / static_cast<float>(block.width),
                 scaleY = srcH / static_cast<float>(block.height);
    const double bx = scaleX * c, ax = scaleX * s, ay = scaleY * s, by = scaleY * c;
    const double w = static_cast<double>(block.width), h = static_cast<double>(block.height);
    Transform t;
    t.startX = srcX + (centreOffsetX - (h * ax + w * bx - srcW) / 2);
    t.startY = srcY + (centreOffsetY - (w * -ay + h * by - srcH) / 2);
    t.columnX = bx;
    t.columnY = -ay;
    t.rowX = ax;
    t.rowY = by;
    t.changeX = t.changeY = 0;
    RunTransform(dest, src, block, t, limitX, limitY, limitW, limitH, clipToSource, alpha, mode);
}

void DeltaBlit(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY, int32_t dstW, int32_t dstH,
               float srcX, float srcY, float srcW, float srcH, double dsdx, double dtdx, double dsdy,
               double dtdy, double dsdxdy, double dtdxdy, bool clipToSource, float alpha, BlendMode mode)
{
    if (!dest || !src || dstW == 0 || dstH == 0) return;
    if (!AllUsable({srcX, srcY, srcW, srcH, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy})) return;
    const float limitX = srcX, limitY = srcY, limitW = srcW, limitH = srcH;
    Block block{dstX, dstY, dstW, dstH};
    if (block.width < 0)
    {
        block.width = -block.width;
        srcX += srcW;
        block.x -= block.width;
    }
    if (block.height < 0)
    {
        block.height = -block.height;
        srcY += srcH;
        block.y -= block.height;
    }
    const Transform t{srcX, srcY, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy};
    RunTransform(dest, src, block, t, limitX, limitY, limitW, limitH, clipToSource, alpha, mode);
}

namespace
{
template <class Point>
void GridBlitPoints(RasterBitmap* dest, RasterBitmap* src, int32_t x, int32_t y, int32_t w, int32_t h,
                    const Point* points, int32_t columns, int32_t rows, float alpha, BlendMode mode)
{
    if (!dest || !src || !points || columns < 2 || rows < 2 || w <= 0 || h <= 0) return;
    const int64_t count = int64_t{columns} * rows * 2;
    for (int64_t i = 0; i < count; ++i)
        if (!Usable(static_cast<double>(points[i]))) return;
    auto px = [&](int64_t c, int64_t r) { return static_cast<double>(points[(r * columns + c) * 2]); };
    auto py = [&](int64_t c, int64_t r) { return static_cast<double>(points[(r * columns + c) * 2 + 1]); };
    // Cell edges spread the rectangle evenly: edge k at x + k w / (columns - 1).
    auto edgeX = [&](int64_t k) { return x + (k * w) / (columns - 1); };
    auto edgeY = [&](int64_t k) { return y + (k * h) / (rows - 1); };
    for (int64_t r = 0; r + 1 < rows; ++r)
    {
        const int64_t top = edgeY(r), cellH = edgeY(r + 1) - top;
        if (cellH <= 0) continue;
        for (int64_t c = 0; c + 1 < columns; ++c)
        {
            const int64_t left = edgeX(c), cellW = edgeX(c + 1) - left;
            if (cellW <= 0) continue;
            const double dsdx = (px(c + 1, r) - px(c, r)) / cellW, dtdx = (py(c + 1, r) - py(c, r)) / cellW;
            const double dsdy = (px(c, r + 1) - px(c, r)) / cellH, dtdy = (py(c, r + 1) - py(c, r)) / cellH;
            const double bottomDsdx = (px(c + 1, r + 1) - px(c, r + 1)) / cellW;
            const double bottomDtdx = (py(c + 1, r + 1) - py(c, r + 1)) / cellW;
            DeltaBlit(dest, src, static_cast<int32_t>(left), static_cast<int32_t>(top),
                      static_cast<int32_t>(cellW), static_cast<int32_t>(cellH), static_cast<float>(px(c, r)),
                      static_cast<float>(py(c, r)), 0.0f, 0.0f, dsdx, dtdx, dsdy, dtdy,
                      (bottomDsdx - dsdx) / cellH, (bottomDtdx - dtdx) / cellH, false, alpha, mode);
        }
    }
}
} // namespace

void GridBlit(RasterBitmap* dest, RasterBitmap* src, int32_t x, int32_t y, int32_t w, int32_t h,
              const float* points, int32_t columns, int32_t rows, float alpha, BlendMode mode)
{
    GridBlitPoints(dest, src, x, y, w, h, points, columns, rows, alpha, mode);
}

void GridBlitDouble(RasterBitmap* dest, RasterBitmap* src, int32_t x, int32_t y, int32_t w, int32_t h,
                    const double* points, int32_t columns, int32_t rows, float alpha, BlendMode mode)
{
    GridBlitPoints(dest, src, x, y, w, h, points, columns, rows, alpha, mode);
}
