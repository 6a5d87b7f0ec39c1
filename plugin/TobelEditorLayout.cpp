// Tobel: the editor layout. Every control of the editor, in the one fixed order: the order is the
// control-list order, and MIDI learn mappings store control-list indices in states and presets, so
// a control may never move. Controls take their rectangles from the skin by position; the
// per-area, per-pattern and per-lane controls lie on top of each other and the control registry
// shows only those of the edited key area, pattern and lane.
//
// Order: background (0); four incoming-note indicators; the scene view; 128 learn switches; the
// global controls; per pattern; per key area; the step grid per lane, then the scene steps; the
// about areas, the loop strip, the keyboard and the chord-memory selector; the preset boxes; the
// seven option switches; last the pattern view, the information box, the settings box, the about
// image and the version text (painted last, pressed first).
#include "plugin/Tobel.h"

#include "engine/ChordMemory.h"
#include "engine/EngineHost.h"
#include "gui/BitmapFont.h"
#include "gui/DoubleRadioButtonsListener.h"
#include "gui/IBitmapControl.h"
#include "gui/ICustomKnobMultiControl.h"
#include "gui/ICustomRadioButtonsControl.h"
#include "gui/ICustomSwitchControl.h"
#include "gui/ICustomTextControl.h"
#include "gui/IGraphics.h"
#include "gui/IInvisibleSwitchControl.h"
#include "gui/IKnobControl.h"
#include "gui/ISwitchControl.h"
#include "gui/ITextControl.h"
#include "plugin/ControlRegistry.h"
#include "plugin/TobelPresetHost.h"
#include "plugin/TobelViewHost.h"
#include "plugin/controls/PostedTextControl.h"
#include "presets/ChordMemoryPresetHandler.h"
#include "presets/PresetHandler.h"
#include "views/IKeyboardControl.h"
#include "views/ILoopSelectionControl.h"
#include "views/InfoControl.h"
#include "views/ParameterIndex.h"
#include "views/PatternView.h"
#include "views/SceneView.h"
#include "views/SettingsControl.h"
#include "views/UIEventHandler.h"

#include <memory>
#include <new>
#include <string>
#include <vector>

using namespace quova::param;

