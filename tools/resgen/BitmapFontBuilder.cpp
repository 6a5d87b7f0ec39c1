#include "tools/resgen/BitmapFontBuilder.h"

#include "tools/resgen/GlyphRenderer.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
struct PlacedGlyph
{
    int code;
    GlyphImage glyph;
    int32_t x = 0, y = 0; // cell in the image
};

constexpr int32_t kSpacing = 1; // empty pixels between cells, so a cell never bleeds into the next
} // namespace

bool BuildBitmapFont(const std::string& faceFile, const BitmapFontStyle& style, BitmapFontOutput* out,
                     std::string* error)
{
    GlyphRenderer renderer;
    if (!renderer.Load(faceFile, style.pixelSize, error)) return false;
    FontMetrics metrics = renderer.Metrics();
    int32_t base = static_cast<int32_t>(std::lround(metrics.lineHeight * 0.5 + metrics.capHeight * 0.5));

    // Shelf packing in code order: left to right, a new row when the image width is reached.
    std::vector<PlacedGlyph> glyphs;
    int32_t rowHeight = 0;
    for (int code = kFirstFontChar; code <= kLastFontChar; ++code)
    {
        glyphs.push_back({code, renderer.Glyph(static_cast<uint32_t>(code))});
        rowHeight = std::max(rowHeight, glyphs.back().glyph.mask.height);
    }
    int32_t penX = kSpacing, penY = kSpacing;
    for (PlacedGlyph& g : glyphs)
    {
        if (g.glyph.mask.Empty()) continue; // no cell: x, y, width and height stay 0
        if (penX + g.glyph.mask.width + kSpacing > kFontImageWidth)
        {
            penX = kSpacing;
            penY += rowHeight + kSpacing;
        }
        g.x = penX;
        g.y = penY;
        penX += g.glyph.mask.width + kSpacing;
    }
    int32_t height = penY + rowHeight + kSpacing;

    auto image = std::make_unique<ImageCanvas>(kFontImageWidth, height, style.colour);
    CoverageMask silhouette;
    silhouette.width = kFontImageWidth;
    silhouette.height = height;
    silhouette.bytes.assign(static_cast<size_t>(kFontImageWidth) * static_cast<size_t>(height), 0);
    for (const PlacedGlyph& g : glyphs)
        for (int32_t row = 0; row < g.glyph.mask.height; ++row)
            std::copy_n(g.glyph.mask.bytes.begin() + static_cast<ptrdiff_t>(row) * g.glyph.mask.width,
                        g.glyph.mask.width,
                        silhouette.bytes.begin() + static_cast<ptrdiff_t>(g.y + row) * kFontImageWidth + g.x);
    image->SetAlphaFromSilhouette(silhouette);

    tinyxml2::XMLPrinter printer;
    printer.PushHeader(false, true);
    printer.OpenElement("font");
    printer.OpenElement("info");
    printer.PushAttribute("face", style.faceName.c_str());
    printer.PushAttribute("size", style.pixelSize);
    printer.PushAttribute("bold", 0);
    printer.PushAttribute("italic", 0);
    printer.PushAttribute("charset", "");
    printer.PushAttribute("unicode", 1);
    printer.PushAttribute("stretchH", 100);
    printer.PushAttribute("smooth", 1);
    printer.PushAttribute("aa", 1);
    printer.PushAttribute("padding", "0,0,0,0");
    printer.PushAttribute("spacing", "1,1");
    printer.CloseElement();
    printer.OpenElement("common");
    printer.PushAttribute("lineHeight", metrics.lineHeight);
    printer.PushAttribute("base", base);
    printer.PushAttribute("scaleW", kFontImageWidth);
    printer.PushAttribute("scaleH", height);
    printer.PushAttribute("pages", 1);
    printer.PushAttribute("packed", 0);
    printer.CloseElement();
    printer.OpenElement("pages");
    printer.OpenElement("page");
    printer.PushAttribute("id", 0);
    printer.PushAttribute("file", (style.baseName + ".png").c_str());
    printer.CloseElement();
    printer.CloseElement();
    printer.OpenElement("chars");
    printer.PushAttribute("count", static_cast<int>(glyphs.size()));
    for (const PlacedGlyph& g : glyphs)
    {
        bool empty = g.glyph.mask.Empty();
        printer.OpenElement("char");
        printer.PushAttribute("id", g.code);
        printer.PushAttribute("x", g.x);
        printer.PushAttribute("y", g.y);
        printer.PushAttribute("width", empty ? 0 : g.glyph.mask.width);
        printer.PushAttribute("height", empty ? 0 : g.glyph.mask.height);
        printer.PushAttribute("xoffset", empty ? 0 : g.glyph.mask.x);
        printer.PushAttribute("yoffset", empty ? 0 : base + g.glyph.mask.y);
        printer.PushAttribute("xadvance", g.glyph.advance);
        printer.PushAttribute("page", 0);
        printer.PushAttribute("chnl", 15);
        printer.CloseElement();
    }
    printer.CloseElement();
    printer.CloseElement();

    out->image = std::move(image);
    out->description = printer.CStr();
    return true;
}
