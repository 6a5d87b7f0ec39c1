// Processing entries, MIDI in and out, and the host clock queries.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/framework/MockHost.h"

namespace
{

class VstProcess : public ::testing::Test
{
protected:
    void SetUp() override
    {
        effect = host.MakeEffect();
        plug = PlugOf(effect);
    }
    void TearDown() override { Dispatch(effect, vst::effClose); }

    // Runs processReplacing over two host output buffers of frames samples filled with 7.
    void Process(int frames)
    {
        left.assign(static_cast<size_t>(std::max(frames, 1)), 7.0f);
        right = left;
        float* outputs[2] = {left.data(), right.data()};
        effect->processReplacing(effect, nullptr, outputs, frames);
    }
    static VstMidiEvent Midi(int offset, uint8_t status, uint8_t data1, uint8_t data2)
    {
        VstMidiEvent event{};
        event.type = vst::kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
        event.deltaFrames = offset;
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(data1);
        event.midiData[2] = static_cast<char>(data2);
        return event;
    }

    MockHost host;
    AEffect* effect = nullptr;
    TestPlug* plug = nullptr;
    std::vector<float> left;
    std::vector<float> right;
};

} // namespace

TEST_F(VstProcess, OutputsAreFilledAndMidiIsRequestedPerBlock)
{
    Process(64);
    EXPECT_EQ(left[0], 0.0f); // an instrument with no inputs writes silence
    EXPECT_EQ(right[63], 0.0f);
    Process(64);
    EXPECT_EQ(host.Count(vst::audioMasterWantMidi), 2);
    EXPECT_EQ(plug->blockFrames, (std::vector<int>{64, 64}));
}

TEST_F(VstProcess, MoreFramesThanTheBlockSizeAreProcessedSafely)
{
    Dispatch(effect, vst::effSetBlockSize, 0, 32);
    Process(4096); // the address sanitizer catches any write past the scratch buffers
    EXPECT_EQ(plug->blockFrames.back(), 4096);
    EXPECT_EQ(left[4095], 0.0f);
    EXPECT_GE(plug->GetBlockSize(), 4096);
    Process(0);
    EXPECT_EQ(plug->blockFrames.size(), 1u);
    Process(-5);
    EXPECT_EQ(plug->blockFrames.size(), 1u);
}

TEST_F(VstProcess, EffectPassesInputThroughOnEveryEntry)
{
    Dispatch(effect, vst::effClose);
    TestPlugConfig config;
    config.channelIO = "2-2";
    effect = host.MakeEffect(config);
    std::vector<float> in0 = {1, 2, 3, 4}, in1 = {5, 6, 7, 8};
    std::vector<float> out0(4, 0), out1(4, 1);
    float* inputs[2] = {in0.data(), in1.data()};
    float* outputs[2] = {out0.data(), out1.data()};
    effect->processReplacing(effect, inputs, outputs, 4);
    EXPECT_EQ(out0, in0);
    EXPECT_EQ(out1, in1);
    effect->process(effect, inputs, outputs, 4); // accumulates
    EXPECT_EQ(out1, (std::vector<float>{10, 12, 14, 16}));
    std::vector<double> d0 = {0.5, 0.25}, d1 = {1, 1}, e0(2), e1(2);
    double* dIn[2] = {d0.data(), d1.data()};
    double* dOut[2] = {e0.data(), e1.data()};
    effect->processDoubleReplacing(effect, dIn, dOut, 2);
    EXPECT_EQ(e0, d0);
    EXPECT_EQ(e1, d1);
}

