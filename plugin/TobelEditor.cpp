// Tobel: the editor's resources and the plug-in's side of the views and the preset boxes: the
// bitmap fonts, the option switches' observer, the step controls and edit queries the pattern
// view asks for, the note markers and preset stepping of the engine's actions, the preset
// information, and the box that takes every mouse press while it is open. The layout itself is
// TobelEditorLayout.cpp.
#include "plugin/Tobel.h"

#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "gui/BitmapFont.h"
#include "gui/IGraphics.h"
#include "plugin/ControlRegistry.h"
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

using namespace quova::param;

namespace
{
// The font descriptions and their glyph images, in the order of Tobel::FontId.
struct FontResource
{
    int descriptionId;
    const char* descriptionName;
    int imageId;
    const char* imageName;
};
constexpr FontResource kFontResources[Tobel::kFontCount] = {
    {114, "resources/fonts/Calibri_12px.fnt", 113, "resources/fonts/Calibri_12px.png"},
    {140, "resources/fonts/Calibri_10px.fnt", 139, "resources/fonts/Calibri_10px.png"},
    {120, "resources/fonts/Calibri_12px_white.fnt", 119, "resources/fonts/Calibri_12px_white.png"},
    {116, "resources/fonts/Calibri_14px.fnt", 115, "resources/fonts/Calibri_14px.png"},
    {150, "resources/fonts/Calibri_12px_black.fnt", 149, "resources/fonts/Calibri_12px_black.png"},
};

// The page the about box's link opens.
constexpr const char* kAboutLinkAddress = "https://www.example.com/quova";
} // namespace

void Tobel::LoadFonts(IGraphics* graphics)
{
    for (int i = 0; i < kFontCount; ++i)
    {
        const FontResource& r = kFontResources[i];
        fontImages_[static_cast<size_t>(i)] = graphics->LoadBitmapResource(r.imageId, r.imageName, 1);
        fonts_[static_cast<size_t>(i)] =
            std::make_unique<BitmapFont>(&fontImages_[static_cast<size_t>(i)],
                                         graphics->LoadTextResource(r.descriptionId, r.descriptionName));
    }
}

BitmapFont* Tobel::GetFont(int id) const
{
    return id >= 0 && id < kFontCount ? fonts_[static_cast<size_t>(id)].get() : nullptr;
}

// ---- the option switches ------------------------------------------------------------------------

void Tobel::OnSubjectChanged(ISubject* subject)
{
    const auto* control = dynamic_cast<const IControl*>(subject);
    if (control == nullptr) return;
    for (int option = 0; option < kOptionCount; ++option)
        if (control->GetParameterIndex() == kOptionSwitches[option])
        {
            // On only at exactly 1.0, as everywhere else options are read.
            const bool on = control->GetValue() == 1.0;
            // A switch that only shows the option it already holds changes nothing (no file write).
            if (settings_.Get(option) != on) SetGlobalOption(option, on ? 1.0 : 0.0);
            return;
        }
}

// ---- the pattern view's host --------------------------------------------------------------------

IControl* Tobel::FindStepControl(int area, int pattern, int lane, int step) const
{
    return registry_ != nullptr ? registry_->FindStepControl(area, pattern, lane, step) : nullptr;
}

bool Tobel::LaneHasEdits(int area, int pattern, int lane) const
{
    if (area < 0 || area >= kAreaCount || pattern < 0 || pattern >= kPatternCount || lane < 0 ||
        lane >= kLaneCount)
        return false;
    for (int t = 0; t < kStepCount; ++t)
    {
        const IParameter* parameter = GetParameter(StepValue(area, pattern, lane, t));
        if (parameter != nullptr && parameter->Value() != parameter->GetDefault()) return true;
    }
    return false;
}

bool Tobel::PatternHasEdits(int area, int pattern) const
{
    for (int lane = 0; lane < kNoteLaneCount; ++lane)
        if (LaneHasEdits(area, pattern, lane)) return true;
    return false;
}

// ---- engine actions -----------------------------------------------------------------------------

void Tobel::MarkNoteSounding(const OutputNote& note)
{
    if (patternView_ != nullptr) patternView_->MarkNoteSounding(note);
}

void Tobel::MarkNoteReleased(const OutputNote& note)
{
    if (patternView_ != nullptr) patternView_->MarkNotesReleased(note);
}

void Tobel::ClearNoteMarkers()
{
    if (patternView_ != nullptr) patternView_->ClearNoteMarkers();
}

void Tobel::StepPreset(int direction)
{
    if (presetBox_ == nullptr) return;
    if (direction > 0)
        presetBox_->LoadNextPreset();
    else if (direction < 0)
        presetBox_->LoadPreviousPreset();
}

// ---- views --------------------------------------------------------------------------------------

void Tobel::OpenAboutLink()
{
    if (IGraphics* graphics = GetGraphics())
        graphics->OpenWebLink(kAboutLinkAddress, nullptr, nullptr, nullptr);
}

void Tobel::StepBox(int box, bool forward)
{
    if (box == 0 && presetBox_ != nullptr)
        forward ? presetBox_->StepToNextItem() : presetBox_->StepToPreviousItem();
    else if (box == 1 && chordMemoryBox_ != nullptr)
        forward ? chordMemoryBox_->StepToNextItem() : chordMemoryBox_->StepToPreviousItem();
}

