// The note engine's block splitting and bookkeeping, the processor's pieces,
// the action dispatcher, and stepper options seen through the whole engine.
#include "EngineRig.h"

#include "engine/ControlTargetTable.h"
#include "engine/Lanes.h"

#include <gtest/gtest.h>

using rig::SampleOf;

TEST(NoteEngineBlocks, ANoteOnSplitsTheBlockAroundItsDelivery)
{
    rig::Engine e;
    NoteEngine& notes = e.Notes();
    EXPECT_EQ(notes.NextEventOffset(0.0, 512, 0.0), 512); // nothing pending: one piece
    e.Press(48, 100, 100);
    notes.TakeInbox();
    EXPECT_EQ(notes.NextEventOffset(0.0, 512, 0.0), 100);
    EXPECT_EQ(notes.GetHeldCount(), 0);
    EXPECT_EQ(notes.NextEventOffset(100.0, 412, 100.0), 1); // delivered in a 1-frame piece
    EXPECT_EQ(notes.GetHeldCount(), 1);
    EXPECT_EQ(e.Area().GetHeldCount(), 1);
    EXPECT_EQ(notes.NextEventOffset(101.0, 411, 101.0), 411);
    EXPECT_EQ(notes.NextEventOffset(512.0, 0, 512.0), 0);
}

TEST(NoteEngineBlocks, EventsAtTheBlockEndWaitForTheNextBlock)
{
    rig::Engine e;
    NoteEngine& notes = e.Notes();
    e.Press(48, 100, 512);
    notes.TakeInbox();
    EXPECT_EQ(notes.NextEventOffset(0.0, 512, 0.0), 512);
    EXPECT_EQ(notes.NextEventOffset(512.0, 0, 512.0), 0);
    EXPECT_EQ(notes.GetHeldCount(), 0);
    EXPECT_EQ(notes.NextEventOffset(512.0, 512, 0.0), 1); // due at offset 0 of the next block
    EXPECT_EQ(notes.GetHeldCount(), 1);
}

TEST(NoteEngineBlocks, ANoteAddedDuringARunDoesNotTriggerTheStepTwice)
{
    rig::Engine e;
    e.Press(48);
    e.RunThrough(3 * rig::kFrames - 1);
    e.Press(52, 90, 10);
    e.RunBeats(1.1);
    const auto ons = e.recorder.Ons();
    ASSERT_GE(ons.size(), 4u);
    EXPECT_EQ(ons[1].sample, SampleOf(0.25));
    EXPECT_EQ(ons[1].note, 52);
    EXPECT_EQ(ons[2].sample, SampleOf(0.5));
    EXPECT_EQ(ons[2].note, 48);
}

TEST(NoteEngineBlocks, ResetOnNewNoteRestartsTheSteps)
{
    rig::Engine e;
    e.Stepper().SetPatternResetOnNewNote(0, true);
    e.Stepper().SetLaneResetOnPatternReset(0, quova::kLaneOrder, true);
    e.Press(48);
    e.Press(55);
    e.RunThrough(15 * rig::kFrames); // 48 at 0, 55 at 0.25
    e.Press(52, 90, 0);              // beat 0.37: the order restarts at beat 0.5
    e.RunBeats(1.1);
    EXPECT_EQ(e.recorder.OnNotes(), (std::vector<int>{48, 55, 48, 52, 55}));
    EXPECT_EQ(e.Stepper().Position(), 2); // steps 0, 1, 2 since the restart
}

TEST(NoteEngineBlocks, FreeRateAndGateLengthInSteps)
{
    rig::Engine e;
    e.Stepper().SetPatternFreeRateValue(0, 4.0); // four steps per second: half a beat
    e.Stepper().SetPatternFreeRate(0, true);
    e.PressChord();
    e.RunBeats(1.6);
    const auto ons = e.recorder.Ons();
    ASSERT_GE(ons.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(ons[i].sample, SampleOf(0.5 * static_cast<double>(i)));

    // With gate length in steps, a positive step gate g lengthens the step by
    // floor(2 x g x 31 + 1) grid steps.
    rig::Engine g;
    g.Area().SetGateLengthInSteps(true);
    g.Stepper().SetPatternGate(0, 0.0);
    g.Stepper().SetStepGate(0, 0, 0.05); // floor(4.1) = 4 steps
    g.PressChord();
    g.RunBeats(1.5);
    // E = 1.0 beat; the note ends at E + 0.05 x (E - 0). (Step 3 plays 48
    // again at 0.75 and ends it at 0.9975 first.)
    bool found = false;
    for (const rig::Note& n : g.recorder.Offs())
        found = found || (n.note == 48 && n.sample == SampleOf(1.05));
    EXPECT_TRUE(found);
}

TEST(ActionDispatch, ActionsReachTheSinkOnlyWhenOneIsSet)
{
    rig::Engine e;
    ActionDispatcher& d = *e.host.GetDispatcher();
    d.Dispatch(ActionDispatcher::kToggleHold);
    EXPECT_EQ(e.sink.holds, (std::vector<int>{1}));
    e.Area().SetHold(true);
    d.Dispatch(ActionDispatcher::kToggleHold);
    EXPECT_EQ(e.sink.holds.back(), 0);
    d.Dispatch(ActionDispatcher::kPanic);
    EXPECT_EQ(e.sink.panics, 1);
    ActionArgument program;
    program.value = 27; // key area 2, pattern 3
    d.Dispatch(ActionDispatcher::kShowProgram, program);
    EXPECT_EQ(e.sink.shown.back(), 203);
    d.Dispatch(13);
    d.Dispatch(-4);
    d.Dispatch(ActionDispatcher::kNoteSounding); // no note: nothing
    EXPECT_EQ(e.sink.marks, 0);

    // Switching the edited area: lane toggles go to that area.
    e.host.GetKeyAreas()->SelectForEditing(2);
    ActionArgument lane;
    lane.value = quova::kLaneGate;
    d.Dispatch(ActionDispatcher::kToggleLane, lane);
    EXPECT_FALSE(e.Stepper(2).IsLaneEnabled(5, quova::kLaneGate));
    EXPECT_TRUE(e.Stepper(0).IsLaneEnabled(5, quova::kLaneGate));
    lane.value = 40; // no such lane
    d.Dispatch(ActionDispatcher::kToggleLane, lane);
    EXPECT_EQ(e.sink.lanes, (std::vector<int>{200 + quova::kLaneGate}));

    d.SetSink(nullptr);
    d.Dispatch(ActionDispatcher::kPanic);
    EXPECT_EQ(e.sink.panics, 1);
}

TEST(ActionDispatch, PlayingNotesMarkAndClearThePatternView)
{
    rig::Engine e;
    e.PressChord();
    e.RunBeats(0.6);
    EXPECT_EQ(e.sink.marks, 3);
    for (int n : {48, 52, 55})
        e.Release(n);
    e.RunBeats(1.0);
    EXPECT_GE(e.sink.clears, 1);
    EXPECT_TRUE(e.Notes().IsIdle());
}
