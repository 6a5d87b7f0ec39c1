// The editor the plug-in's constructor builds: the control-list order MIDI learn relies on, which
// instances show after construction, and the roads from a click in the opened editor window to
// the event handler, the keyboard and the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "PluginTestSupport.h"
#include "engine/ActionDispatcher.h"
#include "engine/ChordMemory.h"
#include "engine/ControlTargetTable.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/Looper.h"
#include "engine/OutputNote.h"
#include "engine/PatternEngine.h"
#include "framework/IParameter.h"
#include "graphics/RasterBitmap.h"
#include "gui/BitmapFont.h"
#include "gui/ICustomRadioButtonsControl.h"
#include "gui/IEditorWindow.h"
#include "gui/IGraphics.h"
#include "gui/IRadioButtonsControl.h"
#include "gui/ITextStyle.h"
#include "platform/testing/PlatformDriver.h"
#include "platform/testing/SurfacePng.h"
#include "platform/win32/WindowMessages.h"
#include "plugin/ControlRegistry.h"
#include "plugin/controls/PostedTextControl.h"
#include "presets/PresetLoader.h"
#include "presets/SavePresetDialogs.h"
#include "views/IKeyboardControl.h"
#include "views/InfoControl.h"
#include "views/ParameterIndex.h"
#include "views/PatternView.h"
#include "views/SceneView.h"
#include "views/SettingsControl.h"
#include "views/UIEventHandler.h"

namespace
{

using namespace quova::param;
using quova::test::FakeHost;
using quova::test::ReadBytes;
using quova::test::StateBytes;
using quova::test::TempDataFolder;

// Records what a control tells its observers: (tag 0, tag 1) per value change, and
// (tag 0, tag 1, kind) per mouse event.
struct Spy : IObserverInterface
{
    void OnSubjectChanged(ISubject* s) override { changed.emplace_back(s->GetTag(0), s->GetTag(1)); }
    void OnSubjectMouseEvent(ISubject* s, int, int, int kind, const IMouseModifiers&) override
    {
        mouse.emplace_back(s->GetTag(0), s->GetTag(1), kind);
    }
    std::vector<std::pair<int, int>> changed;
    std::vector<std::tuple<int, int, int>> mouse;
};

// The key area a parameter instance belongs to; -1 for global parameters.
int AreaOf(int index)
{
    for (int base : {kNoteRelease, kHoldTranspose, kHoldBypass, kHold, kSceneOnOff, kArpOnNoteCount,
                     kVelocityMode, kKeyAreaOnOff, kMidiInChannel, kMidiOutChannel, kKeyAreaPatterns,
                     kStartNote, kEndNote, kBaseNote, kVolume, kHoldSync})
        if (index >= base && index < base + kAreaCount) return index - base;
    for (int base : {kPatternGate, kRateFreeToggle, kRate, kRateFree, kSortOrder, kSwing, kOctaves,
                     kTranspose, kResetOnNewNote, kPatternSteps})
        if (index >= base && index < base + kSlotCount) return (index - base) / kPatternCount;
    for (int base : {kLaneResetOnPatternReset, kLaneDirection})
        if (index >= base && index < base + kLaneCount * kSlotCount)
            return (index - base) / kLaneCount / kPatternCount;
    if (index >= kSceneStepLength && index < kSceneStepLength + 3 * 16 * kAreaCount)
        return (index - kSceneStepLength) % (16 * kAreaCount) / 16;
    return -1;
}

class EditorLayout : public ::testing::Test
{
protected:
    void SetUp() override { plug = std::make_unique<Tobel>(&FakeHost::Callback); }
    void TearDown() override { plug.reset(); }

    IGraphics& Editor() { return *plug->GetGraphics(); }
    IRectangle Skin(int position) { return plug->GetSkin().At(position); }
    // Opens the editor through the host's dispatcher in a host frame of the driver.
    HWND Open()
    {
        frame = driver.CreateHostFrame(1040, 605, 20, 20);
        AEffect* effect = plug->GetEffect();
        if (effect->dispatcher(effect, vst::effEditOpen, 0, 0, frame, 0.0f) != 1) return nullptr;
        window = static_cast<HWND>(Editor().GetWindowHandle());
        driver.Pump();
        return window;
    }
    void Tick(int ticks = 1) { driver.AdvanceTime(static_cast<uint32_t>(ticks * (1000 / 30 + 1))); }
    static int Centre(int a, int b) { return (a + b) / 2; }

