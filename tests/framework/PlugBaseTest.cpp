// IEffectBase: channel configurations, versions, parameter and preset blocks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "tests/framework/MockHost.h"

namespace
{

std::unique_ptr<TestPlug> MakePlug(const TestPlugConfig& config = {})
{
    return std::make_unique<TestPlug>(&MockHost::Callback, config);
}

} // namespace

TEST(IEffectBase, ChannelConfigurations)
{
    MockHost host;
    TestPlugConfig config;
    config.channelIO = "0-2";
    auto plug = MakePlug(config);
    EXPECT_FALSE(plug->LegalIO(1, -1));
    EXPECT_TRUE(plug->LegalIO(-1, 2));
    EXPECT_TRUE(plug->LegalIO(0, 2));
    EXPECT_FALSE(plug->LegalIO(2, 2));
    EXPECT_EQ(plug->NInChannels(), 0);
    EXPECT_EQ(plug->NOutChannels(), 2);
    EXPECT_TRUE(plug->IsOutputConnected(1));
    EXPECT_FALSE(plug->IsOutputConnected(2));
    EXPECT_FALSE(plug->IsInputConnected(0));

    config.channelIO = "1-1 2-2 4-3";
    auto wide = MakePlug(config);
    EXPECT_EQ(wide->NInChannels(), 4);
    EXPECT_EQ(wide->NOutChannels(), 3);
    EXPECT_TRUE(wide->LegalIO(1, -1));
    wide->ConnectInputChannels(1, 99, false);
    EXPECT_TRUE(wide->IsInputConnected(0));
    EXPECT_FALSE(wide->IsInputConnected(3));
    wide->ConnectInputChannels(-5, 2, true); // negative first counts from 0
    EXPECT_TRUE(wide->IsInputConnected(1));
    EXPECT_FALSE(wide->IsInputConnected(2));
}

TEST(IEffectBase, VersionsAndNames)
{
    MockHost host;
    auto plug = MakePlug();
    EXPECT_EQ(plug->GetEffectVersion(false), 0x00010204);
    EXPECT_EQ(plug->GetEffectVersion(true), 10204);
    char text[16];
    plug->GetEffectVersionText(text, sizeof text);
    EXPECT_STREQ(text, "v1.2.4");
    EXPECT_EQ(plug->GetHostVersion(), 0);
    EXPECT_EQ(plug->GetHostId(), kHostUnknown);                  // "Mock Host" is in no table entry
    EXPECT_EQ(plug->GetHostVersion(), (2 << 16) | (1 << 8) | 3); // vendor version 20103
    EXPECT_TRUE(plug->GetParameter(TestPlug::kHidden)->IsNotAutomated());
    EXPECT_FALSE(plug->GetParameter(TestPlug::kShape)->IsNotAutomated());
}

TEST(IEffectBase, ParameterBlockRoundTripsRawValues)
{
    MockHost host;
    auto plug = MakePlug();
    plug->GetParameter(TestPlug::kGain)->SetValue(1.0 / 3.0);
    plug->GetParameter(TestPlug::kShape)->SetValue(0.123456789);
    IStateChunk chunk;
    ASSERT_TRUE(plug->SerializeParams(&chunk));
    ASSERT_EQ(chunk.Size(), 8 * TestPlug::kCount);
    double first = 0;
    std::memcpy(&first, chunk.Data(), 8);
    EXPECT_EQ(first, 1.0 / 3.0);

    auto other = MakePlug();
    other->changed.clear();
    EXPECT_EQ(other->UnserializeParams(&chunk, 0, false), chunk.Size());
    EXPECT_EQ(other->GetParameter(TestPlug::kGain)->Value(), 1.0 / 3.0);
    EXPECT_EQ(other->GetParameter(TestPlug::kShape)->Value(), 0.123456789);
    EXPECT_EQ(other->changed.size(), static_cast<size_t>(TestPlug::kCount));
    EXPECT_GE(other->resets, 1);
}

TEST(IEffectBase, ShortParameterBlock)
{
    MockHost host;
    auto plug = MakePlug();
    IStateChunk chunk;
    chunk.Put(70.0);
    chunk.Put(100.0);
    plug->changed.clear();
    EXPECT_EQ(plug->UnserializeParams(&chunk, 0, false), -1);
    EXPECT_EQ(plug->GetParameter(TestPlug::kGain)->Value(), 70.0);
    EXPECT_EQ(plug->GetParameter(TestPlug::kNote)->Value(), 100.0);
    EXPECT_EQ(plug->GetParameter(TestPlug::kMode)->Value(), 0.0);   // where the data ran out: 0.0 limited
    EXPECT_EQ(plug->GetParameter(TestPlug::kShape)->Value(), 0.25); // after it: kept
    EXPECT_EQ(plug->changed.size(), static_cast<size_t>(TestPlug::kCount)); // all of them
}

