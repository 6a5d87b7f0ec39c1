#include "engine/KeyAreaList.h"

#include "engine/PatternEngine.h"

#include <algorithm>

KeyAreaList::KeyAreaList(TransportState& transport, EngineHost& host)
{
    for (int i = 0; i < kAreaCount; ++i)
        areas_[static_cast<size_t>(i)] = std::make_unique<PatternEngine>(i, transport, host);
    areas_[0]->SetSelectedForEditing(true);
}

KeyAreaList::~KeyAreaList() = default;

PatternEngine* KeyAreaList::GetArea(int index) const
{
    return index >= 0 && index < kAreaCount ? areas_[static_cast<size_t>(index)].get() : nullptr;
}

bool KeyAreaList::SelectForEditing(int index)
{
    if (index < 0 || index >= kAreaCount) return false;
    for (auto& area : areas_)
        area->SetSelectedForEditing(false);
    areas_[static_cast<size_t>(index)]->SetSelectedForEditing(true);
    selected_ = index;
    return true;
}

void KeyAreaList::ProcessBlock(double position, double length, double samplesPerBeat, double offset)
{
    const bool known = quietOffset_ == offset;
    quietOffset_ = -1.0;
    for (size_t a = 0; a < areas_.size(); ++a)
    {
        PatternEngine& area = *areas_[a];
        if (area.IsEnabled() && !(known && quiet_[a] >= length))
            area.ProcessBlock(position, length, samplesPerBeat, offset);
    }
}

int KeyAreaList::QuietFrames(double offset, int length, double samplesPerBeat)
{
    int quiet = length;
    for (size_t a = 0; a < areas_.size(); ++a)
    {
        quiet_[a] = 0;
        if (areas_[a]->IsEnabled())
        {
            quiet_[a] = areas_[a]->QuietFrames(offset, length, samplesPerBeat);
            quiet = std::min(quiet, quiet_[a]);
        }
    }
    quietOffset_ = offset;
    return quiet;
}

void KeyAreaList::StopAll(double offset)
{
    for (auto& area : areas_)
        if (area->IsEnabled()) area->Stop(offset);
}
