// A small plug-in built on the framework for the tests: one parameter of each type, a state with
// its own version word, MIDI echoed back (note + 1) from inside the next processing call, and
// note names. Built both into the in-process tests and as a loadable module.
#pragma once

#include <vector>

#include "framework/IEffectVST.h"

struct TestPlugConfig
{
    const char* channelIO = "0-2";
    int presetCount = 0;
    bool doesMidi = true;
    bool usesChunks = true;
    bool isInstrument = true;
    int hostVisibleCount = 5; // kHidden and later are not reported to the host
};

class TestPlug : public IEffectVST
{
public:
    enum Param
    {
        kGain,
        kNote,
        kMode,
        kSwitch,
        kShape,
        kHidden,
        kCount
    };
    static constexpr int kStateVersion = 7;
    static constexpr int kVersion = 0x00010204; // 1.2.4
    static constexpr int kUniqueId = 0x32753935;

    explicit TestPlug(VstHostCallback host, const TestPlugConfig& config = {});

    void OnParameterChanged(int index) override;
    void ResetProcessing() override { ++resets; }
    void HandleMidiMessage(const IMidiMessage& message) override;
    void ProcessAudioBlock(double** inputs, double** outputs, int frames) override;
    bool GetMidiNoteName(int note, char* text, int textSize) override;
    // State: i32 kStateVersion, then the parameter block.
    bool WriteState(IStateChunk* chunk) override;
    int ReadState(const IStateChunk* chunk, int pos, bool skipKept) override;

    std::vector<int> changed;           // OnParameterChanged indices in call order
    std::vector<IMidiMessage> received; // every message from the host
    std::vector<IMidiMessage> pending;  // echoed during the next block
    std::vector<int> blockFrames;       // frames of every processed block
    int resets = 0;
    bool throwOnChange = false; // OnParameterChanged throws (exception containment)
};

// Factory for the module entry (channel configuration "0-2", as the real plug-in).
IEffectVST* CreateTestPlug(VstHostCallback host);
