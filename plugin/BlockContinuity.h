// Where each of the host's blocks lies on its timeline while it plays, and which of the block's
// frames were played already.
//
// Hosts do not always hand over their timeline cleanly: some repeat the tail of the last block
// (a block that starts a few samples before the last one ended), some report a position or a
// musical position that jitters by a sample, some derive the musical position from a
// single-precision sample counter. A block that starts behind where the last one ended, but not
// before the last block's start, repeats samples already played: what was played is not played
// again, and the block runs on from where the last one ended. Both of the host's positions are
// looked at, the sample position and the musical position (quarter notes); either moving back
// makes the repeat. A jump back to the host's loop start, and any move back before the last
// block's start, is a relocation, taken where the host says; so is every move forward (what lies
// in the skipped span plays at the block's first frame).
//
// A host position that is missing (not finite, or negative) follows from the other one and the
// tempo, continuing from where the last block ended; with both missing the timeline runs on from
// there.
//
// Audio thread, under the plug-in's lock, like the rest of the block processing.
#pragma once

namespace quova
{

class BlockContinuity
{
public:
    // What the host says of one block.
    struct HostBlock
    {
        double samplePosition = 0.0; // of the block's first frame; below 0 or not finite: missing
        double beatPosition = 0.0;   // quarter notes; below 0 or not finite: missing
        int frames = 0;
        double samplesPerBeat = 0.0; // above 0
        bool loopActive = false;
        double loopStartSample = 0.0, loopEndSample = -1.0;
        double loopStartBeat = 0.0;
    };
    // Where the block's frames lie: the positions of its first frame (sample and quarter notes),
    // the frames at its start that were played already (0..frames), and whether the block jumped
    // back by more than half the host's loop (a loop's jump back).
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
    bool valid_ = false;
    // The host's positions of the last block's first frame, and where the played frames end.
    double lastStartSample_ = 0.0, lastStartBeat_ = 0.0;
    double playedEndSample_ = 0.0, playedEndBeat_ = 0.0;
};

} // namespace quova
