#include "graphics/BitmapUtilities.h"

#include "graphics/BlendOperators.h"
#include "graphics/PixelCombine.h"
#include "graphics/RectClip.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
// trunc(v x scale) held to +-2^20 x 65536 style bounds; false when not finite.
bool ToFixed(float v, double scale, double limit, int64_t* out)
{
    if (!std::isfinite(v)) return false;
    double scaled = std::trunc(static_cast<double>(v) * scale);
    *out = static_cast<int64_t>(std::clamp(scaled, -limit, limit));
    return true;
}

// Calls f(row, width) for every row of the whole bitmap, top row first;
// nothing for a null bitmap or one without pixels.
template <class F> void ForEachRow(RasterBitmap* bitmap, F f)
{
    RectBlock block;
    if (!bitmap || !ClipRectangle(bitmap, 0, 0, bitmap->Width(), bitmap->Height(), &block)) return;
    RasterPixel* row = block.first;
    for (int32_t y = 0; y < block.height; ++y, row += block.step)
        f(row, block.width);
}
} // namespace

void ClearBitmap(RasterBitmap* bitmap, RasterPixel colour)
{
    ForEachRow(bitmap, [colour](RasterPixel* row, int32_t width) { std::fill(row, row + width, colour); });
}

void ForEachPixelInRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t w, int32_t h,
                             void (*callback)(RasterPixel* pixel, void* data), void* data)
{
    RectBlock block;
    if (!callback || !ClipRectangle(bitmap, x, y, w, h, &block)) return;
    RasterPixel* row = block.first;
    for (int32_t j = 0; j < block.height; ++j, row += block.step)
        for (int32_t i = 0; i < block.width; ++i)
            callback(row + i, data);
}

void MultiplyAddRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t w, int32_t h, float scaleR,
                          float scaleG, float scaleB, float scaleA, float offsetR, float offsetG,
                          float offsetB, float offsetA)
{
    constexpr double kLimit = 1 << 20;
    int64_t s[4], o[4];
    const float scales[4] = {scaleB, scaleG, scaleR, scaleA};
    const float offsets[4] = {offsetB, offsetG, offsetR, offsetA};
    for (int i = 0; i < 4; ++i)
        if (!ToFixed(scales[i], 256.0, kLimit, &s[i]) || !ToFixed(offsets[i], 256.0, kLimit, &o[i])) return;
    RectBlock block;
    if (!ClipRectangle(bitmap, x, y, w, h, &block)) return;
    RasterPixel* row = block.first;
    for (int32_t j = 0; j < block.height; ++j, row += block.step)
        for (int32_t i = 0; i < block.width; ++i)
        {
            RasterPixel p = row[i], out = 0;
            for (int c = 0; c < 4; ++c)
            {
                int64_t v = static_cast<int64_t>((p >> (8 * c)) & 255);
                int64_t r = (v * s[c] + o[c]) >> 8;
                out |= static_cast<RasterPixel>(ClampChannel64(r)) << (8 * c);
            }
            row[i] = out;
        }
}

void ApplyColourKey(RasterBitmap* bitmap, uint32_t key)
{
    ForEachRow(bitmap,
               [key](RasterPixel* row, int32_t width)
               {
                   for (int32_t x = 0; x < width; ++x)
                   {
                       RasterPixel colour = row[x] & 0x00FFFFFFu;
                       row[x] = colour == (key & 0x00FFFFFFu) ? colour : (colour | 0xFF000000u);
                   }
               });
}

void FloodFill(RasterBitmap* bitmap, int32_t x, int32_t y, uint32_t orBits, uint32_t compareMask,
               uint32_t andMask)
{
    if (!bitmap) return;
    RasterPixel* pixels = bitmap->Pixels();
    const int32_t width = bitmap->Width(), height = bitmap->Height();
    const ptrdiff_t span = bitmap->RowSpan();
    if (!pixels || x < 0 || y < 0 || x >= width || y >= height) return;
    const uint32_t reference = pixels[span * y + x] & compareMask;
    auto matches = [&](RasterPixel p) { return (p & compareMask) == reference; };
    auto fillRow = [&](int32_t row)
    {
        RasterPixel* line = pixels + span * row;
        if (!matches(line[x])) return false;
        int32_t right = x;
        while (right + 1 < width && matches(line[right + 1]))
            ++right;
        int32_t left = x;
        while (left > 0 && matches(line[left - 1]))
            --left;
        for (int32_t i = left; i <= right; ++i)
            line[i] = (line[i] & andMask) | orBits;
        return true;
    };
    for (int32_t row = y; row < height && fillRow(row); ++row)
    {
    }
    for (int32_t row = y - 1; row >= 0 && fillRow(row); --row)
    {
    }
}

