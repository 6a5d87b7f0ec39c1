// The test plug-in loaded as a module through the command-line host's loader, as a host sees it.
#include <gtest/gtest.h>

#include <vector>

#include "platform/vst/VstAbi.h"
#include "tools/host/PluginModule.h"
#include "tools/host/VstHost.h"

using quova::host::VstHost;

namespace
{

class Module : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.Load(QUOVA_TEST_PLUG_MODULE)) << host.LastError();
        ASSERT_TRUE(host.Open());
        ASSERT_TRUE(host.SetSampleRate(48000.0));
        ASSERT_TRUE(host.SetBlockSize(128));
        ASSERT_TRUE(host.Resume());
    }
    VstHost host;
};

} // namespace

TEST_F(Module, ExportsBothEntryNames)
{
    ASSERT_NE(host.Module(), nullptr);
    EXPECT_NE(host.Module()->Symbol("VSTPluginMain"), nullptr);
    EXPECT_NE(host.Module()->Symbol("main"), nullptr);
    AEffect* effect = host.Effect();
    EXPECT_EQ(effect->magic, vst::kEffectMagic);
    EXPECT_EQ(effect->flags, 0x1130);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->numPrograms, 1);
    char name[64] = {};
    EXPECT_EQ(host.Dispatch(vst::effGetEffectName, 0, 0, name), 1);
    EXPECT_STREQ(name, "TestPlug");
}

TEST_F(Module, MidiInAndOutAtOffsets)
{
    const uint8_t noteOn[3] = {0x90, 60, 100};
    const uint8_t noteOff[3] = {0x80, 60, 0};
    ASSERT_TRUE(host.QueueMidiAt(0, 5, noteOn, 3));
    ASSERT_TRUE(host.QueueMidiAt(1, 77, noteOff, 3));
    ASSERT_TRUE(host.RunBlocks(3));
    // The test plug-in answers each message (note + 1) at the same offset in the following block.
    const auto& events = host.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].block, 0);
    EXPECT_EQ(events[0].offset, 5);
    EXPECT_EQ(events[0].bytes, (std::vector<uint8_t>{0x90, 61, 100}));
    EXPECT_EQ(events[1].block, 1);
    EXPECT_EQ(events[1].offset, 77);
    EXPECT_EQ(events[1].bytes[0], 0x80);
    EXPECT_EQ(host.CallbackCount(vst::audioMasterWantMidi), 3);
}

TEST_F(Module, ChunkRoundTripThroughTheHost)
{
    std::vector<uint8_t> program;
    ASSERT_TRUE(host.GetChunk(false, program));
    ASSERT_GE(program.size(), 8u);
    EXPECT_EQ(program[0], 0x74);
    char text[] = "12.5";
    ASSERT_EQ(host.Dispatch(vst::effString2Parameter, 0, 0, text), 1);
    std::vector<uint8_t> changed;
    ASSERT_TRUE(host.GetChunk(false, changed));
    EXPECT_NE(changed, program);
    EXPECT_TRUE(host.SetChunk(program, false));
    std::vector<uint8_t> again;
    ASSERT_TRUE(host.GetChunk(false, again));
    EXPECT_EQ(again, program);
    std::vector<uint8_t> garbage(program.size(), 0xAB);
    EXPECT_FALSE(host.SetChunk(garbage, false));
    ASSERT_TRUE(host.GetChunk(false, again));
    EXPECT_EQ(again, program);
}

TEST_F(Module, HostIdentityIsAskedOnOpen)
{
    EXPECT_EQ(host.CallbackCount(vst::audioMasterGetProductString), 1);
    EXPECT_EQ(host.CallbackCount(vst::audioMasterGetVendorVersion), 1);
}
