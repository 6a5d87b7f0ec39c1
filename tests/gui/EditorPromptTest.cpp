// Value prompts as a user meets them (a right press, a scripted menu answer, typed text and the
// timer that commits or cancels it), and parameter changes arriving from the host.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/IParameter.h"
#include "gui/IGraphics.h"
#include "gui/IPopupMenu.h"
#include "platform/win32/Win32.h"
#include "tests/gui/EditorTestSupport.h"

using quova::testing::MouseButton;

namespace
{

// A control whose right press opens its menu parameter's prompt (as the program's switches do).
struct MenuSwatch : Swatch
{
    using Swatch::Swatch;
    void OnMouseButtonDown(int x, int y, const IMouseModifiers& m) override
    {
        if (m.right)
        {
            OpenMenuParameterPrompt(x, y);
            return;
        }
        Swatch::OnMouseButtonDown(x, y, m);
    }
};

class EditorPrompt : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mode = rig.Add(new Swatch(rig.plug.get(), {10, 10, 30, 30}, EditorTestPlug::kMode));
        gain = rig.Add(new Swatch(rig.plug.get(), {35, 5, 55, 15}, EditorTestPlug::kGain));
        gain->SetTextEntry(true);
        ASSERT_NE(rig.Open(), nullptr);
        rig.plug->changed.clear();
    }

    double Value(int index) const { return rig.plug->GetParameter(index)->Value(); }
    std::string FieldText() const
    {
        char text[64] = {};
        GetWindowTextA(rig.editor->GetTextEntryWindow(), text, sizeof text);
        return text;
    }
    // A right press and release on the control at (x, y).
    void RightClick(int x, int y)
    {
        rig.driver.MouseDown(rig.window, x, y, MouseButton::Right);
        rig.driver.MouseUp(rig.window, x, y, MouseButton::Right);
    }

    EditorRig rig;
    Swatch* mode = nullptr;
    Swatch* gain = nullptr;
};

} // namespace

TEST_F(EditorPrompt, ARightPressOffersTheDisplayTextsAndTheChoiceBecomesTheValue)
{
    rig.driver.ChooseMenuItem(3);
    rig.driver.MouseDown(rig.window, 20, 20, MouseButton::Right);
    ASSERT_EQ(rig.driver.Menus().size(), 1u);
    const auto& shown = rig.driver.Menus()[0];
    ASSERT_EQ(shown.entries.size(), 4u);
    EXPECT_EQ(shown.entries[0].text, "Up");
    EXPECT_EQ(shown.entries[3].text, "Chord");
    EXPECT_EQ(shown.entries[2].id, 3u);
    EXPECT_NE(shown.entries[0].flags & MF_CHECKED, 0u) << "the current value is checked";
    EXPECT_EQ(shown.entries[1].flags & MF_CHECKED, 0u);
    EXPECT_EQ(shown.owner, rig.window);
    POINT corner{10, 30}; // the control's left and bottom edges
    ClientToScreen(rig.window, &corner);
    EXPECT_EQ(shown.x, corner.x);
    EXPECT_EQ(shown.y, corner.y);
    // The menu keeps clear of the control (with no room below, it opens above it).
    POINT topRight{30, 10};
    ClientToScreen(rig.window, &topRight);
    EXPECT_EQ(shown.exclude.left, corner.x);
    EXPECT_EQ(shown.exclude.top, topRight.y);
    EXPECT_EQ(shown.exclude.right, topRight.x);
    EXPECT_EQ(shown.exclude.bottom, corner.y);

    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kMode), 2.0);
    EXPECT_DOUBLE_EQ(mode->GetValue(), 2.0 / 3.0);
    EXPECT_EQ(rig.plug->changed, (std::vector<int>{EditorTestPlug::kMode}));
    EXPECT_EQ(rig.editor->GetCapturedControl(), -1) << "the menu ends the capture";
    EXPECT_TRUE(rig.plug->edits.empty()) << "the menu takes the release: no edit is begun that would not end";

    rig.driver.DismissMenu();
    rig.driver.MouseDown(rig.window, 20, 20, MouseButton::Right);
    EXPECT_NE(rig.driver.Menus()[1].entries[2].flags & MF_CHECKED, 0u);
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kMode), 2.0) << "a dismissed menu changes nothing";
    EXPECT_EQ(rig.plug->changed.size(), 1u);
}

