// DIB sections, memory DCs and object selection.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

BITMAPINFO Info(LONG width, LONG height, WORD bitCount = 32, DWORD compression = BI_RGB)
{
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = compression;
    return info;
}

TEST(DibSection, TopDownSectionIsZeroFilledWithRowsOfWidthWords)
{
    const BITMAPINFO info = Info(8, -3);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    ASSERT_NE(bits, nullptr);
    const auto* words = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < 8 * 3; ++i)
        EXPECT_EQ(words[i], 0u) << "word " << i;
    EXPECT_TRUE(DeleteObject(section));
}

TEST(DibSection, RefusesWhatIsNotA32BitRgbSection)
{
    struct Case
    {
        const char* what;
        BITMAPINFO info;
        UINT usage;
        void* section;
        DWORD offset;
    };
    int mapping = 0;
    const Case cases[] = {
        {"24 bits per pixel", Info(4, -4, 24), DIB_RGB_COLORS, nullptr, 0},
        {"bitfields compression", Info(4, -4, 32, 3), DIB_RGB_COLORS, nullptr, 0},
        {"zero width", Info(0, -4), DIB_RGB_COLORS, nullptr, 0},
        {"negative width", Info(-4, -4), DIB_RGB_COLORS, nullptr, 0},
        {"zero height", Info(4, 0), DIB_RGB_COLORS, nullptr, 0},
        {"palette usage", Info(4, -4), 1, nullptr, 0},
        {"file mapping", Info(4, -4), DIB_RGB_COLORS, &mapping, 0},
        {"offset", Info(4, -4), DIB_RGB_COLORS, nullptr, 16},
        {"more than 2 GiB", Info(65536, -32769), DIB_RGB_COLORS, nullptr, 0},
    };
    for (const Case& c : cases)
    {
        void* bits = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, &c.info, c.usage, &bits, c.section, c.offset), nullptr) << c.what;
        EXPECT_EQ(bits, nullptr) << c.what;
    }
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST(DibSection, BottomUpSectionKeepsTheBottomRowFirstInMemory)
{
    const BITMAPINFO up = Info(2, 3);
    void* upBits = nullptr;
    HBITMAP upSection = CreateDIBSection(nullptr, &up, DIB_RGB_COLORS, &upBits, nullptr, 0);
    ASSERT_NE(upSection, nullptr);
    static_cast<uint32_t*>(upBits)[0] = 0x11223344; // memory row 0, column 0: the bottom-left pixel

    const BITMAPINFO down = Info(2, -3);
    void* downBits = nullptr;
    HBITMAP downSection = CreateDIBSection(nullptr, &down, DIB_RGB_COLORS, &downBits, nullptr, 0);
    ASSERT_NE(downSection, nullptr);

    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    HGDIOBJ oldFrom = SelectObject(from, upSection);
    HGDIOBJ oldTo = SelectObject(to, downSection);
    ASSERT_TRUE(BitBlt(to, 0, 0, 2, 3, from, 0, 0, SRCCOPY));
    const auto* rows = static_cast<const uint32_t*>(downBits);
    EXPECT_EQ(rows[2 * 2 + 0], 0x11223344u); // the top-down copy has it in its last row
    EXPECT_EQ(rows[0], 0u);

    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    EXPECT_TRUE(DeleteDC(from));
    EXPECT_TRUE(DeleteDC(to));
    EXPECT_TRUE(DeleteObject(upSection));
    EXPECT_TRUE(DeleteObject(downSection));
}

TEST(DeviceContext, SelectionFollowsTheDibBitmapLifeCycle)
{
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    const BITMAPINFO info = Info(8, -3);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);

    HGDIOBJ previous = SelectObject(dc, section);
    ASSERT_NE(previous, nullptr) << "a memory DC starts with a stock bitmap";
    EXPECT_FALSE(DeleteObject(section)) << "a selected bitmap cannot be deleted";

    HDC other = CreateCompatibleDC(dc);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(SelectObject(other, section), nullptr) << "a bitmap lives in one DC at a time";
    EXPECT_TRUE(DeleteDC(other));

    EXPECT_EQ(SelectObject(dc, previous), section);
    EXPECT_TRUE(DeleteObject(section));
    EXPECT_FALSE(DeleteObject(section)) << "a deleted handle is refused";
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(DeviceContext, DeletingTheDcReleasesItsSelectedObjects)
{
    HDC dc = CreateCompatibleDC(nullptr);
    const BITMAPINFO info = Info(4, -4);
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    ASSERT_NE(section, nullptr);
    SelectObject(dc, section);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(section));
}

TEST(DeviceContext, BadHandlesAreRefused)
{
    PlatformDC* bogusDc = reinterpret_cast<PlatformDC*>(0x1000);
    EXPECT_EQ(CreateCompatibleDC(bogusDc), nullptr);
    EXPECT_FALSE(DeleteDC(nullptr));
    EXPECT_FALSE(DeleteDC(bogusDc));
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(0x2000)));
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(0x2000)), nullptr);
    EXPECT_EQ(SelectObject(bogusDc, nullptr), nullptr);
    EXPECT_EQ(SetTextColor(bogusDc, 0), CLR_INVALID);
    EXPECT_EQ(SetBkMode(dc, 7), 0) << "only TRANSPARENT and OPAQUE are modes";
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(DeviceContext, BitmapsCannotGoIntoAWindowDc)
{
    PixelSurface surface;
    surface.Resize(4, 4);
    HDC window = CreateSurfaceDC(&surface);
    ASSERT_NE(window, nullptr);
    const BITMAPINFO info = Info(4, -4);
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    EXPECT_EQ(SelectObject(window, section), nullptr);
    EXPECT_FALSE(DeleteDC(window)) << "window DCs are released, not deleted";
    ReleaseSurfaceDC(window);
    EXPECT_TRUE(DeleteObject(section));
    EXPECT_EQ(CreateSurfaceDC(nullptr), nullptr);
}

TEST(PixelSurface, ResizeKeepsTheOverlapAndClearsNewPixels)
{
    PixelSurface s;
    s.Resize(3, 2);
    for (int i = 0; i < 6; ++i)
        s.pixels[i] = 0xFF000000u + i + 1;
    s.Resize(4, 3);
    EXPECT_EQ(s.At(0, 0), 0xFF000001u);
    EXPECT_EQ(s.At(2, 1), 0xFF000006u);
    EXPECT_EQ(s.At(3, 0), 0u);
    EXPECT_EQ(s.At(0, 2), 0u);
    s.Resize(-5, 2);
    EXPECT_EQ(s.width, 0);
    EXPECT_TRUE(s.pixels.empty());
    s.Resize(1, 1 << 30);
    EXPECT_EQ(s.height, 16384) << "sides are capped";
}

} // namespace
