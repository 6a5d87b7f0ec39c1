// The arpeggiator of one key area: note input, settings, step notes and block
// processing (hold states, pattern changes and the counting of sync and switch
// points are in HoldAndSwitchPoints.cpp).
#include "engine/PatternEngine.h"

#include "engine/ActionDispatcher.h"
#include "engine/ChordMemory.h"
#include "engine/EngineHost.h"
#include "engine/Lanes.h"
#include "engine/NoteEngine.h"
#include "engine/OutputNote.h"
#include "engine/SortOrder.h"
#include "engine/TransportState.h"

#include <algorithm>
#include <cmath>

using namespace quova;

namespace
{
constexpr int kNoteCount = 128;
constexpr int kChannelCount = 16;
constexpr int kChordNotes = 8;
constexpr int kMaxOctaves = 10;
// Held-note records made with the key area, before any note arrives.
constexpr int kPreparedNotes = 16;

bool IsNote(int note)
{
    return note >= 0 && note < kNoteCount;
}
} // namespace

PatternEngine::PatternEngine(int areaIndex, TransportState& transport, EngineHost& host)
    : transport_(transport), host_(host), area_(areaIndex), velocity_(this, VelocityCalculator::kNote)
{
    pending_.reserve(256);
    // The records of a chord's worth of held notes are made now, not when the
    // notes arrive on the audio thread.
    held_.PrepareRecords(kPreparedNotes);
    stepper_ = std::make_unique<PatternStepper>(transport, &merged_, this, &host);
}

PatternEngine::~PatternEngine()
{
    // Notes still waiting for the note engine go back to its pool.
    if (NoteEngine* notes = host_.GetNoteEngine())
        for (OutputNote* out : pending_)
            notes->RecycleOutputNote(out);
}

NoteEngine& PatternEngine::Notes() const
{
    return *host_.GetNoteEngine();
}

int PatternEngine::PatternLength() const
{
    return std::max(1, stepper_->GetCurrentPatternLength());
}

void PatternEngine::ReportNoteCounts()
{
    if (ActionDispatcher* d = host_.GetDispatcher())
    {
        ActionArgument argument;
        argument.value = inChannel_;
        d->Dispatch(ActionDispatcher::kNoteCounts, argument);
    }
}

void PatternEngine::CurrentSortOrder()
{
    // The note order always follows the current pattern's sort mode.
    held_.ComputeOrder(stepper_->GetCurrentPatternRecord().sortMode);
}

// --- Matching -------------------------------------------------------------------

bool PatternEngine::InRange(int channel, int note) const
{
    return channel == inChannel_ && startNote_ >= 0 && note >= startNote_ && note <= endNote_;
}

bool PatternEngine::Accepts(int channel, int note) const
{
    return enabled_ && InRange(channel, note) && !(holdBypass_ && hold_);
}

bool PatternEngine::HasKeyDown(int channel, int note) const
{
    if (!IsNote(note) || channel != KeyChannel(note)) return false;
    const NoteRecord* r = held_.Find(note);
    if (r != nullptr && !r->released) return true;
    const auto down = [note](const std::vector<HoldState::Key>& keys)
    {
        return std::any_of(keys.begin(), keys.end(),
                           [note](const HoldState::Key& k) { return k.note == note && k.down; });
    };
    for (const HoldState* state : {&holdState_, &playState_})
        if (down(state->Chord()) || down(state->Collect())) return true;
    return false;
}

bool PatternEngine::KeepsKey(int note) const
{
    const HoldState* state = hold_ ? &holdState_ : (holdSync_ ? &playState_ : nullptr);
    return state != nullptr && (state->InChord(note) || state->InCollect(note));
}

// --- Note input ---------------------------------------------------------------------

bool PatternEngine::NoteOn(int note, int velocity, int /*offset*/)
{
    if (!IsNote(note)) return false;
    keyChannel_[static_cast<size_t>(note)] = inChannel_;
    if (hold_ || holdSync_)
    {
        HoldState& state = hold_ ? holdState_ : playState_;
        if (!state.Add(note, velocity)) return false;
    }
    if (held_.IsEmpty()) running_ = true;
    if (stepper_->FlagNewNote()) octave_ = 0;
    NoteRecord* existing = held_.Find(note);
    const bool takenBack = existing != nullptr && existing->released;
    if (held_.Add(note, velocity, false) == nullptr && !takenBack) return false;
    ++heldCount_;
    CurrentSortOrder();
    return true;
}

