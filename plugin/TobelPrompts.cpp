// Tobel: the edit menus of the step grid and its controls (the menu
// parameters 30473..30476). The chosen entry is the menu parameter's value;
// the control index names the control whose menu was opened.
#include "plugin/Tobel.h"

#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "plugin/ControlRegistry.h"
#include "views/ParameterIndex.h"

#include "views/PatternView.h"
#include "views/UIEventHandler.h"
#include <algorithm>
#include <cmath>

using quova::param::kLaneCount;
using quova::param::kPatternCount;
using quova::param::kStepCount;
using namespace quova::param;

namespace
{
constexpr int kControllerCount = 128;

// Switches the information line off while a menu pastes many values.
class QuietInformation
{
public:
    explicit QuietInformation(UIEventHandler* events) : events_(events)
    {
        if (events_ != nullptr)
        {
            was_ = events_->IsInformationEnabled();
            events_->SetInformationEnabled(false);
        }
    }
    ~QuietInformation()
    {
        if (events_ != nullptr) events_->SetInformationEnabled(was_);
    }
    QuietInformation(const QuietInformation&) = delete;
    QuietInformation& operator=(const QuietInformation&) = delete;

private:
    UIEventHandler* events_;
    bool was_ = true;
};
} // namespace

void Tobel::OnPromptedParameterChange(int controlIndex, int, int menuParameterIndex, int x, int y)
{
    IEffectLockGuard guard(plugLock_);
    const IParameter* menu = GetParameter(menuParameterIndex);
    if (menu == nullptr || !std::isfinite(menu->Value())) return;
    const int entry = static_cast<int>(menu->Value());
    switch (menuParameterIndex)
    {
    case kMidiLearnMenu:
        if (entry == 0)
        {
            ArmMidiLearn(controlIndex);
            return;
        }
        for (int controller = 0; controller < kControllerCount; ++controller)
            if (GetLearnMapping(controller) >= 0) SetLearnMapping(controller, -1);
        ArmMidiLearn(-1);
        return;
    case kStepMenu:
        HandleStepMenu(entry, x, y, controlIndex);
        return;
    case kAreaCopyMenu:
    {
        QuietInformation quiet(events_.get());
        HandleAreaMenu(entry);
        return;
    }
    case kPatternCopyMenu:
    {
        QuietInformation quiet(events_.get());
        HandlePatternMenu(entry);
        return;
    }
    default:
        return;
    }
}

int Tobel::StepAtPoint(int x, int y, int controlIndex) const
{
    IGraphics* graphics = GetGraphics();
    const IControl* control = graphics != nullptr ? graphics->GetControl(controlIndex) : nullptr;
    if (control == nullptr || registry_ == nullptr) return -1;
    // The step grid's menu: the column under the point where it was opened.
    if (control == patternView_) return patternView_->StepAtPoint(x, y);
    // A step cell's own menu: that cell's step.
    for (int step = 0; step < kStepCount; ++step)
        if (registry_->FindStepControl(GetEditedArea(), shownPattern_, shownLane_, step) == control)
            return step;
    return -1;
}

void Tobel::HandleStepMenu(int entry, int x, int y, int controlIndex)
{
    TakeViewSelection();
    const int area = GetEditedArea();
    if (entry == 0)
    {
        Area(area)->GetStepper().ToggleLaneAllPatterns(shownPattern_, shownLane_);
        return;
    }
    if (entry == 4)
    {
        ResetStepsInRange();
        return;
    }
    // The other entries need a step under the pointer.
    const int step = StepAtPoint(x, y, controlIndex);
    IControl* cell =
        step >= 0 && registry_ ? registry_->FindStepControl(area, shownPattern_, shownLane_, step) : nullptr;
    if (cell == nullptr) return;
    switch (entry)
    {
    case 1:
        ArmMidiLearn(cell->GetListIndex());
        break;
    case 2:
        for (int controller = 0; controller < kControllerCount; ++controller)
            if (GetLearnMapping(controller) == cell->GetListIndex()) SetLearnMapping(controller, -1);
        ArmMidiLearn(-1);
        break;
    case 3:
        if (selectionFirst_ >= 0 && selectionLast_ >= selectionFirst_)
            registry_->CopyStepToRange(area, shownPattern_, shownLane_, step, selectionFirst_,
                                       selectionLast_ + 1);
        else
            registry_->CopyStepToAll(area, shownPattern_, shownLane_, step);
        break;
    default:
        break;
    }
}

