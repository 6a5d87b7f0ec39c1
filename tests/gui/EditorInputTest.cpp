// Mouse and keys as a user gives them, through the platform's test driver: presses, releases,
// drags with capture, double clicks, the wheel, hover and leave, keys, and the plug-in's hooks.
#include <gtest/gtest.h>

#include "gui/IGraphics.h"
#include "platform/win32/Win32.h"
#include "tests/gui/EditorTestSupport.h"

using quova::testing::MouseButton;
using Log = std::vector<std::string>;

namespace
{

class EditorInput : public ::testing::Test
{
protected:
    void SetUp() override
    {
        below = rig.Add(new Swatch(rig.plug.get(), {10, 10, 30, 30}, EditorTestPlug::kGain));
        above = rig.Add(new Swatch(rig.plug.get(), {20, 20, 40, 35}, EditorTestPlug::kSwitch));
        ASSERT_NE(rig.Open(), nullptr);
        rig.plug->changed.clear();
    }

    EditorRig rig;
    Swatch* below = nullptr;
    Swatch* above = nullptr;
};

} // namespace

TEST_F(EditorInput, APressGoesToTheTopmostControlUnderThePointer)
{
    rig.driver.Click(rig.window, 25, 25);
    EXPECT_EQ(above->log, (Log{"down 25,25 L", "up 25,25 -"})) << "the release no longer holds its button";
    EXPECT_TRUE(below->log.empty());
    EXPECT_EQ(rig.plug->edits, (Log{"begin 2", "end 2"}));
    rig.driver.Click(rig.window, 12, 12);
    EXPECT_EQ(below->log, (Log{"down 12,12 L", "up 12,12 -"}));
    rig.driver.Click(rig.window, 50, 5); // only the background: no parameter, no edit
    EXPECT_EQ(rig.plug->edits.size(), 4u);
    EXPECT_EQ(rig.editor->TakeLastClickedParameter(), EditorTestPlug::kGain);
    EXPECT_EQ(rig.editor->TakeLastClickedParameter(), -1);
}

TEST_F(EditorInput, GreyedAndHiddenControlsLetPressesThrough)
{
    above->SetGreyed(true);
    rig.driver.Click(rig.window, 25, 25);
    EXPECT_TRUE(above->log.empty());
    EXPECT_EQ(First(below->log), "down 25,25 L");
    above->SetGreyed(false);
    above->Hide(true);
    rig.driver.Wheel(rig.window, 25, 25, 1);
    EXPECT_TRUE(above->log.empty());
    EXPECT_EQ(Last(below->log), "wheel 25,25 - 1");
    EXPECT_EQ(rig.editor->FindControlAt(25, 25), below->GetListIndex());
}

TEST_F(EditorInput, DraggingStaysWithTheCapturedControlAndCarriesModifiers)
{
    rig.driver.HoldModifiers(true, false, false);
    rig.driver.Drag(rig.window, 12, 12, 52, 32, 2);
    EXPECT_EQ(below->log,
              (Log{"down 12,12 LS", "drag 20,10 LS at 32,22", "drag 20,10 LS at 52,32", "up 52,32 S"}));
    EXPECT_TRUE(above->log.empty()) << "the pointer crossed it while captured elsewhere";
    EXPECT_EQ(rig.editor->GetCapturedControl(), -1);
    EXPECT_EQ(GetCapture(), nullptr);

    rig.driver.HoldModifiers(false, true, true);
    above->SetPromptsDisabled(true); // a right press would otherwise open the value menu
    rig.driver.MouseDown(rig.window, 25, 25, MouseButton::Right);
    rig.driver.MouseUp(rig.window, 25, 25, MouseButton::Right);
    EXPECT_EQ(above->log, (Log{"down 25,25 RCA", "up 25,25 CA"}));
}

TEST_F(EditorInput, ADoubleClickRestoresTheDefaultAndInformsThePlugIn)
{
    below->SetValueByUser(0.8);
    rig.plug->changed.clear();
    rig.plug->automated.clear();
    rig.driver.DoubleClick(rig.window, 15, 15);
    EXPECT_EQ(below->log, (Log{"down 15,15 L", "up 15,15 -", "double 15,15 L", "up 15,15 -"}));
    EXPECT_DOUBLE_EQ(below->GetValue(), 0.25);
    EXPECT_DOUBLE_EQ(rig.plug->GetParameter(EditorTestPlug::kGain)->Value(), 25.0);
    EXPECT_EQ(rig.plug->changed, (std::vector<int>{EditorTestPlug::kGain}));
    ASSERT_EQ(rig.plug->automated.size(), 1u);
    EXPECT_DOUBLE_EQ(rig.plug->automated[0].second, 0.25);
}

TEST_F(EditorInput, ADoubleClickCanCountAsASecondPress)
{
    above->SetDoubleClickAsClick(true);
    rig.driver.DoubleClick(rig.window, 25, 25);
    EXPECT_EQ(above->log, (Log{"down 25,25 L", "up 25,25 -", "down 25,25 L", "up 25,25 -"}));
    EXPECT_EQ(rig.plug->edits, (Log{"begin 2", "end 2", "end 2"})) << "the second press is no new edit";
}

TEST_F(EditorInput, TheWheelMovesTheValueInHundredthsOrThousandths)
{
    rig.driver.Wheel(rig.window, 15, 15, 2);
    EXPECT_EQ(below->log, (Log{"wheel 15,15 - 2"}));
    EXPECT_NEAR(below->GetValue(), 0.27, 1e-12);
    EXPECT_NEAR(rig.plug->GetParameter(EditorTestPlug::kGain)->Value(), 27.0, 1e-9);
    rig.driver.HoldModifiers(false, true, false);
    rig.driver.Wheel(rig.window, 15, 15, -3);
    EXPECT_EQ(Last(below->log), "wheel 15,15 C -3");
    EXPECT_NEAR(below->GetValue(), 0.267, 1e-12);
    EXPECT_EQ(rig.plug->changed.size(), 2u);
}

