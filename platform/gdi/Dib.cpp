// DIB sections and block copies between device contexts.

#include "platform/gdi/GdiObjects.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace
{

// The largest section accepted: its byte size must fit a signed 32-bit count.
constexpr uint64_t kMaxSectionBytes = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());

} // namespace

HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section, DWORD offset)
{
    (void)dc; // the DC only matters for palette sections, which are not supported
    if (bits) *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS || section != nullptr || offset != 0) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biBitCount != 32 ||
        h.biCompression != BI_RGB)
        return nullptr;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == std::numeric_limits<LONG>::min()) return nullptr;

    const int width = h.biWidth;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4u;
    if (bytes > kMaxSectionBytes) return nullptr;
    void* memory = std::calloc(static_cast<size_t>(width) * static_cast<size_t>(height), sizeof(uint32_t));
    if (!memory) return nullptr;

    std::lock_guard<std::mutex> guard(GdiLock());
    auto* bitmap = new PlatformBitmap();
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bottomUp = h.biHeight > 0;
    bitmap->bits = static_cast<uint32_t*>(memory);
    RegisterObject(bitmap);
    if (bits) *bits = memory;
    return bitmap;
}

BOOL BitBlt(HDC dest, int x, int y, int cx, int cy, HDC src, int xSrc, int ySrc, DWORD rop)
{
    std::lock_guard<std::mutex> guard(GdiLock());
    PlatformDC* d = LiveDC(dest);
    PlatformDC* s = LiveDC(src);
    if (!d || !s || rop != SRCCOPY || cx < 0 || cy < 0) return FALSE;

    const PixelTarget to = TargetOf(*d);
    const PixelTarget from = TargetOf(*s);
    if (to.Empty() || from.Empty() || cx == 0 || cy == 0) return TRUE;

    // Clip the destination block, then the source block it maps to, in 64 bits so
    // extreme coordinates cannot overflow.
    int64_t dx0 = x, dy0 = y, dx1 = static_cast<int64_t>(x) + cx, dy1 = static_cast<int64_t>(y) + cy;
    const int64_t shiftX = static_cast<int64_t>(xSrc) - x;
    const int64_t shiftY = static_cast<int64_t>(ySrc) - y;
    dx0 = std::max<int64_t>({dx0, to.clip.left, 0 - shiftX});
    dy0 = std::max<int64_t>({dy0, to.clip.top, 0 - shiftY});
    dx1 = std::min<int64_t>({dx1, to.clip.right, from.width - shiftX});
    dy1 = std::min<int64_t>({dy1, to.clip.bottom, from.height - shiftY});
    if (dx0 >= dx1 || dy0 >= dy1) return TRUE;

    const int w = static_cast<int>(dx1 - dx0);
    const uint32_t opaque = to.screen ? 0xFF000000u : 0u;
    const bool sameStorage = to.row0 == from.row0;
    // Within one pixel store, walk rows in the direction that does not overwrite rows
    // still to be read.
    const bool upward = sameStorage && shiftY < 0;
    for (int64_t i = 0; i < dy1 - dy0; ++i)
    {
        const int64_t row = upward ? dy1 - 1 - i : dy0 + i;
        uint32_t* out = to.Row(static_cast<int>(row)) + dx0;
        const uint32_t* in = from.Row(static_cast<int>(row + shiftY)) + (dx0 + shiftX);
        if (opaque)
        {
            if (sameStorage)
            {
                std::memmove(out, in, static_cast<size_t>(w) * sizeof(uint32_t));
                for (int k = 0; k < w; ++k)
                    out[k] |= opaque;
            }
            else
            {
                for (int k = 0; k < w; ++k)
                    out[k] = in[k] | opaque;
            }
        }
        else
        {
            std::memmove(out, in, static_cast<size_t>(w) * sizeof(uint32_t));
        }
    }
    return TRUE;
}
