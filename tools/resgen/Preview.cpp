#include "tools/resgen/Preview.h"

#include "graphics/Blit.h"
#include "graphics/PngLoader.h"
#include "tools/resgen/ImageCatalog.h"
#include "tools/resgen/PngWriter.h"
#include "tools/resgen/SkinLayout.h"

#include <tinyxml2.h>

#include <fstream>
#include <map>
#include <sstream>

namespace
{
struct Placement
{
    int position;
    int imageId;
    int frame; // 1-based
};

// Which image sits on which skin position (the first of each kind of control).
const Placement kPlacements[] = {
    {0, 109, 80},  {1, 148, 12},  {3, 106, 1},   {4, 109, 30},  {5, 146, 2},   {6, 147, 16},  {7, 108, 64},
    {8, 109, 64},  {9, 107, 2},   {10, 107, 1},  {11, 107, 1},  {12, 107, 2},  {13, 107, 1},  {14, 107, 1},
    {16, 107, 1},  {26, 127, 1},  {125, 107, 1}, {27, 112, 30}, {28, 112, 10}, {29, 112, 1},  {30, 112, 1},
    {129, 130, 2}, {130, 133, 1}, {131, 132, 1}, {132, 129, 1}, {133, 131, 1}, {134, 128, 1}, {135, 135, 1},
    {136, 122, 1}, {137, 125, 1}, {140, 126, 1}, {141, 151, 1}, {156, 123, 1}, {158, 134, 1}, {159, 134, 2},
    {160, 134, 1}, {161, 134, 1}, {162, 134, 1}, {146, 122, 1}, {147, 125, 1}, {148, 129, 1}, {149, 131, 1},
    {150, 128, 1}, {151, 124, 1}, {152, 137, 1}, {153, 136, 1},
};

struct Glyph
{
    int x, y, w, h, xo, yo, adv;
};

struct Font
{
    std::unique_ptr<RasterBitmap> image;
    std::map<int, Glyph> glyphs;
    int lineHeight = 0;
};

bool LoadFont(const std::string& root, const std::string& base, Font* font)
{
    font->image.reset(LoadPngFile((root + "/resources/fonts/" + base + ".png").c_str()));
    std::ifstream in(root + "/resources/fonts/" + base + ".fnt");
    std::stringstream text;
    text << in.rdbuf();
    tinyxml2::XMLDocument doc;
    if (!font->image || doc.Parse(text.str().c_str()) != tinyxml2::XML_SUCCESS) return false;
    tinyxml2::XMLElement* f = doc.FirstChildElement("font");
    font->lineHeight = f->FirstChildElement("common")->IntAttribute("lineHeight");
    for (auto* c = f->FirstChildElement("chars")->FirstChildElement("char"); c;
         c = c->NextSiblingElement("char"))
        font->glyphs[c->IntAttribute("id")] = {c->IntAttribute("x"),       c->IntAttribute("y"),
                                               c->IntAttribute("width"),   c->IntAttribute("height"),
                                               c->IntAttribute("xoffset"), c->IntAttribute("yoffset"),
                                               c->IntAttribute("xadvance")};
    return true;
}

// Centred both ways, as the editor's bitmap-font text does with both alignment flags clear.
void DrawCentred(RasterBitmap* dest, const Font& font, const std::string& text, RasterRect r,
                 bool left = false)
{
    int width = 0;
    for (unsigned char ch : text)
        if (auto it = font.glyphs.find(ch); it != font.glyphs.end()) width += it->second.adv;
    int pen = r.left + (left ? 0 : static_cast<int>((r.right - r.left) * 0.5 - width * 0.5 + 0.5));
    for (unsigned char ch : text)
    {
        auto it = font.glyphs.find(ch);
        if (it == font.glyphs.end()) continue;
        const Glyph& g = it->second;
        int y = static_cast<int>((r.bottom - r.top) * 0.5 + (g.yo - font.lineHeight + r.top) +
                                 font.lineHeight * 0.5);
        BlitBitmap(dest, font.image.get(), pen + g.xo, y, g.x, g.y, g.w, g.h, 1.0f,
                   kBlendCopy | kBlendSourceAlpha);
        pen += g.adv;
    }
}

void DrawFrame(RasterBitmap* dest, RasterBitmap* strip, int frames, int frame, int x, int y)
{
    int h = strip->Height() / frames;
    BlitBitmap(dest, strip, x, y, 0, (frame - 1) * h, strip->Width(), h, 1.0f,
               kBlendCopy | kBlendSourceAlpha);
}

void DrawRow(RasterBitmap* dest, RasterBitmap* strip, int frames, RasterRect r, int n, int on,
             const Font* font, const std::vector<std::string>& labels)
{
    int w = strip->Width(), h = strip->Height() / frames;
    int gap = n > 1 ? (r.right - w * n - r.left) / (n - 1) : 0;
    for (int i = 0; i < n; ++i)
    {
        int x = r.left + i * (w + gap);
        DrawFrame(dest, strip, frames, i == on ? 2 : 1, x, r.top);
        if (font && i < static_cast<int>(labels.size()))
            DrawCentred(dest, *font, labels[static_cast<size_t>(i)], {x, r.top, x + w, r.top + h});
    }
}
} // namespace

