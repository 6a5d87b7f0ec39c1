// Where each of the host's blocks lies on its timeline while it plays, and which of the block's
// frames were played already.
//
// The musical position (quarter notes) rules where the host gives one: whether a block continues,
// repeats or relocates is judged by it alone, so that a sample position that stands still, lags,
// jumps or runs at another rate changes nothing of what plays. Where the musical position is
// missing (not given, not a number, below 0 or beyond any song), the sample position is judged the
// same way; with both missing the timeline runs on.
//
// Hosts do not always hand over their timeline cleanly: some repeat the tail of the last block,
// some cut a block short and repeat from before it, some report a position that jitters by a
// sample or that stands still while they play. A block that starts behind where the played frames
// end, after a move back (from where the host's last block ended) by no more than the repeat
// window, the longer of the last block and this one, repeats samples already played: what was
// played is not played again, and the block runs on from where the played frames end (a block
// that lies wholly in them plays nothing again). A move back by more than the window, or to the
// host's loop start, is a relocation, taken where the host says; so is every move forward (what
// lies in the skipped span plays at the block's first frame). Without a musical position, a
// relocation starts the beat from the sample position at the block's tempo, and otherwise the beat
// runs on from where the last block ended (by the samples skipped, after a move forward).
//
// Audio thread, under the plug-in's lock, like the rest of the block processing.
#pragma once

namespace quova
{

class BlockContinuity
{
public:
    // No song lasts 2^32 quarter notes (years at any tempo); beyond them a double's step is too
    // coarse for the step grid, so such a position (or a sample position that far) counts as missing.
    static constexpr double kFarthestBeat = 4294967296.0;

    // What the host says of one block.
    struct HostBlock
    {
        // Of the block's first frame, in samples and in quarter notes. Missing: below 0, not finite,
        // or beyond 2^32 quarter notes.
        double samplePosition = 0.0;
        double beatPosition = 0.0;
        int frames = 0;
        double samplesPerBeat = 0.0; // above 0
        bool loopActive = false;
        double loopStartSample = 0.0, loopEndSample = -1.0;
        double loopStartBeat = 0.0;
    };
    // Where the block's frames lie: the positions of its first frame (the engine's own sample
    // timeline, which moves on with the musical position, and quarter notes), the frames at its
    // start that were played already (0..frames), and whether the block jumped back by more than
    // half the host's loop (a loop's jump back).
    struct Placement
    {
        double samplePosition = 0.0;
        double beatPosition = 0.0;
        int playedFrames = 0;
        bool loopJump = false;
    };

    // The block the host plays now; the next one is measured against it.
    Placement Place(const HostBlock& block);
    // The host stopped: the next block it plays is taken where it says.
    void Reset() { valid_ = false; }

private:
    // The beat at a sample of the engine's timeline, counted from the anchor at the anchor's tempo.
    double BeatAt(double sample) const { return anchorBeat_ + (sample - anchorSample_) / anchorSpb_; }
    void Anchor(double sample, double beat, double samplesPerBeat);

    bool valid_ = false;
    // Where the played frames end, and where the host's last block ended by its own positions.
    double playedEndSample_ = 0.0, playedEndBeat_ = 0.0;
    double hostEndSample_ = 0.0, hostEndBeat_ = 0.0;
    int lastFrames_ = 0;
    // Where the sample position rules, the beat is counted from the last relocation, tempo change
    // or block the musical position placed, not added up block by block: so it comes out the same
    // for every block size, however long the song.
    double anchorSample_ = 0.0, anchorBeat_ = 0.0, anchorSpb_ = 1.0;
};

} // namespace quova
