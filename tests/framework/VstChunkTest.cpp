// Program and bank chunks through effGetChunk / effSetChunk.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/framework/MockHost.h"

namespace
{

using Bytes = std::vector<uint8_t>;

class VstChunks : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (effect != nullptr) Dispatch(effect, vst::effClose);
    }
    void Make(int presets = 0)
    {
        TestPlugConfig config;
        config.presetCount = presets;
        effect = host.MakeEffect(config);
        plug = PlugOf(effect);
    }
    Bytes Get(bool bank)
    {
        void* data = nullptr;
        const VstIntPtr size = Dispatch(effect, vst::effGetChunk, bank ? 0 : 1, 0, &data);
        if (size <= 0 || data == nullptr) return {};
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        return Bytes(bytes, bytes + size);
    }
    VstIntPtr Set(const Bytes& bytes, bool bank)
    {
        return Dispatch(effect, vst::effSetChunk, bank ? 0 : 1, static_cast<VstIntPtr>(bytes.size()),
                        const_cast<uint8_t*>(bytes.data()));
    }
    void Scramble()
    {
        plug->GetParameter(TestPlug::kGain)->SetValue(12.5);
        plug->GetParameter(TestPlug::kNote)->SetValue(3);
        plug->GetParameter(TestPlug::kMode)->SetValue(2);
        plug->GetParameter(TestPlug::kHidden)->SetValue(9);
    }
    static Bytes Header(uint32_t version)
    {
        Bytes h = {0x74, 0x66, 0x66, 0x70};
        for (int i = 0; i < 4; ++i)
            h.push_back(static_cast<uint8_t>(version >> (8 * i)));
        return h;
    }

    MockHost host;
    AEffect* effect = nullptr;
    TestPlug* plug = nullptr;
};

// State of the test plug-in: i32 version 7, then one double per parameter.
constexpr size_t kStateSize = 4 + 8 * TestPlug::kCount;

} // namespace

TEST_F(VstChunks, ProgramChunkIsHeaderThenState)
{
    Make();
    const Bytes chunk = Get(false);
    ASSERT_EQ(chunk.size(), 8 + kStateSize);
    const Bytes header(chunk.begin(), chunk.begin() + 8);
    EXPECT_EQ(header, (Bytes{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}));
    EXPECT_EQ(chunk[8], TestPlug::kStateVersion);
    double gain = 0;
    std::memcpy(&gain, chunk.data() + 12, 8);
    EXPECT_EQ(gain, 50.0);
    // Without presets a bank chunk has an empty preset block.
    EXPECT_EQ(Get(true), chunk);
    EXPECT_EQ(Dispatch(effect, vst::effGetChunk, 1, 0, nullptr), 0);
}

TEST_F(VstChunks, ProgramChunkRoundTripsByteForByte)
{
    Make();
    Scramble();
    const Bytes saved = Get(false);
    plug->GetParameter(TestPlug::kGain)->SetValue(99);
    plug->GetParameter(TestPlug::kNote)->SetValue(120);
    plug->changed.clear();
    EXPECT_EQ(Set(saved, false), 1);
    EXPECT_EQ(plug->GetParameter(TestPlug::kGain)->Value(), 12.5);
    EXPECT_EQ(plug->GetParameter(TestPlug::kNote)->Value(), 3);
    EXPECT_EQ(plug->changed.size(), static_cast<size_t>(TestPlug::kCount));
    EXPECT_EQ(Get(false), saved);
}

TEST_F(VstChunks, HostMayHandBackOurOwnBuffer)
{
    Make();
    Scramble();
    void* data = nullptr;
    const VstIntPtr size = Dispatch(effect, vst::effGetChunk, 1, 0, &data);
    plug->GetParameter(TestPlug::kGain)->SetValue(1);
    EXPECT_EQ(Dispatch(effect, vst::effSetChunk, 1, size, data), 1);
    EXPECT_EQ(plug->GetParameter(TestPlug::kGain)->Value(), 12.5);
}

