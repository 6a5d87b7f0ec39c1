// PNG data decoded from memory into a bitmap; every pixel of a decoded bitmap
// is read, so a short fill shows under the sanitizers.
#include "graphics/PngLoader.h"
#include "graphics/RasterBitmap.h"

#include <cstddef>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 24)) return 0;
    std::unique_ptr<RasterBitmap> bitmap(LoadPngMemory(data, int32_t(size)));
    if (!bitmap) return 0;
    const RasterPixel* pixels = bitmap->Pixels();
    if (!pixels) return 0;
    volatile uint32_t sum = 0;
    for (int32_t y = 0; y < bitmap->Height(); ++y)
        for (int32_t x = 0; x < bitmap->Width(); ++x)
            sum = sum + pixels[std::ptrdiff_t(y) * bitmap->RowSpan() + x];
    return 0;
}
