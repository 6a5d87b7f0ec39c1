// Whole-road scenarios: notes in with sample offsets, blocks against the
// transport, generated notes out through the ProcessorListener. Expected
// times are worked out from the beat grid: at 120 beats per minute and
// 44100 Hz a beat is 22050 samples, a 1/16 step 5512.5 samples; with the
// default gate of -0.1 a note lasts 90 % of its step.
#include "EngineRig.h"

#include "engine/ChordMemory.h"
#include "engine/ControlTargetTable.h"
#include "engine/Random.h"

#include <gtest/gtest.h>

using rig::SampleOf;

namespace
{
struct Expected
{
    double beat;
    int note;
};

void ExpectOns(const std::vector<rig::Note>& ons, const std::vector<Expected>& expected)
{
    ASSERT_GE(ons.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_EQ(ons[i].sample, SampleOf(expected[i].beat)) << "note-on " << i;
        EXPECT_EQ(ons[i].note, expected[i].note) << "note-on " << i;
    }
}

// The first note-off of a note at or after a sample.
const rig::Note* OffOf(const rig::Recorder& r, int note, long from)
{
    for (const rig::Note& n : r.all)
        if (!n.on && n.note == note && n.sample >= from) return &n;
    return nullptr;
}
} // namespace

TEST(EngineRoad, DefaultStatePlaysTheChordLowToHighOnTheSixteenthGrid)
{
    rig::Engine e;
    e.PressChord(0);
    e.RunBeats(2.0);
    const auto ons = e.recorder.Ons();
    ExpectOns(ons, {{0.0, 48}, {0.25, 52}, {0.5, 55}, {0.75, 48}, {1.0, 52}, {1.25, 55}, {1.5, 48}});
    // Velocities as played.
    EXPECT_EQ(ons[0].velocity, 100);
    EXPECT_EQ(ons[1].velocity, 90);
    EXPECT_EQ(ons[2].velocity, 80);
    // Step 1 starts at sample 5512.5: block 10, offset 392.
    EXPECT_EQ(ons[1].offset, 392);
    EXPECT_EQ(ons[1].sample / rig::kFrames, 10);
    // Each note ends after 90 % of its step.
    for (int i = 0; i < 6; ++i)
    {
        const rig::Note* off =
            OffOf(e.recorder, ons[static_cast<size_t>(i)].note, ons[static_cast<size_t>(i)].sample);
        ASSERT_NE(off, nullptr);
        EXPECT_EQ(off->sample, SampleOf(0.25 * i + 0.225)) << "note-off " << i;
        EXPECT_EQ(off->velocity, 127);
    }
    // Every offset handed out lies inside its block.
    for (const rig::Note& n : e.recorder.all)
        EXPECT_TRUE(n.offset >= 0 && n.offset < rig::kFrames);
}

TEST(EngineRoad, FirstStepWaitsForTheGridUnlessNotesStartImmediately)
{
    rig::Engine grid;
    grid.RunThrough(3 * rig::kFrames - 1);
    grid.PressChord(100); // sample 1636, beat 0.0742
    grid.RunBeats(1.0);
    ExpectOns(grid.recorder.Ons(), {{0.25, 48}, {0.5, 52}, {0.75, 55}});

    rig::Engine now;
    now.host.SetFlagByte(EngineHost::kStartNotesImmediately, true);
    now.RunThrough(3 * rig::kFrames - 1);
    now.PressChord(100);
    now.RunBeats(1.0);
    const auto ons = now.recorder.Ons();
    ASSERT_GE(ons.size(), 3u);
    EXPECT_EQ(ons[0].sample, 1636);
    EXPECT_EQ(ons[0].note, 48);
    // The first step runs from the key (sample 1636, whatever block holds
    // it) to the grid (beat 0.25); its note ends at 90 % of that step:
    // 5512.5 - 0.1 x (5512.5 - 1636) = 5124.85.
    EXPECT_EQ(OffOf(now.recorder, 48, 0)->sample, 5124);
    EXPECT_EQ(ons[1].sample, SampleOf(0.25));
    EXPECT_EQ(ons[1].note, 52);
}

TEST(EngineRoad, ReleaseCutsTheSoundingNoteAndARepressStartsOver)
{
    rig::Engine e;
    e.PressChord(0);
    e.RunThrough(11 * rig::kFrames);
    for (int n : {48, 52, 55})
        EXPECT_TRUE(e.Release(n, 50)); // sample 6194, while 52 sounds
    e.RunThrough(19 * rig::kFrames);
    const rig::Note* cut = OffOf(e.recorder, 52, 5512);
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->sample, 12 * rig::kFrames + 50);
    EXPECT_EQ(e.recorder.Ons().size(), 2u);
    EXPECT_EQ(e.Notes().GetHeldCount(), 0);

    e.PressChord(0); // sample 10240, beat 0.464: the next grid point is beat 0.5
    e.RunBeats(1.0);
    ExpectOns(e.recorder.Ons(), {{0.0, 48}, {0.25, 52}, {0.5, 48}, {0.75, 52}});
}

