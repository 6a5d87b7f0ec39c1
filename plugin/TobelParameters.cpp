// Tobel: the parameter-change handler. Editor buttons and selectors act here
// (chord memory, copy and paste tools, presets, panic, locks, control-zone
// sync, editor size, settings box); every other change goes on to the
// UIEventHandler, which applies it to the engine and writes the information
// line. Also the controls the parameter road acts through, and the queries.
#include "plugin/Tobel.h"

#include "engine/ChordMemory.h"
#include "engine/ControlTargetTable.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "gui/IGraphics.h"
#include "plugin/ControlRegistry.h"
#include "plugin/ParameterTable.h"
#include "plugin/TobelViewHost.h"
#include "presets/ChordMemoryPresetHandler.h"
#include "presets/PresetHandler.h"
#include "views/InfoControl.h"
#include "views/ParameterIndex.h"
#include "views/PatternView.h"
#include "views/SettingsControl.h"
#include "views/UIEventHandler.h"

#include <algorithm>
#include <cmath>

using quova::param::kLaneCount;
using quova::param::kPatternCount;
using quova::param::kStepCount;
using namespace quova::param;

namespace
{
// A button counts as pressed at exactly 1.0 (button parameters are 0 or 1).
bool Pressed(double value)
{
    return value == 1.0;
}

// Area-level controls in filing order with their push flag.
struct AreaKey
{
    int key;
    bool push;
};
constexpr AreaKey kAreaKeys[] = {
    {kKeyAreaOnOff, false},  {kArpOnNoteCount, true},  {kHoldSync, true},        {kHold, true},
    {kHoldTranspose, true},  {kHoldBypass, true},      {kSceneOnOff, true},      {kNoteRelease, true},
    {kVelocityMode, true},   {kStartNote, false},      {kEndNote, false},        {kBaseNote, false},
    {kMidiInChannel, false}, {kMidiOutChannel, false}, {kKeyAreaPatterns, false}};
// The lock buttons and the per-pattern parameters each keeps out of preset loads.
constexpr int kLockedKeys[kLockCount] = {kPatternGate, kSwing, kOctaves, kTranspose, kRate};

constexpr int kCompactEditorHeight = 432;
} // namespace

// ---- the controls ---------------------------------------------------------------------------------

IControl* Tobel::FindParameterControl(int index) const
{
    if (registry_ == nullptr) return nullptr;
    for (const AreaKey& k : kAreaKeys)
        if (index >= k.key && index < k.key + kAreaCount)
            return registry_->FindAreaControl(index - k.key, k.key);
    if (index >= kVolume && index < kVolume + kAreaCount)
        return registry_->FindAreaControl(index - kVolume, kVolume);
    for (int key : {kRate, kRateFree, kRateFreeToggle, kSortOrder, kResetOnNewNote, kPatternSteps, kTranspose,
                    kOctaves, kPatternGate, kSwing})
        if (index >= key && index < key + kSlotCount)
            return registry_->FindPatternControl((index - key) / kPatternCount, (index - key) % kPatternCount,
                                                 key);
    return registry_->FindGlobalControl(index);
}

void Tobel::SetParameterQuietly(int index, double value)
{
    IParameter* parameter = GetParameter(index);
    if (parameter == nullptr) return;
    parameter->SetLimitedValue(value);
    if (IControl* control = FindParameterControl(index))
        control->ReceiveValue(parameter->GetNormalizedValue());
    else if (editor_ != nullptr)
        editor_->UpdateParameterControls(index, parameter->GetNormalizedValue(), true);
}

// ---- the handler ------------------------------------------------------------------------------------

void Tobel::OnParameterChanged(int parameterIndex)
{
    IEffectLockGuard guard(plugLock_);
    const IParameter* parameter = GetParameter(parameterIndex);
    if (parameter != nullptr) ApplyParameter(parameterIndex, parameter->Value());
}

