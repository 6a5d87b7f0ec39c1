#include "engine/ActionDispatcher.h"

#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"

#include <algorithm>

namespace
{
constexpr int kLastPattern = 11;
constexpr int kPatternsPerArea = 12;
} // namespace

ActionDispatcher::ActionDispatcher(EngineHost& host) : host_(host) {}

void ActionDispatcher::Dispatch(int id, const ActionArgument& argument)
{
    if (sink_ == nullptr) return;
    KeyAreaList* areas = host_.GetKeyAreas();
    const int edited = areas != nullptr ? areas->GetSelectedForEditing() : 0;
    PatternEngine* area = areas != nullptr ? areas->GetArea(edited) : nullptr;
    switch (id)
    {
    case kNoteSounding:
        if (argument.note != nullptr) sink_->MarkNoteSounding(*argument.note);
        break;
    case kNotesReleased:
        if (argument.note != nullptr) sink_->MarkNoteReleased(*argument.note);
        break;
    case kClearMarkers:
        sink_->ClearNoteMarkers();
        break;
    case kShowCurrentPattern:
        if (area != nullptr) sink_->ShowAreaPattern(edited, area->GetStepper().GetCurrentPattern());
        break;
    case kResetChordMemorySelection:
        sink_->ResetChordMemorySelection();
        break;
    case kNextPreset:
        sink_->StepPreset(1);
        break;
    case kPreviousPreset:
        sink_->StepPreset(-1);
        break;
    case kShowPattern:
        // The control's range ends at the twelfth pattern.
        if (argument.value >= 0) sink_->ShowAreaPattern(edited, std::min(argument.value, kLastPattern));
        break;
    case kToggleLane:
        if (area != nullptr)
        {
            int pattern = sink_->PatternShownForEditing(edited);
            if (pattern < 0) pattern = area->GetStepper().GetCurrentPattern();
            if (area->GetStepper().ToggleLaneAllPatterns(pattern, argument.value))
                sink_->LaneToggled(edited, argument.value);
        }
        break;
    case kToggleHold:
        if (area != nullptr) sink_->SetHoldControl(edited, !area->GetHold());
        break;
    case kToggleHoldBypass:
        if (area != nullptr) sink_->SetHoldBypassControl(edited, !(area->GetHoldBypass() && area->GetHold()));
        break;
    case kPanic:
        sink_->Panic();
        break;
    case kShowProgram:
        if (argument.value >= 0 && argument.value < 4 * kPatternsPerArea)
            sink_->ShowAreaPattern(argument.value / kPatternsPerArea, argument.value % kPatternsPerArea);
        break;
    default:
        break;
    }
}
