// Bitmap-font text: reading a font description, placing glyphs (centring and its rounding, the
// alignment flags, cutting what runs too far), bytes that take no room, lists of lines and
// wrapping. Pixels are read back from the editor's drawing bitmap.
#include <gtest/gtest.h>

#include "gui/BitmapFontDescription.h"
#include "gui/IGraphics.h"
#include "tests/gui/StockTestSupport.h"

namespace
{

constexpr uint32_t kPaper = 0x102030;
using Texts = std::vector<std::string>;

uint32_t Ink(char c)
{
    return ProbeGlyphColour(c) & 0xFFFFFF;
}

Texts TextsOf(const std::vector<BitmapTextLine>& lines)
{
    Texts texts;
    for (const BitmapTextLine& line : lines)
        texts.push_back(line.text);
    return texts;
}

class BitmapFontText : public ::testing::Test
{
protected:
    void SetUp() override { Clear(); }
    void Clear()
    {
        const IBlendSpec copy(IBlendSpec::kMethodCopy, 1.0f);
        rig.editor->PaintRectangle({255, 0x10, 0x20, 0x30}, {0, 0, kEditorWidth, kEditorHeight}, &copy);
    }
    void Draw(const char* text, const IRectangle& rect)
    {
        EXPECT_TRUE(rig.font->DrawString(rig.editor, text, rect));
    }
    // The glyph of c covers exactly its w x h pixels from (x, y).
    void ExpectGlyphAt(char c, int x, int y)
    {
        const ProbeGlyph g = ProbeGlyphOf(c);
        SCOPED_TRACE(std::string("glyph ") + c + " at " + std::to_string(x) + "," + std::to_string(y));
        EXPECT_EQ(rig.Drawn(x, y), Ink(c));
        EXPECT_EQ(rig.Drawn(x + g.width - 1, y + g.height - 1), Ink(c));
        EXPECT_NE(rig.Drawn(x - 1, y), Ink(c));
        EXPECT_NE(rig.Drawn(x, y - 1), Ink(c));
        EXPECT_NE(rig.Drawn(x + g.width, y + g.height - 1), Ink(c));
        EXPECT_NE(rig.Drawn(x + g.width - 1, y + g.height), Ink(c));
    }
    int Inked(const IRectangle& rect)
    {
        int count = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
        {
            for (int x = rect.left; x < rect.right; ++x)
                count += rig.Drawn(x, y) != kPaper ? 1 : 0;
        }
        return count;
    }

    StockRig rig;
};

} // namespace

TEST(BitmapFontDescription, GlyphsCarryOverAbsentValuesAndKeepTheLaterOfTwo)
{
    BitmapFont probe(nullptr, ProbeFontDescription().c_str());
    EXPECT_EQ(probe.GetLineHeight(), kProbeLineHeight);
    EXPECT_EQ(probe.CountGlyphs(), 95);
    const BitmapFontGlyph* a = probe.FindGlyph('A');
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->source, IRectangle(330, 0, 334, 6));
    EXPECT_EQ(a->xOffset, 1);
    EXPECT_EQ(a->yOffset, 2 - kProbeLineHeight) << "kept relative to the line height";
    EXPECT_EQ(a->xAdvance, 6);

    BitmapFont font(nullptr, nullptr);
    EXPECT_EQ(font.CountGlyphs(), 0);
    EXPECT_TRUE(ReadBitmapFontDescription(&font, R"(<font><common lineHeight=" 12px" base="9"/><chars>
      <char id="65" x="1" y="2" width="3" height="4" xoffset="5" yoffset="6" xadvance="7"/>
      <char id="66" x="10" xadvance="8"/>
      <char id="65" x="20" y="abc" width="3" height="4" xoffset="-1" yoffset="0" xadvance="9"/>
      <char id="67" x="2147483647" width="10" xadvance="1"/>
      <char id="68" x="0" yoffset="-2147483647"/></chars></font>)"));
    EXPECT_EQ(font.GetLineHeight(), 12) << "numbers read as the C library reads them";
    EXPECT_EQ(font.CountGlyphs(), 2) << "C and D do not fit 32-bit coordinates";
    EXPECT_EQ(font.FindGlyph('A')->source, IRectangle(20, 0, 23, 4)) << "the later A; a malformed y is 0";
    const BitmapFontGlyph* b = font.FindGlyph('B');
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->source, IRectangle(10, 2, 13, 6)) << "what B leaves out comes from the A before it";
    EXPECT_EQ(b->yOffset, 6 - 12);
    EXPECT_EQ(b->xAdvance, 8);

    EXPECT_FALSE(ReadBitmapFontDescription(&font, "<font><common lineHeight=\"30\"/>"));
    EXPECT_FALSE(ReadBitmapFontDescription(&font, nullptr));
    EXPECT_EQ(font.GetLineHeight(), 12) << "a description that does not parse changes nothing";
}