bool WritePreview(const std::string& root, const std::string& outputPath, std::string* error)
{
    std::map<int, std::unique_ptr<RasterBitmap>> images;
    std::map<int, int> frames;
    for (const ImageEntry& entry : ImageCatalog())
    {
        images[entry.id].reset(LoadPngFile((root + "/" + entry.path).c_str()));
        frames[entry.id] = entry.frames;
        if (!images[entry.id])
        {
            *error = std::string("cannot read ") + entry.path;
            return false;
        }
    }
    Font f10, f12, f12w, f14, f12b;
    if (!LoadFont(root, "Calibri_10px", &f10) || !LoadFont(root, "Calibri_12px", &f12) ||
        !LoadFont(root, "Calibri_12px_white", &f12w) || !LoadFont(root, "Calibri_14px", &f14) ||
        !LoadFont(root, "Calibri_12px_black", &f12b))
    {
        *error = "cannot read the fonts";
        return false;
    }
    RasterBitmap* canvas = images[101].get();
    for (const Placement& p : kPlacements)
    {
        RasterRect r = SkinRect(p.position);
        DrawFrame(canvas, images[p.imageId].get(), frames[p.imageId], p.frame, r.left, r.top);
    }
    for (int t = 0; t < 32; ++t)
    {
        RasterRect r = SkinRect(37 + t);
        DrawFrame(canvas, images[102].get(), 2, t % 7 == 3 ? 1 : 2, r.left, r.top);
    }
    auto numbers = [](int n)
    {
        std::vector<std::string> v;
        for (int i = 1; i <= n; ++i)
            v.push_back(std::to_string(i));
        return v;
    };
    DrawRow(canvas, images[111].get(), 2, SkinRect(17), 4, 0, nullptr, {});
    DrawRow(canvas, images[111].get(), 2, SkinRect(123), 12, 2, &f12w, numbers(12));
    DrawRow(canvas, images[104].get(), 2, SkinRect(69), 9, 3, &f10,
            {"ORDER", "CHRDMEM", "LENGTH", "GATE", "ACCENT", "TRANSP", "DIV", "SHIFT", "SEQ"});
    DrawRow(canvas, images[143].get(), 2, SkinRect(154), 8, -1, &f12w, numbers(8));
    DrawRow(canvas, images[138].get(), 2, SkinRect(126), 16, 0, &f12w, numbers(16));
    DrawFrame(canvas, images[141].get(), 1, 1, SkinRect(124).left, SkinRect(124).top);
    DrawFrame(canvas, images[142].get(), 1, 1, SkinRect(124).left + 24 * 15, SkinRect(124).top);
    DrawFrame(canvas, images[144].get(), 2, 1, SkinRect(127).left + 16 * 4, SkinRect(127).top + 35);

    const std::pair<int, const char*> values12[] = {
        {23, "1"},       {24, "2"},     {18, "1"},      {31, "Next"},
        {32, "Note"},    {19, "Lo-Hi"}, {128, "16"},    {33, "Harmonic Minor"},
        {34, "C#"},      {35, "0"},     {15, "Up Alt"}, {155, "Next"},
        {144, "Minor 7"}};
    for (const auto& [position, text] : values12)
        DrawCentred(canvas, f12, text, SkinRect(position));
    for (const auto& [position, text] :
         std::initializer_list<std::pair<int, const char*>>{{120, "C 2"}, {121, "A# 3"}, {122, "C 2"}})
        DrawCentred(canvas, f12w, text, SkinRect(position));
    for (int k = 0; k < 48; ++k)
        DrawCentred(canvas, f12w, std::to_string(k % 16 + 1), SkinRect(70 + k));
    DrawCentred(canvas, f14, "-- WELCOME --", SkinRect(22));
    DrawCentred(canvas, f14, "-----", SkinRect(25));
    DrawCentred(canvas, f12, "Factory / 2 lead / Glass Steps", SkinRect(138), true);
    DrawCentred(canvas, f12, "by the sound team", SkinRect(139), true);
    DrawCentred(canvas, f12, "Jazz voicings", SkinRect(145), true);

    std::vector<uint8_t> png;
    if (!EncodePng(*canvas, &png)) return false;
    std::ofstream out(outputPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(out);
}