    quova::testing::PlatformDriver driver; // first: its windows outlive nothing of the plug-in
    TempDataFolder data;
    FakeHost host;
    Spy spy;
    std::unique_ptr<Tobel> plug;
    HWND frame = nullptr;
    HWND window = nullptr;
};

// Control-list indices are stored by MIDI learn, so the order of the layout is fixed.
TEST_F(EditorLayout, ControlsStandInTheirFixedOrder)
{
    IGraphics& editor = Editor();
    ASSERT_EQ(editor.NControls(), 56321);
    EXPECT_EQ(editor.GetControl(0)->GetParameterIndex(), -1); // background
    EXPECT_EQ(editor.GetControl(0)->GetRect(), IRectangle(0, 0, 1000, 565));
    EXPECT_EQ(editor.GetControl(5), static_cast<IControl*>(plug->GetSceneView()));
    EXPECT_EQ(editor.GetControl(6)->GetParameterIndex(), kNoteLearnBase);
    EXPECT_EQ(editor.GetControl(133)->GetParameterIndex(), kNoteLearnBase + 127);
    EXPECT_EQ(editor.GetControl(134)->GetParameterIndex(), kControllerTeach);
    EXPECT_EQ(editor.GetControl(135)->GetParameterIndex(), kControllerTeachSelection);
    EXPECT_EQ(editor.GetControl(138)->GetParameterIndex(), kKeyAreaSelection);
    EXPECT_EQ(editor.GetControl(145)->GetParameterIndex(), kGlobalVolume);
    EXPECT_EQ(editor.GetControl(172)->GetParameterIndex(), kControlZoneSync);
    // 42 controls per pattern, rate first and swing last; then 16 per key area.
    EXPECT_EQ(editor.GetControl(173)->GetParameterIndex(), kRate);
    EXPECT_EQ(editor.GetControl(173 + 42 * 47 + 41)->GetParameterIndex(), kSwing + 47);
    EXPECT_EQ(editor.GetControl(2189)->GetParameterIndex(), kKeyAreaOnOff);
    EXPECT_EQ(editor.GetControl(2189 + 16 * 3 + 15)->GetParameterIndex(), kKeyAreaPatterns + 3);
    // 66 per lane: reset, direction, 32 cells, 32 on/off switches.
    EXPECT_EQ(editor.GetControl(2253)->GetParameterIndex(), PerLane(kLaneResetOnPatternReset, 0, 0, 0));
    EXPECT_EQ(editor.GetControl(2253 + 2 + 31)->GetParameterIndex(), StepValue(0, 0, 0, 31));
    EXPECT_EQ(editor.GetControl(2253 + 66 * 816 - 1)->GetParameterIndex(), StepOnOff(3, 11, 16, 31));
    EXPECT_EQ(editor.GetControl(56109)->GetParameterIndex(), kSceneStepLength);
    // The overlays come last, in this order.
    EXPECT_EQ(editor.GetControl(56316), static_cast<IControl*>(plug->GetPatternView()));
    EXPECT_EQ(editor.GetControl(56317), static_cast<IControl*>(plug->GetInfoBox()));
    EXPECT_EQ(editor.GetControl(56318), static_cast<IControl*>(plug->GetSettingsBox()));
    EXPECT_EQ(editor.GetControl(56319), plug->GetAboutImage());
    EXPECT_EQ(editor.GetControl(56320), plug->GetVersionText());
    EXPECT_EQ(plug->GetControlRegistry()->ExtraControlCount(), 128);
    // The skin's last rectangle is the whole editor.
    EXPECT_EQ(plug->GetSkin().Size(), 169);
    EXPECT_EQ(Skin(168), IRectangle(0, 0, Editor().Width(), Editor().Height()));
}

TEST_F(EditorLayout, OnlyKeyAreaZeroShowsAfterConstruction)
{
    std::vector<int> positions;
    for (int p = 9; p <= 35; ++p)
        positions.push_back(p);
    for (int p = 120; p <= 128; ++p)
        positions.push_back(p);
    // Positions holding one control per key area (or per pattern or lane): exactly one shows.
    const std::vector<int> perArea = {9,  10, 11, 12, 13,  14,  15,  16,  18,  19,
                                      23, 24, 31, 32, 120, 121, 122, 123, 125, 128};

    IGraphics& editor = Editor();
    for (int position : positions)
    {
        const IRectangle rect = Skin(position);
        int shown = 0;
        for (int i = 1; i < editor.NControls(); ++i)
        {
            IControl* c = editor.GetControl(i);
            if (c->IsHidden() || !(c->GetRect() == rect)) continue;
            ++shown;
            EXPECT_LE(AreaOf(c->GetParameterIndex()), 0)
                << "position " << position << " parameter " << c->GetParameterIndex();
        }
        EXPECT_LE(shown, 1) << "position " << position;
        if (std::find(perArea.begin(), perArea.end(), position) != perArea.end())
        {
            EXPECT_EQ(shown, 1) << "position " << position;
        }
    }
    EXPECT_TRUE(plug->GetAboutImage()->IsHidden());
    EXPECT_TRUE(plug->GetVersionText()->IsHidden());
    EXPECT_TRUE(plug->GetInfoBox()->IsHidden());
    EXPECT_TRUE(plug->GetSettingsBox()->IsHidden());
    EXPECT_FALSE(plug->GetPatternView()->IsHidden());
    // The rate knob shows, the free-rate knob of the same place does not.
    EXPECT_FALSE(plug->GetControlRegistry()->FindPatternControl(0, 0, kRate)->IsHidden());
    EXPECT_TRUE(plug->GetControlRegistry()->FindPatternControl(0, 0, kRateFree)->IsHidden());
}

TEST_F(EditorLayout, OpeningTheEditorDrawsBackgroundAndControls)
{
    ASSERT_NE(Open(), nullptr);
    Tick(2);
    const PixelSurface& surface = driver.Surface(window);
    ASSERT_EQ(surface.width, 1000);
    ASSERT_EQ(surface.height, 565);
    SaveSurfacePng(surface, QUOVA_EDITOR_SNAPSHOT, PngAlpha::Opaque);

    // A pixel only the background covers shows the background image's pixel.
    const IBitmapStrip background = Editor().LoadBitmapResource(101, "resources/images/background.png");
    ASSERT_NE(background.bitmap, nullptr);
    auto imagePixel = [&](int x, int y)
    { return background.bitmap->Pixels()[y * background.bitmap->RowSpan() + x] & 0xFFFFFF; };
    EXPECT_EQ(driver.Pixel(window, 2, 2) & 0xFFFFFF, imagePixel(2, 2));
    // The global volume knob and the key-area switch draw over the background.
    for (int position : {8, 9})
    {
        const IRectangle r = Skin(position);
        int differing = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                differing += (driver.Pixel(window, x, y) & 0xFFFFFF) != imagePixel(x, y);
        EXPECT_GT(differing, 0) << "position " << position;
    }
}

TEST_F(EditorLayout, AStepCellEditedInTheGridReachesTheEventHandlerWithTag1)
{
    ControlRegistry& registry = *plug->GetControlRegistry();
    IControl* cell = registry.FindStepControl(0, 0, 0, 5);
    ASSERT_NE(cell, nullptr);
    ASSERT_GE(cell->CountObservers(), 1);
    EXPECT_EQ(cell->GetObserver(0), static_cast<IObserverInterface*>(plug->GetEventHandler()));
    cell->AttachObserver(&spy);
    const double before = plug->GetParameterValue(StepValue(0, 0, 0, 5));

    ASSERT_NE(Open(), nullptr);
    const IRectangle grid = Skin(36);
    driver.Click(window, grid.left + 1 + 24 * 5 + 10, grid.top + 40);
    Tick();

    const double after = plug->GetParameterValue(StepValue(0, 0, 0, 5));
    EXPECT_NE(after, before);
    ASSERT_FALSE(spy.changed.empty());
    EXPECT_EQ(spy.changed.front().second, 1);
    // The engine's value came back into the grid's column through the parameter road.
    EXPECT_EQ(plug->GetPatternView()->GetColumn(5).value, after);
    cell->DetachObserver(&spy);
}

TEST_F(EditorLayout, ControlClickOnTheKeyAreaSwitchSetsTheOtherAreasThroughTheHandler)
{
    IControl* areaSwitch = plug->GetControlRegistry()->FindAreaControl(0, kKeyAreaOnOff);
    ASSERT_NE(areaSwitch, nullptr);
    areaSwitch->AttachObserver(&spy);
    ASSERT_EQ(plug->GetParameterValue(kKeyAreaOnOff), 1.0);

    ASSERT_NE(Open(), nullptr);
    const IRectangle r = Skin(9);
    driver.HoldModifiers(false, true, false);
    driver.Click(window, Centre(r.left, r.right), Centre(r.top, r.bottom));
    driver.HoldModifiers(false, false, false);
    Tick();

    // The press switched area 0 off; with Control held the handler set the others to the inverse.
    EXPECT_EQ(plug->GetParameterValue(kKeyAreaOnOff), 0.0);
    for (int a = 1; a < kAreaCount; ++a)
        EXPECT_EQ(plug->GetParameterValue(kKeyAreaOnOff + a), 1.0) << a;
    ASSERT_FALSE(spy.mouse.empty());
    EXPECT_EQ(std::get<0>(spy.mouse.front()), 0);
    EXPECT_EQ(std::get<1>(spy.mouse.front()), UIEventHandler::kTagKeyAreaSwitch);
    areaSwitch->DetachObserver(&spy);
}

TEST_F(EditorLayout, TheChordMemorySelectionReachesTheKeyboard)
{
    auto* selector = dynamic_cast<ICustomRadioButtonsControl*>(plug->GetChordMemorySelector());
    ASSERT_NE(selector, nullptr);
    EXPECT_EQ(selector->CountButtons(), 16);
    EXPECT_EQ(selector->GetTag(1), IKeyboardControl::kSelectionTag);
    ASSERT_NE(Open(), nullptr);

    const IRectangle button = selector->GetButtonRect(3);
    driver.Click(window, Centre(button.left, button.right), Centre(button.top, button.bottom));
    Tick();

    EXPECT_EQ(plug->GetParameterValue(kChordMemorySelection), 3.0);
    EXPECT_EQ(plug->GetKeyboard()->GetShownSlot(), 3);
    EXPECT_EQ(plug->GetEngineHost().GetChordMemory()->CurrentSlot(), 3);

    // A state the host loads shows its chord memory on the keyboard, also on the slot shown already
    // (a read selects slot 1).
    const IRectangle first = selector->GetButtonRect(0);
    driver.Click(window, Centre(first.left, first.right), Centre(first.top, first.bottom));
    Tick();
    const std::vector<uint8_t> saved = quova::test::StateBytes(*plug);
    ASSERT_TRUE(plug->GetEngineHost().GetChordMemory()->SetSlotRootNote(0, 20));
    Tick();
    ASSERT_FALSE(plug->GetKeyboard()->IsDirty());
    quova::test::ReadBytes(*plug, saved);
    EXPECT_TRUE(plug->GetKeyboard()->IsDirty());
}

TEST_F(EditorLayout, TheClearToolResetsTheRangeSelectedInTheGrid)
{
    // Lane 2 (LENGTH) of area 0, pattern 0: every step at the top of its range.
    plug->SetParameterFromGUI(kPatternStepMode, 0.25);
    ControlRegistry& registry = *plug->GetControlRegistry();
    for (int t = 0; t < kStepCount; ++t)
        registry.FindStepControl(0, 0, 2, t)->SetValueByUser(1.0);
    const IParameter& first = *plug->GetParameter(StepValue(0, 0, 2, 0));
    const double top = first.GetMaximum();
    ASSERT_GT(top, 0.0);

    ASSERT_NE(Open(), nullptr);
    plug->ApplyParameter(kSelectionTool, 1.0);
    ASSERT_EQ(plug->GetPatternView()->GetPointerMode(), PatternView::kPointerModeRange);
    const IRectangle grid = Skin(36);
    const int y = grid.top + 50;
    driver.Drag(window, grid.left + 1 + 24 * 3 + 10, y, grid.left + 1 + 24 * 6 + 10, y, 6);
    ASSERT_EQ(plug->GetPatternView()->GetSelectionStart(), 3);
    ASSERT_EQ(plug->GetPatternView()->GetSelectionEnd(), 6);

    plug->SetParameterFromGUI(kClearTool, 1.0);
    for (int t = 0; t < kStepCount; ++t)
    {
        const double expected = t >= 3 && t <= 6 ? std::max(0.0, first.GetMinimum()) : top;
        EXPECT_EQ(plug->GetParameterValue(StepValue(0, 0, 2, t)), expected) << "step " << t;
    }
}

TEST_F(EditorLayout, CopyToAllAfterLeavingTheRangeToolCopiesToEveryStep)
{
    plug->SetParameterFromGUI(kPatternStepMode, 0.25); // LENGTH
    ControlRegistry& registry = *plug->GetControlRegistry();
    auto lane = [&]
    {
        std::vector<double> values;
        for (int t = 0; t < kStepCount; ++t)
            values.push_back(plug->GetParameterValue(StepValue(0, 0, 2, t)));
        return values;
    };
    const IRectangle grid = Skin(36);
    auto column = [&](int c) { return grid.left + 1 + 24 * c + 10; };
    auto copyToAll = [&](int step)
    {
        driver.ChooseMenuItem(std::vector<std::string>{"Copy to all"});
        driver.Click(window, column(step), grid.top + 50, quova::testing::MouseButton::Right);
        Tick();
    };
    ASSERT_NE(Open(), nullptr);

    // In range mode the entry copies to the selection only.
    const IRectangle tool = Skin(130);
    driver.Click(window, Centre(tool.left, tool.right), Centre(tool.top, tool.bottom));
    ASSERT_EQ(plug->GetPatternView()->GetPointerMode(), PatternView::kPointerModeRange);
    driver.Drag(window, column(25), grid.top + 50, column(28), grid.top + 50, 6);
    registry.FindStepControl(0, 0, 2, 10)->SetValueByUser(1.0);
    const double top = plug->GetParameterValue(StepValue(0, 0, 2, 10));
    copyToAll(10);
    std::vector<double> expected = lane();
    for (int t = 25; t <= 28; ++t)
        EXPECT_EQ(expected[static_cast<size_t>(t)], top) << "step " << t;
    EXPECT_NE(expected[0], top);

    // Back to drawing by the key: the selection goes, and the entry reaches all 32 steps.
    driver.MouseMove(window, column(3), grid.top + 50);
    driver.PressKey('5');
    ASSERT_EQ(plug->GetPatternView()->GetPointerMode(), 0);
    EXPECT_EQ(plug->GetPatternView()->GetSelectionStart(), -1);
    registry.FindStepControl(0, 0, 2, 3)->SetValueByUser(0.5);
    const double middle = plug->GetParameterValue(StepValue(0, 0, 2, 3));
    copyToAll(3);
    EXPECT_EQ(lane(), std::vector<double>(kStepCount, middle));
}

TEST_F(EditorLayout, TheSettingsBoxOpensByItsButtonAndClosesByAPressBesideItsSwitches)
{
    ASSERT_NE(Open(), nullptr);
    plug->ApplyParameter(kBoxSettings, 1.0);
    ASSERT_TRUE(plug->IsSettingsBoxShown());
    EXPECT_EQ(plug->GetMouseCaptureControl(0, 0, IMouseModifiers()), plug->GetSettingsBox()->GetListIndex());
    Tick(2);
    driver.Click(window, 2, 2);
    Tick();
    EXPECT_FALSE(plug->IsSettingsBoxShown());
    EXPECT_EQ(plug->GetMouseCaptureControl(0, 0, IMouseModifiers()), -1);
    // The next press of the button opens it again.
    plug->ApplyParameter(kBoxSettings, 1.0);
    EXPECT_TRUE(plug->IsSettingsBoxShown());
}

TEST_F(EditorLayout, EngineActionsReachThePatternViewsMarkers)
{
    OutputNote note{};
    note.keyArea = 0;
    note.stepNumber = 4;
    note.note = 60;
    ActionDispatcher& actions = *plug->GetEngineHost().GetDispatcher();
    actions.Dispatch(ActionDispatcher::kNoteSounding, {&note, 0});
    EXPECT_EQ(plug->GetPatternView()->GetMarker(0, 4, 60).state, StepNoteMarker::kSounding);
    actions.Dispatch(ActionDispatcher::kNotesReleased, {&note, 0});
    EXPECT_EQ(plug->GetPatternView()->GetMarker(0, 4, 60).state, StepNoteMarker::kReleased);
    actions.Dispatch(ActionDispatcher::kClearMarkers);
    EXPECT_EQ(plug->GetPatternView()->ActiveMarkerCount(), 0);
}

TEST_F(EditorLayout, AnOptionSwitchOfTheSettingsBoxChangesTheGlobalOption)
{
    IControl* zone =
        plug->GetControlRegistry()->FindGlobalControl(kOptionSwitches[GlobalSettings::kDisableControlZone]);
    ASSERT_NE(zone, nullptr);
    ASSERT_TRUE(plug->GetEngineHost().GetControlTargetTable()->IsZoneOn());
    zone->SetValueByUser(1.0);
    zone->NotifyChanged(); // the editor's tick tells the observers
    EXPECT_FALSE(plug->GetEngineHost().GetControlTargetTable()->IsZoneOn());
    EXPECT_EQ(plug->GetGlobalSettings().Get(GlobalSettings::kDisableControlZone), true);
    EXPECT_NE(data.ReadSettings().find("true"), std::string::npos);
}

TEST_F(EditorLayout, GateCellsCountStepsLikeTheInformationLineWhenTheOptionIsOn)
{
    ASSERT_NE(Open(), nullptr);
    plug->SetParameterFromGUI(kPatternStepMode, 3.0 / 8.0); // GATE
    const PatternView& view = *plug->GetPatternView();
    const UIEventHandler& events = *plug->GetEventHandler();
    plug->SetParameterFromGUI(StepValue(0, 0, 3, 1),
                              plug->GetParameter(StepValue(0, 0, 3, 1))->Normalize(43.0));
    ASSERT_EQ(view.GetColumn(1).value, 43.0);

    // Switched on with the gate lane shown, the cells follow at once.
    IControl* option =
        plug->GetControlRegistry()->FindGlobalControl(kOptionSwitches[GlobalSettings::kGateLengthInSteps]);
    ASSERT_NE(option, nullptr);
    option->SetValueByUser(1.0);
    option->NotifyChanged();
    Tick();
    EXPECT_EQ(events.ParameterInfoText(StepValue(0, 0, 3, 1), 43.0), "Gate: 14 steps");
    EXPECT_EQ(view.GetColumn(1).gateSteps, 14.0);
    // A value given afterwards counts in steps as well.
    plug->SetParameterFromGUI(StepValue(0, 0, 3, 2),
                              plug->GetParameter(StepValue(0, 0, 3, 2))->Normalize(79.0));
    Tick();
    EXPECT_EQ(events.ParameterInfoText(StepValue(0, 0, 3, 2), 79.0), "Gate: 25 steps");
    EXPECT_EQ(view.GetColumn(2).gateSteps, 25.0);
}

TEST_F(EditorLayout, TheAboutAreaTogglesTheAboutImageWhichThenTakesEveryPressAndClosesAtAny)
{
    ASSERT_NE(Open(), nullptr);
    const IRectangle logo = Skin(20);
    const auto clickOn = [&](const IRectangle& r)
    {
        driver.Click(window, Centre(r.left, r.right), Centre(r.top, r.bottom));
        Tick();
    };
    clickOn(logo);
    ASSERT_FALSE(plug->GetAboutImage()->IsHidden());
    EXPECT_FALSE(plug->GetVersionText()->IsHidden());
    EXPECT_EQ(plug->GetMouseCaptureControl(0, 0, IMouseModifiers()), plug->GetAboutImage()->GetListIndex());
    // A press on it goes to the about image and closes it.
    clickOn(plug->GetAboutImage()->GetRect());
    EXPECT_TRUE(plug->GetAboutImage()->IsHidden());
    EXPECT_EQ(plug->GetMouseCaptureControl(0, 0, IMouseModifiers()), -1);
    // So does a press beside it, which reaches nothing else (the key-area switch there stays on),
    // and a press on the logo, whose release does not open the box again.
    const double areaOn = plug->GetParameterValue(kKeyAreaOnOff);
    for (const IRectangle& elsewhere : {Skin(9), logo})
    {
        clickOn(logo);
        ASSERT_FALSE(plug->GetAboutImage()->IsHidden());
        clickOn(elsewhere);
        EXPECT_TRUE(plug->GetAboutImage()->IsHidden());
        EXPECT_TRUE(plug->GetVersionText()->IsHidden());
    }
    EXPECT_EQ(plug->GetParameterValue(kKeyAreaOnOff), areaOn);
    // The information box closes at a press on the logo as well, without opening the about box.
    plug->SetParameterFromGUI(kBoxInfo, 1.0);
    plug->SetParameterFromGUI(kBoxInfo, 0.0);
    Tick();
    ASSERT_FALSE(plug->GetInfoBox()->IsHidden());
    clickOn(logo);
    EXPECT_TRUE(plug->GetInfoBox()->IsHidden());
    EXPECT_TRUE(plug->GetAboutImage()->IsHidden());
}

TEST_F(EditorLayout, AnOpenBoxTakesTheWheelAndTheKeysAsPressesAndNothingBehindItSeesThem)
{
    ASSERT_NE(Open(), nullptr);
    const IRectangle gate = Skin(0);
    const int gateX = Centre(gate.left, gate.right), gateY = Centre(gate.top, gate.bottom);
    const IRectangle logo = Skin(20);
    // Each box opened as the user opens it.
    const std::vector<std::function<IControl*()>> boxes = {
        [&]
        {
            driver.Click(window, Centre(logo.left, logo.right), Centre(logo.top, logo.bottom));
            return static_cast<IControl*>(plug->GetAboutImage());
        },
        [&]
        {
            plug->SetParameterFromGUI(kBoxInfo, 1.0);
            plug->SetParameterFromGUI(kBoxInfo, 0.0);
            return static_cast<IControl*>(plug->GetInfoBox());
        },
        [&]
        {
            plug->ApplyParameter(kBoxSettings, 1.0);
            return static_cast<IControl*>(plug->GetSettingsBox());
        }};
    // Three wheel notches over the GATE knob beside the box, the key "3" (pattern 3) with the
    // pointer there, and Escape, a key the editor has no use for: each closes the box as a press.
    const std::vector<std::function<void()>> inputs = {[&] { driver.Wheel(window, gateX, gateY, 3); },
                                                       [&]
                                                       {
                                                           driver.MouseMove(window, gateX, gateY);
                                                           driver.PressKey('3');
                                                       },
                                                       [&] { driver.PressKey(VK_ESCAPE); }};
    const double gateValue = plug->GetParameterValue(kPatternGate);
    const double pattern = plug->GetParameterValue(kKeyAreaPatterns);
    for (size_t b = 0; b < boxes.size(); ++b)
        for (size_t i = 0; i < inputs.size(); ++i)
        {
            IControl* box = boxes[b]();
            Tick(2);
            ASSERT_FALSE(box->IsHidden()) << "box " << b;
            inputs[i]();
            Tick();
            EXPECT_TRUE(box->IsHidden()) << "box " << b << ", input " << i;
            EXPECT_EQ(plug->GetMouseCaptureControl(0, 0, IMouseModifiers()), -1);
        }
    EXPECT_EQ(plug->GetParameterValue(kPatternGate), gateValue);
    EXPECT_EQ(plug->GetParameterValue(kKeyAreaPatterns), pattern);

    // Over a switch of the settings box, where a press would toggle it, the wheel reaches nothing:
    // the switch keeps its value and the box stays open. A key closes the box there too.
    plug->ApplyParameter(kBoxSettings, 1.0);
    Tick(2);
    IControl* option = plug->GetSettingsBox()->GetOptions()[0].control;
    const double optionValue = option->GetValue();
    const IRectangle r = option->GetRect();
    driver.Wheel(window, Centre(r.left, r.right), Centre(r.top, r.bottom), 1);
    Tick();
    EXPECT_TRUE(plug->IsSettingsBoxShown());
    driver.PressKey('3');
    Tick();
    EXPECT_FALSE(plug->IsSettingsBoxShown());
    EXPECT_EQ(option->GetValue(), optionValue);

    // With no box open the same wheel and key reach the knob and the pattern.
    driver.Wheel(window, gateX, gateY, 3);
    driver.PressKey('3');
    Tick();
    EXPECT_NE(plug->GetParameterValue(kPatternGate), gateValue);
    EXPECT_EQ(plug->GetParameterValue(kKeyAreaPatterns), 2.0);
}

TEST_F(EditorLayout, TheKeyAreaSelectorOpensItsMenuOnARightPressAndSelectsOnADoubleClick)
{
    auto* areas = dynamic_cast<IRadioButtonsControl*>(Editor().GetControl(138));
    ASSERT_NE(areas, nullptr);
    ASSERT_NE(Open(), nullptr);

    // A right press on area 2 selects it and opens the key-area menu.
    const IRectangle third = areas->GetButtonRect(2);
    driver.ChooseMenuItem(std::vector<std::string>{"Toggle send only CC"});
    driver.Click(window, Centre(third.left, third.right), Centre(third.top, third.bottom),
                 quova::testing::MouseButton::Right);
    Tick();
    ASSERT_EQ(driver.Menus().size(), 1u);
    std::vector<std::string> texts;
    for (const auto& entry : driver.Menus()[0].entries)
        texts.push_back(entry.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Copy", "Paste", "Paste to all", "Toggle send only CC",
                                               "Toggle trigger CM"}));
    EXPECT_EQ(plug->GetParameterValue(kKeyAreaSelection), 2.0);
    EXPECT_EQ(plug->GetEditedArea(), 2);
    EXPECT_EQ(plug->GetParameterValue(kSendControllers + 2), 1.0);
    EXPECT_EQ(plug->GetParameterValue(kSendControllers), 0.0);

    // A double click selects the area under it; it does not reset the selector to area 0.
    const IRectangle second = areas->GetButtonRect(1);
    driver.DoubleClick(window, Centre(second.left, second.right), Centre(second.top, second.bottom));
    Tick();
    EXPECT_EQ(plug->GetParameterValue(kKeyAreaSelection), 1.0);
    EXPECT_EQ(plug->GetEditedArea(), 1);
}

