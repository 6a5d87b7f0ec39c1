#include "engine/Looper.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{
using V = std::vector<int>;

Looper Make(int mode, int start, int end)
{
    Looper looper(Looper::kMaxPositions);
    looper.SetLoopRange(start, end);
    EXPECT_TRUE(looper.SetMode(mode));
    return looper;
}

// The position after the reset, then after each of count - 1 advances.
V Walk(Looper looper, int count)
{
    V positions{looper.Position()};
    for (int i = 1; i < count; ++i)
    {
        looper.Advance();
        positions.push_back(looper.Position());
    }
    return positions;
}

// count calls of PeekNext.
V Peeks(Looper& looper, int count)
{
    V positions;
    for (int i = 0; i < count; ++i)
        positions.push_back(looper.PeekNext());
    return positions;
}
} // namespace

TEST(LooperAdvance, FourDirections)
{
    EXPECT_EQ(Walk(Make(Looper::kUp, 4, 8), 6), (V{4, 5, 6, 7, 4, 5}));
    EXPECT_EQ(Walk(Make(Looper::kDown, 4, 8), 6), (V{7, 6, 5, 4, 7, 6}));
    EXPECT_EQ(Walk(Make(Looper::kUpAlt, 0, 4), 9), (V{0, 1, 2, 3, 2, 1, 0, 1, 2}));
    EXPECT_EQ(Walk(Make(Looper::kDownAlt, 0, 4), 8), (V{3, 2, 1, 0, 1, 2, 3, 2}));
}

TEST(LooperAdvance, RangesOfOneAndTwo)
{
    for (int mode = 0; mode < Looper::kModeCount; ++mode)
    {
        Looper one = Make(mode, 5, 6);
        EXPECT_EQ(Walk(one, 4), (V{5, 5, 5, 5})) << Looper::ModeName(mode);
        EXPECT_EQ(Peeks(one, 3), (V{5, 5, 5})) << Looper::ModeName(mode);
    }
    EXPECT_EQ(Walk(Make(Looper::kUp, 10, 12), 5), (V{10, 11, 10, 11, 10}));
    EXPECT_EQ(Walk(Make(Looper::kDown, 10, 12), 5), (V{11, 10, 11, 10, 11}));
    EXPECT_EQ(Walk(Make(Looper::kUpAlt, 10, 12), 5), (V{10, 11, 10, 11, 10}));
    EXPECT_EQ(Walk(Make(Looper::kDownAlt, 10, 12), 5), (V{11, 10, 11, 10, 11}));
}

TEST(LooperAdvance, FullRangeWrapsAndBounces)
{
    Looper up = Make(Looper::kUp, 0, 32);
    up.SetPosition(30);
    EXPECT_FALSE(up.Advance());
    EXPECT_TRUE(up.Advance()); // wrapped
    EXPECT_EQ(up.Position(), 0);
    Looper down = Make(Looper::kDown, 0, 32);
    EXPECT_EQ(Peeks(down, 2), (V{31, 30}));
    Looper bounce = Make(Looper::kUpAlt, 0, 32);
    bounce.SetPosition(30);
    EXPECT_EQ(Walk(bounce, 4), (V{30, 31, 30, 29}));
}

TEST(LooperAdvance, ChangedRangeIsReachedOnTheNextAdvance)
{
    Looper up = Make(Looper::kUp, 0, 32);
    up.SetPosition(20);
    up.SetLoopEnd(8);
    EXPECT_EQ(up.Position(), 20); // changing the range does not move the index
    up.Advance();                 // 21 wraps to 13 and is limited to 7
    EXPECT_EQ(up.Position(), 7);
    up.Advance();
    EXPECT_EQ(up.Position(), 0);
    up.SetLoopStart(5);
    up.Advance();
    EXPECT_EQ(up.Position(), 5);
}

TEST(LooperPeekNext, AlternatesBetweenCurrentAndNext)
{
    Looper looper = Make(Looper::kUp, 0, 4);
    EXPECT_EQ(Peeks(looper, 4), (V{0, 1, 0, 1}));
    EXPECT_EQ(looper.Position(), 0);
    // The last peek handed out 1; once the index reaches 1 the next peek
    // already looks ahead.
    looper.Advance();
    EXPECT_EQ(Peeks(looper, 2), (V{2, 1}));
    looper.Advance();
    looper.Advance();
    EXPECT_EQ(Peeks(looper, 2), (V{3, 0}));
    looper.Reset(); // forgets the peek
    looper.Advance();
    EXPECT_EQ(looper.PeekNext(), 1);
}

