// The step clock of PatternStepper: run start, step boundaries, step events,
// lane evaluation, the note-order walk, pattern switches and restarts.
#include "engine/ActionListener.h"
#include "engine/NoteList.h"
#include "engine/PatternStepper.h"
#include "engine/Random.h"
#include "engine/TransportState.h"

#include <algorithm>
#include <cmath>

using namespace quova;

namespace
{
constexpr double kGateFloor = -0.95;
constexpr double kGateCeiling = 1.0;
constexpr double kMaxLengthFactor = 32.0;
constexpr double kBeatEpsilon = 1e-9;
// The sample tolerance of Stepper::IsDue.
constexpr double kQuietEpsilon = 1e-6;
} // namespace

// --- Helpers -------------------------------------------------------------------

ControlLooper& PatternStepper::Lane(int lane)
{
    return *GetLaneLooper(GetCurrentPattern(), lane);
}

const StepRecord& PatternStepper::LaneStepAtPosition(int lane) const
{
    return GetLaneStep(GetCurrentPattern(), GetLaneLooper(GetCurrentPattern(), lane)->Position());
}

StepEvent* PatternStepper::NewEvent()
{
    StepEvent* event = nullptr;
    if (!free_.empty())
    {
        event = free_.back();
        free_.pop_back();
    }
    else
    {
        pool_.push_back(std::make_unique<StepEvent>());
        event = pool_.back().get();
        event->sounding.reserve(8);
    }
    event->started = false;
    event->hasRecord = false;
    event->sounding.clear();
    event->divided = false;
    event->divisionIndex = 0;
    event->divisionCount = 1;
    event->sampleTime = 0.0;
    event->sequence = NextStepSequence();
    return event;
}

void PatternStepper::RecycleEvent(StepEvent* event)
{
    free_.push_back(event);
}

double PatternStepper::GetStepLengthFactor() const
{
    const ControlLooper* lane = GetLaneLooper(GetCurrentPattern(), kLaneLength);
    const StepRecord& step = GetLaneStep(GetCurrentPattern(), lane->Position());
    if (!lane->IsLaneOn() || !step.laneOn[kLaneLength] || !std::isfinite(step.length)) return 1.0;
    // A step shorter than one grid step would never end after its start.
    return std::clamp(std::floor(step.length), 1.0, kMaxLengthFactor);
}

void PatternStepper::ResetAllLanes()
{
    for (int p = 0; p < kPatternCount; ++p)
        for (int l = 0; l < kLaneCount; ++l)
            GetLaneLooper(p, l)->Reset();
}

// --- Run start, restart, switch -------------------------------------------------

void PatternStepper::Start()
{
    started_ = true;
    ApplyCurrentStepLength();
    SetLength(GetCurrentPatternLength());
    walkDirection_ = 0;
    const ControlLooper& order = Lane(kLaneOrder);
    if (order.IsLaneOn() && (order.ResetsOnPatternReset() || newNote_))
    {
        orderIndex_ = -1;
        walkDirection_ = 0;
        if (listener_ != nullptr) listener_->OnReset();
    }
}

void PatternStepper::ResetOrderLane()
{
    const ControlLooper& order = Lane(kLaneOrder);
    if (!order.IsLaneOn() || !(order.ResetsOnPatternReset() || newNote_)) return;
    const int top = noteSource_ != nullptr ? noteSource_->HighestOrderPosition() : 0;
    orderIndex_ = walkDirection_ == 1 ? top : -1;
    walkDirection_ = 0;
    if (listener_ != nullptr) listener_->OnReset();
}

bool PatternStepper::FlagNewNote()
{
    newNote_ = true;
    return CurrentResetsOnNewNote();
}

void PatternStepper::Restart(double /*position*/, double offset)
{
    walkDirection_ = 0;
    Stepper::Reset();
    ResetAllLanes();
    EndAllEvents(offset);
    orderIndex_ = -1;
    newNote_ = false;
    resetOrder_ = false;
    firstEvent_ = false;
    started_ = false;
}

void PatternStepper::EndAllEvents(double offset)
{
    // Taken one at a time from the front, so that a listener reacting to
    // OnStepEnd never sees a half-walked list.
    while (!events_.empty())
    {
        StepEvent* event = events_.front();
        events_.erase(events_.begin());
        if (event->started) EndEvent(*event, std::max(0.0, offset));
        RecycleEvent(event);
    }
}

