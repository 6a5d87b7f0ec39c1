// Host parameter changes through the module: setParameter on the effect record changes what a held
// C3-E3-G3 chord (48, 52, 55 on channel 1) plays at 120 bpm, 44100 Hz, 512-frame blocks.
// Expected values follow the parameter table and the engine's rules: a 1/16 step is 5512.5
// frames; a note lasts (1 + gate) steps with the pattern gate -10 % giving -0.1.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/vst/VstAbi.h"
#include "tests/plugin/PluginTestSupport.h"
#include "tools/host/VstHost.h"

namespace
{

using quova::host::VstHost;
using quova::test::TempDataFolder;

constexpr double kStep = 44100.0 * 60.0 / 120.0 / 4.0; // 5512.5 frames

struct Note
{
    int64_t frame;
    int status;
    int note;
    int velocity;
};

class ParamModule : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host_.Load(QUOVA_PLUGIN_MODULE) && host_.Open() && host_.SetSampleRate(44100.0) &&
                    host_.SetBlockSize(512) && host_.Resume())
            << host_.LastError();
    }

    // setParameter with a value in the parameter's own units over its range.
    void Set(int index, double value, double minimum, double maximum)
    {
        host_.Effect()->setParameter(host_.Effect(), index,
                                     static_cast<float>((value - minimum) / (maximum - minimum)));
    }
    // Enough blocks for steps sixteenth steps (and a little more).
    void RunSteps(double steps) { host_.RunBlocks(static_cast<int64_t>(steps * kStep / 512.0) + 2); }
    float Get(int index) { return host_.Effect()->getParameter(host_.Effect(), index); }

    void Hold(std::vector<uint8_t> notes, uint8_t channel = 0)
    {
        for (uint8_t note : notes)
        {
            const uint8_t on[3] = {static_cast<uint8_t>(0x90 | channel), note, 100};
            host_.QueueMidi(0, on, 3);
        }
    }

    // Note-ons (velocity above 0) and note-offs the module sent, by host frame.
    std::vector<Note> Events(int kind) const
    {
        std::vector<Note> out;
        for (const auto& e : host_.Events())
        {
            if (e.bytes.size() != 3) continue;
            const int k = e.bytes[0] & 0xF0;
            const bool on = k == 0x90 && e.bytes[2] > 0;
            if ((kind == 0x90 && on) || (kind == 0x80 && (k == 0x80 || (k == 0x90 && !on))))
                out.push_back({e.frame, e.bytes[0], e.bytes[1], e.bytes[2]});
        }
        return out;
    }
    std::vector<int> NotesPlayed(size_t count) const
    {
        std::vector<int> notes;
        for (const Note& n : Events(0x90))
            if (notes.size() < count) notes.push_back(n.note);
        return notes;
    }

    TempDataFolder folder_;
    VstHost host_;
};

TEST_F(ParamModule, DefaultsPlayTheChordUpInSixteenths)
{
    Hold({55, 48, 52});
    RunSteps(16); // a bar
    const auto ons = Events(0x90);
    ASSERT_GE(ons.size(), 15u);
    EXPECT_EQ(NotesPlayed(6), (std::vector<int>{48, 52, 55, 48, 52, 55}));
    for (size_t i = 1; i < 6; ++i)
        EXPECT_NEAR(ons[i].frame - ons[i - 1].frame, kStep, 1.0);
    // Gate -10 %: each note lasts 0.9 steps.
    const auto offs = Events(0x80);
    ASSERT_FALSE(offs.empty());
    EXPECT_NEAR(offs[0].frame - ons[0].frame, 0.9 * kStep, 1.0);
}

TEST_F(ParamModule, RateOfEighthsDoublesTheStep)
{
    Set(125, 9.0, 0.0, 22.0); // "Rate T1 P1" := 1/8
    Hold({48, 52, 55});
    RunSteps(16);
    const auto ons = Events(0x90);
    ASSERT_GE(ons.size(), 6u);
    for (size_t i = 1; i < 6; ++i)
        EXPECT_NEAR(ons[i].frame - ons[i - 1].frame, 2.0 * kStep, 1.0);
    EXPECT_LE(ons.size(), 9u);
}

