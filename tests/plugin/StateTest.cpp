// The plug-in state: the default state's bytes, write-read-write identity, the readers of the
// older versions, and refused states that leave the plug-in as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "engine/ChordMemory.h"
#include "engine/EngineHost.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "tests/plugin/PluginTestSupport.h"
#include "views/ParameterIndex.h"

namespace
{

using quova::test::ReadBytes;
using quova::test::StateBytes;
using quova::test::TempDataFolder;
using Bytes = std::vector<uint8_t>;
namespace param = quova::param;

// Offsets in a state whose chord memory is empty (16 slots of root and count).
constexpr size_t kChordNameOffset = 599;
constexpr size_t kSlotCountOffset = 631;
constexpr size_t kControllerOffset = 763;
constexpr size_t kLoopOffset = 891;
constexpr size_t kSwitchOffset = 8235;
constexpr size_t kParameterOffset = 8259;
constexpr size_t kDefaultSize = 8259 + 8 * 56738; // 462163

int32_t GetI32(const Bytes& b, size_t at)
{
    int32_t v;
    std::memcpy(&v, &b[at], 4);
    return v;
}
double GetF64(const Bytes& b, size_t at)
{
    double v;
    std::memcpy(&v, &b[at], 8);
    return v;
}
void PutI32(Bytes& b, size_t at, int32_t v)
{
    std::memcpy(&b[at], &v, 4);
}
void PutF64(Bytes& b, size_t at, double v)
{
    std::memcpy(&b[at], &v, 8);
}
void PutVersion(Bytes& b, uint8_t version)
{
    b[0] = b[1] = b[2] = 0, b[3] = version;
}

class State : public ::testing::Test
{
protected:
    void SetUp() override { plug_ = std::make_unique<Tobel>(nullptr); }
    Tobel& Plug() { return *plug_; }
    double Value(int index) { return plug_->GetParameter(index)->Value(); }
    ChordMemory& Chords() { return *plug_->GetEngineHost().GetChordMemory(); }
    PatternEngine& Area(int a) { return *plug_->GetEngineHost().GetKeyAreas()->GetArea(a); }
    ControlLooper& Loop(int a, int p, int l) { return *Area(a).GetStepper().GetLaneLooper(p, l); }

    // Changes settings of every kind stored in a state.
    void ChangeEverything()
    {
        Plug().SetParameterFromGUI(param::kRate + 5, 7.0 / 22.0);                 // double
        Plug().SetParameterFromGUI(param::StepValue(1, 2, 2, 3), 4.0 / 7.0);      // int: length 5
        Plug().SetParameterFromGUI(param::kSortOrder + 13, 3.0 / 7.0);            // enum
        Plug().SetParameterFromGUI(param::StepOnOff(0, 0, 9, 0), 0.0);            // aliased switch
        Plug().SetParameterFromGUI(param::kLockGate, 1.0);                        // kept out of presets
        Plug().SetParameterFromGUI(param::kSceneEnd + 2, 7.0 / 16.0);             // reaches the engine
        Plug().SetParameterFromGUI(param::kNoteLearnBase + 5, 1235.0 / 100001.0); // learn mapping
        Plug().SetParameterFromGUI(param::kBaseNote + 1, 40.0 / 119.0);
        Plug().SetParameterFromGUI(param::StepValue(3, 11, 16, 31), 99.0 / 127.0); // controller lane
        Chords().SetSlotRootNote(3, 14);
        for (int note : {7, 0, 4})
            Chords().SetSlotNote(3, note, true);
        Chords().SetSlotNote(15, 35, true);
        Loop(2, 5, 9).SetLoopRange(4, 12);
        Loop(0, 0, 0).SetLoopRange(0, 16);
        Loop(3, 11, 16).SetLoopRange(31, 32);
        Plug().SetControllerLaneNumber(0, 74);
        Plug().SetControllerLaneNumber(31, 127);
        PresetInfo info;
        PresetInfo::SetField(info.name, "Night Drive");
        PresetInfo::SetField(info.author, "A. Tester");
        PresetInfo::SetField(info.description, "Rolling bass");
        Plug().SetPresetInfo(info);
        Plug().SetChordMemoryBoxName("A chord set with a rather long forty-char name");
    }

