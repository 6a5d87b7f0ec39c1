// The state read's short road against its literal order of passes (reset with every change
// handler, the parameter block with every change handler again, every control refresh): after
// reading the same state into two plug-ins that started alike, everything a host, the editor or
// the MIDI output can see must be identical.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/ChordMemory.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "engine/Random.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "tests/plugin/MidiTestSupport.h"
#include "views/ParameterIndex.h"

namespace quova::test
{
namespace
{

using Bytes = std::vector<uint8_t>;
using namespace quova::param;
namespace param = quova::param;

constexpr size_t kSwitchOffset = 8235; // with an empty chord memory
constexpr size_t kParameterOffset = 8259;

// Everything observable after a read.
struct Observed
{
    Bytes state;
    std::vector<double> values;
    std::vector<std::string> displays;
    std::vector<double> controlValues;
    std::vector<uint8_t> controlFlags; // hidden | greyed << 1
    std::vector<SentMessage> midi;
    std::string texts;
};

void ExpectSame(const Observed& literal, const Observed& fast)
{
    EXPECT_EQ(fast.texts, literal.texts);
    EXPECT_TRUE(fast.state == literal.state) << "state bytes differ";
    ASSERT_EQ(fast.values.size(), literal.values.size());
    for (size_t i = 0; i < fast.values.size(); ++i)
    {
        ASSERT_EQ(fast.values[i], literal.values[i]) << "parameter " << i;
        ASSERT_EQ(fast.displays[i], literal.displays[i]) << "parameter " << i;
    }
    ASSERT_EQ(fast.controlValues.size(), literal.controlValues.size());
    for (size_t i = 0; i < fast.controlValues.size(); ++i)
    {
        ASSERT_EQ(fast.controlValues[i], literal.controlValues[i]) << "control " << i;
        ASSERT_EQ(fast.controlFlags[i], literal.controlFlags[i]) << "control " << i;
    }
    EXPECT_EQ(fast.midi, literal.midi);
}

// The same edits on the reading plug-ins before the read: the editor away from its first
// entries and engine settings away from their defaults, so that leftovers of the old state show.
void EditBeforeRead(Tobel& plug)
{
    const std::pair<int, double> edits[] = {{kKeyAreaSelection, 1.0},
                                            {kKeyAreaPatterns + 3, 5.0 / 11.0},
                                            {kPatternStepMode, 3.0 / 8.0},
                                            {kChordMemorySelection, 4.0 / 15.0},
                                            {kSelectionTool, 1.0},
                                            {kRateFreeToggle + 5, 1.0},
                                            {kSendControllers + 3, 1.0},
                                            {kHold + 3, 1.0},
                                            {kLockSwing, 1.0},
                                            {StepValue(0, 0, 3, 4), 0.9},
                                            {kSceneOnOff + 3, 1.0}};
    for (const auto& [index, normalised] : edits)
        plug.SetParameterFromGUI(index, normalised);
    plug.SetChordMemoryBoxName("Before");
    plug.GetEngineHost().GetChordMemory()->SetSlotNote(2, 40, true);
}

// A state with changes of every kind, made on a plug-in of its own.
Bytes ChangedState(bool locks)
{
    TempDataFolder folder;
    Tobel plug(nullptr);
    auto set = [&](int index, double value)
    { plug.SetParameterFromGUI(index, plug.GetParameter(index)->Normalize(value)); };
    const std::pair<int, double> changes[] = {{kRate + 1, 9.0},
                                              {kRateFreeToggle + 2, 1.0},
                                              {kPatternGate, 30.0},
                                              {kPatternSteps, 11.0},
                                              {kSortOrder + 1, 2.0},
                                              {kKeyAreaPatterns, 1.0},
                                              {kKeyAreaPatterns + 1, 7.0},
                                              {kHold + 1, 1.0},
                                              {kHoldSync + 2, 5.0},
                                              {kSendControllers + 1, 1.0},
                                              {kTriggerChordMemory + 2, 1.0},
                                              {kSceneOnOff, 1.0},
                                              {kSceneEnd + 1, 6.0},
                                              {SceneStep(kSceneStepPattern, 0, 1), 1.0},
                                              {kBaseNote, 40.0},
                                              {kStartNote + 2, 30.0},
                                              {kLaneDirection + 3, 2.0},
                                              {kLaneResetOnPatternReset + 20, 1.0},
                                              {kScale, 3.0},
                                              {kScaleKey, 2.0},
                                              {kGlobalVolume, 100.0},
                                              {StepOnOff(0, 1, 0, 3), 0.0},
                                              {kNoteLearnBase + 60, 1234.0}};
    for (const auto& [index, value] : changes)
        set(index, value);
    for (int t = 0; t < param::kStepCount; t += 2)
    {
        set(StepValue(0, 1, 2, t), 1.0 + t % 8);
        set(StepValue(0, 1, 3, t), (t * 7) % 200 - 100.0);
        set(StepValue(0, 1, 4, t), t % 3);
        set(StepValue(0, 1, 6, t), t % 4);
        set(StepValue(1, 7, 0, t), t % 5);
        set(StepValue(0, 1, 9, t), t * 3);
        set(StepOnOff(0, 1, 5, t), 0.0);
    }
    for (int i = 0; i < kLockCount; ++i)
        set(kLockGate + i, locks && i % 2 == 0 ? 1.0 : 0.0);
    ChordMemory& chords = *plug.GetEngineHost().GetChordMemory();
    chords.SetSlotRootNote(0, 14);
    for (int note : {0, 4, 7})
        chords.SetSlotNote(0, note, true);
    plug.GetEngineHost().GetKeyAreas()->GetArea(0)->GetStepper().GetLaneLooper(1, 2)->SetLoopRange(3, 9);
    plug.GetEngineHost().GetKeyAreas()->GetArea(1)->GetStepper().GetLaneLooper(7, 0)->SetLoopRange(0, 5);
    plug.SetControllerLaneNumber(0, 74);
    PresetInfo info;
    PresetInfo::SetField(info.name, "Path");
    PresetInfo::SetField(info.author, "Someone");
    plug.SetPresetInfo(info);
    plug.SetChordMemoryBoxName("Chords");
    return StateBytes(plug);
}

// An older version of a state whose chord memory is empty and whose name is empty (version 1
// has no version word; versions 1 and 2 have no third switch value).
Bytes OlderVersion(const Bytes& state, int version)
{
    Bytes s = state;
    if (version <= 2)
    {
        s.assign(state.begin(), state.begin() + kSwitchOffset + 16);
        s.insert(s.end(), state.begin() + kParameterOffset, state.end());
    }
    if (version == 1) return Bytes(s.begin() + 4, s.end());
    if (version == 3)
    {
        s[0] = 3, s[1] = s[2] = s[3] = 0; // little-endian
    }
    else
    {
        s[3] = static_cast<uint8_t>(version);
    }
    return s;
}

enum class Road
{
    kReadState,
    kPresetFile,
    kHostChunk
};

Observed ReadAndObserve(const Bytes& state, bool literal, Road road)
{
    SeedRandomEngine(7);
    MidiRig rig(true);
    Tobel& plug = rig.Plug();
    EditBeforeRead(plug);
    plug.SetLiteralStateRead(literal);
    Observed seen;
    if (road == Road::kHostChunk)
    {
        Bytes chunk = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
        chunk.insert(chunk.end(), state.begin(), state.end());
        AEffect* effect = plug.GetEffect();
        EXPECT_EQ(effect->dispatcher(effect, vst::effSetChunk, 1, static_cast<VstIntPtr>(chunk.size()),
                                     chunk.data(), 0.0f),
                  1);
    }
    else
    {
        EXPECT_EQ(ReadBytes(plug, state, road == Road::kPresetFile), static_cast<int>(state.size()));
    }

    seen.texts = plug.GetStatusText() + "|" + plug.GetPresetBoxName() + "|" + plug.GetChordMemoryBoxName() +
                 "|" + std::to_string(plug.GetEditedArea()) + std::to_string(plug.GetShownPattern()) +
                 std::to_string(plug.GetShownLane()) + std::to_string(plug.GetEditTool());
    for (int i = 0; i < plug.NParameters(); ++i)
    {
        const IParameter* parameter = plug.GetParameter(i);
        seen.values.push_back(parameter->Value());
        char text[64] = {};
        parameter->FormatValue(parameter->Value(), false, text, sizeof text, true);
        seen.displays.push_back(text);
    }
    const IGraphics& graphics = *plug.GetGraphics();
    for (int i = 0; i < graphics.NControls(); ++i)
    {
        const IControl* control = graphics.GetControl(i);
        seen.controlValues.push_back(control->GetValue());
        seen.controlFlags.push_back(static_cast<uint8_t>(control->IsHidden() | control->IsGreyed() << 1));
    }
    seen.state = StateBytes(plug);

    // What it then plays: chords in the first and second key areas over 64 blocks.
    for (uint8_t note : {48, 52, 55})
        rig.Midi(0x90, note, 100);
    rig.Midi(0x91, 60, 90);
    rig.Blocks(32);
    rig.Midi(0x80, 52, 0);
    rig.Midi(0x90, 50, 70);
    rig.Blocks(32);
    seen.midi = rig.Sent();
    return seen;
}

void CompareRoads(const Bytes& state, Road road = Road::kReadState)
{
    const Observed literal = ReadAndObserve(state, true, road);
    const Observed fast = ReadAndObserve(state, false, road);
    ASSERT_FALSE(literal.midi.empty());
    ExpectSame(literal, fast);
}

TEST(StateReadPath, DefaultState)
{
    TempDataFolder folder;
    Tobel plug(nullptr);
    CompareRoads(StateBytes(plug));
}

TEST(StateReadPath, EveryKindOfChangeWithLocksOnAndOff)
{
    for (bool locks : {false, true})
    {
        SCOPED_TRACE(locks);
        const Bytes state = ChangedState(locks);
        CompareRoads(state);
        CompareRoads(state, Road::kPresetFile); // the locks keep their values
        CompareRoads(state, Road::kHostChunk);
    }
}

TEST(StateReadPath, OlderVersions)
{
    Bytes state;
    {
        TempDataFolder folder;
        Tobel plug(nullptr);
        plug.SetParameterFromGUI(kBaseNote + 1, 40.0 / 119.0);
        plug.SetParameterFromGUI(kPatternStepSwitch + 5, 0.0);
        plug.SetParameterFromGUI(StepValue(0, 0, 3, 2), 0.25);
        state = StateBytes(plug);
    }
    for (int version = 1; version <= 4; ++version)
    {
        SCOPED_TRACE(version);
        CompareRoads(OlderVersion(state, version));
    }
}

} // namespace
} // namespace quova::test
