#pragma once
// A bitmap in heap memory. Row 0 starts on a 64-byte boundary; rows are padded
// to the line alignment given at construction (a pixel count; the editor and
// the PNG loader pass 4). Storage is reused: shrinking never reallocates and
// growing reserves a quarter more than asked. New storage is not cleared.
// Sizes are computed in 64 bits: a size whose pixel bytes exceed INT32_MAX,
// or a negative width or height, leaves the bitmap empty (width and height 0,
// Pixels null). Not thread-safe; one thread at a time.

#include "graphics/RasterBitmap.h"

#include <cstdint>

class MemoryBitmap : public RasterBitmap
{
public:
    // Sizes the bitmap unless both width and height are 0.
    MemoryBitmap(int32_t width, int32_t height, int32_t lineAlign);
    ~MemoryBitmap() override;

    RasterPixel* Pixels() override;
    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    int32_t RowSpan() const override { return static_cast<int32_t>((width_ + mask_) & ~mask_); }
    // False when the size equals the current one; otherwise true, also when
    // the storage could not be had (the bitmap is then empty).
    bool SetSize(int32_t width, int32_t height) override;

    // Bytes of pixel storage held (without the alignment slack).
    int32_t Allocated() const { return allocated_; }

private:
    void* buffer_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t allocated_ = 0;
    uint32_t mask_ = 0;
};
