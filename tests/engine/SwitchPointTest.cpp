// Queued pattern changes and hold-sync points with switch points below, at and beyond the
// pattern length: each is reached within its number of steps.
#include "tests/engine/EngineRig.h"

#include <gtest/gtest.h>

namespace
{
constexpr double kStep = 0.25; // beats of a 1/16 step
constexpr int kPatternLength = 6;
constexpr int kPoints[] = {4, kPatternLength, 16};

TEST(EngineSwitchPoints, AQueuedChangeComesWithinItsSwitchPoint)
{
    for (int point : kPoints)
    {
        rig::Engine e;
        e.Stepper().SetPatternLength(0, kPatternLength);
        e.Press(48);
        double beat = 0.3; // step 1 under way
        e.RunBeats(beat);
        ASSERT_TRUE(e.Area().ChangePatternAt(1, point));
        int steps = 0;
        while (e.Stepper().GetCurrentPattern() != 1 && steps < 3 * point)
        {
            beat += kStep;
            e.RunBeats(beat);
            ++steps;
        }
        EXPECT_LE(steps, point) << "switch point " << point;
    }
}

// Key 48 plays from beat 0 in a 6-step pattern and goes up at 0.3, with hold sync (or hold) on and
// sync points every `sync` steps.
void PlayAndRelease(rig::Engine& e, int sync, bool hold)
{
    e.Stepper().SetPatternLength(0, kPatternLength);
    if (hold)
        e.Area().SetHold(true);
    else
        e.Area().SetHoldSync(true);
    e.Area().SetHoldSyncSteps(sync);
    e.Press(48);
    e.RunBeats(0.3);
    e.Release(48);
}

TEST(EngineSwitchPoints, AReleasedHoldSyncChordEndsAndAHeldChordIsReplacedInTime)
{
    for (int sync : kPoints)
    {
        rig::Engine e;
        PlayAndRelease(e, sync, false);
        e.RunBeats(0.3 + kStep * (sync + 1));
        const size_t ons = e.recorder.Ons().size();
        e.RunBeats(0.3 + kStep * (sync + 9));
        EXPECT_EQ(e.recorder.Ons().size(), ons) << "hold sync " << sync << ": notes after every key went up";
        EXPECT_EQ(e.Notes().GetHeldCount(), 0) << "hold sync " << sync;

        // With hold, a new chord takes the kept one's place at the next sync point.
        rig::Engine next;
        PlayAndRelease(next, sync, true);
        next.Press(50);
        next.RunBeats(0.3 + kStep * (sync + 1));
        ASSERT_FALSE(next.recorder.Ons().empty());
        EXPECT_EQ(next.recorder.Ons().back().note, 50) << "hold, sync " << sync;
    }
}
} // namespace

namespace
{
// "Start notes immediately" in 4096-frame blocks: the block from beat 0.1 holds a key pressed at
// beat 0.2406, just before the grid point 0.25. The first note sounds at the key press and its step
// is measured from the key, as in blocks of one frame: the grid point 0.25 lies less than 0.1 beat
// after it, so the step ends at beat 0.5 and the next notes follow on the grid.
TEST(EngineStartImmediately, TheFirstStepStartsAtTheKey)
{
    rig::Engine e;
    e.host.SetFlagByte(EngineHost::kStartNotesImmediately, true);
    constexpr int kBlock = 4096;
    constexpr double kStart = 2205.0; // beat 0.1
    e.Press(48, 100, 3100);
    for (int b = 0; b < 4; ++b)
    {
        const double position = kStart + b * kBlock;
        e.transport.samplePosition = position;
        e.transport.beatPosition = position / rig::kSamplesPerBeat;
        e.recorder.block = b;
        e.app.ProcessBlock(position, 0.0, rig::kSamplesPerBeat, true, false, 0.0, -1.0, kBlock, false);
    }
    std::vector<long> ons;
    for (const rig::Note& n : e.recorder.all)
        if (n.on)
            ons.push_back(static_cast<long>(kStart) + (n.sample - n.offset) / rig::kFrames * kBlock +
                          n.offset);
    ASSERT_GE(ons.size(), 3u);
    EXPECT_EQ(ons[0], 2205 + 3100);
    EXPECT_EQ(ons[1], 11025);
    EXPECT_EQ(ons[2], 16537);
}
} // namespace
