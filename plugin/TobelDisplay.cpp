// Tobel: the display setters. The engine's actions and the views bring the
// editor's controls in line with the engine through these; each sets a control
// with IControl::SetValueByUser, so the parameter, the host and the change
// handler follow, or shows and hides controls through the control registry.
#include "plugin/Tobel.h"

#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "plugin/ControlRegistry.h"
#include "plugin/controls/PostedTextControl.h"
#include "views/ILoopSelectionControl.h"
#include "views/ParameterIndex.h"
#include "views/PatternView.h"

#include <algorithm>
#include <cmath>

using quova::param::kLaneCount;
using quova::param::kPatternCount;
using quova::param::kStepCount;
using namespace quova::param;

namespace
{
bool ValidArea(int area)
{
    return area >= 0 && area < kAreaCount;
}
bool ValidPattern(int pattern)
{
    return pattern >= 0 && pattern < kPatternCount;
}
bool ValidLane(int lane)
{
    return lane >= 0 && lane < kLaneCount;
}
// The parameter controls of the preset boxes and of each key area that are greyed out while a
// preset loads.
constexpr int kPresetButtons[] = {kBoxLeft, kBoxRight, kChordMemoryBoxLeft, kChordMemoryBoxRight};
constexpr int kPresetAreaKeys[] = {kMidiInChannel, kMidiOutChannel, kStartNote, kEndNote, kBaseNote};
} // namespace

bool Tobel::PostToEditor(void (*call)(void* plug, int a, int b), int a, int b)
{
    IGraphics* graphics = GetGraphics();
    if (graphics == nullptr || !graphics->MustPost()) return false;
    graphics->PostCall(call, this, a, b);
    return true;
}

int Tobel::GetEditedArea() const
{
    return engine_->GetKeyAreas()->GetSelectedForEditing();
}

void Tobel::ShowCurrentPattern(int pattern)
{
    ShowAreaCurrentPattern(GetEditedArea(), pattern);
}

void Tobel::ShowAreaCurrentPattern(int area, int pattern)
{
    IEffectLockGuard guard(plugLock_);
    if (!ValidArea(area) || pattern < 0 || registry_ == nullptr) return;
    // Values above the last pattern are limited to it by the control.
    if (IControl* control = registry_->FindAreaControl(area, kKeyAreaPatterns))
        control->SetValueByUser(pattern / static_cast<double>(kPatternCount - 1));
}

void Tobel::SetHoldSwitch(int area, bool on)
{
    IEffectLockGuard guard(plugLock_);
    if (IControl* control = ValidArea(area) && registry_ ? registry_->FindAreaControl(area, kHold) : nullptr)
        control->SetValueByUser(on ? 1.0 : 0.0);
}

void Tobel::SetHoldBypassSwitch(int area, bool on)
{
    IEffectLockGuard guard(plugLock_);
    if (IControl* control =
            ValidArea(area) && registry_ ? registry_->FindAreaControl(area, kHoldBypass) : nullptr)
        control->SetValueByUser(on ? 1.0 : 0.0);
}

void Tobel::ShowHoldSwitch()
{
    const int area = GetEditedArea();
    SetHoldSwitch(area, !Area(area)->GetHold());
}

void Tobel::ShowHoldBypassSwitch()
{
    const int area = GetEditedArea();
    const PatternEngine* engine = Area(area);
    SetHoldBypassSwitch(area, !(engine->GetHoldBypass() && engine->GetHold()));
}

void Tobel::SetOtherKeyAreasOnOff(int area, bool flag)
{
    IEffectLockGuard guard(plugLock_);
    if (registry_ == nullptr) return;
    for (int other = 0; other < kAreaCount; ++other)
        if (other != area)
            if (IControl* control = registry_->FindAreaControl(other, kKeyAreaOnOff))
                control->SetValueByUser(flag ? 0.0 : 1.0);
}

void Tobel::ShowSendOnlyCcState(int area)
{
    if (!ValidArea(area) || area != GetEditedArea()) return;
    ShowKeyAreaModeNotes(area);
    ShowStatusText(GetParameterValue(kSendControllers + area) == 1.0 ? "Sending only CC" : "");
}