void PatternStepper::EndEvent(StepEvent& event, double time)
{
    // Notes at one frame keep the order in which they were made only when their times are equal.
    event.sampleTime = WholeSample(time);
    if (listener_ != nullptr) listener_->OnStepEnd(event);
}

bool PatternStepper::SwitchPattern(int pattern, double position, double samplesPerBeat, double offset)
{
    if (GetPatternRecord(pattern) == nullptr) return false;
    // Where the new pattern's first step starts: at the end of the step that
    // is ending, else where the current step started (on the grid), else on
    // the next grid point.
    const StepTiming& old = GetTiming(Position());
    double beat = -1.0;
    if (inEmit_)
        beat = emitEndBeat_;
    else if (GetLastPosition() != -1.0)
        beat = old.startBeat;

    resetOrder_ = false;
    firstEvent_ = true;
    SetCurrentPattern(pattern);
    EndAllEvents(offset);
    ResetAllLanes();
    walkMode_ = GetCurrentPatternRecord().walkMode;
    ApplyCurrentStepLength();
    Stepper::Reset();
    // The start stays exactly on the beat grid; its sample offset is then
    // truncated like every other step start.
    if (beat >= 0.0 && std::isfinite(samplesPerBeat) && samplesPerBeat > 0.0 && ClockTransport() != nullptr)
        StartTiming(Position(), position, beat, false);
    started_ = true;
    orderIndex_ = -1;
    switched_ = true;
    return true;
}

// --- Step boundaries ----------------------------------------------------------

bool PatternStepper::ClockJumped(double offset, double length) const
{
    if (GetLastPosition() == -1.0) return false;
    const StepTiming& s = GetTiming(Position());
    const double pieceBeat = BeatAtOffset(offset);
    const double pieceEnd = BeatAtOffset(offset + length);
    const double step = GetStepLength();
    // The host moved back (a loop or a relocation): the step lies ahead of the
    // clock; or it moved forward past the step's end (or, for a step still
    // waiting to start, past its start) by more than a step. The steps of the
    // skipped span are not played one after another at the jump's frame.
    const bool back = s.started ? s.startBeat > pieceBeat + kBeatEpsilon
                                : s.startBeat > pieceEnd + step * GetStepLengthFactor() + kBeatEpsilon;
    const bool forward = s.started ? !s.ended && s.endBeat < pieceBeat - step - kBeatEpsilon
                                   : s.startBeat < pieceBeat - step - kBeatEpsilon;
    return back || forward;
}

bool PatternStepper::CheckClockJump(double position, double length, double offset)
{
    if (!ClockJumped(offset, length)) return false;
    EndAllEvents(offset);
    StartTiming(Position(), position, 0.0, true);
    firstEvent_ = true;
    return true;
}

double PatternStepper::AdvanceStep(double position, double length, double samplesPerBeat, bool first,
                                   double offset)
{
    CheckClockJump(position, length, offset);
    StepTiming* s = &Timing(Position());
    if (s->started) return 0.0;
    if (!IsDue(s->startBeat, offset, length)) return length;

    s->started = true;
    switched_ = false;
    if (listener_ != nullptr) listener_->OnCycleEnd(Position(), s->startTime);
    if (switched_)
    {
        // The listener switched the pattern: the new pattern's first step
        // starts where this one did (its own start cannot switch again, the
        // queue is empty now).
        switched_ = false;
        if (!GetTiming(Position()).started)
            return AdvanceStep(position, length, samplesPerBeat, first, offset);
        return 0.0;
    }

    bool eventsEnded = false;
    if (newNote_)
    {
        newNote_ = false;
        if (CurrentResetsOnNewNote())
        {
            const int pattern = GetCurrentPattern();
            for (int l = 0; l < kLaneCount; ++l)
            {
                ControlLooper* lane = GetLaneLooper(pattern, l);
                if (!lane->ResetsOnPatternReset()) continue;
                lane->Reset();
                if (l == kLaneOrder) ResetOrderLane();
            }
            EndAllEvents(offset);
            const StepTiming taken = *s;
            Looper::Reset();
            s = &Timing(Position());
            *s = taken;
            started_ = true;
            eventsEnded = true;
        }
    }

    // Events are made one step ahead; the current step gets its own event only
    // when none is pending for it (the first step of a run, after a switch, or
    // after the events were ended above).
    if (events_.empty() || eventsEnded || firstEvent_) CreateEvent(s->startBeat);
    firstEvent_ = false;
    WouldLeaveRange();
    CreateEvent(s->endBeat);
    (void)samplesPerBeat;
    return std::clamp(BlockOffsetOf(s->startBeat) - offset, 0.0, length);
}

