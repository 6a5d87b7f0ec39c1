#include "tools/host/HostTransport.h"

#include <gtest/gtest.h>

using quova::host::FormatBarBeatTick;
using quova::host::HostTransport;
using quova::host::TransportSettings;

namespace
{
// 44100 Hz at 120 beats per minute: 22050 samples per quarter note.
TransportSettings CdRate()
{
    TransportSettings s;
    s.sampleRate = 44100.0;
    s.tempo = 120.0;
    return s;
}

TransportSettings Looping(double start, double end)
{
    TransportSettings s = CdRate();
    s.loopActive = true;
    s.loopStartQuarters = start;
    s.loopEndQuarters = end;
    return s;
}
} // namespace

TEST(HostTransport, AdvancesByWholeBlocksInSamplesAndQuarters)
{
    HostTransport t(CdRate());
    EXPECT_DOUBLE_EQ(t.SamplesPerQuarter(), 22050.0);
    for (int i = 0; i < 44; ++i)
        t.Advance(512);
    EXPECT_DOUBLE_EQ(t.SamplePosition(), 22528.0);
    EXPECT_NEAR(t.QuarterPosition(), 22528.0 / 22050.0, 1e-12);
    EXPECT_NEAR(t.QuarterPositionAt(100), 22628.0 / 22050.0, 1e-12);
    EXPECT_DOUBLE_EQ(t.BarStart(), 0.0);

    for (int i = 0; i < 129; ++i) // 173 blocks in all: 88576 samples, just past bar 2
        t.Advance(512);
    EXPECT_DOUBLE_EQ(t.BarStart(), 4.0);
}

TEST(HostTransport, BarStartFollowsTheTimeSignature)
{
    TransportSettings s = CdRate();
    s.numerator = 3;
    s.denominator = 4;
    HostTransport t(s);
    t.Locate(7.0);
    EXPECT_DOUBLE_EQ(t.BarStart(), 6.0);

    s.numerator = 6;
    s.denominator = 8; // a bar of three quarter notes
    ASSERT_TRUE(t.Configure(s));
    t.Locate(2.9);
    EXPECT_DOUBLE_EQ(t.BarStart(), 0.0);
    t.Locate(3.0);
    EXPECT_DOUBLE_EQ(t.BarStart(), 3.0);

    s.numerator = 7;
    s.denominator = 8;
    ASSERT_TRUE(t.Configure(s));
    t.Locate(10.4);
    EXPECT_DOUBLE_EQ(t.BarStart(), 7.0);
}

TEST(HostTransport, BarStartIsExactOnBarLinesAtAwkwardTempos)
{
    // Sample counts that are not whole multiples of a quarter note must not
    // put a bar line into the previous bar.
    for (double tempo : {140.0, 93.7, 171.3})
    {
        TransportSettings s = CdRate();
        s.sampleRate = 48000.0;
        s.tempo = tempo;
        HostTransport t(s);
        for (int bar = 1; bar <= 50; ++bar)
        {
            t.Locate(bar * 4.0);
            ASSERT_DOUBLE_EQ(t.BarStart(), bar * 4.0) << "tempo " << tempo << " bar " << bar;
        }
    }
}

TEST(HostTransport, LoopJumpsBackAtTheBlockThatReachesTheEnd)
{
    HostTransport t(Looping(0.0, 4.0)); // 0 .. 88200 samples
    EXPECT_TRUE(t.Changed()) << "the first block follows a locate";
    t.Advance(44100);
    EXPECT_DOUBLE_EQ(t.SamplePosition(), 44100.0);
    EXPECT_FALSE(t.Changed());
    t.Advance(44100);
    EXPECT_DOUBLE_EQ(t.SamplePosition(), 0.0);
    EXPECT_TRUE(t.Changed());
    t.Advance(44100);
    EXPECT_FALSE(t.Changed());
}

TEST(HostTransport, LoopJumpKeepsTheOvershoot)
{
    HostTransport t(Looping(1.0, 3.0)); // 22050 .. 66150, 44100 samples long
    t.Advance(30000);
    t.Advance(30000);
    EXPECT_DOUBLE_EQ(t.SamplePosition(), 60000.0);
    t.Advance(30000); // 90000 is 23850 past the end
    EXPECT_DOUBLE_EQ(t.SamplePosition(), 45900.0);
    t.Advance(30000); // 75900 is 9750 past the end
    EXPECT_DOUBLE_EQ(t.SamplePosition(), 31800.0);
    EXPECT_NEAR(t.QuarterPosition(), 31800.0 / 22050.0, 1e-12);
}

TEST(HostTransport, BlockLongerThanTheLoopWrapsInsideIt)
{
    HostTransport t(Looping(1.0, 2.0)); // 22050 .. 44100
    t.Advance(100000);                  // 55900 past the end: 2 loops and 11800
    EXPECT_DOUBLE_EQ(t.SamplePosition(), 33850.0);
}

TEST(HostTransport, PositionBeyondTheLoopPlaysStraightOn)
{
    TransportSettings s = Looping(0.0, 4.0);
    s.startQuarters = 8.0;
    HostTransport t(s);
    t.Advance(22050);
    EXPECT_DOUBLE_EQ(t.QuarterPosition(), 9.0);
    EXPECT_FALSE(t.Changed());
}

TEST(HostTransport, InvalidSettingsAreRefusedAndChangeNothing)
{
    HostTransport t(CdRate());
    t.Advance(1000);
    const auto refuse = [&](TransportSettings s, const char* what)
    {
        std::string error;
        EXPECT_FALSE(quova::host::ValidateTransportSettings(s, &error)) << what;
        EXPECT_FALSE(error.empty()) << what;
        EXPECT_FALSE(t.Configure(s)) << what;
        EXPECT_DOUBLE_EQ(t.SamplePosition(), 1000.0) << what;
        EXPECT_DOUBLE_EQ(t.Settings().tempo, 120.0) << what;
    };
    TransportSettings s = CdRate();
    s.tempo = 0.0;
    refuse(s, "tempo 0");
    s = CdRate();
    s.sampleRate = -1.0;
    refuse(s, "negative rate");
    s = CdRate();
    s.denominator = 3;
    refuse(s, "denominator 3");
    s = CdRate();
    s.numerator = 0;
    refuse(s, "numerator 0");
    refuse(Looping(4.0, 4.0), "empty loop");
    refuse(Looping(-1.0, 4.0), "negative loop start");
    s = CdRate();
    s.startQuarters = -2.0;
    refuse(s, "negative start");
}

TEST(BarBeatTick, CountsFromOneWithTicksPerBeat)
{
    EXPECT_EQ(FormatBarBeatTick(0.0, 4, 4), "1.1.000");
    EXPECT_EQ(FormatBarBeatTick(4.0, 4, 4), "2.1.000");
    EXPECT_EQ(FormatBarBeatTick(1.5, 4, 4), "1.2.480");
    EXPECT_EQ(FormatBarBeatTick(3.0, 3, 4), "2.1.000");
    EXPECT_EQ(FormatBarBeatTick(0.5, 6, 8), "1.2.000") << "beats are eighth notes in 6/8";
    EXPECT_EQ(FormatBarBeatTick(0.75, 6, 8), "1.2.480");
}

TEST(BarBeatTick, RoundingCarriesIntoTheNextBeatAndBar)
{
    EXPECT_EQ(FormatBarBeatTick(0.99999, 4, 4), "1.2.000");
    EXPECT_EQ(FormatBarBeatTick(3.99999, 4, 4), "2.1.000");
    EXPECT_EQ(FormatBarBeatTick(3.9999999999, 4, 4), "2.1.000");
}
