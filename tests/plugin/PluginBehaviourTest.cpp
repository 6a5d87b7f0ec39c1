// The plug-in's own behaviour around the engine: the host clock it reads, the MIDI it sends for
// generated notes, and the editor's keyboard shortcuts.
#include <gtest/gtest.h>

#include <vector>

#include "engine/ChordMemory.h"
#include "engine/EngineHost.h"
#include "engine/OutputNote.h"
#include "tests/plugin/PluginTestSupport.h"
#include "views/ParameterIndex.h"

namespace
{

using quova::test::FakeHost;
using quova::test::TempDataFolder;
namespace param = quova::param;

class HostClock : public ::testing::Test
{
protected:
    TempDataFolder folder_;
    FakeHost host_;
};

TEST_F(HostClock, WithoutTimeInfoTheClockRunsAt120Bpm)
{
    host_.answerTime = false;
    Tobel plug(&FakeHost::Callback);
    plug.UpdateTransportInfo();
    const TransportState& t = plug.GetTransportState();
    EXPECT_EQ(t.sampleRate, 44100.0);
    EXPECT_EQ(t.samplesPerBeat, 22050.0);
    EXPECT_FALSE(t.playing);
    EXPECT_FALSE(t.loop);
    EXPECT_EQ(t.loopEnd, -1.0);
    EXPECT_EQ(t.loopStart, -22050.0); // the default cycle start -1 in samples
    EXPECT_EQ(t.beatPosition, 0.0);
    EXPECT_EQ(t.samplePosition, 0.0);
}

TEST_F(HostClock, ATempoOfZeroAlsoMeans120Bpm)
{
    host_.time.tempo = 0.0;
    Tobel plug(&FakeHost::Callback);
    plug.ChangeSampleRate(48000.0);
    plug.UpdateTransportInfo();
    EXPECT_EQ(plug.GetTransportState().samplesPerBeat, 24000.0);
}

TEST_F(HostClock, PositionsAndTheLoopRangeInSamples)
{
    Tobel plug(&FakeHost::Callback);
    plug.ChangeSampleRate(48000.0);
    host_.time.tempo = 100.0; // 28800 samples per beat
    host_.time.ppqPos = 3.25;
    host_.time.samplePos = 93600.4;
    host_.time.cycleStartPos = 4.0;
    host_.time.cycleEndPos = 8.00001; // 230400.288 samples
    host_.time.flags |= vst::kVstCyclePosValid | vst::kVstTransportCycleActive | vst::kVstTransportPlaying;
    plug.UpdateTransportInfo();
    const TransportState& t = plug.GetTransportState();
    EXPECT_EQ(t.samplesPerBeat, 28800.0);
    EXPECT_TRUE(t.playing);
    EXPECT_TRUE(t.loop);
    EXPECT_EQ(t.loopStart, 115200.0);
    EXPECT_EQ(t.loopEnd, 230400.0);
    EXPECT_EQ(t.beatPosition, 3.25);
    EXPECT_EQ(t.samplePosition, 93600.0);

    // A cycle the host does not play leaves the loop end at -1; negative positions count as 0.
    host_.time.flags &= ~vst::kVstTransportCycleActive;
    host_.time.ppqPos = -2.0;
    host_.time.samplePos = -500.0;
    host_.time.cycleStartPos = 2.5 / 28800.0; // 2.5 samples round away from zero
    plug.UpdateTransportInfo();
    EXPECT_FALSE(t.loop);
    EXPECT_EQ(t.loopEnd, -1.0);
    EXPECT_EQ(t.loopStart, 3.0);
    EXPECT_EQ(t.beatPosition, 0.0);
    EXPECT_EQ(t.samplePosition, 0.0);
}

class GeneratedNotes : public HostClock
{
protected:
    void SetUp() override { plug_ = std::make_unique<Tobel>(&FakeHost::Callback); }
    void Send(std::vector<OutputNote> notes)
    {
        std::vector<OutputNote*> pointers;
        for (OutputNote& n : notes)
            pointers.push_back(&n);
        plug_->SendEvents(pointers);
        sent_ = notes;
    }
    static OutputNote On(int note, int velocity, int channel = 1)
    {
        OutputNote n;
        n.note = note;
        n.velocity = velocity;
        n.channel = channel;
        n.time = 17.0;
        return n;
    }
    std::vector<uint8_t> Bytes(size_t i) const
    {
        const VstMidiEvent& e = host_.midi.at(i);
        return {static_cast<uint8_t>(e.midiData[0]), static_cast<uint8_t>(e.midiData[1]),
                static_cast<uint8_t>(e.midiData[2])};
    }
    std::unique_ptr<Tobel> plug_;
    std::vector<OutputNote> sent_;
};

TEST_F(GeneratedNotes, VelocityFollowsTheGlobalVolume)
{
    Send({On(60, 100), On(61, 127, 16)});
    ASSERT_EQ(host_.midi.size(), 2u);
    EXPECT_EQ(Bytes(0), (std::vector<uint8_t>{0x90, 60, 100}));
    EXPECT_EQ(host_.midi[0].deltaFrames, 17);
    EXPECT_EQ(Bytes(1), (std::vector<uint8_t>{0x9F, 61, 127}));
    EXPECT_TRUE(sent_[0].noteOnSent);

    plug_->SetParameterFromGUI(param::kGlobalVolume, 1.0); // 127
    host_.midi.clear();
    Send({On(60, 100)});
    EXPECT_EQ(Bytes(0)[2], 127); // 163 limited
    plug_->SetParameterFromGUI(param::kGlobalVolume, 0.0);
    host_.midi.clear();
    Send({On(60, 30)});
    EXPECT_EQ(Bytes(0)[2], 1);
}

TEST_F(GeneratedNotes, NoteOffsOverridesAndNotesOutsideTheMidiRange)
{
    OutputNote off = On(64, 0, 3);
    off.kind = OutputNote::kNoteOff;
    OutputNote overridden = On(64, 90);
    overridden.overrideNote = 70;
    OutputNote tooHigh = On(150, 90);
    OutputNote suppressed = On(50, 90);
    suppressed.suppressNoteOn = true;
    Send({off, overridden, tooHigh, suppressed});
    ASSERT_EQ(host_.midi.size(), 2u);
    EXPECT_EQ(Bytes(0), (std::vector<uint8_t>{0x82, 64, 127}));
    EXPECT_EQ(Bytes(1), (std::vector<uint8_t>{0x90, 70, 90}));
    EXPECT_TRUE(sent_[0].noteOffSent);
    EXPECT_TRUE(sent_[3].noteOnSent);
}

TEST_F(GeneratedNotes, ControllerLanesSendTheirValuesWhereTheStepIsOn)
{
    ASSERT_TRUE(plug_->SetControllerLaneNumber(8 * 1 + 2, 74)); // key area 1, controller lane 2
    OutputNote note = On(60, 100, 2);
    note.keyArea = 1;
    note.stepNumber = 5;
    note.controllers[2] = 55;
    note.suppressNoteOn = true; // the controllers go out all the same
    Send({note});
    ASSERT_EQ(host_.midi.size(), 1u);
    EXPECT_EQ(Bytes(0), (std::vector<uint8_t>{0xB1, 74, 55}));
    // Switching that step of the controller lane off in the current pattern silences it.
    plug_->SetParameterFromGUI(param::StepOnOff(1, 0, 11, 5), 0.0);
    host_.midi.clear();
    Send({note});
    EXPECT_TRUE(host_.midi.empty());
    EXPECT_FALSE(plug_->SetControllerLaneNumber(0, 128));
    EXPECT_FALSE(plug_->SetControllerLaneNumber(32, 1));
}

TEST(EditorKeys, LettersSelectLanesAndDigitsPatternsAndTools)
{
    TempDataFolder folder;
    Tobel plug(nullptr);
    auto letter = [](char c) { return 15 + (c - 'A'); };
    auto digit = [](int d) { return 5 + d; };
    auto lane = [&] { return plug.GetParameter(param::kPatternStepMode)->Value(); };
    EXPECT_TRUE(plug.OnKeyPressed(0, 0, letter('Z')));
    EXPECT_EQ(lane(), 1.0);
    EXPECT_TRUE(plug.OnKeyPressed(0, 0, letter('A')));
    EXPECT_EQ(lane(), 0.0);
    EXPECT_TRUE(plug.OnKeyPressed(0, 0, letter('W')));
    EXPECT_EQ(lane(), 1.0);
    EXPECT_TRUE(plug.OnKeyPressed(0, 0, letter('O')));
    EXPECT_EQ(lane(), 8.0);
    EXPECT_TRUE(plug.OnKeyPressed(0, 0, digit(3)));
    EXPECT_EQ(plug.GetParameter(param::kKeyAreaPatterns)->Value(), 2.0);
    EXPECT_TRUE(plug.OnKeyPressed(0, 0, digit(6)));
    EXPECT_EQ(plug.GetParameter(param::kDrawTool)->Value(), 0.0);
    EXPECT_TRUE(plug.OnKeyPressed(0, 0, digit(5)));
    EXPECT_EQ(plug.GetParameter(param::kDrawTool)->Value(), 1.0);
    EXPECT_TRUE(plug.OnKeyPressed(0, 0, digit(0)));
    EXPECT_EQ(plug.GetParameter(param::kPasteTool)->Value(), 0.0); // pressed, not left on
    EXPECT_FALSE(plug.OnKeyPressed(0, 0, letter('B')));
    EXPECT_FALSE(plug.OnKeyPressed(0, 0, 1));
}

} // namespace

