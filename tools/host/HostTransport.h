#pragma once
// The command-line host's transport: a song position that moves forward by
// whole blocks at a constant tempo and time signature, with an optional loop
// range that jumps back at block boundaries.
//
// Positions are kept in samples (a double, as the time-info record carries
// them); quarter-note positions are derived from them. A loop jump keeps the
// overshoot: a block that ends k samples past the loop end is followed by a
// block that starts k samples past the loop start, so musical time stays
// continuous across the jump.

#include <string>

namespace quova::host
{

struct TransportSettings
{
    double sampleRate = 44100.0;
    double tempo = 120.0; // beats (quarter notes) per minute
    int numerator = 4;    // time signature
    int denominator = 4;
    double startQuarters = 0.0; // song position of the first block
    bool playing = true;
    bool loopActive = false;
    double loopStartQuarters = 0.0;
    double loopEndQuarters = 0.0;
};

// Checks the settings: sample rate and tempo finite and above 0, numerator
// 1..99, denominator a power of two 1..64, start position finite and >= 0,
// and an active loop with 0 <= start < end. Returns false with a message in
// error (when given) for the first problem found.
bool ValidateTransportSettings(const TransportSettings& settings, std::string* error);

class HostTransport
{
public:
    // Invalid settings (see ValidateTransportSettings) are replaced by the
    // defaults of TransportSettings.
    explicit HostTransport(const TransportSettings& settings = {});

    // Replaces the settings and locates to their start position. Returns false
    // and changes nothing when the settings are invalid.
    bool Configure(const TransportSettings& settings);

    const TransportSettings& Settings() const { return settings_; }

    double SamplesPerQuarter() const;
    double QuartersPerBar() const;

    // Position of the current block's first sample.
    double SamplePosition() const { return samplePosition_; }
    double QuarterPosition() const;
    // Start of the bar that holds the current position, in quarter notes.
    double BarStart() const;
    // Song position of a sample within the current block, in quarter notes.
    double QuarterPositionAt(int offset) const;

    double LoopStartSamples() const;
    double LoopEndSamples() const;

    bool Playing() const { return settings_.playing; }
    // True when the current block does not follow on from the previous one:
    // the first block after a locate and the first block after a loop jump.
    bool Changed() const { return changed_; }

    // Moves past a block of the given frame count (ignored when not above 0).
    // While stopped the position stays where it is.
    void Advance(int frames);

    // Moves to a song position in quarter notes (negative values give 0).
    void Locate(double quarters);

private:
    TransportSettings settings_;
    double samplePosition_ = 0.0;
    bool changed_ = true;
};

// Formats a song position as "bar.beat.tick" counted from 1.1.000, with beats
// in the time signature's note value and ticksPerBeat ticks per beat.
std::string FormatBarBeatTick(double quarters, int numerator, int denominator, int ticksPerBeat = 960);

} // namespace quova::host
