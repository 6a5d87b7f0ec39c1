#include "tests/framework/TestPlug.h"

#include <cstdio>
#include <stdexcept>

TestPlug::TestPlug(VstHostCallback host, const TestPlugConfig& config)
    : IEffectVST(host, config.hostVisibleCount, kCount, config.channelIO, config.presetCount, "TestPlug",
                 "Test Product", "Test Maker", kVersion, kUniqueId, 0x54455354, 0, config.doesMidi,
                 config.usesChunks, config.isInstrument)
{
    initialize(0, config.channelIO, config.presetCount, "TestPlug", "Test Product", "Test Maker");
    GetParameter(kGain)->DefineDouble("Gain", 50.0, 0.0, 100.0, 0.01, "%");
    GetParameter(kNote)->DefineInt("Note", 60, 0, 127);
    IParameter* mode = GetParameter(kMode);
    mode->DefineEnum("Mode", 0, 4);
    mode->AddValueText(0, "Up");
    mode->AddValueText(1, "2");
    mode->AddValueText(2, "Down");
    mode->AddValueText(3, "Chord");
    GetParameter(kSwitch)->DefineBool("Switch", false);
    GetParameter(kShape)->DefineDouble("Shape", 0.25, 0.0, 1.0, 0.001);
    GetParameter(kShape)->SetCurve(2.0);
    GetParameter(kHidden)->DefineInt("Hidden", 3, 0, 10);
    GetParameter(kHidden)->SetKeptOutOfPresetLoads(true);
}

void TestPlug::OnParameterChanged(int index)
{
    IEffectLockGuard guard(GetLock());
    if (throwOnChange) throw std::runtime_error("handler failed");
    changed.push_back(index);
}

void TestPlug::HandleMidiMessage(const IMidiMessage& message)
{
    received.push_back(message);
    pending.push_back(message);
}

void TestPlug::ProcessAudioBlock(double** inputs, double** outputs, int frames)
{
    IEffectBase::ProcessAudioBlock(inputs, outputs, frames);
    blockFrames.push_back(frames);
    for (IMidiMessage message : pending)
    {
        message.data1 = static_cast<uint8_t>(message.data1 + 1);
        SendMidiMessage(message);
    }
    pending.clear();
}

bool TestPlug::GetMidiNoteName(int note, char* text, int textSize)
{
    static const char* const kNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    if (note < 0 || note > 127) return false;
    std::snprintf(text, static_cast<size_t>(textSize), "%s%d", kNames[note % 12], note / 12 - 1);
    return true;
}

bool TestPlug::WriteState(IStateChunk* chunk)
{
    chunk->Put<int32_t>(kStateVersion);
    return SerializeParams(chunk);
}

int TestPlug::ReadState(const IStateChunk* chunk, int pos, bool skipKept)
{
    int32_t version = 0;
    pos = chunk->Get(&version, pos);
    if (pos < 0 || version != kStateVersion) return -1; // nothing applied
    return UnserializeParams(chunk, pos, skipKept);
}

IEffectVST* CreateTestPlug(VstHostCallback host)
{
    return new TestPlug(host);
}
