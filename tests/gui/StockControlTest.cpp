// The stock controls through the platform's test driver: switches and momentary buttons pressed,
// invisible switches toggled, knobs dragged, radio buttons laid out, clicked and drawn, text
// labels changed; every value change reaching the plug-in.
#include <gtest/gtest.h>

#include "framework/IParameter.h"
#include "gui/IGraphics.h"
#include "gui/IInvisibleSwitchControl.h"
#include "gui/IKnobControl.h"
#include "gui/IRadioButtonsControl.h"
#include "gui/ISwitchControl.h"
#include "gui/ITextControl.h"
#include "tests/gui/StockTestSupport.h"

using quova::testing::MouseButton;

namespace
{

uint32_t Frame(int frame)
{
    return StripFrameColour(frame) & 0xFFFFFF;
}

class StockControls : public ::testing::Test
{
protected:
    void Open()
    {
        ASSERT_NE(rig.Open(), nullptr);
        rig.plug->changed.clear();
    }
    double Value(int index) const { return rig.plug->GetParameter(index)->Value(); }
    // A value arriving from the host (the plug-in is not told back).
    void FromHost(int index, double normalised)
    {
        rig.editor->UpdateParameterControls(index, normalised, true);
    }
    IBitmapStrip Strip(int frames) { return rig.editor->LoadBitmapResource(102, "images/strip.png", frames); }
    static std::vector<int> Times(int index, int n)
    {
        return std::vector<int>(static_cast<size_t>(n), index);
    }

    StockRig rig;
    MouseRecorder recorder;
};

} // namespace

TEST_F(StockControls, ASwitchStepsThroughItsFramesWrapsAndPromptsOnTheRight)
{
    auto* toggle = rig.Add(new ISwitchControl(rig.plug.get(), 20, 10, EditorTestPlug::kGain, Strip(3)));
    auto* flip = rig.Add(new ISwitchControl(rig.plug.get(), 0, 0, EditorTestPlug::kMode, Strip(1)));
    toggle->AttachObserver(&recorder);
    Open();
    FromHost(EditorTestPlug::kGain, 0.0);
    std::vector<double> values;
    for (int i = 0; i < 4; ++i)
    {
        rig.driver.Click(rig.window, 25, 15);
        values.push_back(toggle->GetValue());
    }
    EXPECT_EQ(values, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));
    EXPECT_EQ(rig.plug->changed, Times(EditorTestPlug::kGain, 4));
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kGain), 50.0);
    EXPECT_EQ(recorder.kinds, (std::vector<int>{1, 1, 1, 1})) << "a step tells no press, only releases";
    rig.driver.DoubleClick(rig.window, 25, 15); // two presses: 1.0, then 0.0
    EXPECT_DOUBLE_EQ(toggle->GetValue(), 0.0);
    EXPECT_EQ(rig.plug->changed.size(), 6u);

    rig.driver.Click(rig.window, 5, 5); // one frame: steps of 1.0
    EXPECT_DOUBLE_EQ(flip->GetValue(), 1.0);
    rig.driver.Click(rig.window, 5, 5);
    EXPECT_DOUBLE_EQ(flip->GetValue(), 0.0);
    rig.driver.ChooseMenuItem(2);
    rig.driver.Click(rig.window, 5, 5, MouseButton::Right);
    ASSERT_EQ(rig.driver.Menus().size(), 1u);
    EXPECT_EQ(rig.driver.Menus()[0].entries[1].text, "Down");
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kMode), 1.0) << "the menu's choice, not a step";
}

TEST_F(StockControls, AContactIsOnOnlyWhileHeld)
{
    auto* contact = rig.Add(new IContactControl(rig.plug.get(), 20, 10, EditorTestPlug::kSwitch, Strip(5)));
    contact->AttachObserver(&recorder);
    Open();
    rig.driver.MouseDown(rig.window, 22, 12);
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kSwitch), 1.0);
    rig.Tick();
    EXPECT_EQ(rig.Shown(22, 12), Frame(5));
    rig.driver.MouseUp(rig.window, 22, 12);
    EXPECT_DOUBLE_EQ(contact->GetValue(), 0.0);
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kSwitch), 0.0);
    EXPECT_EQ(rig.plug->changed, Times(EditorTestPlug::kSwitch, 2));
    ASSERT_EQ(rig.plug->automated.size(), 2u);
    EXPECT_DOUBLE_EQ(rig.plug->automated[0].second, 1.0);
    EXPECT_EQ(recorder.kinds, (std::vector<int>{0, 1}));
    EXPECT_EQ(rig.plug->edits, (std::vector<std::string>{"begin 2", "end 2"}));
}