std::vector<Tobel::LoopRange> Tobel::CollectLoops(int area, int pattern)
{
    std::vector<LoopRange> loops;
    PatternStepper& stepper = Area(area)->GetStepper();
    for (int lane = 0; lane < kNoteLaneCount; ++lane)
    {
        const ControlLooper* looper = stepper.GetLaneLooper(pattern, lane);
        loops.push_back({looper->LoopStart(), looper->LoopEnd()});
    }
    return loops;
}

void Tobel::ApplyLoops(int area, int pattern, const std::vector<LoopRange>& loops, size_t offset)
{
    PatternStepper& stepper = Area(area)->GetStepper();
    for (int lane = 0; lane < kNoteLaneCount && offset + lane < loops.size(); ++lane)
    {
        const LoopRange& loop = loops[offset + lane];
        ControlLooper* looper = stepper.GetLaneLooper(pattern, lane);
        looper->SetLoopRange(loop.start, loop.end);
        looper->SetPosition(loop.start);
        looper->SetLength(loop.end - loop.start);
    }
}

void Tobel::HandleAreaMenu(int entry)
{
    if (registry_ == nullptr) return;
    const int area = GetEditedArea();
    auto collect = [&](PatternClipboard* clip)
    {
        clip->area = area;
        clip->pattern = -1;
        clip->values.SetSize(0, false);
        registry_->CollectAreaValues(area, &clip->values);
        clip->loops.clear();
        for (int p = 0; p < kPatternCount; ++p)
            for (const LoopRange& loop : CollectLoops(area, p))
                clip->loops.push_back(loop);
    };
    auto paste = [&](const PatternClipboard& clip, int target)
    {
        registry_->PasteAreaValues(target, clip.values);
        for (int p = 0; p < kPatternCount; ++p)
            ApplyLoops(target, p, clip.loops, static_cast<size_t>(p) * kNoteLaneCount);
    };
    switch (entry)
    {
    case 0:
        collect(&areaClipboard_);
        break;
    case 1:
        if (areaClipboard_.area >= 0 && areaClipboard_.area != area) paste(areaClipboard_, area);
        break;
    case 2:
    {
        PatternClipboard source;
        collect(&source);
        for (int other = 0; other < kAreaCount; ++other)
            if (other != area) paste(source, other);
        break;
    }
    case 3:
        SetParameterValue(kSendControllers + area,
                          GetParameterValue(kSendControllers + area) == 1.0 ? 0.0 : 1.0);
        ShowSendOnlyCcState(area);
        break;
    case 4:
        SetParameterValue(kTriggerChordMemory + area,
                          GetParameterValue(kTriggerChordMemory + area) == 1.0 ? 0.0 : 1.0);
        ShowTriggerChordMemoryState(area);
        break;
    default:
        break;
    }
}

void Tobel::HandlePatternMenu(int entry)
{
    if (registry_ == nullptr) return;
    const int area = GetEditedArea();
    const int pattern = shownPattern_;
    auto collect = [&](PatternClipboard* clip)
    {
        clip->area = area;
        clip->pattern = pattern;
        clip->values.SetSize(0, false);
        registry_->CollectPatternValues(area, pattern, &clip->values);
        clip->loops = CollectLoops(area, pattern);
    };
    switch (entry)
    {
    case 0:
        collect(&patternClipboard_);
        break;
    case 1:
        if (patternClipboard_.pattern >= 0 &&
            !(patternClipboard_.area == area && patternClipboard_.pattern == pattern))
        {
            registry_->PastePatternValues(area, pattern, patternClipboard_.values);
            ApplyLoops(area, pattern, patternClipboard_.loops, 0);
        }
        break;
    case 2:
    {
        PatternClipboard source;
        collect(&source);
        for (int other = 0; other < kPatternCount; ++other)
            if (other != pattern)
            {
                registry_->PastePatternValues(area, other, source.values);
                ApplyLoops(area, other, source.loops, 0);
            }
        break;
    }
    default:
        break;
    }
}
