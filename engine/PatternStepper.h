#pragma once

#include "engine/Lanes.h"
#include "engine/Looper.h"
#include "engine/PatternRecord.h"
#include "engine/StepRecord.h"
#include "engine/Stepper.h"

#include <array>
#include <memory>
#include <vector>

class ActionListener;
class EngineHost;
class NoteList;
struct TransportState;

// The step sequencer of one key area: the key area's pattern store (12
// patterns, 12 x 32 steps, 12 x 17 lane loopers), the setters through which
// parameter changes, the state reader and the editor change it, and the step
// clock that walks the current pattern in time with the host: it evaluates
// the lanes of each step, turns the step into timed step events (DIV, LENGTH,
// gate, SHIFT, swing), walks the note order and reports to its listener.
//
// Indices: pattern 0..11, step 0..31, lane 0..16, controller 0..7. Setters
// refuse indices outside these ranges (result false, nothing changes).
// Every call runs under the plug-in's lock (audio thread, parameter changes,
// editor writes, state loading).
class PatternStepper : public Stepper
{
public:
    // transport: the shared host clock (outlives the stepper); noteSource:
    // the list the steps take their notes from (may be null); listener: the
    // pattern engine (may be null); host: the engine holder (may be null).
    PatternStepper(TransportState& transport, NoteList* noteSource, ActionListener* listener,
                   EngineHost* host);
    ~PatternStepper() override;
    PatternStepper(const PatternStepper&) = delete;
    PatternStepper& operator=(const PatternStepper&) = delete;

    // The clock's step length in beats (see Stepper::SetStepLength).
    using Stepper::SetStepLength;

    // --- Step setters: store the value as passed.
    bool SetStepNoteChoice(int pattern, int step, int value);
    bool SetStepSource(int pattern, int step, int value);
    bool SetStepLength(int pattern, int step, double value);
    bool SetStepGate(int pattern, int step, double value);
    bool SetStepAccent(int pattern, int step, double value);
    bool SetStepTranspose(int pattern, int step, int value);
    bool SetStepDiv(int pattern, int step, double value);
    bool SetStepShift(int pattern, int step, double value);
    bool SetStepChord(int pattern, int step, int value);
    bool SetStepCC(int pattern, int step, int controller, int value);
    // Note the argument order: lane before step.
    bool SetStepLaneOn(int pattern, int lane, int step, bool on);

    // --- Lane setters.
    bool SetLaneEnabled(int pattern, int lane, bool on);
    // False also for bad indices.
    bool IsLaneEnabled(int pattern, int lane) const;
    bool SetLaneResetOnPatternReset(int pattern, int lane, bool on);
    // Sets the lane looper's mode 0..3 (which resets it).
    bool SetLaneDirection(int pattern, int lane, int mode);
    // The lane's looper (the editor and the state reader set its range), or
    // null for bad indices.
    ControlLooper* GetLaneLooper(int pattern, int lane);
    const ControlLooper* GetLaneLooper(int pattern, int lane) const;
    // Sets the lane on flag of this lane in all twelve patterns to the
    // inverse of its value in the given pattern.
    bool ToggleLaneAllPatterns(int pattern, int lane);

    // --- Pattern setters.
    bool SetPatternGate(int pattern, double value);
    bool SetPatternSwing(int pattern, double value);
    bool SetPatternTranspose(int pattern, int value);
    bool SetPatternResetOnNewNote(int pattern, bool on);
    bool SetPatternOctaves(int pattern, int value);
    // Stores both modes; when the pattern is current and its walk mode
    // changes, the remembered walk mode follows and the walk turns upward.
    bool SetPatternOrder(int pattern, int walkMode, int sortMode);
    // Steps 1..32 (clamped). For the current pattern the step position's loop
    // end follows; another pattern's length takes effect when it becomes current.
    bool SetPatternLength(int pattern, int steps);
    // Makes a pattern current; the step position's loop end becomes its length.
    bool SetCurrentPattern(int pattern);
    // When the rate differs from the pattern's: rate and step length := beats,
    // then as SetPatternStepLength. Beats must be finite and above 0.
    bool SetPatternRate(int pattern, double beats);
    // Stores the step length (finite, above 0); for the current pattern the
    // step length is applied again and the listener told.
    bool SetPatternStepLength(int pattern, double beats);
    // Store the flag or value, then apply the current pattern's step length
    // again (whichever pattern was changed) and tell the listener.
    bool SetPatternFreeRate(int pattern, bool on);
    bool SetPatternFreeRateValue(int pattern, double stepsPerSecond);

    // Applies the current pattern's step length to the clock: with free rate
    // on, sample rate / free rate value / samples per beat (the pattern's
    // step length when that is not a finite length above 0), otherwise the
    // pattern's step length. Returns the length applied. Does not tell the
    // listener.
    double ApplyCurrentStepLength();