TEST(EngineRoad, HostStopEndsEverythingAndTheOwnClockRunsWhileStopped)
{
    rig::Engine e;
    e.PressChord(0);
    e.RunThrough(29 * rig::kFrames);
    e.playing = false; // block 30: the host stops while 55 sounds (11025..15986)
    e.Block();
    const rig::Note* off = OffOf(e.recorder, 55, 11025);
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(off->sample, 30 * rig::kFrames);
    EXPECT_EQ(e.Notes().GetHeldCount(), 0);
    const size_t before = e.recorder.Ons().size();
    e.RunThrough(39 * rig::kFrames);
    EXPECT_EQ(e.recorder.Ons().size(), before);

    // Pressed while stopped: the own clock plays at once and keeps the steps.
    for (int n : {48, 52, 55})
        e.Release(n);
    e.PressChord(0);
    e.RunThrough(62 * rig::kFrames);
    auto ons = e.recorder.Ons();
    ASSERT_GE(ons.size(), before + 3);
    EXPECT_EQ(ons[before].sample, 40 * rig::kFrames);
    EXPECT_EQ(ons[before].note, 48);
    EXPECT_EQ(ons[before + 1].sample, 40 * rig::kFrames + 5512);
    EXPECT_EQ(ons[before + 2].sample, 40 * rig::kFrames + 11025);

    // The host starts again at beat 10 (position 220500): the arpeggio moves
    // to the host's grid, starting on the next grid point.
    e.playing = true;
    e.position = 220500.0 + 100.0; // a little after beat 10
    const long startBlock = e.block;
    e.Block();
    for (int i = 0; i < 12; ++i)
        e.Block();
    ons = e.recorder.Ons();
    const rig::Note* next = nullptr;
    for (const rig::Note& n : ons)
        if (n.sample >= startBlock * rig::kFrames)
        {
            next = &n;
            break;
        }
    ASSERT_NE(next, nullptr);
    // Beat 10.25 lies 5512.5 - 100 samples after the block start.
    EXPECT_EQ(next->sample, startBlock * rig::kFrames + 5412);
}

TEST(EngineRoad, LoopJumpRestartsTheStepAtTheLoopStart)
{
    rig::Engine e;
    e.PressChord(0);
    e.RunThrough(39 * rig::kFrames); // beat 0.93: 48 sounds (0.75..0.975)
    e.position = 0.0;
    e.transport.loopJump = true;
    e.Block(); // block 40 plays from beat 0 again
    e.RunThrough(52 * rig::kFrames);
    const rig::Note* off = OffOf(e.recorder, 48, SampleOf(0.75));
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(off->sample, 40 * rig::kFrames);
    const auto ons = e.recorder.Ons();
    ASSERT_GE(ons.size(), 6u);
    // The order walks on: 48 52 55 48 | 52 55.
    EXPECT_EQ(ons[4].sample, 40 * rig::kFrames);
    EXPECT_EQ(ons[4].note, 52);
    EXPECT_EQ(ons[5].sample, 40 * rig::kFrames + 5512);
    EXPECT_EQ(ons[5].note, 55);
}

TEST(EngineRoad, ArpOnNoteCountHoldsNotesBackUntilTheCountIsReached)
{
    rig::Engine e;
    e.Area().SetArpOnNoteCount(3);
    e.RunThrough(rig::kFrames * 2 - 1);
    EXPECT_EQ(e.Press(48, 100, 10), 0);
    e.Block();
    EXPECT_EQ(e.recorder.TakePassedOns(), (std::vector<int>{48})); // passes through while waiting
    EXPECT_EQ(e.Press(52, 90, 10), 0);
    e.Block();
    EXPECT_EQ(e.recorder.TakePassedOns(), (std::vector<int>{52}));
    EXPECT_EQ(e.Press(55, 80, 20), 2); // sample 2068: all three start
    e.RunBeats(1.0);
    EXPECT_TRUE(e.recorder.TakePassedOns().empty());
    ExpectOns(e.recorder.Ons(), {{0.25, 48}, {0.5, 52}, {0.75, 55}});
    // The two passed-through notes are ended when the area starts playing.
    int ended = 0;
    for (const rig::Note& n : e.recorder.Offs())
        if (n.sample == SampleOf(0.25) && (n.note == 48 || n.note == 52)) ++ended;
    EXPECT_EQ(ended, 2);

    // A note-off of a waiting note just leaves the buffer (and passes through).
    rig::Engine w;
    w.Area().SetArpOnNoteCount(2);
    EXPECT_EQ(w.Press(48), 0);
    EXPECT_FALSE(w.Release(48));
    EXPECT_EQ(w.Press(52, 100, 1), 0); // the buffer was emptied: this one waits again
    w.Block();
    EXPECT_EQ(w.recorder.passed.size(), 3u);
    EXPECT_TRUE(w.recorder.all.empty());
}

TEST(EngineRoad, NotesOutsideEveryAreaPassThroughAndZoneNotesAreTaken)
{
    rig::Engine e;
    EXPECT_EQ(e.Press(70), 0);            // area 1 is off
    EXPECT_EQ(e.Press(40, 100, 0, 2), 0); // wrong channel
    EXPECT_EQ(e.Press(30), 1);            // control zone
    EXPECT_FALSE(e.Release(70));
    EXPECT_FALSE(e.Release(30)); // a zone key's release is not taken
    e.RunBeats(1.0);
    EXPECT_TRUE(e.recorder.all.empty());
    EXPECT_EQ(e.recorder.passed.size(), 4u);
    EXPECT_EQ(e.recorder.TakePassedOns(), (std::vector<int>{70, 40}));
    // Bad input is refused without effect.
    EXPECT_EQ(e.Press(128), 0);
    EXPECT_EQ(e.Press(48, 0), 0);
    EXPECT_EQ(e.Press(48, 100, 0, 17), 0);
    EXPECT_FALSE(e.Release(-1));
    e.Block();
    EXPECT_TRUE(e.recorder.passed.empty());
}
