#include "graphics/CachedFont.h"
#include "graphics/DibBitmap.h"
#include "graphics/MemoryBitmap.h"
#include "graphics/Utf8.h"
#include "platform/gdi/Gdi.h"
#include "tests/graphics/TestBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace
{
HFONT MakeFont(int height, DWORD quality = DEFAULT_QUALITY)
{
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH, "Verdana");
}

// A font as the editor makes it: owned handle, native drawing allowed.
std::unique_ptr<CachedFont> EditorFont(int height, uint32_t extraFlags = 0)
{
    auto font = std::make_unique<CachedFont>();
    HFONT handle = MakeFont(height);
    EXPECT_NE(handle, nullptr);
    font->AttachFontHandle(handle, FontOwnsHandle | FontNativeDrawing | extraFlags);
    return font;
}

int Measure(CachedFont& font, const char* text, uint32_t flags = 0, int32_t length = -1, RECT* out = nullptr)
{
    RECT r{0, 0, 0, 0};
    int h = font.DrawString(nullptr, text, length, &r, DT_CALCRECT | flags);
    if (out) *out = r;
    return h;
}

int Width(CachedFont& font, const char* text, uint32_t flags = 0)
{
    RECT r;
    Measure(font, text, flags, -1, &r);
    return r.right - r.left;
}

// Bounding box (l, t, r, b) of pixels differing from background; empty when none.
RECT Ink(TestBitmap& b, RasterPixel background)
{
    RECT box{b.Width(), b.Height(), 0, 0};
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.At(x, y) != background)
            {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}
} // namespace

TEST(Utf8, DecodesWithinTheGivenBytes)
{
    uint16_t c = 0;
    EXPECT_EQ(DecodeUtf8Char("\xC3\xA9", -1, &c), 2);
    EXPECT_EQ(c, 0xE9);
    EXPECT_EQ(DecodeUtf8Char("\xE2\x82\xAC", -1, &c), 3);
    EXPECT_EQ(c, 0x20AC);
    EXPECT_EQ(DecodeUtf8Char("\xF0\x9F\x98\x80", -1, &c), 4);
    EXPECT_EQ(c, 32);
    EXPECT_EQ(DecodeUtf8Char("\x80z", -1, &c), 1); // stray continuation byte
    EXPECT_EQ(c, 0x80);
    EXPECT_EQ(DecodeUtf8Char("\xC0\x80", -1, &c), 1); // overlong lead
    EXPECT_EQ(c, 0xC0);
    EXPECT_EQ(DecodeUtf8Char("\xE2\x82", -1, &c), 1); // cut short by the zero byte
    EXPECT_EQ(c, 0xE2);

    // A counted sequence cut short decodes as its lead byte alone; the bytes
    // beyond the count are never read (the buffer ends at the count).
    std::vector<char> cut = {'\xE2', '\x82'};
    EXPECT_EQ(DecodeUtf8Char(cut.data(), 2, &c), 1);
    EXPECT_EQ(c, 0xE2);
    EXPECT_EQ(DecodeUtf8Char(cut.data() + 1, 1, &c), 1);
    EXPECT_EQ(DecodeUtf8Char(cut.data(), 0, &c), 0);
    EXPECT_TRUE(HasMultiByteSequence("a\xC3\xA9", -1));
    EXPECT_FALSE(HasMultiByteSequence("a\xC3", -1));
    EXPECT_FALSE(HasMultiByteSequence(cut.data(), 2));
}

