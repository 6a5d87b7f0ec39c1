// The program's own controls through the platform's test driver: custom switches in their image
// and font forms (plain, value field, display-only, on-only, typed values), custom radio buttons
// (labels, disabled tail, active flag, right-press menu, linked hover), two coupled rows, bitmap-
// font labels and custom knobs.
#include <gtest/gtest.h>

#include "framework/IParameter.h"
#include "gui/DoubleRadioButtonsListener.h"
#include "gui/ICustomKnobMultiControl.h"
#include "gui/ICustomRadioButtonsControl.h"
#include "gui/ICustomSwitchControl.h"
#include "gui/ICustomTextControl.h"
#include "gui/IGraphics.h"
#include "platform/win32/Win32.h"
#include "tests/gui/StockTestSupport.h"

using quova::testing::MouseButton;

namespace
{

constexpr uint32_t kShownOn = kButtonOn & 0xFFFFFF;
constexpr uint32_t kShownOff = kButtonOff & 0xFFFFFF;
uint32_t Ink(char c)
{
    return ProbeGlyphColour(c) & 0xFFFFFF;
}

class ProgramControls : public ::testing::Test
{
protected:
    void Open()
    {
        ASSERT_NE(rig.Open(), nullptr);
        rig.plug->changed.clear();
    }
    double Value(int index) const { return rig.plug->GetParameter(index)->Value(); }
    void RightClick(int x, int y) { rig.driver.Click(rig.window, x, y, MouseButton::Right); }
    // The plug-in's parameter and its controls, set as a host would.
    void FromHost(int index, double value)
    {
        rig.plug->GetParameter(index)->SetValue(value);
        rig.editor->UpdateParameterControls(index, value, false);
    }
    ICustomSwitchControl* TextSwitch(int parameter, bool valueField, bool displayOnly = false)
    {
        return rig.Add(new ICustomSwitchControl(rig.editor, {0, 0, 60, 20}, parameter, rig.font.get(),
                                                valueField, displayOnly));
    }
    ICustomRadioButtonsControl* Radio(int top, int parameter, const BitmapFont* font = nullptr)
    {
        return rig.Add(new ICustomRadioButtonsControl(rig.editor, {10, top, 45, top + 6}, parameter, 4,
                                                      rig.buttons, font));
    }

    StockRig rig;
    MouseRecorder recorder;
};

} // namespace

TEST_F(ProgramControls, APlainSwitchStepsTellsThePressAndOpensTheMenuParameterOnTheRight)
{
    auto* toggle =
        rig.Add(new ICustomSwitchControl(rig.editor, {20, 10, 28, 16}, EditorTestPlug::kSwitch, rig.buttons));
    EXPECT_EQ(toggle->GetPlug(), rig.plug.get()) << "built with the editor object, bound to its plug-in";
    toggle->SetMenuParameterIndex(EditorTestPlug::kLearn);
    toggle->AttachObserver(&recorder);
    Open();
    EXPECT_EQ(rig.Shown(22, 12), kShownOff);
    rig.driver.Click(rig.window, 22, 12);
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kSwitch), 1.0);
    EXPECT_EQ(recorder.kinds, (std::vector<int>{0, 1}));
    rig.Tick();
    EXPECT_EQ(rig.Shown(22, 12), kShownOn);

    rig.driver.ChooseMenuItem(2);
    RightClick(22, 12);
    ASSERT_EQ(rig.driver.Menus().size(), 1u);
    EXPECT_EQ(rig.driver.Menus()[0].entries[0].text, "MIDI learn");
    ASSERT_EQ(rig.plug->prompted.size(), 1u);
    EXPECT_EQ(rig.plug->prompted[0].parameter, EditorTestPlug::kSwitch);
    EXPECT_EQ(rig.plug->prompted[0].menuParameter, EditorTestPlug::kLearn);
    EXPECT_DOUBLE_EQ(toggle->GetValue(), 1.0) << "the right press does not step";
}