int32_t CompareBitmaps(RasterBitmap* a, RasterBitmap* b, RasterRect* difference)
{
    if (!a && !b) return 0;
    if (!a) return -1;
    if (!b) return 1;
    if (a->Width() != b->Width()) return b->Width() - a->Width();
    if (a->Height() != b->Height()) return b->Height() - a->Height();
    const int32_t width = a->Width(), height = a->Height();
    RasterPixel* pa = a->Pixels();
    RasterPixel* pb = b->Pixels();
    if (difference) *difference = RasterRect{0, 0, 0, 0};
    if (!pa || !pb || width <= 0 || height <= 0) return pa == pb ? 0 : (pa ? 1 : -1);
    auto rowA = [&](int32_t y) { return RowWalk(pa, height, a->RowSpan(), a->IsBottomUp(), y).row; };
    auto rowB = [&](int32_t y) { return RowWalk(pb, height, b->RowSpan(), b->IsBottomUp(), y).row; };
    const size_t bytes = static_cast<size_t>(width) * sizeof(RasterPixel);
    if (!difference)
    {
        for (int32_t y = 0; y < height; ++y)
        {
            int c = std::memcmp(rowA(y), rowB(y), bytes);
            if (c != 0) return c < 0 ? -1 : 1;
        }
        return 0;
    }
    int32_t top = 0;
    while (top < height && std::memcmp(rowA(top), rowB(top), bytes) == 0)
        ++top;
    if (top == height) return 0;
    int32_t bottom = height - 1;
    while (bottom > top && std::memcmp(rowA(bottom), rowB(bottom), bytes) == 0)
        --bottom;
    int32_t left = width, right = -1;
    for (int32_t y = top; y <= bottom; ++y)
    {
        const RasterPixel* ra = rowA(y);
        const RasterPixel* rb = rowB(y);
        for (int32_t x = 0; x < left; ++x)
            if (ra[x] != rb[x])
            {
                left = x;
                break;
            }
        for (int32_t x = width - 1; x > right; --x)
            if (ra[x] != rb[x])
            {
                right = x;
                break;
            }
    }
    *difference = RasterRect{left, top, right - left + 1, bottom - top + 1};
    return 1;
}

void GradientRectangle(RasterBitmap* bitmap, int32_t x, int32_t y, int32_t w, int32_t h, float r, float g,
                       float b, float a, float drdx, float dgdx, float dbdx, float dadx, float drdy,
                       float dgdy, float dbdy, float dady, BlendMode mode)
{
    constexpr double kLimit = 1.0e12;
    const float starts[4] = {r, g, b, a}, stepsX[4] = {drdx, dgdx, dbdx, dadx},
                stepsY[4] = {drdy, dgdy, dbdy, dady};
    int64_t value[4], dx[4], dy[4];
    for (int c = 0; c < 4; ++c)
    {
        const double scale = (c == 3 ? 256.0 : 255.0) * 65536.0;
        if (!ToFixed(starts[c], scale, kLimit, &value[c]) || !ToFixed(stepsX[c], scale, kLimit, &dx[c]) ||
            !ToFixed(stepsY[c], scale, kLimit, &dy[c]))
            return;
    }
    const uint32_t op = mode & kBlendOperatorMask;
    RectBlock block;
    if (op > kBlendLastOperator || !ClipRectangle(bitmap, x, y, w, h, &block)) return;
    // Clipping on the left or top advances the start by the skipped steps.
    const int64_t skippedX = static_cast<int64_t>(block.x) - x, skippedY = static_cast<int64_t>(block.y) - y;
    for (int c = 0; c < 4; ++c)
        value[c] += skippedX * dx[c] + skippedY * dy[c];
    auto channel = [](int64_t fixed)
    { return static_cast<int>(std::clamp<int64_t>(fixed >> 16, -4096, 4096)); };
    RasterPixel* row = block.first;
    for (int32_t j = 0; j < block.height; ++j, row += block.step)
    {
        int64_t v[4] = {value[0] + j * dy[0], value[1] + j * dy[1], value[2] + j * dy[2],
                        value[3] + j * dy[3]};
        for (int32_t i = 0; i < block.width; ++i)
        {
            const int weight = channel(v[3]);
            if (weight > 0)
                CombineIntoPixelClamped(row + i, channel(v[0]), channel(v[1]), channel(v[2]), weight,
                                        weight > kFullWeight ? kFullWeight : weight, op);
            for (int c = 0; c < 4; ++c)
                v[c] += dx[c];
        }
    }
}
