// BitmapFont: one-line text drawn by copying glyph cells out of a pre-rendered glyph image, after
// a description that gives each character's cell, offsets and advance (read by
// ReadBitmapFontDescription, BitmapFontDescription.h). A small layout layer on top breaks
// paragraphs into lines that fit a width (WrapTextToWidth, SplitParagraphs) and draws a list of
// lines one line height apart (BitmapFont::DrawLines).
//
// Text is a sequence of bytes. Bytes 0x80..0xFF and carriage returns take no room and draw
// nothing, everywhere; a character the description does not list has no glyph, advances by nothing
// and draws nothing. A line feed inside a one-line string draws as a space.
//
// Placement rules of DrawString in a rectangle r, for a string of measured width w (the sum of
// the advances) and a font of line height L:
//   - a string wider than r by more than 5 pixels is cut where the running width first exceeds
//     that: when it does at byte i, the string becomes its first max(0, i - 2) bytes and "..",
//     and w becomes the running width + 2 x advance('.') - 2 x advance(byte i);
//   - the pen starts at r.left, plus trunc((r.right - r.left) x 0.5 - w x 0.5 + 0.5) (real
//     arithmetic, truncated toward zero) unless the string is left-aligned;
//   - a glyph with description offsets (xoffset, yoffset) lands at x = pen + xoffset and, when
//     top-aligned, y = r.top + yoffset, else y = trunc((r.bottom - r.top) x 0.5 + (yoffset - L +
//     r.top) + L x 0.5), which centres the line box vertically; the pen then moves by the advance.
// Glyphs are copied with IGraphics::DrawBitmapRegion and the font's blend {0, 1.0} (weighted by
// the glyph image's alpha), so they are clipped to the editor's paint clip.
//
// The two alignment flags are transient: DrawLines sets them per line and clears them after; a
// DrawString on its own uses whatever they hold (0 after construction: centred both ways).
// Threads: the editor's thread only (the flags make a font unsafe to draw from two threads).
// Lifetime: made by the plug-in's constructor before the controls that draw with it, which hold a
// pointer to it. Non-copyable.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "gui/BlendMethod.h"
#include "gui/IBitmapStrip.h"
#include "gui/IRectangle.h"

class IGraphics;

// One character of a font.
struct BitmapFontGlyph
{
    int32_t yOffset = 0;  // the description's yoffset minus the font's line height
    int32_t xOffset = 0;  // the description's xoffset
    IRectangle source;    // the glyph's cell in the glyph image
    int32_t xAdvance = 0; // how far the pen moves after the glyph
};

// One entry of a list of lines.
struct BitmapTextLine
{
    std::string text;
    int32_t leftAligned = 0; // copied into the font's left-aligned flag before the line is drawn
    int32_t topAligned = 0;  // copied into the font's top-aligned flag before the line is drawn
    bool indented = false;   // drawn 10 pixels in from both the left and the right edge
};

class BitmapFont
{
public:
    // Running width allowed beyond the rectangle's width before a string is cut.
    static constexpr int kOverflowAllowance = 5;
    // Inset of an indented line from each side.
    static constexpr int kIndent = 10;
    // Width WrapTextToWidth keeps free of every line (whether or not it is indented).
    static constexpr int kWrapAllowance = 20;

    // bitmap: the glyph image (not owned; it must outlive the font; may be null, then nothing is
    // drawn). description: the font's description text (null or malformed: a font without glyphs).
    BitmapFont(const IBitmapStrip* bitmap, const char* description);
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    // Draws one line of text (zero-terminated; null counts as empty) into rect of the editor's
    // drawing bitmap by the rules above; with measureOnly (or a null graphics) it lays the string
    // out and copies nothing. Always true.
    bool DrawString(IGraphics* graphics, const char* text, const IRectangle& rect,
                    bool measureOnly = false) const;
    // Draws the lines one under the other: line k in {rect.left, rect.top + L x k, rect.right,
    // rect.bottom}, inset by 10 pixels at the left and right when indented, with the line's
    // alignment flags (both flags are 0 again afterwards). The bottom does not limit the list.
    // Empties the list (callers that keep their lines pass a copy) and returns L x the number of
    // lines, also when measuring.
    int DrawLines(IGraphics* graphics, std::vector<BitmapTextLine>& lines, const IRectangle& rect,
                  bool measureOnly = false);

    // The sum of the advances of text as DrawString counts them, before any cut.
    int64_t MeasureWidth(const char* text) const;
    // The advance of character code c; 0 when the font has no glyph for it.
    int32_t Advance(int c) const;
    // The glyph of character code c, or null.
    const BitmapFontGlyph* FindGlyph(int c) const;
    int CountGlyphs() const { return static_cast<int>(glyphs_.size()); }

    int32_t GetLineHeight() const { return lineHeight_; }
    void SetLineHeight(int32_t height) { lineHeight_ = height; }
    // Stores glyph under character code c, replacing an earlier one.
    void SetGlyph(int c, const BitmapFontGlyph& glyph) { glyphs_[c] = glyph; }

    int32_t IsLeftAligned() const { return leftAligned_; }
    int32_t IsTopAligned() const { return topAligned_; }
    void SetLeftAligned(int32_t on) { leftAligned_ = on; }
    void SetTopAligned(int32_t on) { topAligned_ = on; }
    const IBlendSpec& GetBlend() const { return blend_; }
    // The glyph image (null when the font was made without one).
    const IBitmapStrip* GetBitmap() const { return bitmap_; }

    // True for the bytes that take no room: 0x80..0xFF and carriage return.
    static bool IsSkippedByte(char c) { return static_cast<unsigned char>(c) >= 0x80 || c == '\r'; }

private:
    int32_t lineHeight_ = 0;
    std::unordered_map<int32_t, BitmapFontGlyph> glyphs_;
    IBlendSpec blend_{IBlendSpec::kMethodAlphaCopy, 1.0f};
    int32_t leftAligned_ = 0;
    int32_t topAligned_ = 0;
    const IBitmapStrip* bitmap_;
};

// Breaks one paragraph (a line whose text may be wider than rect) into lines, anywhere in the
// text rather than at word boundaries: the running sum of advances starts at 0; when adding the
// advance of byte i makes it exceed (rect width - 20), the bytes since the last break up to i - 1
// become a line and counting starts again at 0 with byte i (whose advance is not counted). What is
// left at the end becomes the last line. Every line is left- and top-aligned and carries the
// paragraph's indented flag. An empty paragraph, or one that never exceeds, gives one line with
// the whole text.
std::vector<BitmapTextLine> WrapTextToWidth(const BitmapFont& font, const BitmapTextLine& paragraph,
                                            const IRectangle& rect);

// WrapTextToWidth over every paragraph in order, the results joined. Empties the paragraph list.
std::vector<BitmapTextLine> SplitParagraphs(const BitmapFont& font, std::vector<BitmapTextLine>& paragraphs,
                                            const IRectangle& rect);
