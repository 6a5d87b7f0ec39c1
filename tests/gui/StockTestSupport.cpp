#include "tests/gui/StockTestSupport.h"

#include "gui/IGraphics.h"
#include "platform/resources/ResourceTable.h"
#include "tests/support/ResourceBlob.h"

namespace
{

constexpr char kFirst = 32;
constexpr char kLast = 126;
constexpr int kCell = 10;

using quova::test_support::PngBlob;
using quova::test_support::ResourceBlob;
using quova::test_support::TextBlob;

struct Module
{
    ResourceBlob background =
        PngBlob(kEditorWidth, kEditorHeight, [](int, int) { return kBackgroundColour; });
    ResourceBlob strip = PngBlob(10, 50, [](int, int y) { return StripFrameColour(y / 10 + 1); });
    ResourceBlob glyphs = PngBlob((kLast - kFirst + 1) * kCell, kCell,
                                  [](int x, int y)
                                  {
                                      const char c = static_cast<char>(kFirst + x / kCell);
                                      const ProbeGlyph g = ProbeGlyphOf(c);
                                      return x % kCell < g.width && y < g.height ? ProbeGlyphColour(c) : 0u;
                                  });
    ResourceBlob buttons = PngBlob(8, 12, [](int, int y) { return y < 6 ? kButtonOff : kButtonOn; });
    ResourceBlob font = TextBlob(ProbeFontDescription());
    PlatformResource resources[5] = {
        {"PNG", 101, "images/background.png", background.bytes.data(), &background.size},
        {"PNG", 102, "images/strip.png", strip.bytes.data(), &strip.size},
        {"PNG", kProbeGlyphImage, "fonts/probe.png", glyphs.bytes.data(), &glyphs.size},
        {"PNG", kButtonStrip, "images/button.png", buttons.bytes.data(), &buttons.size},
        {"TEXTFILE", kProbeFontText, "fonts/probe.fnt", font.bytes.data(), &font.size},
    };
    PlatformModule module{resources, 5};
};

} // namespace

ProbeGlyph ProbeGlyphOf(char c)
{
    switch (c)
    {
    case 'A':
        return {4, 6, 1, 2, 6};
    case 'B':
        return {5, 8, 0, 1, 5};
    case 'W':
        return {8, 6, 0, 2, 9};
    case '.':
        return {1, 1, 0, 7, 2};
    case ' ':
        return {0, 0, 0, 0, 3};
    default:
        return {3, 5, 0, 3, 4};
    }
}

uint32_t ProbeGlyphColour(char c)
{
    const auto code = static_cast<uint32_t>(static_cast<unsigned char>(c));
    return 0xFF000080u | (code << 16) | ((255 - code) << 8);
}

std::string ProbeFontDescription()
{
    std::string text = "<?xml version=\"1.0\"?>\n<font><info face=\"Probe\" size=\"10\"/><common "
                       "lineHeight=\"10\" base=\"8\"/>"
                       "<pages><page id=\"0\" file=\"probe.png\"/></pages>\n<chars>\n";
    for (char c = kFirst; c <= kLast; ++c)
    {
        const ProbeGlyph g = ProbeGlyphOf(c);
        const auto attribute = [](const char* name, int v)
        { return std::string(" ") + name + "=\"" + std::to_string(v) + "\""; };
        text += "<char" + attribute("id", c) + attribute("x", (c - kFirst) * kCell) + attribute("y", 0) +
                attribute("width", g.width) + attribute("height", g.height) +
                attribute("xoffset", g.xOffset) + attribute("yoffset", g.yOffset) +
                attribute("xadvance", g.advance) + " page=\"0\" chnl=\"15\"/>\n";
    }
    return text + "</chars></font>\n";
}

StockRig::StockRig()
{
    static Module* module = new Module();
    editor->SetInstance(&module->module);
    glyphs = editor->LoadBitmapResource(kProbeGlyphImage, "fonts/probe.png");
    buttons = editor->LoadBitmapResource(kButtonStrip, "images/button.png", 2);
    font = std::make_unique<BitmapFont>(&glyphs, editor->LoadTextResource(kProbeFontText, "fonts/probe.fnt"));
}