TEST_F(EditorPrompt, AMenuParameterChoiceGoesToThePlugIn)
{
    MenuSwatch* learn = rig.Add(new MenuSwatch(rig.plug.get(), {5, 32, 25, 38}, EditorTestPlug::kSwitch));
    learn->SetMenuParameterIndex(EditorTestPlug::kLearn);
    rig.driver.ChooseMenuItem(std::vector<std::string>{"MIDI unlearn"});
    RightClick(10, 35);
    ASSERT_EQ(rig.plug->prompted.size(), 1u);
    const EditorTestPlug::Prompted& p = rig.plug->prompted[0];
    EXPECT_EQ(p.control, learn->GetListIndex());
    EXPECT_EQ(p.parameter, EditorTestPlug::kSwitch);
    EXPECT_EQ(p.menuParameter, EditorTestPlug::kLearn);
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 38);
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kLearn), 1.0);
    EXPECT_DOUBLE_EQ(learn->GetValue(), 0.0) << "the control's own value stays";
}

TEST_F(EditorPrompt, OwnMenusAndCustomResults)
{
    auto* menu = new IPopupMenu();
    menu->SetPrefixMode(IPopupMenu::kPrefixTwoDigits);
    menu->AddTextItem("first");
    menu->AddTextItem("grey", -1, IPopupMenuEntry::kDisabled);
    IPopupMenuEntry* more = menu->AddTextItem("more");
    auto* sub = new IPopupMenu(10);
    ASSERT_TRUE(more->SetSubmenu(sub));
    sub->AddTextItem("deep");
    menu->AddSeparator();
    mode->SetOwnMenu(menu);

    rig.driver.ChooseMenuItem(11); // "deep": id 10 + 1
    RightClick(20, 20);
    ASSERT_EQ(rig.driver.Menus().size(), 1u);
    const auto& shown = rig.driver.Menus().back();
    ASSERT_EQ(shown.entries.size(), 4u);
    EXPECT_EQ(shown.entries[0].text, "01: first");
    EXPECT_NE(shown.entries[1].flags & MF_GRAYED, 0u);
    EXPECT_EQ(shown.entries[2].text, "03: more");
    ASSERT_EQ(shown.entries[2].submenu.size(), 1u);
    EXPECT_EQ(shown.entries[2].submenu[0].text, "deep");
    EXPECT_NE(shown.entries[3].flags & MF_SEPARATOR, 0u);
    EXPECT_EQ(menu->GetChosenIndex(), 11);
    // The chosen id - 1 is the value (here beyond the parameter's range: limited to its maximum).
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kMode), 3.0);

    mode->SetCustomMenuResult(true);
    rig.driver.ChooseMenuItem(1);
    RightClick(20, 20);
    EXPECT_NE(std::find(mode->log.begin(), mode->log.end(), "chosen 1"), mode->log.end());
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kMode), 3.0) << "a custom result is the control's business";
}

