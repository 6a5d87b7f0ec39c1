#pragma once

class EngineHost;
struct OutputNote;

// The receiver of the engine's numbered actions: the plug-in core implements
// it (the pattern view's note markers and step grid, the pattern, hold and
// chord-memory slot controls, the preset box, the panic); the engine knows
// nothing else of it. Every call comes on the audio thread (or the thread of a
// parameter change) under the plug-in's lock. Defaults do nothing.
class ActionSink
{
public:
    virtual ~ActionSink() = default;

    // 0: a note sounds (key area, step number and note are in the record).
    virtual void MarkNoteSounding(const OutputNote& /*note*/) {}
    // 1: a note was released (markers of steps 0..its step turn released).
    virtual void MarkNoteReleased(const OutputNote& /*note*/) {}
    // 2: every note marker goes.
    virtual void ClearNoteMarkers() {}
    // 3, 7, 12: the pattern control of a key area shows a pattern 0..11;
    // changing the control selects the pattern (through the parameter).
    virtual void ShowAreaPattern(int /*area*/, int /*pattern*/) {}
    // 4: the chord-memory slot selection goes back to slot 0.
    virtual void ResetChordMemorySelection() {}
    // 5 (+1) and 6 (-1): the preset box loads the next or previous preset.
    virtual void StepPreset(int /*direction*/) {}
    // 8: the pattern of the edited key area the editor shows (-1: the area's
    // current pattern), read before a lane is toggled; then the toggle report.
    virtual int PatternShownForEditing(int /*area*/) { return -1; }
    virtual void LaneToggled(int /*area*/, int /*lane*/) {}
    // 9, 10: the "Hold" / "Hold bypass" control of a key area is set to a value.
    virtual void SetHoldControl(int /*area*/, bool /*on*/) {}
    virtual void SetHoldBypassControl(int /*area*/, bool /*on*/) {}
    // 11: panic (all notes off).
    virtual void Panic() {}
};

// The argument of an action: a generated note (0, 1) or a number (7, 8, 12, 14).
struct ActionArgument
{
    const OutputNote* note = nullptr;
    int value = 0;
};

// Carries out the engine's numbered actions on the sink the plug-in core sets.
// Unknown ids, 14, and every id while no sink is set, do nothing.
class ActionDispatcher
{
public:
    enum Action
    {
        kNoteSounding = 0,
        kNotesReleased = 1,
        kClearMarkers = 2,
        kShowCurrentPattern = 3,
        kResetChordMemorySelection = 4,
        kNextPreset = 5,
        kPreviousPreset = 6,
        kShowPattern = 7,
        kToggleLane = 8,
        kToggleHold = 9,
        kToggleHoldBypass = 10,
        kPanic = 11,
        kShowProgram = 12,
        // Reported by the note engine and the key areas with a MIDI channel 1..16 whenever their
        // held-note counts change; nothing acts on it.
        kNoteCounts = 14,
    };

    // Registers itself in the host (which must outlive it).
    explicit ActionDispatcher(EngineHost& host);
    ActionDispatcher(const ActionDispatcher&) = delete;
    ActionDispatcher& operator=(const ActionDispatcher&) = delete;

    void SetSink(ActionSink* sink) { sink_ = sink; }

    // Carries out action id. Missing note arguments make 0 and 1 do nothing.
    void Dispatch(int id, const ActionArgument& argument = {});

private:
    EngineHost& host_;
    ActionSink* sink_ = nullptr;
};
