// Tobel: block processing against the host clock and MIDI output. Each block clears the outputs,
// sends the controller-teach ramp, reads the host clock, places the block on the host's timeline
// and runs the engine. Within the same call the engine hands back, at their frames, its generated
// notes (SendEvents) and panics (Panic), both here, and the keys no key area took, the messages to
// pass on, the areas a key started and the learned controllers (TobelMidi.cpp). Every message
// waits in the block's outbox and goes to the host in time order at the block's end.
#include "plugin/Tobel.h"

#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/NoteEngine.h"
#include "engine/OutputNote.h"
#include "engine/PatternEngine.h"
#include "engine/Processor.h"
#include "views/ParameterIndex.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace quova;

namespace
{
constexpr double kPulseStep = 0.1;
constexpr double kPulseTop = 127.0;

// The whole part of a count of samples, truncated toward zero and kept as a double (0 for values
// that are not finite).
double Truncate(double v)
{
    return std::isfinite(v) ? std::trunc(v) : 0.0;
}
} // namespace

void Tobel::ProcessAudioBlock(double**, double** outputs, int frames)
{
    IEffectLockGuard guard(plugLock_);
    if (frames < 1) return;
    // A MIDI effect: the two outputs stay silent.
    for (int c = 0; c < NOutChannels() && outputs != nullptr; ++c)
        if (outputs[c] != nullptr) std::memset(outputs[c], 0, sizeof(double) * static_cast<size_t>(frames));

    blockFrames_ = frames;
    displayPulse_ += kPulseStep;
    processingStarted_ = true;
    transport_.loopJump = false;
    if (displayPulse_ > kPulseTop) displayPulse_ = 0.0;

    // The teach ramp: the controller rises slowly from 0 to 126 and starts again, so that a
    // receiving instrument's own learn function can catch it.
    if (ccTeachMode_ && GetControllerLaneNumber(controllerTeachSlot_) >= 0)
        SendControllerTeachValue(static_cast<int>(displayPulse_),
                                 GetControllerLaneNumber(controllerTeachSlot_), 0, ccTeachChannel_);

    double position = 0.0;
    bool ownPosition = false;
    int playedFrames = 0;
    PrepareBlockClock(frames, &position, &ownPosition, &playedFrames);
    // A stop the block tells of happens at its first frame, before any of its notes is routed.
    app_->StopWithTheHost(transport_.playing, ownPosition);
    app_->ProcessBlock(position, 0.0, transport_.samplesPerBeat, transport_.playing, transport_.loop,
                       transport_.loopStart, transport_.loopEnd, frames, ownPosition, playedFrames);
    if (!transport_.playing && transport_.samplesPerBeat > 0.0)
        ownBeatCounter_ += frames / transport_.samplesPerBeat;
    else if (transport_.playing)
        ownBeatCounter_ = 0.0;

    SendBlockOutbox();
    blockFrames_ = 0;
}

void Tobel::SendBlockOutbox()
{
    // The block's messages are made piece by piece (what passes through at its frame, then the
    // notes of the piece it starts) and put in time order before the host gets them: hosts read
    // the events of one block as a time-ordered list, and some take a plug-in's events only while
    // it processes a block. Every offset lies inside the block.
    const int last = std::max(0, blockFrames_ - 1);
    for (OutboxEntry& entry : outbox_)
        entry.message.offset = std::clamp(entry.message.offset, 0, last);
    std::sort(outbox_.begin(), outbox_.end(),
              [](const OutboxEntry& a, const OutboxEntry& b)
              {
                  return a.message.offset != b.message.offset ? a.message.offset < b.message.offset
                                                              : a.sequence < b.sequence;
              });
    for (const OutboxEntry& entry : outbox_)
        SendMidiMessage(entry.message);
    outbox_.clear();
}

void Tobel::PrepareBlockClock(int frames, double* position, bool* ownPosition, int* playedFrames)
{
    const double sampleRate = GetSampleRate();
    ITransportInfo info;
    const double samplesPerBeat = ReadHostClock(&info);

    const double loopStart = std::max(0.0, Truncate(info.cycleStart * samplesPerBeat));
    double loopEnd = info.cycleActive ? Truncate(info.cycleEnd * samplesPerBeat) : -1.0;
    // An active cycle without a usable range (none given, or ending before it starts) is no loop.
    const bool cycleActive = info.cycleActive && loopEnd > loopStart;
    if (!cycleActive) loopEnd = -1.0;

    // While the host plays, each block is placed on its timeline: a block that repeats samples
    // already played runs on from where the last one ended; a loop, a relocation or a skip ahead
    // happens at the block's first frame, as it would in blocks of one frame.
    double hostPosition = static_cast<double>(GetSamplePosition());
    double beatPosition = ownBeatCounter_;
    *playedFrames = 0;
    if (info.playing)
    {
        BlockContinuity::HostBlock block;
        // The host's sample position, whole (a position it does not give is missing).
        block.samplePosition = info.samplePosition >= 0.0 ? hostPosition : -1.0;
        // A tempo above the fastest a host offers counts as that one; the host's musical position,
        // which runs at its own tempo, then gives way to one that follows the sample position.
        block.beatPosition = info.tempo > kFastestTempo ? -1.0 : info.ppqPosition;
        block.frames = frames;
        block.samplesPerBeat = samplesPerBeat;
        block.loopActive = cycleActive;
        block.loopStartSample = loopStart;
        block.loopEndSample = loopEnd;
        block.loopStartBeat = info.cycleStart;
        const BlockContinuity::Placement place = continuity_.Place(block);
        if (place.loopJump) transport_.loopJump = true;
        hostPosition = place.samplePosition;
        beatPosition = place.beatPosition;
        *playedFrames = place.playedFrames;
    }
    else
    {
        continuity_.Reset();
        // While the host stands, the own clock of one host family starts from its sample position
        // (below): one beyond any song counts as missing there too.
        if (!(hostPosition <= BlockContinuity::kFarthestBeat * samplesPerBeat)) hostPosition = 0.0;
    }
    transport_.playing = info.playing;
    transport_.loop = cycleActive;
    transport_.loopStart = loopStart;
    transport_.loopEnd = loopEnd;
    transport_.sampleRate = sampleRate;
    transport_.samplesPerBeat = samplesPerBeat;
    transport_.samplePosition = std::max(0.0, hostPosition);
    transport_.beatPosition = std::max(0.0, beatPosition);

    *position = hostPosition;
    // One host family restarts its sample position at every start; there the engine keeps its
    // own clock from the first position it sees.
    *ownPosition = GetHostId() == kHostCubase;
}