TEST_F(EditorPrompt, TypedTextIsAppliedAtTheNextTickAfterEnter)
{
    RightClick(40, 10);
    ASSERT_NE(rig.editor->GetTextEntryWindow(), nullptr);
    HWND field = rig.editor->GetTextEntryWindow();
    EXPECT_EQ(GetParent(field), rig.window);
    EXPECT_EQ(GetWindowLongA(field, GWLP_ID), 99);
    EXPECT_EQ(GetFocus(), field);
    EXPECT_EQ(FieldText(), "25.00");
    RECT r{};
    GetWindowRect(field, &r);
    EXPECT_EQ(r.right - r.left, 21) << "one pixel wider and higher than the control";
    EXPECT_EQ(r.bottom - r.top, 11);

    EXPECT_EQ(rig.plug->edits, (std::vector<std::string>{"begin 0", "end 0"}))
        << "a field lets the release through";
    rig.driver.TypeText("42.5");
    EXPECT_EQ(FieldText(), "42.5") << "the old text was selected and replaced";
    rig.driver.PressKey(VK_RETURN);
    EXPECT_EQ(rig.editor->GetTextEntryState(), IEditorWindow::kEntryCommit);
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kGain), 25.0) << "nothing happens before the tick";
    rig.Tick();
    EXPECT_EQ(rig.editor->GetTextEntryWindow(), nullptr);
    EXPECT_FALSE(IsWindow(field));
    EXPECT_EQ(rig.editor->GetTextEntryState(), IEditorWindow::kEntryNone);
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kGain), 42.5);
    EXPECT_DOUBLE_EQ(gain->GetValue(), 0.425);
    EXPECT_EQ(rig.plug->changed, (std::vector<int>{EditorTestPlug::kGain}));
}

TEST_F(EditorPrompt, ADoubleFieldRefusesLettersAndTheLimitHolds)
{
    RightClick(40, 10);
    rig.driver.TypeText("4a2-x.5#");
    EXPECT_EQ(FieldText(), "42-.5");
    rig.driver.TypeText("12345");
    EXPECT_EQ(FieldText().size(), 7u) << "at most the control's seven characters";
}

TEST_F(EditorPrompt, AnIntegerFieldTakesNoteNamesForItsOwnParser)
{
    Swatch* note = rig.Add(new Swatch(rig.plug.get(), {5, 32, 25, 38}, EditorTestPlug::kNote));
    note->SetTextEntry(true);
    note->SetOwnTextParser(true);
    RightClick(10, 35);
    EXPECT_EQ(FieldText(), "60");
    rig.driver.TypeText("C#3x");
    EXPECT_EQ(FieldText(), "C#3");
    rig.driver.PressKey(VK_RETURN);
    rig.Tick();
    EXPECT_EQ(Last(note->log), "parse C#3");
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kNote), 61.0);
}

TEST_F(EditorPrompt, ANegatedDisplayIsNegatedBack)
{
    Swatch* fine = rig.Add(new Swatch(rig.plug.get(), {5, 32, 25, 38}, EditorTestPlug::kFine));
    fine->SetTextEntry(true);
    RightClick(10, 35);
    rig.driver.TypeText("0.5");
    rig.driver.PressKey(VK_RETURN);
    rig.Tick();
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kFine), -0.5);
}

TEST_F(EditorPrompt, TextWithoutANumberChangesNothing)
{
    RightClick(40, 10);
    rig.driver.TypeText("-");
    rig.driver.PressKey(VK_RETURN);
    rig.Tick();
    EXPECT_EQ(rig.editor->GetTextEntryWindow(), nullptr);
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kGain), 25.0);
    EXPECT_TRUE(rig.plug->changed.empty());
}

TEST_F(EditorPrompt, APressElsewhereDiscardsTheTextAtOnce)
{
    RightClick(40, 10);
    rig.driver.TypeText("99");
    rig.driver.Click(rig.window, 20, 20);
    EXPECT_EQ(rig.editor->GetTextEntryWindow(), nullptr);
    EXPECT_EQ(GetFocus(), rig.window);
    rig.Tick();
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kGain), 25.0);
    EXPECT_EQ(First(mode->log), "down 20,20 L") << "the press itself still counts";
}

TEST_F(EditorPrompt, TheWheelDiscardsTheTextAtTheNextTick)
{
    RightClick(40, 10);
    rig.driver.TypeText("99");
    rig.driver.Wheel(rig.window, 40, 10, 1);
    EXPECT_EQ(rig.editor->GetTextEntryState(), IEditorWindow::kEntryCancel);
    EXPECT_NE(rig.editor->GetTextEntryWindow(), nullptr);
    EXPECT_TRUE(gain->log.empty() || Last(gain->log).rfind("wheel", 0) != 0)
        << "the wheel reaches no control";
    rig.Tick();
    EXPECT_EQ(rig.editor->GetTextEntryWindow(), nullptr);
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kGain), 25.0);
}