TEST(CachedFont, MeasuresWithARealFont)
{
    auto font = EditorFont(12);
    EXPECT_EQ(font->TextHeight(), 12);
    RECT r{0, 0, 0, 0};
    EXPECT_EQ(Measure(*font, "", 0, -1, &r), 0);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.bottom, 0);

    RECT hello{5, 7, 0, 0};
    EXPECT_EQ(font->DrawString(nullptr, "Hello", -1, &hello, DT_CALCRECT), 12);
    EXPECT_EQ(hello.bottom, 7 + 12);
    // Width: the pen advances by each glyph's advance; the extent is the
    // furthest of pen + mask width and pen + advance.
    int pen = 0, extent = 0;
    for (char ch : std::string("Hello"))
    {
        const CachedFont::GlyphEntry* e = font->FindGlyph(static_cast<unsigned char>(ch));
        ASSERT_NE(e, nullptr);
        ASSERT_GT(e->offset, 0);
        EXPECT_EQ(e->height, 12);
        EXPECT_GE(e->width, e->advance);
        extent = std::max({extent, pen + e->width, pen + e->advance});
        pen += e->advance;
    }
    EXPECT_EQ(hello.right - hello.left, extent);
    EXPECT_GT(extent, 20);

    // Carriage return is skipped; a line feed starts a new line, or is a space
    // on a single line. A 4-byte sequence is a space.
    EXPECT_EQ(Measure(*font, "A\r\nB"), 24);
    EXPECT_EQ(Measure(*font, "A\nB", DT_SINGLELINE), 12);
    EXPECT_EQ(Width(*font, "A\nB", DT_SINGLELINE), Width(*font, "A B"));
    EXPECT_EQ(Width(*font, "\xF0\x9F\x98\x80"), Width(*font, " "));
    EXPECT_EQ(Width(*font, "\r"), 0);

    // A counted length stops early and never reads past the count.
    std::vector<char> bytes = {'A', 'B', '\xE2', '\x82'};
    RECT counted{0, 0, 0, 0};
    font->DrawString(nullptr, bytes.data(), 2, &counted, DT_CALCRECT);
    EXPECT_EQ(counted.right, Width(*font, "AB"));
    font->DrawString(nullptr, bytes.data(), 4, &counted, DT_CALCRECT);
    EXPECT_GT(counted.right, Width(*font, "AB"));
    EXPECT_EQ(font->DrawString(nullptr, "A", -1, nullptr, DT_CALCRECT), 0);
    EXPECT_EQ(font->DrawString(nullptr, nullptr, -1, &counted, DT_CALCRECT), 0);
}

TEST(CachedFont, BlendsCoverageExactly)
{
    auto font = EditorFont(12);
    TestBitmap b(40, 16, 43);
    const RasterPixel background = 0x80C0B0A0;
    b.Fill(background);
    font->SetForegroundColor(0xFF102030);
    RECT r{3, 2, 40, 16};
    EXPECT_EQ(font->DrawString(&b, "W", -1, &r, 0), 12);
    const CachedFont::GlyphEntry* e = font->FindGlyph('W');
    ASSERT_NE(e, nullptr);
    const uint8_t* mask = font->Coverage(*e);
    ASSERT_NE(mask, nullptr);
    int covered = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 40; ++x)
        {
            const int mx = x - 3, my = y - 2;
            int c = (mx >= 0 && my >= 0 && mx < e->width && my < e->height) ? mask[my * e->width + mx] : 0;
            RasterPixel expected = background;
            if (c != 0)
            {
                // Weight c + 1 toward the colour with alpha byte 255: S + ((D - S) x (255 - c)) / 256.
                auto mix = [c](int d, int s) { return s + ((d - s) * (255 - c)) / 256; };
                expected = MakePixel(mix(0x80, 255), mix(0xC0, 0x10), mix(0xB0, 0x20), mix(0xA0, 0x30));
                ++covered;
            }
            ASSERT_EQ(b.At(x, y), expected) << x << "," << y;
        }
    EXPECT_GT(covered, 10);

    // Half-transparent colour with the colour-alpha flag: weight (c x 128) / 256.
    b.Fill(0xFFFFFFFF);
    font->SetForegroundColor(0x80000000);
    font->DrawString(&b, "W", -1, &r, kDrawScaleByColourAlpha);
    for (int my = 0; my < e->height; ++my)
        for (int mx = 0; mx < e->width && mx + 3 < 40; ++mx)
        {
            const int weight = (mask[my * e->width + mx] * 128) / 256;
            const int v = 255 * (256 - weight) / 256;
            const RasterPixel expected = weight > 0 ? MakePixel(255, v, v, v) : 0xFFFFFFFFu;
            ASSERT_EQ(b.At(mx + 3, my + 2), expected);
        }
    // A fully transparent colour draws nothing and returns 0.
    b.Fill(0xFFFFFFFF);
    font->SetForegroundColor(0x00000000);
    EXPECT_EQ(font->DrawString(&b, "W", -1, &r, kDrawScaleByColourAlpha), 0);
    EXPECT_TRUE(Ink(b, 0xFFFFFFFF).right == 0);
}

