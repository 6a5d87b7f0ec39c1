#include "graphics/DibBitmap.h"
#include "graphics/Blit.h"
#include "graphics/PngLoader.h"
#include "platform/gdi/Gdi.h"
#include "platform/resources/ResourceTable.h"
#include "tests/graphics/PngTestEncoder.h"

#include <gtest/gtest.h>

#include <memory>

TEST(DibBitmap, SectionSpanAndReuse)
{
    DibBitmap dib(5, 3);
    ASSERT_NE(dib.DeviceContext(), nullptr);
    ASSERT_NE(dib.Pixels(), nullptr);
    EXPECT_EQ(dib.RowSpan(), 8);
    EXPECT_EQ(dib.Pixels()[8 * 2 + 4], 0u); // sections come zero-filled
    RasterPixel* section = dib.Pixels();

    EXPECT_FALSE(dib.SetSize(5, 3));
    EXPECT_TRUE(dib.SetSize(4, 2)); // smaller: the section is kept
    EXPECT_EQ(dib.Pixels(), section);
    EXPECT_EQ(dib.RowSpan(), 8);
    EXPECT_EQ(dib.Width(), 4);

    EXPECT_TRUE(dib.SetSize(9, 3)); // larger: a new section of span 12
    EXPECT_EQ(dib.RowSpan(), 12);
    EXPECT_EQ(dib.Width(), 9);
    ASSERT_NE(dib.Pixels(), nullptr);

    EXPECT_FALSE(dib.SetSize(0, 10));
    EXPECT_EQ(dib.Pixels(), nullptr);
    EXPECT_TRUE(dib.SetSize(65536, 16385)); // too large: empty, still true
    EXPECT_EQ(dib.Pixels(), nullptr);
    EXPECT_EQ(dib.Width(), 0);
}

TEST(DibBitmap, DeviceContextSeesThePixels)
{
    DibBitmap a(6, 4), b(6, 4);
    a.Pixels()[a.RowSpan() * 2 + 3] = 0xFF123456;
    ASSERT_TRUE(BitBlt(b.DeviceContext(), 0, 0, 6, 4, a.DeviceContext(), 0, 0, SRCCOPY));
    EXPECT_EQ(b.Pixels()[b.RowSpan() * 2 + 3] & 0x00FFFFFFu, 0x123456u);
    // And raster drawing lands in the section GDI copies from.
    BlitBitmapRect(&a, &b, 0, 0, nullptr, 1.0f, 0xF2); // red into blue
    EXPECT_EQ(a.Pixels()[a.RowSpan() * 2 + 3] & 0xFFu, 0x12u);
}

TEST(PngLoader, ModuleResources)
{
    PngTestImage image;
    image.width = 3;
    image.height = 2;
    image.colourType = 0;
    image.rows = {{0x00, 0x80, 0xFF}, {0x10, 0x20, 0x30}};
    const std::vector<uint8_t> png = EncodePng(image);
    const uint32_t pngSize = static_cast<uint32_t>(png.size());
    const unsigned char shortData[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0};
    const uint32_t shortSize = 7;
    const PlatformResource resources[] = {
        {"PNG", 101, "image", png.data(), &pngSize},
        {"PNG", 102, "short", shortData, &shortSize},
        {"TEXTFILE", 103, "text", png.data(), &pngSize},
    };
    PlatformModule module{resources, 3};

    std::unique_ptr<RasterBitmap> b(LoadPngResource(&module, 101));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Width(), 3);
    EXPECT_EQ(b->Pixels()[1], 0xFF808080u);
    EXPECT_EQ(b->Pixels()[b->RowSpan() + 2], 0xFF303030u);
    EXPECT_EQ(LoadPngResource(&module, 102), nullptr); // 7 bytes
    EXPECT_EQ(LoadPngResource(&module, 103), nullptr); // another type
    EXPECT_EQ(LoadPngResource(&module, 999), nullptr);
}