TEST_F(BitmapFontText, AShortStringIsCentredBothWaysWithTruncatingArithmetic)
{
    // Width 6 + 5 = 11 in a 40 x 30 box: the pen starts trunc(20 - 5.5 + 0.5) = 15 in; the line
    // box of height 10 is centred, so each glyph sits its own y offset below top + 10.
    Draw("AB", {10, 5, 50, 35});
    ExpectGlyphAt('A', 26, 17);
    ExpectGlyphAt('B', 31, 16);
    // 4.5 - 5.5 + 0.5 = -0.5 and 1.5 + (2 - 10) + 5 = -1.5 truncate to 0 and -1 (not -1 and -2).
    Clear();
    Draw("AB", {20, 0, 29, 3});
    EXPECT_EQ(rig.Drawn(21, 4), Ink('A'));
    EXPECT_EQ(rig.Drawn(20, 4), kPaper);
    EXPECT_EQ(rig.Drawn(21, 5), kPaper);
}

TEST_F(BitmapFontText, AlignmentFlagsPlaceFromTheTopLeftCorner)
{
    rig.font->SetLeftAligned(1);
    rig.font->SetTopAligned(1);
    Draw("AB", {5, 5, 55, 35});
    ExpectGlyphAt('A', 6, 7);
    ExpectGlyphAt('B', 11, 6);
}

TEST_F(BitmapFontText, AStringThatRunsPastTheEdgeEndsInDots)
{
    // Six A's in a box 20 wide: the running width 30 passes 20 + 5 at byte 4, so 4 - 2 bytes stay:
    // "AA..", measured 30 + 2 x 2 - 2 x 6 = 22, so the pen starts at trunc(-0.5) = 0.
    Draw("AAAAAA", {0, 0, 20, 10});
    ExpectGlyphAt('A', 1, 2);
    ExpectGlyphAt('A', 7, 2);
    ExpectGlyphAt('.', 12, 7);
    ExpectGlyphAt('.', 14, 7);
    EXPECT_EQ(Inked({0, 0, 60, 40}), 2 * 24 + 2);
    Clear();
    Draw("WWW", {30, 0, 32, 10}); // overflows at once: only the dots are left
    ExpectGlyphAt('.', 34, 7);
    ExpectGlyphAt('.', 36, 7);
    EXPECT_EQ(Inked({0, 0, 60, 40}), 2);
}

TEST_F(BitmapFontText, LineFeedsAreSpacesAndSomeBytesTakeNoRoom)
{
    rig.font->SetLeftAligned(1);
    rig.font->SetTopAligned(1);
    Draw("A\nB", {0, 0, 60, 20}); // A, a space of 3, B
    ExpectGlyphAt('A', 1, 2);
    ExpectGlyphAt('B', 9, 1);
    Draw("A\r\x85\xFF\tB", {0, 20, 60, 40}); // the tab has no glyph: no room either
    ExpectGlyphAt('A', 1, 22);
    ExpectGlyphAt('B', 6, 21);
    EXPECT_EQ(rig.font->MeasureWidth("A\r\x85\xFF\tB"), 11);
}

