#include "engine/PatternEngine.h"

#include "engine/ActionDispatcher.h"
#include "engine/ChordMemory.h"
#include "engine/ControlTargetTable.h"
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
constexpr int kMaxStepsInScene = 32;
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

// --- Note input ---------------------------------------------------------------------

bool PatternEngine::NoteOn(int note, int velocity, int /*offset*/)
{
    if (!IsNote(note))
        return false;
    if (hold_ || holdSync_)
    {
        HoldState& state = hold_ ? holdState_ : playState_;
        if (!state.Add(note, velocity))
            return false;
    }
    if (held_.IsEmpty())
        running_ = true;
    if (stepper_->FlagNewNote())
        octave_ = 0;
    NoteRecord* existing = held_.Find(note);
    const bool takenBack = existing != nullptr && existing->released;
    if (held_.Add(note, velocity, false) == nullptr && !takenBack)
        return false;
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
            if (NoteRecord* r = held_.Find(note))
                r->released = true;
            return false;
        }
    }
    else if (holdSync_)
    {
        const bool inChord = playState_.InChord(note);
        if (playState_.Release(note))
        {
            if (!inChord)
                return false; // a collected key: applied at the next sync point
            if (!playState_.AnyChordKeyDown() && held_.Contains(note))
            {
                // The chord's last key: the chord sounds on until the next sync point.
                for (const HoldState::Key& k : playState_.Chord())
                    if (NoteRecord* r = held_.Find(k.note))
                        r->released = true;
                retriggerPending_ = true;
                return false;
            }
            playState_.Remove(note);
        }
    }
    if (!held_.Contains(note))
        return false;
    heldCount_ = std::max(0, heldCount_ - 1);
    ReleaseNote(position, note, offset, false);
    CurrentSortOrder();
    return true;
}

bool PatternEngine::ReleaseNote(double position, int note, double offset, bool keep)
{
    if (!IsNote(note) || !held_.Contains(note))
        return false;
    held_.Remove(note);
    ReportNoteCounts();
    if (!held_.IsEmpty())
        return false;
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
        if (!keep)
            stepper_->ResetOrderLane();
    }
}

// --- Hold ----------------------------------------------------------------------------

void PatternEngine::DropHeldNote(int note)
{
    if (held_.Remove(note))
        ReportNoteCounts();
}

bool PatternEngine::ApplyHoldState(HoldState& state, double offset)
{
    const bool collected = state.GetPhase() == HoldState::kCollecting && !state.Collect().empty();
    if (!collected)
    {
        if (!retriggerPending_)
            return false;
        // The latched chord ends: every note of the state is let go.
        retriggerPending_ = false;
        for (const HoldState::Key& k : state.Chord())
            if (!k.down)
                Notes().DecrementNoteCount(inChannel_, k.note);
        state.Clear();
        held_.Clear();
        heldCount_ = 0;
        ReportNoteCounts();
        RunEnded(transport_.samplePosition + offset, offset, false);
        return true;
    }

    // The old chord leaves; keys already up give back their counts.
    for (const HoldState::Key& k : state.Chord())
        if (!k.down && !state.InCollect(k.note))
            Notes().DecrementNoteCount(inChannel_, k.note);
    held_.Clear();
    const std::vector<HoldState::Key>& keys = state.Collect();
    if (hold_ && holdTranspose_ && !state.Remembered().empty())
    {
        // The first chord, moved by the difference of the lowest notes.
        const auto lowest = [](const std::vector<HoldState::Key>& list) {
            int low = kNoteCount;
            for (const HoldState::Key& k : list)
                low = std::min(low, k.note);
            return low;
        };
        const int move = lowest(keys) - lowest(state.Remembered());
        for (const HoldState::Key& k : state.Remembered())
            if (NoteRecord* r = held_.Add(k.note + move, k.velocity, true))
                r->transpose = move;
    }
    else
    {
        for (const HoldState::Key& k : keys)
            if (NoteRecord* r = held_.Add(k.note, k.velocity, false))
                r->released = !k.down;
    }
    state.TakeCollected();
    heldCount_ = held_.Count();
    retriggerPending_ = false;
    CurrentSortOrder();
    ReportNoteCounts();
    if (held_.IsEmpty())
        RunEnded(transport_.samplePosition + offset, offset, true);
    return true;
}

