#include "platform/gdi/FontFace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace
{

// The face asked for after the requested one: the stand-in for every system face.
constexpr const char* kFallbackFamily = "DejaVu Sans";

FT_Library Library()
{
    // Created once and kept for the life of the process (fonts may outlive any owner).
    static FT_Library library = []
    {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) return static_cast<FT_Library>(nullptr);
        return lib;
    }();
    return library;
}

int RoundToInt(double v)
{
    return static_cast<int>(std::lround(v));
}

} // namespace

bool MatchFontFile(const char* family, int weight, bool italic, FontMatch& out)
{
    // fontconfig's configuration is the process's own, shared with the host and its libraries: it
    // is loaded when nobody did yet and never finalised here (the host may still hold fonts of it).
    static const bool initialised = FcInit() == FcTrue;
    if (!initialised) return false;

    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    if (family && family[0]) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(kFallbackFamily));
    const int openTypeWeight = std::clamp(weight <= 0 ? 400 : weight, 1, 1000);
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(openTypeWeight));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;

    bool ok = false;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
    {
        out.file = reinterpret_cast<const char*>(file);
        int index = 0;
        out.index = FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch ? index : 0;
        FcChar8* matchedFamily = nullptr;
        out.family = FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch && matchedFamily
                         ? reinterpret_cast<const char*>(matchedFamily)
                         : "";
        ok = true;
    }
    FcPatternDestroy(match);
    return ok;
}

struct FontFace::Impl
{
    FT_Face face = nullptr;
    bool monochrome = false;
};

FontFace::~FontFace()
{
    if (impl_)
    {
        if (impl_->face) FT_Done_Face(impl_->face);
        delete impl_;
    }
}

std::unique_ptr<FontFace> FontFace::Load(const FontMatch& match, int height, bool monochrome)
{
    FT_Library library = Library();
    if (!library || height == 0) return nullptr;

    FT_Face face = nullptr;
    if (FT_New_Face(library, match.file.c_str(), match.index, &face) != 0) return nullptr;
    auto result = std::make_unique<FontFace>();
    result->impl_ = new Impl{face, monochrome};
    result->family = match.family;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return nullptr;

    // Cell metrics come from the Windows ascent and descent of the OS/2 table (the
    // horizontal header when there is none), so a cell height request is met exactly.
    double unitsAscent = face->ascender;
    double unitsDescent = -static_cast<double>(face->descender);
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0)
    {
        unitsAscent = os2->usWinAscent;
        unitsDescent = os2->usWinDescent;
    }
    const double unitsCell = unitsAscent + unitsDescent;
    if (unitsCell <= 0) return nullptr;

    FontMetrics& m = result->metrics;
    double emPixels = 0;
    if (height > 0)
    {
        emPixels = height * face->units_per_EM / unitsCell;
        m.height = height;
        m.ascent = RoundToInt(unitsAscent * height / unitsCell);
        m.descent = height - m.ascent;
    }
    else
    {
        emPixels = -static_cast<double>(height);
        const double scale = emPixels / face->units_per_EM;
        m.ascent = RoundToInt(unitsAscent * scale);
        m.descent = RoundToInt(unitsDescent * scale);
        m.height = m.ascent + m.descent;
    }
    m.internalLeading = std::max(0, m.height - RoundToInt(emPixels));
    const double scale = emPixels / face->units_per_EM;
    m.aveCharWidth =
        os2 && os2->version != 0xFFFF ? RoundToInt(os2->xAvgCharWidth * scale) : RoundToInt(emPixels / 2);
    m.maxCharWidth = RoundToInt((face->bbox.xMax - face->bbox.xMin) * scale);

    const auto charSize = static_cast<FT_F26Dot6>(std::lround(emPixels * 64.0));
    if (charSize <= 0 || FT_Set_Char_Size(face, 0, charSize, 72, 72) != 0) return nullptr;
    return result;
}

const GlyphImage& FontFace::Glyph(char32_t character)
{
    auto found = glyphs_.find(character);
    if (found != glyphs_.end()) return found->second;

    GlyphImage& glyph = glyphs_[character];
    FT_Face face = impl_->face;
    const FT_UInt index = FT_Get_Char_Index(face, character);
    const FT_Int32 loadFlags =
        FT_LOAD_DEFAULT | (impl_->monochrome ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Glyph(face, index, loadFlags) != 0) return glyph; // nothing to draw, no advance
    FT_GlyphSlot slot = face->glyph;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, impl_->monochrome ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
        return glyph;

    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.coverage.assign(static_cast<size_t>(glyph.width) * glyph.rows, 0);
    for (int y = 0; y < glyph.rows; ++y)
    {
        const unsigned char* src = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        uint8_t* dst = glyph.coverage.data() + static_cast<size_t>(y) * glyph.width;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        {
            for (int x = 0; x < glyph.width; ++x)
                dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        }
        else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
        {
            const int levels = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
            for (int x = 0; x < glyph.width; ++x)
                dst[x] = levels == 255 ? src[x] : static_cast<uint8_t>(src[x] * 255 / levels);
        }
    }
    return glyph;
}
