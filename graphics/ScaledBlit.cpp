#include "graphics/ScaledBlit.h"

#include "graphics/Blit.h"
#include "graphics/SampleOperators.h"
#include "graphics/SourceSampler.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

using namespace raster_sample;

namespace
{
// Source coordinates and sizes beyond this many pixels draw nothing.
constexpr float kMaxCoordinate = 1073741824.0f; // 2^30

bool Usable(float v)
{
    return v > -kMaxCoordinate && v < kMaxCoordinate;
} // false for NaN

// The average of the (2 Radius + 1)^2 source pixels around the sample's pixel
// that lie inside 0..maxX - 1 and 0..maxY - 1, per channel, truncated.
template <int Radius> struct BoxAverage
{
    static bool Sample(const SourceView& v, int64_t px, int64_t py, RasterPixel* out)
    {
        const int64_t X = px >> 16, Y = py >> 16;
        if (X < v.minX || Y < v.minY || X >= v.maxX || Y >= v.maxY) return false;
        const int64_t x0 = std::max<int64_t>(X - Radius, 0), x1 = std::min<int64_t>(X + Radius, v.maxX - 1);
        const int64_t y0 = std::max<int64_t>(Y - Radius, 0), y1 = std::min<int64_t>(Y + Radius, v.maxY - 1);
        uint32_t sum[4] = {0, 0, 0, 0};
        for (int64_t y = y0; y <= y1; ++y)
        {
            const RasterPixel* row = v.At(0, y);
            for (int64_t x = x0; x <= x1; ++x)
            {
                const RasterPixel p = row[x];
                sum[0] += p & 255;
                sum[1] += (p >> 8) & 255;
                sum[2] += (p >> 16) & 255;
                sum[3] += p >> 24;
            }
        }
        const uint32_t count = static_cast<uint32_t>((x1 - x0 + 1) * (y1 - y0 + 1));
        *out = (sum[3] / count) << 24 | (sum[2] / count) << 16 | (sum[1] / count) << 8 | (sum[0] / count);
        return true;
    }
};

struct ScaleJob
{
    SourceView src;
    RasterPixel* dstRow; // first destination pixel
    ptrdiff_t dstStep;
    int64_t width, height;
    int64_t sx, sy, dx, dy; // 16.16
    int weight;
};

// Per-pixel writers; one loop per (sampler, writer) pair.
struct StoreWrite
{
    static void Apply(RasterPixel* d, RasterPixel s, int) { *d = s; }
};
struct HalfWrite
{
    static void Apply(RasterPixel* d, RasterPixel s, int) { *d = MixHalf(*d, s); }
};
template <PixelOp Op> struct OperatorWrite
{
    static void Apply(RasterPixel* d, RasterPixel s, int w)
    {
        Op(d, PixelRed(s), PixelGreen(s), PixelBlue(s), PixelAlpha(s), w);
    }
};

template <class Sampler, class Write> void ScaleLoop(const ScaleJob& job)
{
    RasterPixel* row = job.dstRow;
    int64_t py = job.sy;
    for (int64_t j = 0; j < job.height; ++j, row += job.dstStep, py += job.dy)
    {
        int64_t px = job.sx;
        for (int64_t i = 0; i < job.width; ++i, px += job.dx)
        {
            RasterPixel s;
            if (Sampler::Sample(job.src, px, py, &s)) Write::Apply(row + i, s, job.weight);
        }
    }
}

inline void StoreWord(RasterPixel* p, int r, int g, int b, int a, int)
{
    *p = MakePixel(a, r, g, b);
}

template <class Sampler> void RunWithOperator(const ScaleJob& job, uint32_t op)
{
    const PixelOp chosen = ChooseOperator(op, job.weight, StoreWord);
    // One instantiation per operator, so the inner loop holds no mode test.
#define QUOVA_SCALE_CASE(fn)                                                                                 \
    if (chosen == fn) return ScaleLoop<Sampler, OperatorWrite<fn>>(job);
    if (chosen == StoreWord) return ScaleLoop<Sampler, StoreWrite>(job);
    QUOVA_SCALE_CASE(BlendPixel)
    QUOVA_SCALE_CASE(AddPixel)
    QUOVA_SCALE_CASE(DodgePixel)
    QUOVA_SCALE_CASE(MultiplyPixel)
    QUOVA_SCALE_CASE(OverlayPixel)
    QUOVA_SCALE_CASE(HsvAdjustPixel)
    QUOVA_SCALE_CASE(CopyPixelSourceAlphaAnyWeight)
    QUOVA_SCALE_CASE(BlendPixelSourceAlpha)
    QUOVA_SCALE_CASE(AddPixelSourceAlpha)
    QUOVA_SCALE_CASE(DodgePixelSourceAlpha)
    QUOVA_SCALE_CASE(MultiplyPixelSourceAlpha)
    QUOVA_SCALE_CASE(OverlayPixelSourceAlpha)
    QUOVA_SCALE_CASE(HsvAdjustPixelSourceAlpha)
#undef QUOVA_SCALE_CASE
}

// Cuts the destination span [start, start + size) to the destination's
// extent, moving the source position by the skipped pixels. False when
// nothing is left.
bool ClipDestination(int64_t* start, int64_t* size, float* sampleStart, float step, int64_t limit)
{
    if (*start < 0)
    {
        *size += *start;
        *sampleStart -= static_cast<float>(*start) * step;
        *start = 0;
    }
    if (*start + *size > limit) *size = limit - *start;
    return *size > 0;
}

// Skips destination pixels whose samples lie before the source and cuts
// those beyond its far edge (a positive step only).
bool ClipSource(int64_t* dstStart, int64_t* size, int64_t* sample, int64_t step, int64_t sourceSize)
{
    if (step <= 0) return *size > 0;
    if (*sample < 0)
    {
        const int64_t k = (step - *sample - 1) / step;
        *dstStart += k;
        *size -= k;
        *sample += k * step;
    }
    const int64_t room = sourceSize * 65536 - 1 - *sample;
    *size = room < 0 ? 0 : std::min(*size, room / step + 1);
    return *size > 0;
}

// The sampling limit of one axis: trunc(start + max(size, 0) + 0.999999),
// held to 0..limit. The sum is taken in double precision: in single
// precision a whole far edge of 32 or more plus 0.999999 rounds up to the
// next whole number, and the limit would take in one pixel beyond the source
// rectangle.
int64_t SampleLimit(float start, float size, int64_t limit)
{
    const double t = std::trunc(static_cast<double>(start) + std::max(size, 0.0f) + 0.999999);
    return t >= static_cast<double>(limit) ? limit : (t <= 0 ? 0 : static_cast<int64_t>(t));
}
} // namespace

