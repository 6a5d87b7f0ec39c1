// The plug-in state through the module's effect record: chunks saved by one instance and loaded
// into another, saved button values, refused and untagged chunks, and the names of control-zone
// keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/vst/VstAbi.h"
#include "tests/plugin/PluginTestSupport.h"
#include "tools/host/VstHost.h"
#include "views/ParameterIndex.h"

namespace
{

using quova::host::VstHost;
using quova::test::TempDataFolder;
using Bytes = std::vector<uint8_t>;
namespace param = quova::param;

// Offsets in a program chunk (8-byte header) whose chord memory is empty.
constexpr size_t kHeader = 8;
constexpr size_t kParameterBlock = kHeader + 8259;

// The momentary buttons of the editor (step tools, panic, preset and chord-memory box buttons).
constexpr int kButtons[] = {18147, 18148, 18149, 18150, 18151, 18152, 18153, 18156, 30608,
                            18158, 18159, 18162, 18163, 18164, 18165, 18166, 18167};

// Where two byte strings first differ ("equal" when they do not), so that a failure names a byte
// instead of printing half a megabyte.
std::string FirstDifference(const Bytes& a, const Bytes& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return "byte " + std::to_string(i);
    return a.size() == b.size() ? "equal"
                                : "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
}

class StateModule : public ::testing::Test
{
protected:
    void Start(VstHost& host)
    {
        ASSERT_TRUE(host.Load(QUOVA_PLUGIN_MODULE) && host.Open() && host.SetSampleRate(44100.0) &&
                    host.SetBlockSize(512) && host.Resume())
            << host.LastError();
    }
    static Bytes Chunk(VstHost& host)
    {
        Bytes bytes;
        EXPECT_TRUE(host.GetChunk(false, bytes));
        return bytes;
    }
    static void Set(VstHost& host, int index, double normalised)
    {
        host.Effect()->setParameter(host.Effect(), index, static_cast<float>(normalised));
    }
    static float Get(VstHost& host, int index) { return host.Effect()->getParameter(host.Effect(), index); }
    static std::string Display(VstHost& host, int index)
    {
        char text[64] = {};
        host.Dispatch(vst::effGetParamDisplay, index, 0, text);
        return text;
    }
    static double StoredValue(const Bytes& chunk, int index)
    {
        double v;
        std::memcpy(&v, &chunk[kParameterBlock + 8 * static_cast<size_t>(index)], 8);
        return v;
    }
    static void Store(Bytes& chunk, int index, double v)
    {
        std::memcpy(&chunk[kParameterBlock + 8 * static_cast<size_t>(index)], &v, 8);
    }
    // Edits of several kinds through the host: a double, step values of two lanes, an enum, a
    // switch and a scene end.
    static void Edit(VstHost& host)
    {
        Set(host, param::kRate + 5, 7.0 / 22.0);
        for (int t = 0; t < 32; t += 3)
            Set(host, param::StepValue(0, 0, 2, t), (t % 7) / 7.0);
        Set(host, param::StepValue(0, 0, 0, 4), 0.5);
        Set(host, param::kSortOrder + 13, 3.0 / 7.0);
        Set(host, param::StepOnOff(0, 0, 1, 6), 0.0);
        Set(host, param::kSceneEnd + 2, 7.0 / 15.0);
    }
    // The editor's selectors away from their first entries (a read sets them back).
    static void SelectAway(VstHost& host)
    {
        Set(host, param::kKeyAreaSelection, 2.0 / 3.0);
        Set(host, param::kKeyAreaPatterns + 2, 5.0 / 11.0);
        Set(host, param::kPatternStepMode, 3.0 / 8.0);
        Set(host, param::kChordMemorySelection, 4.0 / 15.0);
    }

    TempDataFolder folder_;
};

TEST_F(StateModule, ChunksRoundTripBetweenInstancesFromTheFirstSave)
{
    VstHost a;
    Start(a);
    const Bytes fresh = Chunk(a);
    ASSERT_GT(fresh.size(), kParameterBlock);
    // The menu parameters start outside their range, and keep that value through a round trip.
    EXPECT_EQ(StoredValue(fresh, param::kMidiLearnMenu), -1.0);

    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE(round);
        const Bytes saved = Chunk(a);
        VstHost b;
        Start(b);
        ASSERT_TRUE(b.SetChunk(saved, false));
        EXPECT_EQ(FirstDifference(Chunk(b), saved), "equal");
        ASSERT_TRUE(b.SetChunk(Chunk(b), false));
        EXPECT_EQ(FirstDifference(Chunk(b), saved), "equal");
        ASSERT_TRUE(a.SetChunk(saved, false));
        EXPECT_EQ(FirstDifference(Chunk(a), saved), "equal");
        Edit(a);
    }
    EXPECT_NE(FirstDifference(Chunk(a), fresh), "equal");
}