namespace
{
// The images of the layout: resource id, name and frame count.
struct ImageResource
{
    int id;
    const char* name;
    int frames;
};
constexpr ImageResource kImages[] = {
    {102, "resources/images/ptnviewStepOnoff_23x13.png", 2},
    {103, "resources/images/noteliststrip_21x8_30frames.png", 30},
    {104, "resources/images/ptnview_63x15.png", 2},
    {105, "resources/images/About.png", 1},
    {106, "resources/images/freebutton_38x19.png", 2},
    {107, "resources/images/buttonOnOff_27x23.png", 2},
    {108, "resources/images/bipolar_knob_with_ring_127frames.png", 127},
    {109, "resources/images/unipolar_knob_with_ring_127frames.png", 127},
    {111, "resources/images/button_27x23.png", 2},
    {112, "resources/images/incomingnote_27x9_30frames.png", 30},
    {122, "resources/images/boxbuttonLeft_27x14.png", 2},
    {123, "resources/images/resizebutton_15x11.png", 2},
    {124, "resources/images/boxbuttonOK_27x14.png", 2},
    {125, "resources/images/boxbuttonRight_27x14.png", 2},
    {126, "resources/images/boxbuttonInfo_30x14.png", 2},
    {127, "resources/images/buttonTeach_27x23.png", 2},
    {128, "resources/images/editClear_33x27.png", 2},
    {129, "resources/images/editCopy_33x27.png", 2},
    {130, "resources/images/editDraw_33x27.png", 2},
    {131, "resources/images/editPaste_33x27.png", 2},
    {132, "resources/images/editRand_33x27.png", 2},
    {133, "resources/images/editSelect_33x27.png", 2},
    {134, "resources/images/lockbutton_21x21.png", 2},
    {135, "resources/images/panicbutton_29x19.png", 2},
    {136, "resources/images/SbuttonLeft_23x21.png", 2},
    {137, "resources/images/SbuttonRight_23x21.png", 2},
    {138, "resources/images/Sbutton_23x21.png", 2},
    {141, "resources/images/ptnviewloopstart_24x15.png", 1},
    {142, "resources/images/ptnviewloopend_24x15.png", 1},
    {143, "resources/images/ptnviewCC_19x15.png", 2},
    {144, "resources/images/basenoteled_16x8.png", 2},
    {146, "resources/images/unipolar_knob_with_ring_5frames.png", 5},
    {147, "resources/images/bipolar_knob_with_ring_25frames.png", 25},
    {148, "resources/images/unipolar_knob_with_ring_23frames.png", 23},
    {151, "resources/images/boxbuttonSettings_48x14.png", 2},
};

// The image resource id from the editor's module-wide cache; a null strip for an id the layout
// does not use or a missing image (such a control draws nothing).
IBitmapStrip Image(IGraphics* graphics, int id)
{
    for (const ImageResource& image : kImages)
        if (image.id == id) return graphics->LoadBitmapResource(image.id, image.name, image.frames);
    return IBitmapStrip();
}

// Appends control to the editor's list. The list only refuses a control when memory runs out;
// construction then fails as a whole.
template <class T> T* Append(IGraphics* graphics, T* control)
{
    if (graphics->AddControl(control) < 0)
    {
        delete control;
        throw std::bad_alloc();
    }
    return control;
}

// A control made now that joins the list at the end of the layout.
template <class T> T* AppendHeld(IGraphics* graphics, std::unique_ptr<T>& held)
{
    return Append(graphics, held.release());
}

std::vector<std::string> NumberLabels(int count)
{
    std::vector<std::string> labels;
    for (int i = 1; i <= count; ++i)
        labels.push_back(std::to_string(i));
    return labels;
}

// Skin positions.
constexpr int kRectGate = 0;
constexpr int kRectRate = 1;
constexpr int kRectRateFree = 2;
constexpr int kRectRateFreeToggle = 3;
constexpr int kRectSwing = 4;
constexpr int kRectOctaves = 5;
constexpr int kRectTranspose = 6;
constexpr int kRectAreaVolume = 7;
constexpr int kRectGlobalVolume = 8;
constexpr int kRectFirstPatternStep = 37;
constexpr int kRectFirstIndicator = 27;
constexpr int kRectFirstSceneLength = 86;
constexpr int kRectFirstScenePattern = 70;
constexpr int kRectFirstSceneRepeat = 102;

// The momentary buttons of the tool row, the boxes and the chord-memory box: a press sets 1.0
// (the action), the release 0.0.
struct ButtonSpec
{
    int rect;
    int parameter;
    int image;
};
} // namespace

// ---- builders -----------------------------------------------------------------------------------

IControl* Tobel::CreateKnobControl(IGraphics* graphics, int skinPosition, int index, int imageId)
{
    const IRectangle r = skin_.At(skinPosition);
    auto* knob =
        Append(graphics, new ICustomKnobMultiControl(graphics, r.left, r.top, index, Image(graphics, imageId),
                                                     IKnobControl::kVertical, 10.0, true, true));
    knob->SetMenuParameterIndex(kMidiLearnMenu);
    return knob;
}

