#pragma once
// The text interface of the raster library: a font attached to a platform
// font handle that draws UTF-8 strings into a RasterBitmap. Editor (GUI)
// thread only.

#include "graphics/RasterBitmap.h"
#include "platform/types/Win32Types.h"

#include <cstdint>

class RasterFont
{
public:
    RasterFont() = default;
    RasterFont(const RasterFont&) = delete;
    RasterFont& operator=(const RasterFont&) = delete;
    virtual ~RasterFont() = default;

    // Attaches a font handle with the font flags (CachedFont.h) and resets
    // whatever was cached for the previous handle.
    virtual void AttachFontHandle(HFONT font, uint32_t flags) = 0;
    // Each setter stores the value and returns the previous one.
    virtual RasterPixel SetForegroundColor(RasterPixel colour) = 0;
    virtual RasterPixel SetBackgroundColor(RasterPixel colour) = 0;
    virtual RasterPixel SetEffectColor(RasterPixel colour) = 0;
    // 1 transparent, 2 opaque (the background is filled first).
    virtual int32_t SetBackgroundMode(int32_t mode) = 0;
    // The BlendMode and alpha text is drawn with.
    virtual void SetCombineMode(BlendMode mode, float alpha) = 0;
    // Draws (or with DT_CALCRECT measures) text; see CachedFont::DrawString.
    virtual int32_t DrawString(RasterBitmap* bitmap, const char* text, int32_t length, RECT* rect,
                               uint32_t flags) = 0;
    virtual RasterPixel ForegroundColor() const = 0;
    virtual HFONT FontHandle() const = 0;
    // The line height in pixels.
    virtual int32_t TextHeight() const = 0;
};
