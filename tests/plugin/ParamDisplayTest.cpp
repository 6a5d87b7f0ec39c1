// The display setters and the edit menus: the controls the engine's actions and the views act
// through, shown and hidden by key area, pattern and lane, and the copy, paste and learn menus.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/ActionDispatcher.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "plugin/ControlRegistry.h"
#include "tests/plugin/MidiTestSupport.h"
#include "views/ParameterIndex.h"

namespace quova::test
{
namespace
{

using namespace quova::param;

class ParamDisplay : public ::testing::Test
{
protected:
    ParamDisplay() { rig.BlockAt(0.0); }

    Tobel& P() { return rig.Plug(); }
    PatternEngine& Area(int a) { return *P().GetEngineHost().GetKeyAreas()->GetArea(a); }
    ControlRegistry& R() { return *P().GetControlRegistry(); }
    // The host's road: the controls bound to the parameter take the value, then the parameter and
    // the change handler.
    void Set(int index, double value)
    {
        const double n = P().GetParameter(index)->Normalize(value);
        P().GetGraphics()->UpdateParameterControls(index, n, true);
        P().SetParameterFromGUI(index, n);
    }
    double Value(int index) { return P().GetParameter(index)->Value(); }
    bool CellShown(int a, int p, int lane, int step)
    {
        IControl* c = R().FindStepControl(a, p, lane, step);
        return c != nullptr && !c->IsHidden();
    }
    bool OnOffShown(int a, int p, int lane, int step)
    {
        IControl* c = R().FindNthLaneSwitch(a, p, lane, kStepOnOff, step);
        return c != nullptr && !c->IsHidden();
    }
    // Picks entry of a menu parameter (30473..30476) for the control at controlIndex.
    void Menu(int menuIndex, int entry, int controlIndex = -1)
    {
        const IParameter* menu = P().GetParameter(menuIndex);
        P().SetParameterFromGUIPrompt(controlIndex, -1, menuIndex, menu->Normalize(entry), 0, 0);
    }
    void Dispatch(int id, int value = 0)
    {
        ActionArgument argument;
        argument.value = value;
        P().GetEngineHost().GetDispatcher()->Dispatch(id, argument);
    }

