#include "engine/PatternStepper.h"
#include "engine/ActionListener.h"
#include "engine/SortOrder.h"
#include "engine/TransportState.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
class CountingListener : public ActionListener
{
public:
    void OnStep(StepEvent&) override {}
    void OnStepEnd(StepEvent&) override {}
    void OnStepLengthChanged() override { ++stepLengthChanges; }
    void OnReset() override {}
    int stepLengthChanges = 0;
};

class PatternStepperTest : public ::testing::Test
{
protected:
    PatternStepperTest()
    {
        transport.sampleRate = 48000.0;
        transport.samplesPerBeat = 24000.0; // 120 beats per minute
    }
    TransportState transport;
    CountingListener listener;
    PatternStepper stepper{transport, nullptr, &listener, nullptr};
};
} // namespace

TEST_F(PatternStepperTest, StoreStartsWithItsDefaults)
{
    EXPECT_EQ(stepper.GetPatternRecord(0)->sortMode, 1); // pattern 0 starts high to low
    EXPECT_EQ(stepper.GetPatternRecord(0)->walkMode, 0);
    EXPECT_EQ(stepper.GetPatternRecord(11)->length, 1);
    EXPECT_EQ(stepper.GetLaneLooper(11, 16)->LoopEnd(), 32);
    EXPECT_TRUE(stepper.IsLaneEnabled(11, quova::kLaneController8));
    for (bool on : stepper.GetStep(11, 31)->laneOn)
        EXPECT_TRUE(on);
    EXPECT_DOUBLE_EQ(stepper.GetStepLength(), 0.25);
}

TEST_F(PatternStepperTest, StepSettersReachOnlyTheirStep)
{
    EXPECT_TRUE(stepper.SetStepChord(3, 7, 255));
    EXPECT_TRUE(stepper.SetStepCC(3, 7, 7, 99));
    EXPECT_TRUE(stepper.SetStepLaneOn(3, quova::kLaneGate, 7, false)); // lane before step
    const StepRecord& s = *stepper.GetStep(3, 7);
    EXPECT_EQ(s.chord, 255);
    EXPECT_EQ(s.controllers[7], 99);
    EXPECT_FALSE(s.laneOn[quova::kLaneGate]);
    EXPECT_TRUE(s.laneOn[quova::kLaneOrder]);
    EXPECT_EQ(stepper.GetStep(3, 8)->chord, 0);
    EXPECT_EQ(stepper.GetStep(4, 7)->chord, 0);
}

TEST_F(PatternStepperTest, BadIndicesAreRefused)
{
    EXPECT_FALSE(stepper.SetStepChord(12, 0, 1));
    EXPECT_FALSE(stepper.SetStepChord(0, 32, 1));
    EXPECT_FALSE(stepper.SetStepChord(0, -1, 1));
    EXPECT_FALSE(stepper.SetStepCC(0, 0, 8, 1));
    EXPECT_FALSE(stepper.SetStepLaneOn(0, 17, 0, false));
    EXPECT_FALSE(stepper.SetLaneDirection(0, 0, 4));
    EXPECT_FALSE(stepper.ToggleLaneAllPatterns(0, -1));
    EXPECT_FALSE(stepper.SetCurrentPattern(12));
    EXPECT_FALSE(stepper.SetPatternLength(-1, 4));
    EXPECT_EQ(stepper.GetLaneLooper(0, 17), nullptr);
    EXPECT_EQ(stepper.GetCurrentPattern(), 0);
    EXPECT_EQ(stepper.GetLaneLooper(0, 0)->GetMode(), Looper::kUp);
    // Lane positions are limited to the pattern's 32 steps.
    stepper.SetStepChord(2, 31, 5);
    stepper.SetStepChord(2, 0, 6);
    EXPECT_EQ(stepper.GetLaneStep(2, 40).chord, 5);
    EXPECT_EQ(stepper.GetLaneStep(2, -3).chord, 6);
}

TEST_F(PatternStepperTest, LaneDirectionAndToggle)
{
    EXPECT_TRUE(stepper.SetLaneDirection(5, 2, Looper::kDown));
    EXPECT_EQ(stepper.GetLaneLooper(5, 2)->Position(), 31);

    stepper.SetLaneEnabled(7, 4, false);
    EXPECT_TRUE(stepper.ToggleLaneAllPatterns(3, 4)); // on in pattern 3: all off
    for (int p = 0; p < quova::kPatternCount; ++p)
        EXPECT_FALSE(stepper.IsLaneEnabled(p, 4)) << p;
    EXPECT_TRUE(stepper.IsLaneEnabled(3, 5));
    EXPECT_TRUE(stepper.ToggleLaneAllPatterns(0, 4));
    for (int p = 0; p < quova::kPatternCount; ++p)
        EXPECT_TRUE(stepper.IsLaneEnabled(p, 4)) << p;
}