TEST_F(EditorLayout, AControlDragOnTheLoopStripSetsEveryLaneOfTheShownPattern)
{
    ASSERT_NE(Open(), nullptr);
    const IRectangle strip = Skin(124);
    const int y = strip.top + 7;
    auto column = [&](int c) { return strip.left + 24 * c + 12; };
    PatternStepper& stepper = plug->GetEngineHost().GetKeyAreas()->GetArea(0)->GetStepper();
    auto ranges = [&](int pattern)
    {
        std::vector<std::pair<int, int>> loops;
        for (int lane = 0; lane < kLaneCount; ++lane)
        {
            const ControlLooper* looper = stepper.GetLaneLooper(pattern, lane);
            loops.emplace_back(looper->LoopStart(), looper->LoopEnd());
        }
        return loops;
    };
    using Ranges = std::vector<std::pair<int, int>>;

    // With Control held: the start marker to step 4, the end marker to step 10, in all 17 lanes.
    driver.HoldModifiers(false, true, false);
    driver.Drag(window, column(0), y, column(4), y);
    driver.Drag(window, column(31), y, column(10), y);
    driver.HoldModifiers(false, false, false);
    EXPECT_EQ(ranges(0), Ranges(kLaneCount, {4, 11}));

    // The other loopers follow the pattern shown: on pattern 3 a plain drag moves the shown lane's
    // start only, a Control drag every lane's, and pattern 0 keeps its ranges.
    plug->SetParameterFromGUI(kKeyAreaPatterns, 3.0 / 11.0);
    ASSERT_EQ(plug->GetShownPattern(), 3);
    driver.Drag(window, column(0), y, column(2), y);
    Ranges expected(kLaneCount, {0, 32});
    expected[0] = {2, 32};
    EXPECT_EQ(ranges(3), expected);
    driver.HoldModifiers(false, true, false);
    driver.Drag(window, column(2), y, column(6), y);
    driver.HoldModifiers(false, false, false);
    EXPECT_EQ(ranges(3), Ranges(kLaneCount, {6, 32}));
    EXPECT_EQ(ranges(0), Ranges(kLaneCount, {4, 11}));
}

