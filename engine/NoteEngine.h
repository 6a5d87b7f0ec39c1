#pragma once

#include "engine/NoteEvent.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class EngineHost;
class ProcessorListener;
struct OutputNote;

// One class with two sides: it routes MIDI input to the four key areas
// (NoteEngineInput.cpp), and it collects the notes they generate
// (NoteEngineOutput.cpp).
//
// Input: every note and message is recorded when it arrives and acts at its
// own frame of the block, from the state the engine has reached there (so the
// same keys go the same way whatever the host's block size). A note goes first
// to the control zone (every note up to its top key while it is on), then to
// the key areas whose channel, range and state match; an area that holds no
// notes holds new notes back until its "Arp on note count" is reached. A note
// no area takes (a key held back included) goes up to the processor listener
// to pass through, as do the learned controllers, panics and messages to pass
// on; a program change goes to the control zone's table.
//
// Output: generated notes are queued per MIDI channel, counted per (channel,
// note, step) so that one step sends a note only once, and moved to the
// output list the processor hands to the plug-in. A later step event of the
// same key area, note and step (the next DIV part, or the step's next pass)
// that starts while the note sounds continues that note: no second note-on,
// and the note ends with the later event's note-off.
//
// Owned by the EngineHost. Audio thread, under the plug-in's lock.
class NoteEngine
{
public:
    static constexpr int kChannels = 16;
    static constexpr int kNotes = 128;
    static constexpr int kSteps = 32;

    explicit NoteEngine(EngineHost& host);
    ~NoteEngine();
    NoteEngine(const NoteEngine&) = delete;
    NoteEngine& operator=(const NoteEngine&) = delete;

    // Two listeners: the application object, which takes the delivered keys to the key areas,
    // and the processor listener (the plug-in), which gets back at its frame what goes up: the
    // keys no area takes, the areas a key started, learned controllers, panics and the messages
    // that pass through.
    void SetListener(NoteEngineListener* listener) { listener_ = listener; }
    void SetProcessorListener(ProcessorListener* listener) { upward_ = listener; }

    // A note-on on channel 1..16 at a sample offset of the block being received: recorded, and routed
    // when the block reaches that frame (what no area takes then goes to the processor listener's
    // PassThrough). The result forecasts that routing from the engine's state now and the keys recorded
    // before this one: 0 no area takes the key, 1 taken, 2 taken and the keys that waited for the note
    // count of the areas whose flag (flags may be null) is set to 1 start with it. The routing at the
    // key's frame decides; a caller that passes on what the forecast leaves leaves the processor
    // listener's PassThrough empty. Bad channels, notes or velocities give 0 and record nothing.
    int NoteOn(int channel, int note, int velocity, int offset, int* flags = nullptr);
    // A note-off (velocity: its release velocity; asNoteOn: it came as a note-on with velocity 0),
    // recorded as NoteOn records; the result forecasts whether an area takes the release (false too
    // for a bad channel or note, which records nothing).
    bool NoteOff(int channel, int note, int offset, int velocity = 0, bool asNoteOn = false);

    // A program change 0..127 at a sample offset of the block being received: handed to the control
    // zone's table (a key area's pattern choice) when the block reaches that frame. False for a
    // program out of range, which records nothing.
    bool ProgramChange(int program, int offset);
    // A controller 0..127 with a value 0..127 that drives a control of the plug-in: handed back to the
    // processor listener's LearnedController when the block reaches that frame, so that the control
    // changes there. False for values out of range, which record nothing.
    bool LearnedController(int controller, int value, int offset);
    // A panic at a sample offset: handed back to the processor listener's Panic when the block reaches
    // that frame, after the keys before it and before those after it. Asked for while an event is
    // delivered (the control zone's panic key), it is handed back at once, at that event's frame.
    void Panic(int offset);
    // A message the plug-in passes on unchanged (status 0x80..0xFF, data bytes 0..127): handed back to
    // the processor listener's PassMessage when the block reaches that frame, in order with the notes.
    // False for bytes out of range, which record nothing.
    bool PassMessage(int status, int data1, int data2, int offset);

