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
    if (index < 0 || index >= kAreaCount)
        return false;
    for (auto& area : areas_)
        area->SetSelectedForEditing(false);
    areas_[static_cast<size_t>(index)]->SetSelectedForEditing(true);
    selected_ = index;
    return true;
}

void KeyAreaList::ProcessBlock(double position, double length, double samplesPerBeat, double offset)
{
    for (auto& area : areas_)
        if (area->IsEnabled())
            area->ProcessBlock(position, length, samplesPerBeat, offset);
}

int KeyAreaList::QuietFrames(double offset, int length, double samplesPerBeat) const
{
    int quiet = length;
    for (const auto& area : areas_)
        if (area->IsEnabled())
            quiet = std::min(quiet, area->QuietFrames(offset, length, samplesPerBeat));
    return quiet;
}

void KeyAreaList::StopAll()
{
    for (auto& area : areas_)
        if (area->IsEnabled())
            area->Stop(0.0);
}
