#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "framework/IMidiMessage.h"
#include "framework/IParameter.h"

namespace
{
std::string Format(const IParameter& p, double v, bool normalised = false, bool texts = true)
{
    char text[32];
    p.FormatValue(v, normalised, text, sizeof text, texts);
    return text;
}
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
} // namespace

TEST(IParameter, NormalisedValuesRoundToTheStepForNonDoubles)
{
    IParameter note;
    note.DefineInt("Note", 0, 0, 127);
    note.SetNormalizedValue(0.5); // 63.5 rounds up
    EXPECT_EQ(note.Value(), 64.0);
    IParameter mode;
    mode.DefineEnum("Mode", 0, 4);
    mode.SetNormalizedValue(0.5); // 1.5 rounds up
    EXPECT_EQ(mode.Value(), 2.0);
    IParameter gain;
    gain.DefineDouble("Gain", 0, 0, 100, 1);
    gain.SetNormalizedValue(0.505);
    EXPECT_DOUBLE_EQ(gain.Value(), 50.5); // doubles are never rounded

    IParameter odd;
    odd.DefineInt("Odd", 1, 0, 1);
    odd.DefineDouble("Odd", 1, 1, 9, 2); // keeps the int type
    EXPECT_EQ(odd.GetType(), IParameter::kTypeInt);
    odd.SetNormalizedValue(0.0); // 1 -> nearest multiple of 2 counted from 0
    EXPECT_EQ(odd.Value(), 2.0);
    odd.SetNormalizedValue(1.0); // 9 -> 10 -> limited to the maximum
    EXPECT_EQ(odd.Value(), 9.0);

    IParameter channel; // host values outside 0..1 stay inside the range
    channel.DefineInt("Channel", 5, 1, 16);
    channel.SetNormalizedValue(-0.5);
    EXPECT_EQ(channel.Value(), 1.0);
    channel.SetNormalizedValue(kNaN);
    EXPECT_EQ(channel.Value(), 1.0);
    channel.SetNormalizedValue(7.0);
    EXPECT_EQ(channel.Value(), 16.0);
}

TEST(IParameter, DefinitionRules)
{
    IParameter p;
    p.DefineDouble("Zero", 0, 0, 0, 1);
    EXPECT_EQ(p.GetMaximum(), 1.0); // max(minimum + step, maximum)
    const struct
    {
        double step;
        int decimals;
    } cases[] = {{1.0, 0}, {0.5, 1}, {0.25, 2}, {0.01, 2}, {0.001, 3}};
    for (const auto& c : cases)
    {
        IParameter q;
        q.DefineDouble("q", 0, 0, 10, c.step);
        EXPECT_EQ(q.GetDisplayDecimals(), c.decimals) << c.step;
    }
    IParameter longName;
    longName.DefineInt("Chord memory apply chord selection", 0, 0, 1);
    EXPECT_STREQ(longName.GetName(), "Chord memory apply chord select"); // 31 characters
    IParameter b;
    b.DefineBool("Bool", true);
    EXPECT_EQ(b.GetType(), IParameter::kTypeBool);
    EXPECT_EQ(Format(b, 1.0), "on");
    EXPECT_EQ(Format(b, 0.0), "off");
}

TEST(IParameter, NormalizeClampsAndFollowsTheCurve)
{
    IParameter p;
    p.DefineDouble("Shape", 0, 0, 4, 0.001);
    p.SetCurve(2.0);
    p.SetCurve(0.0); // ignored
    p.SetNormalizedValue(0.5);
    EXPECT_DOUBLE_EQ(p.Value(), 1.0); // 4 * 0.5^2
    EXPECT_DOUBLE_EQ(p.GetNormalizedValue(), 0.5);
    EXPECT_EQ(p.Normalize(-3.0), 0.0);
    EXPECT_EQ(p.Normalize(99.0), 1.0);
}

TEST(IParameter, DisplayTexts)
{
    IParameter note;
    note.DefineInt("Note", 0, -64, 63);
    EXPECT_EQ(Format(note, 63.5), "63"); // truncation, not rounding
    EXPECT_EQ(Format(note, -2.5), "-2");
    note.SetDisplayNegated(true);
    EXPECT_EQ(Format(note, 5.0), "-5");

    IParameter gain;
    gain.DefineDouble("Gain", 0, 0, 100, 0.01, "%");
    EXPECT_EQ(Format(gain, 12.346), "12.35");
    EXPECT_EQ(Format(gain, 0.25, true), "25.00");
    EXPECT_EQ(Format(gain, kNaN, true), "0.00");

    IParameter mode;
    mode.DefineEnum("Mode", 0, 4);
    mode.AddValueText(0, "Up");
    mode.AddValueText(1, ""); // an empty text falls back to the number
    mode.AddValueText(3, "Chord");
    mode.AddValueText(4, "Up");
    EXPECT_EQ(Format(mode, 1.0), "1");
    EXPECT_EQ(Format(mode, 2.0), "2");
    EXPECT_EQ(Format(mode, 3.9), "Chord"); // looked up by the truncated value
    EXPECT_EQ(Format(mode, 0.0, false, false), "0");
    EXPECT_EQ(Format(mode, 1.0, true), "Chord");  // normalised 1.0 is 3
    EXPECT_EQ(Format(mode, 1e300), "2147483647"); // saturates instead of overflowing

    int value = -1;
    EXPECT_TRUE(mode.FindValueForText("Up", &value));
    EXPECT_EQ(value, 0);                                  // the first entry wins
    EXPECT_FALSE(mode.FindValueForText("chord", &value)); // case-sensitive
    EXPECT_STREQ(mode.GetValueText(7), "");
    EXPECT_STREQ(mode.GetValueTextAt(3, &value), "Up");
    EXPECT_EQ(value, 4);
}