void Tobel::ApplyParameter(int index, double value)
{
    IEffectLockGuard guard(plugLock_);
    if (GetParameter(index) == nullptr || !std::isfinite(value)) return;
    if (index >= kSceneEnd && index < kSceneEnd + kAreaCount)
        SetEngineSceneEnd(index - kSceneEnd, std::clamp(static_cast<int>(value), 0, kSceneStepCount - 1));
    if (ApplyEditorButton(index, value) || events_ == nullptr) return;
    // A state being read does not flood the information line.
    const bool information = events_->IsInformationEnabled();
    if (stateLoading_) events_->SetInformationEnabled(false);
    events_->OnParameterChanged(index, value);
    events_->SetInformationEnabled(information);
}

void Tobel::TakeViewSelection()
{
    // A range the user selected in the step grid is the selection the step tools act on.
    if (patternView_ == nullptr || patternView_->GetPointerMode() != PatternView::kPointerModeRange) return;
    const int first = patternView_->GetSelectionStart();
    const int last = patternView_->GetSelectionEnd();
    if (first >= 0 && last >= first) SetStepSelection(first, last);
}

// Returns true when the change is not passed on to the UIEventHandler.
bool Tobel::IsSavedEdit(int parameterIndex) const
{
    switch (parameterIndex)
    {
    case kCopyTool:
    case kPanicTool:
    case kBoxInfo:
    case kBoxSettings:
    case kChordMemoryCopy:
        return false;
    default:
        return true;
    }
}

bool Tobel::ApplyEditorButton(int index, double value)
{
    if (index >= kRandomize && index <= kClearTool) TakeViewSelection();
    ChordMemory& chords = *engine_->GetChordMemory();
    // A state being read presses no button: a saved 1.0 there is no press.
    const bool pressed = Pressed(value) && !(stateLoading_ && quova::IsMomentaryButton(index));
    switch (index)
    {
    case kGlobalVolume:
        // The volume is read from its parameter by SendEvents.
        return false;
    case kChordMemorySelection:
        // The keyboard edits the slot the selector shows; the engine's slot follows here too, so
        // the chord-memory tools act on it whether or not the editor is open.
        chords.SetCurrentSlot(std::clamp(static_cast<int>(value), 0, ChordMemory::kSlotCount - 1));
        ShowStatusText("Chord memory slot : " + std::to_string(static_cast<int>(value) + 1));
        return true;
    case kRandomize:
        if (pressed) RandomizeSteps();
        return false;
    case kCopyTool:
        if (pressed) CopySteps();
        return false;
    case kPasteTool:
        if (pressed) PasteSteps();
        return false;
    case kClearTool:
        if (pressed) ResetStepsInRange();
        return false;
    case kPanicTool:
        if (pressed) RequestPanic();
        return false;
    case kChordSelection:
        ShowStatusText("Apply chord: " + GetParameterDisplayText(index, value));
        return false;
    case kChordMemoryCopy:
        if (pressed)
        {
            chords.CopyCurrentSlot();
            TellKeyboard();
        }
        return false;
    case kChordMemoryPaste:
        if (pressed)
        {
            chords.PasteIntoCurrentSlot();
            TellKeyboard();
        }
        return false;
    case kChordMemoryClear:
        if (pressed)
        {
            chords.ClearCurrentSlot();
            TellKeyboard();
        }
        return false;
    case kChordMemoryApply:
        if (pressed)
        {
            chords.ApplyChordToCurrentSlot(static_cast<int>(GetParameterValue(kChordSelection)));
            TellKeyboard();
        }
        return false;
    case kChordMemoryInvertRight:
    case kChordMemoryInvertLeft:
        if (pressed)
        {
            chords.InvertCurrentSlot(index == kChordMemoryInvertRight);
            TellKeyboard();
        }
        return false;
    case kBoxLeft:
    case kBoxRight:
    case kChordMemoryBoxLeft:
    case kChordMemoryBoxRight:
    {
        // A box's menu lock is held while its menu is open on the editor's thread, whose modal run
        // takes this lock: a press from another thread (a host, a learned controller) waits for
        // the editor's thread instead of for the menu.
        const int box = index == kBoxLeft || index == kBoxRight ? 0 : 1;
        const int forward = index == kBoxRight || index == kChordMemoryBoxRight ? 1 : 0;
        if (pressed &&
            !PostToEditor([](void* plug, int b, int f) { static_cast<Tobel*>(plug)->StepBox(b, f != 0); },
                          box, forward))
            StepBox(box, forward != 0);
        return false;
    }
    case kBoxInfo:
        if (pressed && infoBox_ != nullptr &&
            !PostToEditor([](void* plug, int, int) { static_cast<Tobel*>(plug)->ShowPresetInfoBox(); }))
            ShowPresetInfoBox();
        return false;
    case kControlZoneSync:
        SetControlZoneSync(value);
        return false;
    case kResize:
        ResizeEditor(value);
        return true;
    case kBoxSettings:
        if (pressed)
        {
            // The box also closes itself (a press beside its switches), so its own flag counts.
            const bool shown = settingsBox_ != nullptr ? !settingsBox_->IsHidden() : settingsBoxShown_;
            settingsBoxShown_ = !shown;
            if (settingsBox_ != nullptr) settingsBox_->Hide(!settingsBoxShown_);
        }
        return false;
    default:
        break;
    }
    if (index >= kLockGate && index < kLockGate + kLockCount)
    {
        LockPatternControls(kLockedKeys[index - kLockGate], pressed);
        return false;
    }
    // The settings box's observer handles the option switches.
    return index == kOptionSwitches[0] || index == kOptionSwitches[1] || index == kOptionSwitches[2];
}

