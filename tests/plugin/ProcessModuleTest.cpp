// Quova.so played through the command-line host, as a user meets it: a held chord arpeggiated in
// time with the host, notes outside every key area passed through at their offsets, controller 123
// as a panic, controllers nobody learned echoed, program changes taken.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/vst/VstAbi.h"
#include "tests/plugin/PluginTestSupport.h"
#include "tools/host/VstHost.h"

namespace
{

using quova::host::ReceivedEvent;
using quova::host::VstHost;
using quova::test::TempDataFolder;

struct Note
{
    int64_t block;
    int32_t offset;
    uint8_t status, data1, data2;
    bool operator==(const Note& o) const
    {
        return block == o.block && offset == o.offset && status == o.status && data1 == o.data1 &&
               data2 == o.data2;
    }
};

std::ostream& operator<<(std::ostream& out, const Note& n)
{
    return out << "{" << n.block << " @" << n.offset << " " << std::hex << int(n.status) << std::dec << " "
               << int(n.data1) << " " << int(n.data2) << "}";
}

class ModulePlay : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host_.Load(QUOVA_PLUGIN_MODULE) && host_.Open() && host_.SetSampleRate(44100.0) &&
                    host_.SetBlockSize(512) && host_.Resume())
            << host_.LastError();
    }
    void Queue(int64_t frame, uint8_t s, uint8_t d1, uint8_t d2)
    {
        const uint8_t bytes[3] = {s, d1, d2};
        ASSERT_TRUE(host_.QueueMidi(frame, bytes, 3));
    }
    std::vector<Note> Received(uint8_t kindMask = 0) const
    {
        std::vector<Note> out;
        for (const ReceivedEvent& e : host_.Events())
            if (e.bytes.size() == 3 && (kindMask == 0 || (e.bytes[0] & 0xF0) == kindMask))
                out.push_back({e.block, e.offset, e.bytes[0], e.bytes[1], e.bytes[2]});
        return out;
    }

    TempDataFolder folder_;
    VstHost host_;
};

// Default parameters: key area 1 takes channel 1, notes 36..59; pattern 1 plays 1/16 steps
// (rate 12: a quarter beat, 5512.5 samples at 120 bpm and 44100 Hz) low to high through the held
// notes, each step gated at -10 % (the note ends after 0.9 of the step); velocities as played
// (global volume 64 changes nothing); note-offs with velocity 127. The step grid starts at 0 and
// sample times are truncated.
TEST_F(ModulePlay, AHeldChordIsArpeggiatedInTimeWithTheHost)
{
    const int64_t frames = 2 * 4 * 22050; // two bars
    for (uint8_t n : {48, 52, 55})
    {
        Queue(0, 0x90, n, 100);
        Queue(frames, 0x80, n, 0); // released after two bars
    }
    ASSERT_TRUE(host_.RunBlocks((frames + 511) / 512 + 20));

    const double step = 44100.0 * 60.0 / 120.0 * 0.25;
    const uint8_t chord[3] = {48, 52, 55};
    std::vector<Note> expected;
    for (int k = 0; k < 32; ++k)
    {
        const int64_t on = static_cast<int64_t>(std::trunc(k * step));
        const int64_t off = static_cast<int64_t>(std::trunc(k * step + 0.9 * step));
        expected.push_back({on / 512, static_cast<int32_t>(on % 512), 0x90, chord[k % 3], 100});
        expected.push_back({off / 512, static_cast<int32_t>(off % 512), 0x80, chord[k % 3], 127});
    }
    EXPECT_EQ(Received(), expected);
    // Spot checks worked out by hand: step 1 starts at sample 5512 (block 10, offset 392) and its
    // note ends at 10473 (block 20, offset 233).
    ASSERT_GE(host_.Events().size(), 4u);
    EXPECT_EQ(Received()[2], (Note{10, 392, 0x90, 52, 100}));
    EXPECT_EQ(Received()[3], (Note{20, 233, 0x80, 52, 127}));
}

TEST_F(ModulePlay, NotesOutsideEveryKeyAreaPassThroughAtTheirOffsets)
{
    Queue(1000, 0x94, 60, 90);  // channel 5: no key area listens
    Queue(1300, 0x90, 110, 70); // above every key area
    Queue(5000, 0x84, 60, 0);
    Queue(5001, 0x80, 110, 0);
    ASSERT_TRUE(host_.RunBlocks(12));
    const std::vector<Note> expected = {
        {1, 488, 0x94, 60, 90}, {2, 276, 0x90, 110, 70}, {9, 392, 0x84, 60, 0}, {9, 393, 0x80, 110, 0}};
    EXPECT_EQ(Received(), expected);
}

TEST_F(ModulePlay, Controller123StopsEverythingAndOtherControllersEchoOrDrop)
{
    for (uint8_t n : {48, 52, 55})
        Queue(0, 0x90, n, 100);
    Queue(3000, 0xB0, 7, 64);  // not learned: back to the host at its frame
    Queue(3000, 0xB0, 121, 0); // channel mode: dropped
    Queue(3000, 0xB0, 0, 3);   // bank select: dropped
    Queue(6000, 0xB3, 123, 0); // panic at its own frame (block 11)
    ASSERT_TRUE(host_.RunBlocks(40));
    const std::vector<Note> controllers = Received(0xB0);
    ASSERT_EQ(controllers.size(), 17u);
    EXPECT_EQ(controllers[0], (Note{5, 440, 0xB0, 7, 64}));
    for (int c = 0; c < 16; ++c)
        EXPECT_EQ(controllers[1 + c], (Note{11, 368, static_cast<uint8_t>(0xB0 + c), 123, 0}));
    // The arpeggio stops: the last note-on before the panic was step 1 at block 10.
    for (const Note& n : Received(0x90))
        EXPECT_LE(n.block, 10) << n;
}

TEST_F(ModulePlay, HostWithoutTimeInfoStillPlaysAt120Bpm)
{
    host_.SetTimeInfoAvailable(false);
    for (uint8_t n : {48, 52})
        Queue(0, 0x90, n, 100);
    ASSERT_TRUE(host_.RunBlocks(20));
    // Without a host transport the engine runs on its own clock: the notes still come at the
    // 1/16 grid.
    const std::vector<Note> ons = Received(0x90);
    ASSERT_GE(ons.size(), 2u);
    EXPECT_EQ(ons[1].block * 512 + ons[1].offset - (ons[0].block * 512 + ons[0].offset), 5512);
}

} // namespace
