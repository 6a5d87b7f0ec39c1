// IControl: the two value roads, redraw bookkeeping, mouse defaults, prompts and flags, against a
// plug-in base that records what reaches it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "gui/IControl.h"
#include "gui/IPopupMenu.h"
#include "tests/gui/GuiTestPlug.h"

namespace
{

struct TestControl : IControl
{
    using IControl::IControl;
    bool Paint(IGraphics*) override { return true; }
};

struct MouseLog : IObserverInterface
{
    void OnSubjectChanged(ISubject*) override { ++changes; }
    void OnSubjectMouseEvent(ISubject*, int, int, int kind, const IMouseModifiers&) override
    {
        kinds.push_back(kind);
    }
    int changes = 0;
    std::vector<int> kinds;
};

const IRectangle kRect(100, 40, 140, 60);
const IMouseModifiers kLeft(true, false);
const IMouseModifiers kRight(false, true);

// One paint as the editor does it: MarkDrawn after painting. Returns whether the control asked
// for this paint.
bool Paint(IControl& control)
{
    const bool needed = control.NeedsRedraw();
    control.MarkDrawn();
    return needed;
}

} // namespace

TEST(IControl, TakesItsParametersValueAsValueAndDefault)
{
    GuiTestPlug plug;
    TestControl control(&plug, kRect, GuiTestPlug::kGain);
    EXPECT_EQ(control.GetParameter(), plug.GetParameter(GuiTestPlug::kGain));
    EXPECT_DOUBLE_EQ(control.GetValue(), 0.25);
    EXPECT_DOUBLE_EQ(control.GetDefaultValue(), 0.25);
    EXPECT_TRUE(control.NeedsRedraw());
    EXPECT_EQ(control.GetHitRect(), kRect);
    EXPECT_EQ(control.GetMenuParameterIndex(), -1);
    EXPECT_EQ(control.GetEntryMaxChars(), 7);
    EXPECT_TRUE(plug.changed.empty()); // construction informs nobody

    TestControl unbound(&plug, kRect, 77); // the plug-in has no parameter 77
    EXPECT_EQ(unbound.GetParameter(), nullptr);
    EXPECT_DOUBLE_EQ(unbound.GetDefaultValue(), -1.0);
    unbound.OnMouseDoubleClicked(0, 0, kLeft); // no default to return to
    EXPECT_DOUBLE_EQ(unbound.GetValue(), 0.0);
}

TEST(IControl, DoubleClickReturnsToTheDefaultAndInformsThePlugIn)
{
    GuiTestPlug plug;
    TestControl control(&plug, kRect, GuiTestPlug::kGain);
    MouseLog log;
    control.AttachObserver(&log);
    control.SetValueByUser(0.8);
    EXPECT_DOUBLE_EQ(plug.GetParameter(GuiTestPlug::kGain)->Value(), 80.0);
    control.OnMouseDoubleClicked(120, 50, kLeft);
    EXPECT_DOUBLE_EQ(control.GetValue(), 0.25);
    EXPECT_DOUBLE_EQ(plug.GetParameter(GuiTestPlug::kGain)->Value(), 25.0);
    EXPECT_EQ(plug.changed, (std::vector<int>{GuiTestPlug::kGain, GuiTestPlug::kGain}));
    ASSERT_EQ(plug.hostNotices.size(), 2u);
    EXPECT_DOUBLE_EQ(plug.hostNotices[1].value, 0.25);
    EXPECT_EQ(log.kinds, (std::vector<int>{IObserverInterface::kMouseDoubleClick}));
}

TEST(IControl, ReceivedValuesNeverEchoAndPaintTwice)
{
    GuiTestPlug plug;
    TestControl control(&plug, kRect, GuiTestPlug::kGain);
    MouseLog log;
    control.AttachObserver(&log);
    EXPECT_TRUE(Paint(control));
    EXPECT_FALSE(Paint(control));

    control.ReceiveValue(0.25); // the value it already has: nothing happens
    EXPECT_FALSE(control.NeedsRedraw());
    EXPECT_FALSE(control.IsChanged());

    control.ReceiveValue(0.5);
    EXPECT_DOUBLE_EQ(control.GetValue(), 0.5);
    EXPECT_DOUBLE_EQ(control.GetDefaultValue(), 0.25);
    EXPECT_TRUE(plug.changed.empty());
    EXPECT_TRUE(plug.hostNotices.empty());
    control.NotifyChanged();
    EXPECT_EQ(log.changes, 1);
    EXPECT_TRUE(Paint(control));
    EXPECT_TRUE(Paint(control)); // the second paint the change asked for
    EXPECT_FALSE(Paint(control));

    control.ReceiveValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(control.GetValue(), 0.5);
    EXPECT_FALSE(control.NeedsRedraw());
}

