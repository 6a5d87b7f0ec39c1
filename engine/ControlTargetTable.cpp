#include "engine/ControlTargetTable.h"

#include "engine/ActionDispatcher.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"

namespace
{
constexpr int kLaneTargets = 9; // ids 1..9
constexpr int kPreviousPreset = 10;
constexpr int kNextPreset = 11;
constexpr int kHold = ControlTargetTable::kHoldTarget;
constexpr int kHoldBypass = ControlTargetTable::kHoldBypassTarget;
constexpr int kPanic = 14;
constexpr int kFirstPattern = 15;
constexpr int kLastPattern = 30;
constexpr int kProgramCount = 48;
constexpr int kPatternsPerArea = 12;

const char* const kLaneWords[kLaneTargets] = {"order",     "chordmemory", "length", "gate", "accent",
                                              "transpose", "div",         "shift",  "seq"};
} // namespace

ControlTargetTable::ControlTargetTable(EngineHost& host) : host_(host)
{
    // Keys 12..23: the lanes, previous and next preset, hold; keys 24..35:
    // patterns 1..12.
    for (int i = 0; i < 12; ++i)
        actions_[static_cast<size_t>(i)] = i + 1;
    for (int i = 12; i < kKeyCount; ++i)
        actions_[static_cast<size_t>(i)] = kFirstPattern + i - 12;
}

void ControlTargetTable::SetActions(const std::vector<int>& ids)
{
    for (int i = 0; i < kKeyCount; ++i)
        actions_[static_cast<size_t>(i)] = i < static_cast<int>(ids.size()) ? ids[static_cast<size_t>(i)] : 0;
}

int ControlTargetTable::GetActionId(int key) const
{
    const int i = key - firstActionKey_;
    return i >= 0 && i < kKeyCount ? actions_[static_cast<size_t>(i)] : 0;
}

std::string ControlTargetTable::GetTargetName(int id)
{
    if (id >= 1 && id <= kLaneTargets) return kLaneWords[id - 1];
    switch (id)
    {
    case kHold:
        return "hold";
    case kHoldBypass:
        return "holdbypass";
    case kPanic:
        return "panic";
    default:
        break;
    }
    if (id >= kFirstPattern && id <= kLastPattern) return "pattern" + std::to_string(id - kFirstPattern + 1);
    return {};
}

std::string ControlTargetTable::GetActionName(int key) const
{
    if (key < firstActionKey_ || key >= firstActionKey_ + kKeyCount) return {};
    return GetTargetName(GetActionId(key));
}

int ControlTargetTable::TargetIdForWord(const std::string& word)
{
    if (word == "previouspreset") return kPreviousPreset;
    if (word == "nextpreset") return kNextPreset;
    // The SHIFT lane's word is not part of the file's vocabulary.
    for (int id = 1; id <= kLastPattern; ++id)
        if (id != 8 && GetTargetName(id) == word) return id;
    return 0;
}

void ControlTargetTable::HandleKey(int note)
{
    ActionDispatcher* dispatcher = host_.GetDispatcher();
    if (dispatcher == nullptr || note < firstActionKey_ || note > topKey_) return;
    const int id = GetActionId(note);
    ActionArgument argument;
    if (id >= 1 && id <= kLaneTargets)
    {
        argument.value = id - 1;
        dispatcher->Dispatch(ActionDispatcher::kToggleLane, argument);
    }
    else if (id == kPreviousPreset)
        dispatcher->Dispatch(ActionDispatcher::kPreviousPreset);
    else if (id == kNextPreset)
        dispatcher->Dispatch(ActionDispatcher::kNextPreset);
    else if (id == kHold)
        dispatcher->Dispatch(ActionDispatcher::kToggleHold);
    else if (id == kHoldBypass)
        dispatcher->Dispatch(ActionDispatcher::kToggleHoldBypass);
    else if (id == kPanic)
        dispatcher->Dispatch(ActionDispatcher::kPanic);
    else if (id >= kFirstPattern && id <= kLastPattern)
    {
        argument.value = id - kFirstPattern;
        dispatcher->Dispatch(ActionDispatcher::kShowPattern, argument);
    }
}

void ControlTargetTable::HandleProgramChange(int program)
{
    if (program < 0 || program >= kProgramCount) return;
    KeyAreaList* areas = host_.GetKeyAreas();
    PatternEngine* area = areas != nullptr ? areas->GetArea(program / kPatternsPerArea) : nullptr;
    if (area == nullptr) return;
    const int pattern = program % kPatternsPerArea;
    const int point = syncSteps_ >= 1 ? syncSteps_ : area->GetStepper().GetCurrentPatternLength();
    const bool queued = area->ChangePatternAt(pattern, point);
    ActionDispatcher* dispatcher = host_.GetDispatcher();
    if (dispatcher == nullptr) return;
    ActionArgument argument;
    if (program / kPatternsPerArea == areas->GetSelectedForEditing() && !queued)
    {
        argument.value = pattern;
        dispatcher->Dispatch(ActionDispatcher::kShowPattern, argument);
    }
    else
    {
        argument.value = program;
        dispatcher->Dispatch(ActionDispatcher::kShowProgram, argument);
    }
}
