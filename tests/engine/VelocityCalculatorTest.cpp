#include "engine/VelocityCalculator.h"
#include "engine/NoteList.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{
class Velocity : public ::testing::Test
{
protected:
    void SetUp() override
    {
        held.Add(60, 100, false);
        held.Add(64, 50, false);
        held.Add(40, 20, false); // lowest octave
        held.Add(80, 90, false); // highest octave
        held.ComputeOrder(0);
        record.velocity = 77;
    }

    int Compute(int mode, double accent)
    {
        calculator.SetMode(mode);
        record.accent = accent;
        return calculator.Velocity(held, record);
    }

    NoteList held;
    NoteRecord record;
    VelocityCalculator calculator;
};
} // namespace

TEST_F(Velocity, FiveModes)
{
    EXPECT_EQ(Compute(VelocityCalculator::kFixed, 0.0), 127);
    EXPECT_EQ(Compute(VelocityCalculator::kNote, 0.0), 77);
    EXPECT_EQ(Compute(VelocityCalculator::kFirst, 0.0), 90);
    EXPECT_EQ(Compute(VelocityCalculator::kLast, 0.0), 20);
    EXPECT_EQ(Compute(VelocityCalculator::kAverage, 0.0), 65);
    EXPECT_EQ(Compute(5, 0.0), 0);
    EXPECT_EQ(Compute(-1, 10.0), 12);
}

TEST_F(Velocity, AccentAddsPercentOf127TruncatedTowardZero)
{
    EXPECT_EQ(Compute(VelocityCalculator::kFixed, 50.0), 190);
    EXPECT_EQ(Compute(VelocityCalculator::kNote, -50.0), 13);
    EXPECT_EQ(Compute(VelocityCalculator::kAverage, 100.0), 192);
    EXPECT_EQ(Compute(VelocityCalculator::kFirst, -100.0), -37);
    EXPECT_EQ(Compute(VelocityCalculator::kLast, 10.0), 32);
}

TEST_F(Velocity, CorruptAccentKeepsTheBase)
{
    EXPECT_EQ(Compute(VelocityCalculator::kNote, std::numeric_limits<double>::quiet_NaN()), 77);
    EXPECT_EQ(Compute(VelocityCalculator::kNote, std::numeric_limits<double>::infinity()), 77);
    EXPECT_EQ(Compute(VelocityCalculator::kFixed, 1.0e300), 1000000);
}
