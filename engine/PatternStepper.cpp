#include "engine/PatternStepper.h"

#include "engine/ActionListener.h"
#include "engine/NoteList.h"
#include "engine/TransportState.h"

#include <algorithm>
#include <cmath>

using quova::kLaneCount;
using quova::kPatternCount;
using quova::kStepCount;

struct PatternStepper::Store
{
    std::array<PatternRecord, kPatternCount> patterns;
    std::array<std::array<StepRecord, kStepCount>, kPatternCount> steps;
    std::array<std::array<ControlLooper, kLaneCount>, kPatternCount> lanes;
};

namespace
{
bool IsPattern(int pattern)
{
    return pattern >= 0 && pattern < kPatternCount;
}

bool IsStep(int step)
{
    return step >= 0 && step < kStepCount;
}

bool IsLane(int lane)
{
    return lane >= 0 && lane < kLaneCount;
}

bool IsLength(double beats)
{
    return std::isfinite(beats) && beats > 0.0;
}
} // namespace

PatternStepper::PatternStepper(TransportState& transport, NoteList* noteSource, ActionListener* listener,
                               EngineHost* host)
    : Stepper(&transport, host), listener_(listener), store_(std::make_unique<Store>()),
      noteSource_(noteSource), transport_(transport)
{
    events_.reserve(64);
    free_.reserve(64);
    pool_.reserve(64);
    // Pattern 0 starts high to low with an upward walk.
    store_->patterns[0].walkMode = 0;
    store_->patterns[0].sortMode = 1;
    Restart();
}

PatternStepper::~PatternStepper() = default;

PatternRecord* PatternStepper::Pattern(int pattern)
{
    return IsPattern(pattern) ? &store_->patterns[static_cast<size_t>(pattern)] : nullptr;
}

StepRecord* PatternStepper::Step(int pattern, int step)
{
    if (!IsPattern(pattern) || !IsStep(step)) return nullptr;
    return &store_->steps[static_cast<size_t>(pattern)][static_cast<size_t>(step)];
}

// --- Step setters ---------------------------------------------------------

namespace
{
template <typename Field, typename Value>
bool StoreField(StepRecord* step, Field StepRecord::*field, Value value)
{
    if (step == nullptr) return false;
    step->*field = static_cast<Field>(value);
    return true;
}
} // namespace

bool PatternStepper::SetStepNoteChoice(int pattern, int step, int value)
{
    return StoreField(Step(pattern, step), &StepRecord::noteChoice, value);
}

bool PatternStepper::SetStepSource(int pattern, int step, int value)
{
    return StoreField(Step(pattern, step), &StepRecord::source, value);
}

bool PatternStepper::SetStepLength(int pattern, int step, double value)
{
    return StoreField(Step(pattern, step), &StepRecord::length, value);
}

bool PatternStepper::SetStepGate(int pattern, int step, double value)
{
    return StoreField(Step(pattern, step), &StepRecord::gate, value);
}

bool PatternStepper::SetStepAccent(int pattern, int step, double value)
{
    return StoreField(Step(pattern, step), &StepRecord::accent, value);
}

bool PatternStepper::SetStepTranspose(int pattern, int step, int value)
{
    return StoreField(Step(pattern, step), &StepRecord::transpose, value);
}

bool PatternStepper::SetStepDiv(int pattern, int step, double value)
{
    return StoreField(Step(pattern, step), &StepRecord::division, value);
}

bool PatternStepper::SetStepShift(int pattern, int step, double value)
{
    return StoreField(Step(pattern, step), &StepRecord::shift, value);
}

bool PatternStepper::SetStepChord(int pattern, int step, int value)
{
    return StoreField(Step(pattern, step), &StepRecord::chord, value);
}

bool PatternStepper::SetStepCC(int pattern, int step, int controller, int value)
{
    StepRecord* s = Step(pattern, step);
    if (s == nullptr || controller < 0 || controller >= quova::kControllerLaneCount) return false;
    s->controllers[controller] = value;
    return true;
}

bool PatternStepper::SetStepLaneOn(int pattern, int lane, int step, bool on)
{
    StepRecord* s = Step(pattern, step);
    if (s == nullptr || !IsLane(lane)) return false;
    s->laneOn[lane] = on;
    return true;
}

