#include "engine/Scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

namespace
{
constexpr int kMajor = 0;
constexpr int kMelodicMinor = 2;
constexpr int kHarmonicMinor = 3;
constexpr int kChromatic = 12;

Scale Make(int index, int key = 0, int rotation = 0)
{
    Scale scale;
    EXPECT_TRUE(scale.SetScale(index));
    EXPECT_TRUE(scale.SetBaseNote(key));
    EXPECT_TRUE(scale.SetRoot(rotation));
    return scale;
}
} // namespace

TEST(ScaleTable, NamesKeepTheirTrailingBlanks)
{
    EXPECT_EQ(std::string(ScaleTable::GetName(14)), "Spanish Gypsy ");
    EXPECT_EQ(std::string(ScaleTable::GetName(39)), "Dominant 7th");
    EXPECT_EQ(ScaleTable::GetName(40), nullptr);
    EXPECT_EQ(ScaleTable::GetMask(-1), nullptr);
}

struct Case
{
    int scale, key, rotation;
    bool quantize; // Quantize (note, amount), else MoveByDegrees (note, amount)
    int note, amount, expected;
};

TEST(Scale, MovesAndQuantizesWithinMidiRange)
{
    const int none = Scale::kNoScale;
    const Case cases[] = {
        // No scale: semitones, limited to 0..127.
        {none, 0, 0, false, 120, 20, 127},
        {none, 0, 0, false, 5, -10, 0},
        {none, 0, 0, true, -5, 0, 0},
        {none, 0, 0, true, 61, 0, 61},
        {none, 0, 0, false, INT_MAX, INT_MAX, 127},
        {none, 0, 0, true, INT_MIN, INT_MIN, 0},
        // C major.
        {kMajor, 0, 0, false, 60, 2, 64},
        {kMajor, 0, 0, false, 61, 1, 64},
        {kMajor, 0, 0, false, 61, 0, 62},
        {kMajor, 0, 0, false, 64, -1, 62},
        {kMajor, 0, 0, false, 61, -1, 59},
        {kMajor, 0, 0, false, 61, 7, 74},
        {kMajor, 0, 0, false, 61, -7, 48},
        {kMajor, 0, 0, false, 60, 16, 88},
        {kMajor, 0, 0, true, 61, 0, 62},
        {kMajor, 0, 0, true, 66, -1, 65},
        {kMajor, 0, 0, true, 70, 0, 71},
        // C major at the edges: G 127 is in the scale, F# 126 rises to it.
        {kMajor, 0, 0, false, 127, 0, 127},
        {kMajor, 0, 0, false, 127, 1, 127},
        {kMajor, 0, 0, false, 126, 0, 127},
        {kMajor, 0, 0, false, 0, -1, 0},
        {kMajor, 0, 0, false, 2, -1, 0},
        {kMajor, 0, 0, true, 0, 0, 0},
        {kMajor, 0, 0, true, -3, 0, 0},
        {kMajor, 0, 0, true, 127, 10, 127},
        {kMajor, 0, 0, false, 60, INT_MAX, 127},
        {kMajor, 0, 0, false, 60, INT_MIN, 0},
        {kMajor, 0, 0, false, INT_MIN, 5, 0},
        {kMajor, 0, 0, true, INT_MAX, INT_MAX, 127},
        // D flat major: G rises past 127; C is its seventh.
        {kMajor, 1, 0, true, 127, 0, 127},
        {kMajor, 1, 0, true, 0, 0, 0},
        {kMajor, 1, 0, true, 2, 0, 3},
        // D major; the major mask from its fourth step (lydian) and second step (dorian).
        {kMajor, 2, 0, false, 62, 2, 66},
        {kMajor, 2, 0, true, 63, 0, 64},
        {kMajor, 2, 0, true, 60, 0, 61},
        {kMajor, 0, 5, true, 65, 0, 66},
        {kMajor, 0, 2, true, 63, 0, 63},
        {kMajor, 0, 2, false, 60, 2, 63},
    };
    for (const Case& c : cases)
    {
        Scale scale;
        ASSERT_TRUE(scale.SetBaseNote(c.key));
        ASSERT_TRUE(scale.SetRoot(c.rotation));
        ASSERT_TRUE(scale.SetScale(c.scale));
        const int result =
            c.quantize ? scale.Quantize(c.note, c.amount) : scale.MoveByDegrees(c.note, c.amount);
        EXPECT_EQ(result, c.expected)
            << "scale " << c.scale << " key " << c.key << " rotation " << c.rotation
            << (c.quantize ? " quantize " : " degrees ") << c.note << ", " << c.amount;
    }
}

TEST(Scale, MelodicAndHarmonicMinorGiveTheSameNotes)
{
    const Scale melodic = Make(kMelodicMinor, 3);
    const Scale harmonic = Make(kHarmonicMinor, 3);
    for (int n = 0; n < 128; ++n)
        for (int d = -9; d <= 9; ++d)
            ASSERT_EQ(melodic.MoveByDegrees(n, d), harmonic.MoveByDegrees(n, d)) << n << " " << d;
}

TEST(Scale, ChromaticMovesBySemitones)
{
    const Scale scale = Make(kChromatic, 7, 4);
    for (int n = 0; n < 128; n += 3)
        for (int d = -30; d <= 30; ++d)
            ASSERT_EQ(scale.MoveByDegrees(n, d), std::clamp(n + d, 0, 127)) << n << " " << d;
}

TEST(Scale, EveryScaleKeyAndRotationLandsOnScaleNotes)
{
    for (int index = 0; index < ScaleTable::kScaleCount; ++index)
        for (int key = 0; key < 12; key += 5)
            for (int rotation = 0; rotation < 12; rotation += 7)
            {
                const Scale scale = Make(index, key, rotation);
                for (int n = 12; n < 110; ++n)
                {
                    const int up = scale.MoveByDegrees(n, 0);
                    ASSERT_TRUE(scale.Contains(up)) << index << " " << n;
                    ASSERT_TRUE(up >= n && up < n + 12);
                    ASSERT_EQ(scale.Quantize(n, 0), up);
                    // One degree up is the next scale note above.
                    const int next = scale.MoveByDegrees(n, 1);
                    ASSERT_GT(next, up);
                    for (int between = up + 1; between < next; ++between)
                        ASSERT_FALSE(scale.Contains(between)) << index << " " << n;
                    ASSERT_EQ(scale.MoveByDegrees(scale.MoveByDegrees(up, -1), 1), up);
                }
            }
}

TEST(Scale, BadSettingsAreRefusedAndNoScaleKeepsTheMask)
{
    Scale scale = Make(kMajor, 2, 0);
    EXPECT_FALSE(scale.SetScale(40));
    EXPECT_FALSE(scale.SetScale(-2));
    EXPECT_FALSE(scale.SetRoot(12));
    EXPECT_FALSE(scale.SetBaseNote(-1));
    EXPECT_EQ(scale.Quantize(63, 0), 64);

    ASSERT_TRUE(scale.SetScale(Scale::kNoScale));
    ASSERT_TRUE(scale.SetRoot(2)); // re-applies "no scale"
    EXPECT_EQ(scale.Quantize(63, 0), 63);
    ASSERT_TRUE(scale.SetScale(kMajor));
    EXPECT_EQ(scale.Quantize(65, 0), 65); // D dorian holds F
    EXPECT_EQ(scale.Quantize(66, 0), 67);
}