TEST_F(StockControls, AnInvisibleSwitchTogglesWithoutDrawingOrTellingThePress)
{
    auto* area =
        rig.Add(new ICustomInvisibleSwitchControl(rig.plug.get(), {10, 10, 50, 30}, EditorTestPlug::kGain));
    area->AttachObserver(&recorder);
    Open();
    rig.driver.Click(rig.window, 20, 20); // 0.25 is below 0.5: on
    EXPECT_DOUBLE_EQ(area->GetValue(), 1.0);
    FromHost(EditorTestPlug::kGain, 0.5);
    rig.driver.Click(rig.window, 20, 20); // 0.5 or more: off
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kGain), 0.0);
    EXPECT_EQ(rig.plug->changed, Times(EditorTestPlug::kGain, 2));
    EXPECT_EQ(recorder.kinds, (std::vector<int>{1, 1}));
    rig.Tick(2);
    EXPECT_EQ(rig.Shown(20, 20), kShownBackground);
}

TEST_F(StockControls, KnobsFollowTheDragByTheirGearing)
{
    // 100 pixels high (frames of 100 in a strip of 500), gearing 4: up by the height adds a
    // quarter; with Shift held a fortieth.
    auto* knob = rig.Add(new IKnobMultiControl(rig.plug.get(), 20, -60, EditorTestPlug::kGain,
                                               IBitmapStrip{nullptr, 10, 500, 5, false},
                                               IKnobControl::kVertical, 4.0));
    Open();
    rig.driver.Drag(rig.window, 25, 35, 25, -65);
    EXPECT_DOUBLE_EQ(knob->GetValue(), 0.5);
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kGain), 50.0);
    EXPECT_EQ(rig.plug->changed, Times(EditorTestPlug::kGain, 4)) << "every step of the drag";
    rig.driver.HoldModifiers(true, false, false);
    rig.driver.Drag(rig.window, 25, 35, 25, -65);
    EXPECT_NEAR(knob->GetValue(), 0.525, 1e-12);
    rig.driver.HoldModifiers(false, false, false);
    rig.driver.Drag(rig.window, 25, 0, 25, 39, 3); // down: lower
    EXPECT_NEAR(knob->GetValue(), 0.525 - 39.0 / 400.0, 1e-12);

    IKnobMultiControl flat(rig.plug.get(), 0, 0, -1, IBitmapStrip{nullptr, 10, 0, 1, false}, 0, 1.0);
    IKnobMultiControl ungeared(rig.plug.get(), 0, 0, -1, IBitmapStrip{nullptr, 10, 10, 1, false}, 0, 0.0);
    flat.OnMouseDragged(0, 0, 0, -5, {});
    ungeared.OnMouseDragged(0, 0, 0, -5, {});
    EXPECT_EQ(flat.GetValue() + ungeared.GetValue(), 0.0) << "no length or no gearing: no move";
}

TEST_F(StockControls, AHorizontalKnobTurnsWithXAndShowsItsFrame)
{
    auto* knob = rig.Add(new IKnobMultiControl(rig.plug.get(), 20, 10, EditorTestPlug::kGain, Strip(5),
                                               IKnobControl::kHorizontal, 2.0));
    Open();
    EXPECT_EQ(rig.Shown(25, 15), Frame(2));
    rig.driver.Drag(rig.window, 22, 15, 29, 40, 1); // 7 right on a knob 10 wide: +0.35
    EXPECT_NEAR(knob->GetValue(), 0.6, 1e-12);
    rig.Tick();
    EXPECT_EQ(rig.Shown(25, 15), Frame(3)); // 2.4 goes to 2, plus 1
    FromHost(EditorTestPlug::kGain, 0.625); // 2.5 goes up to 3
    rig.Tick();
    EXPECT_EQ(rig.Shown(25, 15), Frame(4));
    rig.driver.Drag(rig.window, 22, 15, 60, 15, 2);
    EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0) << "stops at the end";
}