// --- Lanes ------------------------------------------------------------------

ControlLooper* PatternStepper::GetLaneLooper(int pattern, int lane)
{
    if (!IsPattern(pattern) || !IsLane(lane)) return nullptr;
    return &store_->lanes[static_cast<size_t>(pattern)][static_cast<size_t>(lane)];
}

const ControlLooper* PatternStepper::GetLaneLooper(int pattern, int lane) const
{
    if (!IsPattern(pattern) || !IsLane(lane)) return nullptr;
    return &store_->lanes[static_cast<size_t>(pattern)][static_cast<size_t>(lane)];
}

bool PatternStepper::SetLaneEnabled(int pattern, int lane, bool on)
{
    ControlLooper* looper = GetLaneLooper(pattern, lane);
    if (looper == nullptr) return false;
    looper->SetLaneOn(on);
    return true;
}

bool PatternStepper::IsLaneEnabled(int pattern, int lane) const
{
    const ControlLooper* looper = GetLaneLooper(pattern, lane);
    return looper != nullptr && looper->IsLaneOn();
}

bool PatternStepper::SetLaneResetOnPatternReset(int pattern, int lane, bool on)
{
    ControlLooper* looper = GetLaneLooper(pattern, lane);
    if (looper == nullptr) return false;
    looper->SetResetOnPatternReset(on);
    return true;
}

bool PatternStepper::SetLaneDirection(int pattern, int lane, int mode)
{
    ControlLooper* looper = GetLaneLooper(pattern, lane);
    return looper != nullptr && looper->SetMode(mode);
}

bool PatternStepper::ToggleLaneAllPatterns(int pattern, int lane)
{
    const ControlLooper* looper = GetLaneLooper(pattern, lane);
    if (looper == nullptr) return false;
    const bool on = !looper->IsLaneOn();
    for (auto& lanes : store_->lanes)
        lanes[static_cast<size_t>(lane)].SetLaneOn(on);
    return true;
}

bool PatternStepper::ResetLanes(int pattern)
{
    if (!IsPattern(pattern)) return false;
    for (ControlLooper& looper : store_->lanes[static_cast<size_t>(pattern)])
        looper.Reset();
    orderIndex_ = -1;
    return true;
}

// --- Pattern setters ----------------------------------------------------------

bool PatternStepper::SetPatternGate(int pattern, double value)
{
    PatternRecord* p = Pattern(pattern);
    if (p == nullptr) return false;
    p->gate = value;
    return true;
}

bool PatternStepper::SetPatternSwing(int pattern, double value)
{
    PatternRecord* p = Pattern(pattern);
    if (p == nullptr) return false;
    p->swing = value;
    return true;
}

bool PatternStepper::SetPatternTranspose(int pattern, int value)
{
    PatternRecord* p = Pattern(pattern);
    if (p == nullptr) return false;
    p->transpose = value;
    return true;
}

bool PatternStepper::SetPatternResetOnNewNote(int pattern, bool on)
{
    PatternRecord* p = Pattern(pattern);
    if (p == nullptr) return false;
    p->resetOnNewNote = on;
    return true;
}

bool PatternStepper::SetPatternOctaves(int pattern, int value)
{
    PatternRecord* p = Pattern(pattern);
    if (p == nullptr) return false;
    p->octaves = value;
    return true;
}

bool PatternStepper::SetPatternOrder(int pattern, int walkMode, int sortMode)
{
    PatternRecord* p = Pattern(pattern);
    if (p == nullptr) return false;
    const bool walkChanged = p->walkMode != walkMode;
    p->walkMode = walkMode;
    p->sortMode = sortMode;
    if (pattern == currentPattern_ && walkChanged)
    {
        walkMode_ = walkMode;
        walkDirection_ = 0;
    }
    return true;
}

bool PatternStepper::SetPatternLength(int pattern, int steps)
{
    PatternRecord* p = Pattern(pattern);
    if (p == nullptr) return false;
    // The step position indexes 32 timing slots: keep the length within them.
    p->length = std::clamp(steps, 1, kStepCount);
    if (pattern == currentPattern_)
    {
        SetLoopEnd(p->length);
        SetLength(LoopEnd() - LoopStart());
    }
    return true;
}