    TempDataFolder folder_;
    std::unique_ptr<Tobel> plug_;
};

TEST_F(State, DefaultStateBytes)
{
    const Bytes s = StateBytes(Plug());
    ASSERT_EQ(s.size(), kDefaultSize);
    EXPECT_EQ(s[0], 0);
    EXPECT_EQ(s[1], 0);
    EXPECT_EQ(s[2], 0);
    EXPECT_EQ(s[3], 5);
    EXPECT_EQ(s[4], 0); // full-size editor
    for (size_t i = 5; i < kChordNameOffset; ++i)
        ASSERT_EQ(s[i], 0) << i;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&s[kChordNameOffset])), "------");
    EXPECT_EQ(GetI32(s, kSlotCountOffset), 16);
    for (int slot = 0; slot < 16; ++slot)
    {
        EXPECT_EQ(GetI32(s, kSlotCountOffset + 4 + 8 * slot), 12); // root
        EXPECT_EQ(GetI32(s, kSlotCountOffset + 8 + 8 * slot), 0);  // no notes
    }
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(GetI32(s, kControllerOffset + 4 * i), -1);
    for (int r = 0; r < 816; ++r)
    {
        ASSERT_EQ(GetI32(s, kLoopOffset + 9 * r), 0);
        ASSERT_EQ(GetI32(s, kLoopOffset + 9 * r + 4), 32);
        ASSERT_EQ(s[kLoopOffset + 9 * r + 8], 1);
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(GetF64(s, kSwitchOffset + 8 * i), 0.0);
    auto parameter = [&](int index) { return GetF64(s, kParameterOffset + 8 * static_cast<size_t>(index)); };
    EXPECT_EQ(parameter(0), 64.0);
    EXPECT_EQ(parameter(2865), 1.0);
    EXPECT_EQ(parameter(17109), 24.0);
    EXPECT_EQ(parameter(17113), 46.0);
    EXPECT_EQ(parameter(30609), 15.0);
    EXPECT_EQ(parameter(30612), 15.0);
    EXPECT_EQ(parameter(30478), -1.0);
    EXPECT_EQ(parameter(30473), -1.0);
    EXPECT_EQ(parameter(18145), 1.0);
    EXPECT_EQ(parameter(56737), 0.0);
}

TEST_F(State, WriteReadWriteIsByteIdentical)
{
    // Start from "Init", which brings the menu parameters' initial -1 into their range.
    Plug().ResetToInitialState();
    ChangeEverything();
    const Bytes first = StateBytes(Plug());
    // The chord-memory box keeps the first 32 bytes of its name.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&first[kChordNameOffset]), 32),
              "A chord set with a rather long f");

    Tobel other(nullptr);
    ASSERT_EQ(ReadBytes(other, first), static_cast<int>(first.size()));
    const Bytes second = StateBytes(other);
    EXPECT_EQ(second, first);

    // What the state restored in the engine and the plug-in.
    ChordMemory& chords = *other.GetEngineHost().GetChordMemory();
    EXPECT_EQ(chords.GetSlot(3)->Chord().RootNote(), 14);
    ASSERT_EQ(chords.GetSlot(3)->Chord().Count(), 3);
    for (int note : {0, 4, 7})
        EXPECT_TRUE(chords.SlotHasNote(3, note));
    EXPECT_TRUE(chords.SlotHasNote(15, 35));
    const ControlLooper& loop =
        *other.GetEngineHost().GetKeyAreas()->GetArea(2)->GetStepper().GetLaneLooper(5, 9);
    EXPECT_EQ(loop.LoopStart(), 4);
    EXPECT_EQ(loop.LoopEnd(), 12);
    EXPECT_EQ(loop.Length(), 8);
    EXPECT_EQ(loop.Position(), 4);
    EXPECT_EQ(other.GetControllerLaneNumber(0), 74);
    EXPECT_EQ(other.GetControllerLaneNumber(31), 127);
    EXPECT_EQ(other.GetSceneEnd(2), 7);
    EXPECT_STREQ(other.GetPresetInfo().name, "Night Drive");
    EXPECT_EQ(other.GetPresetBoxName(), "Night Drive");
    EXPECT_EQ(other.GetStatusText(), "-- WELCOME --");
    EXPECT_DOUBLE_EQ(other.GetParameter(param::kRate + 5)->Value(), 7.0);
    EXPECT_DOUBLE_EQ(other.GetParameter(param::StepValue(1, 2, 2, 3))->Value(), 5.0);
    // The aliased switch is one stored value for both lanes.
    EXPECT_EQ(other.GetParameter(param::StepOnOff(0, 1, 0, 0))->Value(), 0.0);
}

