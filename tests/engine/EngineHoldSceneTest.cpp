// Hold, hold transpose, hold bypass, hold sync, scenes, queued pattern
// changes and the control zone through the whole engine.
#include "EngineRig.h"

#include "engine/ControlTargetTable.h"
#include "engine/Lanes.h"

#include <gtest/gtest.h>

using rig::SampleOf;

namespace
{
// The note-ons from a beat on, as (beat on the 1/16 grid, note).
std::vector<int> NotesFrom(const rig::Recorder& r, double beat, size_t count)
{
    std::vector<int> notes;
    for (const rig::Note& n : r.Ons())
        if (n.sample >= SampleOf(beat) && notes.size() < count) notes.push_back(n.note);
    return notes;
}

long LastSample(const std::vector<rig::Note>& notes)
{
    return notes.empty() ? -1 : notes.back().sample;
}
} // namespace

TEST(EngineHold, HoldKeepsReleasedNotesUntilSwitchedOff)
{
    rig::Engine e;
    e.Area().SetHold(true);
    e.PressChord();
    e.RunThrough(19 * rig::kFrames);
    for (int n : {48, 52, 55})
        EXPECT_TRUE(e.Release(n)); // taken; hold keeps the note
    e.RunBeats(2.0);
    EXPECT_EQ(NotesFrom(e.recorder, 0.5, 6), (std::vector<int>{55, 48, 52, 55, 48, 52}));
    EXPECT_EQ(e.Notes().GetHeldCount(), 3); // hold keeps the keys counted

    // Off: the held notes go; the sounding note ends at the next block start.
    e.Area().SetHold(false);
    const long offBlock = e.block;
    e.RunBeats(3.0);
    EXPECT_LT(LastSample(e.recorder.Ons()), offBlock * rig::kFrames);
    EXPECT_EQ(LastSample(e.recorder.Offs()), offBlock * rig::kFrames);
    EXPECT_EQ(e.Notes().GetHeldCount(), 0);
}

TEST(EngineHold, HoldTransposeMovesTheFirstChordByTheNewLowestNote)
{
    rig::Engine e;
    e.Area().SetHold(true);
    e.Area().SetHoldTranspose(true);
    e.PressChord();
    e.RunThrough(9 * rig::kFrames);
    for (int n : {48, 52, 55})
        e.Release(n);
    e.RunThrough(29 * rig::kFrames);
    e.Press(50); // beat 0.70: taken over at the next step (beat 0.75)
    e.RunThrough(39 * rig::kFrames);
    e.Release(50);
    e.RunThrough(59 * rig::kFrames);
    e.Press(53); // beat 1.39: at beat 1.5 the first chord moves up by 5
    e.RunBeats(2.3);
    EXPECT_EQ(NotesFrom(e.recorder, 0.0, 3), (std::vector<int>{48, 52, 55}));
    EXPECT_EQ(NotesFrom(e.recorder, 0.75, 3), (std::vector<int>{50, 54, 57}));
    EXPECT_EQ(NotesFrom(e.recorder, 1.5, 3), (std::vector<int>{53, 57, 60}));
}

TEST(EngineHold, HoldWithBypassLetsNewNotesThroughAndTakesTheReleaseOfAKeyTheAreaHolds)
{
    rig::Engine e;
    e.Area().SetHold(true);
    e.Area().SetHoldBypass(true);
    EXPECT_EQ(e.Press(50), 0);
    EXPECT_FALSE(e.Release(50, 1));
    e.Block();
    EXPECT_EQ(e.recorder.passed.size(), 2u);
    EXPECT_TRUE(e.recorder.all.empty());
    e.Area().SetHoldBypass(false);
    EXPECT_EQ(e.Press(50), 2);
    e.RunBeats(0.5);
    EXPECT_FALSE(e.recorder.Ons().empty());
    e.recorder.passed.clear();
    // Bypass on again: the key the area holds still goes up in it, and once hold is off the
    // arpeggio ends.
    e.Area().SetHoldBypass(true);
    e.Release(50);
    e.Block();
    EXPECT_TRUE(e.recorder.passed.empty());
    e.Area().SetHold(false);
    const long offBlock = e.block;
    e.RunBeats(2.0);
    EXPECT_LT(LastSample(e.recorder.Ons()), offBlock * rig::kFrames);
    EXPECT_EQ(e.Notes().GetHeldCount(), 0);
}

