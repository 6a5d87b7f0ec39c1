#include "engine/Processor.h"

#include "engine/ActionDispatcher.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/NoteEngine.h"
#include "engine/OutputNote.h"
#include "engine/PatternEngine.h"
#include "engine/TransportState.h"

#include <algorithm>
#include <cmath>

Processor::Processor(ProcessorListener& listener, EngineHost& host, TransportState& transport)
    : listener_(listener), host_(host), transport_(transport)
{
}

void Processor::ClearEverything(bool ownPosition, double offset)
{
    NoteEngine& notes = *host_.GetNoteEngine();
    notes.ClearAll(offset);
    if (ActionDispatcher* d = host_.GetDispatcher()) d->Dispatch(ActionDispatcher::kClearMarkers);
    notes.FlushNotes();
    listener_.NotifyPlaying(false);
    listener_.SendEvents(notes.Output());
    ownPosition_ = ownPosition ? -1.0 : 0.0;
    notes.RemoveSentNotes();
}

bool Processor::StopWithTheHost(bool playing, bool ownPosition)
{
    if (!wasPlaying_ || playing) return false;
    ClearEverything(ownPosition, 0.0);
    wasPlaying_ = false;
    return true;
}

int Processor::RunPiece(double position, int length, double samplesPerBeat, double offset)
{
    // What the host hears must not depend on how it slices time: every frame
    // in which a step begins or ends or a step event fires runs alone, as it
    // would in a block of one frame, and the frames in between run together.
    // So the lanes, step numbers and duplicate merges of each step come out
    // the same for every block size.
    const bool tempo = std::isfinite(samplesPerBeat) && samplesPerBeat > 0.0;
    int done = 0;
    while (done < length)
    {
        int k = length - done;
        if (tempo) k = std::max(1, QuietFrames(offset + done, k, samplesPerBeat));
        RunSlice(position + done, k, samplesPerBeat, offset + done);
        done += k;
        // A step that let go of the last held note (a hold state's chord ending): the block
        // processing looks at the rest from the next frame on, as a block starting there would.
        if (host_.GetNoteEngine()->GetHeldCount() < 1) break;
    }
    return done;
}

void Processor::RunSlice(double position, int length, double samplesPerBeat, double offset)
{
    NoteEngine& notes = *host_.GetNoteEngine();
    // A jump back at the host's loop happens at the block's first frame (a host starts a new block
    // there); a run that starts later in the block starts after the jump, on the grid.
    if (offset > 0.0) transport_.loopJump = false;
    if (std::isfinite(samplesPerBeat) && samplesPerBeat > 0.0)
        ProcessSubBlock(position, length, samplesPerBeat, offset);
    notes.FlushNotes();
    SendOutput();
}

void Processor::SendOutput()
{
    NoteEngine& notes = *host_.GetNoteEngine();
    std::vector<OutputNote*>& output = notes.Output();
    if (output.empty()) return;
    listener_.SendEvents(output);
    // The notes count as sent whether or not the listener marked them.
    for (OutputNote* note : output)
    {
        if (note->kind == OutputNote::kNoteOn)
            note->noteOnSent = true;
        else
            note->noteOffSent = true;
    }
    notes.RemoveSentNotes();
}

