#include "plugin/BlockContinuity.h"

#include <algorithm>
#include <cmath>

namespace quova
{

namespace
{
// Positions closer than this (in samples) to where the played frames end count as continuing
// there: far below a sample, far above the rounding of a double position hours into a song.
constexpr double kSameSample = 1e-4;
// A position within half a sample of the loop start is the loop start.
constexpr double kAtLoopStart = 0.5;
constexpr double kFarthestBeat = BlockContinuity::kFarthestBeat;

bool Given(double position, double farthest)
{
    return std::isfinite(position) && position >= 0.0 && position <= farthest;
}
} // namespace

void BlockContinuity::Anchor(double sample, double beat, double samplesPerBeat)
{
    anchorSample_ = sample;
    anchorBeat_ = beat;
    anchorSpb_ = samplesPerBeat;
}

BlockContinuity::Placement BlockContinuity::Place(const HostBlock& block)
{
    const double spb = block.samplesPerBeat;
    const int frames = std::max(0, block.frames);
    const double sample = block.samplePosition, beat = block.beatPosition;
    const bool sampleGiven = Given(sample, kFarthestBeat * spb);
    // The position that rules: the musical one where it is given, else the sample position.
    const bool byBeat = Given(beat, kFarthestBeat);
    const bool bySample = !byBeat && sampleGiven;
    // A new tempo counts from where the played frames end.
    if (valid_ && spb != anchorSpb_) Anchor(playedEndSample_, playedEndBeat_, spb);

    Placement place;
    if (!valid_)
    {
        // The first block after a start is taken where the host says.
        place.beatPosition = byBeat ? beat : (bySample ? sample / spb : 0.0);
        place.samplePosition = sampleGiven ? sample : std::round(place.beatPosition * spb);
        Anchor(place.samplePosition, place.beatPosition, spb);
    }
    else if (!byBeat && !bySample)
    {
        place.samplePosition = playedEndSample_;
        place.beatPosition = BeatAt(playedEndSample_);
    }
    else
    {
        // How far (in samples) the block starts behind where the played frames end, and how far the
        // host moved back from where its last block ended.
        const double behind = byBeat ? (playedEndBeat_ - beat) * spb : playedEndSample_ - sample;
        const double back = byBeat ? (hostEndBeat_ - beat) * spb : hostEndSample_ - sample;
        const double fromLoopStart =
            byBeat ? std::fabs(beat - block.loopStartBeat) * spb : std::fabs(sample - block.loopStartSample);
        const bool atLoopStart = block.loopActive && fromLoopStart < kAtLoopStart;
        const bool backward = behind > kSameSample;
        if (backward && !atLoopStart && back <= std::max(lastFrames_, frames) + kSameSample)
        {
            // A repeat: the block runs on from where the played frames end; the frames before
            // that were played (a fraction of a sample rounds to the nearer frame).
            place.playedFrames = static_cast<int>(std::min<double>(frames, std::floor(behind + 0.5)));
            place.samplePosition = playedEndSample_ - place.playedFrames;
            place.beatPosition =
                byBeat ? playedEndBeat_ - place.playedFrames / spb : BeatAt(place.samplePosition);
        }
        else
        {
            // Taken where the host says; a jump back by more than half the host's loop is its loop.
            const double loop = block.loopEndSample - block.loopStartSample;
            place.loopJump = backward && block.loopActive && back >= 2.0 && back > loop * 0.5;
            if (byBeat)
            {
                // The engine's sample timeline moves with the beat, in whole samples.
                place.beatPosition = beat;
                place.samplePosition = playedEndSample_ - std::round(behind);
            }
            else
            {
                // A relocation starts the beat from the sample position at this tempo; a move
                // forward runs the beat on by the samples skipped.
                place.samplePosition = sample;
                place.beatPosition = backward ? sample / spb : BeatAt(sample);
                if (backward) Anchor(sample, place.beatPosition, spb);
            }
        }
    }
    // Where the musical position places the block, the beat counts on from there.
    if (byBeat) Anchor(place.samplePosition, place.beatPosition, spb);
    playedEndSample_ = place.samplePosition + frames;
    playedEndBeat_ = byBeat ? place.beatPosition + frames / spb : BeatAt(playedEndSample_);
    hostEndSample_ = (sampleGiven ? sample : place.samplePosition) + frames;
    hostEndBeat_ = (byBeat ? beat : place.beatPosition) + frames / spb;
    lastFrames_ = frames;
    valid_ = true;
    return place;
}

} // namespace quova
