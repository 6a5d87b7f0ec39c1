// The effect record and the dispatcher's answers, as a host sees them through the record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "tests/framework/FakeEditor.h"
#include "tests/framework/MockHost.h"

namespace
{

class VstRecord : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (effect != nullptr) Dispatch(effect, vst::effClose);
    }
    AEffect* Make(const TestPlugConfig& config = {})
    {
        effect = host.MakeEffect(config);
        return effect;
    }
    std::string Text(int opcode, int index = 0, VstIntPtr value = 0, float opt = 0.0f,
                     VstIntPtr* answer = nullptr)
    {
        char buffer[256];
        std::memset(buffer, 'x', sizeof buffer);
        buffer[255] = 0;
        const VstIntPtr a = Dispatch(effect, opcode, index, value, buffer, opt);
        if (answer != nullptr) *answer = a;
        return buffer;
    }
    MockHost host;
    AEffect* effect = nullptr;
};

} // namespace

TEST_F(VstRecord, FieldsAndFlags)
{
    ASSERT_NE(Make(), nullptr);
    EXPECT_EQ(std::memcmp(&effect->magic, "PtsV", 4), 0);
    EXPECT_EQ(effect->magic, 0x56737450);
    EXPECT_EQ(effect->flags, 0x1130); // replacing | double | chunks | synth; no mono for "0-2"
    EXPECT_EQ(effect->numInputs, 0);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->numParams, 0);   // the host is told of no parameters
    EXPECT_EQ(effect->numPrograms, 1); // raised by the entry
    EXPECT_EQ(effect->version, 10204);
    EXPECT_EQ(effect->uniqueID, 0x32753935);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_NE(effect->processDoubleReplacing, nullptr);
    EXPECT_EQ(PlugOf(effect)->GetBlockSize(), 1024);
}

