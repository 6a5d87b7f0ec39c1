// The preset information box and the global-settings box: their text, their measure-then-draw
// painting, and the clicks they take while open.
#include <gtest/gtest.h>

#include <memory>

#include "gui/ISwitchControl.h"
#include "tests/views/ViewsEditorSupport.h"
#include "views/InfoControl.h"
#include "views/SettingsControl.h"

using namespace quova::views_test;

namespace
{

constexpr IRectangle kInfoRect(400, 20, 830, 190); // 430 wide, like the editor's box
constexpr IRectangle kSettingsRect(100, 20, 400, 195);
constexpr int kLine = 10;   // line height of the test font
constexpr int kAdvance = 6; // every printable character
const IColorARGB kBoxBack(250, 62, 89, 124);

class Overlays : public ::testing::Test
{
protected:
    void SetUp() override
    {
        glyphs = rig.Strip(kGlyphsId, "images/glyphs.png", 1);
        font = std::make_unique<BitmapFont>(&glyphs, nullptr);
        font->SetLineHeight(kLine);
        for (int c = 32; c < 127; ++c)
        {
            BitmapFontGlyph g;
            g.source = IRectangle(0, 0, c == ' ' ? 0 : 4, 6);
            g.yOffset = 2 - kLine;
            g.xAdvance = kAdvance;
            font->SetGlyph(c, g);
        }
    }
    std::vector<std::string> Texts(const std::vector<BitmapTextLine>& lines)
    {
        std::vector<std::string> t;
        for (const auto& l : lines)
            t.push_back(l.text);
        return t;
    }