void Tobel::BuildEditor(IGraphics* graphics)
{
    ControlRegistry& registry = *registry_;

    // The background is the first control.
    graphics->AttachBackgroundBitmap(101, "resources/images/background.png");

    // Four incoming-note indicators, lit by the pattern view.
    std::array<IControl*, PatternView::kAreas> indicators{};
    const IBitmapStrip indicatorStrip = Image(graphics, 112);
    for (int a = 0; a < kAreaCount; ++a)
    {
        const IRectangle r = skin_.At(kRectFirstIndicator + a);
        indicators[static_cast<size_t>(a)] =
            Append(graphics, new IKnobMultiControl(graphics, r.left, r.top, -1, indicatorStrip,
                                                   IKnobControl::kVertical, 10.0));
    }

    // The pattern view and the scene view; the event handler that joins them to the engine.
    auto patternView =
        std::make_unique<PatternView>(this, skin_.At(36), 30467, engine_.get(), Image(graphics, 103),
                                      indicators, 30, IBlendSpec::kMethodAlphaCopy, viewHost_.get());
    patternView->SetMenuParameterIndex(kStepMenu);
    patternView->SetClickSetsEdges(true, true);
    patternView_ = patternView.get();
    auto sceneView =
        std::make_unique<SceneView>(this, skin_.At(118), 30471, IBitmapStrip(), engine_->GetKeyAreas());
    sceneView_ = sceneView.get();
    events_ = std::make_unique<UIEventHandler>(app_.get(), engine_->GetKeyAreas(), engine_->GetNoteEngine(),
                                               viewHost_.get());
    AppendHeld(graphics, sceneView);

    // The 128 learn switches, one per controller number, on a rectangle that never shows or
    // takes a press.
    const IRectangle nowhere{-1, -1, -1, -1};
    for (int i = 0; i < 128; ++i)
        registry.AddExtraControl(
            Append(graphics, new ICustomInvisibleSwitchControl(graphics, nowhere, kNoteLearnBase + i)));

    CreateGlobalControls(graphics);
    CreatePatternControls(graphics);
    CreateAreaControls(graphics);
    CreateStepGridControls(graphics);
    CreateBoxControls(graphics, patternView);
}