TEST(IControl, SetValueByUserActsOnlyOnADifferentValue)
{
    GuiTestPlug plug;
    TestControl control(&plug, kRect, GuiTestPlug::kGain);
    control.SetValueByUser(0.25);
    EXPECT_TRUE(plug.changed.empty());
    control.SetValueByUser(1.5); // limited to the clamp range before it reaches the parameter
    EXPECT_DOUBLE_EQ(control.GetValue(), 1.0);
    EXPECT_DOUBLE_EQ(plug.GetParameter(GuiTestPlug::kGain)->Value(), 100.0);
    control.SetValueByUser(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(control.GetValue(), 0.0);
    EXPECT_DOUBLE_EQ(plug.GetParameter(GuiTestPlug::kGain)->Value(), 0.0);
    EXPECT_EQ(plug.changed.size(), 2u);

    TestControl hidden(&plug, kRect, GuiTestPlug::kHidden); // informs the plug-in but not the host
    hidden.SetValueByUser(1.0);
    EXPECT_EQ(plug.changed.back(), GuiTestPlug::kHidden);
    EXPECT_EQ(plug.hostNotices.size(), 2u);
}

TEST(IControl, WheelStepsAndStopsAtTheClamp)
{
    GuiTestPlug plug;
    TestControl control(&plug, kRect, GuiTestPlug::kGain);
    control.SetClamp(0.0, 0.5);
    control.OnMouseWheelTurned(0, 0, {}, 10);
    EXPECT_NEAR(control.GetValue(), 0.35, 1e-12);
    control.OnMouseWheelTurned(0, 0, IMouseModifiers(false, false, false, true), -5);
    EXPECT_NEAR(control.GetValue(), 0.345, 1e-12);
    control.OnMouseWheelTurned(0, 0, {}, 30);
    EXPECT_DOUBLE_EQ(control.GetValue(), 0.5);
    EXPECT_DOUBLE_EQ(plug.GetParameter(GuiTestPlug::kGain)->Value(), 50.0);
    control.OnMouseWheelTurned(0, 0, IMouseModifiers(false, false, true), -600);
    EXPECT_DOUBLE_EQ(control.GetValue(), 0.0);
    EXPECT_EQ(plug.changed.size(), 4u);
}

TEST(IControl, RightPressPromptsUnlessPromptsAreDisabled)
{
    GuiTestPlug plug;
    TestControl control(&plug, kRect, GuiTestPlug::kMode);
    MouseLog log;
    control.AttachObserver(&log);
    Paint(control);

    control.SetPromptsDisabled(true);
    control.OnMouseButtonDown(110, 50, kRight);
    EXPECT_EQ(log.kinds, (std::vector<int>{IObserverInterface::kMouseDown}));
    EXPECT_FALSE(control.IsRedrawPending());

    control.SetPromptsDisabled(false);
    control.OnMouseButtonDown(110, 50, kLeft); // a left press only notifies
    EXPECT_FALSE(control.IsRedrawPending());
    control.OnMouseButtonDown(110, 50, kRight);
    EXPECT_TRUE(control.IsRedrawPending());
    control.OnMouseButtonUp(110, 50, {});
    EXPECT_EQ(log.kinds, (std::vector<int>{0, 0, 0, 1}));
    EXPECT_DOUBLE_EQ(control.GetValue(), 0.0); // presses of the base change no value
    EXPECT_TRUE(plug.changed.empty());
}

TEST(IControl, PromptRectangles)
{
    GuiTestPlug plug;
    TestControl number(&plug, kRect, GuiTestPlug::kGain);
    EXPECT_EQ(number.GetCentredPromptRectangle(), IRectangle(102, 42, 138, 58));
    TestControl odd(&plug, {101, 41, 140, 60}, GuiTestPlug::kGain); // centre 120.5, 50.5 truncated
    EXPECT_EQ(odd.GetCentredPromptRectangle(), IRectangle(102, 42, 138, 58));

    TestControl texts(&plug, kRect, GuiTestPlug::kMode);
    EXPECT_EQ(texts.GetCentredPromptRectangle(), kRect);
    texts.SetTextEntry(true);
    EXPECT_EQ(texts.GetCentredPromptRectangle(), IRectangle(102, 42, 138, 58));

    EXPECT_EQ(texts.GetPromptRectangle(120, 55), kRect);
    texts.SetClickSetsEdges(true, false);
    EXPECT_EQ(texts.GetPromptRectangle(120, 55), IRectangle(120, 40, 140, 60));
    texts.SetClickSetsEdges(false, true);
    EXPECT_EQ(texts.GetPromptRectangle(120, 55), IRectangle(100, 40, 140, 55));
}

TEST(IControl, HidingKeepsTheValueAndShowingRepaints)
{
    GuiTestPlug plug;
    TestControl control(&plug, kRect, GuiTestPlug::kGain);
    control.SetValueByUser(0.7);
    Paint(control);
    Paint(control);
    control.Hide(true);
    EXPECT_TRUE(control.IsHidden());
    EXPECT_DOUBLE_EQ(control.GetValue(), 0.7);
    Paint(control);
    Paint(control);
    control.Hide(false);
    EXPECT_FALSE(control.IsHidden());
    EXPECT_TRUE(Paint(control));
    EXPECT_TRUE(Paint(control));
    EXPECT_FALSE(Paint(control));
    EXPECT_EQ(plug.changed.size(), 1u); // hiding and showing inform nobody
}

TEST(IControl, GreyingAndTheHitRectangle)
{
    TestControl control(nullptr, kRect, -1, IBlendSpec(2, 1.0f));
    control.SetGreyed(true);
    EXPECT_FLOAT_EQ(control.GetBlend().weight, 0.25f);
    EXPECT_EQ(control.GetBlend().method, 2);
    control.SetGreyed(false);
    EXPECT_FLOAT_EQ(control.GetBlend().weight, 1.0f);
    EXPECT_TRUE(control.ContainsPoint(100, 40));
    EXPECT_FALSE(control.ContainsPoint(140, 50));
    control.SetHitRect({});
    EXPECT_FALSE(control.ContainsPoint(0, 0)); // an empty hit rectangle never takes the mouse
}

TEST(IControl, MenuParameterRoad)
{
    GuiTestPlug plug;
    TestControl control(&plug, kRect, GuiTestPlug::kGain);
    EXPECT_TRUE(control.IsMenuParameter(nullptr)); // both absent
    control.SetMenuParameterIndex(GuiTestPlug::kMenu);
    control.SetListIndex(12);
    EXPECT_TRUE(control.IsMenuParameter(plug.GetParameter(GuiTestPlug::kMenu)));
    EXPECT_FALSE(control.IsMenuParameter(plug.GetParameter(GuiTestPlug::kGain)));
    EXPECT_FALSE(control.IsMenuParameter(nullptr));

    control.SendMenuChoiceToPlug(1.0, 110, 60);
    ASSERT_EQ(plug.prompted.size(), 1u);
    EXPECT_EQ(plug.prompted[0].controlListIndex, 12);
    EXPECT_EQ(plug.prompted[0].parameterIndex, GuiTestPlug::kGain);
    EXPECT_EQ(plug.prompted[0].menuParameterIndex, GuiTestPlug::kMenu);
    EXPECT_EQ(plug.prompted[0].x, 110);
    EXPECT_EQ(plug.prompted[0].y, 60);
    EXPECT_DOUBLE_EQ(plug.GetParameter(GuiTestPlug::kMenu)->Value(), 1.0); // "MIDI unlearn"
    EXPECT_DOUBLE_EQ(control.GetValue(), 0.25);
}

TEST(IControl, OwnsItsMenu)
{
    int deletions = 0;
    struct CountedMenu : IPopupMenu
    {
        explicit CountedMenu(int* d) : d(d) {}
        ~CountedMenu() override { ++*d; }
        int* d;
    };
    {
        TestControl control(nullptr, kRect);
        auto* first = new CountedMenu(&deletions);
        control.SetOwnMenu(first);
        control.SetOwnMenu(first); // the same menu again is kept
        EXPECT_EQ(deletions, 0);
        control.SetOwnMenu(new CountedMenu(&deletions));
        EXPECT_EQ(deletions, 1);
    }
    EXPECT_EQ(deletions, 2);
}