TEST_F(EditorLayout, TheSceneEndSetOnTheStripIsSavedAndDrawnAfterAReload)
{
    ASSERT_NE(Open(), nullptr);
    const IRectangle strip = Skin(118);
    driver.Click(window, strip.left + 2 + 18 * 3 + 9, strip.top + 12); // the fourth cell
    Tick();
    ASSERT_EQ(plug->GetEngineHost().GetKeyAreas()->GetArea(0)->GetSceneEnd(), 3);
    const auto saved = quova::test::StateBytes(*plug);

    Tobel other(&FakeHost::Callback);
    ASSERT_GT(quova::test::ReadBytes(other, saved), 0);
    EXPECT_EQ(other.GetEngineHost().GetKeyAreas()->GetArea(0)->GetSceneEnd(), 3);
    EXPECT_EQ(other.GetParameterValue(kSceneEnd), 3.0);
    EXPECT_EQ(other.GetSceneEnd(1), 15); // the other areas keep theirs
    HWND otherFrame = driver.CreateHostFrame(1040, 605, 60, 60);
    AEffect* effect = other.GetEffect();
    ASSERT_EQ(effect->dispatcher(effect, vst::effEditOpen, 0, 0, otherFrame, 0.0f), 1);
    HWND otherWindow = static_cast<HWND>(other.GetGraphics()->GetWindowHandle());
    Tick(2);
    // The scene-length bar ends after the fourth cell: left + 19 + 18 x 3.
    constexpr uint32_t kBar = (112u << 16) | (154u << 8) | 225u;
    const int barY = strip.bottom - 9;
    EXPECT_EQ(driver.Pixel(otherWindow, strip.left + 19 + 18 * 3 - 1, barY) & 0xFFFFFF, kBar);
    EXPECT_NE(driver.Pixel(otherWindow, strip.left + 19 + 18 * 3 + 1, barY) & 0xFFFFFF, kBar);
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);

    // Read back into the open editor after another click: the strip follows the state.
    driver.Click(window, strip.left + 2 + 18 * 9 + 9, strip.top + 12);
    Tick();
    ASSERT_GT(quova::test::ReadBytes(*plug, saved), 0);
    Tick(2);
    EXPECT_EQ(plug->GetSceneEnd(0), 3);
    EXPECT_EQ(driver.Pixel(window, strip.left + 19 + 18 * 3 - 1, barY) & 0xFFFFFF, kBar);
    EXPECT_NE(driver.Pixel(window, strip.left + 19 + 18 * 3 + 1, barY) & 0xFFFFFF, kBar);
}

