// The note engine's bookkeeping as the host hears it through the effect record: every generated
// note-on gets exactly one note-off, duplicates are dropped with their note-offs, overlapping parts
// of a divided step sound as one note, and control-zone keys are no held notes.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "tests/plugin/SongPlayer.h"
#include "views/ParameterIndex.h"

namespace
{

using namespace quova::param;
using namespace quova::test;

constexpr int64_t kBeat = 22050; // 120 bpm at 44100 Hz

// The messages of one note number (any channel), in order.
std::vector<Message> OfNote(const std::vector<Message>& sent, uint8_t note)
{
    std::vector<Message> out;
    for (const Message& m : sent)
        if ((m.status & 0xE0) == 0x80 && m.data1 == note) out.push_back(m);
    return out;
}

// Note-on and note-off strictly alternate, beginning with a note-on and ending with a note-off.
::testing::AssertionResult Alternates(const std::vector<Message>& messages)
{
    for (size_t i = 0; i < messages.size(); ++i)
    {
        const bool on = (messages[i].status & 0xF0) == 0x90;
        if (on != (i % 2 == 0)) return ::testing::AssertionFailure() << "message " << i << " " << messages[i];
    }
    if (messages.size() % 2 != 0) return ::testing::AssertionFailure() << "the last note-on never ends";
    return ::testing::AssertionSuccess();
}

// The note messages as (frame, status, note).
std::vector<std::tuple<int64_t, int, int>> NoteTimeline(const std::vector<Message>& sent)
{
    std::vector<std::tuple<int64_t, int, int>> out;
    for (const Message& m : sent)
        if ((m.status & 0xE0) == 0x80) out.emplace_back(m.frame, m.status, m.data1);
    return out;
}

// At 1/8 with the gate at +5 % (the parameter's +10) each half of a DIV 2 step lasts into the next
// half: the second half continues the sounding note (no second note-on, the first half's note-off
// is dropped) and the note ends with the second half, in every block length.
TEST(NoteBookkeeping, OverlappingHalvesOfADividedStepSoundAsOneNote)
{
    // One key, every step divided: step k sounds from 11025 k to 11025 k + 11300.
    Song every;
    every.frames = 40000;
    every.input = {{0, 0x90, 48, 100}};
    every.parameters = {{PerPattern(kRate, 0, 0), 9.0}, {PerPattern(kPatternGate, 0, 0), 10.0}};
    for (int t = 0; t < 32; ++t)
        every.parameters.push_back({StepValue(0, 0, 6, t), 1.0}); // DIV 2
    const std::vector<std::tuple<int64_t, int, int>> one = {
        {0, 0x90, 48},     {11025, 0x90, 48}, {11300, 0x80, 48}, {22050, 0x90, 48},
        {22325, 0x80, 48}, {33075, 0x90, 48}, {33350, 0x80, 48}};

    // Two keys, the middle one of the first three steps divided; its neighbours are short (step gate
    // -50 %).
    Song middle;
    middle.frames = 33000;
    middle.input = {{0, 0x90, 48, 100}, {0, 0x90, 52, 100}};
    middle.parameters = {{PerPattern(kRate, 0, 0), 9.0},
                         {PerPattern(kPatternGate, 0, 0), 10.0},
                         {StepValue(0, 0, 6, 1), 1.0},
                         {StepValue(0, 0, 3, 0), -50.0},
                         {StepValue(0, 0, 3, 2), -50.0}};
    const std::vector<std::tuple<int64_t, int, int>> two = {{0, 0x90, 48},     {6063, 0x80, 48},
                                                            {11025, 0x90, 52}, {22050, 0x90, 48},
                                                            {22325, 0x80, 52}, {28113, 0x80, 48}};

    const std::vector<std::vector<int>> slicings = {{1}, {64}, {512}, {4096}, {32768}, {97, 1, 4000, 13}};
    for (const std::vector<int>& sizes : slicings)
    {
        EXPECT_EQ(NoteTimeline(Play(every, sizes)), one) << sizes[0] << "-frame blocks first";
        EXPECT_EQ(NoteTimeline(Play(middle, sizes)), two) << sizes[0] << "-frame blocks first";
    }
}

// "Arp on note count" 3: a control-zone key (5, which has no action) and two notes in one block
// are two notes for the key area, which therefore waits; the waiting notes pass through.
TEST(NoteBookkeeping, AControlZoneKeyIsNoNoteAKeyAreaHolds)
{
    Song song;
    song.frames = 6 * kBeat;
    song.parameters = {{PerArea(kArpOnNoteCount, 0), 2.0}};
    song.input = {{10, 0x90, 5, 100},      {20, 0x90, 48, 100},      {30, 0x90, 52, 100},
                  {2 * kBeat, 0x80, 5, 0}, {2 * kBeat, 0x80, 48, 0}, {2 * kBeat + 9, 0x80, 52, 0}};
    const std::vector<Message> sent = Play(song, {512});
    const std::vector<Message> expected = {{20, 0x90, 48, 100},
                                           {30, 0x90, 52, 100},
                                           {2 * kBeat, 0x80, 5, 0}, // zone keys' note-offs pass through
                                           {2 * kBeat, 0x80, 48, 0},
                                           {2 * kBeat + 9, 0x80, 52, 0}};
    EXPECT_EQ(sent, expected);
}

// A chord plays with a long gate; switching the key area off ends each sounding note once.
TEST(NoteBookkeeping, SwitchingAKeyAreaOffEndsEachSoundingNoteOnce)
{
    for (double outChannel : {0.0, 15.0})
    {
        Song song;
        song.frames = 4 * kBeat;
        song.parameters = {{PerPattern(kPatternGate, 0, 0), 60.0}, {PerArea(kMidiOutChannel, 0), outChannel}};
        song.input = {{0, 0x90, 48, 100}, {0, 0x90, 52, 100}, {0, 0x90, 55, 100}};
        song.changes = {{20 * 512, PerArea(kKeyAreaOnOff, 0), 0.0}};
        const std::vector<Message> sent = Play(song, {512});
        ASSERT_GT(CountOfKind(sent, 0x90), 1) << "channel " << outChannel + 1;
        for (uint8_t note : {48, 52, 55})
            EXPECT_TRUE(Alternates(OfNote(sent, note))) << "channel " << outChannel + 1;
        for (const Message& m : sent)
            EXPECT_LE(m.frame, 20 * 512) << m;
    }
}

// The key area's output channel changes from 1 to 4 while a long note sounds: every note ends on
// the channel it started on.
TEST(NoteBookkeeping, ANoteEndsOnTheChannelItStartedOn)
{
    Song song;
    song.frames = 30000;
    song.parameters = {{PerPattern(kPatternGate, 0, 0), 60.0}};
    song.input = {{0, 0x90, 48, 100}, {20000, 0x80, 48, 0}};
    song.changes = {{9 * 512, PerArea(kMidiOutChannel, 0), 3.0}};
    const std::vector<Message> sent = Play(song, {512});
    const auto count = [&sent](int status)
    {
        return std::count_if(sent.begin(), sent.end(),
                             [status](const Message& m) { return m.status == status; });
    };
    EXPECT_EQ(CountOfKind(sent, 0x90), 4);
    for (int channel : {0, 3})
        EXPECT_EQ(count(0x90 + channel), count(0x80 + channel)) << "channel " << channel + 1;
}

} // namespace