TEST(RadioButtonsLayout, ButtonsShareTheFreeLengthTruncatedPerStep)
{
    const IBitmapStrip strip{nullptr, 8, 12, 2, false}; // 8 x 6 buttons
    using Rects = std::vector<IRectangle>;
    EXPECT_EQ(IRadioButtonsControl::LayOutButtons({0, 0, 8, 40}, 3, strip, 0),
              (Rects{{0, 0, 8, 6}, {0, 17, 8, 23}, {0, 34, 8, 40}}));
    EXPECT_EQ(IRadioButtonsControl::LayOutButtons({0, 0, 8, 21}, 3, strip, 7), // gap 1.5
              (Rects{{0, 0, 8, 6}, {0, 7, 8, 13}, {0, 14, 8, 20}}));
    EXPECT_EQ(IRadioButtonsControl::LayOutButtons({10, 5, 45, 11}, 4, strip, 1),
              (Rects{{10, 5, 18, 11}, {19, 5, 27, 11}, {28, 5, 36, 11}, {37, 5, 45, 11}}));
    EXPECT_EQ(IRadioButtonsControl::LayOutButtons({0, 0, 19, 6}, 3, strip, 1), // gap -2.5
              (Rects{{0, 0, 8, 6}, {6, 0, 14, 6}, {12, 0, 20, 6}}));
    EXPECT_EQ(IRadioButtonsControl::LayOutButtons({3, 4, 50, 50}, 1, strip, 1), (Rects{{3, 4, 11, 10}}));
    EXPECT_TRUE(IRadioButtonsControl::LayOutButtons({3, 4, 50, 50}, 0, strip, 1).empty());
}

TEST_F(StockControls, RadioButtonsSelectByClickAndShowTheChosenOne)
{
    auto* radio = rig.Add(new IRadioButtonsControl(rig.plug.get(), {10, 5, 45, 11}, EditorTestPlug::kMode, 4,
                                                   rig.buttons, IRadioButtonsControl::kHorizontal));
    Open();
    EXPECT_EQ(rig.Shown(12, 8), kButtonOn & 0xFFFFFF);
    EXPECT_EQ(rig.Shown(40, 8), kButtonOff & 0xFFFFFF);
    rig.driver.Click(rig.window, 30, 8);
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kMode), 2.0);
    rig.driver.Click(rig.window, 27, 8); // between two buttons: the same value, sent again
    EXPECT_DOUBLE_EQ(radio->GetValue(), 2.0 / 3.0);
    EXPECT_EQ(rig.plug->changed, Times(EditorTestPlug::kMode, 2));
    FromHost(EditorTestPlug::kMode, 1.0);
    rig.Tick();
    EXPECT_EQ(rig.Shown(40, 8), kButtonOn & 0xFFFFFF) << "value 1.0 shows the last button on";
    EXPECT_EQ(rig.Shown(30, 8), kButtonOff & 0xFFFFFF);

    rig.driver.ChooseMenuItem(1);
    rig.driver.Click(rig.window, 12, 8, MouseButton::Right);
    EXPECT_EQ(rig.driver.Menus().size(), 1u) << "a right press keeps the value prompt";
    EXPECT_DOUBLE_EQ(radio->GetValue(), 0.0);
}

TEST_F(StockControls, TextLabelsRepaintOnlyWhenTheTextChanges)
{
    auto* label = rig.Add(new ITextControl(rig.plug.get(), {0, 10, 60, 30}, "Hi"));
    label->GetTextStyle().colour = {255, 255, 255, 255};
    Open();
    rig.Tick(2);
    int inked = 0;
    for (int i = 0; i < 60 * 20; ++i)
        inked += rig.Shown(i % 60, 10 + i / 60) != kShownBackground ? 1 : 0;
    EXPECT_GT(inked, 5) << "the text is drawn";
    label->ChangeText("Hi");
    EXPECT_FALSE(label->IsDirty());
    label->ChangeText("");
    EXPECT_TRUE(label->IsDirty() && label->IsRedrawPending());
    rig.Tick(2);
    for (int x = 0; x < 60; ++x)
        EXPECT_EQ(rig.Shown(x, 20), kShownBackground);
}
