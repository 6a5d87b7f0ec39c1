#include "graphics/MemoryBitmap.h"
#include "graphics/PngLoader.h"
#include "tests/graphics/PngTestEncoder.h"
#include "tests/graphics/TestBitmap.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>

namespace
{
std::unique_ptr<RasterBitmap> Load(const std::vector<uint8_t>& bytes)
{
    return std::unique_ptr<RasterBitmap>(LoadPngMemory(bytes.data(), static_cast<int32_t>(bytes.size())));
}

RasterPixel At(RasterBitmap& b, int x, int y)
{
    return b.Pixels()[b.RowSpan() * y + x];
}

PngTestImage RgbImage(int w, int h, bool interlaced)
{
    PngTestImage image;
    image.width = w;
    image.height = h;
    image.colourType = 2;
    image.interlaced = interlaced;
    for (int y = 0; y < h; ++y)
    {
        std::vector<uint8_t> row;
        for (int x = 0; x < w; ++x)
        {
            row.push_back(static_cast<uint8_t>(x * 20));
            row.push_back(static_cast<uint8_t>(y * 30));
            row.push_back(0x5A);
        }
        image.rows.push_back(row);
    }
    return image;
}

std::string TempPath(const char* name)
{
    return std::string(::testing::TempDir()) + "/quova_png_" + std::to_string(getpid()) + "_" + name;
}
} // namespace

TEST(PngLoader, PaletteWithTransparency)
{
    PngTestImage image;
    image.width = 5;
    image.height = 1;
    image.colourType = 3;
    image.palette = {0x10, 0x20, 0x30, 0xFF, 0x00, 0x80, 0x01, 0x02, 0x03};
    image.paletteAlpha = {0x00, 0x80};
    image.rows = {{0, 1, 2, 1, 0}};
    auto b = Load(EncodePng(image));
    ASSERT_TRUE(b);
    ASSERT_EQ(b->Width(), 5);
    EXPECT_EQ(b->RowSpan(), 8);
    EXPECT_EQ(At(*b, 0, 0), 0x00102030u);
    EXPECT_EQ(At(*b, 1, 0), 0x80FF0080u);
    EXPECT_EQ(At(*b, 2, 0), 0xFF010203u);
    EXPECT_EQ(At(*b, 4, 0), 0x00102030u);
}

TEST(PngLoader, LowDepthGreyExpands)
{
    struct Case
    {
        int depth;
        std::vector<uint8_t> row; // packed samples
        std::vector<int> grey;    // expected grey per pixel
    };
    const Case cases[] = {
        {1, {0b10110000}, {255, 0, 255, 255, 0}},
        {2, {0b00011011, 0b01000000}, {0x00, 0x55, 0xAA, 0xFF, 0x55}},
        {4, {0x0F, 0x37, 0x90}, {0x00, 0xFF, 0x33, 0x77, 0x99}},
    };
    for (const Case& c : cases)
    {
        PngTestImage image;
        image.width = 5;
        image.height = 2;
        image.bitDepth = c.depth;
        image.colourType = 0;
        image.rows = {c.row, c.row};
        auto b = Load(EncodePng(image));
        ASSERT_TRUE(b) << c.depth;
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(At(*b, x, 1), MakePixel(255, c.grey[x], c.grey[x], c.grey[x])) << c.depth << " " << x;
    }
}

TEST(PngLoader, SixteenBitAndAlphaTypes)
{
    PngTestImage rgba;
    rgba.width = 2;
    rgba.height = 1;
    rgba.bitDepth = 16;
    rgba.colourType = 6;
    rgba.rows = {
        {0x12, 0xFF, 0x34, 0x01, 0x56, 0x80, 0x78, 0x7F, 0xFF, 0xFF, 0x00, 0xFF, 0x80, 0x00, 0x00, 0x00}};
    auto b = Load(EncodePng(rgba));
    ASSERT_TRUE(b);
    // The high byte of each sample is kept, without rounding.
    EXPECT_EQ(At(*b, 0, 0), 0x78123456u);
    EXPECT_EQ(At(*b, 1, 0), 0x00FF0080u);

    PngTestImage greyAlpha;
    greyAlpha.width = 3;
    greyAlpha.height = 1;
    greyAlpha.colourType = 4;
    greyAlpha.rows = {{0x40, 0x00, 0x80, 0x7F, 0xFF, 0xFF}};
    b = Load(EncodePng(greyAlpha));
    ASSERT_TRUE(b);
    EXPECT_EQ(At(*b, 0, 0), 0x00404040u);
    EXPECT_EQ(At(*b, 1, 0), 0x7F808080u);
    EXPECT_EQ(At(*b, 2, 0), 0xFFFFFFFFu);

    PngTestImage greyKey;
    greyKey.width = 3;
    greyKey.height = 1;
    greyKey.colourType = 0;
    greyKey.hasKey = true;
    greyKey.keyGrey = 0x40;
    greyKey.rows = {{0x40, 0x41, 0x00}};
    b = Load(EncodePng(greyKey));
    ASSERT_TRUE(b);
    EXPECT_EQ(At(*b, 0, 0), 0x00404040u);
    EXPECT_EQ(At(*b, 1, 0), 0xFF414141u);

    // A 16-bit colour key is matched before the samples are cut to 8 bits.
    PngTestImage rgbKey;
    rgbKey.width = 2;
    rgbKey.height = 1;
    rgbKey.bitDepth = 16;
    rgbKey.colourType = 2;
    rgbKey.hasKey = true;
    rgbKey.keyRed = 0x1234;
    rgbKey.keyGreen = 0x0000;
    rgbKey.keyBlue = 0xFFFF;
    rgbKey.rows = {{0x12, 0x34, 0x00, 0x00, 0xFF, 0xFF, 0x12, 0x35, 0x00, 0x00, 0xFF, 0xFF}};
    b = Load(EncodePng(rgbKey));
    ASSERT_TRUE(b);
    EXPECT_EQ(At(*b, 0, 0), 0x001200FFu);
    EXPECT_EQ(At(*b, 1, 0), 0xFF1200FFu);
}

