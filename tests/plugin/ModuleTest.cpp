// Quova.so as a host sees it, through the command-line host's loader: the entry, the effect
// record, the symbols it exports, two copies in one process, a held chord played back as an
// arpeggio, chunks saved and restored, and a hundred load-to-unload cycles (leaks show up under
// the sanitizers), none of which reseeds the host's rand().
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <vector>

#include "platform/vst/VstAbi.h"
#include "tests/plugin/PluginTestSupport.h"
#include "tools/host/PluginModule.h"
#include "tools/host/VstHost.h"

namespace
{

using quova::host::VstHost;
using quova::test::TempDataFolder;

constexpr double kSamplesPerStep = 44100.0 * 60.0 / 120.0 / 4.0; // 1/16 at 120 bpm: 5512.5

bool Start(VstHost& host)
{
    return host.Load(QUOVA_PLUGIN_MODULE) && host.Open() && host.SetSampleRate(44100.0) &&
           host.SetBlockSize(512) && host.Resume();
}

void HoldChord(VstHost& host)
{
    for (uint8_t note : {55, 48, 52})
    {
        const uint8_t on[3] = {0x90, note, 100};
        host.QueueMidi(0, on, 3);
    }
}

std::vector<const quova::host::ReceivedEvent*> NoteOns(const VstHost& host)
{
    std::vector<const quova::host::ReceivedEvent*> ons;
    for (const auto& e : host.Events())
        if (e.bytes.size() == 3 && (e.bytes[0] & 0xF0) == 0x90 && e.bytes[2] > 0) ons.push_back(&e);
    return ons;
}

TEST(QuovaModule, EntryAndEffectRecord)
{
    TempDataFolder folder;
    VstHost host;
    ASSERT_TRUE(Start(host)) << host.LastError();
    EXPECT_NE(host.Module()->Symbol("VSTPluginMain"), nullptr);
    EXPECT_NE(host.Module()->Symbol("main"), nullptr);
    AEffect* effect = host.Effect();
    EXPECT_EQ(effect->numParams, 0);
    EXPECT_EQ(effect->numPrograms, 1);
    EXPECT_EQ(effect->numInputs, 0);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->uniqueID, 846543157);
    EXPECT_NE(effect->flags & vst::effFlagsProgramChunks, 0);
    EXPECT_NE(effect->flags & vst::effFlagsIsSynth, 0);
    char text[64] = {};
    EXPECT_EQ(host.Dispatch(vst::effGetEffectName, 0, 0, text), 1);
    EXPECT_STREQ(text, "Quova");
    EXPECT_EQ(host.Dispatch(vst::effGetVendorString, 0, 0, text), 1);
    EXPECT_STREQ(text, "Tobel");
    EXPECT_EQ(effect->version, 10204); // 1.2.4
    host.Dispatch(vst::effGetProgramName, 0, 0, text);
    EXPECT_STREQ(text, "Empty");
}

TEST(QuovaModule, ExportsItsEntryPointsAndNothingElse)
{
    std::set<std::string> exported;
    for (const auto& symbol : quova::test::DefinedSymbols(QUOVA_PLUGIN_MODULE, true))
        exported.insert(symbol.first);
    EXPECT_EQ(exported, (std::set<std::string>{"VSTPluginMain", "main"}));
}

// The file a code or data address of the process lies in.
std::string FileOf(const void* address)
{
    Dl_info info{};
    return dladdr(address, &info) != 0 && info.dli_fname != nullptr ? info.dli_fname : "";
}

