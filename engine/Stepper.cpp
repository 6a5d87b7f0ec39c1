#include "engine/Stepper.h"

#include <cmath>

namespace
{
// The dotted rates 1/2D down to 1/256D, in beats.
constexpr double kDottedLengths[] = {3.0, 1.5, 0.75, 0.375, 0.1875, 0.09375, 0.046875, 0.0234375};
} // namespace

Stepper::Stepper() : Looper(kMaxPositions)
{
    Looper::Reset();
}

void Stepper::Reset()
{
    Looper::Reset();
}

bool Stepper::SetStepLength(double beats)
{
    if (!std::isfinite(beats) || beats <= 0.0)
        return false;
    stepLength_ = beats;
    dotted_ = false;
    for (double d : kDottedLengths)
        if (beats == d)
            dotted_ = true;
    return true;
}
