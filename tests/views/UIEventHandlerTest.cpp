// The parameter road into the engine: each kind of parameter, decoded from its index, reaches the
// right key area, pattern, lane and step with the value converted as the handler's rules say.
#include <gtest/gtest.h>

#include <cmath>

#include "ViewsTestSupport.h"
#include "engine/ControlTargetTable.h"
#include "gui/IControl.h"
#include "views/ParameterIndex.h"

namespace quova::test
{
namespace
{

using namespace quova::param;

class UIEventHandlerTest : public ::testing::Test
{
protected:
    ViewsFixtureEngine f;
    UIEventHandler& H() { return *f.handler; }
    const PatternRecord& Pattern(int a, int p) { return *f.Stepper(a).GetPatternRecord(p); }
    const StepRecord& Step(int a, int p, int t) { return *f.Stepper(a).GetStep(p, t); }
};

TEST_F(UIEventHandlerTest, PatternGateFollowsTheGateRule)
{
    H().OnParameterChanged(PerPattern(kPatternGate, 1, 4), 50.0);
    EXPECT_DOUBLE_EQ(Pattern(1, 4).gate, 0.25); // 0.5 halved
    H().OnParameterChanged(PerPattern(kPatternGate, 1, 4), -100.0);
    EXPECT_DOUBLE_EQ(Pattern(1, 4).gate, -0.9);
    H().OnParameterChanged(PerPattern(kPatternGate, 1, 4), 100.0);
    EXPECT_DOUBLE_EQ(Pattern(1, 4).gate, 0.5);
    H().OnParameterChanged(PerPattern(kPatternGate, 1, 4), -30.0);
    EXPECT_DOUBLE_EQ(Pattern(1, 4).gate, -0.3);
    // Another pattern of the same area is untouched.
    EXPECT_DOUBLE_EQ(Pattern(1, 5).gate, -0.1);
    EXPECT_EQ(f.host.LastStatus(), "Gate: -30.0");
}

TEST_F(UIEventHandlerTest, RateSetsBeatsAndItsOwnTextOnly)
{
    H().OnParameterChanged(PerPattern(kRate, 3, 11), 23.0);
    EXPECT_DOUBLE_EQ(Pattern(3, 11).rate, 1.0 / 48.0);
    ASSERT_EQ(f.host.status.size(), 1u);
    EXPECT_EQ(f.host.status[0], "Rate: 1/128T");

    H().OnParameterChanged(PerPattern(kRate, 0, 0), 4.0);
    EXPECT_DOUBLE_EQ(Pattern(0, 0).rate, 1.5);
    EXPECT_EQ(f.host.LastStatus(), "Rate: 1/4D");
    H().OnParameterChanged(PerPattern(kRate, 0, 0), 14.0);
    EXPECT_DOUBLE_EQ(Pattern(0, 0).rate, 1.0 / 6.0);

    // A host's single-precision value just below a choice still means that choice.
    H().OnParameterChanged(PerPattern(kRate, 0, 0), 22.0 * static_cast<double>(9.0f / 22.0f));
    EXPECT_DOUBLE_EQ(Pattern(0, 0).rate, 0.5);
    EXPECT_EQ(f.host.LastStatus(), "Rate: 1/8");

    // Beyond the table: a whole note and no text.
    f.host.status.clear();
    H().OnParameterChanged(PerPattern(kRate, 0, 0), 24.0);
    EXPECT_DOUBLE_EQ(Pattern(0, 0).rate, 4.0);
    EXPECT_TRUE(f.host.status.empty());
}

TEST_F(UIEventHandlerTest, PerPatternSettingsReachTheirPattern)
{
    H().OnParameterChanged(PerPattern(kPatternSteps, 2, 7), 15.0);
    EXPECT_EQ(Pattern(2, 7).length, 16);
    H().OnParameterChanged(PerPattern(kOctaves, 2, 7), 2.6);
    EXPECT_EQ(Pattern(2, 7).octaves, 3); // trunc(v + 0.5)
    H().OnParameterChanged(PerPattern(kTranspose, 2, 7), -2.5);
    EXPECT_EQ(Pattern(2, 7).transpose, -3); // half away from zero
    H().OnParameterChanged(PerPattern(kSwing, 2, 7), 0.3);
    EXPECT_DOUBLE_EQ(Pattern(2, 7).swing, 0.3);
    H().OnParameterChanged(PerPattern(kResetOnNewNote, 2, 7), 1.0);
    EXPECT_TRUE(Pattern(2, 7).resetOnNewNote);
    H().OnParameterChanged(PerPattern(kSortOrder, 2, 7), 1.0); // "Hi-Lo"
    EXPECT_EQ(Pattern(2, 7).sortMode, 1);
    H().OnParameterChanged(PerPattern(kRateFree, 2, 7), 7.5);
    EXPECT_DOUBLE_EQ(Pattern(2, 7).freeRateValue, 7.5);
    H().OnParameterChanged(PerPattern(kRateFreeToggle, 2, 7), 1.0);
    EXPECT_TRUE(Pattern(2, 7).freeRate);
    EXPECT_EQ(f.host.calls.back(), "ShowFreeRateKnob(2,7,1)");
    // Nothing leaked into the neighbouring slots.
    EXPECT_EQ(Pattern(2, 6).length, 32);
    EXPECT_EQ(Pattern(2, 8).octaves, 1);
}

TEST_F(UIEventHandlerTest, StepLanesDecodeAreaPatternStepAndRefreshTheirCell)
{
    const int gate = StepValue(1, 3, 3, 9);
    H().OnParameterChanged(gate, 60.0);
    EXPECT_DOUBLE_EQ(Step(1, 3, 9).gate, 0.3);
    EXPECT_EQ(f.host.cells.back(), std::make_pair(3, 9));

    H().OnParameterChanged(StepValue(3, 11, 2, 31), 5.0);
    EXPECT_DOUBLE_EQ(Step(3, 11, 31).length, 5.0);
    H().OnParameterChanged(StepValue(0, 0, 6, 0), 3.0);
    EXPECT_DOUBLE_EQ(Step(0, 0, 0).division, 4.0); // DIV value + 1
    H().OnParameterChanged(StepValue(2, 5, 5, 17), -7.0);
    EXPECT_EQ(Step(2, 5, 17).transpose, -7);
    H().OnParameterChanged(StepValue(2, 5, 7, 17), -12.5);
    EXPECT_DOUBLE_EQ(Step(2, 5, 17).shift, -12.5);
    H().OnParameterChanged(StepValue(2, 5, 4, 17), 40.0);
    EXPECT_DOUBLE_EQ(Step(2, 5, 17).accent, 40.0);
    H().OnParameterChanged(StepValue(2, 5, 0, 17), 7.0);
    EXPECT_EQ(Step(2, 5, 17).noteChoice, 7);
    H().OnParameterChanged(StepValue(2, 5, 8, 17), 129.0);
    EXPECT_EQ(Step(2, 5, 17).chord, 129);
    H().OnParameterChanged(StepValue(2, 5, 1, 17), 15.0);
    EXPECT_EQ(Step(2, 5, 17).source, 15);
    EXPECT_EQ(f.host.cells.back(), std::make_pair(1, 17));
    // The same step of the neighbouring pattern and area keeps its defaults.
    EXPECT_EQ(Step(2, 4, 17).transpose, 0);
    EXPECT_EQ(Step(1, 5, 17).transpose, 0);
}

TEST_F(UIEventHandlerTest, ControllerLanesDecodeTheirOwnLayout)
{
    // Controller lane 11 (the third), area 1, pattern 3, step 7.
    const int index = StepValue(1, 3, 11, 7);
    EXPECT_EQ(index, 18173 + 256 * 15 + 32 * 2 + 7);
    H().OnParameterChanged(index, 99.0);
    EXPECT_EQ(Step(1, 3, 7).controllers[2], 99);
    EXPECT_EQ(f.host.cells.back(), std::make_pair(11, 7));
    // The last index of the block: area 3, pattern 11, lane 16, step 31.
    H().OnParameterChanged(30460, 127.0);
    EXPECT_EQ(Step(3, 11, 31).controllers[7], 127);
}

TEST_F(UIEventHandlerTest, StepOnOffDecodesWithStrideNine)
{
    const int index = 30613 + 3456 + 288 * 2 + 32 * 8 + 5;
    H().OnParameterChanged(index, 0.0);
    EXPECT_FALSE(Step(1, 2, 5).laneOn[8]);
    EXPECT_TRUE(Step(1, 2, 4).laneOn[8]);
    // Controller lane 9 of slot 0 shares its switch with ORDER of slot 1.
    H().OnParameterChanged(StepOnOff(0, 0, 9, 1), 0.0);
    EXPECT_FALSE(Step(0, 1, 1).laneOn[0]);
    // The last decoded index is area 3, pattern 11, lane 8, step 31.
    H().OnParameterChanged(44436, 0.0);
    EXPECT_FALSE(Step(3, 11, 31).laneOn[8]);
}

TEST_F(UIEventHandlerTest, LaneParametersReachTheirLooper)
{
    H().OnParameterChanged(PerLane(kLaneDirection, 2, 3, 16), 2.0);
    EXPECT_EQ(f.Stepper(2).GetLaneLooper(3, 16)->GetMode(), 2);
    EXPECT_EQ(f.Stepper(2).GetLaneLooper(3, 15)->GetMode(), 0);
    EXPECT_EQ(f.host.LastStatus(), "Loop direction: "); // the display text comes from the plug-in
}

TEST_F(UIEventHandlerTest, SceneStepsUseTheStepWithinTheirArea)
{
    H().OnParameterChanged(SceneStep(kSceneStepLength, 1, 3), 7.0);
    EXPECT_EQ(f.Area(1).GetSceneStep(3)->length, 8);
    EXPECT_EQ(f.Area(0).GetSceneStep(3)->length, 32);
    H().OnParameterChanged(SceneStep(kSceneStepPattern, 3, 15), 11.0);
    EXPECT_EQ(f.Area(3).GetSceneStep(15)->pattern, 11);
    H().OnParameterChanged(SceneStep(kSceneStepRepeat, 2, 0), 4.0);
    EXPECT_EQ(f.Area(2).GetSceneStep(0)->repeat, 4);
    EXPECT_EQ(f.host.LastStatus(), "Repeat: 5 times");
    // No step cell belongs to a scene step.
    EXPECT_TRUE(f.host.cells.empty());
}

TEST_F(UIEventHandlerTest, KeyAreaSettingsReachTheirArea)
{
    H().OnParameterChanged(kKeyAreaOnOff + 2, 1.0);
    EXPECT_TRUE(f.Area(2).IsEnabled());
    H().OnParameterChanged(kMidiInChannel + 2, 9.0);
    EXPECT_EQ(f.Area(2).GetMidiInChannel(), 10);
    H().OnParameterChanged(kMidiOutChannel + 2, 15.0);
    EXPECT_EQ(f.Area(2).GetMidiOutChannel(), 16);
    H().OnParameterChanged(kStartNote + 2, 24.0);
    H().OnParameterChanged(kEndNote + 2, 46.0);
    H().OnParameterChanged(kBaseNote + 2, 31.0);
    EXPECT_EQ(f.Area(2).GetStartNote(), 36);
    EXPECT_EQ(f.Area(2).GetEndNote(), 59);
    EXPECT_EQ(f.Area(2).GetBaseNote(), 43);
    H().OnParameterChanged(kArpOnNoteCount + 2, 2.0);
    EXPECT_EQ(f.Area(2).GetArpOnNoteCount(), 3);
    H().OnParameterChanged(kVelocityMode + 2, 4.0);
    EXPECT_EQ(f.Area(2).GetVelocityCalculator().GetMode(), 4);
    H().OnParameterChanged(kHold + 2, 1.0);
    H().OnParameterChanged(kHoldTranspose + 2, 1.0);
    EXPECT_TRUE(f.Area(2).GetHoldTranspose());
    H().OnParameterChanged(kHoldBypass + 2, 1.0);
    EXPECT_TRUE(f.Area(2).GetHoldBypass());
    H().OnParameterChanged(kNoteRelease + 2, 1.0);
    EXPECT_TRUE(f.Area(2).GetHold());
    EXPECT_TRUE(f.Area(2).GetNoteRelease());
    EXPECT_FALSE(f.Area(1).GetHold());
    H().OnParameterChanged(kSceneOnOff + 2, 1.0);
    EXPECT_TRUE(f.Area(2).IsSceneEnabled());
    EXPECT_EQ(f.host.calls.back(), "ShowScenesOn(2,1)");
    H().OnParameterChanged(kSendControllers + 3, 1.0);
    EXPECT_EQ(f.host.calls.back(), "ShowSendOnlyCcState(3)");
    H().OnParameterChanged(kTriggerChordMemory + 1, 1.0);
    EXPECT_EQ(f.host.calls.back(), "ShowTriggerChordMemoryState(1)");
}

TEST_F(UIEventHandlerTest, KeyAreaPatternsSwitchesTheViewOnlyForTheShownArea)
{
    f.host.shownArea = 0;
    H().OnParameterChanged(kKeyAreaPatterns + 2, 5.0);
    EXPECT_TRUE(f.host.editedPatterns.empty());
    H().OnParameterChanged(kKeyAreaPatterns + 0, 4.0);
    ASSERT_EQ(f.host.editedPatterns.size(), 1u);
    EXPECT_EQ(f.host.editedPatterns[0], 4);
    EXPECT_EQ(f.host.LastStatus(), "Pattern: 5");
}

TEST_F(UIEventHandlerTest, ScaleSettingsReachAllFourAreas)
{
    H().OnParameterChanged(kScale, 3.0);
    H().OnParameterChanged(kScaleKey, 7.0);
    H().OnParameterChanged(kScaleMode, 2.0);
    for (int a = 0; a < 4; ++a)
    {
        EXPECT_EQ(f.Area(a).GetScale().GetScale(), 2);
        EXPECT_EQ(f.Area(a).GetScale().GetBaseNote(), 7);
        EXPECT_EQ(f.Area(a).GetScale().GetRoot(), 2);
    }
    H().OnParameterChanged(kScale, 0.0); // "Off"
    EXPECT_EQ(f.Area(3).GetScale().GetScale(), -1);
}

TEST_F(UIEventHandlerTest, EditorSelectorsReachThePlugIn)
{
    H().OnParameterChanged(kPatternStepMode, 3.0);
    ASSERT_EQ(f.host.lanes.size(), 1u);
    EXPECT_EQ(f.host.lanes[0], 3);
    ASSERT_EQ(f.host.cells.size(), 32u);
    EXPECT_EQ(f.host.cells[31], std::make_pair(3, 31));
    H().OnParameterChanged(kPatternControllerSelection, 7.0);
    EXPECT_EQ(f.host.lanes.back(), 16);
    H().OnParameterChanged(kKeyAreaSelection, 2.0);
    EXPECT_EQ(f.host.selectedAreas.back(), 2);
    EXPECT_EQ(f.engine->GetKeyAreas()->GetSelectedForEditing(), 2);
    H().OnParameterChanged(kSelectionTool, 1.0);
    H().OnParameterChanged(kDrawTool, 0.0);
    H().OnParameterChanged(kDrawTool, 1.0);
    EXPECT_EQ(f.host.tools, (std::vector<int>{1, 0}));
    H().OnParameterChanged(kControllerTeachSelection, 75.0);
    H().OnParameterChanged(kControllerTeach, 1.0);
    EXPECT_EQ(f.host.calls[f.host.calls.size() - 2], "SetCcLaneNumber(75)");
    EXPECT_EQ(f.host.calls.back(), "SetCcTeachMode(1)");
}

TEST_F(UIEventHandlerTest, DisabledInformationStillReachesTheEngine)
{
    H().SetInformationEnabled(false);
    H().OnParameterChanged(PerPattern(kOctaves, 0, 0), 4.0);
    H().OnParameterChanged(PerPattern(kRate, 0, 0), 9.0);
    EXPECT_EQ(Pattern(0, 0).octaves, 4);
    EXPECT_DOUBLE_EQ(Pattern(0, 0).rate, 0.5);
    // The rate's own text obeys the switch too: no text at all.
    EXPECT_TRUE(f.host.status.empty());
    H().SetInformationEnabled(true);
    H().OnParameterChanged(PerPattern(kRate, 0, 0), 9.0);
    EXPECT_EQ(f.host.status, (std::vector<std::string>{"Rate: 1/8"}));
}

TEST_F(UIEventHandlerTest, BadInputChangesNothing)
{
    H().OnParameterChanged(PerPattern(kOctaves, 0, 0), std::nan(""));
    H().OnParameterChanged(-5, 1.0);
    H().OnParameterChanged(56738, 1.0);
    H().OnParameterChanged(50000, 1.0); // defined by nothing
    H().OnParameterChanged(PerPattern(kPatternSteps, 0, 0), 99.0);
    EXPECT_EQ(Pattern(0, 0).octaves, 1);
    EXPECT_EQ(Pattern(0, 0).length, 32); // clamped to 32 by the stepper
    EXPECT_TRUE(f.host.calls.empty());
}

TEST_F(UIEventHandlerTest, BlockDecodingHelpers)
{
    EXPECT_EQ(UIEventHandler::LaneOfParameterBlock(12472, 0), 0);
    EXPECT_EQ(UIEventHandler::LaneOfParameterBlock(15544, 5), 1);
    EXPECT_EQ(UIEventHandler::LaneOfParameterBlock(14008, 5), 8);
    EXPECT_EQ(UIEventHandler::LaneOfParameterBlock(18173, 32 * 7 + 3), 16);
    EXPECT_EQ(UIEventHandler::LaneOfParameterBlock(18173, 256 + 32), 10);
    EXPECT_EQ(UIEventHandler::LaneOfParameterBlock(17125, 3), 17125);
    EXPECT_EQ(UIEventHandler::StepOfParameter(4792, 6327), 31);
    EXPECT_EQ(UIEventHandler::StepOfParameter(4792, 4791), 31);
}

// A bare control for the observer tests.
class TaggedControl : public IControl
{
public:
    TaggedControl() : IControl(nullptr, IRectangle{0, 0, 10, 10}) {}
    bool Paint(IGraphics*) override { return false; }
    void Set(double v) { value_ = v; }
};

TEST_F(UIEventHandlerTest, ObservedControlsByTag)
{
    TaggedControl areaSwitch;
    areaSwitch.SetTag(0, 2);
    areaSwitch.SetTag(1, UIEventHandler::kTagKeyAreaSwitch);
    areaSwitch.Set(1.0);
    IMouseModifiers plain{};
    IMouseModifiers control{};
    control.control = true;
    H().OnSubjectMouseEvent(&areaSwitch, 0, 0, IObserverInterface::kMouseUp, plain);
    H().OnSubjectMouseEvent(&areaSwitch, 0, 0, IObserverInterface::kMouseDown, control);
    EXPECT_TRUE(f.host.calls.empty());
    H().OnSubjectMouseEvent(&areaSwitch, 0, 0, IObserverInterface::kMouseUp, control);
    EXPECT_EQ(f.host.calls.back(), "SetOtherKeyAreasOnOff(2,1)");

    TaggedControl about;
    about.SetTag(1, UIEventHandler::kTagAboutBox);
    H().OnSubjectMouseEvent(&about, 0, 0, IObserverInterface::kMouseDown, plain);
    H().OnSubjectMouseEvent(&about, 0, 0, IObserverInterface::kMouseUp, plain);
    EXPECT_EQ(f.host.calls.back(), "ToggleAboutBox()");
    about.SetTag(1, UIEventHandler::kTagAboutLink);
    H().OnSubjectMouseEvent(&about, 0, 0, IObserverInterface::kMouseUp, plain);
    EXPECT_EQ(f.host.calls.back(), "OpenAboutLink()");
    EXPECT_EQ(f.host.calls.size(), 3u);
}

} // namespace
} // namespace quova::test
