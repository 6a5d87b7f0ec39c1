#pragma once

#include "engine/Looper.h"
#include "engine/StepEvent.h"

#include <array>

class EngineHost;
struct TransportState;

// The beat clock of a key area: a Looper whose index is the current step of
// the current pattern and whose loop end is that pattern's length, with the
// step length in beats and a timing record per step position.
//
// Clock runs one piece of an audio block: it advances over the step
// boundaries that fall into the piece (AdvanceStep / EmitStep, provided by
// the pattern stepper) and then fires the due step events (FinishBlock).
// Times: positions in host samples, offsets in samples from the block start,
// beats in quarter notes. Audio thread, under the plug-in's lock.
class Stepper : public Looper
{
public:
    static constexpr double kDefaultStepLength = 0.25;

    // transport (may be null for a clock that is never run) and host (may be
    // null: "Start notes immediately" then counts as off) outlive the stepper.
    explicit Stepper(TransportState* transport = nullptr, EngineHost* host = nullptr);

    // Resets the step position, forgets every step's timing and marks that no
    // step has been started (the next clock call starts one).
    void Reset() override;

    // Whether the current pattern's step length comes from its free rate.
    virtual bool IsFreeRate() const { return false; }
    // The length factor of the current step (1.0 for a plain stepper).
    virtual double GetStepLengthFactor() const { return 1.0; }
    // Restarts at position 0, offset 0.
    virtual void Restart() { Reset(); }

    // Runs one piece: position (host samples), length (samples), samples per
    // beat, offset of the piece in its block. Nothing happens for a length
    // below or at 0 or samples per beat that are not finite and above 0.
    void Clock(double position, double length, double samplesPerBeat, double offset);

    // Stores the step length in beats and whether it is a dotted value
    // (3.0, 1.5, 0.75 ... 0.0234375). Values that are not finite and above 0
    // are refused (false) and keep the current length.
    bool SetStepLength(double beats);
    double GetStepLength() const { return stepLength_; }
    bool IsDotted() const { return dotted_; }

    // Whether a run is under way (set by the first clock call or a start,
    // cleared by a restart).
    bool IsStarted() const { return started_; }
    // While set, a clock call only fires the due events. Part of the class's interface, unused
    // here: nothing sets it.
    bool IsStopped() const { return stopped_; }

    // The timing record of a step position (clamped to 0..31).
    const StepTiming& GetTiming(int step) const;
    // The end beat of the most recently started step; -1.0 when none was
    // started since the last reset.
    double GetLastPosition() const { return lastPosition_; }

protected:
    // A fraction of a step below the rounding of beat arithmetic over a long song and far below a
    // sample: a beat that lies on a grid point, or halfway between two, is taken as lying there
    // however it was summed (from a block's start or from a key inside the block), so that the
    // grid decisions are the same for every block size.
    static constexpr double kStepEpsilon = 1e-8;
    virtual double AdvanceStep(double position, double length, double samplesPerBeat, bool first,
                               double offset) = 0;
    virtual double EmitStep(double position, double length, double samplesPerBeat, double offset) = 0;
    virtual void FinishBlock(double position, double length, double samplesPerBeat, double offset) = 0;

    StepTiming& Timing(int step);
    // Starts the timing of a step (see the step-start rules in Stepper.cpp).
    void StartTiming(int step, double position, double beat, bool first);
    // The step boundary after a start beat with a length factor.
    double NextBoundary(double startBeat, double factor) const;

    // Beat <-> block offset conversions for the piece being clocked.
    double BlockOffsetOf(double beat) const;
    double BeatAtOffset(double offset) const;
    // Whether a beat is due before the end of the piece [offset, offset + length).
    bool IsDue(double beat, double offset, double length) const;
    // The whole-sample block offset of a due beat, inside the piece.
    double SampleTimeOf(double beat, double offset, double length) const;
    // The whole sample a block offset falls on (an offset a hair below a whole sample counts as
    // that sample), never below 0. Offsets reached by adding up beat distances carry rounding
    // errors that differ with the block's start.
    static double WholeSample(double offset);

    TransportState* ClockTransport() const { return clockTransport_; }
    double SamplesPerBeat() const { return samplesPerBeat_; }

    bool started_ = false;

private:
    bool dotted_ = false;
    double stepLength_ = kDefaultStepLength;
    std::array<StepTiming, kMaxPositions> timings_{};
    double lastPosition_ = -1.0;
    bool stopped_ = false;
    double samplesPerBeat_ = 0.0;
    TransportState* clockTransport_;
    EngineHost* clockHost_;
};
