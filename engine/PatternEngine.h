#pragma once

#include "engine/ActionListener.h"
#include "engine/HoldState.h"
#include "engine/NoteList.h"
#include "engine/PatternStepper.h"
#include "engine/Scale.h"
#include "engine/VelocityCalculator.h"

#include <array>
#include <memory>
#include <vector>

class EngineHost;
class NoteEngine;
struct OutputNote;
struct TransportState;

// The arpeggiator of one key area (index 0..3). It keeps the notes played
// into the area, applies hold, hold transpose, hold bypass and hold sync,
// chains patterns into scenes, queues pattern changes to a switch point, and,
// as its stepper's ActionListener, turns step events into OutputNotes (note
// source, octave walk, velocity, volume, scale, key offset) that it hands to
// the note engine after each piece of a block.
//
// Key range and notes are MIDI note numbers; channels 1..16. Every operation
// runs under the plug-in's lock (audio thread, parameter changes, state
// loading). Setters refuse values outside their stated ranges (false).
class PatternEngine : public ActionListener
{
public:
    static constexpr int kSceneStepCount = 16;

    struct SceneStep
    {
        int length = 1; // steps
        int repeat = 1; // extra passes (0: play once)
        int pattern = 0;
    };

    PatternEngine(int areaIndex, TransportState& transport, EngineHost& host);
    ~PatternEngine() override;
    PatternEngine(const PatternEngine&) = delete;
    PatternEngine& operator=(const PatternEngine&) = delete;

    // --- Note input (from the application object at delivery time).
    // A key of the area went down; true when the note joined the held notes.
    bool NoteOn(int note, int velocity, int offset);
    // A key went up at a host position and block offset; true when the note
    // was released (the note engine then lowers its count), false when hold
    // keeps it or the area did not hold it.
    bool NoteOff(double position, int note, int offset);

    // --- Block processing: runs the stepper over one piece and hands the
    // generated notes to the note engine.
    void ProcessBlock(double position, double length, double samplesPerBeat, double offset);
    // Frames from the block offset on in which ProcessBlock would do nothing
    // (see PatternStepper::QuietFrames), at most length.
    int QuietFrames(double offset, int length, double samplesPerBeat) const;
    // Stops the area: sounding notes end at the offset, held notes and hold
    // states are emptied, a queued change (or the first scene pattern) applied.
    void Stop(double offset);

    // --- Switches and settings.
    // Off stops the area and releases its notes in the note engine.
    void SetEnabled(bool on);
    bool IsEnabled() const { return enabled_; }
    void SetSceneEnabled(bool on);
    bool IsSceneEnabled() const { return sceneOn_; }
    // Switching hold off lets go of the notes it kept; they end at the switch offset.
    void SetHold(bool on);
    bool GetHold() const { return hold_; }
    // The block offset at which switches changed now take effect: the frame of the control-zone
    // key being delivered, 0 between blocks.
    void SetSwitchOffset(double offset) { switchOffset_ = offset; }
    void SetHoldTranspose(bool on);
    bool GetHoldTranspose() const { return holdTranspose_; }
    void SetHoldBypass(bool on);
    bool GetHoldBypass() const { return holdBypass_; }
    // Hold sync on/off and its interval in steps (1..; above 32 means the
    // pattern length).
    void SetHoldSync(bool on);
    bool GetHoldSync() const { return holdSync_; }
    bool SetHoldSyncSteps(int steps);
    // "Sort order" choice 0..7 of a pattern (sort mode and walk mode).
    bool SetSortOrder(int pattern, int choice);
    bool SetPatternOctaves(int pattern, int octaves);
    // field 0 length (1..32), 1 pattern (0..11), 2 repeat count (0..32).
    bool SetSceneStepField(int step, int field, int value);
    const SceneStep* GetSceneStep(int step) const;
    // The last scene step used, 0..15.
    bool SetSceneEnd(int step);
    int GetSceneEnd() const { return sceneEnd_; }
    int GetSceneIndex() const { return sceneIndex_; }

    // Pattern changes. ChangePattern uses the control zone's sync steps as
    // switch point (below 0: the current pattern's length; 0: the next
    // step). While the area runs without scenes a change to another pattern
    // is queued (result true); otherwise the pattern becomes current at once.
    bool ChangePattern(int pattern);
    bool ChangePatternAt(int pattern, int switchPoint);
    bool HasQueuedChange() const { return queued_; }
    // Makes a pattern current in the middle of a run (block offset given).
    bool SwitchToPattern(int pattern, double position, double samplesPerBeat, double offset);

