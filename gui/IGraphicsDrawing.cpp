// The drawing operations of the editor object: thin wrappers over the raster library that draw into
// the editor's drawing bitmap. Each turns the optional IBlendSpec into a raster mode and weight
// (no blend: method 0 at weight 1.0) and each colour into a RasterPixel word. Only bitmap drawing
// is clipped to the paint clip; fills, lines and text are clipped to the bitmap alone.
#include <algorithm>
#include <cmath>

#include "graphics/Blit.h"
#include "graphics/CachedFont.h"
#include "graphics/Circle.h"
#include "graphics/DibBitmap.h"
#include "graphics/Fill.h"
#include "graphics/Line.h"
#include "graphics/Polygon.h"
#include "graphics/RoundRect.h"
#include "graphics/ScaledBlit.h"
#include "gui/IGraphics.h"
#include "platform/gdi/Gdi.h"

namespace
{

// Lines, outlines and frames are drawn opaque with the plain copy operator, without antialiasing.
constexpr float kLineAlpha = 1.0f;
constexpr BlendMode kLineMode = kBlendCopy;

float WeightOf(const IBlendSpec* blend)
{
    return blend != nullptr ? blend->weight : 1.0f;
}

BlendMode ModeOf(const IBlendSpec* blend)
{
    return blend != nullptr ? blend->RasterMode() : IBlendSpec().RasterMode();
}

} // namespace

bool IGraphics::DrawBitmapRegion(const IBitmapStrip& strip, const IRectangle& dest, int srcX, int srcY,
                                 const IBlendSpec* blend)
{
    if (OffEditorThread()) return false;
    if (strip.bitmap == nullptr || drawing_ == nullptr) return false;
    const IRectangle clipped = dest.Intersect(paintClip_);
    if (clipped.Width() <= 0 || clipped.Height() <= 0) return false;
    BlitBitmap(drawing_, strip.bitmap, clipped.left, clipped.top, srcX + (clipped.left - dest.left),
               srcY + (clipped.top - dest.top), clipped.Width(), clipped.Height(), WeightOf(blend),
               ModeOf(blend));
    return true;
}

bool IGraphics::DrawBitmapFrame(const IBitmapStrip& strip, const IRectangle& rect, int frame,
                                const IBlendSpec* blend)
{
    if (OffEditorThread()) return false;
    int offset = 0;
    if (strip.frames >= 2 && frame >= 2)
    {
        // (frame - 1) x size / frames, rounded to the nearest pixel.
        const double size = strip.framesSideBySide ? strip.width : strip.height;
        offset = static_cast<int>(std::floor((frame - 1) * size / strip.frames + 0.5));
    }
    return strip.framesSideBySide ? DrawBitmapRegion(strip, rect, offset, 0, blend)
                                  : DrawBitmapRegion(strip, rect, 0, offset, blend);
}

bool IGraphics::DrawStyledText(ITextStyle* style, const char* text, IRectangle* rect, bool measure)
{
    if (OffEditorThread()) return false;
    if (text == nullptr || text[0] == '\0') return true;
    if (style == nullptr || rect == nullptr) return false;
    CachedFont* font = GetCachedFont(style);
    if (font == nullptr) return false;
    font->SetForegroundColor(style->colour.ToWord());
    uint32_t flags = DT_NOCLIP;
    if (style->colour.alpha < 255) flags |= kDrawScaleByColourAlpha;
    if (style->alignment == ITextStyle::kAlignCentre) flags |= DT_CENTER;
    if (style->alignment == ITextStyle::kAlignRight) flags |= DT_RIGHT;

    if (measure)
    {
        RECT box{0, 0, 0, 0};
        font->DrawString(drawing_, text, -1, &box, flags | DT_CALCRECT);
        const int w = box.right - box.left;
        const int h = box.bottom - box.top;
        if (style->alignment == ITextStyle::kAlignCentre)
        {
            const int centre =
                static_cast<int>((static_cast<float>(rect->left) + static_cast<float>(rect->right)) / 2.0f);
            rect->left = centre - w / 2;
            rect->right = rect->left + w;
        }
        else if (style->alignment == ITextStyle::kAlignRight)
        {
            rect->left = rect->right - w;
        }
        else
        {
            rect->right = rect->left + w;
        }
        rect->bottom = rect->top + h;
        return true;
    }
    RECT box{rect->left, rect->top, rect->right, rect->bottom};
    font->DrawString(drawing_, text, -1, &box, flags);
    return true;
}