TEST(CachedFont, AlignmentAndClipping)
{
    auto font = EditorFont(12);
    font->SetForegroundColor(0xFF000000);
    const int w = Width(*font, "Ab");
    TestBitmap left(60, 30), centred(60, 30), right(60, 30);
    for (TestBitmap* b : {&left, &centred, &right})
        b->Fill(0xFFFFFFFF);
    RECT r{4, 3, 57, 29};
    font->DrawString(&left, "Ab", -1, &r, DT_NOCLIP);
    font->DrawString(&centred, "Ab", -1, &r, DT_NOCLIP | DT_CENTER | DT_VCENTER);
    font->DrawString(&right, "Ab", -1, &r, DT_NOCLIP | DT_RIGHT | DT_BOTTOM);
    const RECT a = Ink(left, 0xFFFFFFFF), c = Ink(centred, 0xFFFFFFFF), d = Ink(right, 0xFFFFFFFF);
    const int dxCentre = (57 - w - 4) / 2, dyCentre = (29 - 12 - 3) / 2;
    EXPECT_EQ(c.left - a.left, dxCentre);
    EXPECT_EQ(c.top - a.top, dyCentre);
    EXPECT_EQ(d.left - a.left, 57 - w - 4);
    EXPECT_EQ(d.bottom - a.bottom, 29 - 12 - 3);

    // Clipped to the rectangle: a glyph half outside is drawn in part.
    TestBitmap clipped(60, 30);
    clipped.Fill(0xFFFFFFFF);
    RECT narrow{4, 3, 10, 29};
    font->DrawString(&clipped, "Ab", -1, &narrow, 0);
    const RECT k = Ink(clipped, 0xFFFFFFFF);
    EXPECT_GE(k.left, 4);
    EXPECT_LE(k.right, 10);
    EXPECT_GT(k.right, k.left);

    // A glyph wholly outside is skipped but still advances the pen.
    const CachedFont::GlyphEntry* first = font->FindGlyph('A');
    ASSERT_NE(first, nullptr);
    TestBitmap shifted(60, 30), alone(60, 30);
    shifted.Fill(0xFFFFFFFF);
    alone.Fill(0xFFFFFFFF);
    RECT off{-first->advance, 0, 60, 30}, at0{0, 0, 60, 30};
    if (first->width == first->advance)
    {
        font->DrawString(&shifted, "Ab", -1, &off, 0);
        font->DrawString(&alone, "b", -1, &at0, 0);
        EXPECT_EQ(shifted.Words(), alone.Words());
    }
    RECT empty{10, 10, 10, 20};
    EXPECT_EQ(font->DrawString(&clipped, "Ab", -1, &empty, 0), 0);
}

TEST(CachedFont, CharactersBeyondAsciiAndPrerendering)
{
    auto font = EditorFont(12);
    TestBitmap b(80, 16);
    RECT r{0, 0, 80, 16};
    font->DrawString(&b, "\xC3\xA9\xCE\xA9\xC3\xA4\xE2\x82\xAC", -1, &r, 0); // é Ω ä €
    for (uint32_t c : {0xE9u, 0x3A9u, 0xE4u, 0x20ACu})
    {
        const CachedFont::GlyphEntry* e = font->FindGlyph(c);
        ASSERT_NE(e, nullptr) << c;
        EXPECT_EQ(static_cast<uint32_t>(e->code), c);
        EXPECT_GT(e->offset, 0);
    }
    EXPECT_EQ(font->FindGlyph(0xE8), nullptr);

    auto pre = EditorFont(12, FontPrerender);
    EXPECT_GT(pre->FindGlyph('x')->offset, 0);
    EXPECT_GT(pre->FindGlyph(' ')->offset, 0);
    pre->DrawString(&b, "\xC3\xA9", -1, &r, 0);
    EXPECT_EQ(pre->FindGlyph(0xE9), nullptr);
}