// Parameters defined alike share their shape and display-text table; a change to one of them
// must never show in the other.
TEST(IParameter, SharedDefinitionsStayPrivateToEachParameter)
{
    IParameter p, q;
    p.DefineDouble("p", 1.0, 0.0, 4.0, 0.5, "dB");
    q.DefineDouble("q", 1.0, 0.0, 4.0, 0.5, "dB");
    q.SetCurve(2.0);
    q.SetDisplayNegated(true);
    EXPECT_EQ(p.GetCurve(), 1.0);
    EXPECT_EQ(q.GetCurve(), 2.0);
    EXPECT_EQ(Format(p, 1.5), "1.5");
    EXPECT_EQ(Format(q, 1.5), "-1.5");
    q.DefineInt("q", 0, 0, 9, "ms"); // the type stays double, the curve stays 2
    EXPECT_STREQ(p.GetUnitLabel(), "dB");
    EXPECT_STREQ(q.GetUnitLabel(), "ms");
    EXPECT_EQ(q.GetType(), IParameter::kTypeDouble);
    EXPECT_EQ(q.GetCurve(), 2.0);

    // Bytewise alike only: a minimum of -0.0 stays -0.0 beside one of 0.0.
    IParameter zero, negativeZero;
    zero.DefineDouble("z", 0.0, 0.0, 1.0, 0.1);
    negativeZero.DefineDouble("z", 0.0, -0.0, 1.0, 0.1);
    EXPECT_FALSE(std::signbit(zero.GetMinimum()));
    EXPECT_TRUE(std::signbit(negativeZero.GetMinimum()));

    IParameter mode, copy, other;
    mode.DefineEnum("Mode", 0, 3);
    mode.AddValueText(0, "Up");
    mode.AddValueText(1, "Down");
    copy.DefineEnum("Copy", 0, 3);
    copy.ShareValueTextsOf(mode);
    other.ShareValueTextsOf(mode);
    copy.AddValueText(2, "Random");
    mode.AddValueText(2, "Chord");
    EXPECT_EQ(Format(mode, 2.0), "Chord");
    EXPECT_EQ(Format(copy, 2.0), "Random");
    EXPECT_EQ(other.CountValueTexts(), 2);
    EXPECT_STREQ(other.GetValueText(1), "Down");
    copy.ShareValueTextsOf(copy); // itself: nothing changes
    EXPECT_EQ(copy.CountValueTexts(), 3);
}

TEST(IMidiMessage, ReadersByKind)
{
    const IMidiMessage clock(0, 0xF8, 1, 2);
    EXPECT_EQ(clock.GetStatusKind(), 0);
    EXPECT_EQ(clock.GetNoteNumber(), -1);
    EXPECT_EQ(clock.GetVelocity(), -1);
    const IMidiMessage aftertouch(0, 0xA3, 60, 20);
    EXPECT_EQ(aftertouch.GetNoteNumber(), 60);
    EXPECT_EQ(aftertouch.GetVelocity(), -1);
    EXPECT_EQ(aftertouch.GetChannel(), 3);
    EXPECT_EQ(IMidiMessage(0, 0xC0, 12, 0).GetProgramNumber(), 12);
    EXPECT_EQ(IMidiMessage(0, 0xB0, 7, 127).GetControllerValue(7), 1.0);
    EXPECT_EQ(IMidiMessage(0, 0xB0, 7, 127).GetControllerValue(8), -1.0);
    EXPECT_EQ(IMidiMessage(0, 0xE0, 0, 64).GetPitchBend(), 0.0);
    EXPECT_EQ(IMidiMessage(0, 0xE0, 0, 0).GetPitchBend(), -1.0);
}

TEST(IMidiMessage, Builders)
{
    IMidiMessage m;
    m.MakeControllerMessage(74, 1.0, 2);
    EXPECT_EQ(m.status, 0xB2);
    EXPECT_EQ(m.data2, 127);
    m.MakeControllerMessage(74, 0.999, 0);
    EXPECT_EQ(m.data2, 126);
    for (int v = 0; v <= 127; ++v)
    { // v / 127 comes back as v
        m.MakeControllerMessage(1, v / 127.0, 0);
        ASSERT_EQ(m.data2, v);
    }
    const struct
    {
        double value;
        int data1, data2;
    } bends[] = {{-1.0, 0, 0}, {0.0, 0, 64}, {1.0, 127, 127}};
    for (const auto& bend : bends)
    {
        m.MakePitchBendMessage(bend.value, 1);
        EXPECT_EQ(m.status, 0xE1);
        EXPECT_EQ(m.data1, bend.data1) << bend.value;
        EXPECT_EQ(m.data2, bend.data2) << bend.value;
    }
    m.MakeNoteOnMessage(60, 99, 17, 9);
    EXPECT_EQ(m.offset, 17);
    EXPECT_EQ(m.status, 0x99);
    m.Clear();
    EXPECT_EQ(m.status, 0);
    EXPECT_EQ(m.data2, 99); // left as it was
}
