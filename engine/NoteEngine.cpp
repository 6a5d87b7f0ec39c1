// The note engine's life and the operations that reach both of its sides: construction, the
// held-note counts, the clear when the host stops or nothing is held, and the panic's stop of every
// note. Its input side (recording and routing) is NoteEngineInput.cpp, its output side (collecting
// the generated notes) NoteEngineOutput.cpp.
#include "engine/NoteEngine.h"

#include "engine/ActionDispatcher.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/OutputNote.h"
#include "engine/PatternEngine.h"

#include <algorithm>

NoteEngine::NoteEngine(EngineHost& host)
    : host_(host), stepCounters_(static_cast<size_t>((kChannels + 1) * kNotes * kSteps), 0)
{
    // Reserved once so that the audio thread does not grow them in steady use.
    for (auto& list : sounding_)
        list.reserve(64);
    for (auto& list : queuedOn_)
        list.reserve(64);
    for (auto& list : queuedOff_)
        list.reserve(64);
    for (auto& list : raised_)
        list.reserve(kMaxRaised);
    released_.reserve(128);
    output_.reserve(256);
    deferredOffs_.reserve(64);
    dropped_.reserve(kMaxDropped);
    inbox_.reserve(128);
    scheduled_.reserve(128);
    free_.reserve(256);
    pool_.reserve(256);
    for (Waiting& w : waiting_)
    {
        w.events.reserve(kNotes);
        w.switchOff.reserve(kNotes);
    }
    for (Forecast& f : forecast_)
        f.waiting.reserve(kNotes);
    for (auto& notes : sentAs_)
        notes.fill(-1);
}

NoteEngine::~NoteEngine() = default;

int& NoteEngine::StepCounter(int channel, int note, int step)
{
    const size_t c = static_cast<size_t>(std::clamp(channel, 0, kChannels));
    const size_t n = static_cast<size_t>(std::clamp(note, 0, kNotes - 1));
    const size_t s = static_cast<size_t>(std::clamp(step, 0, kSteps - 1));
    return stepCounters_[(c * kNotes + n) * kSteps + s];
}

void NoteEngine::Report(int channel)
{
    if (ActionDispatcher* d = host_.GetDispatcher())
    {
        ActionArgument argument;
        argument.value = channel;
        d->Dispatch(ActionDispatcher::kNoteCounts, argument);
    }
}

void NoteEngine::ClearAll(double offset)
{
    idle_ = true;
    if (listener_ != nullptr) listener_->StopAll(offset);
    // Notes still due later in the block are kept: they are new input. The keys held back for an
    // area's note count (and those waiting to be switched off) are kept too: they are still down
    // and sound as played, and only their area's first note or their release ends them.
    released_.clear();
    for (auto& counts : noteCounts_)
        counts.fill(0);
    heldCount_ = 0;
    if (listener_ != nullptr) listener_->NotifyReset();
}

void NoteEngine::AllNotesOff(double offset)
{
    for (OutputNote* note : output_)
        RecycleOutputNote(note);
    output_.clear();
    heldCount_ = 0;
    KeyAreaList& areas = *host_.GetKeyAreas();
    for (int a = 0; a < kAreas; ++a)
        if (PatternEngine* area = areas.GetArea(a)) area->Stop(offset);
    for (auto& counts : noteCounts_)
        counts.fill(0);
    if (listener_ != nullptr) listener_->StopAll(offset);
}

void NoteEngine::IncrementNoteCount(int channel, int note)
{
    if (!IsChannel(channel) || !IsNote(note)) return;
    int& count = noteCounts_[static_cast<size_t>(channel - 1)][static_cast<size_t>(note)];
    if (count < 1)
    {
        ++count;
        Report(channel);
        ++heldCount_;
    }
}

void NoteEngine::DecrementNoteCount(int channel, int note)
{
    if (!IsChannel(channel) || !IsNote(note)) return;
    int& count = noteCounts_[static_cast<size_t>(channel - 1)][static_cast<size_t>(note)];
    if (count > 0)
    {
        --count;
        Report(channel);
        heldCount_ = std::max(0, heldCount_ - 1);
    }
}
