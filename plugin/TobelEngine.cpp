// Tobel: the engine road. MIDI notes from the host go to the note engine
// (notes no key area takes are passed on after the block), each block runs
// the engine's processor against the host clock, and the generated notes come
// back through SendEvents as MIDI messages to the host.
#include "plugin/Tobel.h"

#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/NoteEngine.h"
#include "engine/OutputNote.h"
#include "engine/PatternEngine.h"
#include "plugin/ParameterIndex.h"

#include <algorithm>
#include <cstring>

using namespace quova;

void Tobel::ProcessAudioBlock(double**, double** outputs, int frames)
{
    IPlugLockGuard guard(plugLock_);
    if (frames < 1)
        return;
    // A MIDI effect: the two outputs stay silent.
    for (int c = 0; c < NOutChannels() && outputs != nullptr; ++c)
        if (outputs[c] != nullptr)
            std::memset(outputs[c], 0, sizeof(double) * static_cast<size_t>(frames));

    blockFrames_ = frames;
    UpdateTransportInfo();
    // One host family restarts its sample position at every start; there the
    // engine keeps its own clock from the first position it sees.
    const bool ownPosition = GetHostId() == kHostCubase;
    app_->ProcessBlock(transport_.samplePosition, 0.0, transport_.samplesPerBeat, transport_.playing,
                       transport_.loop, transport_.loopStart, transport_.loopEnd, frames, ownPosition);

    for (const IMidiMessage& message : passThrough_)
        SendMidiMessage(message);
    passThrough_.clear();
    blockFrames_ = 0;
}

void Tobel::HandleMidiMessage(const IMidiMessage& message)
{
    IPlugLockGuard guard(plugLock_);
    NoteEngine& notes = *engine_->GetNoteEngine();
    const int kind = message.GetStatusKind();
    const int channel = message.GetChannel() + 1;
    const int note = message.GetData1();
    const int offset = std::max(0, static_cast<int>(message.offset));
    if (kind == IMidiMessage::kNoteOn && message.data2 > 0)
    {
        if (notes.NoteOn(channel, note, message.data2, offset) == 0)
            passThrough_.push_back(message);
    }
    else if (kind == IMidiMessage::kNoteOn || kind == IMidiMessage::kNoteOff)
    {
        if (!notes.NoteOff(channel, note, offset))
            passThrough_.push_back(message);
    }
    else
    {
        SendMidiMessage(message);
    }
}

void Tobel::SendToHost(int offset, uint8_t status, int data1, int data2)
{
    if (blockFrames_ > 0)
        offset = std::clamp(offset, 0, blockFrames_ - 1);
    SendMidiMessage(IMidiMessage(std::max(0, offset), status, static_cast<uint8_t>(data1),
                                 static_cast<uint8_t>(data2)));
}

void Tobel::SendEvents(std::vector<OutputNote*>& notes)
{
    IPlugLockGuard guard(plugLock_);
    const double volume = GetParameter(param::kGlobalVolume)->Value();
    for (OutputNote* record : notes)
    {
        if (record == nullptr)
            continue;
        const double raw = static_cast<double>(record->velocity) + volume - 64.0;
        const int velocity = raw >= 127.0 ? 127 : (raw < 1.0 ? 1 : static_cast<int>(raw));
        const int note = record->overrideNote > 0 ? record->overrideNote : record->note;
        const int channel = std::clamp(record->channel, 1, 16) - 1;
        const int offset = static_cast<int>(record->time);
        // A note outside the MIDI range is not sent (its note-off is not either).
        const bool noteValid = note >= 0 && note <= 127;
        if (record->muted)
        {
            // A muted step sends nothing; the engine still counts it as sent.
            (record->kind == OutputNote::kNoteOn ? record->noteOnSent : record->noteOffSent) = true;
            continue;
        }
        if (record->kind == OutputNote::kNoteOn)
        {
            if (noteValid && !record->suppressNoteOn && !record->sendOnlyControllers)
                SendToHost(offset, static_cast<uint8_t>(0x90 + channel), note, velocity);
            PatternEngine* area = Area(record->keyArea);
            const int step = std::clamp(record->stepNumber, 0, param::kStepCount - 1);
            for (int i = 0; i < OutputNote::kControllerCount && area != nullptr; ++i)
            {
                const int number = GetControllerLaneNumber(record->keyArea * 8 + i);
                if (number < 0)
                    continue;
                const int pattern = area->GetStepper().GetCurrentPattern();
                const int onOff = param::StepOnOff(record->keyArea, pattern, param::kNoteLaneCount + i, step);
                if (GetParameter(onOff)->Value() == 0.0)
                    continue;
                SendToHost(offset, static_cast<uint8_t>(0xB0 + channel), number,
                           std::clamp(record->controllers[i], 0, 127));
            }
            record->noteOnSent = true;
        }
        else
        {
            if (noteValid)
                SendToHost(offset, static_cast<uint8_t>(0x80 + channel), note, 127);
            record->noteOffSent = true;
        }
    }
}