void Tobel::CreateGlobalControls(IGraphics* graphics)
{
    ControlRegistry& registry = *registry_;
    auto global = [&](IControl* control)
    {
        registry.AddGlobalControl(control);
        return control;
    };
    BitmapFont* f14 = fonts_[kFont14].get();
    BitmapFont* f12 = fonts_[kFont12].get();
    BitmapFont* f12w = fonts_[kFont12White].get();
    BitmapFont* f10 = fonts_[kFont10].get();

    // Controller teach and the controller number of the selected controller lane.
    global(Append(graphics,
                  new ICustomSwitchControl(graphics, skin_.At(26), kControllerTeach, Image(graphics, 127))));
    global(Append(graphics,
                  new ICustomSwitchControl(graphics, skin_.At(25), kControllerTeachSelection, f14, true)));

    // The key-area box's two notes (send only controllers, trigger chord memory), in black. They
    // are set from any thread that changes those flags, so they take posted texts.
    BitmapFont* f12b = fonts_[kFont12Black].get();
    sendOnlyCcNote_ = Append(graphics, new PostedTextControl(graphics, skin_.At(166), f12b));
    triggerCmNote_ = Append(graphics, new PostedTextControl(graphics, skin_.At(166), f12b));

    // Key-area selection: four unlabelled buttons in a row. A right press selects the area under
    // the pointer and opens the key-area menu (copy, paste, the send-only-CC and trigger-CM
    // toggles); a double click leaves the area its first press chose.
    auto* areas = Append(graphics, new ICustomRadioButtonsControl(graphics, skin_.At(17), kKeyAreaSelection,
                                                                  kAreaCount, Image(graphics, 111), nullptr));
    areas->SetMenuParameterIndex(kAreaCopyMenu);
    areas->SetMenuOnRightClick(true);
    global(areas);

    for (int i = 0; i < 3; ++i)
        global(Append(graphics, new ICustomSwitchControl(graphics, skin_.At(33 + i), kScale + i, f12, true)));

    statusLine_ = Append(graphics, new PostedTextControl(graphics, skin_.At(22), f14));

    // The step grid's lane buttons and the controller-lane buttons: one row shows a choice.
    auto* lanes = Append(graphics, new ICustomRadioButtonsControl(graphics, skin_.At(69), kPatternStepMode, 9,
                                                                  Image(graphics, 104), f10));
    lanes->SetLabels({"ORDER", "CHRDMEM", "LENGTH", "GATE", "ACCENT", "TRANSP", "DIV", "SHIFT", "SEQ"});
    lanes->SetTag(1, 3);
    global(lanes);
    auto* ccLanes =
        Append(graphics, new ICustomRadioButtonsControl(graphics, skin_.At(154), kPatternControllerSelection,
                                                        8, Image(graphics, 143), f12w));
    ccLanes->SetLabels(NumberLabels(8));
    global(ccLanes);
    laneButtonsListener_ = std::make_unique<DoubleRadioButtonsListener>(lanes, ccLanes);

    // Global volume, with the learn menu on a right press.
    const IRectangle volume = skin_.At(kRectGlobalVolume);
    auto* knob = Append(graphics, new ICustomKnobMultiControl(graphics, volume.left, volume.top,
                                                              kGlobalVolume, Image(graphics, 109),
                                                              IKnobControl::kVertical, 10.0, true, true));
    knob->SetMenuParameterIndex(kMidiLearnMenu);
    global(knob);

    // Tool buttons. The two tools are switches; the others are momentary buttons.
    auto contact = [&](const ButtonSpec& b)
    {
        const IRectangle r = skin_.At(b.rect);
        return Append(graphics,
                      new IContactControl(graphics, r.left, r.top, b.parameter, Image(graphics, b.image)));
    };
    global(contact({131, kRandomize, 132}));
    global(Append(graphics,
                  new ICustomSwitchControl(graphics, skin_.At(130), kSelectionTool, Image(graphics, 133))));
    global(
        Append(graphics, new ICustomSwitchControl(graphics, skin_.At(129), kDrawTool, Image(graphics, 130))));
    for (const ButtonSpec& b : {ButtonSpec{132, kCopyTool, 129}, ButtonSpec{133, kPasteTool, 131},
                                ButtonSpec{134, kClearTool, 128}, ButtonSpec{135, kPanicTool, 135}})
        global(contact(b));

    // Preset box buttons; the resize switch (not filed).
    for (const ButtonSpec& b : {ButtonSpec{140, kBoxInfo, 126}, ButtonSpec{141, kBoxSettings, 151},
                                ButtonSpec{136, kBoxLeft, 122}, ButtonSpec{137, kBoxRight, 125}})
        global(contact(b));
    const IRectangle resize = skin_.At(156);
    Append(graphics, new ISwitchControl(graphics, resize.left, resize.top, kResize, Image(graphics, 123)));

    // The lock switches (not filed).
    const IBitmapStrip lock = Image(graphics, 134);
    for (int i = 0; i < kLockCount; ++i)
    {
        const IRectangle r = skin_.At(158 + i);
        Append(graphics, new ISwitchControl(graphics, r.left, r.top, kLockGate + i, lock));
    }

    // The chord-memory box.
    global(Append(graphics, new ICustomSwitchControl(graphics, skin_.At(144), kChordSelection, f12, true)));
    for (const ButtonSpec& b :
         {ButtonSpec{146, kChordMemoryBoxLeft, 122}, ButtonSpec{147, kChordMemoryBoxRight, 125},
          ButtonSpec{148, kChordMemoryCopy, 129}, ButtonSpec{149, kChordMemoryPaste, 131},
          ButtonSpec{150, kChordMemoryClear, 128}, ButtonSpec{151, kChordMemoryApply, 124},
          ButtonSpec{153, kChordMemoryInvertLeft, 136}, ButtonSpec{152, kChordMemoryInvertRight, 137}})
        global(contact(b));

    global(Append(graphics, new ICustomSwitchControl(graphics, skin_.At(155), kControlZoneSync, f12, true)));
}