TEST(CachedFont, EffectFlagsShapeTheMasks)
{
    auto plain = EditorFont(12);
    auto mono = EditorFont(12, FontMonochrome);
    auto inverted = EditorFont(12, FontInverted);
    auto vertical = EditorFont(12, FontVertical);
    auto outlined = EditorFont(12, FontOutlined);
    for (auto* f : {plain.get(), mono.get(), inverted.get(), vertical.get(), outlined.get()})
        ASSERT_TRUE(f->RenderGlyph('K'));
    const CachedFont::GlyphEntry& p = *plain->FindGlyph('K');
    const uint8_t* pm = plain->Coverage(p);
    const CachedFont::GlyphEntry& m = *mono->FindGlyph('K');
    const uint8_t* mm = mono->Coverage(m);
    ASSERT_EQ(m.width, p.width);
    for (int i = 0; i < p.width * p.height; ++i)
        ASSERT_EQ(mm[i], pm[i] < 131 ? 0 : 255) << i;

    const CachedFont::GlyphEntry& v = *vertical->FindGlyph('K');
    EXPECT_EQ(v.width, p.height);
    EXPECT_EQ(v.height, p.width);
    const uint8_t* vm = vertical->Coverage(v);
    // Turned clockwise: row y of the turned mask is column y of the original, bottom to top.
    for (int y = 0; y < v.height; ++y)
        for (int x = 0; x < v.width; ++x)
            ASSERT_EQ(vm[y * v.width + x], pm[(p.height - 1 - x) * p.width + y]);

    const CachedFont::GlyphEntry& o = *outlined->FindGlyph('K');
    const uint8_t* om = outlined->Coverage(o);
    int outline = 0;
    for (int i = 0; i < o.width * o.height; ++i)
        outline += om[i] == 128;
    EXPECT_GT(outline, 0);

    // Inverted masks run over the whole box.
    const CachedFont::GlyphEntry& n = *inverted->FindGlyph('K');
    EXPECT_GE(n.width, p.width);
}

TEST(CachedFont, OpaqueBackgroundAndOperators)
{
    auto font = EditorFont(10);
    font->SetForegroundColor(0xFF000000);
    font->SetBackgroundColor(0xFF00FF00);
    EXPECT_EQ(font->SetBackgroundMode(2), 1);
    TestBitmap b(30, 12);
    b.Fill(0xFFFFFFFF);
    RECT r{0, 0, 30, 12};
    font->DrawString(&b, "i", -1, &r, 0);
    const CachedFont::GlyphEntry* e = font->FindGlyph('i');
    ASSERT_NE(e, nullptr);
    // The glyph box is filled with the background first; outside it stays white.
    EXPECT_EQ(b.At(e->width - 1, 0) & 0xFF00FF00u, 0xFF00FF00u);
    EXPECT_EQ(b.At(e->width + 1, 0), 0xFFFFFFFFu);

    // An operator outside the table draws nothing but the glyph still counts.
    font->SetBackgroundMode(1);
    font->SetCombineMode(6, 1.0f);
    b.Fill(0xFFFFFFFF);
    EXPECT_EQ(font->DrawString(&b, "i", -1, &r, 0), 10);
    EXPECT_EQ(Ink(b, 0xFFFFFFFF).right, 0);
}

TEST(CachedFont, LargeFontsDrawNatively)
{
    auto font = EditorFont(300);
    ASSERT_EQ(font->TextHeight(), 300);
    font->SetForegroundColor(0xFF000000);
    MemoryBitmap memory(200, 320, 4);
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 200; ++x)
            memory.Pixels()[memory.RowSpan() * y + x] = 0xFFFFFFFF;
    RECT r{0, 0, 200, 320};
    EXPECT_EQ(font->DrawString(&memory, "I", -1, &r, 0), 300);
    int inked = 0;
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 200; ++x)
            inked += (memory.Pixels()[memory.RowSpan() * y + x] & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_GT(inked, 100);
    EXPECT_EQ(font->FindGlyph('I')->offset, 0); // nothing was cached

    DibBitmap dib(200, 320);
    RECT m{0, 0, 0, 0};
    EXPECT_EQ(font->DrawString(&dib, "I", -1, &m, DT_CALCRECT), 300);
    EXPECT_GT(m.right, 0);
    // Multi-byte text goes to the platform as wide text: one character, not two.
    RECT accented{0, 0, 0, 0}, plain{0, 0, 0, 0};
    font->DrawString(&dib, "\xC3\x89", -1, &accented, DT_CALCRECT);
    font->DrawString(&dib, "E", -1, &plain, DT_CALCRECT);
    EXPECT_EQ(accented.right, plain.right);
    EXPECT_EQ(font->DrawString(&dib, "\xC3\x89", -1, &r, 0), 300);
}