TEST(LooperPeekNext, LooksPastTheEndsWithoutTurning)
{
    Looper down = Make(Looper::kDown, 4, 8);
    down.SetPosition(4);
    EXPECT_EQ(Peeks(down, 2), (V{4, 7}));
    Looper upAlt = Make(Looper::kUpAlt, 0, 4);
    upAlt.SetPosition(3);
    EXPECT_EQ(Peeks(upAlt, 2), (V{3, 2}));
    EXPECT_FALSE(upAlt.IsBackward());
    Looper downAlt = Make(Looper::kDownAlt, 0, 4);
    downAlt.SetPosition(0);
    EXPECT_EQ(Peeks(downAlt, 2), (V{0, 1}));
    EXPECT_TRUE(downAlt.IsBackward());
    EXPECT_EQ(downAlt.Position(), 0);
}

TEST(LooperWouldLeaveRange, LooksOneStepAhead)
{
    Looper up = Make(Looper::kUp, 2, 5);
    EXPECT_FALSE(up.WouldLeaveRange());
    EXPECT_TRUE(up.IsStarted());
    up.SetPosition(4);
    EXPECT_TRUE(up.WouldLeaveRange());
}

TEST(LooperRange, SetFromOutsideIsClamped)
{
    Looper looper(Looper::kMaxPositions);
    looper.SetLoopRange(-5, 40);
    EXPECT_EQ(V({looper.LoopStart(), looper.LoopEnd()}), (V{0, 32}));
    looper.SetLoopRange(40, 10);
    EXPECT_EQ(V({looper.LoopStart(), looper.LoopEnd()}), (V{31, 32}));
    looper.SetLoopRange(10, 3);
    EXPECT_EQ(V({looper.LoopStart(), looper.LoopEnd()}), (V{10, 11}));
    // Start first, as a state is read, reaches a range past the old end.
    looper.SetLoopRange(20, 25);
    EXPECT_EQ(V({looper.LoopStart(), looper.LoopEnd()}), (V{20, 25}));
    looper.SetPosition(99);
    EXPECT_EQ(looper.Position(), 31);
    looper.SetPosition(-3);
    EXPECT_EQ(looper.Position(), 0);
}

TEST(LooperRange, RandomRangesNeverYieldAStepOutsideThePattern)
{
    for (unsigned seed = 1; seed <= 200; ++seed)
    {
        std::mt19937 random(seed);
        std::uniform_int_distribution<int> wild(-100, 100);
        std::uniform_int_distribution<int> action(0, 5);
        Looper looper(Looper::kMaxPositions);
        looper.SetMode(static_cast<int>(seed % 4));
        for (int i = 0; i < 200; ++i)
        {
            int index = -1;
            switch (action(random))
            {
            case 0:
                looper.SetLoopRange(wild(random), wild(random));
                break;
            case 1:
                looper.SetPosition(wild(random));
                break;
            case 2:
                looper.SetMode(wild(random) & 3);
                break;
            case 3:
                index = looper.PeekNext();
                break;
            default:
                looper.Advance();
                index = looper.Position();
                break;
            }
            ASSERT_GE(looper.LoopStart(), 0) << "seed " << seed;
            ASSERT_LT(looper.LoopStart(), looper.LoopEnd()) << "seed " << seed;
            ASSERT_LE(looper.LoopEnd(), 32) << "seed " << seed;
            if (index != -1)
            {
                ASSERT_GE(index, 0) << "seed " << seed << " step " << i;
                ASSERT_LT(index, 32) << "seed " << seed << " step " << i;
            }
        }
    }
}

TEST(LooperMode, SetModePlacesIndexAndRefusesUnknownModes)
{
    Looper looper = Make(Looper::kUp, 3, 9);
    looper.Advance();
    EXPECT_TRUE(looper.SetMode(Looper::kDownAlt));
    EXPECT_EQ(looper.Position(), 8);
    EXPECT_TRUE(looper.IsBackward());
    EXPECT_FALSE(looper.IsStarted());
    EXPECT_FALSE(looper.SetMode(4));
    EXPECT_FALSE(looper.SetMode(-1));
    EXPECT_EQ(looper.GetMode(), Looper::kDownAlt);
}