void Tobel::CreatePatternControls(IGraphics* graphics)
{
    ControlRegistry& registry = *registry_;
    BitmapFont* f12 = fonts_[kFont12].get();
    const IBitmapStrip toggle = Image(graphics, 106);
    const IBitmapStrip stepSwitch = Image(graphics, 102);
    const IBitmapStrip onOff = Image(graphics, 107);
    for (int a = 0; a < kAreaCount; ++a)
        for (int p = 0; p < kPatternCount; ++p)
        {
            const int s = Slot(a, p);
            auto file = [&](IControl* control, int key) { registry.AddPatternControl(a, p, control, key); };
            file(CreateKnobControl(graphics, kRectRate, kRate + s, 148), kRate);
            IControl* freeRate = CreateKnobControl(graphics, kRectRateFree, kRateFree + s, 109);
            freeRate->Hide(true);
            file(freeRate, kRateFree);
            file(Append(graphics, new ICustomSwitchControl(graphics, skin_.At(kRectRateFreeToggle),
                                                           kRateFreeToggle + s, toggle)),
                 kRateFreeToggle);
            for (int t = 0; t < kStepCount; ++t)
            {
                auto* step = Append(
                    graphics, new ICustomSwitchControl(graphics, skin_.At(kRectFirstPatternStep + t),
                                                       kPatternStepSwitch + kStepCount * s + t, stepSwitch));
                step->SetValueByUser(1.0);
                step->AttachObserver(events_.get());
                file(step, kPatternStepSwitch);
            }
            file(
                Append(graphics, new ICustomSwitchControl(graphics, skin_.At(19), kSortOrder + s, f12, true)),
                kSortOrder);
            file(Append(graphics,
                        new ICustomSwitchControl(graphics, skin_.At(14), kResetOnNewNote + s, onOff)),
                 kResetOnNewNote);
            file(Append(graphics, new ICustomSwitchControl(graphics, skin_.At(128), kPatternSteps + s, f12,
                                                           false, true)),
                 kPatternSteps);
            file(CreateKnobControl(graphics, kRectTranspose, kTranspose + s, 147), kTranspose);
            file(CreateKnobControl(graphics, kRectOctaves, kOctaves + s, 146), kOctaves);
            file(CreateKnobControl(graphics, kRectGate, kPatternGate + s, 109), kPatternGate);
            file(CreateKnobControl(graphics, kRectSwing, kSwing + s, 109), kSwing);
        }
}

void Tobel::CreateAreaControls(IGraphics* graphics)
{
    ControlRegistry& registry = *registry_;
    BitmapFont* f12 = fonts_[kFont12].get();
    BitmapFont* f12w = fonts_[kFont12White].get();
    const IBitmapStrip onOff = Image(graphics, 107);
    const IBitmapStrip button = Image(graphics, 111);
    for (int a = 0; a < kAreaCount; ++a)
    {
        auto file = [&](IControl* control, int key, bool push)
        { registry.AddAreaControl(a, control, key, push); };
        auto* areaSwitch =
            Append(graphics, new ICustomSwitchControl(graphics, skin_.At(9), kKeyAreaOnOff + a, onOff));
        areaSwitch->SetTag(0, a);
        areaSwitch->SetTag(1, UIEventHandler::kTagKeyAreaSwitch);
        areaSwitch->AttachObserver(events_.get());
        file(areaSwitch, kKeyAreaOnOff, false);
        for (const auto& [rect, key] : {std::pair{18, kArpOnNoteCount}, std::pair{31, kHoldSync}})
        {
            auto* display = Append(
                graphics, new ICustomSwitchControl(graphics, skin_.At(rect), key + a, f12, false, true));
            display->SetMenuParameterIndex(kMidiLearnMenu);
            file(display, key, true);
        }
        for (const auto& [rect, key] :
             {std::pair{10, kHold}, std::pair{11, kHoldTranspose}, std::pair{12, kHoldBypass},
              std::pair{13, kSceneOnOff}, std::pair{125, kNoteRelease}})
            file(Append(graphics, new ICustomSwitchControl(graphics, skin_.At(rect), key + a, onOff)), key,
                 true);
        file(Append(graphics, new ICustomSwitchControl(graphics, skin_.At(32), kVelocityMode + a, f12, true)),
             kVelocityMode, true);
        for (const auto& [rect, key] :
             {std::pair{120, kStartNote}, std::pair{121, kEndNote}, std::pair{122, kBaseNote}})
            file(Append(graphics, new ICustomSwitchControl(graphics, skin_.At(rect), key + a, f12w, true)),
                 key, false);
        file(CreateKnobControl(graphics, kRectAreaVolume, kVolume + a, 108), kVolume, false);
        for (const auto& [rect, key] : {std::pair{23, kMidiInChannel}, std::pair{24, kMidiOutChannel}})
            file(Append(graphics, new ICustomSwitchControl(graphics, skin_.At(rect), key + a, f12, true)),
                 key, false);
        auto* patterns =
            Append(graphics, new ICustomRadioButtonsControl(graphics, skin_.At(123), kKeyAreaPatterns + a,
                                                            kPatternCount, button, f12w));
        patterns->SetLabels(NumberLabels(kPatternCount));
        patterns->SetMenuParameterIndex(kPatternCopyMenu);
        patterns->SetMenuOnRightClick(true);
        file(patterns, kKeyAreaPatterns, false);
    }
}