TEST_F(EditorPrompt, WhileTheFieldHasRegainedTheFocusPressesOnlyAskToCancel)
{
    RightClick(40, 10);
    HWND field = rig.editor->GetTextEntryWindow();
    SetFocus(rig.window);
    EXPECT_EQ(rig.editor->GetTextEntryState(), IEditorWindow::kEntryCancel);
    SetFocus(field);
    EXPECT_EQ(rig.editor->GetTextEntryState(), IEditorWindow::kEntryEditing);
    rig.Tick(2);
    EXPECT_NE(rig.editor->GetTextEntryWindow(), nullptr) << "ticks wait while the user edits";
    rig.driver.MouseDown(rig.window, 20, 20);
    EXPECT_TRUE(mode->log.empty()) << "the press was swallowed";
    EXPECT_EQ(rig.editor->GetTextEntryState(), IEditorWindow::kEntryCancel);
    rig.driver.MouseUp(rig.window, 20, 20);
    rig.Tick();
    EXPECT_EQ(rig.editor->GetTextEntryWindow(), nullptr);
}

TEST_F(EditorPrompt, RepaintsWithAnOpenFieldLeaveTheFieldOnTop)
{
    RightClick(40, 10);
    gain->off = {255, 1, 2, 3};
    gain->MarkChanged(false);
    rig.Tick();
    EXPECT_EQ(rig.editor->GetTextEntryState(), IEditorWindow::kEntryShown);
    EXPECT_NE(rig.Shown(40, 10), Rgb(gain->off)) << "the edited control is not painted under the field";
    mode->SetValueByUser(1.0);
    rig.Tick();
    EXPECT_EQ(rig.Shown(20, 20), Rgb(mode->on)) << "the rest of the editor goes on repainting";
    EXPECT_NE(rig.editor->GetTextEntryWindow(), nullptr);
    rig.editor->EndTextEntry();
    rig.Tick();
    EXPECT_EQ(rig.editor->GetTextEntryWindow(), nullptr);
}

TEST_F(EditorPrompt, HostParameterChangesReachEveryBoundControlWithoutAnEcho)
{
    Swatch* twin = rig.Add(new Swatch(rig.plug.get(), {35, 20, 55, 30}, EditorTestPlug::kGain));
    rig.Tick(2);
    rig.plug->automated.clear();
    AEffect* effect = rig.plug->GetEffect();
    effect->setParameter(effect, EditorTestPlug::kGain, 0.75f);
    EXPECT_DOUBLE_EQ(gain->GetValue(), 0.75);
    EXPECT_DOUBLE_EQ(twin->GetValue(), 0.75);
    EXPECT_DOUBLE_EQ(Value(EditorTestPlug::kGain), 75.0);
    EXPECT_TRUE(rig.plug->automated.empty()) << "no echo back to the host";
    EXPECT_EQ(rig.plug->changed, (std::vector<int>{EditorTestPlug::kGain}));
    EXPECT_EQ(rig.Shown(45, 25), Rgb(twin->off));
    rig.Tick();
    EXPECT_EQ(rig.Shown(45, 25), Rgb(twin->on));
    EXPECT_EQ(rig.Shown(45, 10), Rgb(gain->on));

    // A text from the host is a value in the parameter's own range.
    char text[] = "Random";
    EXPECT_EQ(effect->dispatcher(effect, vst::effString2Parameter, EditorTestPlug::kMode, 0, text, 0.0f), 1);
    EXPECT_DOUBLE_EQ(mode->GetValue(), 2.0 / 3.0);

    // The plug-in's own refresh pushes every parameter's value again.
    rig.plug->GetParameter(EditorTestPlug::kGain)->SetValue(10.0);
    rig.plug->RedrawParameterControls();
    EXPECT_DOUBLE_EQ(gain->GetValue(), 0.1);
    EXPECT_DOUBLE_EQ(twin->GetValue(), 0.1);
    EXPECT_DOUBLE_EQ(mode->GetValue(), 2.0 / 3.0);
}
