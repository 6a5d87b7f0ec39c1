#pragma once

#include <string>

// What the views need of the plug-in: parameter values and display texts, the
// status line, and the display setters that keep the editor's controls in line
// with the engine. The plug-in class implements it; the views never see the
// plug-in class itself, so the dependency points one way.
//
// Threads: every call comes from a parameter change or an editor event and
// runs under the plug-in's lock.
class ViewHost
{
public:
    virtual ~ViewHost() = default;

    // Parameter index's current value in its own units (0.0 for a bad index).
    virtual double GetParameterValue(int index) const = 0;
    // The display text of parameter index for value v (empty when it has none).
    virtual std::string GetParameterDisplayText(int index, double value) const = 0;
    // Writes text into the status line (the information line).
    virtual void ShowStatusText(const std::string& text) = 0;

    // The lane 0..16 shown in the step grid.
    virtual void SelectLane(int lane) = 0;
    // Refreshes one cell of the step grid from its parameter; nothing for a
    // lane or step the edited key area has no cell for.
    virtual void UpdatePatternViewStep(int lane, int step) = 0;
    // The pattern shown for editing in the edited key area.
    virtual void SelectEditedPattern(int pattern) = 0;
    // The key area shown for editing (0..3).
    virtual void SelectKeyArea(int area) = 0;
    // The key area the step grid shows.
    virtual int GetShownKeyArea() const = 0;
    // 0 draw tool, 1 selection tool.
    virtual void SetEditTool(int tool) = 0;
    // Shows the "Rate Free mode" knob instead of the "Rate" knob (flag set)
    // or the reverse, for key area a and pattern p when they are shown.
    virtual void ShowFreeRateKnob(int area, int pattern, bool flag) = 0;
    // The key area's send-only-controllers and trigger-chord-memory switches
    // and status texts follow the engine's flags.
    virtual void ShowSendOnlyCcState(int area) = 0;
    virtual void ShowTriggerChordMemoryState(int area) = 0;
    // The scene strip's scenes-on flag.
    virtual void ShowScenesOn(int area, bool on) = 0;
    // Controller teach: the controller number chosen for the current teach
    // slot (0 none, v: controller v - 1), and teach mode on or off.
    virtual void SetCcLaneNumber(int value) = 0;
    virtual void SetCcTeachMode(bool on) = 0;
    // The about box (shown or not), the about link, and the key-area switches
    // of the other areas set to the inverse of area's.
    virtual bool IsAboutBoxShown() const = 0;
    virtual void ToggleAboutBox() = 0;
    virtual void OpenAboutLink() = 0;
    virtual void SetOtherKeyAreasOnOff(int area, bool flag) = 0;
};
