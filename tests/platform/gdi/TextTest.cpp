// Fonts, metrics and DrawText with a real face (DejaVu Sans standing in for Verdana).

#include "platform/gdi/FontFace.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"
#include "tests/platform/gdi/MemoryCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace
{

HFONT Verdana(int height, int weight = FW_NORMAL, DWORD quality = DEFAULT_QUALITY, DWORD italic = 0)
{
    return CreateFontA(height, 0, 0, 0, weight, italic, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | FF_DONTCARE, "Verdana");
}

// A memory canvas with a font selected; the font is released at the end as well.
struct TextCanvas : MemoryCanvas
{
    TextCanvas(int w, int h, HFONT f) : MemoryCanvas(w, h), font(f) { oldFont = SelectObject(dc, font); }
    ~TextCanvas()
    {
        SelectObject(dc, oldFont);
        DeleteObject(font);
    }

    void Fill(uint32_t value) { std::fill(pixels, pixels + width * height, value); }
    uint32_t At(int x, int y) const { return pixels[y * width + x]; }
    std::vector<uint32_t> Copy() const { return {pixels, pixels + width * height}; }

    // The bounding box of pixels that differ from `background` (right and bottom exclusive).
    RECT Ink(uint32_t background) const
    {
        RECT box = {width, height, 0, 0};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y) != background)
                {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }

    int Measure(const char* text, UINT flags = DT_SINGLELINE | DT_NOPREFIX)
    {
        RECT r = {0, 0, 0, 0};
        DrawTextA(dc, text, -1, &r, flags | DT_CALCRECT);
        return r.right;
    }

    HFONT font;
    HGDIOBJ oldFont = nullptr;
};

TEST(FontMatching, SystemFacesFallBackToDejaVu)
{
    FontMatch match;
    ASSERT_TRUE(MatchFontFile("Verdana", 400, false, match));
    EXPECT_EQ(match.family, "DejaVu Sans");
    ASSERT_TRUE(MatchFontFile("Verdana", 700, false, match));
    EXPECT_NE(match.file.find("Bold"), std::string::npos) << match.file;
    ASSERT_TRUE(MatchFontFile("No Such Face At All", 400, false, match));
    EXPECT_EQ(match.family, "DejaVu Sans");
    ASSERT_TRUE(MatchFontFile("DejaVu Sans Mono", 400, false, match));
    EXPECT_EQ(match.family, "DejaVu Sans Mono");
}

TEST(FontMetrics, PositiveHeightIsTheCellHeight)
{
    // DejaVu Sans: Windows ascent 1901 and descent 483 font units.
    struct Case
    {
        int height, ascent, descent, internalLeading;
    };
    for (const Case c : {Case{12, 10, 2, 2}, Case{10, 8, 2, 1}, Case{-12, 11, 3, 2}, Case{24, 19, 5, 3}})
    {
        TextCanvas canvas(4, 4, Verdana(c.height));
        ASSERT_NE(canvas.font, nullptr) << c.height;
        TEXTMETRICA tm;
        ASSERT_TRUE(GetTextMetricsA(canvas.dc, &tm));
        EXPECT_EQ(tm.tmHeight, c.ascent + c.descent) << c.height;
        EXPECT_EQ(tm.tmAscent, c.ascent) << c.height;
        EXPECT_EQ(tm.tmDescent, c.descent) << c.height;
        EXPECT_EQ(tm.tmInternalLeading, c.internalLeading) << c.height;
        EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    }
}