// A state saved at the other size (a preset, a host's chunk) leaves the editor at its size, and the
// size switch shows that size: each press of the switch then resizes.
TEST_F(EditorLayout, AfterAStateOfTheOtherSizeLoadsTheSizeSwitchShowsTheEditorsSizeAndResizes)
{
    ASSERT_NE(Open(), nullptr);
    const IRectangle resize = Skin(156);
    const auto press = [&]
    {
        driver.Click(window, resize.left + 3, resize.top + 3);
        Tick();
    };
    press();
    ASSERT_TRUE(plug->IsEditorCompact());
    const std::vector<uint8_t> compact = StateBytes(*plug);
    press();
    ASSERT_FALSE(plug->IsEditorCompact());
    const std::vector<uint8_t> full = StateBytes(*plug);
    for (const auto* state : {&compact, &full, &compact})
    {
        const bool wasCompact = plug->IsEditorCompact();
        ASSERT_GT(ReadBytes(*plug, *state, true), 0);
        Tick();
        EXPECT_EQ(plug->IsEditorCompact(), wasCompact);
        EXPECT_EQ(plug->GetParameterValue(kResize), wasCompact ? 1.0 : 0.0);
        press();
        EXPECT_NE(plug->IsEditorCompact(), wasCompact) << "the switch's press resizes";
    }
}