TEST_F(State, ReadingResetsTheEditorSelectorsAndTools)
{
    Plug().SetParameterFromGUI(param::kKeyAreaSelection, 1.0);
    Plug().SetParameterFromGUI(param::kKeyAreaPatterns + 2, 1.0);
    Plug().SetParameterFromGUI(param::kPatternStepMode, 0.5);
    Plug().SetParameterFromGUI(param::kChordMemorySelection, 1.0);
    Plug().SetParameterFromGUI(param::kSelectionTool, 1.0);
    Plug().SetParameterFromGUI(param::kDrawTool, 0.0);
    Plug().SetParameterFromGUI(param::kControllerTeachSelection, 1.0);
    const Bytes s = StateBytes(Plug());
    Tobel other(nullptr);
    ASSERT_GT(ReadBytes(other, s), 0);
    for (int index : {param::kKeyAreaSelection, param::kKeyAreaPatterns + 2, param::kPatternStepMode,
                      param::kChordMemorySelection, param::kSelectionTool, param::kControllerTeachSelection})
        EXPECT_EQ(other.GetParameter(index)->Value(), 0.0) << index;
    EXPECT_EQ(other.GetParameter(param::kDrawTool)->Value(), 1.0);
}

TEST_F(State, PresetFilesKeepTheLocks)
{
    Bytes s = StateBytes(Plug()); // lock gate 0
    Plug().SetParameterFromGUI(param::kLockGate, 1.0);
    Plug().SetParameterFromGUI(param::kRate, 0.0);
    ASSERT_GT(ReadBytes(Plug(), s, /*presetFile=*/true), 0);
    EXPECT_EQ(Value(param::kLockGate), 1.0);
    EXPECT_EQ(Value(param::kRate), 12.0);
    ASSERT_GT(ReadBytes(Plug(), s, /*presetFile=*/false), 0);
    EXPECT_EQ(Value(param::kLockGate), 0.0);
}

// ---- older versions -------------------------------------------------------------------------

class OldState : public State
{
protected:
    // A default state with some values set in its parameter block.
    Bytes Base()
    {
        Bytes s = StateBytes(Plug());
        SetParameter(s, kParameterOffset, param::kBaseNote, 36.0);
        SetParameter(s, kParameterOffset, param::kStartNote + 1, 40.0);
        SetParameter(s, kParameterOffset, param::kEndNote + 3, 110.0);
        SetParameter(s, kParameterOffset, param::kSceneEnd, 4.0);
        SetParameter(s, kParameterOffset, param::kPatternStepSwitch + 5, 0.0); // slot 0 step 5 off
        SetParameter(s, kParameterOffset, param::StepOnOff(0, 0, 3, 5), 0.0);
        SetParameter(s, kParameterOffset, param::StepOnOff(0, 0, 0, 6), 0.0); // old switch of step 6 is on
        return s;
    }
    static void SetParameter(Bytes& s, size_t blockOffset, int index, double value)
    {
        PutF64(s, blockOffset + 8 * static_cast<size_t>(index), value);
    }
    // Without the third switch value (versions 1 and 2).
    static Bytes WithoutThirdSwitch(const Bytes& s)
    {
        Bytes out(s.begin(), s.begin() + kSwitchOffset + 16);
        out.insert(out.end(), s.begin() + kParameterOffset, s.end());
        return out;
    }
    bool LaneOn(int a, int p, int lane, int step)
    {
        return Area(a).GetStepper().GetStep(p, step)->laneOn[lane];
    }
};