void PatternEngine::SetHold(bool on)
{
    if (on == hold_)
        return;
    if (!on)
    {
        hold_ = false;
        stepsInScene_ = 0;
        const bool heldNothing = holdState_.Chord().empty() && holdState_.Collect().empty();
        // Keys already up give back their counts; notes no key holds leave.
        for (const HoldState::Key& k : holdState_.Chord())
            if (!k.down)
                Notes().DecrementNoteCount(inChannel_, k.note);
        for (const HoldState::Key& k : holdState_.Collect())
            if (!k.down && !holdState_.InChord(k.note))
                Notes().DecrementNoteCount(inChannel_, k.note);
        std::vector<int> drop;
        for (const NoteRecord* r : held_.Ordered())
            if (r->released)
                drop.push_back(r->note);
        const double position = transport_.samplePosition;
        for (int note : drop)
        {
            heldCount_ = std::max(0, heldCount_ - 1);
            ReleaseNote(position, note, 0.0, false);
        }
        if (heldNothing)
            if (ActionDispatcher* d = host_.GetDispatcher())
                d->Dispatch(ActionDispatcher::kClearMarkers);
        CurrentSortOrder();
        holdState_.Clear();
        playState_.Clear();
        retriggerPending_ = false;
        return;
    }
    hold_ = true;
    if (playState_.GetPhase() == HoldState::kCollecting)
    {
        playState_.TakeCollected();
        holdState_.SetChord(playState_.Chord());
        return;
    }
    std::vector<HoldState::Key> keys;
    for (const NoteRecord* r : held_.Ordered())
        if (!r->released)
            keys.push_back({r->note, r->velocity, true});
    holdState_.SetChord(keys);
}

void PatternEngine::SetHoldTranspose(bool on)
{
    holdBypass_ = false;
    holdTranspose_ = on;
    holdState_.SetKeep(on);
}

void PatternEngine::SetHoldBypass(bool on)
{
    holdTranspose_ = false;
    holdBypass_ = false;
    holdState_.SetKeep(false);
    holdBypass_ = on;
}

void PatternEngine::SetHoldSync(bool on)
{
    if (on == holdSync_)
        return;
    holdSync_ = on;
    if (!on)
    {
        playState_.Clear();
        retriggerPending_ = false;
        return;
    }
    std::vector<HoldState::Key> keys;
    for (const NoteRecord* r : held_.Ordered())
        keys.push_back({r->note, r->velocity, !r->released});
    playState_.SetChord(keys);
}

bool PatternEngine::SetHoldSyncSteps(int steps)
{
    if (steps < 1)
        return false;
    holdSyncSteps_ = steps;
    return true;
}

// --- Settings ------------------------------------------------------------------------

void PatternEngine::SetEnabled(bool on)
{
    if (on == enabled_)
        return;
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
    if (!(running_ && enabled_))
        sceneIndex_ = 0;
}

bool PatternEngine::SetSortOrder(int pattern, int choice)
{
    const SortOrderChoice* order = GetSortOrder(choice);
    if (order == nullptr || !stepper_->SetPatternOrder(pattern, order->walkMode, order->sortMode))
        return false;
    sortMode_ = order->sortMode;
    if (pattern == stepper_->GetCurrentPattern())
        CurrentSortOrder();
    return true;
}

bool PatternEngine::SetPatternOctaves(int pattern, int octaves)
{
    if (octaves < 1 || octaves > kMaxOctaves)
        return false;
    return stepper_->SetPatternOctaves(pattern, octaves);
}

