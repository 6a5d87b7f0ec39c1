#include "graphics/DibBitmap.h"

#include "platform/gdi/Gdi.h"

#include <cstdint>
#include <limits>

DibBitmap::DibBitmap(int32_t width, int32_t height)
{
    dc_ = CreateCompatibleDC(nullptr);
    SetSize(width, height);
}

DibBitmap::~DibBitmap()
{
    if (previous_ && dc_) SelectObject(dc_, previous_);
    if (section_) DeleteObject(section_);
    if (dc_) DeleteDC(dc_);
}

bool DibBitmap::SetSize(int32_t width, int32_t height)
{
    if (!dc_)
    {
        width_ = 0;
        height_ = 0;
        bits_ = nullptr;
        return false;
    }
    if (width == width_ && height == height_) return false;
    width_ = width;
    height_ = height;
    if (width > 0 && height > 0 && width <= allocatedSpan_ && height <= allocatedHeight_ && bits_)
        return true;

    // A negative side, or a span whose rounding or byte count would not fit,
    // is treated like a section that could not be made.
    const int64_t span = (static_cast<int64_t>(width) + 3) & ~int64_t{3};
    const bool unusable = width < 0 || height < 0 ||
                          span * static_cast<int64_t>(height) * 4 > std::numeric_limits<int32_t>::max();
    allocatedSpan_ = unusable ? 0 : static_cast<int32_t>(span);
    allocatedHeight_ = unusable ? 0 : height;

    if (previous_)
    {
        SelectObject(dc_, previous_);
        previous_ = nullptr;
    }
    if (section_) DeleteObject(section_);
    section_ = nullptr;
    bits_ = nullptr;

    if (unusable)
    {
        width_ = 0;
        height_ = 0;
        return true;
    }
    if (allocatedSpan_ == 0 || height == 0) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = allocatedSpan_;
    info.bmiHeader.biHeight = IsBottomUp() ? height : -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    section_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section_ || !bits)
    {
        if (section_) DeleteObject(section_);
        section_ = nullptr;
        width_ = 0;
        height_ = 0;
        bits_ = nullptr;
        return true;
    }
    bits_ = static_cast<RasterPixel*>(bits);
    previous_ = SelectObject(dc_, section_);
    return true;
}