double PatternStepper::EmitStep(double position, double length, double samplesPerBeat, double offset)
{
    StepTiming& s = Timing(Position());
    if (!s.started || s.ended || !IsDue(s.endBeat, offset, length)) return length;
    const double t = std::clamp(BlockOffsetOf(s.endBeat) - offset, 0.0, length);
    s.ended = true;
    const double endBeat = s.endBeat;
    const double startTime = s.startTime;

    const int pattern = GetCurrentPattern();
    for (int l = 0; l < kLaneCount; ++l)
        GetLaneLooper(pattern, l)->Advance();
    if (Advance())
    {
        for (int p = 0; p < kPatternCount; ++p)
            for (int l = 0; l < kLaneCount; ++l)
            {
                ControlLooper* lane = GetLaneLooper(p, l);
                if (!lane->ResetsOnPatternReset()) continue;
                lane->Reset();
                if (l == kLaneOrder && p == pattern) ResetOrderLane();
            }
    }

    switched_ = false;
    inEmit_ = true;
    emitEndBeat_ = endBeat;
    if (listener_ != nullptr) listener_->OnStepAdvanced(Position(), startTime, samplesPerBeat, offset + t);
    inEmit_ = false;
    if (!switched_ && started_) StartTiming(Position(), position + t, endBeat, false);
    switched_ = false;
    return t;
}

int PatternStepper::QuietFrames(double offset, int length, double samplesPerBeat) const
{
    if (length <= 0) return 0;
    const TransportState* transport = ClockTransport();
    if (transport == nullptr || !std::isfinite(samplesPerBeat) || samplesPerBeat <= 0.0) return length;
    if (!IsStarted() || GetLastPosition() == -1.0 || samplesPerBeat != SamplesPerBeat()) return 0;
    // A beat is due in the piece [offset, offset + n) when its block offset
    // lies below offset + n (see IsDue), so the first n frames are quiet
    // while n <= block offset - offset.
    double quiet = length;
    const auto until = [&](double beat)
    {
        const double at = (beat - transport->beatPosition) * samplesPerBeat - offset + kQuietEpsilon;
        quiet = std::min(quiet, std::floor(at));
    };
    if (!IsStopped())
    {
        if (ClockJumped(offset, 1.0)) return 0;
        const StepTiming& s = GetTiming(Position());
        if (!s.started)
            until(s.startBeat);
        else if (!s.ended)
            until(s.endBeat);
    }
    for (const StepEvent* e : events_)
        until(e->started ? e->end : e->start);
    return static_cast<int>(std::clamp(quiet, 0.0, static_cast<double>(length)));
}

void PatternStepper::FinishBlock(double /*position*/, double length, double /*samplesPerBeat*/, double offset)
{
    if (!started_) return;
    // Events whose notes end in this piece.
    for (size_t i = 0; i < events_.size();)
    {
        StepEvent* e = events_[i];
        if (e->started && IsDue(e->end, offset, length))
        {
            events_.erase(events_.begin() + static_cast<std::ptrdiff_t>(i));
            EndEvent(*e, SampleTimeOf(e->end, offset, length));
            RecycleEvent(e);
        }
        else
            ++i;
    }
    // Events that start in this piece (DIV parts join the list as they are made).
    for (size_t i = 0; i < events_.size();)
    {
        StepEvent* e = events_[i];
        if (e->started || !IsDue(e->start, offset, length))
        {
            ++i;
            continue;
        }
        if (!e->hasRecord) CompleteEvent(*e, i);
        e = events_[i];
        e->started = true;
        e->sampleTime = SampleTimeOf(e->start, offset, length);
        if (listener_ != nullptr) listener_->OnStep(*e);
        if (IsDue(e->end, offset, length))
        {
            events_.erase(events_.begin() + static_cast<std::ptrdiff_t>(i));
            EndEvent(*e, SampleTimeOf(e->end, offset, length));
            RecycleEvent(e);
        }
        else
            ++i;
    }
}

