#include "engine/VelocityCalculator.h"

#include "engine/NoteList.h"

#include <cmath>

VelocityCalculator::VelocityCalculator(PatternEngine* owner, int mode) : mode_(mode), owner_(owner) {}

int VelocityCalculator::Velocity(const NoteList& held, const NoteRecord& record) const
{
    int base = 0;
    switch (mode_)
    {
    case kFixed:
        base = 127;
        break;
    case kNote:
        base = record.velocity;
        break;
    case kFirst:
        base = held.FirstVelocity();
        break;
    case kLast:
        base = held.LastVelocity();
        break;
    case kAverage:
        base = held.AverageVelocity();
        break;
    default:
        break;
    }
    const double sum = base + record.accent / 100.0 * 127.0;
    // A corrupt accent must not turn into an undefined conversion.
    if (!std::isfinite(sum)) return base;
    constexpr double kBound = 1.0e6;
    return static_cast<int>(std::trunc(std::fmax(-kBound, std::fmin(kBound, sum))));
}
