// PNG snapshots of surfaces and pixel rows, read back with libpng.

#include "platform/testing/SurfacePng.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{

// Decodes PNG bytes into 0xAARRGGBB words; empty on failure.
std::vector<uint32_t> Decode(const std::vector<unsigned char>& bytes, int& width, int& height)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}

std::vector<unsigned char> ReadFile(const std::string& path)
{
    std::vector<unsigned char> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb"))
    {
        unsigned char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}

TEST(SurfacePng, SurfaceRoundTripsThroughAFile)
{
    PixelSurface surface;
    surface.Resize(3, 2);
    surface.pixels = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0u, 0x80FFFFFFu, 0xFF123456u};
    const std::string path = ::testing::TempDir() + "surface_png_roundtrip.png";
    ASSERT_TRUE(SaveSurfacePng(surface, path.c_str()));
    int w = 0, h = 0;
    const std::vector<uint32_t> back = Decode(ReadFile(path), w, h);
    std::remove(path.c_str());
    ASSERT_EQ(w, 3);
    ASSERT_EQ(h, 2);
    EXPECT_EQ(back, surface.pixels) << "straight alpha, channels kept";
}

TEST(SurfacePng, OpaqueSnapshotsAndStridedRows)
{
    // Two rows of two pixels, four pixels apart; the padding must not be written.
    const uint32_t rows[] = {0x00112233u, 0x7F445566u, 0xDEADBEEFu, 0xDEADBEEFu,
                             0x00778899u, 0x01AABBCCu, 0xDEADBEEFu, 0xDEADBEEFu};
    std::vector<unsigned char> png;
    ASSERT_TRUE(EncodePixelsPng(rows, 2, 2, 4, png, PngAlpha::Opaque));
    int w = 0, h = 0;
    const std::vector<uint32_t> back = Decode(png, w, h);
    const std::vector<uint32_t> expected = {0xFF112233u, 0xFF445566u, 0xFF778899u, 0xFFAABBCCu};
    EXPECT_EQ(back, expected);
}

TEST(SurfacePng, BadArgumentsAreRefused)
{
    const uint32_t pixel = 0;
    std::vector<unsigned char> png;
    EXPECT_FALSE(EncodePixelsPng(nullptr, 1, 1, 1, png));
    EXPECT_FALSE(EncodePixelsPng(&pixel, 0, 1, 1, png));
    EXPECT_FALSE(EncodePixelsPng(&pixel, 2, 1, 1, png)) << "stride below the width";
    EXPECT_FALSE(WritePixelsPng(&pixel, 1, 1, 1, nullptr));
    EXPECT_FALSE(WritePixelsPng(&pixel, 1, 1, 1, "/nonexistent-folder/x.png"));
    PixelSurface empty;
    EXPECT_FALSE(SaveSurfacePng(empty, (::testing::TempDir() + "empty.png").c_str()));
}

} // namespace
