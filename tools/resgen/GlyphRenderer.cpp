#include "tools/resgen/GlyphRenderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

struct GlyphRenderer::Impl
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;

    ~Impl()
    {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

GlyphRenderer::GlyphRenderer() : impl_(std::make_unique<Impl>()) {}
GlyphRenderer::~GlyphRenderer() = default;

bool GlyphRenderer::Load(const std::string& path, int32_t pixelSize, std::string* error)
{
    impl_ = std::make_unique<Impl>();
    auto fail = [&](const std::string& what)
    {
        if (error) *error = what;
        impl_ = std::make_unique<Impl>();
        return false;
    };
    if (pixelSize < 1 || pixelSize > 256) return fail("font size out of range");
    if (FT_Init_FreeType(&impl_->library) != 0) return fail("FreeType could not start");
    if (FT_New_Face(impl_->library, path.c_str(), 0, &impl_->face) != 0)
        return fail("cannot load the font " + path);
    if (FT_Set_Pixel_Sizes(impl_->face, 0, static_cast<FT_UInt>(pixelSize)) != 0)
        return fail("the font " + path + " has no size " + std::to_string(pixelSize));
    return true;
}

FontMetrics GlyphRenderer::Metrics() const
{
    FontMetrics m;
    if (!impl_->face) return m;
    const FT_Size_Metrics& s = impl_->face->size->metrics;
    m.ascender = static_cast<int32_t>((s.ascender + 32) >> 6);
    m.descender = static_cast<int32_t>((-s.descender + 32) >> 6);
    m.lineHeight = static_cast<int32_t>((s.height + 32) >> 6);
    GlyphImage h = Glyph('H');
    m.capHeight = -h.mask.y;
    return m;
}

GlyphImage GlyphRenderer::Glyph(uint32_t code) const
{
    GlyphImage g;
    FT_Face face = impl_->face;
    if (!face) return g;
    FT_UInt index = FT_Get_Char_Index(face, code);
    if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_LIGHT) != 0 ||
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
        return g;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    g.advance = static_cast<int32_t>((face->glyph->advance.x + 32) >> 6);
    g.mask.x = face->glyph->bitmap_left;
    g.mask.y = -face->glyph->bitmap_top;
    g.mask.width = static_cast<int32_t>(bitmap.width);
    g.mask.height = static_cast<int32_t>(bitmap.rows);
    if (g.mask.Empty() || bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
    {
        g.mask.width = g.mask.height = 0;
        return g;
    }
    g.mask.bytes.resize(static_cast<size_t>(g.mask.width) * static_cast<size_t>(g.mask.height));
    for (int32_t row = 0; row < g.mask.height; ++row)
        std::copy_n(bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch, g.mask.width,
                    g.mask.bytes.begin() + static_cast<ptrdiff_t>(row) * g.mask.width);
    return g;
}

int32_t GlyphRenderer::Measure(const std::string& text) const
{
    int32_t width = 0;
    for (unsigned char c : text)
        width += Glyph(c).advance;
    return width;
}

CoverageMask GlyphRenderer::Render(const std::string& text, int32_t left, int32_t baseline) const
{
    CoverageMask result;
    int32_t pen = left;
    for (unsigned char c : text)
    {
        GlyphImage g = Glyph(c);
        if (!g.mask.Empty())
        {
            g.mask.x += pen;
            g.mask.y += baseline;
            result = MaxMasks(result, g.mask);
        }
        pen += g.advance;
    }
    return result;
}