    bool SetMidiInChannel(int channel);  // 1..16
    bool SetMidiOutChannel(int channel); // 1..16
    int GetMidiInChannel() const { return inChannel_; }
    int GetMidiOutChannel() const { return outChannel_; }
    // MIDI notes 0..127 (-1: unset, the area then takes no notes).
    bool SetStartNote(int note);
    bool SetEndNote(int note);
    bool SetBaseNote(int note);
    int GetStartNote() const { return startNote_; }
    int GetEndNote() const { return endNote_; }
    int GetBaseNote() const { return baseNote_; }
    // -1.0..1.0, added to every velocity as volume x 127.
    bool SetVolume(double volume);
    bool SetVelocityMode(int mode);    // 0..4
    bool SetArpOnNoteCount(int count); // 1..4
    int GetArpOnNoteCount() const { return arpOnNoteCount_; }
    void SetNoteRelease(bool on) { noteRelease_ = on; }
    bool GetNoteRelease() const { return noteRelease_; }
    void SetSendOnlyControllers(bool on) { sendOnlyControllers_ = on; }
    void SetChordMemoryTrigger(bool on) { chordMemoryTrigger_ = on; }
    void SetTransposeAsSemitones(bool on) { transposeAsSemitones_ = on; }
    void SetGateLengthInSteps(bool on) { stepper_->SetGateLengthInSteps(on); }
    void SetSelectedForEditing(bool on) { selected_ = on; }

    // --- Queries.
    bool IsRunning() const { return running_; }
    bool IsPlaying() const { return playing_; }
    int GetHeldCount() const { return heldCount_; }
    // Whether the area matches an input note: enabled, its input channel,
    // inside its key range, and not both hold bypass and hold on.
    bool Accepts(int channel, int note) const;
    bool InRange(int channel, int note) const;
    // Whether a key on a channel went into the area and is still down (it takes the key's release
    // whatever its range and switches say now).
    bool HasKeyDown(int channel, int note) const;
    // Whether the area keeps a released key (hold, or a hold-sync chord until its sync point).
    bool KeepsKey(int note) const;
    const NoteList& GetHeldNotes() const { return held_; }
    PatternStepper& GetStepper() { return *stepper_; }
    const PatternStepper& GetStepper() const { return *stepper_; }
    Scale& GetScale() { return scale_; }
    VelocityCalculator& GetVelocityCalculator() { return velocity_; }

    // --- ActionListener.
    void OnStep(StepEvent& event) override;
    void OnStepEnd(StepEvent& event) override;
    void OnCycleEnd(int step, double startTime) override;
    void OnStepAdvanced(int step, double time, double samplesPerBeat, double offset) override;
    void OnStepLengthChanged() override {}
    void OnReset() override { octave_ = 0; }

private:
    // The longest scene step and hold-sync interval, in steps.
    static constexpr int kMaxStepsInScene = 32;

    NoteEngine& Notes() const;
    OutputNote* BuildStepNote(NoteRecord& record, double time);
    bool ReleaseNote(double position, int note, double offset, bool keep);
    void RunEnded(double position, double offset, bool keep);
    void FlushPending();
    void ReportNoteCounts();
    int PatternLength() const;
    bool ApplyHoldState(HoldState& state, double offset);
    void SceneStepEnded(double offset);
    void CurrentSortOrder();

    TransportState& transport_;
    EngineHost& host_;
    int area_;
    bool chordMemoryTrigger_ = false;
    bool transposeAsSemitones_ = false;
    int octave_ = 0;
    int holdSyncSteps_ = 1;
    int stepCounter_ = 0;
    HoldState holdState_;
    bool hold_ = false;
    bool holdTranspose_ = false;
    bool holdBypass_ = false;
    bool holdSync_ = false;
    bool retriggerPending_ = false;
    HoldState playState_;
    int arpOnNoteCount_ = 1;
    int heldCount_ = 0;
    bool queued_ = false;
    int queuedPoint_ = 0;
    int queuedPattern_ = 0;
    int queuedSteps_ = 0;
    VelocityCalculator velocity_;
    Scale scale_;
    NoteList held_;
    NoteList merged_;
    std::vector<OutputNote*> pending_;
    std::array<SceneStep, kSceneStepCount> scene_{};
    int sceneEnd_ = kSceneStepCount - 1;
    bool sceneOn_ = false;
    int sceneIndex_ = 0;
    int stepsInScene_ = 0;
    int holdSyncCount_ = 0;
    int repeatsDone_ = 0;
    bool selected_ = false;
    bool running_ = false;
    bool playing_ = false;
    double switchOffset_ = 0.0;
    double samplesPerBeat_ = 0.0;
    bool enabled_ = false;
    int inChannel_ = 1;
    // Per key, the MIDI channel it came in on (0: none yet): the area's input channel when it took
    // the key. A key held while the input channel changes is still let go by its own release.
    std::array<int, 128> keyChannel_{};
    int KeyChannel(int note) const
    {
        const int channel = keyChannel_[static_cast<size_t>(note & 127)];
        return channel > 0 ? channel : inChannel_;
    }
    int outChannel_ = 1;
    double volume_ = 0.0;
    int sortMode_ = 0;
    bool sendOnlyControllers_ = false;
    bool noteRelease_ = false;
    std::unique_ptr<PatternStepper> stepper_;
    int startNote_ = -1;
    int endNote_ = -1;
    int baseNote_ = -1;
};