void Tobel::ShowTriggerChordMemoryState(int area)
{
    if (!ValidArea(area) || area != GetEditedArea()) return;
    ShowKeyAreaModeNotes(area);
    ShowStatusText(GetParameterValue(kTriggerChordMemory + area) == 1.0 ? "Trigger CM" : "");
}

void Tobel::ShowKeyAreaModeNotes(int area)
{
    // Both notes lie on the MODE box, which has room for one line: with both modes on, the first
    // note names them together and the second stays empty, so the two never draw over each other.
    const bool onlyCc = GetParameterValue(kSendControllers + area) == 1.0;
    const bool triggerCm = GetParameterValue(kTriggerChordMemory + area) == 1.0;
    if (sendOnlyCcNote_ != nullptr)
        sendOnlyCcNote_->PostText(!onlyCc     ? ""
                                  : triggerCm ? "Sending only CC, Trigger CM"
                                              : "Sending only CC");
    if (triggerCmNote_ != nullptr) triggerCmNote_->PostText(triggerCm && !onlyCc ? "Trigger CM" : "");
}

void Tobel::ResetChordMemorySelection()
{
    IEffectLockGuard guard(plugLock_);
    if (IControl* control = registry_ ? registry_->FindGlobalControl(kChordMemorySelection) : nullptr)
        control->SetValueByUser(0.0);
    else
        SetParameterValue(kChordMemorySelection, 0.0);
    TellKeyboard();
}

void Tobel::ShowFreeRateKnob(int area, int pattern, bool flag)
{
    IEffectLockGuard guard(plugLock_);
    // Another pattern's knobs are set when that pattern is shown.
    if (registry_ == nullptr || area != GetEditedArea() || pattern != shownPattern_) return;
    if (IControl* rate = registry_->FindPatternControl(area, pattern, kRate)) rate->Hide(flag);
    if (IControl* freeRate = registry_->FindPatternControl(area, pattern, kRateFree)) freeRate->Hide(!flag);
}

void Tobel::SelectLane(int lane)
{
    IEffectLockGuard guard(plugLock_);
    if (!ValidLane(lane) || registry_ == nullptr) return;
    const int area = GetEditedArea();
    for (int l = 0; l < kLaneCount; ++l)
        registry_->SetLaneHidden(area, shownPattern_, l, true);
    registry_->SetLaneHidden(area, shownPattern_, lane, false);
    shownLane_ = lane;
    if (onlyOrderOnOff_ && lane >= 1 && lane < kNoteLaneCount)
    {
        // Only the ORDER lane's on/off switches act: they show over every note lane.
        registry_->SetLaneKeyHidden(area, shownPattern_, lane, true, kStepOnOff);
        registry_->SetLaneKeyHidden(area, shownPattern_, 0, false, kStepOnOff);
    }
    if (lane >= kNoteLaneCount)
    {
        // Set without the change handler: choosing there would store a new number.
        controllerTeachSlot_ = lane - kNoteLaneCount + 8 * area;
        const int number = GetControllerLaneNumber(controllerTeachSlot_);
        SetParameterQuietly(kControllerTeachSelection, number >= 0 ? number + 1 : 0);
    }
    SyncViews();
}

void Tobel::SelectKeyArea(int area)
{
    IEffectLockGuard guard(plugLock_);
    const int old = GetEditedArea();
    if (area == old || !ValidArea(area)) return;
    engine_->GetKeyAreas()->SelectForEditing(area);
    if (registry_ != nullptr) registry_->HideKeyArea(old);
    // The area's "Key Area Patterns" selector tells which pattern to show (exact for 0..11).
    const double normalised = GetParameter(kKeyAreaPatterns + area)->GetNormalizedValue();
    shownPattern_ = std::clamp(static_cast<int>(normalised * (kPatternCount - 1)), 0, kPatternCount - 1);
    ShowPatternControls(area, shownPattern_, true, shownLane_);
    ShowSendOnlyCcState(area);
    ShowTriggerChordMemoryState(area);
    SelectLane(shownLane_);
}