void Tobel::CreateStepGridControls(IGraphics* graphics)
{
    ControlRegistry& registry = *registry_;
    BitmapFont* f12 = fonts_[kFont12].get();
    BitmapFont* f12w = fonts_[kFont12White].get();
    const IBitmapStrip onOff = Image(graphics, 107);
    const IBitmapStrip stepSwitch = Image(graphics, 102);
    IRectangle stepRects[kStepCount];
    for (int t = 0; t < kStepCount; ++t)
        stepRects[t] = skin_.At(kRectFirstPatternStep + t);
    const IRectangle resetRect = skin_.At(16);
    const IRectangle directionRect = skin_.At(15);

    for (int a = 0; a < kAreaCount; ++a)
        for (int p = 0; p < kPatternCount; ++p)
            for (int l = 0; l < kLaneCount; ++l)
            {
                registry.AddLaneControl(
                    a, p,
                    Append(graphics,
                           new ICustomSwitchControl(graphics, resetRect,
                                                    PerLane(kLaneResetOnPatternReset, a, p, l), onOff)),
                    l, kLaneResetOnPatternReset);
                registry.AddLaneControl(
                    a, p,
                    Append(graphics, new ICustomSwitchControl(graphics, directionRect,
                                                              PerLane(kLaneDirection, a, p, l), f12, true)),
                    l, kLaneDirection);
                // The value cells are drawn by the pattern view, not by themselves.
                const int cellKey = l < kNoteLaneCount ? kStepBlockBase[l] : kStepController;
                for (int t = 0; t < kStepCount; ++t)
                {
                    auto* cell = Append(graphics, new ICustomSwitchControl(graphics, IRectangle(),
                                                                           StepValue(a, p, l, t), f12));
                    cell->SetTag(1, 1);
                    cell->AttachObserver(events_.get());
                    registry.AddStepControl(a, p, cell, l, cellKey);
                }
                for (int t = 0; t < kStepCount; ++t)
                {
                    auto* onOffSwitch =
                        Append(graphics, new ICustomSwitchControl(graphics, stepRects[t],
                                                                  StepOnOff(a, p, l, t), stepSwitch));
                    onOffSwitch->SetValueByUser(1.0);
                    registry.AddLaneControl(a, p, onOffSwitch, l, kStepOnOff);
                }
            }

    for (int a = 0; a < kAreaCount; ++a)
        for (const auto& [firstRect, base] : {std::pair{kRectFirstSceneLength, kSceneStepLength},
                                              std::pair{kRectFirstScenePattern, kSceneStepPattern},
                                              std::pair{kRectFirstSceneRepeat, kSceneStepRepeat}})
            for (int k = 0; k < kSceneStepCount; ++k)
                registry.AddSceneControl(
                    a,
                    Append(graphics, new ICustomSwitchControl(graphics, skin_.At(firstRect + k),
                                                              SceneStep(base, a, k), f12w)),
                    base);
}