void BlitScaled(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY, int32_t dstW, int32_t dstH,
                float srcX, float srcY, float srcW, float srcH, float alpha, BlendMode mode)
{
    // Only an alpha of 0 (or NaN) stops the call here: a same-size channel
    // copy becomes a plain blit, where any other alpha lets it run; the
    // scaling paths below draw nothing for an alpha outside (0, 1].
    if (!dest || !src || dstW == 0 || dstH == 0 || !IsNonZeroAlpha(alpha)) return;
    if (!Usable(srcX) || !Usable(srcY) || !Usable(srcW) || !Usable(srcH)) return;
    const bool bilinear = (mode & kBlendFilterMask) == kBlendFilterBilinear;

    // Same size: a plain blit.
    if (dstW > 0 && dstH > 0 && std::fabs(srcW - static_cast<float>(dstW)) < 0.001f &&
        std::fabs(srcH - static_cast<float>(dstH)) < 0.001f)
    {
        const float nearX = std::floor(srcX + 0.5f), nearY = std::floor(srcY + 0.5f);
        if (!bilinear || (std::fabs(srcX - nearX) <= 0.03f && std::fabs(srcY - nearY) <= 0.03f))
        {
            const int32_t l = static_cast<int32_t>(nearX), t = static_cast<int32_t>(nearY);
            const RasterRect rect{l, t, static_cast<int32_t>(std::min<int64_t>(int64_t{l} + dstW, INT32_MAX)),
                                  static_cast<int32_t>(std::min<int64_t>(int64_t{t} + dstH, INT32_MAX))};
            BlitBitmapRect(dest, src, dstX, dstY, &rect, alpha, mode);
            return;
        }
    }

    int64_t x = dstX, y = dstY, w = dstW, h = dstH;
    // Mirroring. The sampling starts one step in from the far edge, so the
    // mirrored image samples exactly the unmirrored image's positions in
    // reverse order (starting on the far edge itself would sample outside the
    // rectangle and lose its first column).
    bool mirrorX = false, mirrorY = false;
    if (w < 0)
    {
        w = -w;
        srcX += srcW;
        x -= w;
        srcW = -srcW;
        mirrorX = true;
    }
    if (h < 0)
    {
        h = -h;
        srcY += srcH;
        y -= h;
        srcH = -srcH;
        mirrorY = true;
    }
    const float stepX = srcW / static_cast<float>(w), stepY = srcH / static_cast<float>(h);
    // The sampling limits: the source rectangle's far edge, rounded up. They
    // are taken before destination clipping moves srcX and srcY, so a clipped
    // blit samples exactly what the unclipped one does.
    const int64_t maxX = SampleLimit(srcX, srcW, src->Width());
    const int64_t maxY = SampleLimit(srcY, srcH, src->Height());
    float startX = mirrorX ? srcX + stepX : srcX, startY = mirrorY ? srcY + stepY : srcY;

    if (!ClipDestination(&x, &w, &startX, stepX, dest->Width()) ||
        !ClipDestination(&y, &h, &startY, stepY, dest->Height()))
        return;

    int64_t sx, sy, dx, dy;
    if (!ToFixed(startX, &sx) || !ToFixed(startY, &sy) || !ToFixed(stepX, &dx) || !ToFixed(stepY, &dy))
        return;
    if (!ClipSource(&x, &w, &sx, dx, src->Width()) || !ClipSource(&y, &h, &sy, dy, src->Height())) return;
    // The walk must stay in 64-bit range (only absurd sizes and steps fail).
    if (std::fabs(static_cast<double>(dx)) * static_cast<double>(w) > 1.0e18 ||
        std::fabs(static_cast<double>(dy)) * static_cast<double>(h) > 1.0e18)
        return;

    RasterPixel* dstPixels = dest->Pixels();
    const SourceView view = MakeSourceView(src, 0, 0, maxX, maxY);
    if (maxX <= 0 || maxY <= 0 || !dstPixels || !view.row0) return;
    const int weight = WeightFromAlpha(alpha);
    if (weight == 0) return;

    const RasterRowWalk dstWalk =
        RowWalk(dstPixels, dest->Height(), dest->RowSpan(), dest->IsBottomUp(), static_cast<int32_t>(y));
    const ScaleJob job{view, dstWalk.row + x, dstWalk.step, w, h, sx, sy, dx, dy, weight};

    if ((mode & 0x1FFFF) == 0 && (weight == kFullWeight || weight == 128))
    {
        if (weight == kFullWeight)
            ScaleLoop<Nearest, StoreWrite>(job);
        else
            ScaleLoop<Nearest, HalfWrite>(job);
        return;
    }
    const uint32_t op = mode & (kBlendSourceAlpha | kBlendOperatorMask);
    if (bilinear && stepX >= 1.7f && stepY >= 1.7f)
    {
        if (std::max(dx, dy) > 0x30000)
            RunWithOperator<BoxAverage<2>>(job, op);
        else
            RunWithOperator<BoxAverage<1>>(job, op);
    }
    else if (bilinear)
        RunWithOperator<Bilinear>(job, op);
    else
        RunWithOperator<Nearest>(job, op);
}

void HalveBitmap(RasterBitmap* dest, RasterBitmap* src)
{
    if (!dest || !src) return;
    RasterPixel* d = dest->Pixels();
    const RasterPixel* s = src->Pixels();
    const int64_t w = std::min<int64_t>(dest->Width(), src->Width() / 2);
    const int64_t h = std::min<int64_t>(dest->Height(), src->Height() / 2);
    if (!d || !s || w < 1 || h < 1) return;
    const ptrdiff_t dSpan = dest->RowSpan(), sSpan = src->RowSpan();
    for (int64_t y = 0; y < h; ++y)
    {
        const RasterPixel* top = s + sSpan * (2 * y);
        const RasterPixel* below = top + sSpan;
        RasterPixel* out = d + dSpan * y;
        for (int64_t x = 0; x < w; ++x)
            out[x] = QuarterOfBytes(top[2 * x]) + QuarterOfBytes(top[2 * x + 1]) +
                     QuarterOfBytes(below[2 * x]) + QuarterOfBytes(below[2 * x + 1]);
    }
}