void Tobel::SelectEditedPattern(int pattern)
{
    IEffectLockGuard guard(plugLock_);
    if (!ValidPattern(pattern)) return;
    ShowEditedPattern(pattern);
    SelectLane(shownLane_);
}

void Tobel::ShowEditedPattern(int pattern)
{
    IEffectLockGuard guard(plugLock_);
    if (!ValidPattern(pattern)) return;
    const int area = GetEditedArea();
    ShowPatternControls(area, shownPattern_, false, -1);
    shownPattern_ = pattern;
    ShowPatternControls(area, pattern, true, shownLane_);
    SyncViews();
}

void Tobel::ShowPatternControls(int area, int pattern, bool show, int lane)
{
    IEffectLockGuard guard(plugLock_);
    if (!ValidArea(area) || !ValidPattern(pattern) || registry_ == nullptr) return;
    registry_->ShowPattern(area, pattern, show, ValidLane(lane) ? lane : -1);
    if (!show) return;
    const bool freeRate = GetParameterValue(PerPattern(kRateFreeToggle, area, pattern)) == 1.0;
    if (IControl* rate = registry_->FindPatternControl(area, pattern, kRate)) rate->Hide(freeRate);
    if (IControl* freeKnob = registry_->FindPatternControl(area, pattern, kRateFree))
        freeKnob->Hide(!freeRate);
}

void Tobel::UpdatePatternViewStep(int lane, int step)
{
    IEffectLockGuard guard(plugLock_);
    if (stepCellsDeferred_ || patternView_ == nullptr || !ValidLane(lane) || step < 0 || step >= kStepCount)
        return;
    // The cell shows the parameter as it is when the editor's thread takes the call.
    if (PostToEditor([](void* plug, int l, int s) { static_cast<Tobel*>(plug)->UpdatePatternViewStep(l, s); },
                     lane, step))
        return;
    const IParameter* parameter = GetParameter(StepValue(GetEditedArea(), shownPattern_, lane, step));
    if (parameter != nullptr)
        patternView_->SetStepDisplayValue(lane, step, parameter->GetMinimum(), parameter->GetMaximum(),
                                          parameter->Value());
    if (lane == shownLane_) BindLoopStrip();
}

void Tobel::SetEditTool(int tool)
{
    IEffectLockGuard guard(plugLock_);
    if (tool != 0 && tool != 1) return;
    editTool_ = tool;
    // Any change of the pointer mode drops the grid's selection, and with it the range the step
    // tools and the step menu take from it.
    SetStepSelection(-1, -1);
    if (patternView_ != nullptr &&
        !PostToEditor(
            [](void* plug, int t, int) { static_cast<Tobel*>(plug)->patternView_->SetPointerMode(t); }, tool))
        patternView_->SetPointerMode(tool);
    if (registry_ == nullptr) return;
    if (IControl* draw = registry_->FindGlobalControl(kDrawTool)) draw->SetValueByUser(tool == 0 ? 1.0 : 0.0);
    if (IControl* select = registry_->FindGlobalControl(kSelectionTool))
        select->SetValueByUser(tool == 1 ? 1.0 : 0.0);
}

void Tobel::ToggleAboutBox()
{
    aboutBoxShown_ = !aboutBoxShown_;
    for (IControl* control : {aboutImage_, versionText_})
        if (control != nullptr) control->Hide(!aboutBoxShown_);
}

void Tobel::ShowStatusText(const std::string& text)
{
    IEffectLockGuard guard(plugLock_);
    if (!processingStarted_) return;
    statusText_ = text;
    // Any thread may get here (engine actions, the preset loader): the line takes the text at
    // the editor's next tick.
    if (statusLine_ != nullptr) statusLine_->PostText(text);
}

void Tobel::GrayOutPresetControls(bool flag)
{
    IEffectLockGuard guard(plugLock_);
    if (registry_ == nullptr) return;
    for (int index : kPresetButtons)
        if (IControl* control = registry_->FindGlobalControl(index)) control->SetGreyed(flag);
    for (int area = 0; area < kAreaCount; ++area)
        for (int key : kPresetAreaKeys)
            if (IControl* control = registry_->FindAreaControl(area, key)) control->SetGreyed(flag);
}
