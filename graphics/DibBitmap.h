#pragma once
// A bitmap held in a 32-bit top-down device-independent bitmap section that
// is selected into the bitmap's own memory device context, so GDI can draw on
// it and copy it to a window. The section is kept when the bitmap shrinks
// (RowSpan stays the section's width) and replaced only for a larger size.
// One thread at a time (the editor's).

#include "graphics/RasterBitmap.h"
#include "platform/types/Win32Types.h"

#include <cstdint>

class DibBitmap : public RasterBitmap
{
public:
    // Creates the memory DC, then SetSize(width, height).
    DibBitmap(int32_t width, int32_t height);
    // Selects the previous object back, deletes the section and the DC.
    ~DibBitmap() override;

    RasterPixel* Pixels() override { return bits_; }
    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    int32_t RowSpan() const override { return allocatedSpan_; }
    // False without a DC, for the current size, and for a zero size; true
    // otherwise, also when the section could not be made (the bitmap is then
    // empty). A negative side, or a size whose bytes do not fit an i32, counts
    // as a failed section.
    bool SetSize(int32_t width, int32_t height) override;
    HDC DeviceContext() override { return dc_; }

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    HDC dc_ = nullptr;
    RasterPixel* bits_ = nullptr;
    int32_t allocatedSpan_ = 0;
    int32_t allocatedHeight_ = 0;
    HBITMAP section_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};
