#include "tools/resgen/PngWriter.h"

#include <png.h>

#include <csetjmp>

namespace
{
void AppendBytes(png_structp png, png_bytep data, size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// Rows in PNG byte order (R, G, B[, A]) by the bitmap's addressing rule.
std::vector<uint8_t> PackRows(RasterBitmap& bitmap, bool alpha)
{
    int32_t w = bitmap.Width(), h = bitmap.Height();
    size_t channels = alpha ? 4 : 3;
    std::vector<uint8_t> rows(static_cast<size_t>(w) * static_cast<size_t>(h) * channels);
    RasterPixel* pixels = bitmap.Pixels();
    size_t o = 0;
    for (int32_t y = 0; y < h; ++y)
    {
        RasterRowWalk walk = RowWalk(pixels, h, bitmap.RowSpan(), bitmap.IsBottomUp(), y);
        for (int32_t x = 0; x < w; ++x)
        {
            RasterPixel p = walk.row[x];
            rows[o++] = static_cast<uint8_t>(PixelRed(p));
            rows[o++] = static_cast<uint8_t>(PixelGreen(p));
            rows[o++] = static_cast<uint8_t>(PixelBlue(p));
            if (alpha) rows[o++] = static_cast<uint8_t>(PixelAlpha(p));
        }
    }
    return rows;
}

// Kept free of C++ objects with destructors between setjmp and the calls that may longjmp.
bool WriteWithLibpng(png_structp png, png_infop info, int32_t w, int32_t h, bool alpha,
                     png_bytep* rowPointers, std::vector<uint8_t>* bytes)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, bytes, AppendBytes, NoFlush);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rowPointers);
    png_write_end(png, nullptr);
    return true;
}
} // namespace

bool IsOpaque(RasterBitmap& bitmap)
{
    RasterPixel* pixels = bitmap.Pixels();
    if (!pixels) return true;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
    {
        RasterRowWalk walk = RowWalk(pixels, bitmap.Height(), bitmap.RowSpan(), bitmap.IsBottomUp(), y);
        for (int32_t x = 0; x < bitmap.Width(); ++x)
            if (PixelAlpha(walk.row[x]) != 255) return false;
    }
    return true;
}

bool EncodePng(RasterBitmap& bitmap, std::vector<uint8_t>* out)
{
    int32_t w = bitmap.Width(), h = bitmap.Height();
    if (!out || !bitmap.Pixels() || w < 1 || h < 1) return false;
    bool alpha = !IsOpaque(bitmap);
    std::vector<uint8_t> rows = PackRows(bitmap, alpha);
    std::vector<png_bytep> rowPointers(static_cast<size_t>(h));
    size_t stride = static_cast<size_t>(w) * (alpha ? 4 : 3);
    for (int32_t y = 0; y < h; ++y)
        rowPointers[static_cast<size_t>(y)] = rows.data() + stride * static_cast<size_t>(y);

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info)
    {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<uint8_t> bytes;
    bool ok = WriteWithLibpng(png, info, w, h, alpha, rowPointers.data(), &bytes);
    png_destroy_write_struct(&png, &info);
    if (ok) *out = std::move(bytes);
    return ok;
}
