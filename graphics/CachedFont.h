#pragma once
// Text drawn from a cache of 8-bit glyph coverage masks, rendered once per
// character through the platform's text drawing into a shared scratch bitmap
// and then blended with any BlendMode operator and alpha (so translucent text
// works on 32-bit bitmaps), or natively through the platform's DrawText on a
// device context.
//
// Drawing flags (DrawString): DT_CENTER 1, DT_RIGHT 2, DT_VCENTER 4,
// DT_BOTTOM 8, DT_SINGLELINE 0x20, DT_NOCLIP 0x100, DT_CALCRECT 0x400, plus
// kDrawScaleByColourAlpha (scale the alpha by the text colour's alpha and use
// the cached path) and kDrawForceCached.
//
// Process-wide state (live-font count, the two scratch bitmaps, the
// once-per-process platform probes) is shared by all fonts and guarded by one
// lock, so fonts may be used from more than one editor thread; the cached
// blending itself touches only the font and the destination.

#include "framework/HeapBuffer.h"
#include "graphics/RasterFont.h"

#include <cstdint>

// Font flags.
inline constexpr uint32_t FontVertical = 0x1;          // pen runs down the page, masks turned
inline constexpr uint32_t FontVerticalUpward = 0x2;    // with FontVertical: turned the other way, pen runs up
inline constexpr uint32_t FontPrerender = 0x4;         // render 0..127 at attach; never cache 128 on
inline constexpr uint32_t FontBlurred = 0x10;          // blur each glyph before storing it
inline constexpr uint32_t FontInverted = 0x20;         // store 255 - coverage
inline constexpr uint32_t FontMonochrome = 0x40;       // threshold coverage at 131
inline constexpr uint32_t FontShadowed = 0x80;         // thresholded, with a shadow in the effect colour
inline constexpr uint32_t FontOutlined = 0x100;        // thresholded, with an outline in the effect colour
inline constexpr uint32_t FontOwnsHandle = 0x200;      // delete the handle when replaced or destroyed
inline constexpr uint32_t FontNativeDrawing = 0x400;   // DrawString may draw through the platform directly
inline constexpr uint32_t FontCachedOnlyFlags = 0x1F7; // any of these forces the cached path

// Extra DrawString flags.
inline constexpr uint32_t kDrawScaleByColourAlpha = 0x40000000;
inline constexpr uint32_t kDrawForceCached = 0x80000000;

class DibBitmap;

class CachedFont : public RasterFont
{
public:
    // One glyph: coverage offset (1-based position in the coverage store; 0 not
    // rendered yet; -1 nothing to draw), mask width and height, advance, and the
    // character code (the sort key of the entries from 128 on).
    struct GlyphEntry
    {
        int32_t offset;
        int32_t width;
        int32_t height;
        int32_t advance;
        int32_t code;
    };

    CachedFont();
    ~CachedFont() override;

    // Deletes the old handle when owned and replaced; reads the line height
    // from the platform; empties the cache; with FontPrerender renders 0..127.
    void AttachFontHandle(HFONT font, uint32_t flags) override;
    RasterPixel SetForegroundColor(RasterPixel colour) override;
    RasterPixel SetBackgroundColor(RasterPixel colour) override;
    RasterPixel SetEffectColor(RasterPixel colour) override;
    int32_t SetBackgroundMode(int32_t mode) override;
    void SetCombineMode(BlendMode mode, float alpha) override;

    // Draws text (length bytes, -1 up to the zero byte) at rect (left, top,
    // right, bottom), aligned by the flags and clipped to rect unless
    // DT_NOCLIP. With DT_CALCRECT it only measures: right = left + width,
    // bottom = top + height. Returns the text's height (vertical layouts: its
    // width); 0 for a null bitmap (unless measuring), a null text or rect, or
    // an alpha of 0 or not a number. The cached path takes the alpha as it
    // comes: above 1.0 each glyph pixel's weight min(256, c x w / 256) grows
    // toward full, below 0 the operators other than copy subtract. Never
    // reads past length bytes.
    int32_t DrawString(RasterBitmap* bitmap, const char* text, int32_t length, RECT* rect,
                       uint32_t flags) override;

    RasterPixel ForegroundColor() const override { return textColour_; }
    HFONT FontHandle() const override { return font_; }
    int32_t TextHeight() const override { return lineHeight_; }

    uint32_t Flags() const { return flags_; }
    // The entry of a character, or null when there is none (yet).
    const GlyphEntry* FindGlyph(uint32_t character) const;
    // Renders the character's mask into the cache. False when it cannot be
    // rendered (font too large, platform without wide text for characters
    // from 128 on, FontPrerender for characters from 128 on).
    bool RenderGlyph(uint32_t character);
    // The coverage bytes of an entry (rows of entry.width, top row first).
    const uint8_t* Coverage(const GlyphEntry& entry) const;
    // Fonts alive in the process.
    static int LiveFontCount();
    // True while the shared scratch bitmaps exist.
    static bool HasScratchBitmaps();

private:
    int32_t DrawCached(RasterBitmap* bitmap, const char* text, int32_t length, RECT* rect, uint32_t flags);
    int32_t MeasureCached(const char* text, int32_t length, RECT* rect, uint32_t flags);
    int32_t DrawNative(RasterBitmap* bitmap, const char* text, int32_t length, RECT* rect, uint32_t flags);
    bool BlendGlyph(RasterBitmap* bitmap, const GlyphEntry& entry, int32_t x, int32_t y, const RECT& clip);
    // The entry for drawing character c, rendering it first when needed; null
    // when it is to be skipped without advance.
    const GlyphEntry* GlyphForDrawing(uint32_t c);
    GlyphEntry* MutableGlyph(uint32_t character);
    int32_t FurtherCount() const;
    GlyphEntry* FurtherEntries() const;
    bool IsVertical() const { return (flags_ & FontVertical) != 0; }
    bool IsUpward() const
    {
        return (flags_ & (FontVertical | FontVerticalUpward)) == (FontVertical | FontVerticalUpward);
    }

    RasterPixel textColour_ = 0;
    RasterPixel backgroundColour_ = 0xFFFFFFFF;
    RasterPixel effectColour_ = 0xFFFFFFFF;
    int32_t backgroundMode_ = 1;
    BlendMode combineMode_ = 0;
    float alpha_ = 1.0f;
    uint32_t flags_ = 0;
    int32_t lineHeight_ = 0;
    GlyphEntry low_[128] = {};
    HeapBuffer further_{4096};
    HeapBuffer coverage_{65536};
    HFONT font_ = nullptr;
};