namespace
{

// An editor whose destruction reads the engine, as the editor's views do.
class EngineReadingEditor : public IEffectEditor
{
public:
    EngineReadingEditor(Tobel& plug, int* slotsSeen) : plug_(plug), slotsSeen_(slotsSeen) {}
    ~EngineReadingEditor() override { *slotsSeen_ = plug_.GetEngineHost().GetChordMemory()->SlotCount(); }
    void PrepareDrawing() override {}
    void UpdateParameterControls(int, double, bool) override {}
    void RefreshParameterControls() override {}
    void* OpenEditorWindow(void*) override { return nullptr; }
    void CloseEditorWindow() override {}
    int Width() const override { return 1000; }
    int Height() const override { return 565; }

private:
    Tobel& plug_;
    int* slotsSeen_;
};

TEST(Lifetime, TheEditorGoesBeforeTheEngine)
{
    TempDataFolder folder;
    int slotsSeen = 0;
    {
        auto plug = std::make_unique<Tobel>(nullptr);
        plug->AttachEditor(new EngineReadingEditor(*plug, &slotsSeen));
        EXPECT_NE(plug->GetEffect()->flags & vst::effFlagsHasEditor, 0);
    }
    EXPECT_EQ(slotsSeen, 16); // read while the engine existed (a use after free fails under the sanitizer)
}

} // namespace