void Tobel::CreateBoxControls(IGraphics* graphics, std::unique_ptr<PatternView>& patternView)
{
    ControlRegistry& registry = *registry_;
    BitmapFont* f12 = fonts_[kFont12].get();
    BitmapFont* f12w = fonts_[kFont12White].get();
    BitmapFont* f12b = fonts_[kFont12Black].get();

    // The about image and the version text join the list at the end; the two about areas now.
    const IRectangle about = skin_.At(167);
    auto aboutImage = std::make_unique<IBitmapControl>(graphics, about.left, about.top, Image(graphics, 105));
    auto versionText = std::make_unique<ICustomTextControl>(graphics, skin_.At(21), f12b);
    char version[32] = {};
    GetEffectVersionText(version, static_cast<int>(sizeof(version)));
    versionText->ChangeText(version);
    for (IControl* control :
         {static_cast<IControl*>(aboutImage.get()), static_cast<IControl*>(versionText.get())})
    {
        control->Hide(true);
        control->SetTag(1, UIEventHandler::kTagAboutBox);
        control->AttachObserver(events_.get());
    }
    auto* aboutArea = Append(graphics, new ICustomInvisibleSwitchControl(graphics, skin_.At(20), -1));
    aboutArea->SetTag(1, UIEventHandler::kTagAboutBox);
    aboutArea->AttachObserver(events_.get());
    auto* aboutLink = Append(graphics, new ICustomInvisibleSwitchControl(graphics, skin_.At(165), -1));
    aboutLink->SetTag(1, UIEventHandler::kTagAboutLink);
    aboutLink->AttachObserver(events_.get());

    // Loop strip, keyboard and the chord-memory slot selector the keyboard observes.
    loopStrip_ = Append(
        graphics, new ILoopSelectionControl(this, skin_.At(124), Image(graphics, 141), Image(graphics, 142)));
    keyboard_ = Append(
        graphics, new IKeyboardControl(engine_->GetChordMemory(), this, skin_.At(127), Image(graphics, 144)));
    auto* slots =
        Append(graphics, new ICustomRadioButtonsControl(graphics, skin_.At(126), kChordMemorySelection,
                                                        ChordMemory::kSlotCount, Image(graphics, 138), f12w));
    slots->SetLabels(NumberLabels(ChordMemory::kSlotCount));
    slots->SetTag(1, IKeyboardControl::kSelectionTag);
    slots->AttachObserver(keyboard_);
    registry.AddGlobalControl(slots);
    chordSelector_ = slots;

    // The preset author text and the two preset boxes; the information and settings boxes join
    // the list at the end.
    authorLine_ = Append(graphics, new PostedTextControl(graphics, skin_.At(139), f12));
    presetBox_ =
        Append(graphics, new PresetHandler(presetHost_.get(), presetLoader_.get(), f12, skin_.At(138)));
    chordMemoryBox_ = Append(graphics, new ChordMemoryPresetHandler(presetHost_.get(), f12, skin_.At(145)));
    auto infoBox = std::make_unique<InfoControl>(this, skin_.At(157), f12w);
    auto settingsBox = std::make_unique<SettingsControl>(this, skin_.At(163), f12w);

    // The seven option switches, rows of the settings box.
    static constexpr const char* kOptionLabels[kOptionCount] = {
        "Enable MIDI note names", "Start notes immediately",    "Use only ORDER on/off",
        "Transpose as semitones", "Transpose all output notes", "Disable Control Zone",
        "Gate length in steps"};
    const IBitmapStrip button = Image(graphics, 111);
    for (int i = 0; i < kOptionCount; ++i)
    {
        auto* option =
            Append(graphics, new ICustomSwitchControl(graphics, skin_.At(26), kOptionSwitches[i], button));
        registry.AddGlobalControl(option);
        option->AttachObserver(this);
        settingsBox->AddOption(option, kOptionLabels[i]);
    }
    infoBox->Hide(true);
    settingsBox->Hide(true);

    // Last, painted after every other control and pressed first: the pattern view, the
    // information box, the settings box; then the preset menu is built; then the about image and
    // the version text.
    infoBox_ = infoBox.get();
    settingsBox_ = settingsBox.get();
    aboutImage_ = aboutImage.get();
    versionText_ = versionText.get();
    AppendHeld(graphics, patternView);
    AppendHeld(graphics, infoBox);
    AppendHeld(graphics, settingsBox);
    presetBox_->InitFolderMenu();
    AppendHeld(graphics, aboutImage);
    AppendHeld(graphics, versionText);
}