bool PatternEngine::SetSceneStepField(int step, int field, int value)
{
    if (step < 0 || step >= kSceneStepCount)
        return false;
    SceneStep& s = scene_[static_cast<size_t>(step)];
    switch (field)
    {
    case 0:
        if (value < 1 || value > kMaxStepsInScene)
            return false;
        s.length = value;
        return true;
    case 1:
        if (value < 0 || value >= kPatternCount)
            return false;
        s.pattern = value;
        return true;
    case 2:
        if (value < 0 || value > kMaxStepsInScene)
            return false;
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
    if (step < 0 || step >= kSceneStepCount)
        return false;
    sceneEnd_ = step;
    if (sceneIndex_ > sceneEnd_)
        sceneIndex_ = 0;
    return true;
}

bool PatternEngine::SetMidiInChannel(int channel)
{
    if (channel < 1 || channel > kChannelCount)
        return false;
    inChannel_ = channel;
    return true;
}

bool PatternEngine::SetMidiOutChannel(int channel)
{
    if (channel < 1 || channel > kChannelCount)
        return false;
    outChannel_ = channel;
    return true;
}

bool PatternEngine::SetStartNote(int note)
{
    if (note < -1 || note >= kNoteCount)
        return false;
    startNote_ = note;
    return true;
}

bool PatternEngine::SetEndNote(int note)
{
    if (note < -1 || note >= kNoteCount)
        return false;
    endNote_ = note;
    return true;
}

bool PatternEngine::SetBaseNote(int note)
{
    if (note < -1 || note >= kNoteCount)
        return false;
    baseNote_ = note;
    return true;
}

bool PatternEngine::SetVolume(double volume)
{
    if (!std::isfinite(volume) || volume < -1.0 || volume > 1.0)
        return false;
    volume_ = volume;
    return true;
}

bool PatternEngine::SetVelocityMode(int mode)
{
    if (mode < VelocityCalculator::kFixed || mode > VelocityCalculator::kAverage)
        return false;
    velocity_.SetMode(mode);
    return true;
}

bool PatternEngine::SetArpOnNoteCount(int count)
{
    if (count < 1 || count > 4)
        return false;
    arpOnNoteCount_ = count;
    return true;
}

// --- Pattern changes --------------------------------------------------------------

bool PatternEngine::ChangePattern(int pattern)
{
    const ControlTargetTable* table = host_.GetControlTargetTable();
    int point = table != nullptr ? table->GetSyncSteps() : 0;
    if (point < 0)
        point = PatternLength();
    return ChangePatternAt(pattern, point);
}

bool PatternEngine::ChangePatternAt(int pattern, int switchPoint)
{
    if (pattern < 0 || pattern >= kPatternCount)
        return false;
    if (pattern != stepper_->GetCurrentPattern() && !sceneOn_ && running_)
    {
        queued_ = true;
        queuedPoint_ = std::max(0, switchPoint);
        queuedPattern_ = pattern;
        queuedSteps_ = 0;
        return true;
    }
    stepper_->SetCurrentPattern(pattern);
    CurrentSortOrder();
    return false;
}

bool PatternEngine::SwitchToPattern(int pattern, double position, double samplesPerBeat, double offset)
{
    if (pattern < 0 || pattern >= kPatternCount)
        return false;
    octave_ = 0;
    stepCounter_ = 0;
    running_ = true;
    stepper_->SwitchPattern(pattern, position, samplesPerBeat, offset);
    CurrentSortOrder();
    if (selected_)
        if (ActionDispatcher* d = host_.GetDispatcher())
            d->Dispatch(ActionDispatcher::kShowCurrentPattern);
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
            const int slot = std::clamp(played->note - std::max(0, startNote_), 0, ChordMemory::kSlotCount - 1);
            ChordMemorySlot* s = memory != nullptr ? memory->GetSlot(slot) : nullptr;
            if (s == nullptr)
                continue;
            for (const NoteRecord* n : s->MoveTo(played).Ordered())
                if (!merged_.Contains(n->note))
                    merged_.Add(n->note, n->velocity, false);
        }
        source = &merged_;
    }
    else if (r.source >= 1)
    {
        ChordMemory* memory = host_.GetChordMemory();
        ChordMemorySlot* slot = memory != nullptr ? memory->GetSlot(r.source - 1) : nullptr;
        if (slot == nullptr)
            return;
        source = &slot->MoveTo(held_.Lowest());
    }
    stepper_->SetNoteSource(source);

    const int chord = r.chord & 0xff;
    if (chord == 0)
    {
        if (event.divisionIndex == 0 && stepper_->AdvanceOrder())
        {
            const int octaves = std::max(1, stepper_->GetCurrentPatternRecord().octaves);
            if (++octave_ >= octaves)
                octave_ = 0;
        }
        const NoteRecord* picked = stepper_->PickNote();
        if (picked == nullptr)
            return;
        r.note = picked->note + 12 * octave_;
        r.velocity = picked->velocity;
        r.orderPosition = picked->orderPosition;
        if (OutputNote* out = BuildStepNote(r, event.sampleTime))
        {
            out->eventSequence = event.sequence;
            event.sounding.push_back({out->note, true});
        }
        return;
    }
    const int count = std::min(kChordNotes, source->Count());
    for (int i = 0; i < count; ++i)
    {
        if ((chord & (1 << (7 - i))) == 0)
            continue;
        const NoteRecord* n = source->At(i);
        NoteRecord copy = r;
        copy.note = n->note;
        copy.velocity = n->velocity;
        copy.orderPosition = n->orderPosition;
        if (OutputNote* out = BuildStepNote(copy, event.sampleTime))
        {
            out->eventSequence = event.sequence;
            event.sounding.push_back({out->note, true});
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
    if (out == nullptr)
        return nullptr;
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
        if (!s.active)
            continue;
        s.active = false;
        OutputNote* out = Notes().NewOutputNote();
        if (out == nullptr)
            continue;
        out->note = s.note;
        out->velocity = 127;
        out->time = std::max(0.0, event.sampleTime);
        out->kind = OutputNote::kNoteOff;
        out->channel = outChannel_;
        out->keyArea = area_;
        out->stepNumber = std::clamp(event.record.stepNumber, 0, kStepCount - 1);
        out->muted = event.record.muted;
        out->eventSequence = event.sequence;
        pending_.push_back(out);
    }
}

