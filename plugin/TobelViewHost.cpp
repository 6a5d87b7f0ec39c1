#include "plugin/TobelViewHost.h"

#include "plugin/Tobel.h"

double TobelViewHost::GetParameterValue(int index) const
{
    return plug_.GetParameterValue(index);
}

std::string TobelViewHost::GetParameterDisplayText(int index, double value) const
{
    return plug_.GetParameterDisplayText(index, value);
}

void TobelViewHost::ShowStatusText(const std::string& text)
{
    plug_.ShowStatusText(text);
}
void TobelViewHost::SelectLane(int lane)
{
    plug_.SelectLane(lane);
}
void TobelViewHost::UpdatePatternViewStep(int lane, int step)
{
    plug_.UpdatePatternViewStep(lane, step);
}
void TobelViewHost::SelectEditedPattern(int pattern)
{
    plug_.SelectEditedPattern(pattern);
}
void TobelViewHost::SelectKeyArea(int area)
{
    plug_.SelectKeyArea(area);
}
int TobelViewHost::GetShownKeyArea() const
{
    return plug_.GetEditedArea();
}
void TobelViewHost::SetEditTool(int tool)
{
    plug_.SetEditTool(tool);
}
void TobelViewHost::ShowFreeRateKnob(int area, int pattern, bool flag)
{
    plug_.ShowFreeRateKnob(area, pattern, flag);
}
void TobelViewHost::ShowSendOnlyCcState(int area)
{
    plug_.ShowSendOnlyCcState(area);
}
void TobelViewHost::ShowTriggerChordMemoryState(int area)
{
    plug_.ShowTriggerChordMemoryState(area);
}
void TobelViewHost::ShowScenesOn(int area, bool on)
{
    plug_.ShowScenesOn(area, on);
}
void TobelViewHost::SetCcLaneNumber(int value)
{
    plug_.SetCcLaneNumber(value);
}
void TobelViewHost::SetCcTeachMode(bool on)
{
    plug_.SetCcTeachMode(on);
}
bool TobelViewHost::IsAboutBoxShown() const
{
    return plug_.IsAboutBoxShown();
}

void TobelViewHost::ToggleAboutBox()
{
    plug_.ToggleAboutBox();
}
void TobelViewHost::OpenAboutLink()
{
    plug_.OpenAboutLink();
}
void TobelViewHost::SetOtherKeyAreasOnOff(int area, bool flag)
{
    plug_.SetOtherKeyAreasOnOff(area, flag);
}

IControl* TobelViewHost::FindStepControl(int area, int pattern, int lane, int step)
{
    return plug_.FindStepControl(area, pattern, lane, step);
}
bool TobelViewHost::PatternHasEdits(int area, int pattern)
{
    return plug_.PatternHasEdits(area, pattern);
}
bool TobelViewHost::LaneHasEdits(int area, int pattern, int lane)
{
    return plug_.LaneHasEdits(area, pattern, lane);
}

void TobelActionSink::MarkNoteSounding(const OutputNote& note)
{
    plug_.MarkNoteSounding(note);
}
void TobelActionSink::MarkNoteReleased(const OutputNote& note)
{
    plug_.MarkNoteReleased(note);
}
void TobelActionSink::ClearNoteMarkers()
{
    plug_.ClearNoteMarkers();
}
void TobelActionSink::StepPreset(int direction)
{
    plug_.StepPreset(direction);
}
void TobelActionSink::ShowAreaPattern(int area, int pattern)
{
    plug_.ShowAreaCurrentPattern(area, pattern);
}
void TobelActionSink::ResetChordMemorySelection()
{
    plug_.ResetChordMemorySelection();
}
int TobelActionSink::PatternShownForEditing(int area)
{
    return area == plug_.GetEditedArea() ? plug_.GetShownPattern() : -1;
}
void TobelActionSink::LaneToggled(int, int lane)
{
    plug_.UpdatePatternViewStep(lane, 0);
}
void TobelActionSink::SetHoldControl(int area, bool on)
{
    plug_.SetHoldSwitch(area, on);
}
void TobelActionSink::SetHoldBypassControl(int area, bool on)
{
    plug_.SetHoldBypassSwitch(area, on);
}
void TobelActionSink::Panic()
{
    plug_.RequestPanic();
}
