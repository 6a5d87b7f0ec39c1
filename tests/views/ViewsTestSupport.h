// Helpers of the view tests: a real engine (transport, engine holder with its four key areas) and
// a stand-in for the plug-in that records every display request and answers display texts from a
// small table.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "engine/TransportState.h"
#include "views/UIEventHandler.h"
#include "views/ViewHost.h"

namespace quova::test
{

class RecordingViewHost : public ViewHost
{
public:
    std::map<int, double> values;
    std::map<std::pair<int, int>, std::string> displayTexts; // (index, trunc value) -> text
    std::vector<std::string> status;
    std::vector<int> lanes;
    std::vector<std::pair<int, int>> cells;
    std::vector<int> editedPatterns;
    std::vector<int> selectedAreas;
    std::vector<int> tools;
    std::vector<std::string> calls; // everything else, as "Name(args)"
    int shownArea = 0;
    bool aboutBoxShown = false;

    double GetParameterValue(int index) const override
    {
        auto it = values.find(index);
        return it == values.end() ? 0.0 : it->second;
    }
    std::string GetParameterDisplayText(int index, double value) const override
    {
        auto it = displayTexts.find({index, static_cast<int>(value)});
        return it == displayTexts.end() ? std::string() : it->second;
    }
    void ShowStatusText(const std::string& text) override { status.push_back(text); }
    void SelectLane(int lane) override { lanes.push_back(lane); }
    void UpdatePatternViewStep(int lane, int step) override { cells.emplace_back(lane, step); }
    void SelectEditedPattern(int pattern) override { editedPatterns.push_back(pattern); }
    void SelectKeyArea(int area) override { selectedAreas.push_back(area); }
    int GetShownKeyArea() const override { return shownArea; }
    void SetEditTool(int tool) override { tools.push_back(tool); }
    void ShowFreeRateKnob(int a, int p, bool flag) override { Call("ShowFreeRateKnob", a, p, flag); }
    void ShowSendOnlyCcState(int a) override { Call("ShowSendOnlyCcState", a); }
    void ShowTriggerChordMemoryState(int a) override { Call("ShowTriggerChordMemoryState", a); }
    void ShowScenesOn(int a, bool on) override { Call("ShowScenesOn", a, on); }
    void SetCcLaneNumber(int v) override { Call("SetCcLaneNumber", v); }
    void SetCcTeachMode(bool on) override { Call("SetCcTeachMode", on); }
    bool IsAboutBoxShown() const override { return aboutBoxShown; }
    void ToggleAboutBox() override { calls.push_back("ToggleAboutBox()"); }
    void OpenAboutLink() override { calls.push_back("OpenAboutLink()"); }
    void SetOtherKeyAreasOnOff(int a, bool flag) override { Call("SetOtherKeyAreasOnOff", a, flag); }

    std::string LastStatus() const { return status.empty() ? std::string() : status.back(); }

private:
    template <class... Args> void Call(const char* name, Args... args)
    {
        std::string text = std::string(name) + "(";
        bool first = true;
        auto append = [&](int value)
        {
            if (!first) text += ',';
            text += std::to_string(value);
            first = false;
        };
        (append(static_cast<int>(args)), ...);
        calls.push_back(text + ")");
    }
};

// An engine in its default state with a handler and a recording host.
struct ViewsFixtureEngine
{
    TransportState transport;
    std::unique_ptr<EngineHost> engine;
    RecordingViewHost host;
    std::unique_ptr<UIEventHandler> handler;

    ViewsFixtureEngine();
    PatternEngine& Area(int a) { return *engine->GetKeyAreas()->GetArea(a); }
    PatternStepper& Stepper(int a) { return Area(a).GetStepper(); }
};

} // namespace quova::test
