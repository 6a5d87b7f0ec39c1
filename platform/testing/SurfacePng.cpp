// PNG snapshots through libpng's simplified write interface.

#include "platform/testing/SurfacePng.h"

#include <png.h>

#include <cstring>
#include <limits>

namespace
{

bool ValidShape(const uint32_t* pixels, int width, int height, int stride)
{
    if (!pixels || width < 1 || height < 1 || stride < width) return false;
    // libpng takes the row stride in bytes-per-component units as a signed 32-bit count.
    return static_cast<int64_t>(stride) * 4 <= std::numeric_limits<png_int_32>::max();
}

// The pixels as they are written: opaque copies when asked, else the caller's rows.
const uint32_t* Prepare(const uint32_t* pixels, int width, int height, int& stride, PngAlpha alpha,
                        std::vector<uint32_t>& copy)
{
    if (alpha == PngAlpha::Keep) return pixels;
    copy.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            copy[static_cast<size_t>(y) * width + x] =
                pixels[static_cast<size_t>(y) * stride + x] | 0xFF000000u;
    stride = width;
    return copy.data();
}

png_image MakeImage(int width, int height)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    // 0xAARRGGBB words lie in memory as B, G, R, A bytes.
    image.format = PNG_FORMAT_BGRA;
    return image;
}

} // namespace

bool WritePixelsPng(const uint32_t* pixels, int width, int height, int stride, const char* path,
                    PngAlpha alpha)
{
    if (!path || !ValidShape(pixels, width, height, stride)) return false;
    std::vector<uint32_t> copy;
    const uint32_t* rows = Prepare(pixels, width, height, stride, alpha, copy);
    png_image image = MakeImage(width, height);
    const int ok = png_image_write_to_file(&image, path, 0, rows, stride * 4, nullptr);
    png_image_free(&image);
    return ok != 0;
}

bool EncodePixelsPng(const uint32_t* pixels, int width, int height, int stride,
                     std::vector<unsigned char>& out, PngAlpha alpha)
{
    if (!ValidShape(pixels, width, height, stride)) return false;
    std::vector<uint32_t> copy;
    const uint32_t* rows = Prepare(pixels, width, height, stride, alpha, copy);
    png_image image = MakeImage(width, height);
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rows, stride * 4, nullptr) || size == 0)
    {
        png_image_free(&image);
        return false;
    }
    out.resize(size);
    image = MakeImage(width, height);
    const int ok = png_image_write_to_memory(&image, out.data(), &size, 0, rows, stride * 4, nullptr);
    png_image_free(&image);
    if (!ok)
    {
        out.clear();
        return false;
    }
    out.resize(size);
    return true;
}

bool SaveSurfacePng(const PixelSurface& surface, const char* path, PngAlpha alpha)
{
    if (surface.width < 1 || surface.height < 1 ||
        surface.pixels.size() < static_cast<size_t>(surface.width) * static_cast<size_t>(surface.height))
        return false;
    return WritePixelsPng(surface.pixels.data(), surface.width, surface.height, surface.width, path, alpha);
}