TEST_F(EditorInput, HoverAndLeaveNoticesFollowThePointer)
{
    rig.driver.MouseMove(rig.window, 12, 12);
    EXPECT_TRUE(below->log.empty()) << "hover tracking is off by default";
    rig.editor->SetHoverTracking(true);
    rig.driver.MouseMove(rig.window, 13, 12);
    rig.driver.MouseMove(rig.window, 25, 25);
    EXPECT_EQ(below->log, (Log{"hover 13,12 -", "left"}));
    EXPECT_EQ(above->log, (Log{"hover 25,25 -"}));
    EXPECT_EQ(rig.editor->GetHoveredControl(), above->GetListIndex());
    rig.driver.MouseMoveScreen(10, 10); // out of the window
    EXPECT_EQ(Last(above->log), "left");
    EXPECT_EQ(rig.editor->GetHoveredControl(), -1);

    above->SetGreyed(true);
    rig.driver.MouseMove(rig.window, 25, 26);
    EXPECT_EQ(Last(below->log), "hover 25,26 -") << "a greyed control gets no hover";
    above->SetHoverWhenGreyed(true);
    rig.driver.MouseMove(rig.window, 25, 27);
    EXPECT_EQ(Last(above->log), "hover 25,27 -");
}

TEST_F(EditorInput, KeysGoToTheControlUnderThePointerAfterThePlugIn)
{
    rig.driver.MouseMove(rig.window, 15, 15);
    rig.driver.PressKey('A');
    rig.driver.PressKey(97); // the number pad's 1 counts as the letter A
    rig.driver.PressKey(VK_UP);
    rig.driver.PressKey('7');
    rig.driver.PressKey(VK_SPACE);
    rig.driver.PressKey(VK_F1 + 11); // a key the controls never get
    EXPECT_EQ(below->log, (Log{"key 15 at 15,15", "key 15 at 15,15", "key 1 at 15,15", "key 12 at 15,15",
                               "key 0 at 15,15"}));
    ASSERT_EQ(rig.plug->keys.size(), 5u);
    EXPECT_EQ(rig.plug->keys[0].key, 15);
    EXPECT_EQ(rig.plug->keys[0].x, 15);
}

TEST_F(EditorInput, KeysOverTheBackgroundGoToTheKeyCatcher)
{
    Swatch* catcher = new Swatch(rig.plug.get(), {0, 0, 0, 0});
    rig.driver.MouseMove(rig.window, 50, 5);
    rig.driver.PressKey('B');
    EXPECT_EQ(rig.plug->keys.size(), 1u) << "the plug-in hears it even when nobody takes it";
    rig.editor->SetKeyCatcherControl(catcher);
    rig.driver.PressKey('C');
    EXPECT_EQ(catcher->log, (Log{"key 17 at 50,5"}));
    EXPECT_TRUE(below->log.empty());
    EXPECT_EQ(rig.plug->keys.size(), 2u);

    catcher->handlesKeys = false;
    rig.plug->handlesKeys = true;
    EXPECT_TRUE(rig.editor->DispatchKeyDown(50, 5, 18)) << "the plug-in's answer counts";
    rig.plug->handlesKeys = false;
    EXPECT_FALSE(rig.editor->DispatchKeyDown(50, 5, 18));
}

TEST_F(EditorInput, AControlThePlugInNamesTakesEveryPressWithoutAnEdit)
{
    rig.plug->captureControl = below->GetListIndex();
    rig.driver.MouseDown(rig.window, 35, 33);
    EXPECT_EQ(below->log, (Log{"down 35,33 L"}));
    EXPECT_TRUE(above->log.empty());
    EXPECT_TRUE(rig.plug->edits.empty());
    EXPECT_EQ(rig.editor->GetCapturedControl(), -1);
    // The box acted at the press (here it closes): its release reaches no control, neither the box
    // nor one that never saw the press; the next press and release go where they lie.
    rig.plug->captureControl = -1;
    rig.driver.MouseUp(rig.window, 35, 33);
    EXPECT_TRUE(above->log.empty());
    EXPECT_EQ(below->log.size(), 1u);
    rig.driver.AdvanceTime(1000); // not a double click
    rig.driver.Click(rig.window, 35, 33);
    EXPECT_EQ(above->log, (Log{"down 35,33 L", "up 35,33 -"}));
}

TEST_F(EditorInput, TheMiddleButtonEndsWhatItBegins)
{
    rig.driver.MouseDown(rig.window, 25, 25, MouseButton::Middle);
    EXPECT_EQ(GetCapture(), rig.window);
    rig.driver.MouseUp(rig.window, 25, 25, MouseButton::Middle);
    EXPECT_EQ(rig.plug->edits, (Log{"begin 2", "end 2"}));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(rig.editor->GetCapturedControl(), -1);
}

TEST_F(EditorInput, ARightPressInAVst3HostOpensTheHostsParameterMenu)
{
    rig.plug->pluginApi = kApiVST3;
    rig.driver.MouseDown(rig.window, 25, 25, MouseButton::Right);
    ASSERT_EQ(rig.plug->hostMenus.size(), 1u);
    EXPECT_EQ(rig.plug->hostMenus[0].parameter, EditorTestPlug::kSwitch);
    EXPECT_TRUE(above->log.empty());
    EXPECT_TRUE(rig.plug->edits.empty());
    EXPECT_EQ(rig.editor->GetCapturedControl(), -1);
}