    // Generated notes, queued by the pattern engines after each piece.
    // Notes come from NewOutputNote; a null note is ignored.
    OutputNote* NewOutputNote();
    void RecycleOutputNote(OutputNote* note);
    void QueueOutputNoteOn(OutputNote* note);
    void QueueOutputNoteOff(OutputNote* note);

    // Panic: drops the output, stops every area (their sounding notes end at the block offset),
    // clears the counts.
    void AllNotesOff(double offset = 0.0);
    // An area was switched off: its counts drop (unless another enabled area
    // listens on the channel) and its sounding notes become note-offs.
    void ReleaseArea(int area, int channel);
    // A key counts as held on a channel (once); part of the class's interface, unused here.
    void IncrementNoteCount(int channel, int note);
    void DecrementNoteCount(int channel, int note);

    // --- Block helpers used by the processor.
    // Moves the recorded events into the schedule, in time order (events of one offset in the order
    // they came), and returns the result of StartPlaying. With a block length (frames > 0) every
    // event due outside the block is taken at its first or last frame.
    bool TakeInbox(int frames = 0);
    // The first frames of the block were played already (the host repeated them): the events due
    // in them are delivered at the first frame after them.
    void SkipFrames(int frames);
    // True when notes are held while the engine was idle (idle is then
    // cleared). Asked at the start of every piece, so that a key pressed
    // within a block wakes the engine at the frame after it, as it would
    // with a block starting there.
    bool StartPlaying();
    // Delivers the due events and returns the length of the next piece:
    // 1 after a delivery, else up to the next event, at most remaining; 0
    // when nothing remains of the block (events due later stay scheduled).
    int NextEventOffset(double position, int remaining, double offset);
    // Frames of the last piece that were not run after all: the events still scheduled come
    // that much later again.
    void ReturnFrames(int frames);
    // Moves the queued notes to the output (see the class comment).
    void FlushNotes();
    // Deletes the output notes that were sent.
    void RemoveSentNotes();
    // Host stopped or nothing held: stops the areas (their sounding notes end at the block
    // offset), forgets the note counts.
    void ClearAll(double offset);
    // Whether a note-on is scheduled on a channel; part of the class's interface, unused here.
    bool HasScheduledNoteOnChannel(int channel) const;

    std::vector<OutputNote*>& Output() { return output_; }
    int GetHeldCount() const { return heldCount_; }
    bool IsIdle() const { return idle_; }
    // Generated notes sounding on a channel 1..16.
    int SoundingCount(int channel) const;

private:
    static constexpr int kAreas = NoteEvent::kAreaCount;
    // Duplicates whose note-offs are still to come; far more than a block can make.
    static constexpr size_t kMaxDropped = 256;
    // Step counters remembered as raised per channel between two settlings.
    static constexpr size_t kMaxRaised = 256;
    static bool IsChannel(int channel) { return channel >= 1 && channel <= kChannels; }
    static bool IsNote(int note) { return note >= 0 && note < kNotes; }

    struct Sounding
    {
        int area;
        int note;
        int step;
        std::uint32_t sequence; // the step event whose note-off ends it (0: none)
    };
    struct Released
    {
        int note;
        int channel;
    };
    // A note-off not to be sent: that of a note-on dropped as a duplicate of
    // a sounding note, or that of a note a later step event continues. It
    // would end the sounding note early and upset the counters.
    struct Dropped
    {
        int channel;
        int note;
        std::uint32_t sequence;
    };
    struct Waiting
    {
        std::vector<NoteEvent> events;    // the keys held back for the note count
        std::vector<NoteEvent> switchOff; // passed-through keys to end once the area plays
        bool waitingFlag = false;
    };

