// Block processing against the host clock: blocks placed where the host says they lie, a host whose
// position stands still, the loop-jump flag, relocations, offsets kept inside the block, what passes
// through and its transposing, and the controller lanes sent with their notes.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "gui/IGraphics.h"
#include "gui/IInvisibleSwitchControl.h"
#include "tests/plugin/MidiTestSupport.h"
#include "views/ParameterIndex.h"

namespace
{

using quova::test::MidiRig;
using quova::test::SentMessage;
namespace param = quova::param;

PatternEngine& Area(Tobel& plug, int a)
{
    return *plug.GetEngineHost().GetKeyAreas()->GetArea(a);
}
const TransportState& Clock(MidiRig& rig)
{
    return rig.Plug().GetTransportState();
}

// Every block lies where the host says, whatever its distance from the previous one (one that
// repeats samples has its first frames played already), so that a jump counts the same in blocks of
// any size.
TEST(BlockClock, ARelocationIsTakenAsItComes)
{
    MidiRig rig;
    rig.BlockAt(0);
    rig.BlockAt(507); // the host repeats the last 5 samples
    EXPECT_EQ(Clock(rig).samplePosition, 507.0);
    EXPECT_DOUBLE_EQ(Clock(rig).beatPosition, 507.0 / 22050.0);
    rig.BlockAt(1119); // or skips 100
    EXPECT_EQ(Clock(rig).samplePosition, 1119.0);
    rig.BlockAt(50000); // forward by more than a block
    EXPECT_EQ(Clock(rig).samplePosition, 50000.0);
    rig.BlockAt(1000); // back, without a host loop
    EXPECT_EQ(Clock(rig).samplePosition, 1000.0);
    EXPECT_FALSE(Clock(rig).loopJump);
    // After a stop the first block is taken as it comes.
    rig.SetPlaying(false);
    rig.BlockAt(1512);
    EXPECT_FALSE(Clock(rig).playing);
    rig.SetPlaying(true);
    rig.BlockAt(1600);
    EXPECT_EQ(Clock(rig).samplePosition, 1600.0);
}

// A host that plays with its position standing still repeats the same span, in blocks of any size:
// no step plays twice, and every message of its list acts within its block at its frame (a learned
// controller moves its control, a controller and a note no key area takes go back to the host);
// nothing waits for a later block. When the host moves on, the steps go on from where they stood.
TEST(BlockClock, AHostStandingStillPlaysNoStepTwiceAndLetsEveryMessageThrough)
{
    MidiRig rig;
    Tobel& plug = rig.Plug();
    // A control bound to the global volume, learned by controller 20.
    auto* knob = new ICustomInvisibleSwitchControl(&plug, IRectangle{0, 0, 10, 10}, param::kGlobalVolume);
    plug.SetLearnMapping(20, plug.GetGraphics()->AddControl(knob));
    for (uint8_t n : {48, 52, 55})
        rig.Midi(0x90, n, 100);
    rig.BlockAt(0);
    ASSERT_EQ(rig.SentOfKind(0x90).size(), 1u); // the first step
    rig.ClearSent();
    const int sizes[] = {512, 64, 100, 300};
    for (int i = 0; i < 30; ++i)
    {
        const int block = rig.BlockIndex(), at = 10 + i;
        std::vector<SentMessage> expected;
        if (i % 3 == 0)
            rig.Midi(0xB0, 20, static_cast<uint8_t>(i), at);
        else if (i % 3 == 1)
        {
            rig.Midi(0xB1, 7, static_cast<uint8_t>(i), at);
            expected = {{block, at, 0xB1, 7, static_cast<uint8_t>(i)}};
        }
        else
        {
            rig.Midi(0x94, 60, 90, at);
            rig.Midi(0x84, 60, 0, at + 1);
            expected = {{block, at, 0x94, 60, 90}, {block, at + 1, 0x84, 60, 0}};
        }
        rig.BlockAt(0, sizes[i % 4]);
        if (i % 3 == 0)
        {
            EXPECT_EQ(plug.GetParameter(param::kGlobalVolume)->Value(), i) << "press " << i;
        }
        std::vector<SentMessage> sent;
        for (const SentMessage& m : rig.Sent())
            if (m.block == block) sent.push_back(m);
        EXPECT_EQ(sent, expected) << "message " << i;
        rig.BlockAt(0, sizes[(i + 1) % 4]);
    }
    for (const SentMessage& m : rig.Sent())
        EXPECT_NE(m.status, 0x90) << m; // no step again
    // The host moves on: step 1 starts at 5512.5, at offset 392 of the block at 5120.
    rig.ClearSent();
    const int from = rig.BlockIndex();
    rig.BlockAt(512);
    rig.Blocks(10);
    const std::vector<SentMessage> ons = rig.SentOfKind(0x90);
    ASSERT_FALSE(ons.empty());
    EXPECT_EQ(ons[0].block - from, 9);
    EXPECT_EQ(ons[0].offset, 392);
}

TEST(BlockClock, TheLoopJumpFlagMarksOnlyAJumpBackOverMoreThanHalfTheActiveLoop)
{
    MidiRig rig;
    rig.SetCycle(0.0, 4.0); // 88200 samples
    rig.BlockAt(87688);
    EXPECT_FALSE(Clock(rig).loopJump);
    EXPECT_TRUE(Clock(rig).loop);
    EXPECT_EQ(Clock(rig).loopStart, 0.0);
    EXPECT_EQ(Clock(rig).loopEnd, 88200.0);
    rig.BlockAt(0); // back to the loop start
    EXPECT_TRUE(Clock(rig).loopJump);
    rig.BlockAt(512); // continuous: the flag is cleared
    EXPECT_FALSE(Clock(rig).loopJump);
    rig.BlockAt(40000);
    rig.BlockAt(10000); // back by 30512, less than half the loop
    EXPECT_FALSE(Clock(rig).loopJump);

    // Loop bounds are whole sample counts (the integer part).
    rig.SetCycle(0.50001, 1.00001);
    rig.BlockAt(10512);
    EXPECT_EQ(Clock(rig).loopStart, 11025.0);
    EXPECT_EQ(Clock(rig).loopEnd, 22050.0);
    // An active cycle without a usable range is no loop.
    rig.SetCycle(-1.0, 1.0);
    rig.BlockAt(11024);
    EXPECT_FALSE(Clock(rig).loop);
    EXPECT_EQ(Clock(rig).loopEnd, -1.0);
    rig.SetCycle(2.0, 1.0);
    rig.BlockAt(11536);
    EXPECT_FALSE(Clock(rig).loop);
}

TEST(BlockOutput, EveryOffsetLiesInsideTheHostsBlockAndTheOutputsAreSilent)
{
    MidiRig rig;
    for (uint8_t n : {48, 52, 55})
        rig.Midi(0x90, n, 100);
    // A host that skips 40 samples every block.
    double position = 0.0;
    for (int b = 0; b < 200; ++b)
    {
        rig.BlockAt(position);
        position += 512 + 40;
    }
    ASSERT_GT(rig.SentOfKind(0x90).size(), 20u);
    for (const SentMessage& m : rig.Sent())
    {
        EXPECT_GE(m.offset, 0);
        EXPECT_LT(m.offset, 512);
        EXPECT_LT(m.data1, 128);
        EXPECT_LT(m.data2, 128);
    }
    EXPECT_TRUE(rig.OutputsStayedSilent());
}

TEST(PassThrough, NotesAreTransposedByKeyArea1sScaleWhenTheOptionIsOn)
{
    // Options: transpose all output notes (5th line); then also as semitones (4th line).
    for (const char* settings : {"false\nfalse\nfalse\nfalse\ntrue\nfalse\nfalse\n",
                                 "false\nfalse\nfalse\ntrue\ntrue\nfalse\nfalse\n"})
    {
        MidiRig rig(true, {settings, ""});
        Area(rig.Plug(), 0).GetScale().SetScale(0); // major in C
        rig.Midi(0x94, 66, 90, 12);                 // F# is not in C major
        rig.Midi(0x94, 67, 91, 13);
        rig.Blocks(1);
        EXPECT_EQ(rig.Sent(), (std::vector<SentMessage>{{0, 12, 0x94, 67, 90}, {0, 13, 0x94, 67, 91}}))
            << settings;
    }
    MidiRig plain;
    Area(plain.Plug(), 0).GetScale().SetScale(0);
    plain.Midi(0x94, 66, 90, 12);
    plain.Blocks(1);
    EXPECT_EQ(plain.Sent(), (std::vector<SentMessage>{{0, 12, 0x94, 66, 90}}));
}

TEST(PassThrough, NotesHeldBackByAnAreaThatThenRunsAreNotLeftSounding)
{
    MidiRig rig;
    Area(rig.Plug(), 0).SetArpOnNoteCount(2);
    rig.Midi(0x90, 48, 100, 10); // waits for a second note: passed through meanwhile
    rig.Blocks(2);
    rig.Midi(0x90, 52, 100, 20); // the area starts
    rig.Blocks(20);
    rig.Midi(0x80, 48, 0, 30);
    rig.Midi(0x80, 52, 0, 30);
    rig.Blocks(20);
    // Every note-on the host received has a later note-off on the same channel and note.
    std::multiset<int> sounding;
    for (const SentMessage& m : rig.Sent())
    {
        const int kind = m.status & 0xF0;
        if (kind == 0x90 && m.data2 > 0) sounding.insert(m.data1);
        if (kind == 0x80 || (kind == 0x90 && m.data2 == 0))
        {
            auto it = sounding.find(m.data1);
            if (it != sounding.end()) sounding.erase(it);
        }
    }
    EXPECT_TRUE(sounding.empty());
    EXPECT_FALSE(rig.SentOfKind(0x90).empty());
}

TEST(ControllerLanes, EachNoteOnCarriesItsKeyAreasControllersWhereTheStepIsOn)
{
    MidiRig rig;
    Tobel& plug = rig.Plug();
    ASSERT_TRUE(plug.SetControllerLaneNumber(0, 74));
    ASSERT_TRUE(plug.SetControllerLaneNumber(3, 7));
    PatternStepper& stepper = Area(plug, 0).GetStepper();
    for (int step = 0; step < 32; ++step)
    {
        stepper.SetStepCC(0, step, 0, 10 + step);
        stepper.SetStepCC(0, step, 3, 100);
    }
    // Controller lane 4 (lane 12) is off at step 1.
    plug.GetParameter(param::StepOnOff(0, 0, 12, 1))->SetValue(0.0);
    Area(plug, 0).SetMidiOutChannel(2);
    rig.Midi(0x90, 48, 100);
    rig.Blocks(33); // steps 0..3
    const std::vector<SentMessage>& sent = rig.Sent();
    std::vector<SentMessage> expected;
    const int starts[4] = {0, 5512, 11025, 16537};
    for (int step = 0; step < 4; ++step)
    {
        const int block = starts[step] / 512, offset = starts[step] % 512;
        expected.push_back({block, offset, 0x91, 48, 100});
        expected.push_back({block, offset, 0xB1, 74, static_cast<uint8_t>(10 + step)});
        if (step != 1) expected.push_back({block, offset, 0xB1, 7, 100});
    }
    std::vector<SentMessage> ons;
    for (const SentMessage& m : sent)
        if ((m.status & 0xF0) != 0x80) ons.push_back(m);
    EXPECT_EQ(ons, expected);
}

TEST(ControllerLanes, AKeyAreaThatSendsOnlyControllersStillSendsThem)
{
    MidiRig rig;
    Tobel& plug = rig.Plug();
    plug.SetControllerLaneNumber(0, 1);
    Area(plug, 0).SetSendOnlyControllers(true);
    rig.Midi(0x90, 48, 100);
    rig.Blocks(12);
    EXPECT_TRUE(rig.SentOfKind(0x90).empty());
    EXPECT_EQ(rig.SentOfKind(0xB0).size(), 2u);
}

} // namespace