    Rig rig;
    IBitmapStrip glyphs;
    std::unique_ptr<BitmapFont> font;
};

TEST_F(Overlays, PresetWithOnlyANameShowsEveryHeading)
{
    InfoControl box(nullptr, kInfoRect, font.get());
    FormatPresetInfo(box, "  Deep Bass ", "", nullptr, "\t");
    const auto& lines = box.GetLines();
    EXPECT_EQ(Texts(lines), (std::vector<std::string>{"NAME:", "Deep Bass", "AUTHOR:", "", "DESCRIPTION:", "",
                                                      "USAGE:", ""}));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_FALSE(lines[0].indented);
    EXPECT_TRUE(lines[1].indented);
    EXPECT_TRUE(lines[3].indented);
    EXPECT_EQ(lines[1].leftAligned, 1);
    EXPECT_EQ(lines[1].topAligned, 1);
    EXPECT_EQ(box.GetText(0), "Deep Bass");
}

TEST_F(Overlays, BlankPresetShowsNoInfoCentred)
{
    InfoControl box(nullptr, kInfoRect, font.get());
    FormatPresetInfo(box, " ", "", "\r\n", nullptr);
    ASSERT_EQ(box.GetLines().size(), 1u);
    EXPECT_EQ(box.GetLines()[0].text, "NO INFO");
    EXPECT_EQ(box.GetLines()[0].leftAligned, 0);
    EXPECT_EQ(box.GetLines()[0].topAligned, 0);
}

TEST_F(Overlays, LongDescriptionWrapsThirtyPixelsInsideTheBox)
{
    InfoControl box(nullptr, kInfoRect, font.get());
    FormatPresetInfo(box, "n", "a", std::string(100, 'x').c_str(), "u");
    // 430 - 2 x 5 - 20 = 400 pixels: 66 characters of 6 pixels fit, the 67th breaks.
    const auto texts = Texts(box.GetLines());
    ASSERT_EQ(texts.size(), 9u);
    EXPECT_EQ(texts[5], std::string(66, 'x'));
    EXPECT_EQ(texts[6], std::string(34, 'x'));
}

TEST_F(Overlays, InfoBoxMeasuresFirstThenDrawsAndCloseOnAClick)
{
    auto* box = rig.Add(new InfoControl(rig.plug.get(), kInfoRect, font.get()));
    box->Hide(true);
    ASSERT_NE(rig.Open(), nullptr);
    rig.Tick();
    box->ShowPresetInfo("Lead", "Ann", "", "");
    EXPECT_FALSE(box->IsHidden());
    EXPECT_EQ(box->GetMeasuredHeight(), -1);
    rig.Tick();
    EXPECT_EQ(box->GetMeasuredHeight(), 8 * kLine + 10);
    EXPECT_EQ(box->GetRect().bottom, kInfoRect.top + 90);
    EXPECT_EQ(rig.Shown(kInfoRect.right - 3, kInfoRect.top + 3), Rgb(kBackground)); // nothing drawn yet
    rig.Tick();
    EXPECT_EQ(rig.Shown(kInfoRect.right - 3, kInfoRect.top + 3), Blended(kBackground, kBoxBack));
    EXPECT_EQ(rig.Shown(kInfoRect.left, kInfoRect.top + 40), 0xFFFFFFu);             // outline
    EXPECT_EQ(rig.Shown(kInfoRect.right - 3, kInfoRect.top + 95), Rgb(kBackground)); // below the measured box
    // "NAME:" at the inner top-left: its first glyph cell is white.
    EXPECT_EQ(rig.Shown(kInfoRect.left + 5 + 1, kInfoRect.top + 5 + 3), Rgb(kGlyphColour));

    // While open it takes every press of the editor, and a press closes it.
    rig.plug->captureControl = rig.editor->NControls() - 1;
    rig.driver.Click(rig.window, 10, 10);
    EXPECT_TRUE(box->IsHidden());
}

class SettingsBox : public Overlays
{
protected:
    void SetUp() override
    {
        Overlays::SetUp();
        button = rig.Strip(kButtonStripId, "images/button.png", 2);
        for (int i = 0; i < 3; ++i)
            switches[i] = rig.Add(new ISwitchControl(rig.plug.get(), 600, 100, button));
        panel = rig.Add(new SettingsControl(rig.plug.get(), kSettingsRect, font.get()));
        for (int i = 0; i < 3; ++i)
            panel->AddOption(switches[i], ("Option " + std::to_string(i)).c_str());
        panel->Hide(true);
        ASSERT_NE(rig.Open(), nullptr);
    }
    IBitmapStrip button;
    ISwitchControl* switches[3] = {};
    SettingsControl* panel = nullptr;
};

TEST_F(SettingsBox, OptionsTakeTheNextRowsAndFollowThePanel)
{
    EXPECT_EQ(switches[0]->GetRect(), IRectangle(105, 50, 115, 60));
    EXPECT_EQ(switches[2]->GetRect(), IRectangle(105, 110, 115, 120));
    // Hidden with the panel, although it was never painted.
    EXPECT_TRUE(switches[0]->IsHidden());
    rig.Tick();
    EXPECT_EQ(rig.Shown(107, 52), Rgb(kBackground));
    panel->Hide(false);
    EXPECT_TRUE(switches[0]->IsHidden()); // until the first paint shows them
    rig.Tick();
    EXPECT_EQ(panel->GetMeasuredHeight(), kLine + 3 * 30 + 10);
    EXPECT_FALSE(switches[1]->IsHidden());
    rig.Tick();
    EXPECT_EQ(rig.Shown(kSettingsRect.right - 3, kSettingsRect.top + 3), Blended(kBackground, kBoxBack));
    EXPECT_EQ(rig.Shown(107, 52), 0x808080u); // a switch painted over the panel
    panel->Hide(true);
    EXPECT_TRUE(switches[0]->IsHidden());
    EXPECT_TRUE(switches[2]->IsHidden());
}

TEST_F(SettingsBox, ClickOnASwitchTogglesItAndElsewhereClosesThePanel)
{
    panel->Hide(false);
    rig.Tick(2);
    rig.plug->captureControl = rig.editor->NControls() - 1;
    rig.driver.Click(rig.window, 108, 82);
    EXPECT_EQ(switches[1]->GetValue(), 1.0);
    EXPECT_FALSE(panel->IsHidden());
    rig.driver.Click(rig.window, 300, 150);
    EXPECT_TRUE(panel->IsHidden());
    EXPECT_TRUE(switches[1]->IsHidden());
}

} // namespace