bool IGraphics::PaintRectangle(const IColorARGB& colour, const IRectangle& rect, const IBlendSpec* blend)
{
    if (OffEditorThread()) return false;
    FillRectangle(drawing_, rect.left, rect.top, rect.Width(), rect.Height(), colour.ToWord(),
                  WeightOf(blend), ModeOf(blend));
    return true;
}

bool IGraphics::DrawRectangleOutline(const IColorARGB& colour, const IRectangle& rect)
{
    if (OffEditorThread()) return false;
    const RasterPixel c = colour.ToWord();
    StrokeLine(drawing_, rect.left, rect.top, rect.right, rect.top, c, kLineAlpha, kLineMode, false);
    StrokeLine(drawing_, rect.left, rect.bottom, rect.right, rect.bottom, c, kLineAlpha, kLineMode, false);
    StrokeLine(drawing_, rect.left, rect.top, rect.left, rect.bottom, c, kLineAlpha, kLineMode, false);
    StrokeLine(drawing_, rect.right, rect.top, rect.right, rect.bottom, c, kLineAlpha, kLineMode, false);
    return true;
}

bool IGraphics::DrawVerticalLine(const IColorARGB& colour, int x, int y1, int y2)
{
    if (OffEditorThread()) return false;
    StrokeLine(drawing_, x, y1, x, y2, colour.ToWord(), kLineAlpha, kLineMode, false);
    return true;
}

bool IGraphics::DrawHorizontalLine(const IColorARGB& colour, int y, int x1, int x2)
{
    if (OffEditorThread()) return false;
    StrokeLine(drawing_, x1, y, x2, y, colour.ToWord(), kLineAlpha, kLineMode, false);
    return true;
}

bool IGraphics::DrawHorizontalLineInRect(const IColorARGB& colour, const IRectangle& rect, float fraction)
{
    if (OffEditorThread()) return false;
    const int y = rect.top + static_cast<int>(fraction * static_cast<float>(rect.Height()));
    return DrawHorizontalLine(colour, y, rect.left, rect.right);
}

bool IGraphics::DrawVerticalLineInRect(const IColorARGB& colour, const IRectangle& rect, float fraction)
{
    if (OffEditorThread()) return false;
    const int x = rect.left + static_cast<int>(fraction * static_cast<float>(rect.Width()));
    return DrawVerticalLine(colour, x, rect.top, rect.bottom);
}

bool IGraphics::DrawLine(const IColorARGB& colour, int x1, int y1, int x2, int y2, const IBlendSpec* blend,
                         bool antialias)
{
    if (OffEditorThread()) return false;
    StrokeLine(drawing_, x1, y1, x2, y2, colour.ToWord(), WeightOf(blend), ModeOf(blend), antialias);
    return true;
}

bool IGraphics::DrawPoint(const IColorARGB& colour, int x, int y, const IBlendSpec* blend)
{
    if (OffEditorThread()) return false;
    PlotPixel(drawing_, x, y, colour.ToWord(), WeightOf(blend), ModeOf(blend));
    return true;
}

bool IGraphics::DrawRadialLine(const IColorARGB& colour, float cx, float cy, float angle, float rMin,
                               float rMax, const IBlendSpec* blend, bool antialias)
{
    if (OffEditorThread()) return false;
    const float sinA = std::sin(angle);
    const float cosA = std::cos(angle);
    StrokeFloatLine(drawing_, cx + rMin * sinA, cy - rMin * cosA, cx + rMax * sinA, cy - rMax * cosA,
                    colour.ToWord(), WeightOf(blend), ModeOf(blend), antialias);
    return true;
}

bool IGraphics::DrawArc(const IColorARGB& colour, float cx, float cy, float r, float minAngle, float maxAngle,
                        const IBlendSpec* blend, bool antialias)
{
    if (OffEditorThread()) return false;
    StrokeArc(drawing_, cx, cy, r, minAngle, maxAngle, colour.ToWord(), WeightOf(blend), ModeOf(blend),
              antialias);
    return true;
}

bool IGraphics::DrawCircle(const IColorARGB& colour, float cx, float cy, float r, const IBlendSpec* blend,
                           bool antialias)
{
    if (OffEditorThread()) return false;
    StrokeCircle(drawing_, cx, cy, r, colour.ToWord(), WeightOf(blend), ModeOf(blend), antialias);
    return true;
}