TEST(FontMetrics, RefusalsAndDefaults)
{
    EXPECT_EQ(Verdana(5000), nullptr);
    EXPECT_EQ(Verdana(12, 2000), nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    TEXTMETRICA tm;
    ASSERT_TRUE(GetTextMetricsA(dc, &tm)) << "a new DC has the stock font";
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_FALSE(GetTextMetricsA(dc, nullptr));
    EXPECT_FALSE(GetTextMetricsA(nullptr, &tm));
    DeleteDC(dc);

    HFONT bold = Verdana(0, FW_BOLD, DEFAULT_QUALITY, 1);
    ASSERT_NE(bold, nullptr);
    TextCanvas canvas(4, 4, bold);
    ASSERT_TRUE(GetTextMetricsA(canvas.dc, &tm));
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    EXPECT_EQ(tm.tmItalic, 255);
}

TEST(DrawText, MeasuresSingleLinesByAdvances)
{
    TextCanvas canvas(4, 4, Verdana(12));
    RECT r = {5, 7, 5, 7};
    EXPECT_EQ(DrawTextA(canvas.dc, "W", 1, &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE), 12);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 7);
    EXPECT_EQ(r.bottom, 19);
    const int w = r.right - r.left;
    EXPECT_GT(w, canvas.Measure("i"));
    EXPECT_GT(canvas.Measure(" "), 0) << "a space advances";
    // No kerning: a string is as wide as its characters.
    EXPECT_EQ(canvas.Measure("AVAW"), canvas.Measure("A") * 2 + canvas.Measure("V") + w);
    // An explicit length counts bytes; -1 stops at the zero.
    RECT part = {0, 0, 0, 0};
    DrawTextA(canvas.dc, "WWWW", 2, &part, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(part.right, 2 * w);
}

TEST(DrawText, LineBreaksUnlessSingleLine)
{
    TextCanvas canvas(4, 4, Verdana(12));
    RECT r = {0, 0, 0, 0};
    EXPECT_EQ(DrawTextA(canvas.dc, "a\nbb", -1, &r, DT_CALCRECT | DT_NOPREFIX), 24);
    EXPECT_EQ(r.right, canvas.Measure("bb"));
    r = {0, 0, 0, 0};
    EXPECT_EQ(DrawTextA(canvas.dc, "a\r\nb\rc", -1, &r, DT_CALCRECT | DT_NOPREFIX), 36)
        << "CR LF is one break";
    r = {0, 0, 0, 0};
    EXPECT_EQ(DrawTextA(canvas.dc, "a\nbb", -1, &r, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE), 12);
    r = {3, 4, 9, 9};
    EXPECT_EQ(DrawTextA(canvas.dc, "", -1, &r, DT_CALCRECT), 0);
    EXPECT_EQ(r.right, 3);
    EXPECT_EQ(r.bottom, 4);
}

TEST(DrawText, PrefixesAreDroppedWithoutNoPrefix)
{
    TextCanvas canvas(4, 4, Verdana(12));
    EXPECT_EQ(canvas.Measure("&Save", DT_SINGLELINE), canvas.Measure("Save"));
    EXPECT_EQ(canvas.Measure("a&&b", DT_SINGLELINE), canvas.Measure("a&b"));
    EXPECT_EQ(canvas.Measure("a&&b"), canvas.Measure("a&") + canvas.Measure("&b"));
}

TEST(DrawText, WhiteOnBlackGivesCoverageInTheRedByte)
{
    TextCanvas canvas(40, 16, Verdana(12));
    canvas.Fill(0x7F0000FFu); // blue with alpha 0x7F: the opaque cell must cover it
    SetTextColor(canvas.dc, RGB(255, 255, 255));
    SetBkMode(canvas.dc, OPAQUE);
    SetBkColor(canvas.dc, 0);
    const int advance = canvas.Measure("g");
    RECT r = {0, 0, advance + 2, 12};
    EXPECT_EQ(DrawTextW(canvas.dc, L"g", 1, &r, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX), 12);

    int partial = 0, full = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < advance; ++x)
        {
            const uint32_t p = canvas.At(x, y);
            const uint32_t red = (p >> 16) & 0xFF;
            ASSERT_EQ(p >> 24, 0x7Fu) << "alpha is left alone";
            ASSERT_EQ((p >> 8) & 0xFF, red);
            ASSERT_EQ(p & 0xFF, red) << "grey: blue equals red at " << x << "," << y;
            partial += red > 0 && red < 255;
            full += red == 255;
        }
    EXPECT_GT(partial, 0) << "default quality is antialiased";
    EXPECT_GT(full, 0);
    EXPECT_EQ(canvas.At(advance + 5, 5), 0x7F0000FFu) << "right of the cell is untouched";
    // The descender of g reaches below the baseline (row 10 of a 12-pixel cell).
    EXPECT_GT(canvas.Ink(0x7F000000u).bottom, 10);
}

