// Generated resources for the editor tests' modules: the bytes of a PNG image or a text, laid
// out as a PlatformResource entry expects them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/testing/SurfacePng.h"

namespace quova::test_support
{

// A resource's data followed by one zero byte, and the data's size. A PlatformResource entry
// points at both, so a blob must outlive the module that lists it (and must not be moved after).
struct ResourceBlob
{
    std::vector<unsigned char> bytes;
    uint32_t size = 0;
};

// The bytes as they stand.
ResourceBlob BytesBlob(std::vector<unsigned char> bytes);
// The characters of text, without a terminating zero in the size.
ResourceBlob TextBlob(std::string_view text);

// A width x height PNG image whose pixel (x, y) is colourAt(x, y) (0xAARRGGBB).
template <class ColourAt> ResourceBlob PngBlob(int width, int height, ColourAt colourAt)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * width + x] = colourAt(x, y);
    }
    std::vector<unsigned char> bytes;
    EncodePixelsPng(pixels.data(), width, height, width, bytes);
    return BytesBlob(std::move(bytes));
}

} // namespace quova::test_support