    MidiRig rig{false};
};

TEST_F(ParamDisplay, OnlyTheEditedAreaPatternAndLaneShow)
{
    EXPECT_TRUE(CellShown(0, 0, 0, 5));
    EXPECT_FALSE(CellShown(0, 0, 1, 5));
    EXPECT_FALSE(CellShown(0, 1, 0, 5));
    EXPECT_FALSE(CellShown(1, 0, 0, 5));
    EXPECT_FALSE(R().FindAreaControl(0, kHold)->IsHidden());
    EXPECT_TRUE(R().FindAreaControl(2, kHold)->IsHidden());
    // The free-rate knob hides while "Rate free toggle" is off.
    EXPECT_FALSE(R().FindPatternControl(0, 0, kRate)->IsHidden());
    EXPECT_TRUE(R().FindPatternControl(0, 0, kRateFree)->IsHidden());
}

TEST_F(ParamDisplay, LaneSelectionThroughItsParameter)
{
    Set(kPatternStepMode, 3.0);
    EXPECT_EQ(P().GetShownLane(), 3);
    EXPECT_TRUE(CellShown(0, 0, 3, 31));
    EXPECT_FALSE(CellShown(0, 0, 0, 31));
    EXPECT_TRUE(OnOffShown(0, 0, 3, 0));
    Set(kPatternControllerSelection, 2.0); // controller lane 11
    EXPECT_EQ(P().GetShownLane(), 11);
    EXPECT_TRUE(CellShown(0, 0, 11, 0));
    EXPECT_FALSE(CellShown(0, 0, 3, 0));
}

TEST_F(ParamDisplay, OnlyOrderOnOffShowsTheOrderSwitchesOverOtherLanes)
{
    P().SetGlobalOption(GlobalSettings::kUseOnlyOrderOnOff, 1.0);
    Set(kPatternStepMode, 4.0);
    EXPECT_TRUE(CellShown(0, 0, 4, 0));
    EXPECT_FALSE(OnOffShown(0, 0, 4, 0));
    EXPECT_TRUE(OnOffShown(0, 0, 0, 0));
    EXPECT_FALSE(CellShown(0, 0, 0, 0));
    P().SetGlobalOption(GlobalSettings::kUseOnlyOrderOnOff, 0.0);
}

TEST_F(ParamDisplay, ControllerLaneSelectionShowsItsNumberWithoutChangingIt)
{
    Set(kPatternControllerSelection, 1.0); // controller lane 10 of key area 1
    Set(kControllerTeachSelection, 75.0);  // controller 74
    EXPECT_EQ(P().GetControllerLaneNumber(1), 74);
    Set(kPatternControllerSelection, 0.0);
    EXPECT_EQ(Value(kControllerTeachSelection), 0.0); // lane 9 has no number
    EXPECT_EQ(P().GetCcTeachSlot(), 0);
    Set(kPatternControllerSelection, 1.0);
    EXPECT_EQ(Value(kControllerTeachSelection), 75.0);
    EXPECT_EQ(P().GetControllerLaneNumber(1), 74);
    EXPECT_EQ(P().GetCcTeachSlot(), 1);
}

TEST_F(ParamDisplay, KeyAreaSelectionShowsThatAreasCurrentPattern)
{
    Set(kKeyAreaPatterns + 2, 4.0);
    Set(kKeyAreaSelection, 2.0);
    EXPECT_EQ(P().GetEditedArea(), 2);
    EXPECT_EQ(P().GetShownPattern(), 4);
    EXPECT_TRUE(CellShown(2, 4, 0, 0));
    EXPECT_FALSE(CellShown(0, 0, 0, 0));
    EXPECT_TRUE(R().FindAreaControl(0, kHold)->IsHidden());
    EXPECT_FALSE(R().FindAreaControl(2, kHold)->IsHidden());
    // The edited area's pattern selector switches the shown pattern.
    Set(kKeyAreaPatterns + 2, 7.0);
    EXPECT_EQ(P().GetShownPattern(), 7);
    EXPECT_TRUE(CellShown(2, 7, 0, 0));
    EXPECT_FALSE(CellShown(2, 4, 0, 0));
    // Another area's selector does not.
    Set(kKeyAreaPatterns + 1, 9.0);
    EXPECT_EQ(P().GetShownPattern(), 7);
}

TEST_F(ParamDisplay, FreeRateToggleSwapsTheKnobsOfTheShownPattern)
{
    Set(PerPattern(kRateFreeToggle, 0, 0), 1.0);
    EXPECT_TRUE(R().FindPatternControl(0, 0, kRate)->IsHidden());
    EXPECT_FALSE(R().FindPatternControl(0, 0, kRateFree)->IsHidden());
    // Another pattern's toggle changes nothing on screen until it is shown.
    Set(PerPattern(kRateFreeToggle, 0, 3), 1.0);
    EXPECT_TRUE(R().FindPatternControl(0, 3, kRateFree)->IsHidden());
    Set(kKeyAreaPatterns, 3.0);
    EXPECT_FALSE(R().FindPatternControl(0, 3, kRateFree)->IsHidden());
    EXPECT_TRUE(R().FindPatternControl(0, 3, kRate)->IsHidden());
}

TEST_F(ParamDisplay, EngineActionsSetTheirControls)
{
    Dispatch(ActionDispatcher::kShowPattern, 5);
    EXPECT_EQ(Value(kKeyAreaPatterns), 5.0);
    EXPECT_EQ(P().GetShownPattern(), 5);
    Dispatch(ActionDispatcher::kShowProgram, 47); // key area 3, pattern 11
    EXPECT_EQ(Value(kKeyAreaPatterns + 3), 11.0);
    Dispatch(ActionDispatcher::kShowPattern, 15); // "pattern16" stops at the twelfth
    EXPECT_EQ(Value(kKeyAreaPatterns), 11.0);

    Dispatch(ActionDispatcher::kToggleHold);
    EXPECT_EQ(Value(kHold), 1.0);
    EXPECT_TRUE(Area(0).GetHold());
    Dispatch(ActionDispatcher::kToggleHold);
    EXPECT_FALSE(Area(0).GetHold());
    Dispatch(ActionDispatcher::kToggleHoldBypass);
    EXPECT_EQ(Value(kHoldBypass), 1.0);
    EXPECT_TRUE(Area(0).GetHoldBypass());

    Set(kChordMemorySelection, 6.0);
    Dispatch(ActionDispatcher::kResetChordMemorySelection);
    EXPECT_EQ(Value(kChordMemorySelection), 0.0);

    rig.ClearSent();
    Dispatch(ActionDispatcher::kPanic);
    rig.Blocks(1);
    EXPECT_EQ(rig.SentOfKind(0xB0).size(), 16u);
}

TEST_F(ParamDisplay, HoldSwitchesFollowTheEngine)
{
    P().ShowHoldSwitch();
    EXPECT_EQ(Value(kHold), 1.0);
    P().ShowHoldSwitch();
    EXPECT_EQ(Value(kHold), 0.0);
    Set(kHold, 1.0);
    Set(kHoldBypass, 1.0);
    P().ShowHoldBypassSwitch(); // both on: bypass off
    EXPECT_EQ(Value(kHoldBypass), 0.0);
    EXPECT_FALSE(Area(0).GetHoldBypass());
}

TEST_F(ParamDisplay, OtherKeyAreasTakeTheInverseSwitch)
{
    P().SetOtherKeyAreasOnOff(1, true);
    EXPECT_EQ(Value(kKeyAreaOnOff + 1), 0.0); // untouched (default off)
    EXPECT_EQ(Value(kKeyAreaOnOff + 0), 0.0);
    EXPECT_FALSE(Area(0).IsEnabled());
    P().SetOtherKeyAreasOnOff(1, false);
    EXPECT_EQ(Value(kKeyAreaOnOff + 2), 1.0);
    EXPECT_TRUE(Area(3).IsEnabled());
}

TEST_F(ParamDisplay, EditToolsAreExclusive)
{
    Set(kSelectionTool, 1.0);
    EXPECT_EQ(P().GetEditTool(), 1);
    EXPECT_EQ(Value(kDrawTool), 0.0);
    Set(kDrawTool, 1.0);
    EXPECT_EQ(P().GetEditTool(), 0);
    EXPECT_EQ(Value(kSelectionTool), 0.0);
}

TEST_F(ParamDisplay, GreyingTheLoadedPresetControls)
{
    P().GrayOutPresetControls(true);
    EXPECT_TRUE(R().FindGlobalControl(kBoxLeft)->IsGreyed());
    EXPECT_TRUE(R().FindGlobalControl(kChordMemoryBoxRight)->IsGreyed());
    EXPECT_TRUE(R().FindAreaControl(3, kBaseNote)->IsGreyed());
    EXPECT_FALSE(R().FindAreaControl(3, kHold)->IsGreyed());
    P().GrayOutPresetControls(false);
    EXPECT_FALSE(R().FindAreaControl(3, kBaseNote)->IsGreyed());
}

TEST_F(ParamDisplay, CopyAndPasteToolsMoveALaneOrARange)
{
    for (int t = 0; t < 32; ++t)
        Set(StepValue(0, 0, 5, t), t % 7 - 3.0);
    Set(kPatternStepMode, 5.0);
    Set(kCopyTool, 1.0);
    Set(kKeyAreaPatterns, 2.0); // the edited pattern becomes 2
    Set(kPasteTool, 1.0);
    for (int t = 0; t < 32; ++t)
        EXPECT_EQ(Value(StepValue(0, 2, 5, t)), t % 7 - 3.0) << t;
    EXPECT_EQ(Area(0).GetStepper().GetStep(2, 9)->transpose, 9 % 7 - 3);

    // A range pastes at the selection start in selection mode.
    Set(kKeyAreaPatterns, 0.0);
    P().SetStepSelection(4, 6);
    Set(kCopyTool, 1.0);
    Set(kKeyAreaPatterns, 3.0);
    Set(kSelectionTool, 1.0);
    P().SetStepSelection(30, 31);
    Set(kPasteTool, 1.0);
    EXPECT_EQ(Value(StepValue(0, 3, 5, 30)), 1.0); // step 4: 4 % 7 - 3
    EXPECT_EQ(Value(StepValue(0, 3, 5, 31)), 2.0); // step 5
    EXPECT_EQ(Value(StepValue(0, 3, 5, 29)), 0.0); // untouched; nothing past step 31
}

TEST_F(ParamDisplay, RandomizeAndClear)
{
    Set(kPatternStepMode, 3.0); // GATE, -100..100
    Set(kRandomize, 1.0);
    int changed = 0;
    for (int t = 0; t < 32; ++t)
    {
        const double v = Value(StepValue(0, 0, 3, t));
        EXPECT_NEAR(v, std::round(v), 1e-9); // a whole value (up to the normalised road's rounding)
        EXPECT_GE(v, -100.0);
        EXPECT_LE(v, 100.0);
        changed += v != 0.0;
    }
    EXPECT_GT(changed, 20);
    Set(kClearTool, 1.0);
    for (int t = 0; t < 32; ++t)
        EXPECT_EQ(Value(StepValue(0, 0, 3, t)), 0.0);

    Set(kPatternStepMode, 2.0); // LENGTH 1..8: cleared to its lowest value
    Set(StepValue(0, 0, 2, 3), 5.0);
    Set(kClearTool, 1.0);
    EXPECT_EQ(Value(StepValue(0, 0, 2, 3)), 1.0);
}

TEST_F(ParamDisplay, LearnMenuArmsAndUnlearnClearsEveryMapping)
{
    IControl* octaves = R().FindPatternControl(0, 0, kOctaves);
    Menu(kMidiLearnMenu, 0, octaves->GetListIndex());
    EXPECT_EQ(P().GetLearnSlot(), octaves->GetListIndex());
    P().SetLearnMapping(20, 7);
    P().SetLearnMapping(21, 9);
    Menu(kMidiLearnMenu, 1, octaves->GetListIndex());
    EXPECT_EQ(P().GetLearnSlot(), -1);
    EXPECT_EQ(P().GetLearnMapping(20), -1);
    EXPECT_EQ(P().GetLearnMapping(21), -1);
}

TEST_F(ParamDisplay, StepMenu)
{
    Set(kPatternStepMode, 5.0);
    IControl* cell = R().FindStepControl(0, 0, 5, 6);
    Set(StepValue(0, 0, 5, 6), 7.0);
    Menu(kStepMenu, 3, cell->GetListIndex()); // copy to all
    for (int t = 0; t < 32; ++t)
        EXPECT_EQ(Value(StepValue(0, 0, 5, t)), 7.0);
    Menu(kStepMenu, 1, cell->GetListIndex()); // learn the step's cell
    EXPECT_EQ(P().GetLearnSlot(), cell->GetListIndex());
    P().SetLearnMapping(30, cell->GetListIndex());
    P().SetLearnMapping(31, 5);
    Menu(kStepMenu, 2, cell->GetListIndex()); // unlearn only this cell
    EXPECT_EQ(P().GetLearnMapping(30), -1);
    EXPECT_EQ(P().GetLearnMapping(31), 5);
    Menu(kStepMenu, 4, cell->GetListIndex()); // reset
    EXPECT_EQ(Value(StepValue(0, 0, 5, 20)), 0.0);
    Menu(kStepMenu, 0, cell->GetListIndex()); // the lane off in every pattern
    for (int p = 0; p < 12; ++p)
        EXPECT_FALSE(Area(0).GetStepper().IsLaneEnabled(p, 5));
    // A menu opened over something that is not a cell of the lane does nothing.
    Set(StepValue(0, 0, 5, 0), 3.0);
    Menu(kStepMenu, 3, R().FindAreaControl(0, kHold)->GetListIndex());
    Menu(kStepMenu, 3, 999999);
    EXPECT_EQ(Value(StepValue(0, 0, 5, 1)), 0.0);
}

TEST_F(ParamDisplay, PatternMenuCopiesValuesAndLoopRanges)
{
    Set(PerPattern(kOctaves, 0, 0), 3.0);
    Set(StepValue(0, 0, 4, 2), 55.0);
    Area(0).GetStepper().GetLaneLooper(0, 4)->SetLoopRange(2, 9);
    Menu(kPatternCopyMenu, 0);
    Set(kKeyAreaPatterns, 6.0);
    const std::string status = P().GetStatusText();
    Menu(kPatternCopyMenu, 1);
    EXPECT_EQ(P().GetStatusText(), status); // no information while pasting
    EXPECT_EQ(Value(PerPattern(kOctaves, 0, 6)), 3.0);
    EXPECT_EQ(Area(0).GetStepper().GetPatternOctaves(6), 3);
    EXPECT_EQ(Value(StepValue(0, 6, 4, 2)), 55.0);
    EXPECT_EQ(Area(0).GetStepper().GetLaneLooper(6, 4)->LoopStart(), 2);
    EXPECT_EQ(Area(0).GetStepper().GetLaneLooper(6, 4)->LoopEnd(), 9);
    // "Paste to all" reaches every other pattern.
    Menu(kPatternCopyMenu, 2);
    EXPECT_EQ(Value(PerPattern(kOctaves, 0, 11)), 3.0);
    EXPECT_EQ(Value(PerPattern(kOctaves, 1, 11)), 1.0);
}

TEST_F(ParamDisplay, AreaMenuCopiesAndTogglesFlags)
{
    Set(kArpOnNoteCount, 2.0);
    Set(StepValue(0, 3, 1, 0), 9.0);
    Menu(kAreaCopyMenu, 2); // to every other area
    for (int a = 1; a < 4; ++a)
    {
        EXPECT_EQ(Value(kArpOnNoteCount + a), 2.0);
        EXPECT_EQ(Value(StepValue(a, 3, 1, 0)), 9.0);
        EXPECT_EQ(Value(kKeyAreaOnOff + a), 0.0); // the on/off switch is not copied
    }
    Menu(kAreaCopyMenu, 3);
    EXPECT_EQ(Value(kSendControllers), 1.0);
    EXPECT_EQ(P().GetStatusText(), "Sending only CC");
    Menu(kAreaCopyMenu, 3);
    EXPECT_EQ(Value(kSendControllers), 0.0);
    Menu(kAreaCopyMenu, 4);
    EXPECT_EQ(Value(kTriggerChordMemory), 1.0);
    EXPECT_EQ(P().GetStatusText(), "Trigger CM");
}

} // namespace
} // namespace quova::test
