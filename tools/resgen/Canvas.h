#pragma once
// A drawing surface for one generated image: an opaque MemoryBitmap painted with the raster
// library (fills, lines, alpha masks, blits), plus the step that gives it transparency.
//
// Transparent images are drawn over an opaque matte of the colour their edges have, then their
// alpha channel is replaced by the coverage of their silhouette (a channel-copy blit). Edge
// pixels thus keep a true colour with a partial alpha instead of a colour darkened toward the
// matte, which is what a straight-alpha image needs when it is later blended with source alpha.

#include "graphics/MemoryBitmap.h"
#include "tools/resgen/GlyphRenderer.h"
#include "tools/resgen/Shapes.h"

#include <string>

// Linear mix of two colours (all four channels), t = 0 gives a, t = 1 gives b.
RasterPixel MixColour(RasterPixel a, RasterPixel b, double t);
inline constexpr RasterPixel Rgb(int r, int g, int b)
{
    return MakePixel(255, r, g, b);
}

enum class TextAlign
{
    Left,
    Centre,
    Right
};

class ImageCanvas
{
public:
    // An opaque canvas filled with matte.
    ImageCanvas(int32_t width, int32_t height, RasterPixel matte);
    ImageCanvas(const ImageCanvas&) = delete;
    ImageCanvas& operator=(const ImageCanvas&) = delete;

    int32_t Width() const { return bitmap_.Width(); }
    int32_t Height() const { return bitmap_.Height(); }
    MemoryBitmap& Bitmap() { return bitmap_; }

    // Fills and shapes blend the colour (its alpha included) at the given alpha; on an opaque
    // canvas an opaque colour leaves every pixel opaque.
    void FillRect(int32_t x, int32_t y, int32_t w, int32_t h, RasterPixel colour, float alpha = 1.0f);
    void Fill(const Shape& shape, RasterPixel colour, float alpha = 1.0f);
    // Fills the shape with a vertical gradient from `top` at row y0 to `bottom` at row y1
    // (rows outside take the nearer end colour).
    void FillGradient(const Shape& shape, RasterPixel top, RasterPixel bottom, int32_t y0, int32_t y1,
                      float alpha = 1.0f);
    void PaintMask(const CoverageMask& mask, RasterPixel colour, float alpha = 1.0f);
    // A one-pixel line, end points inclusive.
    void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, RasterPixel colour, float alpha = 1.0f);
    // Text with its baseline at y; x is the left end, the centre or the right end by align.
    void Text(const GlyphRenderer& font, const std::string& text, int32_t x, int32_t baseline,
              RasterPixel colour, TextAlign align = TextAlign::Left, float alpha = 1.0f);
    // Replaces the alpha channel by the silhouette's coverage times alpha (0 outside it).
    void SetAlphaFromSilhouette(const CoverageMask& silhouette, float alpha = 1.0f);

private:
    MemoryBitmap bitmap_;
};