void Processor::ProcessBlock(double samplePosition, double, double samplesPerBeat, bool playing, bool loop,
                             double loopStart, double loopEnd, int frames, bool ownPosition, int playedFrames)
{
    if (frames < 1) return;
    playedFrames = std::clamp(playedFrames, 0, frames);
    NoteEngine& notes = *host_.GetNoteEngine();
    const bool tempo = std::isfinite(samplesPerBeat) && samplesPerBeat > 0.0;
    bool stoppedNow = wasPlaying_ && !playing;
    transport_.playing = playing;
    transport_.loop = loop;
    transport_.loopStart = loopStart;
    transport_.loopEnd = loopEnd;
    transport_.samplesPerBeat = samplesPerBeat;
    if (ownPosition_ == -1.0 && ownPosition) ownPosition_ = samplePosition;
    // Where the own clock stands while nothing is held: it starts at the frame of the first key.
    const double ownStart = ownPosition ? samplePosition : 0.0;
    if (playing) transport_.samplePosition = samplePosition;
    if (notes.TakeInbox(frames)) listener_.NotifyPlaying(true);
    // Frames played already are not played again; what came in them acts at the first frame after.
    // A block that lies wholly in them (a host whose position stands still) has no such frame: its
    // events act at their own frames while the key areas' clock stands.
    const bool clockStands = playedFrames >= frames;
    if (clockStands) playedFrames = 0;
    notes.SkipFrames(playedFrames);
    const double clock = clockStands ? 0.0 : samplesPerBeat; // a clock of no tempo runs no key area

    int remaining = frames - playedFrames;
    double offset = playedFrames;
    for (;;)
    {
        if (!playing)
        {
            // The own clock stands at this piece's frame: the block's start lies that far before it
            // (it only moves while a key is held, so the first step of a run starts at the key's
            // frame, not at the block's start).
            const double own = ownPosition_ < 0.0 ? ownStart : ownPosition_;
            transport_.samplePosition = own - offset;
            transport_.beatPosition = tempo ? transport_.samplePosition / samplesPerBeat : 0.0;
        }
        const double blockStart = transport_.samplePosition;
        if (offset > 0.0 && notes.StartPlaying()) listener_.NotifyPlaying(true);
        int k = notes.NextEventOffset(blockStart + offset, remaining, offset);
        if (k <= 0) break;
        if (notes.GetHeldCount() < 1 || stoppedNow)
        {
            if (!notes.IsIdle() || stoppedNow)
            {
                ClearEverything(ownPosition, offset);
                stoppedNow = false;
            }
            else
            {
                // What the note engine made while nothing plays (the end of a key that waited for
                // its area's note count) goes out at once.
                SendOutput();
            }
        }
        else
        {
            const int done = RunPiece(blockStart + offset, k, clock, offset);
            notes.ReturnFrames(k - done);
            k = done;
            wasPlaying_ = playing;
        }
        if (!playing && notes.GetHeldCount() >= 1)
            ownPosition_ = (ownPosition_ < 0.0 ? ownStart : ownPosition_) + k;
        else
            ownPosition_ = ownPosition ? -1.0 : 0.0;
        remaining -= k;
        offset += k;
    }
    if (notes.GetHeldCount() < 1)
    {
        ownPosition_ = ownPosition ? -1.0 : 0.0;
        if (!playing) transport_.beatPosition = 0.0;
    }
    wasPlaying_ = playing;
}

// --- TobelApp -------------------------------------------------------------------------

TobelApp::TobelApp(TransportState& transport, ProcessorListener& listener, EngineHost& host)
    : Application(listener, host, transport), engine_(host), clock_(transport)
{
    host.GetNoteEngine()->SetListener(this);
    host.GetNoteEngine()->SetProcessorListener(&listener);
    host.RegisterApp(this);
}

TobelApp::~TobelApp()
{
    engine_.GetNoteEngine()->SetListener(nullptr);
    engine_.GetNoteEngine()->SetProcessorListener(nullptr);
    engine_.RegisterApp(nullptr);
}

void TobelApp::NoteOnForArea(double offset, int note, int velocity, int channel, int area)
{
    PatternEngine* engine = engine_.GetKeyAreas()->GetArea(area);
    if (engine != nullptr && engine->InRange(channel, note))
        engine->NoteOn(note, velocity, static_cast<int>(offset));
}

void TobelApp::NoteOnForFlaggedAreas(double offset, int note, int velocity, int channel,
                                     const int flags[NoteEvent::kAreaCount])
{
    for (int a = 0; a < NoteEvent::kAreaCount; ++a)
        if (flags[a] == NoteEvent::kForArea) NoteOnForArea(offset, note, velocity, channel, a);
}

void TobelApp::NoteOffForFlaggedAreas(double position, double offset, int note, int /*velocity*/, int channel,
                                      int flags[NoteEvent::kAreaCount])
{
    for (int a = 0; a < NoteEvent::kAreaCount; ++a)
    {
        if (flags[a] != NoteEvent::kForArea) continue;
        PatternEngine* engine = engine_.GetKeyAreas()->GetArea(a);
        if (engine == nullptr || !(engine->InRange(channel, note) || engine->HasKeyDown(channel, note)))
        {
            flags[a] = 0;
            continue;
        }
        if (engine->NoteOff(position, note, static_cast<int>(offset)))
            flags[a] = NoteEvent::kForArea;
        else
            flags[a] = engine->KeepsKey(note) ? NoteEvent::kKept : 0;
    }
}

bool TobelApp::IsHeldByHold(int channel, int note) const
{
    for (int a = 0; a < NoteEvent::kAreaCount; ++a)
    {
        const PatternEngine* engine = engine_.GetKeyAreas()->GetArea(a);
        if (engine != nullptr && engine->InRange(channel, note) &&
            (engine->GetHold() || engine->GetHoldSync()))
            return true;
    }
    return false;
}

void TobelApp::StopAll(double offset)
{
    engine_.GetKeyAreas()->StopAll(offset);
}

int TobelApp::QuietFrames(double offset, int length, double samplesPerBeat)
{
    return engine_.GetKeyAreas()->QuietFrames(offset, length, samplesPerBeat);
}

void TobelApp::ProcessSubBlock(double position, double length, double samplesPerBeat, double offset)
{
    (void)clock_;
    engine_.GetKeyAreas()->ProcessBlock(position, length, samplesPerBeat, offset);
}