TEST_F(BitmapFontText, EmptyTextsMeasuringAndMissingImagesDrawNothing)
{
    Draw("", {0, 0, 60, 40});
    Draw(nullptr, {0, 0, 60, 40});
    EXPECT_TRUE(rig.font->DrawString(rig.editor, "AB", {0, 0, 60, 40}, true));
    BitmapFont imageless(nullptr, ProbeFontDescription().c_str());
    EXPECT_TRUE(imageless.DrawString(rig.editor, "AB", {0, 0, 60, 40}));
    EXPECT_EQ(Inked({0, 0, 60, 40}), 0);
}

TEST_F(BitmapFontText, LinesGoOneLineHeightApartWithTheirOwnAlignment)
{
    std::vector<BitmapTextLine> lines = {{"A", 1, 1, false}, {"B", 1, 1, true}, {"W", 0, 0, false}};
    std::vector<BitmapTextLine> copy = lines;
    EXPECT_EQ(rig.font->DrawLines(rig.editor, copy, {0, 0, 60, 12}, true), 3 * kProbeLineHeight);
    EXPECT_TRUE(copy.empty());
    EXPECT_EQ(Inked({0, 0, 60, 40}), 0) << "measuring draws nothing";

    EXPECT_EQ(rig.font->DrawLines(rig.editor, lines, {0, 0, 60, 12}), 30);
    EXPECT_TRUE(lines.empty());
    ExpectGlyphAt('A', 1, 2);
    ExpectGlyphAt('B', 10, 11); // indented by 10
    // Centred in (0, 20, 60, 12), below the bottom: x 30 - 4.5 + 0.5; y trunc(-4 + (2 - 10 + 20) + 5).
    ExpectGlyphAt('W', 26, 13);
    EXPECT_EQ(rig.font->IsLeftAligned(), 0);
    EXPECT_EQ(rig.font->IsTopAligned(), 0);
}

TEST_F(BitmapFontText, WrappingBreaksAnywhereAndCountsFromTheBreak)
{
    const IRectangle box{0, 0, 40, 10}; // 20 pixels of advances per line
    std::vector<BitmapTextLine> lines = WrapTextToWidth(*rig.font, {"AAAAAAAAAA", 0, 0, true}, box);
    // 18 + 6 > 20 at the fourth A, which starts the next line without being counted there.
    EXPECT_EQ(TextsOf(lines), (Texts{"AAA", "AAAA", "AAA"}));
    for (const BitmapTextLine& line : lines)
    {
        EXPECT_EQ(line.leftAligned + line.topAligned, 2);
        EXPECT_TRUE(line.indented);
    }
    EXPECT_EQ(TextsOf(WrapTextToWidth(*rig.font, {"AAA\rAAA", 0, 0, false}, box)), (Texts{"AAA\r", "AAA"}));
    lines = WrapTextToWidth(*rig.font, {"AAA", 0, 0, false}, box);
    ASSERT_EQ(TextsOf(lines), (Texts{"AAA"}));
    EXPECT_EQ(lines[0].leftAligned, 1);
    EXPECT_EQ(TextsOf(WrapTextToWidth(*rig.font, {"", 0, 0, false}, box)), (Texts{""}));

    const std::string hundred(100, 'x'); // advance 4, at most 10 counted per line in a box 30 wide
    lines = WrapTextToWidth(*rig.font, {hundred, 0, 0, false}, {0, 0, 30, 10});
    ASSERT_EQ(lines.size(), 34u);
    EXPECT_EQ(lines[0].text, "xx");
    EXPECT_EQ(lines[1].text, "xxx");
    EXPECT_EQ(lines.back().text, "xx");

    std::vector<BitmapTextLine> paragraphs = {{"AAAAA", 0, 0, false}, {"BB", 0, 0, true}};
    lines = SplitParagraphs(*rig.font, paragraphs, box);
    EXPECT_EQ(TextsOf(lines), (Texts{"AAA", "AA", "BB"}));
    EXPECT_TRUE(lines[2].indented);
    EXPECT_TRUE(paragraphs.empty());
}