TEST_F(VstRecord, EffectWithoutMidiOrChunks)
{
    TestPlugConfig config;
    config.channelIO = "1-1 2-2";
    config.isInstrument = false;
    config.usesChunks = false;
    config.doesMidi = false;
    Make(config);
    EXPECT_EQ(effect->flags, 16 | 4096 | 8); // can mono: "1-1" is legal
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(Dispatch(effect, vst::effGetPlugCategory), vst::kPlugCategEffect);
    EXPECT_EQ(Dispatch(effect, vst::effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")), 0);
    EXPECT_EQ(Dispatch(effect, vst::effCanDo, 0, 0, const_cast<char*>("receiveVstTimeInfo")), 1);
}

TEST_F(VstRecord, IdentityTexts)
{
    Make();
    VstIntPtr answer = 0;
    EXPECT_EQ(Text(vst::effGetEffectName, 0, 0, 0, &answer), "TestPlug");
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(Text(vst::effGetVendorString, 0, 0, 0, &answer), "Test Maker");
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(Text(vst::effGetProductString, 0, 0, 0, &answer), "Test Product");
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(Dispatch(effect, vst::effGetEffectName), 0); // no buffer
    EXPECT_EQ(Dispatch(effect, vst::effGetVendorVersion), 0);
    EXPECT_EQ(Dispatch(effect, vst::effIdentify), 0x4E764566);
    EXPECT_EQ(Dispatch(effect, vst::effGetPlugCategory), vst::kPlugCategSynth);
    EXPECT_EQ(Dispatch(effect, vst::effGetVstVersion), 2400);
    EXPECT_EQ(Dispatch(effect, vst::effCanBeAutomated, 12345), 1);
    EXPECT_EQ(Dispatch(effect, 70), 0);
    EXPECT_EQ(Dispatch(effect, -3), 0);
}

TEST_F(VstRecord, CanDo)
{
    Make();
    auto canDo = [&](const char* text)
    { return Dispatch(effect, vst::effCanDo, 0, 0, const_cast<char*>(text)); };
    EXPECT_EQ(canDo("receiveVstTimeInfo"), 1);
    EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
    EXPECT_EQ(canDo("receiveVstEvents"), 1);
    EXPECT_EQ(canDo("sendVstEvents"), 1);
    EXPECT_EQ(canDo("sendVstMidiEvent"), 1);
    EXPECT_EQ(canDo("hasCockosExtensions"), static_cast<VstIntPtr>(0xBEEF0000));
    EXPECT_EQ(canDo("hasCockosViewAsConfig"), static_cast<VstIntPtr>(0xBEEF0000));
    EXPECT_EQ(canDo("ReceiveVstTimeInfo"), 0);
    EXPECT_EQ(Dispatch(effect, vst::effCanDo), 0);
}

TEST_F(VstRecord, PinProperties)
{
    TestPlugConfig config;
    config.channelIO = "3-2";
    Make(config);
    VstPinProperties pin{};
    EXPECT_EQ(Dispatch(effect, vst::effGetInputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Input 1");
    EXPECT_EQ(pin.flags, 3);
    EXPECT_EQ(Dispatch(effect, vst::effGetInputProperties, 1, 0, &pin), 1);
    EXPECT_EQ(pin.flags, 1);
    EXPECT_EQ(Dispatch(effect, vst::effGetInputProperties, 2, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Input 3");
    EXPECT_EQ(pin.flags, 1); // even, but the last channel
    EXPECT_EQ(Dispatch(effect, vst::effGetInputProperties, 3, 0, &pin), 0);
    EXPECT_EQ(Dispatch(effect, vst::effGetInputProperties, -1, 0, &pin), 0);
    EXPECT_EQ(Dispatch(effect, vst::effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_STREQ(pin.label, "Output 1");
    EXPECT_EQ(pin.flags, 3);
}

TEST_F(VstRecord, SpeakerArrangements)
{
    TestPlugConfig config;
    config.channelIO = "1-2";
    Make(config);
    VstSpeakerArrangement* in = nullptr;
    VstSpeakerArrangement* out = nullptr;
    EXPECT_EQ(Dispatch(effect, vst::effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(in->type, vst::kSpeakerArrMono);
    EXPECT_EQ(in->numChannels, 1);
    EXPECT_EQ(out->type, vst::kSpeakerArrStereo);
    EXPECT_EQ(out->numChannels, 2);
    EXPECT_EQ(ChannelCountToSpeakerArrangement(0), -1);
    EXPECT_EQ(ChannelCountToSpeakerArrangement(5), -2);

    TestPlug* plug = PlugOf(effect);
    VstSpeakerArrangement request{};
    request.numChannels = 1;
    EXPECT_EQ(Dispatch(effect, vst::effSetSpeakerArrangement, 0, 0, &request), 1);
    EXPECT_TRUE(plug->IsOutputConnected(0));
    EXPECT_FALSE(plug->IsOutputConnected(1));
    request.numChannels = -7; // nonsense from a host: nothing connected, nothing written out of range
    EXPECT_EQ(
        Dispatch(effect, vst::effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&request), &request),
        1);
    EXPECT_FALSE(plug->IsInputConnected(0));
    EXPECT_FALSE(plug->IsOutputConnected(0));
    request.numChannels = 99;
    EXPECT_EQ(Dispatch(effect, vst::effSetSpeakerArrangement, 0, 0, &request), 1);
    EXPECT_TRUE(plug->IsOutputConnected(1));
}

TEST_F(VstRecord, ProgramNamesWithoutPresets)
{
    Make();
    VstIntPtr answer = 0;
    EXPECT_EQ(Text(vst::effGetProgramName), "Empty");
    EXPECT_EQ(Text(vst::effGetProgramNameIndexed, 0, 0, 0, &answer), "Empty");
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(Text(vst::effGetProgramNameIndexed, 3, 0, 0, &answer), "");
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(Dispatch(effect, vst::effGetProgram), 0);
    Dispatch(effect, vst::effSetProgram, 0, 0); // no preset to load: quietly nothing
    EXPECT_EQ(Dispatch(effect, vst::effGetProgram), 0);
}

TEST_F(VstRecord, ProgramNamesAndSwitching)
{
    TestPlugConfig config;
    config.presetCount = 3;
    config.usesChunks = false;
    Make(config);
    TestPlug* plug = PlugOf(effect);
    EXPECT_EQ(effect->numPrograms, 3);
    EXPECT_EQ(Text(vst::effGetProgramNameIndexed, 2), "Empty"); // filled by the entry
    char name[] = "A very long program name from the host";
    Dispatch(effect, vst::effSetProgramName, 0, 0, name);
    EXPECT_EQ(Text(vst::effGetProgramName), "A very long program nam"); // 23 characters + terminator
    EXPECT_STREQ(plug->GetPresetName(0), name);

    plug->GetParameter(TestPlug::kNote)->SetValue(100);
    Dispatch(effect, vst::effSetProgram, 0, 1); // without chunks the current values go into preset 0 first
    EXPECT_EQ(Dispatch(effect, vst::effGetProgram), 1);
    EXPECT_EQ(plug->GetParameter(TestPlug::kNote)->Value(), 60);
    Dispatch(effect, vst::effSetProgram, 0, 0);
    EXPECT_EQ(plug->GetParameter(TestPlug::kNote)->Value(), 100);
    Dispatch(effect, vst::effSetProgram, 0, 99);
    EXPECT_EQ(Dispatch(effect, vst::effGetProgram), 0);
}

TEST_F(VstRecord, ParameterTexts)
{
    Make();
    VstIntPtr answer = -1;
    EXPECT_EQ(Text(vst::effGetParamName, TestPlug::kGain, 0, 0, &answer), "Gain");
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(Text(vst::effGetParamLabel, TestPlug::kGain), "%");
    EXPECT_EQ(Text(vst::effGetParamDisplay, TestPlug::kGain), "50.00");
    EXPECT_EQ(Text(vst::effGetParamDisplay, TestPlug::kMode), "Up");
    EXPECT_EQ(Text(vst::effGetParamDisplay, TestPlug::kSwitch), "off");
    EXPECT_EQ(Text(vst::effGetParamDisplay, TestPlug::kShape), "0.250");
    EXPECT_EQ(Text(vst::effGetParamName, TestPlug::kCount).substr(0, 3), "xxx"); // invalid: nothing written
}

TEST_F(VstRecord, NormalisedValuesBothWaysForEachType)
{
    Make();
    const struct
    {
        int index;
        float normalised;
        double value;
        const char* display;
        float readBack;
    } cases[] = {
        {TestPlug::kGain, 0.25f, 25.0, "25.00", 0.25f},
        {TestPlug::kNote, 0.5f, 64.0, "64", 64.0f / 127.0f},
        {TestPlug::kMode, 0.5f, 2.0, "Down", 2.0f / 3.0f},
        {TestPlug::kMode, 0.1f, 0.0, "Up", 0.0f},
        {TestPlug::kSwitch, 0.6f, 1.0, "on", 1.0f},
        {TestPlug::kShape, 0.5f, 0.25, "0.250", 0.5f},
        {TestPlug::kHidden, 1.0f, 10.0, "10", 1.0f},
        {TestPlug::kGain, -1.0f, 0.0, "0.00", 0.0f},
        {TestPlug::kGain, 2.0f, 100.0, "100.00", 1.0f},
        {TestPlug::kNote, std::nanf(""), 0.0, "0", 0.0f},
    };
    TestPlug* plug = PlugOf(effect);
    for (const auto& c : cases)
    {
        plug->changed.clear();
        effect->setParameter(effect, c.index, c.normalised);
        EXPECT_DOUBLE_EQ(plug->GetParameter(c.index)->Value(), c.value) << c.index << " " << c.normalised;
        EXPECT_EQ(Text(vst::effGetParamDisplay, c.index), c.display);
        EXPECT_NEAR(effect->getParameter(effect, c.index), c.readBack, 1e-6);
        EXPECT_EQ(plug->changed, std::vector<int>{c.index});
    }
    EXPECT_EQ(host.Count(vst::audioMasterAutomate), 0); // host changes are never echoed back
    effect->setParameter(effect, 999, 0.5f);
    effect->setParameter(effect, -1, 0.5f);
    EXPECT_EQ(effect->getParameter(effect, 999), 0.0f);
}

TEST_F(VstRecord, StringToParameter)
{
    Make();
    TestPlug* plug = PlugOf(effect);
    auto set = [&](int index, const char* text)
    { return Dispatch(effect, vst::effString2Parameter, index, 0, const_cast<char*>(text)); };
    EXPECT_EQ(set(TestPlug::kGain, "25.5"), 1);
    EXPECT_DOUBLE_EQ(plug->GetParameter(TestPlug::kGain)->Value(), 25.5);
    EXPECT_EQ(set(TestPlug::kGain, "150"), 1);
    EXPECT_DOUBLE_EQ(plug->GetParameter(TestPlug::kGain)->Value(), 100.0);
    EXPECT_EQ(set(TestPlug::kGain, "abc"), 0); // no number: refused
    EXPECT_DOUBLE_EQ(plug->GetParameter(TestPlug::kGain)->Value(), 100.0);
    EXPECT_EQ(set(TestPlug::kGain, "nan"), 0);
    EXPECT_EQ(set(TestPlug::kNote, "64.7"), 1);
    EXPECT_EQ(plug->GetParameter(TestPlug::kNote)->Value(), 65.0); // on the step grid

    // Parameters with value texts take only their texts; "2" is the text of value 1.
    EXPECT_EQ(set(TestPlug::kMode, "Chord"), 1);
    EXPECT_EQ(plug->GetParameter(TestPlug::kMode)->Value(), 3.0);
    EXPECT_EQ(set(TestPlug::kMode, "2"), 1);
    EXPECT_EQ(plug->GetParameter(TestPlug::kMode)->Value(), 1.0);
    EXPECT_EQ(set(TestPlug::kMode, "chord"), 0);
    EXPECT_EQ(set(TestPlug::kMode, "3"), 0);
    EXPECT_EQ(plug->GetParameter(TestPlug::kMode)->Value(), 1.0);

    EXPECT_EQ(Dispatch(effect, vst::effString2Parameter, TestPlug::kGain, 0, nullptr), 1);
    EXPECT_EQ(set(TestPlug::kCount, "1"), 0);
    EXPECT_EQ(set(-2, "1"), 0);
}

TEST_F(VstRecord, VendorSpecificFormatsNormalisedValues)
{
    Make();
    VstIntPtr answer = 0;
    EXPECT_EQ(Text(vst::effVendorSpecific, 7, TestPlug::kGain, 0.5f, &answer), "50.00");
    EXPECT_EQ(answer, 0xBEEF);
    EXPECT_EQ(Text(vst::effVendorSpecific, 7, TestPlug::kMode, 1.0f, &answer), "Chord");
    EXPECT_EQ(Text(vst::effVendorSpecific, 7, 777, 0.5f, &answer).substr(0, 3), "xxx");
    EXPECT_EQ(answer, 0xBEEF); // also for an invalid parameter, with nothing written
    EXPECT_EQ(Text(vst::effVendorSpecific, 6, TestPlug::kGain, 0.5f, &answer).substr(0, 3), "xxx");
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(Text(vst::effVendorSpecific, 7, TestPlug::kGain, std::nanf("")), "0.00");
}

TEST_F(VstRecord, MidiKeyNames)
{
    Make();
    MidiKeyName key{};
    key.thisKeyNumber = 61;
    std::strcpy(key.keyName, "junk");
    EXPECT_EQ(Dispatch(effect, vst::effGetMidiKeyName, 0, 0, &key), 1);
    EXPECT_STREQ(key.keyName, "C#4");
    key.thisKeyNumber = 300;
    EXPECT_EQ(Dispatch(effect, vst::effGetMidiKeyName, 0, 0, &key), 0);
    EXPECT_STREQ(key.keyName, "");
}

TEST_F(VstRecord, EditorOpcodes)
{
    Make();
    ERect* rect = nullptr;
    EXPECT_EQ(Dispatch(effect, vst::effEditGetRect, 0, 0, &rect), 0); // no editor yet
    EXPECT_EQ(Dispatch(effect, vst::effEditOpen), 0);
    EXPECT_EQ(Dispatch(effect, vst::effEditClose), 0);

    bool deleted = false;
    auto* editor = new FakeEditor(1000, 565, &deleted);
    PlugOf(effect)->AttachEditor(editor);
    EXPECT_EQ(editor->prepared, 1);
    EXPECT_EQ(effect->flags, 0x1131);
    EXPECT_EQ(Dispatch(effect, vst::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 565);
    EXPECT_EQ(rect->right, 1000);
    int parent = 0;
    EXPECT_EQ(Dispatch(effect, vst::effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(editor->parentSeen, &parent);
    EXPECT_TRUE(editor->open);
    EXPECT_EQ(Dispatch(effect, vst::effEditClose), 1);
    EXPECT_FALSE(editor->open);
    editor->openSucceeds = false;
    EXPECT_EQ(Dispatch(effect, vst::effEditOpen, 0, 0, &parent), 0);

    effect->setParameter(effect, TestPlug::kGain, 0.75f);
    ASSERT_EQ(editor->updates.size(), 1u);
    EXPECT_EQ(editor->updates[0].index, TestPlug::kGain);
    EXPECT_TRUE(editor->updates[0].normalised);
    Dispatch(effect, vst::effString2Parameter, TestPlug::kGain, 0, const_cast<char*>("10"));
    ASSERT_EQ(editor->updates.size(), 2u);
    EXPECT_FALSE(editor->updates[1].normalised);
    EXPECT_EQ(editor->updates[1].value, 10.0);

    Dispatch(effect, vst::effClose);
    effect = nullptr;
    EXPECT_TRUE(deleted); // the plug-in owns and deletes its editor
}

TEST_F(VstRecord, SampleRateAndBlockSize)
{
    Make();
    TestPlug* plug = PlugOf(effect);
    Dispatch(effect, vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ(plug->GetSampleRate(), 48000.0);
    // (Below 1 kHz a beat lasts a few samples or less at a fast tempo: the work of a block would
    // grow without bound.)
    for (float bad : {-1.0f, std::nanf(""), 0.0f, 0.001f, 999.0f})
        Dispatch(effect, vst::effSetSampleRate, 0, 0, nullptr, bad);
    EXPECT_EQ(plug->GetSampleRate(), 48000.0);
    Dispatch(effect, vst::effSetSampleRate, 0, 0, nullptr, 1000.0f);
    EXPECT_EQ(plug->GetSampleRate(), 1000.0);
    Dispatch(effect, vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
    Dispatch(effect, vst::effSetBlockSize, 0, 256);
    for (VstIntPtr bad : {VstIntPtr{0}, VstIntPtr{-64}, VstIntPtr{1} << 40})
        Dispatch(effect, vst::effSetBlockSize, 0, bad);
    EXPECT_EQ(plug->GetBlockSize(), 256);
    const int resets = plug->resets;
    Dispatch(effect, vst::effMainsChanged, 0, 1);
    EXPECT_EQ(plug->resets, resets);
    Dispatch(effect, vst::effMainsChanged, 0, 0);
    EXPECT_EQ(plug->resets, resets + 1);
}

TEST_F(VstRecord, OpenIdentifiesTheHostOnceAndResetsParameters)
{
    host.product = "Cubase Pro";
    host.vendorVersion = 123456;
    Make();
    TestPlug* plug = PlugOf(effect);
    plug->changed.clear();
    Dispatch(effect, vst::effOpen);
    EXPECT_EQ(plug->GetHostId(), kHostCubase);
    EXPECT_EQ(plug->GetHostVersion(), (12 << 16) | (34 << 8) | 56);
    EXPECT_EQ(plug->changed.size(), static_cast<size_t>(TestPlug::kCount)); // every parameter
    Dispatch(effect, vst::effOpen);
    EXPECT_EQ(host.Count(vst::audioMasterGetProductString), 1);
    EXPECT_EQ(host.Count(vst::audioMasterGetVendorVersion), 1);
}

TEST_F(VstRecord, EmptyProductTextIsUnknownWithoutAskingTheVersion)
{
    host.product = "";
    Make();
    Dispatch(effect, vst::effOpen);
    EXPECT_EQ(PlugOf(effect)->GetHostId(), kHostUnknown);
    EXPECT_EQ(PlugOf(effect)->GetHostVersion(), 0);
    EXPECT_EQ(host.Count(vst::audioMasterGetVendorVersion), 0);
}

TEST_F(VstRecord, HostsThatGetTwoInputs)
{
    host.product = "Audition";
    TestPlugConfig config;
    config.channelIO = "4-2";
    Make(config);
    Dispatch(effect, vst::effOpen);
    TestPlug* plug = PlugOf(effect);
    EXPECT_TRUE(plug->IsInputConnected(1));
    EXPECT_FALSE(plug->IsInputConnected(2));
    EXPECT_FALSE(plug->IsInputConnected(3));
}

TEST_F(VstRecord, ExceptionsStayInside)
{
    Make();
    PlugOf(effect)->throwOnChange = true;
    EXPECT_EQ(Dispatch(effect, vst::effString2Parameter, TestPlug::kGain, 0, const_cast<char*>("3")), 0);
    effect->setParameter(effect, TestPlug::kGain, 0.5f); // must not throw into the host
    PlugOf(effect)->throwOnChange = false;
    EXPECT_EQ(Dispatch(effect, vst::effString2Parameter, TestPlug::kGain, 0, const_cast<char*>("3")), 1);

    AEffect nothing{};
    EXPECT_EQ(IEffectVST::VSTDispatcher(&nothing, vst::effGetVstVersion, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(IEffectVST::VSTDispatcher(nullptr, vst::effGetVstVersion, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(IEffectVST::VSTGetParameter(&nothing, 0), 0.0f);
}

TEST(VstEntry, FactoryFailuresGiveNull)
{
    EXPECT_EQ(RunVstEntry(nullptr, nullptr), nullptr);
    EXPECT_EQ(RunVstEntry(nullptr, [](VstHostCallback) -> IEffectVST* { return nullptr; }), nullptr);
    EXPECT_EQ(RunVstEntry(nullptr,
                          [](VstHostCallback) -> IEffectVST* { throw std::runtime_error("no data folder"); }),
              nullptr);
    // A plug-in without a host callback still works; every host question answers "nothing".
    AEffect* effect = RunVstEntry(nullptr, &CreateTestPlug);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(Dispatch(effect, vst::effOpen), 0);
    EXPECT_EQ(PlugOf(effect)->GetHostTempo(), 120.0);
    Dispatch(effect, vst::effClose);
}