// The labels in the MODE box and in the step grid's cells, measured with the fonts they are drawn
// with, stay inside their boxes at the full and at the compact editor height.
TEST_F(EditorLayout, TheModeNotesAndTheCellLabelsFitTheirBoxesInBothEditorSizes)
{
    ASSERT_NE(Open(), nullptr);
    plug->SetParameterFromGUI(kSendControllers, 1.0);
    plug->SetParameterFromGUI(kTriggerChordMemory, 1.0);
    const std::vector<PostedTextControl*> notes = {plug->GetSendOnlyCcNote(),
                                                   plug->GetTriggerChordMemoryNote()};
    const IRectangle grid = Skin(36);
    const PatternView& view = *plug->GetPatternView();
    ITextStyle label = view.GetCellLabelStyle();
    auto fits = [&](const char* text, const IRectangle& cell)
    {
        IRectangle box = cell;
        if (!Editor().MeasureStyledText(&label, text, &box)) return false;
        // Centred, clear of the one-pixel outline.
        return box.left > cell.left && box.right < cell.right &&
               box.bottom - box.top <= cell.bottom - cell.top - 2;
    };
    const IParameter& order = *plug->GetParameter(StepValue(0, 0, 0, 0));
    const int n = static_cast<int>(order.GetMaximum() - order.GetMinimum());
    ASSERT_EQ(n, 7);
    const char* orderNames[] = {"Off", "Prev", "1st", "Last", "Hi", "Low", "Rnd"}; // values 1..7

    for (bool compact : {false, true})
    {
        if (plug->IsEditorCompact() != compact) plug->ApplyParameter(kResize, 1.0);
        ASSERT_EQ(plug->IsEditorCompact(), compact);
        Tick();
        // Both notes are readable: the texts that show do not share the box, and each fits it.
        std::string shown;
        int showing = 0;
        for (PostedTextControl* note : notes)
        {
            const std::string text = note->GetPostedText();
            if (text.empty()) continue;
            ++showing;
            shown += text;
            const IRectangle box = note->GetRect();
            EXPECT_LE(box.bottom, Editor().Height());
            EXPECT_LE(note->GetFont()->MeasureWidth(text.c_str()), box.right - box.left) << text;
        }
        EXPECT_EQ(showing, 1);
        EXPECT_NE(shown.find("Sending only CC"), std::string::npos) << shown;
        EXPECT_NE(shown.find("Trigger CM"), std::string::npos) << shown;

        ASSERT_LE(grid.bottom, Editor().Height());
        for (int k = 0; k < n; ++k)
        {
            const IRectangle cell(grid.left + 1, grid.bottom - 110 * (k + 1) / n - 1, grid.left + 21,
                                  grid.bottom - 110 * k / n - 1);
            EXPECT_TRUE(fits(orderNames[k], cell)) << orderNames[k];
        }
        for (int row = 0; row < 8; ++row)
        {
            std::string text = " "; // appended: GCC 12 warns falsely (-Wrestrict) on " " + to_string
            text += std::to_string(8 - row);
            const IRectangle cell(grid.left + 1, grid.top + 14 * row, grid.left + 22,
                                  grid.top + 14 * row + 13);
            EXPECT_TRUE(fits(text.c_str(), cell)) << text;
        }
    }
}

