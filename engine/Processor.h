#pragma once

#include "engine/NoteEvent.h"
#include "engine/ProcessorListener.h"

class EngineHost;
struct TransportState;

// Runs the engine over one host block: splits it at the recorded note events,
// delivers each at its offset, runs the key areas on every piece, stops and
// clears when the host stops or nothing is held, keeps its own clock while
// the host is stopped, and hands the generated notes to its listener.
class Processor
{
public:
    Processor(ProcessorListener& listener, EngineHost& host, TransportState& transport);
    virtual ~Processor() = default;
    Processor(const Processor&) = delete;
    Processor& operator=(const Processor&) = delete;

    // One block. samplePosition: host position of the block start;
    // samplesPerBeat: the tempo (a value that is not finite and above 0 runs
    // no key area); frames: block length (nothing happens below 1);
    // ownPosition: the own clock starts from the host position. The caller
    // fills the transport's beat position (and sample rate) before the call;
    // playing, loop and the loop range are taken from the arguments. The second argument is not
    // read; callers pass 0.0 (it stays so that their calls keep their form). playedFrames: the
    // block's first frames were played already (a host that repeats samples): the block runs from
    // the frame after them, and the events due in them are delivered there; when they are all of
    // its frames, every event is delivered at its own frame and no key area runs. Every event
    // recorded for the block is delivered within it.
    void ProcessBlock(double samplePosition, double reserved, double samplesPerBeat, bool playing, bool loop,
                      double loopStart, double loopEnd, int frames, bool ownPosition, int playedFrames = 0);

    // The host stopped since the last block: the stop happens at the block's first frame, before
    // any of the block's notes is delivered, so it clears everything now (as ProcessBlock would)
    // and returns true; false when the host did not stop now. Call before ProcessBlock, with the
    // same playing and ownPosition.
    bool StopWithTheHost(bool playing, bool ownPosition);

protected:
    // Runs every enabled key area over one piece.
    virtual void ProcessSubBlock(double position, double length, double samplesPerBeat, double offset) = 0;
    // Frames from the offset on in which ProcessSubBlock would produce and
    // change nothing, at most length (0: the next frame needs its own call).
    virtual int QuietFrames(double /*offset*/, int length, double /*samplesPerBeat*/) { return length; }

private:
    // Runs a piece; returns the frames run, fewer than length when a frame left no note held.
    int RunPiece(double position, int length, double samplesPerBeat, double offset);
    void RunSlice(double position, int length, double samplesPerBeat, double offset);
    void ClearEverything(bool ownPosition, double offset);
    void SendOutput();

    ProcessorListener& listener_;
    double ownPosition_ = -1.0;
    bool wasPlaying_ = false;
    EngineHost& host_;
    TransportState& transport_;
};

// The application object: routes delivered notes to the key areas (as the
// note engine's listener) and processes blocks (as the Processor).
class Application : public NoteEngineListener, public Processor
{
public:
    using Processor::Processor;
};

// The engine's application object inside the plug-in. Registers itself as
// the note engine's listener and in the host; both must outlive it.
class TobelApp : public Application
{
public:
    TobelApp(TransportState& transport, ProcessorListener& listener, EngineHost& host);
    ~TobelApp() override;

    void NoteOnForArea(double offset, int note, int velocity, int channel, int area) override;
    void NoteOnForFlaggedAreas(double offset, int note, int velocity, int channel,
                               const int flags[NoteEvent::kAreaCount]) override;
    void NoteOffForFlaggedAreas(double position, double offset, int note, int velocity, int channel,
                                int flags[NoteEvent::kAreaCount]) override;
    bool IsHeldByHold(int channel, int note) const override;
    void NotifyReset() override {}
    void StopAll(double offset) override;

protected:
    void ProcessSubBlock(double position, double length, double samplesPerBeat, double offset) override;
    int QuietFrames(double offset, int length, double samplesPerBeat) override;

private:
    EngineHost& engine_;
    TransportState& clock_;
};