    // --- Readers.
    int GetCurrentPattern() const { return currentPattern_; }
    int GetCurrentPatternLength() const;
    const PatternRecord& GetCurrentPatternRecord() const;
    // The pattern's record, or null for a bad index.
    const PatternRecord* GetPatternRecord(int pattern) const;
    // The step's record, or null for bad indices.
    const StepRecord* GetStep(int pattern, int step) const;
    // The step a lane position selects: positions are limited to 0..31, so a
    // lane never reads outside the pattern.
    const StepRecord& GetLaneStep(int pattern, int position) const;
    bool CurrentResetsOnNewNote() const;
    // The pattern's octave count, 0 for a bad index.
    int GetPatternOctaves(int pattern) const;
    bool IsFreeRate() const override;
    int GetRememberedWalkMode() const { return walkMode_; }

    // --- Note source and options.
    // Sets the note source and computes its order positions with the current
    // pattern's sort mode.
    void SetNoteSource(NoteList* source);
    void SetGateLengthInSteps(bool on) { gateLengthInSteps_ = on; }
    bool GetGateLengthInSteps() const { return gateLengthInSteps_; }

    // --- Lifecycle.
    // Resets the 17 lane loopers of a pattern and restarts the note order.
    bool ResetLanes(int pattern);
    // Restarts at position 0, offset 0.
    void Restart() override;
    // Restarts the step position, every lane looper and the note order; every
    // pending step event ends at the offset (OnStepEnd for those that had
    // started) and the run counts as not started.
    void Restart(double position, double offset);
    // Prepares a run before its first clock call: step length, loop length,
    // upward walk, and the note order restarted when the ORDER lane resets on
    // pattern reset or a new note arrived.
    void Start();
    // Makes another pattern current in the middle of a run: pending events end
    // at the offset, every lane looper is reset, and step 0 of the new pattern
    // starts where the old step started (at the old step's end when called
    // while a step ends), keeping the beat grid. False for a bad pattern.
    bool SwitchPattern(int pattern, double position, double samplesPerBeat, double offset);
    // Ends every pending event at a block offset and deletes it.
    void EndAllEvents(double offset);
    // Sets the new-note flag; returns the current pattern's reset on new note.
    bool FlagNewNote();

    // --- Note order.
    // Moves the note order one note; true when the walk wrapped (or the order
    // was reset since the last move).
    bool AdvanceOrder();
    // The record of the note source the current step plays, or null.
    NoteRecord* PickNote();
    // Restarts the note order when the ORDER lane is on and resets on
    // pattern reset or a new note arrived.
    void ResetOrderLane();

    // The LENGTH value of the step at the LENGTH lane's position (1.0 when the
    // lane or the step's flag is off), limited to 1..32.
    double GetStepLengthFactor() const override;
    // How many whole frames from the block offset on a clock call would find
    // nothing due (no step boundary, no step event to start or end), at most
    // length; 0 when the next frame needs a clock call of its own (a run not
    // yet started, a due boundary or event, a host clock that jumped). The
    // block processor runs each such frame alone, so that the notes of a step
    // never depend on how many steps the host's block holds.
    int QuietFrames(double offset, int length, double samplesPerBeat) const;

protected:
    double AdvanceStep(double position, double length, double samplesPerBeat, bool first,
                       double offset) override;
    double EmitStep(double position, double length, double samplesPerBeat, double offset) override;
    void FinishBlock(double position, double length, double samplesPerBeat, double offset) override;

    PatternRecord* Pattern(int pattern);
    StepRecord* Step(int pattern, int step);

private:
    struct Store;

    void ApplyAndNotify();
    ControlLooper& Lane(int lane);
    const StepRecord& LaneStepAtPosition(int lane) const;
    StepEvent* NewEvent();
    void RecycleEvent(StepEvent* event);
    void CreateEvent(double beat);
    void CompleteEvent(StepEvent& event, size_t index);
    void EvaluateLanes(NoteRecord& record);
    void EndEvent(StepEvent& event, double time);
    void ResetAllLanes();
    bool CheckClockJump(double position, double length, double offset);
    bool ClockJumped(double offset, double length) const;

    bool gateLengthInSteps_ = false;
    ActionListener* listener_;
    std::unique_ptr<Store> store_;
    int walkMode_ = 0;
    int currentPattern_ = 0;
    double effectiveStepLength_ = kDefaultStepLength; // part of the class's interface, unread here
    bool newNote_ = false;
    bool resetOrder_ = false;
    bool firstEvent_ = false;
    int orderIndex_ = -1;
    int walkDirection_ = 0; // 0 up, 1 down
    int lastPlayed_ = 0;
    NoteList* noteSource_;
    TransportState& transport_;
    std::vector<StepEvent*> events_;               // pending, in creation order
    std::vector<std::unique_ptr<StepEvent>> pool_; // owns every event ever made
    std::vector<StepEvent*> free_;                 // events ready for reuse
    bool inEmit_ = false;                          // a step end is being reported
    double emitEndBeat_ = 0.0;                     // the end beat of that step
    bool switched_ = false;                        // a pattern switch happened during the report
};
