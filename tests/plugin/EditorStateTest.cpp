// What the editor leaves in a state and takes from one: the tool shortcut keys, the chord-memory
// set name, the lane shown when "Use only ORDER on/off" is switched, and option switches set to
// values between off and on.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "plugin/ControlRegistry.h"
#include "tests/plugin/PluginTestSupport.h"
#include "views/ParameterIndex.h"

namespace
{

using quova::test::ReadBytes;
using quova::test::StateBytes;
using quova::test::TempDataFolder;
using namespace quova::param;

// Key codes of the editor: digits 0..9 are 5..14.
constexpr int Digit(int d)
{
    return 5 + d;
}

class EditorState : public ::testing::Test
{
protected:
    double Value(Tobel& plug, int index) { return plug.GetParameter(index)->Value(); }
    std::vector<double> Lane(Tobel& plug, int lane)
    {
        std::vector<double> values;
        for (int t = 0; t < kStepCount; ++t)
            values.push_back(Value(plug, StepValue(0, 0, lane, t)));
        return values;
    }

    TempDataFolder folder_;
};

TEST_F(EditorState, ToolKeysActWithoutLeavingTheirButtonsOn)
{
    Tobel plug(nullptr);
    plug.SetParameterFromGUI(kPatternStepMode, 3.0 / 8.0); // GATE
    ASSERT_TRUE(plug.OnKeyPressed(0, 0, Digit(7)));        // randomise
    const std::vector<double> randomised = Lane(plug, 3);
    EXPECT_NE(randomised, std::vector<double>(kStepCount, 0.0));
    ASSERT_TRUE(plug.OnKeyPressed(0, 0, Digit(9))); // copy
    ASSERT_TRUE(plug.OnKeyPressed(0, 0, Digit(8))); // reset steps
    EXPECT_EQ(Lane(plug, 3), std::vector<double>(kStepCount, 0.0));
    ASSERT_TRUE(plug.OnKeyPressed(0, 0, Digit(0))); // paste
    EXPECT_EQ(Lane(plug, 3), randomised);
    ASSERT_TRUE(plug.OnKeyPressed(0, 0, Digit(6))); // selection tool
    EXPECT_EQ(plug.GetEditTool(), 1);
    EXPECT_EQ(Value(plug, kSelectionTool), 1.0);
    ASSERT_TRUE(plug.OnKeyPressed(0, 0, Digit(5))); // draw tool
    EXPECT_EQ(plug.GetEditTool(), 0);
    EXPECT_EQ(Value(plug, kDrawTool), 1.0);
    EXPECT_EQ(Value(plug, kSelectionTool), 0.0);
    for (int button : {kRandomize, kCopyTool, kPasteTool, kClearTool})
        EXPECT_EQ(Value(plug, button), 0.0) << button;

    // The saved project reads back unchanged: no step is randomised, reset or pasted over.
    plug.SetParameterFromGUI(kPatternStepMode, 0.0); // a read shows lane 0 again
    const auto saved = StateBytes(plug);
    Tobel other(nullptr);
    ASSERT_GT(ReadBytes(other, saved), 0);
    EXPECT_EQ(Lane(other, 3), randomised);
    EXPECT_EQ(StateBytes(other), saved);
}

TEST_F(EditorState, AnEmptyChordMemorySetNameIsShownAndSaved)
{
    Tobel plug(nullptr);
    auto unnamed = StateBytes(plug);
    std::fill(unnamed.begin() + 599, unnamed.begin() + 599 + 32, 0); // the set name
    plug.SetChordMemoryBoxName("Old set");
    ASSERT_GT(ReadBytes(plug, unnamed), 0);
    EXPECT_EQ(plug.GetChordMemoryBoxName(), "");
    EXPECT_EQ(StateBytes(plug), unnamed);
}

TEST_F(EditorState, SwitchingOnlyOrderAppliesTheShownLaneAgain)
{
    Tobel plug(nullptr);
    ControlRegistry& registry = *plug.GetControlRegistry();
    auto onOffShown = [&](int lane)
    { return !registry.FindNthLaneSwitch(0, 0, lane, kStepOnOff, 4)->IsHidden(); };
    plug.SetParameterFromGUI(kPatternStepMode, 3.0 / 8.0);
    ASSERT_TRUE(onOffShown(3));
    ASSERT_FALSE(onOffShown(0));
    plug.SetGlobalOption(GlobalSettings::kUseOnlyOrderOnOff, 1.0);
    EXPECT_FALSE(onOffShown(3));
    EXPECT_TRUE(onOffShown(0));
    plug.SetGlobalOption(GlobalSettings::kUseOnlyOrderOnOff, 0.0);
    EXPECT_TRUE(onOffShown(3));
    EXPECT_FALSE(onOffShown(0));
}

TEST_F(EditorState, AnOptionSwitchIsOnOnlyAtExactlyOne)
{
    Tobel plug(nullptr);
    IGraphics& graphics = *plug.GetGraphics();
    plug.SetParameterFromGUI(kBoxSettings, 1.0); // the settings box shows
    plug.SetParameterFromGUI(kBoxSettings, 0.0);
    ASSERT_TRUE(plug.IsSettingsBoxShown());
    const int disableZone = kOptionSwitches[GlobalSettings::kDisableControlZone];
    // Its switches show with the box's first paint.
    for (int i = 0; i < graphics.NControls(); ++i)
        if (graphics.GetControl(i)->GetParameterIndex() == disableZone) graphics.GetControl(i)->Hide(false);
    auto hostSets = [&](double value)
    {
        graphics.UpdateParameterControls(disableZone, value, true);
        graphics.CollectChangedArea(nullptr); // the editor's tick tells the switch's observers
    };
    const std::string allOff = "false\nfalse\nfalse\nfalse\nfalse\nfalse\nfalse\n";
    hostSets(0.75);
    EXPECT_FALSE(plug.GetGlobalSettings().Get(GlobalSettings::kDisableControlZone));
    EXPECT_EQ(folder_.ReadSettings(), allOff);
    hostSets(1.0);
    EXPECT_TRUE(plug.GetGlobalSettings().Get(GlobalSettings::kDisableControlZone));
    EXPECT_EQ(folder_.ReadSettings(), "false\nfalse\nfalse\nfalse\nfalse\ntrue\nfalse\n");
    hostSets(0.75);
    EXPECT_FALSE(plug.GetGlobalSettings().Get(GlobalSettings::kDisableControlZone));
    EXPECT_EQ(folder_.ReadSettings(), allOff);
}

} // namespace