TEST_F(ProgramControls, DisplayOnlyAndOnOnlySwitchesIgnorePressesButDragsMoveThem)
{
    ICustomSwitchControl* shown = TextSwitch(EditorTestPlug::kGain, false, true);
    auto* once = rig.Add(
        new ICustomSwitchControl(rig.plug.get(), {30, 25, 40, 31}, EditorTestPlug::kSwitch, rig.buttons));
    once->SetOnOnly(true);
    Open();
    rig.driver.Click(rig.window, 10, 10);
    EXPECT_DOUBLE_EQ(shown->GetValue(), 0.25);
    // 20 pixels high: up by 40 adds 40 / 20 / 5; with Shift, up by 100 adds 100 / 20 / 50.
    rig.driver.Drag(rig.window, 10, 15, 10, -25, 2);
    EXPECT_NEAR(Value(EditorTestPlug::kGain), 65.0, 1e-9);
    rig.driver.HoldModifiers(true, false, false);
    rig.driver.Drag(rig.window, 10, 15, 10, -85, 4);
    EXPECT_NEAR(shown->GetValue(), 0.75, 1e-12);
    rig.driver.HoldModifiers(false, false, false);

    rig.driver.Click(rig.window, 35, 28);
    rig.driver.Click(rig.window, 35, 28);
    rig.driver.DoubleClick(rig.window, 35, 28);
    EXPECT_DOUBLE_EQ(once->GetValue(), 1.0) << "on-only: no way back by pressing";
}

TEST_F(ProgramControls, ValueFieldsPromptOnAPressOrADoubleClickWhenTheyTakeTypedValues)
{
    ICustomSwitchControl* mode = TextSwitch(EditorTestPlug::kMode, true);
    ICustomSwitchControl* note = TextSwitch(EditorTestPlug::kNote, true);
    note->Hide(true);
    Open();
    mode->OnMouseDragged(30, 0, 0, -15, {}); // its press opens a menu, so a drag never reaches it
    EXPECT_DOUBLE_EQ(mode->GetValue(), 0.0);
    rig.driver.ChooseMenuItem(4);
    rig.driver.Click(rig.window, 30, 10);
    ASSERT_EQ(rig.driver.Menus().size(), 1u);
    EXPECT_EQ(rig.driver.Menus()[0].entries.size(), 4u);
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kMode), 3.0);

    mode->Hide(true);
    note->Hide(false);
    note->SetTextEntry(true);
    rig.driver.Click(rig.window, 30, 10);
    EXPECT_EQ(rig.editor->GetTextEntryWindow(), nullptr) << "a single press does nothing";
    rig.driver.Drag(rig.window, 30, 15, 30, 11, 1); // 4 / 20 / 5 of the range 0..127
    EXPECT_NEAR(note->GetValue(), 60.0 / 127.0 + 0.04, 1e-12);
    rig.driver.DoubleClick(rig.window, 30, 10);
    ASSERT_NE(rig.editor->GetTextEntryWindow(), nullptr);
    rig.driver.TypeText("99");
    rig.driver.PressKey(VK_RETURN);
    rig.Tick();
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kNote), 99.0);
}

TEST_F(ProgramControls, TypedTextMatchesADisplayTextWhateverItsCaseAndSpaces)
{
    ICustomSwitchControl* field = TextSwitch(EditorTestPlug::kMode, true);
    field->SetOwnTextParser(true);
    IParameter* mode = rig.plug->GetParameter(EditorTestPlug::kMode);
    int value = -1;
    field->ParseEnteredText(" rAN dom", &value);
    EXPECT_EQ(value, 2);
    field->ParseEnteredText("Dow", &value);
    EXPECT_EQ(value, 2) << "no match leaves the value";
    rig.editor->ApplyEnteredText(field, mode, "CH ord");
    EXPECT_DOUBLE_EQ(mode->Value(), 3.0);
    rig.editor->ApplyEnteredText(field, mode, "sideways");
    EXPECT_DOUBLE_EQ(mode->Value(), 3.0) << "text that matches nothing changes nothing";
    EXPECT_EQ(rig.plug->changed, (std::vector<int>{EditorTestPlug::kMode}));
}

