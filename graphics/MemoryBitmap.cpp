#include "graphics/MemoryBitmap.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

namespace
{
constexpr int64_t kAlignmentSlack = 63;

// The line-align mask: 0 below 2, else the lowest set bit minus 1, at most 15.
uint32_t LineAlignMask(int32_t lineAlign)
{
    if (lineAlign < 2) return 0;
    uint32_t lowest = static_cast<uint32_t>(lineAlign) & (~static_cast<uint32_t>(lineAlign) + 1);
    uint32_t mask = lowest - 1;
    return mask > 15 ? 15 : mask;
}
} // namespace

MemoryBitmap::MemoryBitmap(int32_t width, int32_t height, int32_t lineAlign) : mask_(LineAlignMask(lineAlign))
{
    if (width != 0 || height != 0) SetSize(width, height);
}

MemoryBitmap::~MemoryBitmap()
{
    std::free(buffer_);
}

RasterPixel* MemoryBitmap::Pixels()
{
    if (!buffer_) return nullptr;
    uintptr_t address = (reinterpret_cast<uintptr_t>(buffer_) + 63) & ~uintptr_t{63};
    return reinterpret_cast<RasterPixel*>(address);
}

bool MemoryBitmap::SetSize(int32_t width, int32_t height)
{
    if (width == width_ && height == height_) return false;
    width_ = width;
    height_ = height;

    // Computed in 64 bits; a negative side or a size beyond what the i32
    // byte count can hold counts as an allocation failure.
    int64_t need = 0;
    bool tooLarge = false;
    if (width > 0 && height > 0)
    {
        int64_t span = (static_cast<int64_t>(width) + mask_) & ~static_cast<int64_t>(mask_);
        need = span * height * 4;
        tooLarge = need > std::numeric_limits<int32_t>::max() - kAlignmentSlack;
    }

    if (need <= 0 || tooLarge)
    {
        std::free(buffer_);
        buffer_ = nullptr;
        allocated_ = 0;
    }
    else if (!buffer_)
    {
        allocated_ = static_cast<int32_t>(need);
        buffer_ = std::malloc(static_cast<size_t>(need + kAlignmentSlack));
    }
    else if (allocated_ < need)
    {
        int64_t grown = need + need / 4;
        if (grown > std::numeric_limits<int32_t>::max() - kAlignmentSlack) grown = need;
        void* moved = std::realloc(buffer_, static_cast<size_t>(grown + kAlignmentSlack));
        if (moved)
        {
            buffer_ = moved;
            allocated_ = static_cast<int32_t>(grown);
        }
        else
        {
            std::free(buffer_);
            allocated_ = static_cast<int32_t>(need);
            buffer_ = std::malloc(static_cast<size_t>(need + kAlignmentSlack));
        }
    }

    if (!buffer_)
    {
        allocated_ = 0;
        width_ = 0;
        height_ = 0;
    }
    return true;
}