void Tobel::ShowPresetInfoBox()
{
    if (infoBox_ != nullptr)
        infoBox_->ShowPresetInfo(presetInfo_.name, presetInfo_.author, presetInfo_.description,
                                 presetInfo_.usage);
}

void Tobel::ShowScenesOn(int area, bool on)
{
    if (PostToEditor([](void* plug, int a, int o) { static_cast<Tobel*>(plug)->ShowScenesOn(a, o != 0); },
                     area, on ? 1 : 0))
        return;
    if (sceneView_ != nullptr && area == GetEditedArea()) sceneView_->SetScenesOn(on);
}

void Tobel::ShowGateInSteps(bool on)
{
    if (PostToEditor([](void* plug, int o, int) { static_cast<Tobel*>(plug)->ShowGateInSteps(o != 0); },
                     on ? 1 : 0))
        return;
    IEffectLockGuard guard(plugLock_);
    if (patternView_ == nullptr) return;
    patternView_->SetGateInSteps(on);
    // A column works out its gate steps when it is given its value.
    constexpr int kGateLane = 3;
    if (shownLane_ == kGateLane)
        for (int step = 0; step < kStepCount; ++step)
            UpdatePatternViewStep(kGateLane, step);
}

void Tobel::TellKeyboard()
{
    if (PostToEditor([](void* plug, int, int) { static_cast<Tobel*>(plug)->TellKeyboard(); })) return;
    if (keyboard_ != nullptr && chordSelector_ != nullptr) keyboard_->OnSubjectChanged(chordSelector_);
}

void Tobel::OnChordMemorySetLoaded()
{
    ResetChordMemorySelection();
}

void Tobel::RedrawPatternView()
{
    // Only flags: the worker thread may call this.
    if (patternView_ != nullptr) patternView_->RequestRedraw();
}

void Tobel::SyncViews()
{
    // The views follow the plug-in's state as it is when the editor's thread takes the call.
    if (PostToEditor([](void* plug, int, int) { static_cast<Tobel*>(plug)->SyncViews(); })) return;
    const int area = GetEditedArea();
    if (patternView_ != nullptr)
    {
        // Changing the area clears the note markers; the same area keeps them.
        if (patternView_->GetKeyArea() != area) patternView_->SetKeyArea(area);
        patternView_->SetPattern(shownPattern_);
        patternView_->SetLane(shownLane_);
    }
    if (sceneView_ != nullptr)
    {
        sceneView_->SetKeyArea(area);
        sceneView_->SetScenesOn(GetParameterValue(kSceneOnOff + area) == 1.0);
    }
    BindLoopStrip();
    for (int t = 0; t < kStepCount; ++t)
        UpdatePatternViewStep(shownLane_, t);
}

void Tobel::BindLoopStrip()
{
    if (loopStrip_ == nullptr) return;
    loopStrip_->Invalidate(); // also empties the list of other loopers
    loopStrip_->AttachLooper(GetEditedLaneLooper(shownLane_));
    for (int lane = 0; lane < kLaneCount; ++lane)
        if (lane != shownLane_) loopStrip_->AddOtherLooper(GetEditedLaneLooper(lane));
}

bool Tobel::IsSettingsBoxShown() const
{
    return settingsBox_ != nullptr ? !settingsBox_->IsHidden() : settingsBoxShown_;
}

int Tobel::GetMouseCaptureControl(int, int, const IMouseModifiers&)
{
    for (IControl* box :
         {static_cast<IControl*>(infoBox_), static_cast<IControl*>(settingsBox_), aboutImage_})
        if (box != nullptr && !box->IsHidden()) return box->GetListIndex();
    return -1;
}

// ---- preset information -------------------------------------------------------------------------

void Tobel::SetPresetTexts(const PresetInfo& info)
{
    IEffectLockGuard guard(plugLock_);
    presetInfo_ = info;
    authorText_ = info.author;
    if (authorLine_ != nullptr) authorLine_->PostText(authorText_);
}

std::string Tobel::GetChordMemoryBoxName() const
{
    return chordMemoryBox_ != nullptr ? chordMemoryBox_->GetShownText() : chordMemoryBoxName_;
}

std::string Tobel::GetPresetBoxName() const
{
    return presetBox_ != nullptr ? presetBox_->GetShownText() : presetBoxName_;
}

void Tobel::ShowPresetBoxName(const std::string& text)
{
    presetBoxName_ = text;
    if (presetBox_ != nullptr) presetBox_->ChangeText(text);
}

void Tobel::ApplyEmptyPresetState()
{
    IEffectLockGuard guard(plugLock_);
    const std::string shownName = GetPresetBoxName();
    const bool loading = stateLoading_;
    stateLoading_ = true;
    ResetToInitialState(true);
    stateLoading_ = loading;
    ShowPresetBoxName(shownName);
}

void Tobel::SetChordMemoryBoxName(const std::string& name)
{
    chordMemoryBoxName_ = name;
    // ChangeText, not SetShownName: an empty name is shown too (it replaces the previous one).
    if (chordMemoryBox_ != nullptr) chordMemoryBox_->ChangeText(name);
}