void Tobel::SetControlZoneSync(double value)
{
    const int steps = value > 0.0 ? 1 << (static_cast<int>(value) + 1) : 0;
    engine_->GetControlTargetTable()->SetSyncSteps(steps);
    ShowStatusText(std::string("Control zone sync : ") +
                   (value == 0.0 ? " Next" : std::to_string(steps) + " Steps"));
}

void Tobel::ResizeEditor(double value)
{
    // A state (a preset, a host's chunk) carries the switch of the size it was saved at; the editor
    // keeps its own size while it loads, and the switch shows that size again, so that its next
    // press resizes.
    if (stateLoading_)
    {
        SetParameterQuietly(kResize, editorCompact_ ? 1.0 : 0.0);
        return;
    }
    IGraphics* graphics = GetGraphics();
    if (graphics == nullptr || (value != 0.0 && value != 1.0)) return;
    // A learned controller moves the switch on the audio thread: the window and the drawing bitmap
    // are remade on the editor's thread.
    if (PostToEditor([](void* plug, int on, int) { static_cast<Tobel*>(plug)->ResizeEditor(on); },
                     value == 1.0 ? 1 : 0))
        return;
    if (value == 1.0)
        editorCompact_ = !editorCompact_;
    else if (value == 0.0 && editorCompact_)
        editorCompact_ = false;
    else
        return;
    graphics->SetEditorSize(graphics->Width(), editorCompact_ ? kCompactEditorHeight : kEditorHeight);
}

void Tobel::LockPatternControls(int key, bool lock)
{
    // A locked kind of pattern setting keeps its values when a preset is loaded.
    if (registry_ == nullptr) return;
    for (int a = 0; a < kAreaCount; ++a)
        for (int p = 0; p < kPatternCount; ++p)
            registry_->SetPatternKeyKeptOut(a, p, key, lock);
}

// ---- step tools ---------------------------------------------------------------------------------------

void Tobel::SelectedRange(int* first, int* last) const
{
    if (selectionFirst_ >= 0 && selectionLast_ >= selectionFirst_)
    {
        *first = selectionFirst_;
        *last = std::min(selectionLast_, kStepCount - 1);
        return;
    }
    *first = 0;
    *last = kStepCount - 1;
}