bool PatternEngine::NoteOff(double position, int note, int offset)
{
    if (hold_)
    {
        // Hold keeps the keys it knows; the note engine keeps their counts.
        if (holdState_.Release(note))
        {
            if (NoteRecord* r = held_.Find(note)) r->released = true;
            return false;
        }
    }
    else if (holdSync_)
    {
        const bool inChord = playState_.InChord(note);
        if (playState_.Release(note))
        {
            if (!inChord) return false; // a collected key: applied at the next sync point
            if (!playState_.AnyChordKeyDown() && held_.Contains(note))
            {
                // The chord's last key: the chord sounds on until the next sync point.
                for (const HoldState::Key& k : playState_.Chord())
                    if (NoteRecord* r = held_.Find(k.note)) r->released = true;
                retriggerPending_ = true;
                return false;
            }
            playState_.Remove(note);
        }
    }
    if (!held_.Contains(note)) return false;
    heldCount_ = std::max(0, heldCount_ - 1);
    ReleaseNote(position, note, offset, false);
    CurrentSortOrder();
    return true;
}

bool PatternEngine::ReleaseNote(double position, int note, double offset, bool keep)
{
    if (!IsNote(note) || !held_.Contains(note)) return false;
    held_.Remove(note);
    ReportNoteCounts();
    if (!held_.IsEmpty()) return false;
    RunEnded(position, offset, keep);
    return false;
}

void PatternEngine::RunEnded(double position, double offset, bool keep)
{
    sceneIndex_ = 0;
    stepsInScene_ = 0;
    repeatsDone_ = 0;
    stepCounter_ = 0;
    holdSyncCount_ = 0;
    octave_ = 0;
    if (!hold_ && !holdSync_)
    {
        // Sounding notes end at the release; the next press starts a new run.
        stepper_->Restart(position, offset);
        running_ = false;
        FlushPending();
    }
    else
    {
        stepper_->EndAllEvents(offset);
        if (!keep) stepper_->ResetOrderLane();
    }
}

// --- Settings ------------------------------------------------------------------------

void PatternEngine::SetEnabled(bool on)
{
    if (on == enabled_) return;
    enabled_ = on;
    if (!on)
    {
        Stop(0.0);
        Notes().ReleaseArea(area_, inChannel_);
    }
}

void PatternEngine::SetSceneEnabled(bool on)
{
    sceneOn_ = on;
    repeatsDone_ = 0;
    if (!(running_ && enabled_)) sceneIndex_ = 0;
}

bool PatternEngine::SetSortOrder(int pattern, int choice)
{
    const SortOrderChoice* order = GetSortOrder(choice);
    if (order == nullptr || !stepper_->SetPatternOrder(pattern, order->walkMode, order->sortMode))
        return false;
    sortMode_ = order->sortMode;
    if (pattern == stepper_->GetCurrentPattern()) CurrentSortOrder();
    return true;
}

bool PatternEngine::SetPatternOctaves(int pattern, int octaves)
{
    if (octaves < 1 || octaves > kMaxOctaves) return false;
    return stepper_->SetPatternOctaves(pattern, octaves);
}

bool PatternEngine::SetSceneStepField(int step, int field, int value)
{
    if (step < 0 || step >= kSceneStepCount) return false;
    SceneStep& s = scene_[static_cast<size_t>(step)];
    switch (field)
    {
    case 0:
        if (value < 1 || value > kMaxStepsInScene) return false;
        s.length = value;
        return true;
    case 1:
        if (value < 0 || value >= kPatternCount) return false;
        s.pattern = value;
        return true;
    case 2:
        if (value < 0 || value > kMaxStepsInScene) return false;
        s.repeat = value;
        return true;
    default:
        return false;
    }
}

const PatternEngine::SceneStep* PatternEngine::GetSceneStep(int step) const
{
    return step >= 0 && step < kSceneStepCount ? &scene_[static_cast<size_t>(step)] : nullptr;
}

bool PatternEngine::SetSceneEnd(int step)
{
    if (step < 0 || step >= kSceneStepCount) return false;
    sceneEnd_ = step;
    if (sceneIndex_ > sceneEnd_) sceneIndex_ = 0;
    return true;
}

bool PatternEngine::SetMidiInChannel(int channel)
{
    if (channel < 1 || channel > kChannelCount) return false;
    inChannel_ = channel;
    return true;
}