int Tobel::TransposedKey(int key) const
{
    if (!transposeAll_) return key;
    const Scale& scale = Area(0)->GetScale();
    return std::clamp(transposeAsSemitones_ ? scale.Quantize(key, 0) : scale.MoveByDegrees(key, 0), 0, 127);
}

void Tobel::SendToHost(int offset, uint8_t status, int data1, int data2)
{
    // Every data byte is a data byte. Inside a block the message waits for the block's end
    // (SendBlockOutbox). Everything the plug-in sends is made while a block is processed; a
    // caller outside one (a test driving the listener by hand) has it sent at once.
    const IMidiMessage message(std::max(0, offset), status, static_cast<uint8_t>(std::clamp(data1, 0, 127)),
                               static_cast<uint8_t>(std::clamp(data2, 0, 127)));
    if (blockFrames_ <= 0)
    {
        SendMidiMessage(message);
        return;
    }
    outbox_.push_back({message, static_cast<int>(outbox_.size())});
}

void Tobel::SendEvents(std::vector<OutputNote*>& notes)
{
    IEffectLockGuard guard(plugLock_);
    const double volume = GetParameter(param::kGlobalVolume)->Value();
    for (OutputNote* record : notes)
    {
        if (record == nullptr) continue;
        const double raw = std::trunc(static_cast<double>(record->velocity) + volume - 64.0);
        const int velocity =
            raw >= 127.0 ? 127 : (raw < 1.0 || !std::isfinite(raw) ? 1 : static_cast<int>(raw));
        const int channel = std::clamp(record->channel, 1, 16) - 1;
        int note = record->overrideNote > 0 ? record->overrideNote : record->note;
        const int offset = static_cast<int>(Truncate(record->time));
        // A note outside the MIDI range is not sent (nor is its note-off).
        const bool noteValid = note >= 0 && note <= 127;
        if (record->muted)
        {
            // A muted step sends nothing; the engine still counts it as sent.
            (record->kind == OutputNote::kNoteOn ? record->noteOnSent : record->noteOffSent) = true;
            continue;
        }
        if (record->kind != OutputNote::kNoteOn)
        {
            if (noteValid) SendToHost(offset, static_cast<uint8_t>(0x80 + channel), note, 127);
            record->noteOffSent = true;
            continue;
        }
        if (noteValid && !record->suppressNoteOn && !record->sendOnlyControllers)
            SendToHost(offset, static_cast<uint8_t>(0x90 + channel), note, velocity);
        // The controller lanes go with the note (also when the note-on itself is suppressed),
        // gated by the lanes' on/off switches of the note's step in its key area's current
        // pattern.
        const PatternEngine* area = Area(record->keyArea);
        const int step = std::clamp(record->stepNumber, 0, param::kStepCount - 1);
        for (int i = 0; i < OutputNote::kControllerCount && area != nullptr; ++i)
        {
            const int number = GetControllerLaneNumber(record->keyArea * 8 + i);
            if (number < 0) continue;
            const int pattern = area->GetStepper().GetCurrentPattern();
            const IParameter* onOff =
                GetParameter(param::StepOnOff(record->keyArea, pattern, param::kNoteLaneCount + i, step));
            if (onOff == nullptr || onOff->Value() == 0.0) continue;
            SendToHost(offset, static_cast<uint8_t>(0xB0 + channel), number,
                       std::clamp(record->controllers[i], 0, 127));
        }
        record->noteOnSent = true;
    }
}

void Tobel::SendControllerTeachValue(int value, int number, int offset, int channel)
{
    IMidiMessage message;
    message.MakeControllerMessage(std::clamp(number, 0, 127), std::clamp(value, 0, 127) / 127.0,
                                  std::clamp(channel, 1, 16) - 1);
    SendToHost(offset, message.status, message.data1, message.data2);
}

void Tobel::Panic(double offset)
{
    IEffectLockGuard guard(plugLock_);
    const int at = static_cast<int>(offset);
    for (int channel = 0; channel < 16; ++channel)
        SendToHost(at, static_cast<uint8_t>(0xB0 + channel), kAllNotesOffController, 0);
    engine_->GetNoteEngine()->AllNotesOff(at);
}

void Tobel::RequestPanic()
{
    IEffectLockGuard guard(plugLock_);
    engine_->GetNoteEngine()->Panic(0);
}