    int& StepCounter(int channel, int note, int step);
    // Appends a note to its channel's queue (a note on no channel goes back to the pool).
    void Queue(std::array<std::vector<OutputNote*>, kChannels + 1>& queues, OutputNote* note);
    // Whether an area holds notes (keys down, or kept by hold): it takes new keys at once.
    bool AreaActive(int area) const;
    int ForecastNoteOn(int channel, int note, int* flags);
    bool ForecastNoteOff(int channel, int note);
    // Records a message other than a note (kind, its number and value 0..127) for its frame.
    bool RecordMessage(int kind, int number, int value, int offset);
    void Deliver(NoteEvent& event, double offset);
    void DeliverNoteOn(NoteEvent& event, double offset);
    void DeliverNoteOff(NoteEvent& event, double offset);
    // A key went to an area: it counts as held (once, however many areas took it).
    void CountKey(int channel, int note);
    // Hands a key to the processor listener to pass through (sentAs: see SentAs); returns the note it
    // went out as.
    int PassThrough(const NoteEvent& event, double offset, int sentAs);
    // Ends a key that passed through while an area's count was not reached, at its release;
    // false when none of the key sounds.
    bool EndWaitedNote(const NoteEvent& release, double offset);
    // A note-off, from an area's output, for the note a passed-through key went out as.
    void EndPassedNote(const NoteEvent& waited, int sentAs, double time, int area);
    // The note a key's passed-through note-on went out as, -1 while none sounds.
    int& SentAs(int channel, int note);
    void Report(int channel);
    void EmitOff(OutputNote* note);
    void SortOutput();
    void SettleCounters(int channel);
    void NoteCounterRaised(int channel, int note, int step);
    // The phases of FlushNotes.
    void LowerReleasedCounts();
    void ContinueSoundingNotes(int channel);
    void FlushNoteOffs(int channel);
    void FlushNoteOns(int channel);
    void FlushDeferredOffs(int channel);
    void RememberDropped(int channel, int note, std::uint32_t sequence);
    bool TakeDropped(const OutputNote& off);

    EngineHost& host_;
    std::array<std::vector<Sounding>, kChannels + 1> sounding_;
    std::vector<int> stepCounters_; // (channel 0..16) x note x step
    std::array<bool, kChannels + 1> countersTouched_{};
    // Per channel, the step counters raised from 0 since it last fell silent
    // (so that settling clears those instead of the channel's 4096).
    std::array<std::vector<size_t>, kChannels + 1> raised_;
    std::vector<OutputNote*> deferredOffs_;
    std::vector<Dropped> dropped_; // bounded: the oldest entries give way
    std::array<std::vector<OutputNote*>, kChannels + 1> queuedOn_;
    std::array<std::vector<OutputNote*>, kChannels + 1> queuedOff_;
    std::vector<Released> released_;
    std::vector<OutputNote*> output_;
    NoteEngineListener* listener_ = nullptr;
    ProcessorListener* upward_ = nullptr;
    int heldCount_ = 0;
    bool idle_ = true;
    std::vector<NoteEvent> inbox_;
    std::vector<NoteEvent> scheduled_;
    std::array<Waiting, NoteEvent::kAreaCount> waiting_;
    // What NoteOn and NoteOff forecast for the keys recorded since the last block began: per area,
    // whether one of them starts it, and the keys (channel * 128 + note) it would hold back.
    struct Forecast
    {
        bool starts = false;
        std::vector<int> waiting;
    };
    std::array<Forecast, NoteEvent::kAreaCount> forecast_;
    // Per input channel and key, the note its note-on went to the host as when it passed through,
    // until that note ends (-1: none). The key's release names this note whatever the options
    // are by then, and whether the release or a key area's first note ends it.
    std::array<std::array<int, kNotes>, kChannels> sentAs_{};
    std::array<std::array<int, kNotes>, kChannels> noteCounts_{};
    std::vector<std::unique_ptr<OutputNote>> pool_;
    std::vector<OutputNote*> free_;
    double piecePosition_ = 0.0;   // the position of the piece being delivered
    double deliveryOffset_ = -1.0; // the block offset of the event being delivered, -1 outside one
};