TEST_F(PatternStepperTest, LengthOfAnotherPatternWaitsUntilItIsCurrent)
{
    ASSERT_TRUE(stepper.SetPatternLength(0, 16));
    EXPECT_EQ(stepper.LoopEnd(), 16);
    ASSERT_TRUE(stepper.SetPatternLength(4, 8));
    EXPECT_EQ(stepper.LoopEnd(), 16);
    ASSERT_TRUE(stepper.SetCurrentPattern(4));
    EXPECT_EQ(stepper.LoopEnd(), 8);
    EXPECT_EQ(stepper.Length(), 8);
    EXPECT_EQ(stepper.GetCurrentPatternLength(), 8);
    stepper.SetPatternLength(4, 40);
    EXPECT_EQ(stepper.LoopEnd(), 32);
    stepper.SetPatternLength(4, 0);
    EXPECT_EQ(stepper.GetCurrentPatternLength(), 1);
}

TEST_F(PatternStepperTest, RateChangeAppliesStepLengthOnlyWhenItDiffers)
{
    ASSERT_TRUE(stepper.SetPatternRate(0, 0.25));
    EXPECT_EQ(listener.stepLengthChanges, 0);
    ASSERT_TRUE(stepper.SetPatternRate(0, 0.375));
    EXPECT_EQ(listener.stepLengthChanges, 1);
    EXPECT_DOUBLE_EQ(stepper.GetStepLength(), 0.375);
    EXPECT_TRUE(stepper.IsDotted());
    // Another pattern's rate is stored but does not reach the clock.
    ASSERT_TRUE(stepper.SetPatternRate(6, 1.0));
    EXPECT_DOUBLE_EQ(stepper.GetPatternRecord(6)->stepLength, 1.0);
    EXPECT_DOUBLE_EQ(stepper.GetStepLength(), 0.375);
    // Lengths that would stall the clock are refused.
    EXPECT_FALSE(stepper.SetPatternRate(0, 0.0));
    EXPECT_FALSE(stepper.SetPatternRate(0, -1.0));
    EXPECT_FALSE(stepper.SetPatternStepLength(0, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_DOUBLE_EQ(stepper.GetStepLength(), 0.375);
}

TEST_F(PatternStepperTest, FreeRateGivesStepsPerSecond)
{
    ASSERT_TRUE(stepper.SetPatternFreeRate(0, true)); // free rate value still 0
    EXPECT_DOUBLE_EQ(stepper.GetStepLength(), 0.25);
    ASSERT_TRUE(stepper.SetPatternFreeRateValue(0, 4.0));
    // 48000 samples / 4 steps per second / 24000 samples per beat.
    EXPECT_DOUBLE_EQ(stepper.GetStepLength(), 0.5);
    EXPECT_EQ(listener.stepLengthChanges, 2);

    // Another pattern's free-rate value applies the current one again.
    transport.samplesPerBeat = 12000.0;
    ASSERT_TRUE(stepper.SetPatternFreeRateValue(5, 1.0));
    EXPECT_EQ(listener.stepLengthChanges, 3);
    EXPECT_DOUBLE_EQ(stepper.GetStepLength(), 1.0);

    transport.samplesPerBeat = 0.0; // a clock without tempo
    ASSERT_TRUE(stepper.SetPatternFreeRateValue(0, 2.0));
    EXPECT_DOUBLE_EQ(stepper.GetStepLength(), 0.25);
}

TEST_F(PatternStepperTest, OrderOfCurrentPatternUpdatesRememberedWalk)
{
    const quova::SortOrderChoice& hiLoAlt = *quova::GetSortOrder(5);
    ASSERT_TRUE(stepper.SetPatternOrder(0, hiLoAlt.walkMode, hiLoAlt.sortMode));
    EXPECT_EQ(stepper.GetRememberedWalkMode(), 3);
    ASSERT_TRUE(stepper.SetPatternOrder(2, 2, 0));
    EXPECT_EQ(stepper.GetRememberedWalkMode(), 3);
}

TEST_F(PatternStepperTest, RestartResetsEveryLane)
{
    ControlLooper& lane = *stepper.GetLaneLooper(9, 16);
    lane.SetLoopRange(4, 12);
    lane.Advance();
    stepper.Restart();
    EXPECT_EQ(lane.Position(), 4);
    EXPECT_EQ(lane.LoopEnd(), 12);
}
