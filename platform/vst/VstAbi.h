// Our own declarations of the VST 2.4 binary interface, x86-64 (natural alignment, 8-byte pointers).
//
// Written from the publicly documented layout of the interface; every record carries static_asserts
// on its size and on the offsets of its fields, so a wrong field order or missing padding fails the
// build instead of silently breaking a host. 32-bit fields are int32_t (never `long`, which is
// 64 bits wide on Linux).
//
// Index
//   1. Scalar types and the entry signatures
//   2. AEffect, the effect record, and its flags
//   3. ERect (editor rectangle)
//   4. Events: VstEvent, VstMidiEvent, VstMidiSysexEvent, VstEvents
//   5. VstTimeInfo and its flags / request filters
//   6. VstPinProperties, VstSpeakerProperties, VstSpeakerArrangement
//   7. MidiKeyName
//   8. Dispatcher opcodes (host -> plug-in)
//   9. Host callback opcodes (plug-in -> host)
//  10. Text limits, categories, magic numbers
//
// Thread rules of the interface itself: the host calls dispatcher/setParameter/getParameter from
// its user-interface thread and the processing entries from its audio thread; the plug-in may call
// the host callback from either.
#pragma once

#include <cstddef>
#include <cstdint>

// ------------------------------------------------------------------------------------------------
// 1. Scalar types and the entry signatures
// ------------------------------------------------------------------------------------------------

using VstInt16 = int16_t;
using VstInt32 = int32_t;
using VstIntPtr = intptr_t; // 64-bit on x86-64: the dispatcher's `value` and its answer

static_assert(sizeof(VstIntPtr) == 8, "this declaration targets a 64-bit platform");

struct AEffect;

// Host callback ("audioMaster"): (effect, opcode, index, value, pointer, opt) -> answer.
using VstHostCallback = VstIntPtr (*)(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                      void* ptr, float opt);
// The plug-in's dispatcher: the same shape as the host callback.
using VstDispatcherProc = VstIntPtr (*)(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                        void* ptr, float opt);
// process (accumulating, deprecated but still filled in) and processReplacing.
using VstProcessProc = void (*)(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames);
using VstProcessDoubleProc = void (*)(AEffect* effect, double** inputs, double** outputs,
                                      VstInt32 sampleFrames);
using VstSetParameterProc = void (*)(AEffect* effect, VstInt32 index, float value);
using VstGetParameterProc = float (*)(AEffect* effect, VstInt32 index);

// The exported module entry: `VSTPluginMain` (and `main`, an older name of the same entry).
using VstPluginMainProc = AEffect* (*)(VstHostCallback host);

// ------------------------------------------------------------------------------------------------
// 2. AEffect
// ------------------------------------------------------------------------------------------------

struct AEffect
{
    VstInt32 magic; // vst::kEffectMagic
    VstDispatcherProc dispatcher;
    VstProcessProc process; // accumulating
    VstSetParameterProc setParameter;
    VstGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags; // vst::effFlags*
    VstIntPtr resvd1;
    VstIntPtr resvd2;
    VstInt32 initialDelay;
    VstInt32 realQualities; // unused
    VstInt32 offQualities;  // unused
    float ioRatio;          // unused by hosts, 1.0
    void* object;           // the plug-in object behind this record
    void* user;             // free for the host
    VstInt32 uniqueID;
    VstInt32 version;
    VstProcessProc processReplacing;
    VstProcessDoubleProc processDoubleReplacing;
    char future[56];
};

static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == 8);
static_assert(offsetof(AEffect, process) == 16);
static_assert(offsetof(AEffect, setParameter) == 24);
static_assert(offsetof(AEffect, getParameter) == 32);
static_assert(offsetof(AEffect, numPrograms) == 40);
static_assert(offsetof(AEffect, numParams) == 44);
static_assert(offsetof(AEffect, numInputs) == 48);
static_assert(offsetof(AEffect, numOutputs) == 52);
static_assert(offsetof(AEffect, flags) == 56);
static_assert(offsetof(AEffect, resvd1) == 64);
static_assert(offsetof(AEffect, resvd2) == 72);
static_assert(offsetof(AEffect, initialDelay) == 80);
static_assert(offsetof(AEffect, realQualities) == 84);
static_assert(offsetof(AEffect, offQualities) == 88);
static_assert(offsetof(AEffect, ioRatio) == 92);
static_assert(offsetof(AEffect, object) == 96);
static_assert(offsetof(AEffect, user) == 104);
static_assert(offsetof(AEffect, uniqueID) == 112);
static_assert(offsetof(AEffect, version) == 116);
static_assert(offsetof(AEffect, processReplacing) == 120);
static_assert(offsetof(AEffect, processDoubleReplacing) == 128);
static_assert(offsetof(AEffect, future) == 136);
static_assert(sizeof(AEffect) == 192);