TEST(PngLoader, RgbPlainAndInterlaced)
{
    for (bool interlaced : {false, true})
    {
        auto b = Load(EncodePng(RgbImage(9, 7, interlaced)));
        ASSERT_TRUE(b) << interlaced;
        ASSERT_EQ(b->Width(), 9);
        ASSERT_EQ(b->Height(), 7);
        EXPECT_EQ(b->RowSpan(), 12);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(At(*b, x, y), MakePixel(255, x * 20, y * 30, 0x5A)) << interlaced << x << y;
    }
}

TEST(PngLoader, BadDataFailsCleanly)
{
    const std::vector<uint8_t> good = EncodePng(RgbImage(9, 7, false));
    EXPECT_EQ(LoadPngMemory(good.data(), 7), nullptr);
    EXPECT_EQ(LoadPngMemory(nullptr, 100), nullptr);
    std::vector<uint8_t> notPng = good;
    notPng[1] = 'Q';
    EXPECT_FALSE(Load(notPng));
    for (size_t cut : {size_t{8}, size_t{20}, size_t{40}, good.size() / 2, good.size() - 13})
        EXPECT_EQ(LoadPngMemory(good.data(), static_cast<int32_t>(cut)), nullptr) << cut;
    std::vector<uint8_t> corrupt = good;
    corrupt[good.size() - 20] ^= 0x5A; // inside the image data: its CRC no longer matches
    EXPECT_FALSE(Load(corrupt));

    // A header claiming 65536 x 16385 pixels: the size does not fit a bitmap.
    std::vector<uint8_t> header = {0, 1, 0, 0, 0, 0, 0x40, 0x01, 8, 2, 0, 0, 0};
    std::vector<uint8_t> huge =
        AssemblePng({{"IHDR", header}, {"IDAT", {0x78, 0x9C, 0x03, 0x00}}, {"IEND", {}}});
    EXPECT_FALSE(Load(huge));
    TestBitmap given(2, 2);
    EXPECT_EQ(LoadPngMemory(huge.data(), static_cast<int32_t>(huge.size()), &given), nullptr);
}