TEST_F(StateModule, SavedButtonPressesDoNotActWhenLoaded)
{
    VstHost a;
    Start(a);
    Edit(a);
    // A host press of Randomize acts once and leaves the parameter at 1.0 in the saved state.
    Set(a, param::kRandomize, 1.0);
    const Bytes pressed = Chunk(a);
    EXPECT_EQ(StoredValue(pressed, param::kRandomize), 1.0);

    // Every momentary button saved pressed: reading it changes no step and leaves the buttons off.
    Bytes allPressed = pressed;
    for (int button : kButtons)
        Store(allPressed, button, 1.0);
    Bytes expected = pressed;
    for (int button : kButtons)
        Store(expected, button, 0.0);
    VstHost b;
    Start(b);
    for (int load = 0; load < 2; ++load)
    {
        SCOPED_TRACE(load);
        ASSERT_TRUE(b.SetChunk(allPressed, false));
        EXPECT_EQ(FirstDifference(Chunk(b), expected), "equal");
        for (int button : kButtons)
            EXPECT_EQ(Get(b, button), 0.0f) << button;
    }
}

TEST_F(StateModule, RefusedChunksLeaveEveryValueDisplayAndSelectorAsItWas)
{
    VstHost a;
    Start(a);
    Edit(a);
    SelectAway(a);
    const Bytes before = Chunk(a);
    std::vector<float> values;
    std::vector<std::string> displays;
    for (int i = 0; i < param::kCount; ++i)
    {
        values.push_back(Get(a, i));
        displays.push_back(Display(a, i));
    }

    Bytes newer = before;
    newer[kHeader + 3] = 6;
    Bytes hostile = before;
    hostile[kHeader + 631] = 0x7F; // a chord-memory slot count far out of range
    for (const Bytes& refused : {newer, Bytes(before.begin(), before.begin() + 700), hostile})
    {
        EXPECT_FALSE(a.SetChunk(refused, false));
        EXPECT_EQ(FirstDifference(Chunk(a), before), "equal");
        for (int i = 0; i < param::kCount; ++i)
        {
            ASSERT_EQ(Get(a, i), values[static_cast<size_t>(i)]) << i;
            ASSERT_EQ(Display(a, i), displays[static_cast<size_t>(i)]) << i;
        }
    }
}

TEST_F(StateModule, AChunkWithoutTheTagIsReadAsBareState)
{
    VstHost a;
    Start(a);
    Edit(a);
    const Bytes saved = Chunk(a);
    const Bytes bare(saved.begin() + kHeader, saved.end());
    VstHost b;
    Start(b);
    ASSERT_TRUE(b.SetChunk(bare, false));
    EXPECT_EQ(FirstDifference(Chunk(b), saved), "equal");

    // Untagged bytes that are no state are refused and change nothing.
    VstHost c;
    Start(c);
    const Bytes fresh = Chunk(c);
    Bytes junk = bare;
    junk[3] = 9; // version 9
    EXPECT_FALSE(c.SetChunk(junk, false));
    EXPECT_FALSE(c.SetChunk(Bytes(bare.begin(), bare.begin() + 3), false));
    EXPECT_EQ(FirstDifference(Chunk(c), fresh), "equal");
}

TEST_F(StateModule, ControlZoneKeysWithoutAnActionHaveAnEmptyName)
{
    folder_.WriteSettings("true\nfalse\nfalse\nfalse\nfalse\nfalse\nfalse\n"); // MIDI note names on
    VstHost a;
    Start(a);
    auto name = [&](int key, VstIntPtr* answer)
    {
        MidiKeyName request{};
        request.thisKeyNumber = key;
        std::strcpy(request.keyName, "stale");
        *answer = a.Dispatch(vst::effGetMidiKeyName, 0, 0, &request);
        return std::string(request.keyName);
    };
    VstIntPtr answer = 0;
    // No control-zone file: no key 12..23 has an action.
    for (int key : {12, 17, 23})
    {
        EXPECT_EQ(name(key, &answer), "") << key;
        EXPECT_EQ(answer, 1) << key;
    }
    EXPECT_EQ(name(30, &answer), "Pattern 7");
    EXPECT_EQ(answer, 1);
}

} // namespace