TEST_F(VstProcess, MidiInAtOffsetsAndOutFromTheNextBlock)
{
    VstMidiEvent noteOn = Midi(10, 0x90, 60, 100);
    VstMidiEvent noteOff = Midi(40, 0x80, 60, 0);
    VstMidiSysexEvent sysex{};
    sysex.type = vst::kVstSysExType;
    sysex.byteSize = sizeof sysex;
    struct
    {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[4];
    } list{4,
           0,
           {reinterpret_cast<VstEvent*>(&noteOn), nullptr, reinterpret_cast<VstEvent*>(&sysex),
            reinterpret_cast<VstEvent*>(&noteOff)}};
    EXPECT_EQ(Dispatch(effect, vst::effProcessEvents, 0, 0, &list), 1);
    ASSERT_EQ(plug->received.size(), 2u);
    EXPECT_EQ(plug->received[0].offset, 10);
    EXPECT_EQ(plug->received[0].status, 0x90);
    EXPECT_EQ(plug->received[0].data1, 60);
    EXPECT_EQ(plug->received[0].data2, 100);
    EXPECT_EQ(plug->received[1].offset, 40);
    ASSERT_EQ(host.returned.size(), 1u); // the system-exclusive event went back unchanged
    EXPECT_EQ(host.returned[0], reinterpret_cast<VstEvent*>(&sysex));

    const int sendsBefore = host.Count(vst::audioMasterProcessEvents);
    Process(64);
    ASSERT_EQ(host.midiOut.size(), 2u);
    EXPECT_EQ(host.Count(vst::audioMasterProcessEvents) - sendsBefore, 2); // one event per call
    EXPECT_EQ(host.midiOut[0].deltaFrames, 10);
    EXPECT_EQ(static_cast<uint8_t>(host.midiOut[0].midiData[0]), 0x90);
    EXPECT_EQ(host.midiOut[0].midiData[1], 61);
    EXPECT_EQ(host.midiOut[0].midiData[2], 100);
    EXPECT_EQ(host.midiOut[0].midiData[3], 0);
    EXPECT_EQ(host.midiOut[0].byteSize, 32);
    EXPECT_EQ(host.midiOut[0].flags, 0);
    EXPECT_EQ(host.midiOut[1].deltaFrames, 40);
    EXPECT_EQ(static_cast<uint8_t>(host.midiOut[1].midiData[0]), 0x80);

    EXPECT_EQ(Dispatch(effect, vst::effProcessEvents, 0, 0, nullptr), 0);
    list.numEvents = -3;
    EXPECT_EQ(Dispatch(effect, vst::effProcessEvents, 0, 0, &list), 1);
}

TEST_F(VstProcess, SendResultFollowsTheHostAnswer)
{
    IMidiMessage message(0, 0xB0, 7, 100);
    EXPECT_TRUE(plug->SendMidiMessage(message));
    host.processEventsAnswer = 0;
    EXPECT_FALSE(plug->SendMidiMessage(message));
    EXPECT_EQ(host.midiOut.size(), 2u);
}

TEST_F(VstProcess, AutomationOnlyForHostVisibleParameters)
{
    plug->SetParameterFromGUI(TestPlug::kNote, 0.5);
    ASSERT_EQ(host.Count(vst::audioMasterAutomate), 1);
    EXPECT_EQ(host.calls.back().index, TestPlug::kNote);
    EXPECT_EQ(host.calls.back().opt, 0.5f);
    EXPECT_EQ(plug->GetParameter(TestPlug::kNote)->Value(), 64.0);
    plug->changed.clear();
    plug->SetParameterFromGUI(TestPlug::kHidden, 1.0); // index == host-visible count
    EXPECT_EQ(host.Count(vst::audioMasterAutomate), 1);
    EXPECT_EQ(plug->GetParameter(TestPlug::kHidden)->Value(), 10.0);
    EXPECT_EQ(plug->changed, std::vector<int>{TestPlug::kHidden});
    plug->SetParameterFromGUIPrompt(3, TestPlug::kGain, TestPlug::kMode, 1.0, 5, 6);
    EXPECT_EQ(plug->GetParameter(TestPlug::kMode)->Value(), 3.0);
    EXPECT_EQ(host.calls.back().index, TestPlug::kMode);
    plug->BeginParameterEdit(12);
    EXPECT_EQ(host.calls.back().opcode, vst::audioMasterBeginEdit);
    EXPECT_EQ(host.calls.back().index, 12);
}

// ---- host clock ------------------------------------------------------------------------------------

