// The plug-in as the views and the engine's actions see it: two thin adapters that forward to
// Tobel's display setters and queries. They keep the views and the engine free of the plug-in
// class. Owned by the plug-in; every call runs under its lock.
#pragma once

#include "engine/ActionDispatcher.h"
#include "views/PatternViewHost.h"
#include "views/ViewHost.h"

class Tobel;

class TobelViewHost : public ViewHost, public PatternViewHost
{
public:
    explicit TobelViewHost(Tobel& plug) : plug_(plug) {}
    TobelViewHost(const TobelViewHost&) = delete;
    TobelViewHost& operator=(const TobelViewHost&) = delete;

    double GetParameterValue(int index) const override;
    std::string GetParameterDisplayText(int index, double value) const override;
    void ShowStatusText(const std::string& text) override;
    void SelectLane(int lane) override;
    void UpdatePatternViewStep(int lane, int step) override;
    void SelectEditedPattern(int pattern) override;
    void SelectKeyArea(int area) override;
    int GetShownKeyArea() const override;
    void SetEditTool(int tool) override;
    void ShowFreeRateKnob(int area, int pattern, bool flag) override;
    void ShowSendOnlyCcState(int area) override;
    void ShowTriggerChordMemoryState(int area) override;
    void ShowScenesOn(int area, bool on) override;
    void SetCcLaneNumber(int value) override;
    void SetCcTeachMode(bool on) override;
    bool IsAboutBoxShown() const override;
    void ToggleAboutBox() override;
    void OpenAboutLink() override;
    void SetOtherKeyAreasOnOff(int area, bool flag) override;

    // PatternViewHost: the step value controls of the registry and the edit queries.
    IControl* FindStepControl(int area, int pattern, int lane, int step) override;
    bool PatternHasEdits(int area, int pattern) override;
    bool LaneHasEdits(int area, int pattern, int lane) override;

private:
    Tobel& plug_;
};

// The engine's numbered actions carried out on the plug-in's editor: note markers of the pattern
// view (0, 1, 2), pattern selectors (3, 7, 12), the chord-memory slot selector (4), the preset
// box's next and previous preset (5, 6), the lane toggle's pattern and the step grid after it (8),
// the hold switches (9, 10) and panic (11).
class TobelActionSink : public ActionSink
{
public:
    explicit TobelActionSink(Tobel& plug) : plug_(plug) {}
    TobelActionSink(const TobelActionSink&) = delete;
    TobelActionSink& operator=(const TobelActionSink&) = delete;

    void MarkNoteSounding(const OutputNote& note) override;
    void MarkNoteReleased(const OutputNote& note) override;
    void ClearNoteMarkers() override;
    void StepPreset(int direction) override;
    void ShowAreaPattern(int area, int pattern) override;
    void ResetChordMemorySelection() override;
    int PatternShownForEditing(int area) override;
    void LaneToggled(int area, int lane) override;
    void SetHoldControl(int area, bool on) override;
    void SetHoldBypassControl(int area, bool on) override;
    void Panic() override;

private:
    Tobel& plug_;
};