void Tobel::RandomizeSteps()
{
    if (registry_ == nullptr) return;
    int first = 0;
    int last = 0;
    SelectedRange(&first, &last);
    const int area = GetEditedArea();
    for (int step = first; step <= last; ++step)
    {
        IControl* cell = registry_->FindStepControl(area, shownPattern_, shownLane_, step);
        const IParameter* parameter = cell != nullptr ? cell->GetParameter() : nullptr;
        if (parameter == nullptr) continue;
        const int range = static_cast<int>(parameter->GetMaximum() - parameter->GetMinimum());
        if (range <= 0) continue;
        cell->SetValueByUser(static_cast<double>(stepRandom_() % (range + 1)) / range);
    }
}

void Tobel::CopySteps()
{
    if (registry_ == nullptr) return;
    StepClipboard& clip = stepClipboard_;
    clip.area = GetEditedArea();
    clip.pattern = shownPattern_;
    clip.lane = shownLane_;
    const bool range = selectionFirst_ >= 0 && selectionLast_ >= selectionFirst_;
    clip.first = range ? selectionFirst_ : -1;
    clip.last = range ? std::min(selectionLast_, kStepCount - 1) : -1;
    clip.values.SetSize(0, false);
    registry_->CollectStepRange(clip.area, clip.pattern, clip.lane, &clip.values, range ? clip.first : 0,
                                range ? clip.last : kStepCount - 1);
}

void Tobel::PasteSteps()
{
    StepClipboard& clip = stepClipboard_;
    if (registry_ == nullptr || clip.lane < 0) return;
    const int count = clip.values.Size() / static_cast<int>(sizeof(double));
    int start = 0;
    if (clip.first >= 0) start = editTool_ == 1 && selectionFirst_ >= 0 ? selectionFirst_ : clip.first;
    registry_->PasteStepRange(GetEditedArea(), shownPattern_, shownLane_, clip.values, start,
                              std::min(start + count - 1, kStepCount - 1));
}

void Tobel::ResetStepsInRange()
{
    if (registry_ == nullptr) return;
    int first = 0;
    int last = kStepCount - 1;
    if (editTool_ == 1) SelectedRange(&first, &last);
    const int area = GetEditedArea();
    for (int step = first; step <= last; ++step)
    {
        IControl* cell = registry_->FindStepControl(area, shownPattern_, shownLane_, step);
        const IParameter* parameter = cell != nullptr ? cell->GetParameter() : nullptr;
        if (parameter == nullptr) continue;
        // Value 0 in the lane's units (limited to the lane's range by the control).
        cell->SetValueByUser(parameter->Normalize(0.0));
    }
}

void Tobel::SetStepSelection(int first, int last)
{
    IEffectLockGuard guard(plugLock_);
    const bool valid = first >= 0 && first < kStepCount && last >= first;
    selectionFirst_ = valid ? first : -1;
    selectionLast_ = valid ? std::min(last, kStepCount - 1) : -1;
}

// ---- queries --------------------------------------------------------------------------------------------

double Tobel::GetParameterValue(int index) const
{
    const IParameter* parameter = GetParameter(index);
    return parameter != nullptr ? parameter->Value() : 0.0;
}

std::string Tobel::GetParameterDisplayText(int index, double value) const
{
    const IParameter* parameter = GetParameter(index);
    if (parameter == nullptr || parameter->CountValueTexts() == 0 || !std::isfinite(value))
        return std::string();
    return parameter->GetValueText(static_cast<int>(value));
}

ControlLooper* Tobel::GetEditedLaneLooper(int lane)
{
    PatternEngine* area = Area(GetEditedArea());
    return area != nullptr ? area->GetStepper().GetLaneLooper(shownPattern_, lane) : nullptr;
}

bool Tobel::LaneHasEdits(int lane) const
{
    return LaneHasEdits(GetEditedArea(), shownPattern_, lane);
}

bool Tobel::PatternHasEdits(int pattern) const
{
    return PatternHasEdits(GetEditedArea(), pattern);
}