// Two copies from two folders, both loaded with RTLD_GLOBAL (as some hosts load every module): each
// copy's instances run on the copy's own code, classes and tables, not on those of the copy loaded
// first, and both play.
TEST(QuovaModule, TwoCopiesLoadedGloballyEachKeepTheirOwnCodeAndState)
{
    TempDataFolder folder;
    std::vector<std::string> paths;
    for (const char* name : {"first", "second"})
    {
        const auto path = folder.Root() / name / "Quova.so";
        std::filesystem::create_directories(path.parent_path());
        std::filesystem::copy_file(QUOVA_PLUGIN_MODULE, path);
        ASSERT_NE(dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL), nullptr) << dlerror();
        paths.push_back(path.string());
    }
    VstHost hosts[2];
    for (size_t i = 0; i < 2; ++i)
    {
        SCOPED_TRACE(paths[i]);
        VstHost& host = hosts[i];
        ASSERT_TRUE(host.Load(paths[i]) && host.Open() && host.SetSampleRate(44100.0) &&
                    host.SetBlockSize(512) && host.Resume())
            << host.LastError();
        AEffect* effect = host.Effect();
        EXPECT_EQ(FileOf(reinterpret_cast<void*>(effect->dispatcher)), paths[i]);
        // The instance's class table (its first word) is the copy's own.
        EXPECT_EQ(FileOf(*static_cast<void**>(effect->object)), paths[i]);
        HoldChord(host);
        ASSERT_TRUE(host.RunBlocks(12));
        EXPECT_FALSE(NoteOns(host).empty());
    }
    std::vector<uint8_t> chunk;
    ASSERT_TRUE(hosts[0].GetChunk(false, chunk));
    EXPECT_TRUE(hosts[1].SetChunk(chunk, false));
    for (VstHost& host : hosts)
        host.Close();
}

TEST(QuovaModule, AHeldChordComesBackAsAnArpeggio)
{
    TempDataFolder folder;
    VstHost host;
    ASSERT_TRUE(Start(host)) << host.LastError();
    HoldChord(host);
    ASSERT_TRUE(host.RunBlocks(60)); // 30720 frames: five and a half steps
    const auto ons = NoteOns(host);
    ASSERT_GE(ons.size(), 5u);
    const int expectedNotes[5] = {48, 52, 55, 48, 52}; // low to high, one step each
    for (size_t i = 0; i < 5; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(ons[i]->bytes[0], 0x90);
        EXPECT_EQ(ons[i]->bytes[1], expectedNotes[i]);
        EXPECT_EQ(ons[i]->bytes[2], 100);
        EXPECT_NEAR(static_cast<double>(ons[i]->frame), i * kSamplesPerStep, 1.0);
    }
}

TEST(QuovaModule, ChunksRoundTripAndRefusedChunksChangeNothing)
{
    TempDataFolder folder;
    VstHost host;
    ASSERT_TRUE(Start(host)) << host.LastError();
    std::vector<uint8_t> first;
    ASSERT_TRUE(host.GetChunk(false, first));
    ASSERT_EQ(first.size(), 8u + 462163u);
    EXPECT_EQ(first[8 + 3], 5);
    ASSERT_TRUE(host.SetChunk(first, false));
    std::vector<uint8_t> second;
    ASSERT_TRUE(host.GetChunk(false, second));
    ASSERT_TRUE(host.SetChunk(second, false));
    std::vector<uint8_t> third;
    ASSERT_TRUE(host.GetChunk(false, third));
    EXPECT_EQ(third, second);

    std::vector<uint8_t> newer = second;
    newer[8 + 3] = 6;
    EXPECT_FALSE(host.SetChunk(newer, false));
    std::vector<uint8_t> cut(second.begin(), second.begin() + 5000);
    EXPECT_FALSE(host.SetChunk(cut, false));
    std::vector<uint8_t> after;
    ASSERT_TRUE(host.GetChunk(false, after));
    EXPECT_EQ(after, second);
}

TEST(QuovaModule, HundredLifeCyclesThroughTheHost)
{
    TempDataFolder folder;
    std::vector<uint8_t> saved;
    // The host's own rand() sequence is the host's: making instances does not reseed it.
    std::srand(7);
    const int hostsDraw = std::rand();
    std::srand(7);
    for (int cycle = 0; cycle < 100; ++cycle)
    {
        SCOPED_TRACE(cycle);
        VstHost host;
        ASSERT_TRUE(Start(host)) << host.LastError();
        if (!saved.empty())
        {
            ASSERT_TRUE(host.SetChunk(saved, false));
        }
        HoldChord(host);
        ASSERT_TRUE(host.RunBlocks(12));
        ASSERT_FALSE(NoteOns(host).empty());
        std::vector<uint8_t> chunk;
        ASSERT_TRUE(host.GetChunk(false, chunk));
        ASSERT_TRUE(host.SetChunk(chunk, false));
        if (cycle >= 1)
        {
            ASSERT_EQ(chunk, saved);
        }
        saved = chunk;
        host.Close();
        host.Unload();
    }
    EXPECT_EQ(std::rand(), hostsDraw);
}

} // namespace
