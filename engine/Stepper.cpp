#include "engine/Stepper.h"

#include "engine/EngineHost.h"
#include "engine/TransportState.h"

#include <algorithm>
#include <cmath>

namespace
{
// The dotted rates 1/2D down to 1/256D, in beats.
constexpr double kDottedLengths[] = {3.0, 1.5, 0.75, 0.375, 0.1875, 0.09375, 0.046875, 0.0234375};
// Tolerance in samples for deciding on which sample a beat falls.
constexpr double kSampleEpsilon = 1e-6;

// A piece never runs more step boundaries than this (a guard against step
// lengths far below a sample).
constexpr int kMaxBoundariesPerPiece = 4096;
} // namespace

Stepper::Stepper(TransportState* transport, EngineHost* host)
    : Looper(kMaxPositions), clockTransport_(transport), clockHost_(host)
{
    Stepper::Reset();
}

void Stepper::Reset()
{
    Looper::Reset();
    lastPosition_ = -1.0;
    for (StepTiming& t : timings_)
        t = StepTiming{};
}

bool Stepper::SetStepLength(double beats)
{
    if (!std::isfinite(beats) || beats <= 0.0) return false;
    stepLength_ = beats;
    dotted_ = false;
    for (double d : kDottedLengths)
        if (beats == d) dotted_ = true;
    return true;
}

const StepTiming& Stepper::GetTiming(int step) const
{
    return timings_[static_cast<size_t>(std::clamp(step, 0, kMaxPositions - 1))];
}

StepTiming& Stepper::Timing(int step)
{
    return timings_[static_cast<size_t>(std::clamp(step, 0, kMaxPositions - 1))];
}

void Stepper::Clock(double position, double length, double samplesPerBeat, double offset)
{
    // A host without tempo gives no clock: nothing may be divided by it.
    if (clockTransport_ == nullptr || !std::isfinite(samplesPerBeat) || samplesPerBeat <= 0.0 ||
        !(length > 0.0))
        return;
    samplesPerBeat_ = samplesPerBeat;
    if (stopped_)
    {
        FinishBlock(position, length, samplesPerBeat, offset);
        return;
    }
    started_ = true;
    const bool first = lastPosition_ == -1.0;
    if (first) StartTiming(Position(), position, 0.0, true);

    double p = position;
    double n = length;
    double o = offset;
    for (int guard = 0; n > 0.0 && guard < kMaxBoundariesPerPiece; ++guard)
    {
        double t = AdvanceStep(p, n, samplesPerBeat, first, o);
        p += t;
        n -= t;
        o += t;
        t = EmitStep(p, n, samplesPerBeat, o);
        p += t;
        n -= t;
        o += t;
        if (!started_) break;
    }
    if (started_) FinishBlock(position, length, samplesPerBeat, offset);
}

void Stepper::StartTiming(int step, double position, double beat, bool first)
{
    const TransportState& transport = *clockTransport_;
    const double factor = GetStepLengthFactor();
    // Before the first clock call the transport's tempo stands in.
    const double b = samplesPerBeat_ > 0.0 ? samplesPerBeat_ : transport.samplesPerBeat;
    const bool tempo = std::isfinite(b) && b > 0.0;
    const double pieceBeat =
        transport.beatPosition + (tempo ? (position - transport.samplePosition) / b : 0.0);
    double start = beat;
    if (first)
    {
        const bool immediately =
            clockHost_ != nullptr && clockHost_->GetFlagByte(EngineHost::kStartNotesImmediately);
        if (!transport.loopJump && !immediately && transport.playing)
        {
            // The next point of the step grid (a point within 0.001 step counts as reached).
            const double x = pieceBeat / stepLength_;
            const double whole = std::floor(x);
            start = (x - whole < 0.001 ? whole : std::ceil(x)) * stepLength_;
        }
        else
        {
            // The run starts at once: the first step starts at the beat of the
            // piece that starts it (the key's frame), whatever the block around
            // it, and ends on the step boundary after it.
            start = pieceBeat;
        }
    }
    else if (beat < 0.0)
        start = (std::round(pieceBeat / stepLength_ + kStepEpsilon) + factor) * stepLength_;

    StepTiming& t = Timing(step);
    t = StepTiming{};
    t.startBeat = start;
    t.endBeat = NextBoundary(start, factor);
    t.startTime = transport.samplePosition + (tempo ? (start - transport.beatPosition) * b : 0.0);
    lastPosition_ = t.endBeat;
}

double Stepper::NextBoundary(double startBeat, double factor) const
{
    // A boundary closer than 0.1 beat (or half a step, for steps shorter than
    // 0.2 beat) to the start is skipped, so no step shrinks to a fragment.
    const double k = std::floor(startBeat / stepLength_ + kStepEpsilon) + factor;
    double end = k * stepLength_;
    if (end - startBeat < std::min(0.1, 0.5 * stepLength_) - kStepEpsilon * stepLength_) end += stepLength_;
    return end;
}

double Stepper::BlockOffsetOf(double beat) const
{
    return (beat - clockTransport_->beatPosition) * samplesPerBeat_;
}

double Stepper::BeatAtOffset(double offset) const
{
    return clockTransport_->beatPosition + offset / samplesPerBeat_;
}

bool Stepper::IsDue(double beat, double offset, double length) const
{
    return BlockOffsetOf(beat) < offset + length - kSampleEpsilon;
}

double Stepper::SampleTimeOf(double beat, double offset, double length) const
{
    const double at = std::max(offset, BlockOffsetOf(beat));
    double t = WholeSample(at);
    if (t >= offset + length) t = std::ceil(offset + length) - 1.0;
    return std::max(0.0, t);
}

double Stepper::WholeSample(double offset)
{
    return std::max(0.0, std::floor(offset + kSampleEpsilon));
}
