#include "plugin/BlockContinuity.h"

#include <algorithm>
#include <cmath>

namespace quova
{

namespace
{
// Positions closer than this (in samples) to where the last block ended count as continuing there:
// far below a sample, far above the rounding of a double position hours into a song.
constexpr double kSameSample = 1e-4;
// A position within half a sample of the loop start is the loop start.
constexpr double kAtLoopStart = 0.5;

bool Given(double position)
{
    return std::isfinite(position) && position >= 0.0;
}
} // namespace

BlockContinuity::Placement BlockContinuity::Place(const HostBlock& block)
{
    const double spb = block.samplesPerBeat;
    const int frames = std::max(0, block.frames);
    double sample = block.samplePosition;
    double beat = block.beatPosition;
    const bool sampleGiven = Given(sample), beatGiven = Given(beat);
    // A missing position follows the other one, from where the last block ended (or from the
    // song's start).
    const double endSample = valid_ ? playedEndSample_ : 0.0;
    const double endBeat = valid_ ? playedEndBeat_ : 0.0;
    if (!sampleGiven && !beatGiven)
    {
        sample = endSample;
        beat = endBeat;
    }
    else if (!beatGiven)
        beat = valid_ ? endBeat + (sample - endSample) / spb : sample / spb;
    else if (!sampleGiven)
        sample = valid_ ? endSample + (beat - endBeat) * spb : beat * spb;

    Placement place;
    place.samplePosition = sample;
    place.beatPosition = beat;
    if (valid_)
    {
        // How far each position lies behind where the last block ended, in samples.
        const double behindSample = playedEndSample_ - sample;
        const double behindBeat = (playedEndBeat_ - beat) * spb;
        const bool backSample = behindSample > kSameSample;
        const bool backBeat = behindBeat > kSameSample;
        if (backSample || backBeat)
        {
            const bool beforeLast = (backSample && sample < lastStartSample_ - kSameSample) ||
                                    (backBeat && (beat - lastStartBeat_) * spb < -kSameSample);
            const bool atLoopStart =
                block.loopActive && (std::fabs(sample - block.loopStartSample) < kAtLoopStart ||
                                     std::fabs(beat - block.loopStartBeat) * spb < kAtLoopStart);
            const double behind = std::max(backSample ? behindSample : 0.0, backBeat ? behindBeat : 0.0);
            if (beforeLast || atLoopStart)
            {
                // A relocation; a jump back by more than half the host's loop is its loop.
                const double loop = block.loopEndSample - block.loopStartSample;
                place.loopJump = block.loopActive && behind >= 2.0 && behind > loop * 0.5;
            }
            else
            {
                // A repeat: the block runs on from where the last one ended; the frames before
                // that were played (a fraction of a sample rounds to the nearer frame).
                place.playedFrames = static_cast<int>(std::min<double>(frames, std::floor(behind + 0.5)));
                place.samplePosition = playedEndSample_ - place.playedFrames;
                place.beatPosition = playedEndBeat_ - place.playedFrames / spb;
            }
        }
    }
    lastStartSample_ = sample;
    lastStartBeat_ = beat;
    playedEndSample_ = place.samplePosition + frames;
    playedEndBeat_ = place.beatPosition + frames / spb;
    valid_ = true;
    return place;
}

} // namespace quova