namespace
{

// A held chord arpeggiates while keys above the key area pass through, all in large blocks: the
// host receives every block's messages in time order, the passed-through ones at their own frames.
TEST(NoteBookkeeping, PassedThroughAndGeneratedMessagesReachTheHostInTimeOrder)
{
    Song song;
    song.frames = 4 * kBeat;
    song.input = {{0, 0x90, 48, 100}, {0, 0x90, 52, 100}};
    for (int k = 0; k < 14; ++k)
    { // C5 taps a quarter of a beat apart, outside every key area
        song.input.push_back({k * kBeat / 4 + 37, 0x90, 72, 90});
        song.input.push_back({k * kBeat / 4 + 2000, 0x80, 72, 0});
    }
    song.input.push_back({4 * kBeat - 10, 0x80, 48, 0});
    song.input.push_back({4 * kBeat - 10, 0x80, 52, 0});
    for (int size : {4096, 32768})
    {
        const std::vector<Message> sent = Play(song, {size});
        for (size_t i = 1; i < sent.size(); ++i)
            ASSERT_LE(sent[i - 1].frame, sent[i].frame)
                << size << "-frame blocks, message " << i << ": " << sent[i];
        const std::vector<Message> taps = OfNote(sent, 72);
        ASSERT_EQ(taps.size(), 28u) << size << "-frame blocks";
        EXPECT_EQ(taps[2].frame, kBeat / 4 + 37);
        EXPECT_GT(CountOfKind(sent, 0x90), 14) << "the arpeggio plays beside the taps";
    }
}

} // namespace
