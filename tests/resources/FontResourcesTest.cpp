// The five bitmap-font descriptions parse, describe every printable ASCII character, and keep
// every glyph inside its glyph image, in the colour the font's name promises.
#include "tests/resources/ResourceFiles.h"

#include "graphics/Fill.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <map>

namespace
{
struct GlyphBox
{
    int x, y, width, height, xoffset, yoffset, xadvance;
};

struct Description
{
    bool parsed = false;
    int lineHeight = 0;
    std::map<int, GlyphBox> glyphs;
    int duplicates = 0;
};

Description ReadDescription(const std::string& base)
{
    Description d;
    std::optional<std::string> text = ReadFileBytes(SourceRoot() + "/resources/fonts/" + base + ".fnt");
    tinyxml2::XMLDocument doc;
    if (!text || doc.Parse(text->c_str()) != tinyxml2::XML_SUCCESS) return d;
    tinyxml2::XMLElement* font = doc.FirstChildElement("font");
    tinyxml2::XMLElement* common = font ? font->FirstChildElement("common") : nullptr;
    tinyxml2::XMLElement* chars = font ? font->FirstChildElement("chars") : nullptr;
    if (!common || !chars || common->QueryIntAttribute("lineHeight", &d.lineHeight) != tinyxml2::XML_SUCCESS)
        return d;
    d.parsed = true;
    for (auto* c = chars->FirstChildElement("char"); c; c = c->NextSiblingElement("char"))
    {
        GlyphBox g{};
        int id = -1;
        // Every character gives all eight attributes the editor reads.
        bool complete = c->QueryIntAttribute("id", &id) == tinyxml2::XML_SUCCESS &&
                        c->QueryIntAttribute("x", &g.x) == tinyxml2::XML_SUCCESS &&
                        c->QueryIntAttribute("y", &g.y) == tinyxml2::XML_SUCCESS &&
                        c->QueryIntAttribute("width", &g.width) == tinyxml2::XML_SUCCESS &&
                        c->QueryIntAttribute("height", &g.height) == tinyxml2::XML_SUCCESS &&
                        c->QueryIntAttribute("xoffset", &g.xoffset) == tinyxml2::XML_SUCCESS &&
                        c->QueryIntAttribute("yoffset", &g.yoffset) == tinyxml2::XML_SUCCESS &&
                        c->QueryIntAttribute("xadvance", &g.xadvance) == tinyxml2::XML_SUCCESS;
        EXPECT_TRUE(complete) << base << ": char " << id << " lacks an attribute";
        d.duplicates += d.glyphs.count(id) ? 1 : 0;
        d.glyphs[id] = g;
    }
    return d;
}

struct FontCase
{
    const char* base;
    int pixels;
    int colour; // 0 black, 1 white, -1 any
};

const FontCase kFonts[] = {
    {"Calibri_10px", 10, -1},      {"Calibri_12px", 12, -1},      {"Calibri_14px", 14, -1},
    {"Calibri_12px_white", 12, 1}, {"Calibri_12px_black", 12, 0},
};
} // namespace

TEST(Fonts, DescriptionsCoverPrintableAsciiOnce)
{
    for (const FontCase& f : kFonts)
    {
        Description d = ReadDescription(f.base);
        ASSERT_TRUE(d.parsed) << f.base << " does not parse";
        EXPECT_GE(d.lineHeight, f.pixels) << f.base;
        EXPECT_LE(d.lineHeight, f.pixels * 3 / 2) << f.base;
        EXPECT_EQ(d.duplicates, 0) << f.base;
        for (int code = 32; code <= 126; ++code)
        {
            ASSERT_TRUE(d.glyphs.count(code)) << f.base << " lacks character " << code;
            EXPECT_GT(d.glyphs[code].xadvance, 0) << f.base << " character " << code;
        }
        EXPECT_EQ(d.glyphs.size(), 95u) << f.base;
    }
}

TEST(Fonts, GlyphsLieInsideTheirImageAndLineBox)
{
    for (const FontCase& f : kFonts)
    {
        Description d = ReadDescription(f.base);
        std::unique_ptr<RasterBitmap> image =
            LoadCheckoutPng(std::string("resources/fonts/") + f.base + ".png");
        ASSERT_TRUE(image) << f.base;
        for (const auto& [code, g] : d.glyphs)
        {
            EXPECT_GE(g.x, 0) << f.base << " " << code;
            EXPECT_GE(g.y, 0) << f.base << " " << code;
            EXPECT_LE(g.x + g.width, image->Width()) << f.base << " " << code;
            EXPECT_LE(g.y + g.height, image->Height()) << f.base << " " << code;
            if (g.width > 0)
            {
                EXPECT_GE(g.yoffset, 0) << f.base << " " << code << " starts above the line";
                EXPECT_LE(g.yoffset + g.height, d.lineHeight + 1)
                    << f.base << " " << code << " ends below it";
            }
        }
        EXPECT_EQ(d.glyphs[' '].width, 0) << "a space has no pixels";
    }
}

TEST(Fonts, CapitalsSitCentredInTheLineBox)
{
    // The editor centres a line box in a control's rectangle; centred capitals centre labels.
    for (const FontCase& f : kFonts)
    {
        Description d = ReadDescription(f.base);
        const GlyphBox& h = d.glyphs['H'];
        int twiceCentre = 2 * h.yoffset + h.height;
        EXPECT_NEAR(twiceCentre, d.lineHeight, 2) << f.base;
    }
}

TEST(Fonts, GlyphImagesCarryTheFontColourInTheirAlpha)
{
    for (const FontCase& f : kFonts)
    {
        Description d = ReadDescription(f.base);
        std::unique_ptr<RasterBitmap> image =
            LoadCheckoutPng(std::string("resources/fonts/") + f.base + ".png");
        ASSERT_TRUE(image);
        const GlyphBox& m = d.glyphs['M'];
        int covered = 0, partial = 0, maxAlpha = 0;
        for (int y = m.y; y < m.y + m.height; ++y)
            for (int x = m.x; x < m.x + m.width; ++x)
            {
                RasterPixel p = ReadPixel(image.get(), x, y);
                maxAlpha = std::max(maxAlpha, PixelAlpha(p));
                covered += PixelAlpha(p) > 0;
                partial += PixelAlpha(p) > 0 && PixelAlpha(p) < 255;
                if (PixelAlpha(p) > 0 && f.colour >= 0)
                {
                    EXPECT_EQ(p & 0xFFFFFFu, f.colour == 1 ? 0xFFFFFFu : 0u) << f.base;
                }
            }
        // Coverage, not a solid block: strokes nearly opaque, anti-aliased edges partly so.
        EXPECT_GE(maxAlpha, 200) << f.base;
        EXPECT_GT(partial, 0) << f.base;
        EXPECT_LT(covered, m.width * m.height) << f.base;
        EXPECT_GT(covered, m.width * 2) << f.base;
        // Outside every glyph the image is transparent: the top-left spacing pixel.
        EXPECT_EQ(PixelAlpha(ReadPixel(image.get(), 0, 0)), 0) << f.base;
    }
}