TEST_F(OldState, VersionFourRaisesTheNotesByTwoOctaves)
{
    Bytes s = Base();
    PutVersion(s, 4);
    ASSERT_EQ(ReadBytes(Plug(), s), static_cast<int>(s.size()));
    EXPECT_EQ(Value(param::kBaseNote), 60.0);
    EXPECT_EQ(Value(param::kStartNote + 1), 64.0);
    EXPECT_EQ(Value(param::kEndNote + 3), 119.0); // limited to the range
    EXPECT_EQ(Value(param::kStartNote), 48.0);    // default 24 raised too
    EXPECT_EQ(Value(param::kSceneEnd), 4.0);      // only version 1 changes it
    EXPECT_EQ(Value(param::StepOnOff(0, 0, 3, 5)), 0.0);
}

TEST_F(OldState, LittleEndianVersionThreeWithoutItsThirdSwitch)
{
    // A third value outside 0..1 is the first parameter value.
    Bytes s = Base();
    s[0] = 3, s[1] = s[2] = s[3] = 0;
    Bytes cut = WithoutThirdSwitch(s);
    PutF64(cut, kSwitchOffset + 16, 2.5); // parameter 0, Global volume
    ASSERT_EQ(ReadBytes(Plug(), cut), static_cast<int>(cut.size()));
    EXPECT_EQ(Value(param::kGlobalVolume), 2.5);
    EXPECT_EQ(Value(param::kBaseNote), 60.0);
}

TEST_F(OldState, VersionTwoTurnsTheStepSwitchesIntoLaneSwitches)
{
    Bytes s = WithoutThirdSwitch(Base());
    PutVersion(s, 2);
    ASSERT_EQ(ReadBytes(Plug(), s), static_cast<int>(s.size()));
    EXPECT_EQ(Value(param::StepOnOff(0, 0, 0, 5)), 0.0);
    EXPECT_EQ(Value(param::StepOnOff(0, 0, 0, 6)), 1.0);
    EXPECT_EQ(Value(param::StepOnOff(0, 0, 3, 5)), 1.0);
    EXPECT_FALSE(LaneOn(0, 0, 0, 5));
    EXPECT_TRUE(LaneOn(0, 0, 0, 6));
    EXPECT_TRUE(LaneOn(0, 0, 3, 5));
    EXPECT_EQ(Value(param::kSceneEnd), 4.0);
}

TEST_F(OldState, VersionOneHasNoVersionWord)
{
    const Bytes v2 = WithoutThirdSwitch(Base());
    const Bytes s(v2.begin() + 4, v2.end()); // starts with the flag byte and an empty name
    ASSERT_EQ(GetI32(s, 0), 0);
    ASSERT_EQ(ReadBytes(Plug(), s), static_cast<int>(s.size()));
    EXPECT_EQ(Value(param::kBaseNote), 60.0);
    EXPECT_EQ(Value(param::kSceneEnd), 16.0); // the parameter's maximum
    EXPECT_EQ(Plug().GetSceneEnd(0), 15);
    EXPECT_EQ(Value(param::StepOnOff(0, 0, 0, 5)), 0.0);
    EXPECT_EQ(Value(param::StepOnOff(0, 0, 3, 5)), 1.0);
}

// ---- refused states ---------------------------------------------------------------------------

class RefusedState : public State
{
protected:
    void SetUp() override
    {
        State::SetUp();
        ChangeEverything();
        valid_ = StateBytes(Plug());
        // The same state, from a plug-in with an empty chord memory (fixed offsets).
        Tobel fresh(nullptr);
        plain_ = StateBytes(fresh);
    }
    void ExpectRefused(const Bytes& s)
    {
        EXPECT_EQ(ReadBytes(Plug(), s), -1);
        EXPECT_EQ(StateBytes(Plug()), valid_);
    }
    Bytes valid_;
    Bytes plain_;
};

