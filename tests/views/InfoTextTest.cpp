// The information line: the text of every kind of parameter, including the later key areas and
// patterns of blocks whose text is written for all of them, and the number styles of each row.
#include <gtest/gtest.h>

#include "ViewsTestSupport.h"
#include "views/ParameterIndex.h"

namespace quova::test
{
namespace
{

using namespace quova::param;

class InfoTextTest : public ::testing::Test
{
protected:
    ViewsFixtureEngine f;
    std::string Text(int i, double v)
    {
        auto text = f.handler->ParameterInfoText(i, v);
        return text ? *text : std::string("<none>");
    }
};

TEST_F(InfoTextTest, KeyAreaParameters)
{
    EXPECT_EQ(Text(kNoteRelease + 3, 1.0), "Note release: On");
    EXPECT_EQ(Text(kNoteRelease, 0.0), "Note release: Off");
    EXPECT_EQ(Text(kHoldTranspose + 1, 1.0), "Hold Transpose: On");
    EXPECT_EQ(Text(kHoldBypass + 2, 0.0), "Hold bypass: Off");
    EXPECT_EQ(Text(kHold, 1.0), "Hold: On");
    EXPECT_EQ(Text(kHold + 3, 0.0), "Hold: Off"); // every area, not only the first
    EXPECT_EQ(Text(kArpOnNoteCount + 1, 2.0), "Arp on note count: 3");
    EXPECT_EQ(Text(kKeyAreaOnOff + 2, 0.0), "Track: Off");
    EXPECT_EQ(Text(kKeyAreaOnOff + 2, 1.0), "Track: On");
    EXPECT_EQ(Text(kMidiInChannel, 4.0), "MIDI in: 4"); // the value, counted from 0
    EXPECT_EQ(Text(kMidiInChannel + 3, 15.0), "MIDI in: 15");
    EXPECT_EQ(Text(kMidiOutChannel + 2, 0.0), "MIDI out: 0");
    EXPECT_EQ(Text(kKeyAreaPatterns + 3, 11.0), "Pattern: 12");
    EXPECT_EQ(Text(kVolume + 1, 0.5), "Key area Volume: 50");
    EXPECT_EQ(Text(kVolume, -0.257), "Key area Volume: -25");
    EXPECT_EQ(Text(kHoldSync, 0.0), "Hold sync: Immediate");
    EXPECT_EQ(Text(kHoldSync + 3, 3.0), "Hold sync: 4 steps");
    EXPECT_EQ(Text(kSceneEnd, 3.0), "<none>");
    EXPECT_EQ(Text(kSendControllers, 1.0), "<none>");
}

TEST_F(InfoTextTest, VelocityModeAndOtherDisplayTextsComeFromThePlugIn)
{
    f.host.displayTexts[{kVelocityMode + 2, 3}] = "Last";
    f.host.displayTexts[{PerPattern(kSortOrder, 3, 11), 6}] = "As played alt";
    f.host.displayTexts[{kScale, 1}] = "Major";
    f.host.displayTexts[{kScaleKey, 7}] = "G";
    f.host.displayTexts[{kScaleMode, 11}] = "11";
    f.host.displayTexts[{PerLane(kLaneDirection, 1, 2, 3), 2}] = "Up Alt";
    EXPECT_EQ(Text(kVelocityMode + 2, 3.0), "Velocity mode: Last");
    EXPECT_EQ(Text(PerPattern(kSortOrder, 3, 11), 6.0), "Play order: As played alt");
    EXPECT_EQ(Text(kScale, 1.0), "Scale: Major");
    EXPECT_EQ(Text(kScaleKey, 7.0), "Scale key: G");
    EXPECT_EQ(Text(kScaleMode, 11.0), "Scale mode: 11");
    EXPECT_EQ(Text(PerLane(kLaneDirection, 1, 2, 3), 2.0), "Loop direction: Up Alt");
}

TEST_F(InfoTextTest, PatternParameters)
{
    EXPECT_EQ(Text(PerPattern(kPatternGate, 0, 0), -10.0), "Gate: -10.0");
    EXPECT_EQ(Text(PerPattern(kPatternGate, 3, 11), 33.0), "Gate: 33.0");
    EXPECT_EQ(Text(PerPattern(kRateFreeToggle, 2, 9), 1.0), "Free mode: On");
    EXPECT_EQ(Text(PerPattern(kRateFreeToggle, 2, 9), 0.0), "Free mode: Off");
    EXPECT_EQ(Text(PerPattern(kRateFree, 1, 1), 2.5), "Rate: 2.5 Hz");
    EXPECT_EQ(Text(PerPattern(kRateFree, 1, 1), 4.0), "Rate: 4 Hz");
    EXPECT_EQ(Text(PerPattern(kSwing, 1, 1), 0.25), "Swing: 25.0");
    EXPECT_EQ(Text(PerPattern(kOctaves, 3, 3), 3.0), "Octaves: 3");
    EXPECT_EQ(Text(PerPattern(kTranspose, 3, 3), -2.5), "Transpose: -3");
    EXPECT_EQ(Text(PerPattern(kTranspose, 3, 3), 2.5), "Transpose: 3");
    EXPECT_EQ(Text(PerPattern(kResetOnNewNote, 3, 4), 0.0), "Reset on new note: Off");
    EXPECT_EQ(Text(PerPattern(kResetOnNewNote, 0, 0), 1.0), "Reset on new note: On");
    EXPECT_EQ(Text(PerPattern(kPatternSteps, 1, 0), 15.0), "Pattern length: 16");
    EXPECT_EQ(Text(kPatternStepSwitch + 32 * 47 + 31, 1.0), "Pattern step: On");
    EXPECT_EQ(Text(kPatternStepSwitch, 0.0), "Pattern step: Off");
    EXPECT_EQ(Text(PerLane(kLaneResetOnPatternReset, 3, 11, 16), 1.0), "Reset on pattern reset: On");
    // "Rate" writes its text through its own rule, not here.
    EXPECT_EQ(Text(PerPattern(kRate, 0, 0), 12.0), "<none>");
}

TEST_F(InfoTextTest, StepLanes)
{
    EXPECT_EQ(Text(StepValue(0, 0, 2, 0), 3.0), "Length: 3");
    EXPECT_EQ(Text(StepValue(1, 4, 3, 7), 50.0), "Gate: 50");
    EXPECT_EQ(Text(StepValue(1, 4, 4, 7), -33.0), "Accent: -33");
    EXPECT_EQ(Text(StepValue(1, 4, 5, 7), -24.0), "Transpose: -24");
    EXPECT_EQ(Text(StepValue(1, 4, 6, 7), 5.0), "Div: 5");
    EXPECT_EQ(Text(StepValue(1, 4, 7, 7), -2.5), "Shift: -2");
    EXPECT_EQ(Text(StepValue(1, 4, 1, 7), 9.0), "Chord memory slot: 9");
    EXPECT_EQ(Text(StepValue(3, 11, 1, 31), 15.0), "Chord memory slot: 15");
    EXPECT_EQ(Text(StepValue(0, 0, 0, 0), 0.0), "Order: Play");
    EXPECT_EQ(Text(StepValue(2, 2, 0, 2), 5.0), "Order: High");
    EXPECT_EQ(Text(StepValue(2, 2, 0, 2), 7.0), "Order: Random");
    EXPECT_EQ(Text(StepValue(2, 2, 8, 2), 3.0), "<none>");  // the chord lane has no text
    EXPECT_EQ(Text(StepValue(2, 2, 12, 2), 3.0), "<none>"); // nor do the controller lanes
}

TEST_F(InfoTextTest, StepGateInStepsCountsStepsForPositiveGates)
{
    f.handler->SetGateInSteps(true);
    EXPECT_EQ(Text(StepValue(0, 0, 3, 0), 50.0), "Gate: 16 steps"); // trunc(0.5 x 31 + 1)
    EXPECT_EQ(Text(StepValue(0, 0, 3, 0), 0.0), "Gate: 1 steps");
    EXPECT_EQ(Text(StepValue(0, 0, 3, 0), 100.0), "Gate: 32 steps");
    EXPECT_EQ(Text(StepValue(0, 0, 3, 0), -20.0), "Gate: -20");
}

TEST_F(InfoTextTest, ScenesAndGlobals)
{
    EXPECT_EQ(Text(SceneStep(kSceneStepLength, 3, 15), 31.0), "Step length: 32");
    EXPECT_EQ(Text(SceneStep(kSceneStepPattern, 0, 0), 0.0), "Pattern: 1");
    EXPECT_EQ(Text(SceneStep(kSceneStepRepeat, 2, 4), 0.0), "Repeat: 1 times");
    EXPECT_EQ(Text(kGlobalVolume, 64.0), "Global Volume: 50");
    EXPECT_EQ(Text(kGlobalVolume, 127.0), "Global Volume: 100");
    EXPECT_EQ(Text(kKeyAreaSelection, 2.0), "Track: 2");
    EXPECT_EQ(Text(kPatternStepMode, 0.0), "Mode: Order");
    EXPECT_EQ(Text(kPatternStepMode, 6.0), "Mode: Divide notes");
    EXPECT_EQ(Text(kPatternStepMode, 8.0), "Mode: Sequence");
    EXPECT_EQ(Text(kPatternControllerSelection, 7.0), "CC edit: 8");
    EXPECT_EQ(Text(kControllerTeachSelection, 0.0), "Teach CC : disabled");
    EXPECT_EQ(Text(kControllerTeachSelection, 75.0), "Teach CC : 75");
    EXPECT_EQ(Text(kControllerTeach, 1.0), "CC teach: On");
    EXPECT_EQ(Text(kControllerTeach, 0.0), "CC teach: Off");
    EXPECT_EQ(Text(kChordMemorySelection, 3.0), "<none>");
    EXPECT_EQ(Text(kDrawTool, 1.0), "<none>");
}

TEST_F(InfoTextTest, AShownTextReplacesTheLineAndNoTextLeavesIt)
{
    f.handler->OnParameterChanged(kHold + 1, 1.0);
    EXPECT_EQ(f.host.LastStatus(), "Hold: On");
    f.handler->OnParameterChanged(kSendControllers + 1, 1.0);
    EXPECT_EQ(f.host.status.size(), 1u);
    f.handler->AppendDecimal("x: ", 2.25);
    EXPECT_EQ(f.host.LastStatus(), "x: 2.2"); // "%.1f" rounds to even here, as printf does
    f.handler->AppendInteger("n: ", -7);
    EXPECT_EQ(f.host.LastStatus(), "n: -7");
    f.handler->AppendText("a", "b");
    EXPECT_EQ(f.host.LastStatus(), "ab");
}

} // namespace
} // namespace quova::test
