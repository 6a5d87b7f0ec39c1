// The same song played through the plug-in's effect record in blocks of many sizes must give the
// same MIDI: every note, controller and velocity at the same host frame, whether the host hands
// over 1, 64, 512, 4096, 8192 or 32768 frames at a time or blocks of random sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/plugin/SongPlayer.h"
#include "views/ParameterIndex.h"

namespace
{

using namespace quova::param;
using namespace quova::test;

std::vector<int> RandomSizes(uint32_t seed, int largest = 9000)
{
    std::mt19937 random(seed);
    std::vector<int> sizes;
    for (int i = 0; i < 200; ++i)
        sizes.push_back(std::uniform_int_distribution<int>(1, largest)(random));
    return sizes;
}

// The notes a rendering leaves sounding: per channel and note, a note-on that no note-off followed.
int NotesLeftSounding(const std::vector<Message>& sent)
{
    std::vector<int> sounding(16 * 128, 0);
    for (const Message& m : sent)
        if ((m.status & 0xE0) == 0x80)
            sounding[(m.status & 15) * 128 + m.data1] = (m.status & 0xF0) == 0x90 && m.data2 > 0 ? 1 : 0;
    return static_cast<int>(std::count(sounding.begin(), sounding.end(), 1));
}

void Press(Song& song, int64_t frame, std::initializer_list<uint8_t> notes, int64_t release)
{
    for (uint8_t n : notes)
    {
        song.input.push_back({frame, 0x90, n, static_cast<uint8_t>(60 + n % 50)});
        song.input.push_back({release, 0x80, n, 0});
    }
}

// A song of a few bars for pattern 1 of key area 1 (channel 1, notes 36..59): chords pressed off
// the grid, a key added and one released while others stay down, a pause, a second chord.
Song MakeSong(double sampleRate, double tempo, double rate, uint32_t seed)
{
    Song song;
    song.sampleRate = sampleRate;
    song.tempo = tempo;
    const double beat = sampleRate * 60.0 / tempo;
    song.frames = static_cast<int64_t>(17 * beat);
    std::mt19937 random(seed);
    auto at = [&](double beats)
    { return static_cast<int64_t>(beats * beat) + std::uniform_int_distribution<int>(0, 700)(random); };
    Press(song, at(0.3), {48, 52, 55}, at(6.1));
    Press(song, at(2.2), {43}, at(3.7));
    Press(song, at(4.9), {59}, at(9.4));
    Press(song, at(8.0), {40, 47, 50, 57}, at(15.2));
    std::stable_sort(song.input.begin(), song.input.end(),
                     [](const Message& a, const Message& b) { return a.frame < b.frame; });

    auto& p = song.parameters;
    p.push_back({PerPattern(kRate, 0, 0), rate});
    p.push_back({PerPattern(kSwing, 0, 0), 0.3});
    p.push_back({PerPattern(kPatternGate, 0, 0), -20.0});
    p.push_back({kPatternSteps + Slot(0, 0), 11.0});  // 12 steps
    p.push_back({PerPattern(kSortOrder, 0, 0), 4.0}); // "Lo-Hi alt"
    std::uniform_int_distribution<int> die(0, 5);
    for (int t = 0; t < 12; ++t)
    {
        // DIV, SHIFT, LENGTH, accent and gate on some steps each.
        if (die(random) == 0) p.push_back({StepValue(0, 0, 6, t), 1.0 + t % 3});
        if (die(random) == 0) p.push_back({StepValue(0, 0, 7, t), (t % 2 ? 1 : -1) * 25.0});
        if (die(random) == 0) p.push_back({StepValue(0, 0, 2, t), 2.0});
        if (die(random) < 2) p.push_back({StepValue(0, 0, 4, t), 40.0 - 10 * t});
        if (die(random) == 0) p.push_back({StepValue(0, 0, 3, t), 30.0});
    }
    p.push_back({StepValue(0, 0, 6, 3), 2.0}); // at least one divided and one accented step
    p.push_back({StepValue(0, 0, 4, 5), 50.0});
    // Two controller lanes send their step values with the notes.
    song.controllerNumbers = {20, 21};
    for (int t = 0; t < 12; ++t)
    {
        p.push_back({StepValue(0, 0, 9, t), 10.0 * t});
        p.push_back({StepValue(0, 0, 10, t), 127.0 - t});
    }
    return song;
}

struct SliceCase
{
    double sampleRate, tempo, rate;
    uint32_t seed;
};

// The case's name in the test list ("Rate12_120Bpm_44100Hz_Seed1") and its description, instead of
// a byte dump of the record.
std::string SliceCaseName(const SliceCase& c)
{
    return "Rate" + std::to_string(static_cast<int>(c.rate)) + "_" +
           std::to_string(static_cast<int>(c.tempo)) + "Bpm_" +
           std::to_string(static_cast<int>(c.sampleRate)) + "Hz_Seed" + std::to_string(c.seed);
}

void PrintTo(const SliceCase& c, std::ostream* out)
{
    *out << "rate " << c.rate << " at " << c.tempo << " bpm and " << c.sampleRate << " Hz, seed " << c.seed;
}

class BlockSlicing : public ::testing::TestWithParam<SliceCase>
{
};

TEST_P(BlockSlicing, EveryBlockSizeGivesTheSameMidi)
{
    const SliceCase& c = GetParam();
    const Song song = MakeSong(c.sampleRate, c.tempo, c.rate, c.seed);
    const std::vector<Message> reference = Play(song, {64});
    ASSERT_GT(CountOfKind(reference, 0x90), 40);
    ASSERT_GT(CountOfKind(reference, 0xB0), 40);
    EXPECT_EQ(CountOfKind(reference, 0x90), CountOfKind(reference, 0x80));
    for (int size : {512, 4096, 8192, 32768})
        EXPECT_TRUE(SameMidi(reference, Play(song, {size}))) << size << "-frame blocks";
    EXPECT_TRUE(SameMidi(reference, Play(song, RandomSizes(c.seed)))) << "random block sizes";
}

// Rates: 12 "1/16", 14 "1/16T", 17 "1/32T", 20 "1/64T", 22 "1/256D" (the fastest).
INSTANTIATE_TEST_SUITE_P(
    RatesTemposAndSampleRates, BlockSlicing,
    ::testing::Values(SliceCase{44100.0, 120.0, 12.0, 1}, SliceCase{48000.0, 120.0, 14.0, 2},
                      SliceCase{44100.0, 133.0, 17.0, 3}, SliceCase{48000.0, 97.0, 20.0, 4},
                      SliceCase{44100.0, 120.0, 22.0, 5}, SliceCase{48000.0, 133.0, 22.0, 6}),
    [](const ::testing::TestParamInfo<SliceCase>& info) { return SliceCaseName(info.param); });

// Blocks of one frame are the finest slicing a host can use; a shorter song keeps it quick.
TEST(BlockSlicingSingleFrames, OneFrameBlocksGiveTheSameMidiAsLargeOnes)
{
    Song song = MakeSong(48000.0, 133.0, 16.0, 7);
    song.frames /= 3;
    const std::vector<Message> reference = Play(song, {1});
    ASSERT_GT(CountOfKind(reference, 0x90), 10);
    EXPECT_TRUE(SameMidi(reference, Play(song, {8192})));
    EXPECT_TRUE(SameMidi(reference, Play(song, RandomSizes(7))));
}

// One key held for two bars at 1/16: 32 steps, each one note, accents on the steps that carry
// them, in every block size.
TEST(BlockSlicingSingleFrames, EveryStepOfAHeldKeySoundsWithItsOwnAccent)
{
    Song song;
    song.frames = 8 * 22050 + 22050;
    song.input = {{0, 0x90, 48, 80}, {8 * 22050, 0x80, 48, 0}};
    song.parameters = {{StepValue(0, 0, 4, 4), 30.0}, {StepValue(0, 0, 4, 9), 30.0}};
    for (int size : {64, 8192, 32768})
    {
        const std::vector<Message> sent = Play(song, {size});
        std::vector<Message> ons;
        std::copy_if(sent.begin(), sent.end(), std::back_inserter(ons),
                     [](const Message& m) { return m.status == 0x90; });
        ASSERT_EQ(ons.size(), 32u) << size << "-frame blocks";
        for (size_t k = 0; k < ons.size(); ++k)
        {
            EXPECT_EQ(ons[k].frame, static_cast<int64_t>(k * 5512.5)) << size << "-frame blocks, step " << k;
            const bool accented = k == 4 || k == 9; // the pattern has 32 steps
            EXPECT_EQ(ons[k].data2 != ons[0].data2, accented) << size << "-frame blocks, step " << k;
        }
    }
}

// What no key area takes passes through as it would in blocks of one frame: whether an area takes a
// message, and whether it drops a passed one, follow the keys held at the message's own frame, not
// at the start or the end of the host's block.
TEST(BlockSlicingSingleFrames, WhatPassesThroughDoesNotDependOnTheBlockSize)
{
    const auto contains = [](const std::vector<Message>& sent, const Message& m)
    { return std::find(sent.begin(), sent.end(), m) != sent.end(); };

    // 42 pressed twice: its second release comes just after 47's release ended the run, and finds no
    // key held, so it passes; 42 is pressed again soon after (all three in one 32768-frame block).
    Song stray;
    stray.sampleRate = 48000.0;
    stray.frames = 48000;
    stray.input = {{500, 0x90, 42, 100}, {600, 0x90, 47, 90},  {8000, 0x90, 42, 100}, {12000, 0x80, 42, 0},
                   {20000, 0x80, 47, 0}, {21000, 0x80, 42, 0}, {23000, 0x90, 42, 80}, {40000, 0x80, 42, 0}};
    const std::vector<Message> reference = Play(stray, {1});
    EXPECT_TRUE(contains(reference, {21000, 0x80, 42, 0}));
    for (int size : {64, 4096, 32768})
        EXPECT_TRUE(SameMidi(reference, Play(stray, {size}))) << size << "-frame blocks";

    // An area that waits for three keys: the first two sound as they come and end when the third
    // starts the arpeggio, also when all three arrive in one block, and also when they come in the
    // block in which the keys before them were released (the release clears what waited before it,
    // not what came after it).
    Song waiting;
    waiting.sampleRate = 48000.0;
    waiting.frames = 48000;
    waiting.parameters = {{PerArea(kArpOnNoteCount, 0), 2.0}};
    waiting.input = {{1000, 0x90, 48, 90},  {1300, 0x90, 52, 91},  {1600, 0x90, 55, 92},
                     {20000, 0x80, 48, 0},  {20000, 0x80, 52, 0},  {20000, 0x80, 55, 0},
                     {20400, 0x90, 50, 93}, {20700, 0x90, 53, 94}, {21000, 0x90, 57, 95},
                     {40000, 0x80, 50, 0},  {40000, 0x80, 53, 0},  {40000, 0x80, 57, 0}};
    const std::vector<Message> first = Play(waiting, {1});
    for (const Message& m : std::vector<Message>{
             {1000, 0x90, 48, 90}, {1300, 0x90, 52, 91}, {20400, 0x90, 50, 93}, {20700, 0x90, 53, 94}})
        EXPECT_TRUE(contains(first, m)) << m;
    EXPECT_EQ(CountOfKind(first, 0x90), CountOfKind(first, 0x80));
    for (int size : {64, 4096, 32768})
        EXPECT_TRUE(SameMidi(first, Play(waiting, {size}))) << size << "-frame blocks";

    // With every step of the order lane off the area plays nothing: the key that waited for the
    // count ends with its release instead of sounding for ever.
    Song silent;
    silent.sampleRate = 48000.0;
    silent.frames = 24000;
    silent.parameters = {{PerArea(kArpOnNoteCount, 0), 1.0}};
    for (int t = 0; t < kStepCount; ++t)
        silent.parameters.push_back({StepOnOff(0, 0, 0, t), 0.0});
    silent.input = {{1000, 0x90, 48, 90}, {2000, 0x90, 52, 91}, {9000, 0x80, 48, 0}, {12000, 0x80, 52, 0}};
    for (int size : {1, 4096})
    {
        const std::vector<Message> sent = Play(silent, {size});
        EXPECT_TRUE(contains(sent, {1000, 0x90, 48, 90})) << size << "-frame blocks";
        EXPECT_TRUE(contains(sent, {9000, 0x80, 48, 127})) << size << "-frame blocks";
    }

    // A key that waits is still down when the host's transport stops: it counts when the next key
    // comes, and its note ends, instead of being forgotten while it sounds.
    Song stopped;
    stopped.sampleRate = 48000.0;
    stopped.frames = 48000;
    stopped.stopFrom = 8192;
    stopped.stopUntil = 16384;
    stopped.parameters = {{PerArea(kArpOnNoteCount, 0), 1.0}};
    stopped.input = {{1000, 0x90, 48, 90}, {20000, 0x90, 52, 91}, {21000, 0x90, 55, 92},
                     {30000, 0x80, 48, 0}, {40000, 0x80, 52, 0},  {40000, 0x80, 55, 0}};
    EXPECT_EQ(NotesLeftSounding(Play(stopped, {64})), 0);
}

// The global options as the settings file holds them, the listed ones on (0 "Enable MIDI note
// names" .. 6 "Gate length in steps").
std::string OptionsOn(std::initializer_list<int> on)
{
    std::string file;
    for (int i = 0; i < kOptionCount; ++i)
        file += std::find(on.begin(), on.end(), i) != on.end() ? "true\n" : "false\n";
    return file;
}

// Plays a song in blocks of 64, 512, 4096 and 32768 frames and of random sizes: each sends what
// blocks of one frame send, which are returned.
std::vector<Message> ExpectSameAsOneFrameBlocks(const std::string& name, const Song& song)
{
    const std::vector<Message> reference = Play(song, {1});
    EXPECT_GT(CountOfKind(reference, 0x90), 0) << name;
    for (int size : {64, 512, 4096, 32768})
        EXPECT_TRUE(SameMidi(reference, Play(song, {size}))) << name << ", " << size << "-frame blocks";
    EXPECT_TRUE(SameMidi(reference, Play(song, RandomSizes(29)))) << name << ", random block sizes";
    return reference;
}

struct NamedSong
{
    std::string name;
    Song song;
};

// Minimal songs that once sent other notes in large blocks than in blocks of one frame, or left a
// note sounding. Every key is up at the end, and no hold keeps a note.
std::vector<NamedSong> NoteEngineSongs()
{
    std::vector<NamedSong> songs;
    {
        // The first step of a run that starts at once is measured from the key, not the block.
        Song s;
        s.frames = 12000;
        s.settingsFile = OptionsOn({1});
        s.input = {{3000, 0x90, 48, 100}, {11000, 0x80, 48, 0}};
        songs.push_back({"start notes immediately", s});
    }
    {
        // Scenes: 8 steps of pattern 1, then pattern 2 (gate +24, reset on new note). At 143325 a
        // step of 55 ends as the next step of 55 starts.
        Song s;
        s.frames = 150000;
        s.parameters = {{PerArea(kSceneOnOff, 0), 1.0},
                        {SceneStep(kSceneStepLength, 0, 0), 7.0},
                        {SceneStep(kSceneStepPattern, 0, 1), 1.0},
                        {PerPattern(kPatternGate, 0, 1), 24.0},
                        {PerPattern(kResetOnNewNote, 0, 1), 1.0}};
        s.input = {
            {65047, 0x90, 55, 100}, {138553, 0x90, 52, 100}, {149000, 0x80, 55, 0}, {149000, 0x80, 52, 0}};
        songs.push_back({"note-off before note-on of one key", s});
    }
    {
        // Key 36 waits for a second key and passes through, moved into the scale (C# major);
        // 57 starts the area, whose first step comes after every key is up.
        Song s;
        s.frames = 24000;
        s.settingsFile = OptionsOn({4});
        s.parameters = {{kScale, 2.0}, {kScaleKey, 1.0}, {PerArea(kArpOnNoteCount, 0), 1.0}};
        s.input = {{1468, 0x90, 36, 100}, {18968, 0x90, 57, 100}, {19019, 0x80, 57, 0}, {19301, 0x80, 36, 0}};
        songs.push_back({"transposed pass-through", s});
    }
    {
        // Hold and hold bypass on: the area takes no keys until the zone's key 12 switches hold off;
        // then 41 plays at once, in the pattern the zone's key 24 chose.
        Song s;
        s.frames = 12000;
        s.settingsFile = OptionsOn({1});
        s.controlZoneFile = "hold\n\n\n\n\n\n\n\n\n\n\n\npattern1\n";
        s.parameters = {{PerArea(kHold, 0), 1.0},
                        {PerArea(kHoldBypass, 0), 1.0},
                        {PerArea(kKeyAreaPatterns, 0), 1.0},
                        {PerPattern(kRate, 0, 0), 16.0},
                        {PerPattern(kSwing, 0, 0), 0.3}};
        s.input = {{2916, 0x90, 24, 100}, {3321, 0x90, 12, 100}, {3490, 0x90, 41, 100}, {9000, 0x80, 41, 0}};
        songs.push_back({"control-zone keys, then an area key", s});
    }
    {
        // Area 2 holds what it takes; area 1 shares its keys without hold. A key's release lets go
        // of area 1's note, while area 2 keeps the key (it stays counted as held) until hold goes
        // off.
        Song s;
        s.frames = 20000;
        s.settingsFile = OptionsOn({1});
        s.parameters = {{PerArea(kKeyAreaOnOff, 1), 1.0},
                        {PerArea(kStartNote, 1), 24.0},
                        {PerArea(kEndNote, 1), 47.0},
                        {PerArea(kHold, 1), 1.0},
                        {PerArea(kMidiOutChannel, 1), 1.0}};
        s.input = {{1000, 0x90, 48, 100}, {1080, 0x80, 48, 0}, {9000, 0x90, 52, 100}, {9100, 0x80, 52, 0}};
        s.changes = {{17000, PerArea(kHold, 1), 0.0}};
        songs.push_back({"hold and a key released within the block", s});
    }
    {
        // The host moves area 1 to MIDI channel 2 while its key (channel 1) is down: the key's
        // release still lets go of it, and once hold goes off the arpeggio ends.
        Song s;
        s.frames = 20000;
        s.parameters = {{PerArea(kHold, 0), 1.0}};
        s.input = {{1000, 0x90, 48, 100}, {9000, 0x80, 48, 0}};
        s.changes = {{5000, PerArea(kMidiInChannel, 0), 1.0}, {15000, PerArea(kHold, 0), 0.0}};
        songs.push_back({"the input channel changes while a key is down", s});
    }
    return songs;
}

TEST(BlockSlicingSingleFrames, NoteEngineCasesSendWhatOneFrameBlocksSend)
{
    for (const NamedSong& s : NoteEngineSongs())
        EXPECT_EQ(NotesLeftSounding(ExpectSameAsOneFrameBlocks(s.name, s.song)), 0) << s.name;
}

// A panic (controller 123 from the host, or the control zone's panic key) acts at its own frame, in
// the order of the host's list: its sixteen controllers go out there after what the list gives
// before it (a note passed through, which they silence) and before what comes after it (another
// one, which sounds); the keys before it are let go (50 too, listed ahead of it at its frame), and
// the keys after it in the same block arpeggiate.
TEST(BlockSlicingSingleFrames, APanicActsAtItsFrameAndKeepsTheKeysAfterIt)
{
    for (const bool zoneKey : {false, true})
    {
        Song s;
        s.frames = 60000;
        if (zoneKey) s.controlZoneFile = "panic\n";
        s.input = {{0, 0x90, 48, 100},
                   {0, 0x90, 52, 100},
                   {30000, 0x94, 60, 90},
                   {30000, 0x90, 50, 100},
                   zoneKey ? Message{30000, 0x90, 12, 100} : Message{30000, 0xB0, 123, 0},
                   {30000, 0x94, 62, 90},
                   {30000, 0x90, 53, 100},
                   {30100, 0x90, 57, 100},
                   {50000, 0x84, 60, 0},
                   {50000, 0x84, 62, 0}};
        for (uint8_t n : {48, 52, 50, 53, 57})
            s.input.push_back({50000, 0x80, n, 0});
        const std::string name = zoneKey ? "the zone's panic key" : "controller 123";
        const std::vector<Message> sent = ExpectSameAsOneFrameBlocks(name, s);
        const auto first =
            std::find_if(sent.begin(), sent.end(), [](const Message& m) { return m.frame >= 30000; });
        ASSERT_GE(sent.end() - first, 17) << name;
        EXPECT_EQ(first[0], (Message{30000, 0x94, 60, 90})) << name;
        for (int c = 0; c < 16; ++c)
            EXPECT_EQ(first[1 + c], (Message{30000, static_cast<uint8_t>(0xB0 + c), 123, 0})) << name;
        const auto after = first + 17;
        EXPECT_NE(std::find(after, sent.end(), Message{30000, 0x94, 62, 90}), sent.end()) << name;
        for (uint8_t n : {53, 57}) // the keys after the panic play
            EXPECT_TRUE(std::any_of(after, sent.end(),
                                    [n](const Message& m)
                                    { return m.status == 0x90 && m.data1 == n && m.frame > 30100; }))
                << name << ", key " << int(n);
        EXPECT_FALSE(std::any_of(after, sent.end(),
                                 [](const Message& m) {
                                     return m.status == 0x90 &&
                                            (m.data1 == 48 || m.data1 == 52 || m.data1 == 50);
                                 }))
            << name;
    }
}

// A host's event list is taken in time order: a re-press of a held key listed (at 300 of its block)
// before the key's release (at 100), and a controller listed after a key that comes later, play as
// the same events listed in time order.
TEST(BlockSlicingSingleFrames, AListOutOfTimeOrderPlaysAsTheSameListInTimeOrder)
{
    Song ordered;
    ordered.frames = 4 * 22050;
    ordered.parameters = {{PerArea(kKeyAreaOnOff, 1), 1.0}};
    ordered.input = {{0, 0x90, 48, 100},
                     {0, 0x90, 52, 100},
                     {5 * 512 + 100, 0x80, 48, 0},
                     {5 * 512 + 200, 0xB0, 7, 1},
                     {5 * 512 + 300, 0x90, 48, 90},
                     {5 * 512 + 400, 0x90, 64, 90},
                     {66150, 0x80, 48, 0},
                     {66150, 0x80, 52, 0},
                     {66150, 0x80, 64, 0}};
    Song unordered = ordered;
    std::swap(unordered.input[2], unordered.input[4]); // 300 before 100
    std::swap(unordered.input[3], unordered.input[5]); // 400 before 200
    const std::vector<Message> reference = Play(ordered, {1});
    EXPECT_GT(CountOfKind(reference, 0x90), 12);
    for (int size : {512, 4096})
        EXPECT_TRUE(SameMidi(reference, Play(unordered, {size}))) << size << "-frame blocks";
}

} // namespace

