#pragma once

// A whole engine driven block by block as a host would drive the plug-in:
// 44100 Hz, 120 beats per minute, 512-frame blocks, the default parameter
// state, and a listener that records every generated note with its absolute
// sample time (block x block length + offset). The block length can be
// changed before the first block.
#include "engine/ActionDispatcher.h"
#include "engine/EngineDefaults.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/NoteEngine.h"
#include "engine/OutputNote.h"
#include "engine/PatternEngine.h"
#include "engine/Processor.h"
#include "engine/TransportState.h"

#include <cmath>
#include <vector>

namespace rig
{
constexpr double kSampleRate = 44100.0;
constexpr double kSamplesPerBeat = 22050.0; // 120 beats per minute
constexpr int kFrames = 512;

struct Note
{
    long sample; // block x block length + offset
    int offset;
    bool on;
    int note;
    int velocity;
    int channel;
    bool silent; // a note-on whose note message is not sent (send CC / merged)
};

class Recorder : public ProcessorListener
{
public:
    void SendEvents(std::vector<OutputNote*>& notes) override
    {
        for (OutputNote* n : notes)
        {
            const bool on = n->kind == OutputNote::kNoteOn;
            const int offset = static_cast<int>(n->time);
            all.push_back({block * frames + offset, offset, on, n->note, n->velocity, n->channel,
                           on && (n->sendOnlyControllers || n->suppressNoteOn)});
            if (on)
                n->noteOnSent = true;
            else
                n->noteOffSent = true;
        }
    }
    std::vector<Note> Ons() const
    {
        std::vector<Note> r;
        for (const Note& n : all)
            if (n.on && !n.silent) r.push_back(n);
        return r;
    }
    std::vector<Note> Offs() const
    {
        std::vector<Note> r;
        for (const Note& n : all)
            if (!n.on) r.push_back(n);
        return r;
    }
    // An input note no key area took, at its absolute sample.
    int PassThrough(const NoteEvent& n, double offset, int) override
    {
        const int at = static_cast<int>(offset);
        passed.push_back(
            {block * frames + at, at, n.kind == NoteEvent::kNoteOn, n.note, n.velocity, n.channel, false});
        return n.note;
    }
    // The keys passed through (note-ons) since the last call.
    std::vector<int> TakePassedOns()
    {
        std::vector<int> r;
        for (const Note& n : passed)
            if (n.on) r.push_back(n.note);
        passed.clear();
        return r;
    }
    std::vector<int> OnNotes() const
    {
        std::vector<int> r;
        for (const Note& n : Ons())
            r.push_back(n.note);
        return r;
    }
    long block = 0;
    int frames = kFrames;
    std::vector<Note> all;
    std::vector<Note> passed;
};

// Records the actions the engine reports.
class Sink : public ActionSink
{
public:
    void ShowAreaPattern(int area, int pattern) override { shown.push_back(area * 100 + pattern); }
    void StepPreset(int direction) override { presets.push_back(direction); }
    void LaneToggled(int area, int lane) override { lanes.push_back(area * 100 + lane); }
    void SetHoldControl(int area, bool on) override { holds.push_back(area * 10 + (on ? 1 : 0)); }
    void Panic() override { ++panics; }
    void ClearNoteMarkers() override { ++clears; }
    void MarkNoteSounding(const OutputNote&) override { ++marks; }
    std::vector<int> shown, presets, lanes, holds;
    int panics = 0;
    int clears = 0;
    int marks = 0;
};

// The absolute sample on which a beat falls (truncated, as offsets are).
inline long SampleOf(double beat)
{
    return static_cast<long>(std::floor(beat * kSamplesPerBeat + 1e-6));
}

struct Engine
{
    Engine()
    {
        transport.sampleRate = kSampleRate;
        quova::ApplyDefaultParameterState(host);
        host.GetDispatcher()->SetSink(&sink);
    }
    PatternEngine& Area(int a = 0) { return *host.GetKeyAreas()->GetArea(a); }
    PatternStepper& Stepper(int a = 0) { return Area(a).GetStepper(); }
    NoteEngine& Notes() { return *host.GetNoteEngine(); }

    // Runs one block at the current position and moves on.
    void Block()
    {
        transport.samplePosition = position;
        transport.beatPosition = position / kSamplesPerBeat;
        recorder.block = block;
        recorder.frames = frames;
        app.ProcessBlock(position, 0.0, kSamplesPerBeat, playing, false, 0.0, -1.0, frames, false);
        transport.loopJump = false;
        if (playing) position += frames;
        ++block;
    }
    // Runs blocks until the block that contains an absolute sample is done.
    void RunThrough(long sample)
    {
        while (block * frames <= sample)
            Block();
    }
    void RunBeats(double beats) { RunThrough(SampleOf(beats)); }
    // Input at an offset of the next block (routed when that block runs); the result is the note
    // engine's forecast.
    int Press(int note, int velocity = 100, int offset = 0, int channel = 1)
    {
        int flags[4] = {-1, -1, -1, -1};
        return Notes().NoteOn(channel, note, velocity, offset, flags);
    }
    bool Release(int note, int offset = 0, int channel = 1) { return Notes().NoteOff(channel, note, offset); }
    void PressChord(int offset = 0)
    {
        Press(48, 100, offset);
        Press(52, 90, offset);
        Press(55, 80, offset);
    }

    TransportState transport;
    EngineHost host{transport};
    Recorder recorder;
    Sink sink;
    TobelApp app{transport, recorder, host};
    double position = 0.0;
    long block = 0;
    int frames = kFrames;
    bool playing = true;
};
} // namespace rig