bool IGraphics::PaintCircle(const IColorARGB& colour, float cx, float cy, float r, const IBlendSpec* blend,
                            bool antialias)
{
    if (OffEditorThread()) return false;
    FillCircle(drawing_, cx, cy, r, colour.ToWord(), WeightOf(blend), ModeOf(blend), antialias);
    return true;
}

bool IGraphics::PaintConvexPolygon(const IColorARGB& colour, const int* x, const int* y, int count,
                                   const IBlendSpec* blend)
{
    if (OffEditorThread()) return false;
    if (x == nullptr || y == nullptr || count < 3) return false;
    FillConvexPolygon(drawing_, x, y, count, colour.ToWord(), WeightOf(blend), ModeOf(blend));
    return true;
}

bool IGraphics::PaintTriangle(const IColorARGB& colour, int x1, int y1, int x2, int y2, int x3, int y3,
                              const IBlendSpec* blend)
{
    if (OffEditorThread()) return false;
    FillTriangle(drawing_, x1, y1, x2, y2, x3, y3, colour.ToWord(), WeightOf(blend), ModeOf(blend));
    return true;
}

bool IGraphics::PaintRoundRectangle(const IColorARGB& colour, const IRectangle& rect, int radius,
                                    const IBlendSpec* blend, bool antialias)
{
    if (OffEditorThread()) return false;
    const int w = rect.Width();
    const int h = rect.Height();
    if (w <= 0 || h <= 0) return false;
    const RasterPixel c = colour.ToWord();
    const float weight = WeightOf(blend);
    const BlendMode mode = ModeOf(blend);
    const int r = std::min(radius, std::min(w, h) / 2);
    if (r < 1)
    {
        FillRectangle(drawing_, rect.left, rect.top, w, h, c, weight, mode);
        return true;
    }
    // Three bands (the middle one full width) and a disc at each corner. The discs overlap the bands,
    // so a translucent colour blends twice there; the shape is exact for opaque colours.
    FillRectangle(drawing_, rect.left + r, rect.top, w - 2 * r, r, c, weight, mode);
    FillRectangle(drawing_, rect.left, rect.top + r, w, h - 2 * r, c, weight, mode);
    FillRectangle(drawing_, rect.left + r, rect.bottom - r, w - 2 * r, r, c, weight, mode);
    const float rf = static_cast<float>(r);
    const float left = static_cast<float>(rect.left) + rf;
    const float right = static_cast<float>(rect.right - 1) - rf;
    const float top = static_cast<float>(rect.top) + rf;
    const float bottom = static_cast<float>(rect.bottom - 1) - rf;
    FillCircle(drawing_, left, top, rf, c, weight, mode, antialias);
    FillCircle(drawing_, right, top, rf, c, weight, mode, antialias);
    FillCircle(drawing_, right, bottom, rf, c, weight, mode, antialias);
    FillCircle(drawing_, left, bottom, rf, c, weight, mode, antialias);
    return true;
}

bool IGraphics::DrawRoundRectangle(const IColorARGB& colour, const IRectangle& rect, int radius,
                                   const IBlendSpec* blend, bool antialias)
{
    if (OffEditorThread()) return false;
    StrokeRoundRect(drawing_, static_cast<float>(rect.left), static_cast<float>(rect.top),
                    static_cast<float>(rect.Width()), static_cast<float>(rect.Height()), radius,
                    colour.ToWord(), WeightOf(blend), ModeOf(blend), antialias);
    return true;
}

bool IGraphics::PaintRotatedBitmap(const IBitmapStrip& strip, int cx, int cy, float angle,
                                   const IBlendSpec* blend)
{
    if (OffEditorThread()) return false;
    if (strip.bitmap == nullptr || drawing_ == nullptr) return false;
    const int w = strip.FrameWidth();
    const int h = strip.FrameHeight();
    if (w <= 0 || h <= 0) return false;
    BlitRotated(drawing_, strip.bitmap, cx - w / 2, cy - h / 2, w, h, 0.0f, 0.0f, static_cast<float>(w),
                static_cast<float>(h), angle, true, WeightOf(blend), ModeOf(blend) | kBlendFilterBilinear,
                0.0f, 0.0f);
    return true;
}
