// PatternEngine: the hold states (hold, hold transpose, hold bypass and hold
// sync), pattern changes, and the step counting that reaches the hold-sync
// points, the ends of scene steps and the switch points of queued changes.
#include "engine/PatternEngine.h"

#include "engine/ActionDispatcher.h"
#include "engine/ControlTargetTable.h"
#include "engine/EngineHost.h"
#include "engine/Lanes.h"
#include "engine/NoteEngine.h"
#include "engine/TransportState.h"

#include <algorithm>
#include <vector>

using namespace quova;

// --- Hold ----------------------------------------------------------------------------

bool PatternEngine::ApplyHoldState(HoldState& state, double offset)
{
    const bool collected = state.GetPhase() == HoldState::kCollecting && !state.Collect().empty();
    if (!collected)
    {
        if (!retriggerPending_) return false;
        // The latched chord ends: every note of the state is let go.
        retriggerPending_ = false;
        for (const HoldState::Key& k : state.Chord())
            if (!k.down) Notes().DecrementNoteCount(KeyChannel(k.note), k.note);
        state.Clear();
        held_.Clear();
        heldCount_ = 0;
        ReportNoteCounts();
        RunEnded(transport_.samplePosition + offset, offset, false);
        return true;
    }

    // The old chord leaves; keys already up give back their counts.
    for (const HoldState::Key& k : state.Chord())
        if (!k.down && !state.InCollect(k.note)) Notes().DecrementNoteCount(KeyChannel(k.note), k.note);
    held_.Clear();
    const std::vector<HoldState::Key>& keys = state.Collect();
    if (hold_ && holdTranspose_ && !state.Remembered().empty())
    {
        // The first chord, moved by the difference of the lowest notes.
        const auto lowest = [](const std::vector<HoldState::Key>& list)
        {
            int low = NoteList::kNoteCount;
            for (const HoldState::Key& k : list)
                low = std::min(low, k.note);
            return low;
        };
        const int move = lowest(keys) - lowest(state.Remembered());
        for (const HoldState::Key& k : state.Remembered())
            if (NoteRecord* r = held_.Add(k.note + move, k.velocity, true)) r->transpose = move;
    }
    else
    {
        for (const HoldState::Key& k : keys)
            if (NoteRecord* r = held_.Add(k.note, k.velocity, false)) r->released = !k.down;
    }
    state.TakeCollected();
    heldCount_ = held_.Count();
    retriggerPending_ = false;
    CurrentSortOrder();
    ReportNoteCounts();
    if (held_.IsEmpty()) RunEnded(transport_.samplePosition + offset, offset, true);
    return true;
}

void PatternEngine::SetHold(bool on)
{
    if (on == hold_) return;
    if (!on)
    {
        hold_ = false;
        stepsInScene_ = 0;
        const bool heldNothing = holdState_.Chord().empty() && holdState_.Collect().empty();
        // Keys already up give back their counts; notes no key holds leave.
        for (const HoldState::Key& k : holdState_.Chord())
            if (!k.down) Notes().DecrementNoteCount(KeyChannel(k.note), k.note);
        for (const HoldState::Key& k : holdState_.Collect())
            if (!k.down && !holdState_.InChord(k.note))
                Notes().DecrementNoteCount(KeyChannel(k.note), k.note);
        std::vector<int> drop;
        for (const NoteRecord* r : held_.Ordered())
            if (r->released) drop.push_back(r->note);
        const double position = transport_.samplePosition + switchOffset_;
        for (int note : drop)
        {
            heldCount_ = std::max(0, heldCount_ - 1);
            ReleaseNote(position, note, switchOffset_, false);
        }
        if (heldNothing)
            if (ActionDispatcher* d = host_.GetDispatcher()) d->Dispatch(ActionDispatcher::kClearMarkers);
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
        if (!r->released) keys.push_back({r->note, r->velocity, true});
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
    holdState_.SetKeep(false);
    holdBypass_ = on;
}

void PatternEngine::SetHoldSync(bool on)
{
    if (on == holdSync_) return;
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
    if (steps < 1) return false;
    holdSyncSteps_ = steps;
    return true;
}

// --- Pattern changes --------------------------------------------------------------

bool PatternEngine::ChangePattern(int pattern)
{
    const ControlTargetTable* table = host_.GetControlTargetTable();
    int point = table != nullptr ? table->GetSyncSteps() : 0;
    if (point < 0) point = PatternLength();
    return ChangePatternAt(pattern, point);
}

bool PatternEngine::ChangePatternAt(int pattern, int switchPoint)
{
    if (pattern < 0 || pattern >= kPatternCount) return false;
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
    if (pattern < 0 || pattern >= kPatternCount) return false;
    octave_ = 0;
    stepCounter_ = 0;
    running_ = true;
    stepper_->SwitchPattern(pattern, position, samplesPerBeat, offset);
    CurrentSortOrder();
    if (selected_)
        if (ActionDispatcher* d = host_.GetDispatcher()) d->Dispatch(ActionDispatcher::kShowCurrentPattern);
    return true;
}

// --- Sync and switch points ---------------------------------------------------

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
    if (retriggerPending_ && !applied) ApplyHoldState(hold_ ? holdState_ : playState_, offset);
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
    if (stepCounter_ >= PatternLength()) stepCounter_ = 0;
    if (stepsInScene_ >= kMaxStepsInScene) stepsInScene_ = 0;
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
    if (stepCounter_ >= PatternLength()) stepCounter_ = 0;
}