bool PatternStepper::SetCurrentPattern(int pattern)
{
    const PatternRecord* p = Pattern(pattern);
    if (p == nullptr) return false;
    currentPattern_ = pattern;
    SetLoopEnd(p->length);
    SetLength(LoopEnd() - LoopStart());
    return true;
}

bool PatternStepper::SetPatternRate(int pattern, double beats)
{
    PatternRecord* p = Pattern(pattern);
    if (p == nullptr || !IsLength(beats)) return false;
    if (p->rate == beats) return true;
    p->rate = beats;
    return SetPatternStepLength(pattern, beats);
}

bool PatternStepper::SetPatternStepLength(int pattern, double beats)
{
    PatternRecord* p = Pattern(pattern);
    if (p == nullptr || !IsLength(beats)) return false;
    p->stepLength = beats;
    effectiveStepLength_ = beats;
    if (pattern == currentPattern_) ApplyAndNotify();
    return true;
}

bool PatternStepper::SetPatternFreeRate(int pattern, bool on)
{
    PatternRecord* p = Pattern(pattern);
    if (p == nullptr) return false;
    p->freeRate = on;
    ApplyAndNotify();
    return true;
}

bool PatternStepper::SetPatternFreeRateValue(int pattern, double stepsPerSecond)
{
    PatternRecord* p = Pattern(pattern);
    if (p == nullptr || !std::isfinite(stepsPerSecond)) return false;
    p->freeRateValue = stepsPerSecond;
    ApplyAndNotify();
    return true;
}

double PatternStepper::ApplyCurrentStepLength()
{
    const PatternRecord& p = GetCurrentPatternRecord();
    double beats = p.stepLength;
    if (p.freeRate)
    {
        // A free rate of 0 or a clock without tempo would give an infinite or
        // empty step; such a step keeps the pattern's own step length.
        const double free = transport_.sampleRate / p.freeRateValue / transport_.samplesPerBeat;
        if (IsLength(free)) beats = free;
    }
    Stepper::SetStepLength(beats);
    return GetStepLength();
}

void PatternStepper::ApplyAndNotify()
{
    ApplyCurrentStepLength();
    if (listener_ != nullptr) listener_->OnStepLengthChanged();
}

// --- Readers ------------------------------------------------------------------

int PatternStepper::GetCurrentPatternLength() const
{
    return GetCurrentPatternRecord().length;
}

const PatternRecord& PatternStepper::GetCurrentPatternRecord() const
{
    return store_->patterns[static_cast<size_t>(currentPattern_)];
}

const PatternRecord* PatternStepper::GetPatternRecord(int pattern) const
{
    return IsPattern(pattern) ? &store_->patterns[static_cast<size_t>(pattern)] : nullptr;
}

const StepRecord* PatternStepper::GetStep(int pattern, int step) const
{
    if (!IsPattern(pattern) || !IsStep(step)) return nullptr;
    return &store_->steps[static_cast<size_t>(pattern)][static_cast<size_t>(step)];
}

const StepRecord& PatternStepper::GetLaneStep(int pattern, int position) const
{
    const int p = std::clamp(pattern, 0, kPatternCount - 1);
    const int s = std::clamp(position, 0, kStepCount - 1);
    return store_->steps[static_cast<size_t>(p)][static_cast<size_t>(s)];
}

bool PatternStepper::CurrentResetsOnNewNote() const
{
    return GetCurrentPatternRecord().resetOnNewNote;
}

int PatternStepper::GetPatternOctaves(int pattern) const
{
    const PatternRecord* p = GetPatternRecord(pattern);
    return p != nullptr ? p->octaves : 0;
}

bool PatternStepper::IsFreeRate() const
{
    return GetCurrentPatternRecord().freeRate;
}

// --- Note source and lifecycle ----------------------------------------------

void PatternStepper::SetNoteSource(NoteList* source)
{
    noteSource_ = source;
    if (noteSource_ != nullptr) noteSource_->ComputeOrder(GetCurrentPatternRecord().sortMode);
}

void PatternStepper::Restart()
{
    Restart(0.0, 0.0);
}