TEST_F(ParamModule, PatternGateLengthensTheNotes)
{
    Set(29, 50.0, -100.0, 100.0); // "Gate T1 P1" 50 % gives a gate of 0.25
    Hold({48, 52, 55});
    RunSteps(3);
    const auto ons = Events(0x90);
    const auto offs = Events(0x80);
    ASSERT_FALSE(ons.empty());
    ASSERT_FALSE(offs.empty());
    EXPECT_EQ(offs[0].note, ons[0].note);
    EXPECT_NEAR(offs[0].frame - ons[0].frame, 1.25 * kStep, 1.0);
}

TEST_F(ParamModule, SortOrderHighToLow)
{
    Set(221, 1.0, 0.0, 7.0); // "Hi-Lo"
    Hold({48, 52, 55});
    RunSteps(5);
    EXPECT_EQ(NotesPlayed(4), (std::vector<int>{55, 52, 48, 55}));
}

TEST_F(ParamModule, TwoOctavesWalkTheChordUpAnOctave)
{
    Set(317, 2.0, 1.0, 5.0);
    Hold({48, 52, 55});
    RunSteps(8);
    EXPECT_EQ(NotesPlayed(7), (std::vector<int>{48, 52, 55, 60, 64, 67, 48}));
}

TEST_F(ParamModule, TransposeMovesEveryNote)
{
    Set(365, 5.0, -12.0, 12.0);
    Hold({48, 52, 55});
    RunSteps(4);
    EXPECT_EQ(NotesPlayed(3), (std::vector<int>{53, 57, 60}));
}

TEST_F(ParamModule, ScaleFitsNotesIntoTheKey)
{
    Set(3253, 1.0, 0.0, 40.0); // "Major"
    Set(3254, 2.0, 0.0, 11.0); // key D: D E F# G A B C#
    Hold({48, 52, 55});
    RunSteps(4);
    // C is raised to the next scale note, C#; E and G are in the scale.
    EXPECT_EQ(NotesPlayed(3), (std::vector<int>{49, 52, 55}));
}

TEST_F(ParamModule, KeyAreaChannelsAndRange)
{
    Set(17100, 4.0, 0.0, 15.0); // MIDI out channel 5
    Hold({48, 52, 55});
    RunSteps(3);
    auto ons = Events(0x90);
    ASSERT_FALSE(ons.empty());
    for (const Note& n : ons)
        EXPECT_EQ(n.status, 0x94);

    // Key area 1 takes channel 2 only: a chord on channel 1 passes through unchanged.
    const uint8_t off48[3] = {0x80, 48, 0}, off52[3] = {0x80, 52, 0}, off55[3] = {0x80, 55, 0};
    const int64_t now = host_.FramesProcessed();
    host_.QueueMidi(now, off48, 3);
    host_.QueueMidi(now, off52, 3);
    host_.QueueMidi(now, off55, 3);
    RunSteps(2);
    Set(17096, 1.0, 0.0, 15.0);
    host_.ClearEvents();
    const uint8_t on[3] = {0x90, 50, 90};
    host_.QueueMidi(host_.FramesProcessed() + 100, on, 3);
    RunSteps(4);
    ons = Events(0x90);
    ASSERT_EQ(ons.size(), 1u);
    EXPECT_EQ(ons[0].status, 0x90);
    EXPECT_EQ(ons[0].note, 50);
    EXPECT_EQ(ons[0].velocity, 90);
}

TEST_F(ParamModule, StartNoteAboveTheChordLetsItPassThrough)
{
    Set(17109, 40.0, 0.0, 119.0); // key area 1 starts at MIDI note 52
    Hold({48});
    RunSteps(4);
    const auto ons = Events(0x90);
    ASSERT_EQ(ons.size(), 1u);
    EXPECT_EQ(ons[0].note, 48);
    EXPECT_EQ(ons[0].frame, 0);
}

TEST_F(ParamModule, GetParameterReadsWhatTheHostSet)
{
    Set(317, 3.0, 1.0, 5.0);
    EXPECT_FLOAT_EQ(Get(317), 0.5f);
    Set(221, 7.0, 0.0, 7.0);
    EXPECT_FLOAT_EQ(Get(221), 1.0f);
}

} // namespace