// --- Step events ---------------------------------------------------------------

void PatternStepper::CreateEvent(double beat)
{
    StepEvent* e = NewEvent();
    const PatternRecord& pattern = GetCurrentPatternRecord();
    ControlLooper& shiftLane = Lane(kLaneShift);
    const int position = shiftLane.PeekNext();
    const StepRecord& step = GetLaneStep(GetCurrentPattern(), position);
    double h = 0.0;
    if (shiftLane.IsLaneOn() && step.laneOn[kLaneShift] && std::isfinite(step.shift))
        h = std::trunc(std::clamp(step.shift, -100.0, 100.0));
    const double len = GetStepLength();
    double start = beat;
    if (h == 0.0)
    {
        const double j = std::round(beat / len + kStepEpsilon);
        if (std::fmod(std::fabs(j), 2.0) == 1.0 && std::isfinite(pattern.swing))
            start += pattern.swing * 0.5 * len;
    }
    else
        start += h / 100.0 * len;
    e->stepIndex = position;
    e->shift = h;
    e->unshiftedStart = beat;
    e->start = start;
    e->end = start; // set when the event is completed
    events_.push_back(e);
}

void PatternStepper::EvaluateLanes(NoteRecord& r)
{
    r = NoteRecord{};
    r.accent = 0.0;
    r.transpose = 0;
    r.gate = 0.0;
    r.length = 1.0;
    r.division = 1.0;
    r.shift = 0.0;
    r.chord = 0;
    r.source = -1;
    const int pattern = GetCurrentPattern();
    // A lane's step, and whether the lane contributes (lane on and step flag on).
    auto peeked = [&](int lane, bool peek, const StepRecord** step)
    {
        ControlLooper* looper = GetLaneLooper(pattern, lane);
        const int position = peek ? looper->PeekNext() : looper->Position();
        *step = &GetLaneStep(pattern, position);
        return looper->IsLaneOn() && (*step)->laneOn[lane];
    };
    const StepRecord* step = nullptr;
    if (peeked(kLaneAccent, true, &step) && std::isfinite(step->accent)) r.accent = step->accent;
    if (peeked(kLaneTranspose, true, &step)) r.transpose = std::clamp(step->transpose, -127, 127);
    if (peeked(kLaneGate, true, &step) && std::isfinite(step->gate)) r.gate = step->gate;
    if (peeked(kLaneDiv, true, &step) && std::isfinite(step->division)) r.division = step->division;
    if (peeked(kLaneChord, true, &step)) r.chord = step->chord;
    if (peeked(kLaneChordMemory, true, &step)) r.source = step->source;
    if (peeked(kLaneLength, false, &step) && std::isfinite(step->length)) r.length = step->length;
    if (peeked(kLaneShift, false, &step) && std::isfinite(step->shift)) r.shift = step->shift;
    const bool orderOn = peeked(kLaneOrder, true, &step);
    r.muted = !step->laneOn[kLaneOrder] || (orderOn && step->noteChoice == kChoiceOff);
    for (int c = 0; c < kControllerLaneCount; ++c)
    {
        ControlLooper* looper = GetLaneLooper(pattern, kLaneController1 + c);
        r.controllers[c] = GetLaneStep(pattern, looper->PeekNext()).controllers[c];
    }
    r.stepNumber = Position();
}

