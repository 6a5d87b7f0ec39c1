#pragma once

#include "engine/Looper.h"

// The beat clock of a key area: a Looper whose index is the current step of
// the current pattern and whose loop end is that pattern's length, with the
// step length in beats. The clock itself (step timing, events) builds on this.
class Stepper : public Looper
{
public:
    static constexpr double kDefaultStepLength = 0.25;

    Stepper();

    // Resets the step position (see Looper::Reset).
    void Reset() override;

    // Whether the current pattern's step length comes from its free rate.
    virtual bool IsFreeRate() const { return false; }
    // The length factor of the current step (1.0 for a plain stepper).
    virtual double GetStepLengthFactor() const { return 1.0; }
    // Restarts at position 0, offset 0.
    virtual void Restart() { Reset(); }

    // Stores the step length in beats and whether it is a dotted value
    // (3.0, 1.5, 0.75 ... 0.0234375). Values that are not finite and above 0
    // are refused (false) and keep the current length.
    bool SetStepLength(double beats);
    double GetStepLength() const { return stepLength_; }
    bool IsDotted() const { return dotted_; }

private:
    bool dotted_ = false;
    double stepLength_ = kDefaultStepLength;
};