// The host's calls telling it that the project changed (update display).
int gProjectChanges = 0;
VstIntPtr CountingCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                           float opt)
{
    if (opcode == vst::audioMasterUpdateDisplay) ++gProjectChanges;
    return FakeHost::Callback(effect, opcode, index, value, ptr, opt);
}

// Each edit in the editor tells the host once that the project changed (so that it asks before
// quitting without a save), at the end of the gesture and on the editor's thread: a click on a step,
// a knob dragged over several ticks, a preset the box's arrow loads on the loader's worker. What the
// host loads and what MIDI changes while playing tell it nothing.
TEST_F(EditorLayout, EachEditTellsTheHostOnceThatTheProjectChangedAndAStateOrMidiDoesNot)
{
    plug = std::make_unique<Tobel>(&CountingCallback);
    gProjectChanges = 0;
    ASSERT_NE(Open(), nullptr);
    Tick(2);
    EXPECT_EQ(gProjectChanges, 0) << "opening the editor is no edit";
    // Buttons that change nothing saved: the information box (opened, then closed by a press), the
    // panic and the copy tool.
    for (int button : {kBoxInfo, kBoxInfo, kPanicTool, kCopyTool})
    {
        const IRectangle r = plug->GetControlRegistry()->FindGlobalControl(button)->GetRect();
        driver.Click(window, Centre(r.left, r.right), Centre(r.top, r.bottom));
        Tick(2);
    }
    EXPECT_EQ(gProjectChanges, 0) << "a press that changes nothing saved";

    const IRectangle grid = Skin(36);
    driver.Click(window, grid.left + 1 + 24 * 5 + 10, grid.top + 40);
    Tick();
    EXPECT_EQ(gProjectChanges, 1) << "a step";

    const IRectangle knob = Skin(8);
    const int kx = Centre(knob.left, knob.right), ky = Centre(knob.top, knob.bottom);
    const double volume = plug->GetParameterValue(kGlobalVolume);
    driver.MouseMove(window, kx, ky);
    driver.MouseDown(window, kx, ky);
    for (int dy = 5; dy <= 40; dy += 5)
    {
        driver.MouseMove(window, kx, ky - dy);
        Tick();
    }
    EXPECT_NE(plug->GetParameterValue(kGlobalVolume), volume);
    EXPECT_EQ(gProjectChanges, 1) << "not while the knob is held";
    driver.MouseUp(window, kx, ky - 40);
    Tick(2);
    EXPECT_EQ(gProjectChanges, 2) << "a drag, once";

    ASSERT_TRUE(BuildPresetFile(plug->GetPresetBox(), "Kept", "Tester", "", "", 0));
    const IRectangle arrow = plug->GetControlRegistry()->FindGlobalControl(kBoxRight)->GetRect();
    driver.Click(window, Centre(arrow.left, arrow.right), Centre(arrow.top, arrow.bottom));
    plug->GetPresetLoader()->Join();
    Tick(2);
    ASSERT_EQ(plug->GetPresetBoxName(), "Kept");
    EXPECT_EQ(gProjectChanges, 3) << "a preset load, once it is in";

    const std::vector<uint8_t> state = StateBytes(*plug);
    AEffect* effect = plug->GetEffect();
    std::vector<uint8_t> chunk = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
    chunk.insert(chunk.end(), state.begin(), state.end());
    ASSERT_EQ(effect->dispatcher(effect, vst::effSetChunk, 1, static_cast<VstIntPtr>(chunk.size()),
                                 chunk.data(), 0.0f),
              1);
    // A program change on the audio thread switches the key area's pattern (and its selector).
    std::thread(
        [&]
        {
            VstMidiEvent change{};
            change.type = vst::kVstMidiType;
            change.byteSize = sizeof change;
            change.midiData[0] = static_cast<char>(0xC0);
            change.midiData[1] = 4;
            struct
            {
                VstInt32 numEvents = 1;
                VstIntPtr reserved = 0;
                VstEvent* events[2];
            } list{1, 0, {reinterpret_cast<VstEvent*>(&change), nullptr}};
            effect->dispatcher(effect, vst::effProcessEvents, 0, 0, &list, 0.0f);
            float left[64] = {}, right[64] = {};
            float* outputs[2] = {left, right};
            effect->processReplacing(effect, nullptr, outputs, 64);
        })
        .join();
    Tick(3);
    EXPECT_EQ(plug->GetParameterValue(kKeyAreaPatterns), 4.0);
    EXPECT_EQ(gProjectChanges, 3) << "a host's state or MIDI";
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(gProjectChanges, 3);
}

// A real Linux host hands the editor a parent that is no window of ours (an X11 window id) and that
// the X server does not know: the editor waits for it to appear there (without an X server the open
// fails), nothing is drawn into it or dereferenced, and the plug-in goes on working.
TEST_F(EditorLayout, AParentThatIsNoWindowOfOursIsNeverTakenForOne)
{
    AEffect* effect = plug->GetEffect();
    void* foreign = reinterpret_cast<void*>(static_cast<uintptr_t>(0x3a00007));
    const VstIntPtr opened = effect->dispatcher(effect, vst::effEditOpen, 0, 0, foreign, 0.0f);
    EXPECT_EQ(Editor().GetWindowHandle() != nullptr, opened == 1);
    for (int i = 0; i < 2; ++i)
        effect->dispatcher(effect, vst::effEditIdle, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst::effEditClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(Editor().GetWindowHandle(), nullptr);
    EXPECT_NE(Open(), nullptr); // a proper frame still works afterwards
}

} // namespace