bool PatternEngine::SetMidiOutChannel(int channel)
{
    if (channel < 1 || channel > kChannelCount) return false;
    outChannel_ = channel;
    return true;
}

bool PatternEngine::SetStartNote(int note)
{
    if (note < -1 || note >= kNoteCount) return false;
    startNote_ = note;
    return true;
}

bool PatternEngine::SetEndNote(int note)
{
    if (note < -1 || note >= kNoteCount) return false;
    endNote_ = note;
    return true;
}

bool PatternEngine::SetBaseNote(int note)
{
    if (note < -1 || note >= kNoteCount) return false;
    baseNote_ = note;
    return true;
}

bool PatternEngine::SetVolume(double volume)
{
    if (!std::isfinite(volume) || volume < -1.0 || volume > 1.0) return false;
    volume_ = volume;
    return true;
}

bool PatternEngine::SetVelocityMode(int mode)
{
    if (mode < VelocityCalculator::kFixed || mode > VelocityCalculator::kAverage) return false;
    velocity_.SetMode(mode);
    return true;
}

bool PatternEngine::SetArpOnNoteCount(int count)
{
    if (count < 1 || count > 4) return false;
    arpOnNoteCount_ = count;
    return true;
}

// --- Steps -------------------------------------------------------------------------

void PatternEngine::OnStep(StepEvent& event)
{
    NoteRecord& r = event.record;
    NoteList* source = &held_;
    if (chordMemoryTrigger_)
    {
        // Each held note selects a slot by its distance from the key range's
        // start; the slots' chords, moved onto their notes, merge into one.
        merged_.Clear();
        ChordMemory* memory = host_.GetChordMemory();
        for (const NoteRecord* played : held_.Ordered())
        {
            const int slot =
                std::clamp(played->note - std::max(0, startNote_), 0, ChordMemory::kSlotCount - 1);
            ChordMemorySlot* s = memory != nullptr ? memory->GetSlot(slot) : nullptr;
            if (s == nullptr) continue;
            for (const NoteRecord* n : s->MoveTo(played).Ordered())
                if (!merged_.Contains(n->note)) merged_.Add(n->note, n->velocity, false);
        }
        source = &merged_;
    }
    else if (r.source >= 1)
    {
        ChordMemory* memory = host_.GetChordMemory();
        ChordMemorySlot* slot = memory != nullptr ? memory->GetSlot(r.source - 1) : nullptr;
        if (slot == nullptr) return;
        source = &slot->MoveTo(held_.Lowest());
    }
    stepper_->SetNoteSource(source);

    const int chord = r.chord & 0xff;
    if (chord == 0)
    {
        if (event.divisionIndex == 0 && stepper_->AdvanceOrder())
        {
            const int octaves = std::max(1, stepper_->GetCurrentPatternRecord().octaves);
            if (++octave_ >= octaves) octave_ = 0;
        }
        const NoteRecord* picked = stepper_->PickNote();
        if (picked == nullptr) return;
        r.note = picked->note + 12 * octave_;
        r.velocity = picked->velocity;
        r.orderPosition = picked->orderPosition;
        if (OutputNote* out = BuildStepNote(r, event.sampleTime))
        {
            out->eventSequence = event.sequence;
            event.sounding.push_back({out->note, true, out->channel});
        }
        return;
    }
    const int count = std::min(kChordNotes, source->Count());
    for (int i = 0; i < count; ++i)
    {
        if ((chord & (1 << (7 - i))) == 0) continue;
        const NoteRecord* n = source->At(i);
        NoteRecord copy = r;
        copy.note = n->note;
        copy.velocity = n->velocity;
        copy.orderPosition = n->orderPosition;
        if (OutputNote* out = BuildStepNote(copy, event.sampleTime))
        {
            out->eventSequence = event.sequence;
            event.sounding.push_back({out->note, true, out->channel});
        }
    }
}