TEST(DrawText, NonAntialiasedQualityGivesFullCoverageOnly)
{
    TextCanvas canvas(40, 16, Verdana(12, FW_NORMAL, NONANTIALIASED_QUALITY));
    canvas.Fill(0);
    SetTextColor(canvas.dc, RGB(255, 0, 0));
    SetBkMode(canvas.dc, TRANSPARENT);
    RECT r = {1, 1, 40, 16};
    DrawTextA(canvas.dc, "Ag", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    int ink = 0;
    for (uint32_t p : canvas.Copy())
    {
        ASSERT_TRUE(p == 0 || p == 0x00FF0000u) << std::hex << p;
        ink += p != 0;
    }
    EXPECT_GT(ink, 10);
}

TEST(DrawText, TransparentModeLeavesTheBackground)
{
    TextCanvas canvas(40, 16, Verdana(12, FW_NORMAL, NONANTIALIASED_QUALITY));
    canvas.Fill(0xFF00FF00u);
    SetTextColor(canvas.dc, RGB(0, 0, 255));
    SetBkMode(canvas.dc, TRANSPARENT);
    RECT r = {0, 0, 40, 16};
    DrawTextA(canvas.dc, "I", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    int green = 0, blue = 0;
    for (uint32_t p : canvas.Copy())
    {
        green += p == 0xFF00FF00u;
        blue += p == 0xFF0000FFu;
    }
    EXPECT_EQ(green + blue, 40 * 16);
    EXPECT_GT(blue, 5);
}

TEST(DrawText, AlignmentMovesTheInkByWholePixels)
{
    TextCanvas canvas(100, 40, Verdana(12));
    const uint32_t background = 0;
    const int w = canvas.Measure("Hi");
    auto inkFor = [&](UINT flags, RECT r, int* result = nullptr)
    {
        canvas.Fill(background);
        SetTextColor(canvas.dc, RGB(255, 255, 255));
        SetBkMode(canvas.dc, TRANSPARENT);
        const int h = DrawTextA(canvas.dc, "Hi", -1, &r, flags | DT_SINGLELINE | DT_NOPREFIX);
        if (result) *result = h;
        return canvas.Ink(background);
    };
    const RECT left = inkFor(0, {10, 5, 90, 35});
    const RECT centre = inkFor(DT_CENTER, {10, 5, 90, 35});
    const RECT right = inkFor(DT_RIGHT, {10, 5, 90, 35});
    int vResult = 0, bResult = 0;
    const RECT middle = inkFor(DT_VCENTER, {10, 5, 90, 35}, &vResult);
    const RECT bottom = inkFor(DT_BOTTOM, {10, 5, 90, 35}, &bResult);
    EXPECT_EQ(centre.left - left.left, (80 - w) / 2);
    EXPECT_EQ(right.left - left.left, 80 - w);
    EXPECT_EQ(middle.top - left.top, (30 - 12) / 2);
    EXPECT_EQ(vResult, (30 - 12) / 2 + 12) << "offset from the top to the bottom of the text";
    EXPECT_EQ(bottom.top - left.top, 30 - 12);
    EXPECT_EQ(bResult, 30);
    // Without DT_SINGLELINE vertical alignment does nothing.
    canvas.Fill(background);
    RECT r = {10, 5, 90, 35};
    DrawTextA(canvas.dc, "Hi", -1, &r, DT_VCENTER | DT_NOPREFIX);
    EXPECT_EQ(canvas.Ink(background).top, left.top);
}

TEST(DrawText, ClipsToTheRectangleUnlessNoClip)
{
    TextCanvas canvas(60, 20, Verdana(12));
    SetTextColor(canvas.dc, RGB(255, 255, 255));
    SetBkMode(canvas.dc, OPAQUE);
    SetBkColor(canvas.dc, RGB(0, 0, 128));
    canvas.Fill(0);
    RECT r = {2, 2, 8, 14};
    DrawTextA(canvas.dc, "WWWW", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    const RECT clipped = canvas.Ink(0);
    EXPECT_GE(clipped.left, 2);
    EXPECT_LE(clipped.right, 8);
    canvas.Fill(0);
    DrawTextA(canvas.dc, "WWWW", -1, &r, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    EXPECT_EQ(canvas.Ink(0).right, 2 + canvas.Measure("WWWW")) << "the opaque cell spans the whole text";
    // Text far outside the bitmap draws nothing and does not fail.
    r = {-100000, -100000, 100000, 100000};
    EXPECT_EQ(DrawTextA(canvas.dc, "W", -1, &r, DT_SINGLELINE), 12);
}

TEST(DrawText, AnsiBytesAreWindows1252AndWideTextIsUtf16)
{
    TextCanvas canvas(60, 20, Verdana(12));
    auto draw = [&](auto drawCall)
    {
        canvas.Fill(0);
        SetTextColor(canvas.dc, RGB(255, 255, 255));
        RECT r = {0, 0, 60, 20};
        drawCall(r);
        return canvas.Copy();
    };
    const auto euroAnsi =
        draw([&](RECT& r) { DrawTextA(canvas.dc, "\x80\xe9", 2, &r, DT_SINGLELINE | DT_NOPREFIX); });
    const auto euroWide = draw(
        [&](RECT& r)
        {
            const WCHAR text[] = {0x20AC, 0x00E9, 0};
            DrawTextW(canvas.dc, text, -1, &r, DT_SINGLELINE | DT_NOPREFIX);
        });
    EXPECT_EQ(euroAnsi, euroWide);

    const WCHAR pair[] = {0xD835, 0xDC00}; // one character written as a surrogate pair
    const WCHAR single[] = {static_cast<WCHAR>(0x1D400)};
    RECT a = {0, 0, 0, 0}, b = {0, 0, 0, 0};
    DrawTextW(canvas.dc, pair, 2, &a, DT_CALCRECT | DT_SINGLELINE);
    DrawTextW(canvas.dc, single, 1, &b, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(a.right, b.right);
}

TEST(DrawText, BadArgumentsAnswerZero)
{
    TextCanvas canvas(8, 8, Verdana(12));
    RECT r = {0, 0, 8, 8};
    EXPECT_EQ(DrawTextA(nullptr, "a", -1, &r, 0), 0);
    EXPECT_EQ(DrawTextA(canvas.dc, nullptr, -1, &r, 0), 0);
    EXPECT_EQ(DrawTextA(canvas.dc, "a", -1, nullptr, 0), 0);
    EXPECT_EQ(DrawTextA(canvas.dc, "a", -2, &r, 0), 0);
    EXPECT_EQ(DrawTextW(canvas.dc, nullptr, -1, &r, 0), 0);
    EXPECT_FALSE(DeleteObject(canvas.font)) << "a selected font cannot be deleted";
}

TEST(DrawText, DrawsIntoAWindowSurfaceWithinItsClip)
{
    PixelSurface screen;
    screen.Resize(40, 20);
    HDC window = CreateSurfaceDC(&screen);
    HFONT font = Verdana(12);
    HGDIOBJ old = SelectObject(window, font);
    ASSERT_NE(old, nullptr);
    const RECT clip = {0, 0, 20, 20};
    SetSurfaceDCClip(window, &clip);
    SetBkMode(window, OPAQUE);
    RECT r = {0, 0, 40, 20};
    DrawTextA(window, "MMMMMM", -1, &r, DT_SINGLELINE);
    EXPECT_EQ(screen.At(0, 0), 0x00FFFFFFu) << "white opaque cell, alpha untouched";
    EXPECT_EQ(screen.At(25, 5), 0u) << "outside the window clip";
    SelectObject(window, old);
    ReleaseSurfaceDC(window);
    EXPECT_TRUE(DeleteObject(font));
}

TEST(DrawText, ThreadsDrawingAtOnceGetTheSameSingleThreadedPixels)
{
    auto render = []
    {
        TextCanvas canvas(64, 16, Verdana(12));
        canvas.Fill(0);
        SetTextColor(canvas.dc, RGB(200, 100, 50));
        RECT r = {0, 0, 64, 16};
        DrawTextA(canvas.dc, "Quova 123", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
        return canvas.Copy();
    };
    const std::vector<uint32_t> expected = render();
    std::vector<std::vector<uint32_t>> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results)
        threads.emplace_back(
            [&result, &render]
            {
                for (int i = 0; i < 20; ++i)
                    result = render();
            });
    for (std::thread& t : threads)
        t.join();
    for (const auto& result : results)
        EXPECT_EQ(result, expected);
}

} // namespace
