#pragma once

#include "gui/IObserverInterface.h"

#include <optional>
#include <string>

class KeyAreaList;
class NoteEngine;
class PatternEngine;
class TobelApp;
class ViewHost;

// The bridge from parameters to the engine. Every parameter change the
// plug-in does not handle itself arrives here with its index and its plain
// value: the index is decomposed into key area, pattern, lane and step by the
// plug-in's index formulas, the matching setter of the key area's
// PatternEngine or PatternStepper (or of every area's Scale) is called, the
// step grid's cell is refreshed, and a one-line description of the change goes
// to the information line (the status line).
//
// It also observes a few controls (by their second tag): 4 right-click
// information request, 5 the about box, 11 the about link, 12 the key-area
// switches (Control-click sets the other areas to the inverse).
//
// Threads: every call runs under the plug-in's lock (parameter changes from
// the editor, the host or the preset loader; mouse events on the editor's
// thread). Non-copyable; the plug-in owns it and outlives nothing it points to.
class UIEventHandler : public IObserverInterface
{
public:
    // Second tags of the controls this handler observes.
    enum Tag
    {
        kTagInformation = 4,
        kTagAboutBox = 5,
        kTagAboutLink = 11,
        kTagKeyAreaSwitch = 12,
    };

    // Keeps the pointers (none is owned; keyAreas and host must not be null
    // when parameters arrive). Information texts are enabled.
    UIEventHandler(TobelApp* app, KeyAreaList* keyAreas, NoteEngine* notes, ViewHost* host);
    UIEventHandler(const UIEventHandler&) = delete;
    UIEventHandler& operator=(const UIEventHandler&) = delete;

    // ---- IObserverInterface --------------------------------------------------------------------
    void OnSubjectChanged(ISubject*) override {}
    void OnSubjectMouseEvent(ISubject* subject, int x, int y, int kind,
                             const IMouseModifiers& modifiers) override;

    // ---- the parameter road ----------------------------------------------------------------------
    // Applies parameter i with plain value v to the engine (the first matching
    // kind of parameter decides), then, while information is enabled, shows its
    // information text (not for "Rate", which writes its own). Unknown indices
    // and non-finite values change nothing.
    void OnParameterChanged(int i, double v);
    // What OnParameterChanged does for a step parameter (a step value of any lane, or a step on/off
    // switch), without refreshing its cell of the pattern view: for a state reader that refreshes
    // the shown lane's cells once at its end. Information stays as it is. False, and nothing
    // changed, for any other index.
    bool ApplyStepParameter(int i, double v);

    // Applies one parameter of a block: d = i - base, key area d / n, the rest
    // r = d mod n decoded by the block's layout (n = 1 per area, 12 per
    // pattern, 16 scene steps, 204 lanes when lanes is set, 384 steps of a
    // lane block, 3072 controller steps). Step blocks then refresh their cell.
    void ApplyParameterToEngine(int base, int i, double v, int n, bool lanes);

    // The lane a step block base belongs to: 12472 gives 0, 15544 1, 3256 2,
    // 4792 3, 6328 4, 7864 5, 9400 6, 10936 7, 14008 8, 18173 9 + ((offset /
    // 32) mod 8); any other base is returned unchanged.
    static int LaneOfParameterBlock(int base, int offset);
    // (index - base) mod 32, never negative.
    static int StepOfParameter(int base, int index);

    // The pattern gate in the engine's units: v / 100, halved when above 0,
    // at most 1.0, and -0.9 when at or below -1.0.
    static double GateValue(double v);
    // The rate choice t (0..23) in beats with its information text; any other
    // t gives 4.0 beats and no text.
    static double RateBeats(int t);
    static const char* RateText(int t);

    // ---- the information line ---------------------------------------------------------------------
    // The information text of parameter i at value v, or nothing for indices
    // that have no text.
    std::optional<std::string> ParameterInfoText(int i, double v) const;
    // Shows ParameterInfoText when there is one; otherwise the line stays.
    void ShowParameterInfo(int i, double v);
    // label + "%.1f", label + "%d", label + text, and text alone, each shown.
    void AppendDecimal(const std::string& label, double value);
    void AppendInteger(const std::string& label, int value);
    void AppendText(const std::string& label, const std::string& text);
    void ReplaceText(const std::string& text);

    // ---- settings -----------------------------------------------------------------------------------
    // The global option "Gate length in steps" (changes the step gate's text).
    void SetGateInSteps(bool on) { gateInSteps_ = on; }
    bool GetGateInSteps() const { return gateInSteps_; }
    // While false, parameter changes still reach the engine but write no text
    // (the state reader clears it while it loads).
    void SetInformationEnabled(bool on) { informationEnabled_ = on; }
    bool IsInformationEnabled() const { return informationEnabled_; }

private:
    PatternEngine* Area(int area) const;
    // The per-key-area, per-pattern and per-lane parameters; false when i is
    // none of them.
    bool ApplyAreaParameter(int i, double v);
    bool ApplyPatternParameter(int i, double v);
    // The global and editor parameters; false when i is none of them.
    bool ApplyGlobalParameter(int i, double v);
    void ApplyRate(int area, int pattern, double v);

    TobelApp* app_; // part of the class's interface, unread here
    KeyAreaList* keyAreas_;
    NoteEngine* notes_; // part of the class's interface, unread here
    ViewHost* host_;
    bool gateInSteps_ = false;
    bool informationEnabled_ = true;
    bool refreshCells_ = true; // step blocks refresh their pattern view cell
};