OutputNote* PatternEngine::BuildStepNote(NoteRecord& r, double time)
{
    int v = velocity_.Velocity(held_, r);
    v = static_cast<int>(std::trunc(volume_ * 127.0 + v));
    v = std::clamp(v, 0, 127);
    const int d = r.transpose + stepper_->GetCurrentPatternRecord().transpose;
    const int note = std::clamp(r.note, 0, kNoteCount - 1);
    const int moved = transposeAsSemitones_ ? scale_.Quantize(note, d) : scale_.MoveByDegrees(note, d);
    r.move = moved - note;
    const int keyOffset = (baseNote_ >= 0 && startNote_ >= 0) ? baseNote_ - startNote_ : 0;
    OutputNote* out = Notes().NewOutputNote();
    if (out == nullptr) return nullptr;
    out->note = std::clamp(note + r.move + keyOffset, 0, kNoteCount - 1);
    out->move = r.move;
    out->velocity = v;
    out->time = std::max(0.0, time);
    out->kind = OutputNote::kNoteOn;
    out->channel = outChannel_;
    out->sendOnlyControllers = sendOnlyControllers_;
    for (int c = 0; c < OutputNote::kControllerCount; ++c)
        out->controllers[c] = r.controllers[c];
    out->overrideNote = r.overrideNote;
    out->keyArea = area_;
    out->stepNumber = std::clamp(r.stepNumber, 0, kStepCount - 1);
    out->muted = r.muted;
    r.sourceNote = r.note;
    r.note = out->note;
    pending_.push_back(out);
    return out;
}

void PatternEngine::OnStepEnd(StepEvent& event)
{
    for (StepEvent::Sounding& s : event.sounding)
    {
        if (!s.active) continue;
        s.active = false;
        OutputNote* out = Notes().NewOutputNote();
        if (out == nullptr) continue;
        out->note = s.note;
        out->velocity = 127;
        out->time = std::max(0.0, event.sampleTime);
        out->kind = OutputNote::kNoteOff;
        out->channel = s.channel;
        out->keyArea = area_;
        out->stepNumber = std::clamp(event.record.stepNumber, 0, kStepCount - 1);
        out->muted = event.record.muted;
        out->eventSequence = event.sequence;
        pending_.push_back(out);
    }
}

// --- Blocks ------------------------------------------------------------------------

void PatternEngine::FlushPending()
{
    NoteEngine& notes = Notes();
    for (OutputNote* out : pending_)
    {
        out->keyArea = area_;
        out->time = std::max(0.0, out->time);
        if (out->kind == OutputNote::kNoteOn)
            notes.QueueOutputNoteOn(out);
        else
            notes.QueueOutputNoteOff(out);
    }
    pending_.clear();
}

void PatternEngine::ProcessBlock(double position, double length, double samplesPerBeat, double offset)
{
    if (held_.IsEmpty())
    {
        playing_ = false;
        FlushPending();
        return;
    }
    playing_ = true;
    const bool tempoChanged = samplesPerBeat != samplesPerBeat_;
    samplesPerBeat_ = samplesPerBeat;
    if (!stepper_->IsStarted())
    {
        stepper_->Start();
        // A scene run starts with its first scene step's pattern.
        if (sceneOn_ && sceneIndex_ == 0)
            SwitchToPattern(scene_[0].pattern, position, samplesPerBeat, offset);
    }
    else if (tempoChanged && stepper_->IsFreeRate())
        stepper_->ApplyCurrentStepLength();
    stepper_->Clock(position, length, samplesPerBeat, offset);
    FlushPending();
}

int PatternEngine::QuietFrames(double offset, int length, double samplesPerBeat) const
{
    if (!pending_.empty()) return 0;
    if (held_.IsEmpty()) return playing_ ? 0 : length;
    // A new tempo is taken by the next clock call.
    if (samplesPerBeat != samplesPerBeat_) return 0;
    return stepper_->QuietFrames(offset, length, samplesPerBeat);
}

void PatternEngine::Stop(double offset)
{
    running_ = false;
    if (queued_)
        stepper_->SetCurrentPattern(queuedPattern_);
    else if (sceneOn_)
        stepper_->SetCurrentPattern(scene_[0].pattern);
    octave_ = 0;
    queued_ = false;
    retriggerPending_ = false;
    sceneIndex_ = 0;
    stepsInScene_ = 0;
    repeatsDone_ = 0;
    stepCounter_ = 0;
    holdSyncCount_ = 0;
    // Notes kept by a hold state after their keys went up give back their counts.
    for (HoldState* state : {&holdState_, &playState_})
    {
        for (const HoldState::Key& k : state->Chord())
            if (!k.down) Notes().DecrementNoteCount(KeyChannel(k.note), k.note);
        state->Clear();
    }
    stepper_->Restart(-1.0, offset);
    FlushPending();
    held_.Clear();
    ReportNoteCounts();
    heldCount_ = 0;
    playing_ = false;
}