TEST_F(ProgramControls, FontFormsShowTheDisplayTextOrTheirTextCentred)
{
    ICustomSwitchControl* mode = TextSwitch(EditorTestPlug::kMode, true);
    auto* text = rig.Add(new ICustomTextControl(rig.editor, {0, 20, 60, 40}, rig.font.get()));
    EXPECT_FALSE(mode->DrawsAsBitmap());
    EXPECT_EQ(mode->GetStrip().bitmap, rig.glyphs.bitmap);
    Open();
    // "Up": 8 wide, pen at trunc(30 - 4 + 0.5) = 26; y = trunc(10 + (3 - 10) + 5) = 8.
    EXPECT_EQ(rig.Shown(26, 8), Ink('U'));
    EXPECT_EQ(rig.Shown(30, 12), Ink('p'));
    EXPECT_EQ(rig.Shown(25, 8), kShownBackground);
    FromHost(EditorTestPlug::kMode, 3.0); // "Chord": 20 wide, from 20
    text->ChangeText("AB");               // pen 30 - 5.5 + 0.5 = 25
    rig.Tick();
    EXPECT_EQ(rig.Shown(20, 8), Ink('C'));
    EXPECT_EQ(rig.Shown(36, 8), Ink('d'));
    EXPECT_EQ(rig.Shown(27, 8), kShownBackground) << "the old text is gone";
    EXPECT_EQ(rig.Shown(26, 27), Ink('A'));
    EXPECT_EQ(rig.Shown(31, 26), Ink('B'));
    mode->SetVisible(false);
    text->ChangeText("");
    rig.Tick();
    EXPECT_EQ(rig.Shown(20, 8), kShownBackground);
    EXPECT_EQ(rig.Shown(26, 27), kShownBackground);
    EXPECT_FALSE(ICustomTextControl(rig.plug.get(), {0, 0, 6, 6}, nullptr).Paint(rig.editor));
}

TEST_F(ProgramControls, RadioButtonsWithADisabledTailAndLabels)
{
    ICustomRadioButtonsControl* radio = Radio(5, EditorTestPlug::kMode, rig.font.get());
    radio->SetLabels({"A", "", "W"});
    radio->SetLastEnabledButton(1);
    radio->AttachObserver(&recorder);
    EXPECT_TRUE(radio->ArePromptsDisabled());
    Open();
    EXPECT_EQ(rig.Shown(10, 10), kShownOn) << "button 0 chosen";
    EXPECT_EQ(rig.Shown(19, 10), kShownOff);
    // 'A' centred in button 0: pen 10 + trunc(4 - 3 + 0.5) = 11, x offset 1; y trunc(3 + (2 - 10 + 5) + 5).
    EXPECT_EQ(rig.Shown(12, 5), Ink('A'));
    EXPECT_EQ(rig.Shown(11, 5), kShownOn);
    EXPECT_EQ(rig.Shown(28, 7), Ink('W'));
    // Buttons 2 and 3 show frame 2 at weight 0.15 (trunc(0.15 x 256) = 38 of 256).
    const uint32_t dim = rig.Shown(44, 10);
    for (int shift : {0, 8, 16})
    {
        const int below = static_cast<int>((kShownBackground >> shift) & 0xFF);
        const int on = static_cast<int>((kButtonOn >> shift) & 0xFF);
        EXPECT_NEAR(static_cast<int>((dim >> shift) & 0xFF), below + (on - below) * 38 / 256, 1) << shift;
    }

    rig.driver.Click(rig.window, 40, 8); // a disabled button: nothing chosen, the value sent twice
    rig.driver.Click(rig.window, 18, 8); // between two buttons: the same
    EXPECT_DOUBLE_EQ(radio->GetValue(), 0.0);
    EXPECT_EQ(rig.plug->changed, (std::vector<int>(4, EditorTestPlug::kMode)));
    rig.driver.Click(rig.window, 20, 8);
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kMode), 1.0);
    EXPECT_EQ(recorder.kinds, (std::vector<int>(6, 1))) << "each press tells kind 1, as does its release";
    rig.driver.DoubleClick(rig.window, 11, 8); // the first press chooses; the double click does nothing
    EXPECT_DOUBLE_EQ(radio->GetValue(), 0.0);
}