TEST(IEffectBase, BlockValuesAreLimitedKeptOrSkipped)
{
    MockHost host;
    auto plug = MakePlug();
    IStateChunk chunk;
    const double values[TestPlug::kCount] = {
        500.0, -3.0, std::numeric_limits<double>::quiet_NaN(), 1.0, std::numeric_limits<double>::infinity(),
        7.0};
    for (double v : values)
        chunk.Put(v);
    EXPECT_EQ(plug->UnserializeParams(&chunk, 0, true), chunk.Size());
    EXPECT_EQ(plug->GetParameter(TestPlug::kGain)->Value(), 100.0);
    EXPECT_EQ(plug->GetParameter(TestPlug::kNote)->Value(), 0.0);
    EXPECT_EQ(plug->GetParameter(TestPlug::kMode)->Value(), 0.0);   // NaN: kept
    EXPECT_EQ(plug->GetParameter(TestPlug::kShape)->Value(), 0.25); // infinity: kept
    EXPECT_EQ(plug->GetParameter(TestPlug::kHidden)->Value(), 3.0); // kept out of preset loads
    EXPECT_EQ(plug->UnserializeParams(&chunk, 0, false), chunk.Size());
    EXPECT_EQ(plug->GetParameter(TestPlug::kHidden)->Value(), 7.0);
    EXPECT_EQ(plug->UnserializeParams(&chunk, -1, false), -1);
}

TEST(IEffectBase, PresetBlockLayout)
{
    MockHost host;
    TestPlugConfig config;
    config.presetCount = 2;
    auto plug = MakePlug(config);
    plug->GetPreset(0)->SetName("Empty");
    plug->GetPreset(1)->SetName("Empty");
    IStateChunk chunk;
    EXPECT_TRUE(plug->SerializePresets(&chunk));
    EXPECT_EQ(chunk.Size(), 2 * (4 + 5 + 1));
    EXPECT_EQ(chunk.Data()[9], 0); // not initialised
}

TEST(IEffectBase, UserPresetNamesCountExistingOnes)
{
    MockHost host;
    TestPlugConfig config;
    config.presetCount = 4;
    auto plug = MakePlug(config);
    plug->GetPreset(0)->SetName("user preset 1");
    plug->GetPreset(0)->SetInitialised(true);
    plug->GetPreset(1)->SetName("user preset 3");
    plug->GetPreset(1)->SetInitialised(true);
    plug->GetParameter(TestPlug::kNote)->SetValue(99);
    EXPECT_TRUE(plug->LoadPreset(2)); // uninitialised: takes the current values and a new name
    EXPECT_STREQ(plug->GetPresetName(2), "user preset 3");
    EXPECT_EQ(plug->GetCurrentPresetIndex(), 2);
    plug->GetParameter(TestPlug::kNote)->SetValue(5);
    EXPECT_TRUE(plug->LoadPreset(2));
    EXPECT_EQ(plug->GetParameter(TestPlug::kNote)->Value(), 99.0);
    EXPECT_FALSE(plug->LoadPreset(4));
    EXPECT_FALSE(plug->LoadPreset(0)); // initialised but with an empty block
    EXPECT_EQ(plug->GetCurrentPresetIndex(), 2);
    EXPECT_STREQ(plug->GetPresetName(-1), "");
}

TEST(IEffectBase, FillPresetsTakesTheFirstUninitialisedOnes)
{
    MockHost host;
    TestPlugConfig config;
    config.presetCount = 3;
    auto plug = MakePlug(config);
    plug->GetPreset(0)->SetInitialised(true);
    plug->FillPresets(nullptr, 1);
    EXPECT_STREQ(plug->GetPresetName(0), "empty");
    EXPECT_STREQ(plug->GetPresetName(1), "Empty");
    EXPECT_FALSE(plug->GetPreset(2)->IsInitialised());
    EXPECT_EQ(plug->GetPreset(1)->Block().Size(), 8 * TestPlug::kCount);
    plug->FillEmptyPresets();
    EXPECT_TRUE(plug->GetPreset(2)->IsInitialised());
}
