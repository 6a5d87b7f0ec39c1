// The plug-in's parameter-change handler: editor buttons and selectors that act in the plug-in,
// the information line through the plug-in, and the controls the display setters act through.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/ChordMemory.h"
#include "engine/ControlTargetTable.h"
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

class ParamChange : public ::testing::Test
{
protected:
    ParamChange() { rig.BlockAt(0.0); } // processing has started: the status line takes texts

    Tobel& P() { return rig.Plug(); }
    PatternEngine& Area(int a) { return *P().GetEngineHost().GetKeyAreas()->GetArea(a); }
    ControlRegistry& Registry() { return *P().GetControlRegistry(); }
    // A control changes parameter index to value (in its own units).
    // The host's road: the controls bound to the parameter take the value, then the parameter and
    // the change handler.
    void Set(int index, double value)
    {
        const double n = P().GetParameter(index)->Normalize(value);
        P().GetGraphics()->UpdateParameterControls(index, n, true);
        P().SetParameterFromGUI(index, n);
    }
    double Value(int index) { return P().GetParameter(index)->Value(); }

    MidiRig rig{false};
};

TEST_F(ParamChange, EveryParameterChangeReachesTheEngineThroughTheHandler)
{
    Set(PerPattern(kOctaves, 2, 5), 4.0);
    EXPECT_EQ(Area(2).GetStepper().GetPatternOctaves(5), 4);
    Set(kMidiOutChannel + 1, 6.0);
    EXPECT_EQ(Area(1).GetMidiOutChannel(), 7);
    EXPECT_EQ(P().GetStatusText(), "MIDI out: 6");
    Set(StepValue(0, 0, 5, 3), -5.0);
    EXPECT_EQ(Area(0).GetStepper().GetStep(0, 3)->transpose, -5);
    EXPECT_EQ(P().GetStatusText(), "Transpose: -5");
}

TEST_F(ParamChange, ChordMemorySlotSelectionShowsTheSlotAndIsNotPassedOn)
{
    Set(kChordMemorySelection, 3.0);
    EXPECT_EQ(P().GetStatusText(), "Chord memory slot : 4");
    EXPECT_EQ(P().GetEngineHost().GetChordMemory()->CurrentSlot(), 3);
}

TEST_F(ParamChange, ChordMemoryButtonsActOnTheSelectedSlot)
{
    ChordMemory& chords = *P().GetEngineHost().GetChordMemory();
    Set(kChordMemorySelection, 2.0);
    Set(kChordSelection, 0.0);
    EXPECT_EQ(P().GetStatusText(), "Apply chord: Major");
    Set(kChordMemoryApply, 1.0);
    EXPECT_TRUE(chords.SlotHasNote(2, 16)); // "Major": 0, 12, 16, 19, 24
    EXPECT_TRUE(chords.SlotHasNote(2, 19));
    Set(kChordMemoryApply, 0.0); // a release does nothing
    Set(kChordMemoryCopy, 1.0);
    Set(kChordMemorySelection, 5.0);
    Set(kChordMemoryPaste, 1.0);
    EXPECT_TRUE(chords.SlotHasNote(5, 16));
    Set(kChordMemoryClear, 1.0);
    EXPECT_FALSE(chords.SlotHasNote(5, 16));
    EXPECT_TRUE(chords.SlotHasNote(2, 16));
}

TEST_F(ParamChange, ControlZoneSync)
{
    Set(kControlZoneSync, 0.0);
    EXPECT_EQ(P().GetStatusText(), "Control zone sync :  Next");
    EXPECT_EQ(P().GetEngineHost().GetControlTargetTable()->GetSyncSteps(), 0);
    Set(kControlZoneSync, 2.0);
    EXPECT_EQ(P().GetStatusText(), "Control zone sync : 8 Steps");
    EXPECT_EQ(P().GetEngineHost().GetControlTargetTable()->GetSyncSteps(), 8);
    Set(kControlZoneSync, 1.0);
    EXPECT_EQ(P().GetEngineHost().GetControlTargetTable()->GetSyncSteps(), 4);
    Set(kControlZoneSync, 3.0);
    EXPECT_EQ(P().GetEngineHost().GetControlTargetTable()->GetSyncSteps(), 16);
}

TEST_F(ParamChange, PanicButtonSendsInTheNextBlockOnlyWhenPressed)
{
    Set(kPanicTool, 1.0);
    Set(kPanicTool, 0.0);
    rig.ClearSent();
    rig.Blocks(1);
    const auto controllers = rig.SentOfKind(0xB0);
    ASSERT_EQ(controllers.size(), 16u);
    for (int c = 0; c < 16; ++c)
    {
        EXPECT_EQ(controllers[c].status, 0xB0 + c);
        EXPECT_EQ(controllers[c].data1, 123);
    }
    rig.ClearSent();
    rig.Blocks(1);
    EXPECT_TRUE(rig.SentOfKind(0xB0).empty());
}