namespace vst
{

// Four-character codes as the interface stores them: first letter in the most significant byte.
constexpr VstInt32 FourCC(char a, char b, char c, char d)
{
    return static_cast<VstInt32>((static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
                                 (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
                                 (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) |
                                 static_cast<uint32_t>(static_cast<uint8_t>(d)));
}

constexpr VstInt32 kEffectMagic = FourCC('V', 's', 't', 'P'); // 0x56737450, bytes "PtsV" in memory
static_assert(kEffectMagic == 0x56737450);

// AEffect::flags
enum EffectFlags : VstInt32
{
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1, // deprecated
    effFlagsHasVu = 1 << 2,   // deprecated
    effFlagsCanMono = 1 << 3, // deprecated
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsExtIsAsync = 1 << 10,   // deprecated
    effFlagsExtHasBuffer = 1 << 11, // deprecated
    effFlagsCanDoubleReplacing = 1 << 12,
};

} // namespace vst

// ------------------------------------------------------------------------------------------------
// 3. ERect
// ------------------------------------------------------------------------------------------------

struct ERect
{
    VstInt16 top;
    VstInt16 left;
    VstInt16 bottom;
    VstInt16 right;
};

static_assert(offsetof(ERect, top) == 0);
static_assert(offsetof(ERect, left) == 2);
static_assert(offsetof(ERect, bottom) == 4);
static_assert(offsetof(ERect, right) == 6);
static_assert(sizeof(ERect) == 8);

// ------------------------------------------------------------------------------------------------
// 4. Events
// ------------------------------------------------------------------------------------------------

namespace vst
{

enum EventType : VstInt32
{
    kVstMidiType = 1,
    kVstAudioType = 2,     // deprecated
    kVstVideoType = 3,     // deprecated
    kVstParameterType = 4, // deprecated
    kVstTriggerType = 5,   // deprecated
    kVstSysExType = 6,
};

// VstMidiEvent::flags
enum MidiEventFlags : VstInt32
{
    kVstMidiEventIsRealtime = 1 << 0,
};

} // namespace vst

// The generic event: every event starts with these four fields and has at least this size.
struct VstEvent
{
    VstInt32 type;        // vst::EventType
    VstInt32 byteSize;    // size of the record in bytes (32 for a MIDI event)
    VstInt32 deltaFrames; // offset of the event inside the current processing block
    VstInt32 flags;
    char data[16];
};

static_assert(offsetof(VstEvent, type) == 0);
static_assert(offsetof(VstEvent, byteSize) == 4);
static_assert(offsetof(VstEvent, deltaFrames) == 8);
static_assert(offsetof(VstEvent, flags) == 12);
static_assert(offsetof(VstEvent, data) == 16);
static_assert(sizeof(VstEvent) == 32);

struct VstMidiEvent
{
    VstInt32 type; // vst::kVstMidiType
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags; // vst::MidiEventFlags
    VstInt32 noteLength;
    VstInt32 noteOffset;
    char midiData[4]; // status, data1, data2, 0
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

static_assert(offsetof(VstMidiEvent, type) == 0);
static_assert(offsetof(VstMidiEvent, byteSize) == 4);
static_assert(offsetof(VstMidiEvent, deltaFrames) == 8);
static_assert(offsetof(VstMidiEvent, flags) == 12);
static_assert(offsetof(VstMidiEvent, noteLength) == 16);
static_assert(offsetof(VstMidiEvent, noteOffset) == 20);
static_assert(offsetof(VstMidiEvent, midiData) == 24);
static_assert(offsetof(VstMidiEvent, detune) == 28);
static_assert(offsetof(VstMidiEvent, noteOffVelocity) == 29);
static_assert(offsetof(VstMidiEvent, reserved1) == 30);
static_assert(offsetof(VstMidiEvent, reserved2) == 31);
static_assert(sizeof(VstMidiEvent) == 32);

struct VstMidiSysexEvent
{
    VstInt32 type; // vst::kVstSysExType
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    VstInt32 dumpBytes; // length of sysexDump
    VstIntPtr resvd1;
    char* sysexDump;
    VstIntPtr resvd2;
};

static_assert(offsetof(VstMidiSysexEvent, type) == 0);
static_assert(offsetof(VstMidiSysexEvent, byteSize) == 4);
static_assert(offsetof(VstMidiSysexEvent, deltaFrames) == 8);
static_assert(offsetof(VstMidiSysexEvent, flags) == 12);
static_assert(offsetof(VstMidiSysexEvent, dumpBytes) == 16);
static_assert(offsetof(VstMidiSysexEvent, resvd1) == 24);
static_assert(offsetof(VstMidiSysexEvent, sysexDump) == 32);
static_assert(offsetof(VstMidiSysexEvent, resvd2) == 40);
static_assert(sizeof(VstMidiSysexEvent) == 48);

// A list of events. The pointer array is variable-length: a sender allocates room for numEvents
// pointers (the record declares two slots, so a list of one or two fits the record itself).
struct VstEvents
{
    VstInt32 numEvents;
    VstIntPtr reserved; // 0
    VstEvent* events[2];
};

static_assert(offsetof(VstEvents, numEvents) == 0);
static_assert(offsetof(VstEvents, reserved) == 8);
static_assert(offsetof(VstEvents, events) == 16);
static_assert(sizeof(VstEvents) == 32);

// ------------------------------------------------------------------------------------------------
// 5. VstTimeInfo
// ------------------------------------------------------------------------------------------------

struct VstTimeInfo
{
    double samplePos; // current position in samples
    double sampleRate;
    double nanoSeconds;          // system time, valid with kVstNanosValid
    double ppqPos;               // musical position in quarter notes, with kVstPpqPosValid
    double tempo;                // beats per minute, with kVstTempoValid
    double barStartPos;          // quarter-note position of the last bar start, with kVstBarsValid
    double cycleStartPos;        // loop start in quarter notes, with kVstCyclePosValid
    double cycleEndPos;          // loop end in quarter notes, with kVstCyclePosValid
    VstInt32 timeSigNumerator;   // with kVstTimeSigValid
    VstInt32 timeSigDenominator; // with kVstTimeSigValid
    VstInt32 smpteOffset;
    VstInt32 smpteFrameRate;
    VstInt32 samplesToNextClock;
    VstInt32 flags; // vst::TimeInfoFlags
};

static_assert(offsetof(VstTimeInfo, samplePos) == 0);
static_assert(offsetof(VstTimeInfo, sampleRate) == 8);
static_assert(offsetof(VstTimeInfo, nanoSeconds) == 16);
static_assert(offsetof(VstTimeInfo, ppqPos) == 24);
static_assert(offsetof(VstTimeInfo, tempo) == 32);
static_assert(offsetof(VstTimeInfo, barStartPos) == 40);
static_assert(offsetof(VstTimeInfo, cycleStartPos) == 48);
static_assert(offsetof(VstTimeInfo, cycleEndPos) == 56);
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64);
static_assert(offsetof(VstTimeInfo, timeSigDenominator) == 68);
static_assert(offsetof(VstTimeInfo, smpteOffset) == 72);
static_assert(offsetof(VstTimeInfo, smpteFrameRate) == 76);
static_assert(offsetof(VstTimeInfo, samplesToNextClock) == 80);
static_assert(offsetof(VstTimeInfo, flags) == 84);
static_assert(sizeof(VstTimeInfo) == 88);

namespace vst
{

// VstTimeInfo::flags. The same bits, passed in `value` of audioMasterGetTime, request fields
// (the sample position and rate are always given).
enum TimeInfoFlags : VstInt32
{
    kVstTransportChanged = 1 << 0,
    kVstTransportPlaying = 1 << 1,
    kVstTransportCycleActive = 1 << 2,
    kVstTransportRecording = 1 << 3,
    kVstAutomationWriting = 1 << 6,
    kVstAutomationReading = 1 << 7,
    kVstNanosValid = 1 << 8,
    kVstPpqPosValid = 1 << 9,
    kVstTempoValid = 1 << 10,
    kVstBarsValid = 1 << 11,
    kVstCyclePosValid = 1 << 12,
    kVstTimeSigValid = 1 << 13,
    kVstSmpteValid = 1 << 14,
    kVstClockValid = 1 << 15,
};

static_assert((kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid) ==
              0x3E00);

} // namespace vst

// ------------------------------------------------------------------------------------------------
// 6. Pins and speaker arrangements
// ------------------------------------------------------------------------------------------------

namespace vst
{

constexpr int kVstMaxLabelLen = 64;     // VstPinProperties::label, terminator included
constexpr int kVstMaxShortLabelLen = 8; // VstPinProperties::shortLabel
constexpr int kVstMaxNameLen = 64;      // speaker names, MidiKeyName::keyName

// VstPinProperties::flags
enum PinPropertiesFlags : VstInt32
{
    kVstPinIsActive = 1 << 0,
    kVstPinIsStereo = 1 << 1,
    kVstPinUseSpeaker = 1 << 2,
};

// VstSpeakerArrangement::type (the ones this project uses; the interface defines more).
enum SpeakerArrangementType : VstInt32
{
    kSpeakerArrUserDefined = -2,
    kSpeakerArrEmpty = -1,
    kSpeakerArrMono = 0,
    kSpeakerArrStereo = 1,
};

} // namespace vst

struct VstPinProperties
{
    char label[vst::kVstMaxLabelLen];
    VstInt32 flags;           // vst::PinPropertiesFlags
    VstInt32 arrangementType; // vst::SpeakerArrangementType
    char shortLabel[vst::kVstMaxShortLabelLen];
    char future[48];
};

static_assert(offsetof(VstPinProperties, label) == 0);
static_assert(offsetof(VstPinProperties, flags) == 64);
static_assert(offsetof(VstPinProperties, arrangementType) == 68);
static_assert(offsetof(VstPinProperties, shortLabel) == 72);
static_assert(offsetof(VstPinProperties, future) == 80);
static_assert(sizeof(VstPinProperties) == 128);

struct VstSpeakerProperties
{
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[vst::kVstMaxNameLen];
    VstInt32 type;
    char future[28];
};

static_assert(offsetof(VstSpeakerProperties, azimuth) == 0);
static_assert(offsetof(VstSpeakerProperties, elevation) == 4);
static_assert(offsetof(VstSpeakerProperties, radius) == 8);
static_assert(offsetof(VstSpeakerProperties, reserved) == 12);
static_assert(offsetof(VstSpeakerProperties, name) == 16);
static_assert(offsetof(VstSpeakerProperties, type) == 80);
static_assert(offsetof(VstSpeakerProperties, future) == 84);
static_assert(sizeof(VstSpeakerProperties) == 112);

// The speaker array is variable-length; the record declares eight entries.
struct VstSpeakerArrangement
{
    VstInt32 type; // vst::SpeakerArrangementType
    VstInt32 numChannels;
    VstSpeakerProperties speakers[8];
};

static_assert(offsetof(VstSpeakerArrangement, type) == 0);
static_assert(offsetof(VstSpeakerArrangement, numChannels) == 4);
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8);
static_assert(sizeof(VstSpeakerArrangement) == 904);

// ------------------------------------------------------------------------------------------------
// 7. MidiKeyName (effGetMidiKeyName)
// ------------------------------------------------------------------------------------------------

struct MidiKeyName
{
    VstInt32 thisProgramIndex;
    VstInt32 thisKeyNumber;            // 0..127, set by the host
    char keyName[vst::kVstMaxNameLen]; // filled by the plug-in
    VstInt32 reserved;
    VstInt32 flags;
};

static_assert(offsetof(MidiKeyName, thisProgramIndex) == 0);
static_assert(offsetof(MidiKeyName, thisKeyNumber) == 4);
static_assert(offsetof(MidiKeyName, keyName) == 8);
static_assert(offsetof(MidiKeyName, reserved) == 72);
static_assert(offsetof(MidiKeyName, flags) == 76);
static_assert(sizeof(MidiKeyName) == 80);

// ------------------------------------------------------------------------------------------------
// 8. Dispatcher opcodes (host -> plug-in). Arguments: (index, value, ptr, opt).
// ------------------------------------------------------------------------------------------------

namespace vst
{

enum DispatcherOpcode : VstInt32
{
    effOpen = 0,            // after construction, before anything else
    effClose = 1,           // the plug-in deletes itself; the record is invalid afterwards
    effSetProgram = 2,      // value = program index
    effGetProgram = 3,      // answer = program index
    effSetProgramName = 4,  // ptr = char[kVstMaxProgNameLen]
    effGetProgramName = 5,  // ptr = char[kVstMaxProgNameLen]
    effGetParamLabel = 6,   // index, ptr = char[kVstMaxParamStrLen]
    effGetParamDisplay = 7, // index, ptr = char[kVstMaxParamStrLen]
    effGetParamName = 8,    // index, ptr = char[kVstMaxParamStrLen]
    effGetVu = 9,           // deprecated
    effSetSampleRate = 10,  // opt = sample rate
    effSetBlockSize = 11,   // value = largest block size
    effMainsChanged = 12,   // value = 0 suspend, 1 resume
    effEditGetRect = 13,    // ptr = ERect** receiving the address of the plug-in's rectangle
    effEditOpen = 14,       // ptr = parent window
    effEditClose = 15,
    effEditDraw = 16,  // deprecated
    effEditMouse = 17, // deprecated
    effEditKey = 18,   // deprecated
    effEditIdle = 19,
    effEditTop = 20,          // deprecated
    effEditSleep = 21,        // deprecated
    effIdentify = 22,         // deprecated; answer FourCC('N','v','E','f')
    effGetChunk = 23,         // index 0 bank / 1 program, ptr = void** receiving the data; answer = size
    effSetChunk = 24,         // index 0 bank / 1 program, value = size, ptr = data
    effProcessEvents = 25,    // ptr = VstEvents*
    effCanBeAutomated = 26,   // index
    effString2Parameter = 27, // index, ptr = text (null: "is this supported")
    effGetNumProgramCategories = 28, // deprecated
    effGetProgramNameIndexed = 29,   // index = program, ptr = char[kVstMaxProgNameLen]
    effCopyProgram = 30,             // deprecated
    effConnectInput = 31,            // deprecated
    effConnectOutput = 32,           // deprecated
    effGetInputProperties = 33,      // index, ptr = VstPinProperties*
    effGetOutputProperties = 34,     // index, ptr = VstPinProperties*
    effGetPlugCategory = 35,         // answer = vst::PlugCategory
    effGetCurrentPosition = 36,      // deprecated
    effGetDestinationBuffer = 37,    // deprecated
    effOfflineNotify = 38,
    effOfflinePrepare = 39,
    effOfflineRun = 40,
    effProcessVarIo = 41,
    effSetSpeakerArrangement = 42,     // value = VstSpeakerArrangement* inputs, ptr = outputs
    effSetBlockSizeAndSampleRate = 43, // deprecated
    effSetBypass = 44,
    effGetEffectName = 45,    // ptr = char[kVstMaxEffectNameLen]
    effGetErrorText = 46,     // deprecated
    effGetVendorString = 47,  // ptr = char[kVstMaxVendorStrLen]
    effGetProductString = 48, // ptr = char[kVstMaxProductStrLen]
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51, // ptr = capability text; answer 1 yes, -1 no, 0 don't know
    effGetTailSize = 52,
    effIdle = 53,            // deprecated
    effGetIcon = 54,         // deprecated
    effSetViewPosition = 55, // deprecated
    effGetParameterProperties = 56,
    effKeysRequired = 57,  // deprecated
    effGetVstVersion = 58, // answer 2400
    effEditKeyDown = 59,
    effEditKeyUp = 60,
    effSetEditKnob = 61,
    effGetMidiProgramName = 62,
    effGetCurrentMidiProgram = 63,
    effGetMidiProgramCategory = 64,
    effHasMidiProgramsChanged = 65,
    effGetMidiKeyName = 66, // index = channel, ptr = MidiKeyName*
    effBeginSetProgram = 67,
    effEndSetProgram = 68,
    effGetSpeakerArrangement = 69, // value = VstSpeakerArrangement** inputs, ptr = ... outputs
    effShellGetNextPlugin = 70,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetTotalSampleToProcess = 73,
    effSetPanLaw = 74,
    effBeginLoadBank = 75,
    effBeginLoadProgram = 76,
    effSetProcessPrecision = 77,
    effGetNumMidiInputChannels = 78,
    effGetNumMidiOutputChannels = 79,
};

// ------------------------------------------------------------------------------------------------
// 9. Host callback opcodes (plug-in -> host). Arguments: (index, value, ptr, opt).
// ------------------------------------------------------------------------------------------------

enum HostOpcode : VstInt32
{
    audioMasterAutomate = 0, // index = parameter, opt = normalised value
    audioMasterVersion = 1,  // answer = host's interface version (2400)
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterPinConnected = 4,  // deprecated
    audioMasterWantMidi = 6,      // deprecated
    audioMasterGetTime = 7,       // value = request filter (TimeInfoFlags); answer = VstTimeInfo* or 0
    audioMasterProcessEvents = 8, // ptr = VstEvents*; answer 1 when accepted
    audioMasterSetTime = 9,       // deprecated
    audioMasterTempoAt = 10,      // deprecated
    audioMasterGetNumAutomatableParameters = 11, // deprecated
    audioMasterGetParameterQuantization = 12,    // deprecated
    audioMasterIOChanged = 13,
    audioMasterNeedIdle = 14,   // deprecated
    audioMasterSizeWindow = 15, // index = width, value = height
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetInputLatency = 18,
    audioMasterGetOutputLatency = 19,
    audioMasterGetPreviousPlug = 20,         // deprecated
    audioMasterGetNextPlug = 21,             // deprecated
    audioMasterWillReplaceOrAccumulate = 22, // deprecated
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetAutomationState = 24,
    audioMasterOfflineStart = 25,
    audioMasterOfflineRead = 26,
    audioMasterOfflineWrite = 27,
    audioMasterOfflineGetCurrentPass = 28,
    audioMasterOfflineGetCurrentMetaPass = 29,
    audioMasterSetOutputSampleRate = 30,         // deprecated
    audioMasterGetOutputSpeakerArrangement = 31, // deprecated
    audioMasterGetVendorString = 32,             // ptr = char[kVstMaxVendorStrLen]
    audioMasterGetProductString = 33,            // ptr = char[kVstMaxProductStrLen]
    audioMasterGetVendorVersion = 34,            // answer = host version
    audioMasterVendorSpecific = 35,
    audioMasterSetIcon = 36, // deprecated
    audioMasterCanDo = 37,   // ptr = capability text
    audioMasterGetLanguage = 38,
    audioMasterOpenWindow = 39,  // deprecated
    audioMasterCloseWindow = 40, // deprecated
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43, // index = parameter
    audioMasterEndEdit = 44,   // index = parameter
    audioMasterOpenFileSelector = 45,
    audioMasterCloseFileSelector = 46,
    audioMasterEditFile = 47,                   // deprecated
    audioMasterGetChunkFile = 48,               // deprecated
    audioMasterGetInputSpeakerArrangement = 49, // deprecated
};

// ------------------------------------------------------------------------------------------------
// 10. Text limits, categories, magic numbers
// ------------------------------------------------------------------------------------------------

// Buffer sizes the interface promises behind `ptr`, terminator included. Hosts commonly give more
// for parameter texts; a plug-in writing into them must still stay within what it may assume.
constexpr int kVstMaxProgNameLen = 24;
constexpr int kVstMaxParamStrLen = 8;
constexpr int kVstMaxVendorStrLen = 64;
constexpr int kVstMaxProductStrLen = 64;
constexpr int kVstMaxEffectNameLen = 32;

enum PlugCategory : VstInt32
{
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2,
    kPlugCategAnalysis = 3,
    kPlugCategMastering = 4,
    kPlugCategSpacializer = 5,
    kPlugCategRoomFx = 6,
    kPlugSurroundFx = 7,
    kPlugCategRestoration = 8,
    kPlugCategOfflineProcess = 9,
    kPlugCategShell = 10,
    kPlugCategGenerator = 11,
};

constexpr VstInt32 kVstVersion = 2400;                           // effGetVstVersion, audioMasterVersion
constexpr VstInt32 kIdentifyAnswer = FourCC('N', 'v', 'E', 'f'); // effIdentify
static_assert(kIdentifyAnswer == 0x4E764566);

} // namespace vst