namespace
{
void PutWord(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

// Four bytes that, appended to bytes, bring their CRC-32 to zero: the register is run back from
// its final value through the table, whose top bytes are all different.
std::vector<uint8_t> CrcZeroingTail(const std::vector<uint8_t>& bytes)
{
    uint32_t table[256];
    for (uint32_t n = 0; n < 256; ++n)
    {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    const uint32_t state = ~static_cast<uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
    uint32_t reg = 0xFFFFFFFFu;
    for (int i = 0; i < 4; ++i)
    {
        uint32_t k = 0;
        while ((table[k] >> 24) != (reg >> 24))
            ++k;
        reg = ((reg ^ table[k]) << 8) | k;
    }
    reg ^= state;
    return {static_cast<uint8_t>(reg), static_cast<uint8_t>(reg >> 8), static_cast<uint8_t>(reg >> 16),
            static_cast<uint8_t>(reg >> 24)};
}
} // namespace

TEST(PngLoader, NothingIsReadPastTheEndOfTheData)
{
    // A 2 x 2 grey image whose file ends inside its image-data chunk: the chunk's CRC and the end
    // chunk are missing. Four bytes after the compressed rows make the chunk's CRC zero, so zeros
    // made up past the end would pass every check of the decoder.
    const uint8_t raw[] = {0, 10, 20, 0, 30, 40};
    std::vector<uint8_t> compressed(compressBound(sizeof raw));
    uLongf size = static_cast<uLongf>(compressed.size());
    ASSERT_EQ(compress(compressed.data(), &size, raw, sizeof raw), Z_OK);
    compressed.resize(size);
    std::vector<uint8_t> typed = {'I', 'D', 'A', 'T'};
    typed.insert(typed.end(), compressed.begin(), compressed.end());
    const std::vector<uint8_t> tail = CrcZeroingTail(typed);
    typed.insert(typed.end(), tail.begin(), tail.end());
    ASSERT_EQ(crc32(0, typed.data(), static_cast<uInt>(typed.size())), 0u);

    std::vector<uint8_t> cut = AssemblePng({{"IHDR", {0, 0, 0, 2, 0, 0, 0, 2, 8, 0, 0, 0, 0}}});
    PutWord(cut, static_cast<uint32_t>(typed.size() - 4));
    cut.insert(cut.end(), typed.begin(), typed.end());
    EXPECT_FALSE(Load(cut));

    // The same file completed by its (zero) CRC and the end chunk loads.
    std::vector<uint8_t> whole = cut;
    PutWord(whole, 0);
    const std::vector<uint8_t> end = AssemblePng({{"IEND", {}}});
    whole.insert(whole.end(), end.begin() + 8, end.end());
    std::unique_ptr<RasterBitmap> b = Load(whole);
    ASSERT_TRUE(b);
    EXPECT_EQ(At(*b, 1, 1), MakePixel(255, 40, 40, 40));

    // An image-data chunk that declares nearly 2 GB behind its few real bytes is refused as soon
    // as the data ends, not after the declared length has been read and checksummed.
    std::vector<uint8_t> crafted = AssemblePng({{"IHDR", {0, 0, 0, 2, 0, 0, 0, 2, 8, 0, 0, 0, 0}}});
    PutWord(crafted, 0x70000000u);
    crafted.insert(crafted.end(), typed.begin(), typed.end() - 4);
    EXPECT_FALSE(Load(crafted));
}

TEST(PngLoader, GivenBitmaps)
{
    const std::vector<uint8_t> bytes = EncodePng(RgbImage(5, 3, false));
    MemoryBitmap bitmap(1, 1, 4);
    EXPECT_EQ(LoadPngMemory(bytes.data(), static_cast<int32_t>(bytes.size()), &bitmap), &bitmap);
    EXPECT_EQ(bitmap.Width(), 5);
    EXPECT_EQ(At(bitmap, 4, 2), MakePixel(255, 80, 60, 0x5A));
    // A bitmap that cannot take the size gives null.
    TestBitmap fixed(4, 3);
    EXPECT_EQ(LoadPngMemory(bytes.data(), static_cast<int32_t>(bytes.size()), &fixed), nullptr);
}

TEST(PngLoader, FilesAndNames)
{
    const std::vector<uint8_t> bytes = EncodePng(RgbImage(5, 3, true));
    const std::string path = TempPath("image.PNG");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);

    std::unique_ptr<RasterBitmap> b(LoadPngFile(path.c_str()));
    ASSERT_TRUE(b);
    EXPECT_EQ(At(*b, 2, 1), MakePixel(255, 40, 30, 0x5A));
    b.reset(LoadPngByName(path.c_str(), true));
    EXPECT_TRUE(b);
    EXPECT_EQ(LoadPngFile((path + ".missing").c_str()), nullptr);
    EXPECT_EQ(LoadPngFile(nullptr), nullptr);

    const std::string other = TempPath("image.jpg");
    const std::string noDot = TempPath("image");
    const std::string dotInFolder = TempPath("dir.png/image");
    for (const std::string* p : {&other, &noDot})
    {
        std::FILE* g = std::fopen(p->c_str(), "wb");
        ASSERT_TRUE(g);
        std::fwrite(bytes.data(), 1, bytes.size(), g);
        std::fclose(g);
    }
    EXPECT_EQ(LoadPngByName(other.c_str(), true), nullptr);
    EXPECT_EQ(LoadPngByName(noDot.c_str(), true), nullptr);
    EXPECT_EQ(LoadPngByName(dotInFolder.c_str(), true), nullptr);
    b.reset(LoadPngByName(other.c_str(), false));
    EXPECT_TRUE(b);

    // A truncated file fails as truncated memory does.
    std::FILE* t = std::fopen(other.c_str(), "wb");
    ASSERT_TRUE(t);
    std::fwrite(bytes.data(), 1, bytes.size() / 2, t);
    std::fclose(t);
    EXPECT_EQ(LoadPngFile(other.c_str()), nullptr);
    for (const std::string* p : {&path, &other, &noDot})
        std::remove(p->c_str());
}

TEST(PngLoader, LoaderRecordAndFilter)
{
    const char* filter = PngFileFilter();
    EXPECT_STREQ(filter, "PNG files (*.PNG)");
    EXPECT_STREQ(filter + std::strlen(filter) + 1, "*.PNG");
    EXPECT_EQ(filter[std::strlen(filter) + 1 + 6], '\0');
    ImageLoaderRecord* record = ImageLoaderList();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->load, &LoadPngByName);
    EXPECT_EQ(record->fileFilter, &PngFileFilter);
}