TEST_F(VstChunks, BankChunkCarriesThePresets)
{
    Make(2);
    plug->GetPreset(1)->SetName("Second");
    Scramble();
    const Bytes bank = Get(true);
    // header, then per preset: u32 length, name, u8 1, parameter block; then the state
    const size_t presetBlock = (4 + 5 + 1 + 8 * TestPlug::kCount) + (4 + 6 + 1 + 8 * TestPlug::kCount);
    ASSERT_EQ(bank.size(), 8 + presetBlock + kStateSize);
    EXPECT_EQ(std::memcmp(bank.data() + 12, "Empty", 5), 0);

    plug->GetPreset(1)->SetName("Renamed");
    plug->GetParameter(TestPlug::kGain)->SetValue(77);
    EXPECT_EQ(Set(bank, true), 1);
    EXPECT_STREQ(plug->GetPresetName(1), "Second");
    EXPECT_EQ(plug->GetParameter(TestPlug::kGain)->Value(), 12.5);
    EXPECT_EQ(Get(true), bank);
}

TEST_F(VstChunks, OlderBankVersionSkipsThePresetBlock)
{
    Make(1);
    Scramble();
    const Bytes program = Get(false);
    Bytes old = Header(0x0000FFFF);
    old.insert(old.end(), program.begin() + 8, program.end());
    plug->GetParameter(TestPlug::kGain)->SetValue(1);
    EXPECT_EQ(Set(old, true), 1);
    EXPECT_EQ(plug->GetParameter(TestPlug::kGain)->Value(), 12.5);
}

TEST_F(VstChunks, AChunkWithoutTheTagIsReadAsBareState)
{
    Make(1);
    Scramble();
    const Bytes program = Get(false);
    const Bytes bare(program.begin() + 8, program.end());
    plug->GetParameter(TestPlug::kGain)->SetValue(1);
    EXPECT_EQ(Set(bare, false), 1);
    EXPECT_EQ(plug->GetParameter(TestPlug::kGain)->Value(), 12.5);
    EXPECT_EQ(Get(false), program);
}

TEST_F(VstChunks, RefusedChunksChangeNothing)
{
    Make(1);
    Scramble();
    const Bytes program = Get(false);
    const Bytes bank = Get(true);
    plug->GetParameter(TestPlug::kGain)->SetValue(33);
    plug->GetPreset(0)->SetName("Mine");
    const Bytes before = Get(true);

    Bytes untagged = program;
    untagged[0] = 'X';
    Bytes newer = program;
    newer[6] = 2; // version 0x00020000
    Bytes stateVersion = program;
    stateVersion[8] = 99;
    const std::vector<Bytes> refused = {
        {},
        {0x74, 0x66, 0x66},
        {0x74, 0x66, 0x66, 0x70, 0x00, 0x00},
        Header(0x00010000),                        // no state at all
        Bytes(program.begin(), program.end() - 4), // state cut short
        untagged,
        newer,
        stateVersion,
    };
    for (size_t i = 0; i < refused.size(); ++i)
    {
        EXPECT_EQ(Set(refused[i], false), 0) << "program case " << i;
        EXPECT_EQ(Get(true), before) << "program case " << i;
    }
    const std::vector<Bytes> refusedBanks = {
        Bytes(bank.begin(), bank.begin() + 20), // preset block cut short
        Bytes(bank.begin(), bank.end() - 1),    // state cut short after the presets
    };
    for (size_t i = 0; i < refusedBanks.size(); ++i)
    {
        EXPECT_EQ(Set(refusedBanks[i], true), 0) << "bank case " << i;
        EXPECT_EQ(Get(true), before) << "bank case " << i;
        EXPECT_STREQ(plug->GetPresetName(0), "Mine");
    }

    // A preset name whose stored length runs far past the end.
    Bytes hugeName = Header(0x00010000);
    for (uint8_t b : {0xF0, 0xFF, 0xFF, 0xFF})
        hugeName.push_back(b);
    EXPECT_EQ(Set(hugeName, true), 0);
    EXPECT_EQ(Get(true), before);

    EXPECT_EQ(Dispatch(effect, vst::effSetChunk, 1, 16, nullptr), 0);
    EXPECT_EQ(Dispatch(effect, vst::effSetChunk, 1, -8, const_cast<uint8_t*>(program.data())), 0);
    EXPECT_EQ(Dispatch(effect, vst::effSetChunk, 1, static_cast<VstIntPtr>(1) << 40,
                       const_cast<uint8_t*>(program.data())),
              0);
    EXPECT_EQ(Get(true), before);
}