TEST(CachedFont, LastFontReleasesTheScratchBitmaps)
{
    {
        auto font = EditorFont(12);
        TestBitmap b(20, 14);
        RECT r{0, 0, 20, 14};
        font->DrawString(&b, "x", -1, &r, 0);
        EXPECT_TRUE(CachedFont::HasScratchBitmaps());
        EXPECT_GE(CachedFont::LiveFontCount(), 1);
    }
    if (CachedFont::LiveFontCount() == 0)
    {
        EXPECT_FALSE(CachedFont::HasScratchBitmaps());
    }
    auto again = EditorFont(12);
    EXPECT_TRUE(again->RenderGlyph('y'));
    EXPECT_TRUE(CachedFont::HasScratchBitmaps());
}

// Cached text takes a font alpha outside (0, 1] as it comes: each glyph pixel
// weighs min(256, c x w / 256) with w = trunc(alpha x 256), so alpha 1.5
// draws at nearly full strength and a negative alpha subtracts with add;
// copy at a negative alpha, and a NaN alpha, draw nothing.
TEST(CachedFont, FontAlphaOutsideZeroToOne)
{
    auto font = EditorFont(12);
    const RasterPixel background = 0xFF808080, colour = 0xFF102030;
    font->SetForegroundColor(colour);
    TestBitmap b(30, 16);
    RECT r{2, 1, 30, 16};
    ASSERT_TRUE(font->RenderGlyph('W'));
    const CachedFont::GlyphEntry e = *font->FindGlyph('W');
    const uint8_t* mask = font->Coverage(e);
    ASSERT_NE(mask, nullptr);
    // Checks every pixel of the glyph box against expect(c, destination channel, source channel).
    auto check = [&](const char* label, auto expect)
    {
        int touched = 0;
        for (int my = 0; my < e.height; ++my)
            for (int mx = 0; mx < e.width && mx + 2 < 30; ++mx)
            {
                const int c = mask[my * e.width + mx];
                RasterPixel expected = background;
                if (c != 0)
                    expected = MakePixel(expect(c, 0xFF, 255), expect(c, 0x80, 0x10), expect(c, 0x80, 0x20),
                                         expect(c, 0x80, 0x30));
                touched += expected != background;
                ASSERT_EQ(b.At(mx + 2, my + 1), expected) << label << " at " << mx << "," << my;
            }
        EXPECT_GT(touched, 10) << label;
    };

    b.Fill(background);
    font->SetCombineMode(kBlendCopy, 1.5f);
    EXPECT_EQ(font->DrawString(&b, "W", -1, &r, kDrawForceCached), 12);
    check("copy 1.5",
          [](int c, int d, int s)
          {
              const int w = std::min(256, c * 384 / 256);
              return s + ((d - s) * (256 - w)) / 256;
          });

    b.Fill(background);
    font->SetCombineMode(kBlendAdd, -1.0f);
    EXPECT_EQ(font->DrawString(&b, "W", -1, &r, kDrawForceCached), 12);
    check("add -1", [](int c, int d, int s) { return std::max(0, d + (s * -c) / 256); });

    // The thresholded effect masks blend at min(256, w): 255-coverage pixels
    // take the text colour whole.
    auto mono = EditorFont(12, FontMonochrome);
    mono->SetForegroundColor(colour);
    mono->SetCombineMode(kBlendCopy, 1.5f);
    b.Fill(background);
    mono->DrawString(&b, "W", -1, &r, kDrawForceCached);
    EXPECT_GT(Ink(b, background).right, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_TRUE(b.At(x, y) == background || b.At(x, y) == colour) << x << "," << y;

    for (auto [mode, alpha] : {std::pair{kBlendCopy, -1.0f}, std::pair{kBlendAdd, std::nanf("")}})
    {
        b.Fill(background);
        font->SetCombineMode(mode, alpha);
        font->DrawString(&b, "W", -1, &r, kDrawForceCached);
        EXPECT_EQ(Ink(b, background).right, 0) << mode << " " << alpha;
    }
}