TEST_F(VstProcess, TransportWithFullHostAnswer)
{
    host.time.samplePos = 96000.0;
    host.time.ppqPos = 4.0;
    host.time.tempo = 140.0;
    host.time.barStartPos = 4.0;
    host.time.cycleStartPos = 2.0;
    host.time.cycleEndPos = 10.0;
    host.time.timeSigNumerator = 3;
    host.time.timeSigDenominator = 8;
    host.time.flags = vst::kVstTransportPlaying | vst::kVstTransportCycleActive | 0x3E00;
    ITransportInfo info;
    plug->GetTransportInfo(&info);
    EXPECT_EQ(host.timeFilters.back(), 0x3E00);
    EXPECT_EQ(info.samplePosition, 96000.0);
    EXPECT_EQ(info.ppqPosition, 4.0);
    EXPECT_EQ(info.tempo, 140.0);
    EXPECT_EQ(info.lastBarStart, 4.0);
    EXPECT_EQ(info.cycleStart, 2.0);
    EXPECT_EQ(info.cycleEnd, 10.0);
    EXPECT_EQ(info.numerator, 3);
    EXPECT_EQ(info.denominator, 8);
    EXPECT_TRUE(info.playing);
    EXPECT_TRUE(info.cycleActive);
    EXPECT_EQ(plug->GetHostTempo(), 140.0);
    EXPECT_EQ(host.timeFilters.back(), 0x400);
    int num = 0, den = 0;
    plug->GetTimeSignature(&num, &den);
    EXPECT_EQ(host.timeFilters.back(), 0x2000);
    EXPECT_EQ(num, 3);
    EXPECT_EQ(den, 8);
}

TEST_F(VstProcess, TransportFieldsAreTakenOnlyWhenValid)
{
    host.time.samplePos = 100.0;
    host.time.ppqPos = -1.0;        // flagged but negative
    host.time.tempo = 0.0;          // flagged but not above 0
    host.time.barStartPos = 8.0;    // not flagged
    host.time.timeSigNumerator = 0; // flagged but 0
    host.time.timeSigDenominator = 4;
    host.time.flags = vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstTimeSigValid;
    ITransportInfo info;
    info.ppqPosition = -7.0;
    info.lastBarStart = -7.0;
    plug->GetTransportInfo(&info);
    EXPECT_EQ(info.samplePosition, 100.0);
    EXPECT_EQ(info.ppqPosition, -7.0);
    EXPECT_EQ(info.tempo, 120.0);
    EXPECT_EQ(info.lastBarStart, -7.0);
    EXPECT_EQ(info.numerator, 4);
    EXPECT_FALSE(info.playing);
    EXPECT_EQ(plug->GetHostTempo(), 0.0); // a reported tempo of 0 stands
    EXPECT_EQ(plug->GetSamplesPerBeat(), 0.0);
    int num = 0, den = 0;
    plug->GetTimeSignature(&num, &den);
    EXPECT_EQ(num, 4);
    EXPECT_EQ(den, 4);

    // None of the transport flags: the record stays as the caller prepared it.
    host.time.flags = vst::kVstTransportPlaying;
    ITransportInfo untouched;
    untouched.samplePosition = -1.0;
    plug->GetTransportInfo(&untouched);
    EXPECT_EQ(untouched.samplePosition, -1.0);
    EXPECT_FALSE(untouched.playing);
}

TEST_F(VstProcess, TransportWithoutHostAnswer)
{
    host.answerTime = false;
    ITransportInfo info;
    info.tempo = 99.0;
    info.samplePosition = -1.0;
    plug->GetTransportInfo(&info);
    EXPECT_EQ(info.tempo, 99.0);
    EXPECT_EQ(info.samplePosition, -1.0);
    EXPECT_EQ(plug->GetHostTempo(), 120.0);
    EXPECT_EQ(plug->GetSamplePosition(), 0);
    int num = 0, den = 0;
    plug->GetTimeSignature(&num, &den);
    EXPECT_EQ(num, 4);
    EXPECT_EQ(den, 4);
    Dispatch(effect, vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ(plug->GetSamplesPerBeat(), 24000.0); // 120 bpm at 48 kHz
}

TEST_F(VstProcess, SamplePositionRounding)
{
    host.time.samplePos = 10.5;
    EXPECT_EQ(plug->GetSamplePosition(), 11);
    host.time.samplePos = 10.49;
    EXPECT_EQ(plug->GetSamplePosition(), 10);
    host.time.samplePos = -5.0;
    EXPECT_EQ(plug->GetSamplePosition(), 0);
    host.time.samplePos = 3.0e9; // beyond 32 bits: no overflow
    EXPECT_EQ(plug->GetSamplePosition(), 3000000000LL);
    host.time.samplePos = std::nan("");
    EXPECT_EQ(plug->GetSamplePosition(), 0);
    EXPECT_EQ(host.timeFilters.back(), 0);
}