TEST_F(ProgramControls, ARightPressCanChooseAndOpenTheMenuAndHoverPassesOn)
{
    ICustomRadioButtonsControl* radio = Radio(5, EditorTestPlug::kMode);
    radio->SetMenuParameterIndex(EditorTestPlug::kLearn);
    Open();
    RightClick(30, 8);
    EXPECT_TRUE(rig.driver.Menus().empty());
    EXPECT_DOUBLE_EQ(radio->GetValue(), 0.0);
    EXPECT_EQ(rig.plug->changed.size(), 1u) << "the value is sent all the same";
    radio->SetMenuOnRightClick(true);
    rig.driver.ChooseMenuItem(1);
    RightClick(30, 8);
    EXPECT_DOUBLE_EQ(radio->GetValue(), 2.0 / 3.0);
    ASSERT_EQ(rig.driver.Menus().size(), 1u);
    ASSERT_EQ(rig.plug->prompted.size(), 1u);
    EXPECT_EQ(rig.plug->prompted[0].menuParameter, EditorTestPlug::kLearn);

    Swatch linked(rig.plug.get(), {0, 0, 0, 0});
    radio->SetLinkedControl(&linked);
    rig.editor->SetHoverTracking(true);
    rig.driver.MouseMove(rig.window, 20, 8);
    rig.driver.MouseMove(rig.window, 20, 30);
    EXPECT_EQ(linked.log, (std::vector<std::string>{"hover 20,8 -", "left"}));
}

TEST_F(ProgramControls, AnInactiveRowHidesItsChoiceAndTwoCoupledRowsTakeTurns)
{
    ICustomRadioButtonsControl* lanes = Radio(5, EditorTestPlug::kMode);
    ICustomRadioButtonsControl* other = Radio(20, EditorTestPlug::kNote);
    DoubleRadioButtonsListener listener(lanes, other);
    EXPECT_TRUE(lanes->IsActive());
    EXPECT_FALSE(other->IsActive());
    Open();
    EXPECT_EQ(rig.Shown(12, 8), kShownOn);
    EXPECT_EQ(rig.Shown(30, 23), kShownOff) << "inactive: its choice is not shown";
    rig.driver.Click(rig.window, 40, 23);
    EXPECT_TRUE(other->IsActive());
    EXPECT_FALSE(lanes->IsActive());
    rig.Tick();
    EXPECT_EQ(rig.Shown(40, 23), kShownOn);
    EXPECT_EQ(rig.Shown(12, 8), kShownOff) << "the other row no longer shows its choice";
    lanes->MarkChanged(false); // a value change alone does not switch rows
    rig.Tick();
    EXPECT_TRUE(other->IsActive());
    lanes->DetachObserver(&listener);
    other->DetachObserver(&listener);
}

TEST_F(ProgramControls, ACustomKnobTurnsOnlyWhenDragEnabledAndInformsOnEveryPress)
{
    auto* knob = rig.Add(new ICustomKnobMultiControl(
        rig.editor, 20, 10, EditorTestPlug::kGain, rig.editor->LoadBitmapResource(102, "images/strip.png", 5),
        IKnobControl::kVertical, 1.0, false, false));
    knob->SetMenuParameterIndex(EditorTestPlug::kLearn);
    knob->AttachObserver(&recorder);
    Open();
    rig.driver.Drag(rig.window, 25, 15, 25, 10, 1);
    EXPECT_DOUBLE_EQ(knob->GetValue(), 0.25);
    EXPECT_EQ(rig.plug->changed.size(), 1u) << "only the press";
    EXPECT_EQ(recorder.kinds, (std::vector<int>{0, 1}));
    knob->SetDragEnabled(true);
    rig.driver.Drag(rig.window, 25, 15, 25, 10, 1); // 5 / 10 / 1
    EXPECT_DOUBLE_EQ(knob->GetValue(), 0.75);
    EXPECT_EQ(rig.plug->changed.size(), 4u) << "the press, then twice for the step";

    RightClick(25, 15);
    EXPECT_TRUE(rig.driver.Menus().empty()) << "no menu without the flag";
    knob->SetMenuOnRightClick(true);
    rig.driver.ChooseMenuItem(2);
    RightClick(25, 15);
    ASSERT_EQ(rig.plug->prompted.size(), 1u);
    EXPECT_EQ(rig.plug->prompted[0].menuParameter, EditorTestPlug::kLearn);
    EXPECT_DOUBLE_EQ(knob->GetValue(), 0.75);
}