void PatternEngine::SceneStepEnded(double offset)
{
    stepsInScene_ = 0;
    const SceneStep& current = scene_[static_cast<size_t>(sceneIndex_)];
    const double position = transport_.samplePosition + offset;
    if (repeatsDone_ >= current.repeat)
    {
        const int oldPattern = current.pattern;
        sceneIndex_ = sceneIndex_ + 1 > sceneEnd_ ? 0 : sceneIndex_ + 1;
        repeatsDone_ = 0;
        const int newPattern = scene_[static_cast<size_t>(sceneIndex_)].pattern;
        if (newPattern != oldPattern)
        {
            stepper_->ResetLanes(oldPattern);
            stepper_->ResetLanes(newPattern);
            SwitchToPattern(newPattern, position, samplesPerBeat_, offset);
        }
        return;
    }
    ++repeatsDone_;
    stepper_->ResetLanes(current.pattern);
    SwitchToPattern(current.pattern, position, samplesPerBeat_, offset);
}

void PatternEngine::OnStepAdvanced(int /*step*/, double /*time*/, double samplesPerBeat, double offset)
{
    ++stepsInScene_;
    ++stepCounter_;
    bool applied = false;
    if (hold_ || holdSync_)
    {
        ++holdSyncCount_;
        const int every = std::max(1, holdSyncSteps_ > kMaxStepsInScene ? PatternLength() : holdSyncSteps_);
        // The step counter returns to 0 at the pattern length, so a sync
        // point beyond it is reached by counting the steps since the last one.
        if (stepCounter_ % every == 0 || holdSyncCount_ >= every)
        {
            holdSyncCount_ = 0;
            applied = ApplyHoldState(hold_ ? holdState_ : playState_, offset);
        }
    }
    // The last key of a hold-sync chord went up: the chord (or the one
    // collected since) is settled at the next step, not at the sync point.
    if (retriggerPending_ && !applied)
        ApplyHoldState(hold_ ? holdState_ : playState_, offset);
    if (sceneOn_ && stepsInScene_ >= scene_[static_cast<size_t>(sceneIndex_)].length)
        SceneStepEnded(offset);
    else if (queued_)
    {
        ++queuedSteps_;
        // Within the given number of steps also where the switch point lies
        // beyond the pattern length (the step counter never reaches it).
        if (queuedPoint_ <= 0 || stepCounter_ % queuedPoint_ == 0 || queuedSteps_ >= queuedPoint_)
        {
            queued_ = false;
            if (queuedPattern_ != stepper_->GetCurrentPattern())
                SwitchToPattern(queuedPattern_, transport_.samplePosition + offset, samplesPerBeat, offset);
        }
    }
    if (stepCounter_ >= PatternLength())
        stepCounter_ = 0;
    if (stepsInScene_ >= kMaxStepsInScene)
        stepsInScene_ = 0;
}

void PatternEngine::OnCycleEnd(int /*step*/, double startTime)
{
    if (queued_ && queuedPoint_ <= 0)
    {
        queued_ = false;
        if (queuedPattern_ != stepper_->GetCurrentPattern())
        {
            const double offset = std::max(0.0, startTime - transport_.samplePosition);
            SwitchToPattern(queuedPattern_, startTime, samplesPerBeat_, offset);
        }
    }
    if (retriggerPending_)
        ApplyHoldState(hold_ ? holdState_ : playState_, std::max(0.0, startTime - transport_.samplePosition));
    if (stepCounter_ >= PatternLength())
        stepCounter_ = 0;
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
    if (!pending_.empty())
        return 0;
    if (held_.IsEmpty())
        return playing_ ? 0 : length;
    // A new tempo is taken by the next clock call.
    if (samplesPerBeat != samplesPerBeat_)
        return 0;
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
            if (!k.down)
                Notes().DecrementNoteCount(inChannel_, k.note);
        state->Clear();
    }
    stepper_->Restart(-1.0, offset);
    FlushPending();
    held_.Clear();
    ReportNoteCounts();
    heldCount_ = 0;
    playing_ = false;
}