namespace
{

using namespace quova::param;
using namespace quova::test;

// Transport cases: songs in which the host stops, loops or jumps. Each is played in blocks of 1, 64,
// 512, 4096 and 32768 frames and in blocks of random sizes; the host starts a new block at each
// transport change, and every slicing sends what blocks of one frame send.
struct TransportCase
{
    const char* name;
    Song song;
};

Song HeldKeys(double sampleRate, double tempo, int64_t frames, std::vector<Message> input)
{
    Song song;
    song.sampleRate = sampleRate;
    song.tempo = tempo;
    song.frames = frames;
    song.input = std::move(input);
    return song;
}

std::vector<TransportCase> TransportCases()
{
    std::vector<TransportCase> cases;

    // The host is stopped: the arpeggiator's own clock starts at the key's frame.
    Song stopped = HeldKeys(44100.0, 120.0, 40000, {{3000, 0x90, 48, 100}, {33000, 0x80, 48, 0}});
    stopped.transport = {{0, Song::Transport::kStop}};
    cases.push_back({"stopped host", stopped});
    // ... also with SHIFT steps moving notes later and earlier.
    stopped.parameters = {{StepValue(0, 0, 7, 1), 25.0}, {StepValue(0, 0, 7, 2), -30.0}};
    cases.push_back({"stopped host, SHIFT steps", stopped});

    // A loop from 32768 to 65536 frames: keys of key area 2 shortly after the loop jumps back and
    // later in the first block after it.
    const double loopBeat = 48000.0 * 60.0 / 146.66;
    Song loop =
        HeldKeys(48000.0, 146.66, 140000,
                 {{65636, 0x90, 64, 100}, {70000, 0x80, 64, 0}, {78604, 0x90, 66, 90}, {95000, 0x80, 66, 0}});
    loop.parameters = {{PerArea(kKeyAreaOnOff, 1), 1.0}};
    loop.cycleStart = 32768 / loopBeat;
    loop.cycleEnd = 65536 / loopBeat;
    loop.transport = {{65536, Song::Transport::kJump, loop.cycleStart},
                      {98304, Song::Transport::kJump, loop.cycleStart},
                      {131072, Song::Transport::kJump, loop.cycleStart}};
    cases.push_back({"loop jump back", loop});

    // A held key while the host jumps ahead by less than a block (and later back).
    Song jump = HeldKeys(48000.0, 214.76, 180000, {{20000, 0x90, 64, 100}, {170000, 0x80, 64, 0}});
    jump.parameters = {{PerArea(kKeyAreaOnOff, 1), 1.0}};
    jump.transport = {{98304, Song::Transport::kJump, 8.875}, {140000, Song::Transport::kJump, 9.3}};
    cases.push_back({"jumps shorter than a block", jump});

    // The transport stops while a key of key area 4 is held; a key of key area 1 that the area had
    // taken is released just after the stop.
    Song stop = HeldKeys(
        44100.0, 120.0, 120000,
        {{50000, 0x90, 90, 100}, {60000, 0x90, 48, 100}, {98393, 0x80, 48, 0}, {110000, 0x80, 90, 0}});
    stop.parameters = {{PerArea(kKeyAreaOnOff, 3), 1.0}};
    stop.transport = {{98304, Song::Transport::kStop}};
    cases.push_back({"release after a stop", stop});
    return cases;
}

TEST(BlockSlicingTransport, EverySlicingSendsWhatOneFrameBlocksSend)
{
    for (const TransportCase& c : TransportCases())
    {
        const std::vector<Message> reference = Play(c.song, {1});
        EXPECT_GT(CountOfKind(reference, 0x90), 2) << c.name;
        for (const std::vector<int>& sizes : {std::vector<int>{64}, {512}, {4096}, {32768}, RandomSizes(29)})
            EXPECT_TRUE(SameMidi(reference, Play(c.song, sizes))) << c.name << ", blocks of " << sizes[0];
    }
}

// Keys 48, 52 and 55 held for most of 200000 frames at 1/16, with a transpose of +12 on step 2, so
// that a step played twice would put every later note and transpose a step ahead.
Song HeldChord()
{
    Song song = HeldKeys(44100.0, 120.0, 200000,
                         {{0, 0x90, 48, 100},
                          {0, 0x90, 52, 100},
                          {0, 0x90, 55, 100},
                          {190000, 0x80, 48, 0},
                          {190000, 0x80, 52, 0},
                          {190000, 0x80, 55, 0}});
    song.parameters = {{StepValue(0, 0, 5, 1), 12.0}};
    return song;
}

// A host that plays the tail of the last block again, and reports the move back in its musical
// position (with its sample position or without): what was played is not played again, and every
// note lands on the song frame it has in blocks of one frame from a clean host (a move back by less
// than the last block cannot happen in blocks of one frame, so these compare with a clean clock).
// Also after a block the host cut short (448 + 64 frames where 512 would be), when the move back is
// longer than that block. Step 16 starts at 82687.5, on the last frame of the block before 82688 in
// blocks of 64. A move back of the sample position alone is no move where the musical position is
// given (see the next test).
TEST(BlockSlicingTransport, ARepeatedTailPlaysNothingTwice)
{
    const Song clean = HeldChord();
    const std::vector<Message> reference = Play(clean, {1});
    ASSERT_GT(CountOfKind(reference, 0x90), 30);
    using T = Song::Transport;
    for (int positions : {3, 2})
    {
        const std::string moved = positions == 3 ? "both positions" : "musical position";
        Song tail = clean;
        tail.transport = {{49664, T::kRepeat, 100, positions},
                          {98304, T::kRepeat, 37, positions},
                          {131072, T::kRepeat, 511, positions}};
        for (const std::vector<int>& sizes : {std::vector<int>{512}, {4096}, {448, 64}})
            EXPECT_TRUE(SameMidi(reference, Play(tail, sizes)))
                << moved << ", blocks of " << sizes[0] << (sizes.size() > 1 ? " and on" : "");
        Song one = clean;
        one.transport = {{82688, T::kRepeat, 1, positions}, {131072, T::kRepeat, 1, positions}};
        for (const std::vector<int>& sizes : {std::vector<int>{64}, {512}, RandomSizes(31)})
            EXPECT_TRUE(SameMidi(reference, Play(one, sizes)))
                << moved << ", one sample, blocks of " << sizes[0];
    }
}

// Where the host gives its musical position, that position alone places the blocks: a sample
// position that stands still (at 0 or elsewhere), runs at another rate (a bridge at 48 kHz before a
// host at 44.1 kHz), lags 100 samples in every other block or jumps about changes nothing of what
// plays. Without a musical position the sample position rules, and a repeat there plays nothing
// twice either.
TEST(BlockSlicingTransport, AnUncleanSamplePositionChangesNothingWhereTheMusicalPositionIsGiven)
{
    const Song clean = HeldChord();
    const std::vector<Message> reference = Play(clean, {1});
    using Clock = std::function<void(size_t, int64_t, VstTimeInfo&)>;
    const std::vector<std::pair<const char*, Clock>> hosts = {
        {"standing at 0", [](size_t, int64_t, VstTimeInfo& t) { t.samplePos = 0.0; }},
        {"standing at 777777", [](size_t, int64_t, VstTimeInfo& t) { t.samplePos = 777777.0; }},
        {"at 44.1/48 of the rate",
         [](size_t, int64_t, VstTimeInfo& t) { t.samplePos = std::floor(t.samplePos * 44100.0 / 48000.0); }},
        {"100 behind every other block",
         [](size_t block, int64_t, VstTimeInfo& t) { t.samplePos -= block % 2 != 0 ? 100.0 : 0.0; }},
        {"jumping about",
         [](size_t block, int64_t, VstTimeInfo& t) { t.samplePos = (block * 7919) % 100000; }}};
    for (const auto& [name, clock] : hosts)
    {
        Song song = clean;
        song.hostClock = clock;
        for (const std::vector<int>& sizes : {std::vector<int>{512}, {64}, RandomSizes(41)})
            EXPECT_TRUE(SameMidi(reference, Play(song, sizes))) << name << ", blocks of " << sizes[0];
    }
    using T = Song::Transport;
    Song tail = clean;
    tail.ppq = Song::Ppq::kNotValid;
    tail.transport = {{49664, T::kRepeat, 100, 1}, {98304, T::kRepeat, 37, 1}, {131072, T::kRepeat, 511, 1}};
    for (const std::vector<int>& sizes : {std::vector<int>{512}, {448, 64}})
        EXPECT_TRUE(SameMidi(reference, Play(tail, sizes))) << "repeats without a musical position";
}

// Four key areas (channels 1 to 4, each out on its own channel) hold changing chords for a number of
// seconds: the song of the long host-clock runs. The chords come a few hundred frames after a step
// starts: a key pressed on the frame a step starts takes part in that step or not by a single frame
// of the host's clock.
Song FourAreas(int seconds)
{
    Song song;
    song.frames = static_cast<int64_t>(seconds) * 44100;
    std::mt19937 random(11);
    for (int a = 0; a < 4; ++a)
    {
        if (a > 0) song.parameters.push_back({PerArea(kKeyAreaOnOff, a), 1.0});
        song.parameters.push_back({PerArea(kMidiInChannel, a), static_cast<double>(a)});
        song.parameters.push_back({PerArea(kMidiOutChannel, a), static_cast<double>(a)});
        song.parameters.push_back({PerArea(kStartNote, a), 36.0});
        song.parameters.push_back({PerArea(kEndNote, a), 71.0});
        song.parameters.push_back({PerPattern(kRate, a, 0), 12.0 + a % 3}); // 1/16, 1/16T, 1/16D
        for (int64_t at = 1000 * a + 300; at + 30000 < song.frames; at += 88200)
            for (int k = 0; k < 3; ++k)
            {
                const uint8_t note =
                    static_cast<uint8_t>(36 + std::uniform_int_distribution<int>(0, 35)(random));
                song.input.push_back({at + k, static_cast<uint8_t>(0x90 + a), note, 100});
                song.input.push_back({at + 88000, static_cast<uint8_t>(0x80 + a), note, 0});
            }
    }
    std::stable_sort(song.input.begin(), song.input.end(),
                     [](const Message& x, const Message& y) { return x.frame < y.frame; });
    return song;
}

// Note-ons of one rendering that the other has not on their channel within a few frames: (doubled,
// lost). The note may differ (a chord's key pressed a frame after a step starts takes part in it
// when the step starts a frame later).
std::pair<int, int> UnmatchedNoteOns(const std::vector<Message>& reference, const std::vector<Message>& sent,
                                     int64_t frames, int64_t songFrames)
{
    // A note that moves by a few frames may move past the song's end.
    std::vector<Message> expected, got;
    const auto keep = [&](const Message& m)
    { return (m.status & 0xF0) == 0x90 && m.frame < songFrames - frames - 1; };
    std::copy_if(reference.begin(), reference.end(), std::back_inserter(expected), keep);
    std::copy_if(sent.begin(), sent.end(), std::back_inserter(got), keep);
    std::vector<bool> taken(expected.size(), false);
    int doubled = 0;
    size_t from = 0;
    for (const Message& m : got)
    {
        while (from < expected.size() && expected[from].frame < m.frame - frames)
            ++from;
        bool found = false;
        for (size_t i = from; i < expected.size() && expected[i].frame <= m.frame + frames && !found; ++i)
            if (!taken[i] && expected[i].status == m.status) taken[i] = found = true;
        doubled += found ? 0 : 1;
    }
    return {doubled, static_cast<int>(std::count(taken.begin(), taken.end(), false))};
}

// A host that misbehaves with its clock through a long song of four key areas: it repeats 2 to 511
// samples (by its musical position, alone or with its sample position) at 5 % of its blocks, of 512
// frames or of random sizes up to 1024 (a repeat often reaches back beyond a short block); its musical
// position (alone, or with its sample position) jitters by a sample either way at 64-frame blocks;
// or it derives its musical position from a single-precision sample counter 14 hours into the song.
// No step is played twice: with a repeat every note lands on its frame, with a jittering position
// within two frames, with the single-precision counter within its 256 samples. QUOVA_CLOCK_SECONDS
// sets the song's length (the CI run plays a few seconds).
TEST(BlockSlicingTransport, AMisbehavingHostClockDoublesNoStep)
{
    const char* text = std::getenv("QUOVA_CLOCK_SECONDS");
    const int seconds = text != nullptr && *text != 0 ? std::atoi(text) : 6;
    using T = Song::Transport;
    const Song clean = FourAreas(seconds);
    std::mt19937 random(5);

    Song repeating = clean;
    for (int64_t frame = 512; frame < clean.frames; frame += 512)
        if (std::uniform_int_distribution<int>(0, 19)(random) == 0)
            repeating.transport.push_back({frame, T::kRepeat,
                                           double(std::uniform_int_distribution<int>(2, 511)(random)),
                                           std::uniform_int_distribution<int>(2, 3)(random)});
    const std::vector<Message> reference = Play(clean, {512});
    EXPECT_GT(CountOfKind(reference, 0x90), 30 * seconds);
    int repeatDoubled = 0, repeatLost = 0;
    for (const std::vector<int>& sizes : {std::vector<int>{512}, RandomSizes(43, 1024)})
    {
        const std::vector<Message> repeated = Play(repeating, sizes);
        EXPECT_TRUE(SameMidi(reference, repeated)) << "blocks of " << sizes[0];
        const auto [doubled, lost] = UnmatchedNoteOns(reference, repeated, 0, clean.frames);
        repeatDoubled += doubled;
        repeatLost += lost;
    }

    Song jittering = clean;
    for (int64_t frame = 64; frame < clean.frames; frame += 64)
        if (const int j = std::uniform_int_distribution<int>(-1, 1)(random); j != 0)
            jittering.transport.push_back(
                {frame, T::kJitter, double(j), std::uniform_int_distribution<int>(2, 3)(random)});
    const std::vector<Message> jr = Play(clean, {64}), js = Play(jittering, {64});
    const auto [jitterDoubled, jitterLost] = UnmatchedNoteOns(jr, js, 2, clean.frames);

    Song late = clean, lateFloat = clean;
    late.startSample = lateFloat.startSample = 14.0 * 3600 * 44100;
    lateFloat.ppq = Song::Ppq::kFromFloat;
    const std::vector<Message> fr = Play(late, {64}), fs = Play(lateFloat, {64});
    const auto [floatDoubled, floatLost] = UnmatchedNoteOns(fr, fs, 256, clean.frames);

    std::cout << seconds << " s of four key areas: " << repeating.transport.size()
              << " repeats (in blocks of 512 and of random sizes) doubled " << repeatDoubled << " and lost "
              << repeatLost << " steps; one-sample jitter doubled " << jitterDoubled << " and lost "
              << jitterLost << "; a single-precision position 14 hours in doubled " << floatDoubled
              << " and lost " << floatLost << "\n";
    EXPECT_EQ(repeatDoubled + jitterDoubled + floatDoubled, 0);
    // (A single-precision counter moves a key that comes within its 256 samples of a step's start to
    // the other side of it, so that a step may go by before or after the key.)
    EXPECT_EQ(repeatLost + jitterLost, 0);
}

// A playing host that gives no usable musical position (not flagged valid, or not a number): the
// musical position follows the sample position and the tempo. After tempo changes (60 bpm, then 240;
// 240, then 60) the host relocates to its start: the beat starts from the sample position at the
// tempo of the block (beat 0 at sample 0), and the steps play as they do for a host that says so.
TEST(BlockSlicingTransport, AHostWithoutAMusicalPositionPlaysByItsSamplePosition)
{
    const Song clean = HeldChord();
    const std::vector<Message> reference = Play(clean, {1});
    for (Song::Ppq ppq : {Song::Ppq::kNotValid, Song::Ppq::kNaN})
    {
        Song song = clean;
        song.ppq = ppq;
        for (const std::vector<int>& sizes : {std::vector<int>{1}, {512}, RandomSizes(37)})
            EXPECT_TRUE(SameMidi(reference, Play(song, sizes))) << "blocks of " << sizes[0];
    }
    // The beat that follows the sample position is the same in every block size however long the
    // song: added up block by block it drifted, in blocks of one frame at 48 kHz and 140 bpm, by
    // more than a millionth of a sample within 250000 frames, and a note that ends on a whole
    // sample ended a frame later in blocks of 512.
    Song drifting = HeldKeys(48000.0, 140.0, 400000, {});
    Press(drifting, 0, {36, 40, 43}, 370000);
    std::stable_sort(drifting.input.begin(), drifting.input.end(),
                     [](const Message& x, const Message& y) { return x.frame < y.frame; });
    drifting.ppq = Song::Ppq::kNotValid;
    EXPECT_TRUE(SameMidi(Play(drifting, {1}), Play(drifting, {512}))) << "a long song, blocks of 512";
    using T = Song::Transport;
    constexpr int64_t kRelocation = 120000;
    for (const auto& [from, to] : {std::pair{60.0, 240.0}, std::pair{240.0, 60.0}})
    {
        Song given = clean;
        given.tempo = from;
        // (The second change, to the same tempo, starts a block at the relocation in every slicing.)
        given.transport = {{50000, T::kTempo, to}, {kRelocation, T::kTempo, to}};
        given.hostClock = [](size_t, int64_t start, VstTimeInfo& t)
        {
            if (start < kRelocation) return;
            t.samplePos = static_cast<double>(start - kRelocation);
            t.ppqPos = t.samplePos * t.tempo / (60.0 * t.sampleRate);
        };
        Song without = given;
        without.ppq = Song::Ppq::kNotValid;
        const std::vector<Message> expected = Play(given, {1});
        EXPECT_GT(CountOfKind(expected, 0x90), 20);
        for (const std::vector<int>& sizes : {std::vector<int>{1}, {512}, RandomSizes(47)})
            EXPECT_TRUE(SameMidi(expected, Play(without, sizes)))
                << from << " then " << to << " bpm, blocks of " << sizes[0];
    }
}

// A tempo no host offers plays as the fastest one a host does (999 bpm), so that a block's work stays
// bounded: the host's musical position, which runs at its own tempo, gives way to the sample position.
// A tempo below any host's plays as the slowest (1 bpm): a denormal tempo for one block, after which
// the host gives no musical position, once carried the beat beyond any song and sent millions of
// notes in the next block.
TEST(BlockSlicingTransport, AnAbsurdTempoPlaysAsTheFastestOrSlowestAHostOffers)
{
    Song fastest = HeldChord();
    fastest.frames = 44100;
    fastest.tempo = 999.0;
    const std::vector<Message> reference = Play(fastest, {512});
    Song absurd = fastest;
    absurd.tempo = 1e9;
    EXPECT_TRUE(SameMidi(reference, Play(absurd, {512})));

    const auto slowBlock = [](double tempo)
    {
        Song song = HeldChord();
        song.frames = 44100;
        song.hostClock = [tempo](size_t, int64_t start, VstTimeInfo& t)
        {
            t.tempo = start == 22016 ? tempo : 120.0;
            if (start >= 22528)
                t.flags &= ~vst::kVstPpqPosValid;
            else
                t.flags |= vst::kVstPpqPosValid;
        };
        return Play(song, {512});
    };
    const std::vector<Message> slowest = slowBlock(1.0);
    EXPECT_GT(CountOfKind(slowest, 0x90), 5);
    EXPECT_TRUE(SameMidi(slowest, slowBlock(1e-300)));

    // While the host stands, the own clock of the host family that restarts its sample position
    // starts from that position: one beyond any song counts as missing (it once put the beat where a
    // double's step is coarser than a step, and the keys played nothing or millions of notes).
    const auto standing = [](double samplePosition)
    {
        Song song = HeldKeys(44100.0, 120.0, 30000, {});
        Press(song, 1000, {48, 52}, 20000);
        song.transport = {{0, Song::Transport::kStop}};
        song.host = "Cubase";
        song.hostClock = [samplePosition](size_t, int64_t, VstTimeInfo& t) { t.samplePos = samplePosition; };
        return Play(song, {512});
    };
    const std::vector<Message> fromZero = standing(0.0);
    EXPECT_GT(CountOfKind(fromZero, 0x90), 3);
    for (double beyond : {1e300, std::numeric_limits<double>::infinity()})
        EXPECT_TRUE(SameMidi(fromZero, standing(beyond))) << beyond;
}

// A jump far ahead while a run's first step still waits for the step grid plays that step where the
// host lands, not every step of the skipped span at the jump's frame (a jump of 100 beats once sent
// 400 messages there, a note-off for every step).
TEST(BlockSlicingTransport, AJumpAheadBeforeTheFirstStepSkipsTheSpan)
{
    Song song =
        HeldKeys(44100.0, 120.0, 60000,
                 {{1000, 0x90, 48, 100}, {1000, 0x90, 52, 100}, {50000, 0x80, 48, 0}, {50000, 0x80, 52, 0}});
    song.transport = {{1536, Song::Transport::kJump, 100.0}};
    const std::vector<Message> sent = Play(song, {512});
    EXPECT_EQ(std::count_if(sent.begin(), sent.end(), [](const Message& m) { return m.frame == 1536; }), 1);
    EXPECT_GT(CountOfKind(sent, 0x90), 5);
    EXPECT_TRUE(SameMidi(Play(song, {1}), sent));
}

} // namespace