TEST_F(ParamChange, LocksKeepTheirKindOfPatternSettingOutOfPresetLoads)
{
    Set(kLockSwing, 1.0);
    for (int s = 0; s < kSlotCount; ++s)
    {
        EXPECT_TRUE(P().GetParameter(kSwing + s)->IsKeptOutOfPresetLoads());
        EXPECT_FALSE(P().GetParameter(kPatternGate + s)->IsKeptOutOfPresetLoads());
    }
    Set(kLockSwing, 0.0);
    EXPECT_FALSE(P().GetParameter(kSwing + 47)->IsKeptOutOfPresetLoads());
}

TEST_F(ParamChange, ResizeTogglesTheCompactEditor)
{
    IGraphics* editor = P().GetGraphics();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Height(), Tobel::kEditorHeight);
    P().ApplyParameter(kResize, 1.0);
    EXPECT_EQ(editor->Height(), 432);
    EXPECT_TRUE(P().IsEditorCompact());
    P().ApplyParameter(kResize, 1.0);
    EXPECT_EQ(editor->Height(), Tobel::kEditorHeight);
    P().ApplyParameter(kResize, 1.0);
    P().ApplyParameter(kResize, 0.0); // released while compact: full height again
    EXPECT_EQ(editor->Height(), Tobel::kEditorHeight);
    P().ApplyParameter(kResize, 0.0);
    EXPECT_EQ(editor->Height(), Tobel::kEditorHeight);
}

TEST_F(ParamChange, StateLoadsWriteNoInformation)
{
    Set(PerPattern(kOctaves, 0, 0), 2.0);
    const std::vector<uint8_t> state = StateBytes(P());
    Set(kHold, 1.0);
    EXPECT_EQ(P().GetStatusText(), "Hold: On");
    ASSERT_GT(ReadBytes(P(), state), 0);
    EXPECT_EQ(P().GetStatusText(), "-- WELCOME --");
    EXPECT_EQ(Area(0).GetStepper().GetPatternOctaves(0), 2);
    EXPECT_FALSE(Area(0).GetHold());
    // Information comes back after the load.
    Set(kHold + 1, 1.0);
    EXPECT_EQ(P().GetStatusText(), "Hold: On");
}

TEST_F(ParamChange, InformationUsesTheParametersOwnDisplayTexts)
{
    struct Case
    {
        int index;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {kVelocityMode + 1, 0.0, "Velocity mode: Max"},
        {PerPattern(kSortOrder, 2, 11), 4.0, "Play order: Lo-Hi alt"},
        {PerLane(kLaneDirection, 3, 11, 16), 3.0, "Loop direction: Down Alt"},
        {kScale, 3.0, "Scale: Melodic Minor"},
        {kScaleKey, 10.0, "Scale key: A#"},
        {PerPattern(kRate, 1, 1), 3.0, "Rate: 1/2"},
    };
    for (const Case& c : cases)
    {
        Set(c.index, c.value);
        EXPECT_EQ(P().GetStatusText(), c.text) << "parameter " << c.index;
    }
}

TEST_F(ParamChange, StatusTextWaitsForProcessing)
{
    MidiRig fresh{false};
    fresh.Plug().SetParameterFromGUI(kHold, 1.0);
    EXPECT_EQ(fresh.Plug().GetStatusText(), "");
    EXPECT_TRUE(fresh.Plug().GetEngineHost().GetKeyAreas()->GetArea(0)->GetHold());
}

TEST_F(ParamChange, EditedLaneAndPatternEditsAreReported)
{
    EXPECT_FALSE(P().LaneHasEdits(3));
    EXPECT_FALSE(P().PatternHasEdits(0));
    Set(StepValue(0, 0, 3, 17), 40.0);
    EXPECT_TRUE(P().LaneHasEdits(3));
    EXPECT_FALSE(P().LaneHasEdits(4));
    EXPECT_TRUE(P().PatternHasEdits(0));
    EXPECT_FALSE(P().PatternHasEdits(1));
    EXPECT_EQ(P().GetParameterDisplayText(kSortOrder, 1.0), "Hi-Lo");
    EXPECT_EQ(P().GetParameterDisplayText(kOctaves, 1.0), "");
    EXPECT_EQ(P().GetEditedLaneLooper(3), Area(0).GetStepper().GetLaneLooper(0, 3));
}

TEST_F(ParamChange, BadIndicesAndValuesAreIgnored)
{
    const std::string before = P().GetStatusText();
    P().ApplyParameter(-1, 1.0);
    P().ApplyParameter(kCount, 1.0);
    P().ApplyParameter(PerPattern(kOctaves, 0, 0), std::nan(""));
    EXPECT_EQ(Area(0).GetStepper().GetPatternOctaves(0), 1);
    EXPECT_EQ(P().GetStatusText(), before);
}

} // namespace
} // namespace quova::test