TEST(EngineHold, HoldSyncSettlesAReleasedChordAtTheNextStep)
{
    rig::Engine e;
    e.Area().SetHoldSync(true);
    e.Area().SetHoldSyncSteps(4);
    e.PressChord();
    e.RunThrough(13 * rig::kFrames);
    for (int n : {48, 52, 55})
        e.Release(n); // beat 0.325: the chord ends at the next step (beat 0.5)
    e.RunThrough(24 * rig::kFrames);
    e.Press(50); // beat 0.58: a new chord, played from the next grid point
    e.RunBeats(1.6);
    EXPECT_EQ(NotesFrom(e.recorder, 0.0, 6), (std::vector<int>{48, 52, 50, 50, 50, 50}));
    const auto ons = e.recorder.Ons();
    ASSERT_GE(ons.size(), 3u);
    EXPECT_EQ(ons[2].sample, SampleOf(0.75));

    // Nothing new: the kept note stops at the next step.
    rig::Engine alone;
    alone.Area().SetHoldSync(true);
    alone.Area().SetHoldSyncSteps(4);
    alone.Press(48);
    alone.RunThrough(13 * rig::kFrames);
    alone.Release(48);
    alone.RunBeats(2.0);
    EXPECT_EQ(alone.recorder.Ons().size(), 2u);
    EXPECT_EQ(alone.Notes().GetHeldCount(), 0);
}

TEST(EngineScenes, ScenesChainPatterns)
{
    rig::Engine e;
    PatternEngine& area = e.Area();
    area.SetSortOrder(1, 1); // pattern 1: "Hi-Lo"
    area.SetSceneStepField(0, 0, 4);
    area.SetSceneStepField(0, 1, 0);
    area.SetSceneStepField(1, 0, 4);
    area.SetSceneStepField(1, 1, 1);
    area.SetSceneEnd(1);
    area.SetSceneEnabled(true);
    e.PressChord();
    e.RunBeats(3.1);
    EXPECT_EQ(NotesFrom(e.recorder, 0.0, 12),
              (std::vector<int>{48, 52, 55, 48, 55, 52, 48, 55, 48, 52, 55, 48}));
    EXPECT_EQ(e.recorder.Ons()[4].sample, SampleOf(1.0));

    // A repeat count plays a scene step again before moving on.
    rig::Engine r;
    r.Area().SetSortOrder(1, 1);
    r.Area().SetSceneStepField(0, 0, 2);
    r.Area().SetSceneStepField(0, 2, 1);
    r.Area().SetSceneStepField(1, 0, 2);
    r.Area().SetSceneStepField(1, 1, 1);
    r.Area().SetSceneEnd(1);
    r.Area().SetSceneEnabled(true);
    r.PressChord();
    r.RunBeats(1.6);
    EXPECT_EQ(NotesFrom(r.recorder, 0.0, 7), (std::vector<int>{48, 52, 48, 52, 55, 52, 48}));
}

TEST(EngineScenes, PatternChangeWaitsForItsSwitchPoint)
{
    rig::Engine e;
    e.Area().SetSortOrder(1, 1);
    e.PressChord();
    e.RunThrough(12 * rig::kFrames);
    EXPECT_TRUE(e.Area().ChangePatternAt(1, 4)); // queued during step 1
    EXPECT_TRUE(e.Area().HasQueuedChange());
    e.RunBeats(1.8);
    EXPECT_EQ(NotesFrom(e.recorder, 0.0, 8), (std::vector<int>{48, 52, 55, 48, 55, 52, 48, 55}));
    EXPECT_EQ(e.recorder.Ons()[4].sample, SampleOf(1.0));
    EXPECT_EQ(e.Stepper().GetCurrentPattern(), 1);
    ASSERT_FALSE(e.sink.shown.empty());
    EXPECT_EQ(e.sink.shown.back(), 1); // area 0 shows pattern 1

    // A change while the area does not run takes effect at once.
    rig::Engine idle;
    EXPECT_FALSE(idle.Area().ChangePattern(3));
    EXPECT_EQ(idle.Stepper().GetCurrentPattern(), 3);

    // With zone sync 0 a running change happens at the next step.
    rig::Engine next;
    next.Area().SetSortOrder(1, 1);
    next.PressChord();
    next.RunThrough(12 * rig::kFrames);
    EXPECT_TRUE(next.Area().ChangePattern(1));
    next.RunBeats(1.0);
    EXPECT_EQ(NotesFrom(next.recorder, 0.0, 4), (std::vector<int>{48, 52, 55, 52}));
}

TEST(EngineScenes, ProgramChangeSelectsAreaAndPattern)
{
    rig::Engine e;
    ControlTargetTable& zone = *e.host.GetControlTargetTable();
    zone.HandleProgramChange(47); // area 3, pattern 11, not running: at once
    EXPECT_EQ(e.Stepper(3).GetCurrentPattern(), 11);
    ASSERT_EQ(e.sink.shown.size(), 1u);
    EXPECT_EQ(e.sink.shown[0], 311);
    zone.HandleProgramChange(48);
    zone.HandleProgramChange(-1);
    EXPECT_EQ(e.sink.shown.size(), 1u);
    zone.HandleProgramChange(2); // the edited area: the control shows it
    EXPECT_EQ(e.sink.shown.back(), 2);
}

