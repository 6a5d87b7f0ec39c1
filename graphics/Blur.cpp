#include "graphics/Blur.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace
{
constexpr int32_t kStackRowPixels = 1024;

// One output row from the original rows above (null in the block's top row),
// current and below (null in the bottom row); width >= 2.
void BlurRow(const RasterPixel* above, const RasterPixel* current, const RasterPixel* below, RasterPixel* out,
             int32_t width)
{
    for (int32_t x = 0; x < width; ++x)
    {
        RasterPixel sum = HalfOfBytes(current[x]);
        if (x == 0)
            sum += QuarterOfBytes(current[1]);
        else if (x == width - 1)
            sum += QuarterOfBytes(current[x - 1]);
        else
            sum += EighthOfBytes(current[x - 1]) + EighthOfBytes(current[x + 1]);
        if (!above)
            sum += QuarterOfBytes(below[x]);
        else if (!below)
            sum += QuarterOfBytes(above[x]);
        else
            sum += EighthOfBytes(above[x]) + EighthOfBytes(below[x]);
        out[x] = sum;
    }
}
} // namespace

void BlurRectangle(RasterBitmap* dest, RasterBitmap* src, int32_t dstX, int32_t dstY, int32_t srcX,
                   int32_t srcY, int32_t width, int32_t height)
{
    if (!dest || !src) return;
    int64_t dx = dstX, dy = dstY;
    int64_t left = srcX, top = srcY;
    const int64_t rightEdge = static_cast<int64_t>(srcX) + width,
                  bottomEdge = static_cast<int64_t>(srcY) + height;
    if (left < 0)
    {
        dx -= left;
        left = 0;
    }
    if (top < 0)
    {
        dy -= top;
        top = 0;
    }
    int64_t right = std::min<int64_t>(rightEdge, src->Width());
    int64_t bottom = std::min<int64_t>(bottomEdge, src->Height());
    if (dx < 0)
    {
        left -= dx;
        dx = 0;
    }
    if (dy < 0)
    {
        top -= dy;
        dy = 0;
    }
    if (right - left + dx > dest->Width()) right = dest->Width() + left - dx;
    if (bottom - top + dy > dest->Height()) bottom = dest->Height() + top - dy;
    if (right <= left + 1 || bottom <= top + 1) return;
    RasterPixel* srcPixels = src->Pixels();
    RasterPixel* dstPixels = dest->Pixels();
    if (!srcPixels || !dstPixels) return;

    const int32_t w = static_cast<int32_t>(right - left), h = static_cast<int32_t>(bottom - top);
    RasterRowWalk s =
        RowWalk(srcPixels, src->Height(), src->RowSpan(), src->IsBottomUp(), static_cast<int32_t>(top));
    RasterRowWalk d =
        RowWalk(dstPixels, dest->Height(), dest->RowSpan(), dest->IsBottomUp(), static_cast<int32_t>(dy));
    const RasterPixel* srcFirst = s.row + left;
    RasterPixel* dstFirst = d.row + dx;
    auto srcRow = [&](int32_t y) { return srcFirst + s.step * y; };

    if (dest != src)
    {
        for (int32_t y = 0; y < h; ++y)
            BlurRow(y > 0 ? srcRow(y - 1) : nullptr, srcRow(y), y + 1 < h ? srcRow(y + 1) : nullptr,
                    dstFirst + d.step * y, w);
        return;
    }

    if (srcFirst != dstFirst)
    {
        // The same bitmap at another position: blur from a copy of the block
        // so no pixel is read after it was overwritten.
        std::vector<RasterPixel> copy(static_cast<size_t>(w) * h);
        for (int32_t y = 0; y < h; ++y)
            std::memcpy(copy.data() + static_cast<size_t>(w) * y, srcRow(y), sizeof(RasterPixel) * w);
        auto row = [&](int32_t y) { return copy.data() + static_cast<size_t>(w) * y; };
        for (int32_t y = 0; y < h; ++y)
            BlurRow(y > 0 ? row(y - 1) : nullptr, row(y), y + 1 < h ? row(y + 1) : nullptr,
                    dstFirst + d.step * y, w);
        return;
    }

    // In place: each row is saved before it is overwritten; the row above is
    // read from its saved copy and the row below is still unblurred.
    RasterPixel stackRows[2 * kStackRowPixels];
    std::vector<RasterPixel> heapRows;
    RasterPixel* saved = stackRows;
    if (w > kStackRowPixels)
    {
        heapRows.resize(2 * static_cast<size_t>(w));
        saved = heapRows.data();
    }
    RasterPixel* previous = saved;
    RasterPixel* current = saved + w;
    for (int32_t y = 0; y < h; ++y)
    {
        RasterPixel* row = dstFirst + d.step * y;
        std::memcpy(current, row, sizeof(RasterPixel) * w);
        BlurRow(y > 0 ? previous : nullptr, current, y + 1 < h ? row + d.step : nullptr, row, w);
        std::swap(previous, current);
    }
}
