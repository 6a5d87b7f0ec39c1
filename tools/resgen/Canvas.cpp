#include "tools/resgen/Canvas.h"

#include "graphics/AlphaMask.h"
#include "graphics/Blit.h"
#include "graphics/Fill.h"
#include "graphics/Line.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
// Channel-copy blit: the destination's alpha byte (3) takes the source's blue byte (0).
constexpr BlendMode kAlphaFromBlue = kBlendChannelCopyFirst | (3u << 2) | 0u;

int MixChannel(int a, int b, double t)
{
    return static_cast<int>(std::lround(a + (b - a) * t));
}
} // namespace

RasterPixel MixColour(RasterPixel a, RasterPixel b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return MakePixel(MixChannel(PixelAlpha(a), PixelAlpha(b), t), MixChannel(PixelRed(a), PixelRed(b), t),
                     MixChannel(PixelGreen(a), PixelGreen(b), t), MixChannel(PixelBlue(a), PixelBlue(b), t));
}

ImageCanvas::ImageCanvas(int32_t width, int32_t height, RasterPixel matte) : bitmap_(width, height, 4)
{
    FillRectangle(&bitmap_, 0, 0, width, height, matte | 0xFF000000u, 1.0f, kBlendCopy);
}

void ImageCanvas::FillRect(int32_t x, int32_t y, int32_t w, int32_t h, RasterPixel colour, float alpha)
{
    if (alpha == 1.0f)
    {
        FillRectangle(&bitmap_, x, y, w, h, colour, alpha, kBlendCopy);
        return;
    }
    // A partial fill goes through a full mask: FillRectangle would blend the weight itself into
    // the alpha channel, while a mask blends the colour's own alpha and keeps opaque pixels opaque.
    if (w <= 0 || h <= 0) return;
    std::vector<uint8_t> full(static_cast<size_t>(w) * static_cast<size_t>(h), 255);
    DrawAlphaMask(&bitmap_, x, y, colour, full.data(), w, h, alpha, kBlendCopy);
}

void ImageCanvas::PaintMask(const CoverageMask& mask, RasterPixel colour, float alpha)
{
    if (mask.Empty()) return;
    DrawAlphaMask(&bitmap_, mask.x, mask.y, colour, mask.bytes.data(), mask.width, mask.height, alpha,
                  kBlendCopy);
}

void ImageCanvas::Fill(const Shape& shape, RasterPixel colour, float alpha)
{
    PaintMask(Rasterize(shape, Width(), Height()), colour, alpha);
}

void ImageCanvas::FillGradient(const Shape& shape, RasterPixel top, RasterPixel bottom, int32_t y0,
                               int32_t y1, float alpha)
{
    CoverageMask mask = Rasterize(shape, Width(), Height());
    for (int32_t row = 0; row < mask.height; ++row)
    {
        int32_t y = mask.y + row;
        double t = y1 > y0 ? (y + 0.5 - y0) / static_cast<double>(y1 - y0) : 0.0;
        DrawAlphaMaskWithSpan(&bitmap_, mask.x, y, MixColour(top, bottom, t),
                              mask.bytes.data() + static_cast<size_t>(row) * static_cast<size_t>(mask.width),
                              mask.width, mask.width, 1, alpha, kBlendCopy);
    }
}

void ImageCanvas::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, RasterPixel colour, float alpha)
{
    StrokeLine(&bitmap_, x1, y1, x2, y2, colour, alpha, kBlendCopy, false);
}

void ImageCanvas::Text(const GlyphRenderer& font, const std::string& text, int32_t x, int32_t baseline,
                       RasterPixel colour, TextAlign align, float alpha)
{
    int32_t width = font.Measure(text);
    if (align == TextAlign::Centre)
        x -= width / 2;
    else if (align == TextAlign::Right)
        x -= width;
    PaintMask(font.Render(text, x, baseline), colour, alpha);
}

void ImageCanvas::SetAlphaFromSilhouette(const CoverageMask& silhouette, float alpha)
{
    MemoryBitmap coverage(Width(), Height(), 4);
    FillRectangle(&coverage, 0, 0, Width(), Height(), 0xFF000000u, 1.0f, kBlendCopy);
    if (!silhouette.Empty())
        DrawAlphaMask(&coverage, silhouette.x, silhouette.y, 0xFFFFFFFFu, silhouette.bytes.data(),
                      silhouette.width, silhouette.height, alpha, kBlendCopy);
    BlitBitmap(&bitmap_, &coverage, 0, 0, 0, 0, Width(), Height(), 1.0f, kAlphaFromBlue);
}