TEST(EngineZone, ControlZoneKeysTriggerTheirActions)
{
    rig::Engine e;
    ControlTargetTable& zone = *e.host.GetControlTargetTable();
    std::vector<int> ids(ControlTargetTable::kKeyCount, 0);
    ids[0] = 1;   // key 12: "order"
    ids[2] = 10;  // key 14: previous preset
    ids[3] = 12;  // key 15: hold
    ids[12] = 17; // key 24: "pattern3"
    ids[13] = 30; // key 25: "pattern16", limited to the twelfth pattern
    zone.SetActions(ids);
    for (int key : {12, 14, 15, 24, 25, 13, 5})
        EXPECT_EQ(e.Press(key), 1);
    e.Block();
    EXPECT_EQ(e.sink.lanes, (std::vector<int>{0}));
    EXPECT_FALSE(e.Stepper().IsLaneEnabled(7, quova::kLaneOrder));
    EXPECT_EQ(e.sink.presets, (std::vector<int>{-1}));
    EXPECT_EQ(e.sink.holds, (std::vector<int>{1}));
    EXPECT_EQ(e.sink.shown, (std::vector<int>{2, 11}));
    EXPECT_TRUE(e.recorder.all.empty());
    EXPECT_EQ(e.Notes().GetHeldCount(), 0);

    EXPECT_EQ(zone.GetActionName(12), "order");
    EXPECT_EQ(zone.GetActionName(14), "");
    EXPECT_EQ(zone.GetActionName(36), "");
    EXPECT_EQ(ControlTargetTable::TargetIdForWord("shift"), 0);
    EXPECT_EQ(ControlTargetTable::TargetIdForWord("Order"), 0);
    EXPECT_EQ(ControlTargetTable::TargetIdForWord("pattern16"), 30);
    EXPECT_EQ(ControlTargetTable::TargetIdForWord("nextpreset"), 11);

    // With the zone off, low notes reach the key areas' matching rules.
    zone.SetZoneOn(false);
    EXPECT_EQ(e.Press(30), 0);
    e.Block();
    EXPECT_EQ(e.recorder.TakePassedOns(), (std::vector<int>{30}));
}

TEST(EngineRobustness, BadClocksAndLateEventsStayInsideTheirBlocks)
{
    // An event beyond the block acts at its last frame, not blocks later.
    rig::Engine late;
    late.PressChord(600);
    late.Block();
    EXPECT_EQ(late.Notes().GetHeldCount(), 3);
    late.RunBeats(0.3);
    ASSERT_FALSE(late.recorder.Ons().empty());
    EXPECT_EQ(late.recorder.Ons()[0].sample, SampleOf(0.25)); // the block's last frame lies after beat 0

    // A host without tempo: no step runs, nothing breaks.
    rig::Engine still;
    still.PressChord();
    for (double spb : {0.0, -5.0, std::nan("")})
        still.app.ProcessBlock(0.0, 0.0, spb, true, false, 0.0, -1.0, rig::kFrames, false);
    EXPECT_TRUE(still.recorder.Ons().empty());
    still.RunBeats(0.3);
    EXPECT_FALSE(still.recorder.Ons().empty());

    // Switching the area off ends its sounding notes at once.
    rig::Engine off;
    off.Area().SetMidiOutChannel(16);
    off.PressChord();
    off.RunThrough(3 * rig::kFrames);
    off.Area().SetEnabled(false);
    off.Block();
    const auto offs = off.recorder.Offs();
    ASSERT_FALSE(offs.empty());
    EXPECT_EQ(offs.back().note, 48);
    EXPECT_EQ(offs.back().channel, 16);
    EXPECT_EQ(off.Notes().SoundingCount(16), 0);
}

TEST(EngineScenes, AChangeQueuedBeforeTheFirstStepSwitchesAtItsStart)
{
    rig::Engine e;
    e.Area().SetSortOrder(1, 1);
    e.RunThrough(3 * rig::kFrames - 1);
    e.PressChord(100);
    e.Block(); // the area runs; its first step waits for beat 0.25
    EXPECT_TRUE(e.Area().ChangePattern(1));
    e.RunBeats(0.8);
    const auto ons = e.recorder.Ons();
    ASSERT_GE(ons.size(), 3u);
    EXPECT_EQ(ons[0].sample, SampleOf(0.25));
    EXPECT_EQ(e.recorder.OnNotes()[0], 55);
    EXPECT_EQ(e.recorder.OnNotes()[1], 52);
    EXPECT_EQ(ons[1].sample, SampleOf(0.5));
}
