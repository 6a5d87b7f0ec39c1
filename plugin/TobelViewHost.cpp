#include "plugin/TobelViewHost.h"

#include "plugin/Tobel.h"

double TobelViewHost::GetParameterValue(int index) const { return plug_.GetParameterValue(index); }

std::string TobelViewHost::GetParameterDisplayText(int index, double value) const
{
    return plug_.GetParameterDisplayText(index, value);
}

void TobelViewHost::ShowStatusText(const std::string& text) { plug_.ShowStatusText(text); }
void TobelViewHost::SelectLane(int lane) { plug_.SelectLane(lane); }
void TobelViewHost::UpdatePatternViewStep(int lane, int step) { plug_.UpdatePatternViewStep(lane, step); }
void TobelViewHost::SelectEditedPattern(int pattern) { plug_.SelectEditedPattern(pattern); }
void TobelViewHost::SelectKeyArea(int area) { plug_.SelectKeyArea(area); }
int TobelViewHost::GetShownKeyArea() const { return plug_.GetEditedArea(); }
void TobelViewHost::SetEditTool(int tool) { plug_.SetEditTool(tool); }
void TobelViewHost::ShowFreeRateKnob(int area, int pattern, bool flag) { plug_.ShowFreeRateKnob(area, pattern, flag); }
void TobelViewHost::ShowSendOnlyCcState(int area) { plug_.ShowSendOnlyCcState(area); }
void TobelViewHost::ShowTriggerChordMemoryState(int area) { plug_.ShowTriggerChordMemoryState(area); }
// The scene strip comes with the editor views; the engine already has the flag.
void TobelViewHost::ShowScenesOn(int, bool) {}
void TobelViewHost::SetCcLaneNumber(int value) { plug_.SetCcLaneNumber(value); }
void TobelViewHost::SetCcTeachMode(bool on) { plug_.SetCcTeachMode(on); }
void TobelViewHost::ToggleAboutBox() { plug_.ToggleAboutBox(); }
// The about link opens a web page from the editor window; nothing without one.
void TobelViewHost::OpenAboutLink() {}
void TobelViewHost::SetOtherKeyAreasOnOff(int area, bool flag) { plug_.SetOtherKeyAreasOnOff(area, flag); }

void TobelActionSink::ShowAreaPattern(int area, int pattern) { plug_.ShowAreaCurrentPattern(area, pattern); }
void TobelActionSink::ResetChordMemorySelection() { plug_.ResetChordMemorySelection(); }
int TobelActionSink::PatternShownForEditing(int area)
{
    return area == plug_.GetEditedArea() ? plug_.GetShownPattern() : -1;
}
void TobelActionSink::LaneToggled(int, int lane) { plug_.UpdatePatternViewStep(lane, 0); }
void TobelActionSink::SetHoldControl(int area, bool on) { plug_.SetHoldSwitch(area, on); }
void TobelActionSink::SetHoldBypassControl(int area, bool on) { plug_.SetHoldBypassSwitch(area, on); }
void TobelActionSink::Panic() { plug_.RequestPanic(); }