void PatternStepper::CompleteEvent(StepEvent& event, size_t index)
{
    NoteRecord& r = event.record;
    EvaluateLanes(r);
    event.hasRecord = true;
    const PatternRecord& pattern = GetCurrentPatternRecord();

    double g = (std::isfinite(pattern.gate) ? pattern.gate : 0.0) + r.gate;
    if (std::fabs(g) < 0.01) g = -0.01;
    g = std::clamp(g, kGateFloor, kGateCeiling);
    r.gate = std::clamp(r.gate, kGateFloor, kGateCeiling);

    double factor = std::clamp(std::floor(r.length), 1.0, kMaxLengthFactor);
    if (GetGateLengthInSteps() && r.gate > 0.0)
        factor = std::min(kMaxLengthFactor * 64.0, factor * std::floor(2.0 * r.gate * 31.0 + 1.0));

    const double start = event.start;
    double end = NextBoundary(event.unshiftedStart, factor);
    end += event.shift / 100.0 * (end - start);
    // A step that starts off the grid (after the clock jumped) can be moved
    // by SHIFT or swing past its own end; it then ends at the boundary after
    // its moved start, so that no note ends before it starts.
    if (end <= start) end = NextBoundary(start, factor);

    const double d = std::clamp(r.division, 1.0, 64.0);
    if (d <= 1.0)
    {
        event.end = end + g * (end - start);
        return;
    }
    const int parts = static_cast<int>(std::floor(d));
    const double part = (end - start) / d;
    event.divided = true;
    event.divisionIndex = 0;
    event.divisionCount = parts;
    event.end = start + (1.0 + g) * part;
    // The later parts join the pending events right after this one.
    for (int k = 1; k < parts; ++k)
    {
        StepEvent* e = NewEvent();
        StepEvent& first = *events_[index];
        e->stepIndex = first.stepIndex;
        e->record = first.record;
        e->hasRecord = true;
        e->shift = first.shift;
        e->unshiftedStart = first.unshiftedStart;
        e->start = start + k * part;
        e->end = e->start + (1.0 + g) * part;
        e->divided = true;
        e->divisionIndex = k;
        e->divisionCount = parts;
        events_.insert(events_.begin() + static_cast<std::ptrdiff_t>(index) + k, e);
    }
}

// --- Note order --------------------------------------------------------------------

bool PatternStepper::AdvanceOrder()
{
    const PatternRecord& pattern = GetCurrentPatternRecord();
    walkMode_ = pattern.walkMode;
    bool result = resetOrder_;
    if (resetOrder_)
    {
        orderIndex_ = -1;
        resetOrder_ = false;
    }
    const ControlLooper& orderLane = Lane(kLaneOrder);
    const int choice = orderLane.IsLaneOn() ? LaneStepAtPosition(kLaneOrder).noteChoice : kChoicePlay;
    if (!(pattern.orderHold && choice >= kChoiceOff && choice <= kChoiceLowest))
        orderIndex_ += walkDirection_ == 0 ? 1 : -1;
    const int top = noteSource_ != nullptr ? noteSource_->HighestOrderPosition() : 0;
    const bool bouncing = walkMode_ == 2 || walkMode_ == 3;
    if (orderIndex_ > top)
    {
        if (bouncing)
            walkDirection_ = 1;
        else
        {
            result = true;
            orderIndex_ = 0;
        }
    }
    if (orderIndex_ < 0)
    {
        if (bouncing)
        {
            result = true;
            walkDirection_ = 0;
        }
        orderIndex_ = 0;
    }
    orderIndex_ = std::clamp(orderIndex_, 0, std::max(0, top));
    return result;
}

NoteRecord* PatternStepper::PickNote()
{
    NoteList* source = noteSource_;
    if (source == nullptr || source->IsEmpty()) return nullptr;
    const PatternRecord& pattern = GetCurrentPatternRecord();
    const ControlLooper& orderLane = Lane(kLaneOrder);
    const int choice = orderLane.IsLaneOn() ? LaneStepAtPosition(kLaneOrder).noteChoice : kChoicePlay;
    const int count = source->Count();
    int position = orderIndex_;
    switch (choice)
    {
    case kChoicePrevious:
        position = lastPlayed_;
        break;
    case kChoiceFirst:
        position = 0;
        break;
    case kChoiceLast:
        position = count - 1;
        break;
    case kChoiceHighest:
        position = source->Highest()->orderPosition;
        break;
    case kChoiceLowest:
        position = source->Lowest()->orderPosition;
        break;
    case kChoiceRandom:
        position = RandomIndex(count);
        break;
    default: // Play, Off and unknown choices follow the order
        break;
    }
    lastPlayed_ = position;
    if (NoteRecord* r = source->FindByOrderPosition(position)) return r;
    if (pattern.orderHold && choice != kChoicePrevious)
    {
        orderIndex_ = 0;
        lastPlayed_ = 0;
    }
    if (NoteRecord* r = source->FindByOrderPosition(0)) return r;
    return source->At(0);
}