TEST_F(RefusedState, UnknownVersions)
{
    for (uint32_t word : {0x06000000u, 0x64000000u, 0xFFFFFFFFu, 0x80000000u, 6u, 100u})
    {
        SCOPED_TRACE(word);
        Bytes s = plain_;
        std::memcpy(&s[0], &word, 4);
        ExpectRefused(s);
    }
}

TEST_F(RefusedState, TruncatedStates)
{
    for (size_t size : {size_t{0}, size_t{3}, size_t{4}, size_t{600}, kSlotCountOffset + 10,
                        kLoopOffset + 100, kSwitchOffset + 4, kParameterOffset, kDefaultSize - 1})
    {
        SCOPED_TRACE(size);
        ExpectRefused(Bytes(plain_.begin(), plain_.begin() + static_cast<long>(size)));
    }
}

TEST_F(RefusedState, HostileChordMemory)
{
    const size_t slot0 = kSlotCountOffset + 4;
    for (auto [offset, value] : std::vector<std::pair<size_t, int32_t>>{{kSlotCountOffset, 17},
                                                                        {kSlotCountOffset, -1},
                                                                        {kSlotCountOffset, 0x7FFFFFFF},
                                                                        {slot0, -5},
                                                                        {slot0, 200},
                                                                        {slot0 + 4, 9},
                                                                        {slot0 + 4, -1}})
    {
        SCOPED_TRACE(offset);
        Bytes s = plain_;
        PutI32(s, offset, value);
        ExpectRefused(s);
    }
    // One note outside 0..127 in an otherwise well-formed slot.
    for (int32_t note : {-1, 128, 1 << 30})
    {
        Bytes s = plain_;
        PutI32(s, slot0 + 4, 1);
        s.insert(s.begin() + static_cast<long>(slot0 + 8), 4, 0);
        PutI32(s, slot0 + 8, note);
        ExpectRefused(s);
    }
}

TEST_F(RefusedState, HostileControllersLoopsTextsAndNumbers)
{
    auto refusedWith = [&](auto change)
    {
        Bytes s = plain_;
        change(s);
        ExpectRefused(s);
    };
    refusedWith([](Bytes& s) { PutI32(s, kControllerOffset + 8, 128); });
    refusedWith([](Bytes& s) { PutI32(s, kControllerOffset, -2); });
    refusedWith([](Bytes& s) { PutI32(s, kLoopOffset + 9 * 20, 5), PutI32(s, kLoopOffset + 9 * 20 + 4, 5); });
    refusedWith([](Bytes& s) { PutI32(s, kLoopOffset + 9 * 815 + 4, 33); });
    refusedWith([](Bytes& s) { PutI32(s, kLoopOffset, -1); });
    refusedWith([](Bytes& s) { std::memset(&s[5], 'A', 33); });    // name without terminator
    refusedWith([](Bytes& s) { std::memset(&s[344], 'u', 255); }); // usage without terminator
    refusedWith([](Bytes& s) { PutF64(s, kSwitchOffset, std::numeric_limits<double>::infinity()); });
    refusedWith([](Bytes& s) { PutF64(s, kParameterOffset + 8 * 125, std::nan("")); });
    refusedWith([](Bytes& s) { PutF64(s, s.size() - 8, -std::numeric_limits<double>::infinity()); });
}

TEST_F(RefusedState, AThirtyTwoCharacterChordNameNeedsNoTerminator)
{
    Bytes s = plain_;
    std::memset(&s[kChordNameOffset], 'c', 32);
    ASSERT_EQ(ReadBytes(Plug(), s), static_cast<int>(s.size()));
    EXPECT_EQ(Plug().GetChordMemoryBoxName(), std::string(32, 'c'));
}

} // namespace
