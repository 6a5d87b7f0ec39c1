// The generator's building blocks: PNG encoding round trips through the raster library's
// decoder, shapes cover what they describe, transparency comes from the silhouette, and the
// skin text reads back as the layout it was written from.
#include "graphics/Fill.h"
#include "graphics/PngLoader.h"
#include "tests/resources/ResourceFiles.h"
#include "tools/resgen/Canvas.h"
#include "tools/resgen/PngWriter.h"
#include "tools/resgen/SkinLayout.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace
{
std::unique_ptr<RasterBitmap> RoundTrip(RasterBitmap& bitmap)
{
    std::vector<uint8_t> png;
    if (!EncodePng(bitmap, &png)) return nullptr;
    return std::unique_ptr<RasterBitmap>(LoadPngMemory(png.data(), static_cast<int32_t>(png.size())));
}
} // namespace

TEST(PngWriter, RoundTripsRandomPixelsWithAndWithoutAlpha)
{
    for (int seed = 0; seed < 4; ++seed)
    {
        std::mt19937 random(static_cast<uint32_t>(seed));
        bool opaque = seed % 2 == 0;
        MemoryBitmap bitmap(13 + seed, 7 + seed, 4);
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                PlotPixel(&bitmap, x, y, random() | (opaque ? 0xFF000000u : 0u), 1.0f, kBlendCopy);
        std::unique_ptr<RasterBitmap> back = RoundTrip(bitmap);
        ASSERT_TRUE(back) << "seed " << seed;
        ASSERT_EQ(back->Width(), bitmap.Width());
        ASSERT_EQ(back->Height(), bitmap.Height());
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                ASSERT_EQ(ReadPixel(back.get(), x, y), ReadPixel(&bitmap, x, y))
                    << "seed " << seed << " at " << x << "," << y;
    }
}

TEST(PngWriter, OpaqueImagesAreWrittenWithoutAnAlphaChannelAndEmptyOnesRefused)
{
    MemoryBitmap opaque(4, 4, 4), clear(4, 4, 4);
    FillRectangle(&opaque, 0, 0, 4, 4, 0xFF102030u, 1.0f, kBlendCopy);
    FillRectangle(&clear, 0, 0, 4, 4, 0x80102030u, 1.0f, kBlendCopy);
    std::vector<uint8_t> a, b;
    ASSERT_TRUE(EncodePng(opaque, &a));
    ASSERT_TRUE(EncodePng(clear, &b));
    ASSERT_GT(a.size(), 26u);
    EXPECT_EQ(a[25], 2) << "colour type RGB";
    EXPECT_EQ(b[25], 6) << "colour type RGBA";
    MemoryBitmap empty(0, 0, 4);
    std::vector<uint8_t> untouched{1, 2, 3};
    EXPECT_FALSE(EncodePng(empty, &untouched));
    EXPECT_EQ(untouched.size(), 3u);
}

TEST(Shapes, CoverageIsFullInsideEmptyOutsideAndHalfOnTheEdge)
{
    CoverageMask circle = Rasterize(Circle(10.5, 10.5, 5.0), 20, 20);
    EXPECT_EQ(circle.At(10, 10), 255);
    EXPECT_EQ(circle.At(0, 0), 0);
    EXPECT_EQ(circle.At(10, 3), 0) << "outside the radius";
    // Column 5 has its centre at 5.5, exactly on the edge.
    EXPECT_NEAR(circle.At(5, 10), 128, 1);

    CoverageMask box = Rasterize(RoundedBox(2, 3, 12, 8, 0.0), 20, 20);
    EXPECT_EQ(box.At(2, 3), 255);
    EXPECT_EQ(box.At(11, 7), 255);
    EXPECT_EQ(box.At(12, 7), 0);
    EXPECT_EQ(box.At(11, 8), 0);

    CoverageMask ring = Rasterize(Subtract(Circle(10, 10, 8), Circle(10, 10, 5)), 20, 20);
    EXPECT_EQ(ring.At(9, 9), 0) << "the hole stays empty";
    EXPECT_EQ(ring.At(3, 10), 255);
}

TEST(Shapes, ArcsCoverOnlyTheirAngles)
{
    // From twelve o'clock clockwise to three o'clock: the upper right quarter of the ring.
    CoverageMask arc = Rasterize(Arc(20, 20, 10, 3, 0.0, 90.0), 40, 40);
    EXPECT_EQ(arc.At(27, 12), 255) << "at 45 degrees";
    EXPECT_EQ(arc.At(12, 27), 0) << "at 225 degrees";
    EXPECT_EQ(arc.At(12, 12), 0) << "at 315 degrees";
    EXPECT_EQ(arc.At(20, 20), 0) << "the centre";
}

TEST(Canvas, TransparencyComesFromTheSilhouetteAndKeepsTheColour)
{
    ImageCanvas canvas(10, 10, Rgb(200, 100, 50));
    CoverageMask half;
    half.x = 2;
    half.y = 2;
    half.width = 2;
    half.height = 1;
    half.bytes = {255, 128};
    canvas.SetAlphaFromSilhouette(half);
    RasterPixel full = ReadPixel(&canvas.Bitmap(), 2, 2);
    RasterPixel partial = ReadPixel(&canvas.Bitmap(), 3, 2);
    EXPECT_EQ(full, MakePixel(255, 200, 100, 50));
    EXPECT_NEAR(PixelAlpha(partial), 128, 1);
    EXPECT_EQ(partial & 0xFFFFFFu, 0xC86432u) << "an edge keeps its colour, only its alpha drops";
    EXPECT_EQ(PixelAlpha(ReadPixel(&canvas.Bitmap(), 0, 0)), 0);
    EXPECT_EQ(PixelAlpha(ReadPixel(&canvas.Bitmap(), 9, 9)), 0);
}

TEST(SkinLayout, TextReadsBackAsTheLayout)
{
    std::vector<RasterRect> layout = SkinRectangles();
    std::vector<RasterRect> read = ParseSkin(SkinText());
    ASSERT_EQ(layout.size(), 169u);
    ASSERT_EQ(read.size(), layout.size());
    for (size_t i = 0; i < layout.size(); ++i)
    {
        EXPECT_EQ(read[i].left, layout[i].left) << i;
        EXPECT_EQ(read[i].top, layout[i].top) << i;
        EXPECT_EQ(read[i].right, layout[i].right) << i;
        EXPECT_EQ(read[i].bottom, layout[i].bottom) << i;
    }
}
