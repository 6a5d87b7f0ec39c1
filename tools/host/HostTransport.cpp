#include "tools/host/HostTransport.h"

#include <cmath>
#include <cstdio>

namespace quova::host
{
namespace
{
// Positions computed from sample counts can land a hair below a bar or beat
// boundary (3.9999999 quarter notes); this tolerance puts them on it.
constexpr double kBoundaryTolerance = 1e-9;

bool Fail(std::string* error, const char* text)
{
    if (error) *error = text;
    return false;
}

bool IsPowerOfTwo(int v)
{
    return v > 0 && (v & (v - 1)) == 0;
}

double FloorWithTolerance(double v)
{
    return std::floor(v + kBoundaryTolerance);
}
} // namespace

bool ValidateTransportSettings(const TransportSettings& s, std::string* error)
{
    if (!std::isfinite(s.sampleRate) || s.sampleRate <= 0.0)
        return Fail(error, "sample rate must be above 0");
    if (!std::isfinite(s.tempo) || s.tempo <= 0.0) return Fail(error, "tempo must be above 0");
    if (s.numerator < 1 || s.numerator > 99) return Fail(error, "time signature numerator must be 1..99");
    if (!IsPowerOfTwo(s.denominator) || s.denominator > 64)
        return Fail(error, "time signature denominator must be a power of two up to 64");
    if (!std::isfinite(s.startQuarters) || s.startQuarters < 0.0)
        return Fail(error, "start position must be 0 or more");
    if (s.loopActive)
    {
        if (!std::isfinite(s.loopStartQuarters) || !std::isfinite(s.loopEndQuarters) ||
            s.loopStartQuarters < 0.0)
            return Fail(error, "loop start must be 0 or more");
        if (s.loopEndQuarters <= s.loopStartQuarters)
            return Fail(error, "loop end must lie after loop start");
    }
    return true;
}

HostTransport::HostTransport(const TransportSettings& settings)
{
    if (!Configure(settings)) Configure(TransportSettings{});
}

bool HostTransport::Configure(const TransportSettings& settings)
{
    if (!ValidateTransportSettings(settings, nullptr)) return false;
    settings_ = settings;
    Locate(settings.startQuarters);
    return true;
}

double HostTransport::SamplesPerQuarter() const
{
    return settings_.sampleRate * 60.0 / settings_.tempo;
}

double HostTransport::QuartersPerBar() const
{
    return settings_.numerator * 4.0 / settings_.denominator;
}

double HostTransport::QuarterPosition() const
{
    return samplePosition_ / SamplesPerQuarter();
}

double HostTransport::QuarterPositionAt(int offset) const
{
    return (samplePosition_ + offset) / SamplesPerQuarter();
}

double HostTransport::BarStart() const
{
    const double perBar = QuartersPerBar();
    return FloorWithTolerance(QuarterPosition() / perBar) * perBar;
}

double HostTransport::LoopStartSamples() const
{
    return settings_.loopStartQuarters * SamplesPerQuarter();
}

double HostTransport::LoopEndSamples() const
{
    return settings_.loopEndQuarters * SamplesPerQuarter();
}

void HostTransport::Advance(int frames)
{
    if (frames <= 0) return;
    changed_ = false;
    if (!settings_.playing) return;
    const double before = samplePosition_;
    samplePosition_ += frames;
    if (!settings_.loopActive) return;
    const double loopStart = LoopStartSamples();
    const double loopEnd = LoopEndSamples();
    // Only a block that started before the loop end loops; a position already
    // beyond it plays straight on, as it would in a sequencer.
    if (before < loopEnd && samplePosition_ >= loopEnd)
    {
        const double length = loopEnd - loopStart;
        samplePosition_ = loopStart + std::fmod(samplePosition_ - loopEnd, length);
        changed_ = true;
    }
}

void HostTransport::Locate(double quarters)
{
    if (!std::isfinite(quarters) || quarters < 0.0) quarters = 0.0;
    samplePosition_ = quarters * SamplesPerQuarter();
    changed_ = true;
}

std::string FormatBarBeatTick(double quarters, int numerator, int denominator, int ticksPerBeat)
{
    if (numerator < 1 || denominator < 1 || ticksPerBeat < 1 || !std::isfinite(quarters)) return "?";
    const double beatLength = 4.0 / denominator;
    const double barLength = beatLength * numerator;
    double bar = FloorWithTolerance(quarters / barLength);
    double rest = quarters - bar * barLength;
    double beat = FloorWithTolerance(rest / beatLength);
    double tick = std::round((rest - beat * beatLength) / beatLength * ticksPerBeat);
    if (beat < 0.0) // only for negative positions
        beat = 0.0;
    if (tick < 0.0) tick = 0.0;
    // Rounding can carry a tick into the next beat, and a beat into the next bar.
    if (tick >= ticksPerBeat)
    {
        tick -= ticksPerBeat;
        beat += 1.0;
    }
    if (beat >= numerator)
    {
        beat -= numerator;
        bar += 1.0;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.0f.%d.%03d", bar + 1.0, static_cast<int>(beat) + 1,
                  static_cast<int>(tick));
    return text;
}

} // namespace quova::host
