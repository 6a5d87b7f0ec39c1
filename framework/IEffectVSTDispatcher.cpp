// IEffectVST: the dispatcher, the host chunks and the MIDI events from the host.
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/IEffectVST.h"
#include "framework/Trace.h"
#include "platform/win32/WindowLayerLock.h"

namespace
{

constexpr VstIntPtr kVendorSpecificAnswer = 0xBEEF;
constexpr VstIntPtr kCockosAnswer = 0xBEEF0000;
constexpr VstInt32 kVendorSpecificFormatValue = 7;
constexpr VstInt32 kLastHandledOpcode = vst::effGetSpeakerArrangement; // 69
// Largest chunk a host may hand over; leaves headroom so that no size arithmetic overflows.
constexpr VstIntPtr kMaxChunkSize = INT32_MAX - 8192;

// Bounded copy into a host buffer of size bytes (always terminated).
void CopyOut(void* ptr, const char* text, int size)
{
    char* out = static_cast<char*>(ptr);
    const size_t length = text != nullptr ? strnlen(text, static_cast<size_t>(size) - 1) : 0;
    if (length > 0) std::memcpy(out, text, length);
    out[length] = 0;
}

bool InIntRange(VstIntPtr v)
{
    return v >= INT32_MIN && v <= INT32_MAX;
}

// The name answered for the program list while the plug-in keeps no presets: hosts are told of
// one program, and this is its name.
constexpr const char* kDefaultProgramName = "Empty";

} // namespace

// ---- entry ---------------------------------------------------------------------------------------

VstIntPtr IEffectVST::VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                    void* ptr, float opt)
{
    IEffectVST* plug = FromEffect(effect);
    if (plug == nullptr) return 0;
    try
    {
        if (opcode == vst::effClose)
        {
            // The editor closes with the plug-in: the window layer's lock first, as for every editor
            // call. Then wait for any call in progress and let go of the plug lock before it is
            // destroyed with us.
            quova::win32::WindowLayerGuard layer;
            plug->plugLock_.Enter();
            TracePoint("IEffectVST::VSTDispatcher", __LINE__, "%d(%s):%d:%d", opcode, GetOpcodeName(opcode),
                       index, static_cast<int>(value));
            effect->object = nullptr;
            plug->plugLock_.Leave();
            delete plug;
            return 0;
        }
        if (opcode == vst::effIdle) return 0;
        if (IsEditorOpcode(opcode)) return plug->DispatchEditor(opcode, index, value, ptr, opt);
        IEffectLockGuard guard(plug->plugLock_);
        TracePoint("IEffectVST::VSTDispatcher", __LINE__, "%d(%s):%d:%d", opcode, GetOpcodeName(opcode),
                   index, static_cast<int>(value));
        if (opcode < 0 || opcode > kLastHandledOpcode) return 0;
        return plug->Dispatch(opcode, index, value, ptr, opt);
    }
    catch (...)
    {
        return 0;
    }
}

// ---- opcodes ---------------------------------------------------------------------------------------

VstIntPtr IEffectVST::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    switch (opcode)
    {
    case vst::effOpen:
        AdaptToHost();
        OnParametersReset();
        return 0;

    case vst::effSetProgram:
        if (!usesChunks_) ModifyCurrentPreset();
        if (InIntRange(value)) LoadPreset(static_cast<int>(value));
        return 0;

    case vst::effGetProgram:
        return currentPreset_;

    case vst::effSetProgramName:
        if (ptr != nullptr)
        {
            char name[IPreset::kMaxNameLength + 1];
            std::snprintf(name, sizeof name, "%.*s", IPreset::kMaxNameLength, static_cast<const char*>(ptr));
            ModifyCurrentPreset(name);
            OnHostRenamedPreset();
        }
        return 0;

    case vst::effGetProgramName:
        if (ptr != nullptr)
        {
            const char* name =
                NPresets() == 0 && currentPreset_ == 0 ? kDefaultProgramName : GetPresetName(currentPreset_);
            CopyOut(ptr, name, vst::kVstMaxProgNameLen);
        }
        return 0;

    case vst::effGetParamLabel:
    case vst::effGetParamDisplay:
    case vst::effGetParamName:
    {
        const IParameter* parameter = GetParameter(index);
        if (parameter == nullptr || ptr == nullptr) return 0;
        if (opcode == vst::effGetParamLabel)
        {
            CopyOut(ptr, parameter->GetUnitLabel(), kParamTextSize);
        }
        else if (opcode == vst::effGetParamName)
        {
            CopyOut(ptr, parameter->GetName(), kParamTextSize);
        }
        else
        {
            parameter->FormatValue(parameter->Value(), false, static_cast<char*>(ptr), kParamTextSize, true);
        }
        return 0;
    }

    case vst::effSetSampleRate:
        ChangeSampleRate(opt);
        ResetProcessing();
        return 0;

    case vst::effSetBlockSize:
        if (value > 0 && value <= kMaxBlockSize) ChangeBlockSize(static_cast<int>(value));
        ResetProcessing();
        return 0;

    case vst::effMainsChanged:
        OnActiveChanged(value != 0);
        if (value == 0) ResetProcessing();
        return 0;

    case vst::effEditGetRect:
        if (ptr == nullptr || editor_ == nullptr) return 0;
        hostEditRect_ = editRect_;
        *static_cast<ERect**>(ptr) = &hostEditRect_;
        return 1;

    case vst::effIdentify:
        return vst::kIdentifyAnswer;

    case vst::effGetChunk:
        return GetChunk(index, ptr);

    case vst::effSetChunk:
        return SetChunk(index, value, ptr);

    case vst::effProcessEvents:
        return ProcessEvents(ptr);

    case vst::effCanBeAutomated:
        return 1;

    case vst::effString2Parameter:
        return StringToParameter(index, static_cast<const char*>(ptr));

    case vst::effGetProgramNameIndexed:
    {
        if (ptr == nullptr) return 0;
        const char* name = NPresets() == 0 && index == 0 ? kDefaultProgramName : GetPresetName(index);
        CopyOut(ptr, name, vst::kVstMaxProgNameLen);
        return static_cast<const char*>(ptr)[0] != 0 ? 1 : 0;
    }

    case vst::effGetInputProperties:
        return GetPinProperties(true, index, ptr);

    case vst::effGetOutputProperties:
        return GetPinProperties(false, index, ptr);

    case vst::effGetPlugCategory:
        return isInstrument_ ? vst::kPlugCategSynth : vst::kPlugCategEffect;

    case vst::effProcessVarIo:
        return 0;

    case vst::effSetSpeakerArrangement:
        SetSpeakerArrangement(value, ptr);
        return 1;

    case vst::effGetEffectName:
        if (ptr == nullptr) return 0;
        CopyOut(ptr, effectName_, vst::kVstMaxEffectNameLen);
        return 1;

    case vst::effGetVendorString:
        if (ptr == nullptr) return 0;
        CopyOut(ptr, makerName_, vst::kVstMaxVendorStrLen);
        return 1;

    case vst::effGetProductString:
        if (ptr == nullptr) return 0;
        CopyOut(ptr, productName_, vst::kVstMaxProductStrLen);
        return 1;

    case vst::effVendorSpecific:
    {
        if (index != kVendorSpecificFormatValue || ptr == nullptr) return 0;
        const IParameter* parameter = InIntRange(value) ? GetParameter(static_cast<int>(value)) : nullptr;
        if (parameter != nullptr)
            parameter->FormatValue(opt, true, static_cast<char*>(ptr), kParamTextSize, true);
        return kVendorSpecificAnswer;
    }

    case vst::effCanDo:
        return CanDo(static_cast<const char*>(ptr));

    case vst::effGetVstVersion:
        return vst::kVstVersion;

    case vst::effGetMidiKeyName:
    {
        if (ptr == nullptr) return 0;
        MidiKeyName* key = static_cast<MidiKeyName*>(ptr);
        key->keyName[0] = 0;
        if (key->thisKeyNumber < 0 || key->thisKeyNumber > 127) return 0;
        const bool named = GetMidiNoteName(key->thisKeyNumber, key->keyName, vst::kVstMaxNameLen);
        key->keyName[vst::kVstMaxNameLen - 1] = 0;
        return named ? 1 : 0;
    }

    case vst::effGetSpeakerArrangement:
        if (value != 0) *reinterpret_cast<VstSpeakerArrangement**>(value) = &inputArrangement_;
        if (ptr != nullptr) *static_cast<VstSpeakerArrangement**>(ptr) = &outputArrangement_;
        return 1;

    default:
        return 0; // includes effGetVendorVersion, which this plug-in does not answer
    }
}

VstIntPtr IEffectVST::CanDo(const char* text) const
{
    TracePoint("IEffectVST::VSTCanDo", __LINE__, "VSTCanDo(%s)", text != nullptr ? text : "");
    if (text == nullptr) return 0;
    if (std::strcmp(text, "receiveVstTimeInfo") == 0) return 1;
    if (doesMidi_)
    {
        for (const char* midi :
             {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"})
        {
            if (std::strcmp(text, midi) == 0) return 1;
        }
    }
    if (std::strcmp(text, "hasCockosExtensions") == 0 || std::strcmp(text, "hasCockosViewAsConfig") == 0)
    {
        return kCockosAnswer;
    }
    return 0;
}

VstIntPtr IEffectVST::GetPinProperties(bool input, VstInt32 index, void* ptr) const
{
    const int count = input ? NInChannels() : NOutChannels();
    if (ptr == nullptr || index < 0 || index >= count) return 0;
    VstPinProperties* pin = static_cast<VstPinProperties*>(ptr);
    std::snprintf(pin->label, sizeof pin->label, "%s %d", input ? "Input" : "Output", index + 1);
    pin->flags = vst::kVstPinIsActive;
    if (index % 2 == 0 && index < count - 1) pin->flags |= vst::kVstPinIsStereo;
    return 1;
}

void IEffectVST::SetSpeakerArrangement(VstIntPtr inputs, void* outputs)
{
    if (const auto* arrangement = reinterpret_cast<const VstSpeakerArrangement*>(inputs))
    {
        const int count = NInChannels();
        const int n = arrangement->numChannels < 0
                          ? 0
                          : (arrangement->numChannels > count ? count : arrangement->numChannels);
        ConnectInputChannels(0, n, true);
        ConnectInputChannels(n, count - n, false);
    }
    if (const auto* arrangement = static_cast<const VstSpeakerArrangement*>(outputs))
    {
        const int count = NOutChannels();
        const int n = arrangement->numChannels < 0
                          ? 0
                          : (arrangement->numChannels > count ? count : arrangement->numChannels);
        ConnectOutputChannels(0, n, true);
        ConnectOutputChannels(n, count - n, false);
    }
}

VstIntPtr IEffectVST::StringToParameter(VstInt32 index, const char* text)
{
    IParameter* parameter = GetParameter(index);
    if (parameter == nullptr) return 0;
    if (text == nullptr) return 1; // "is this supported?"
    double value;
    if (parameter->CountValueTexts() > 0)
    {
        int found = 0;
        if (!parameter->FindValueForText(text, &found)) return 0;
        value = found;
    }
    else
    {
        char* end = nullptr;
        value = std::strtod(text, &end);
        if (end == text || !std::isfinite(value)) return 0;
        if (parameter->IsDisplayNegated()) value = -value;
        value = parameter->RoundToStep(value);
    }
    if (editor_ != nullptr) editor_->UpdateParameterControls(index, value, false);
    parameter->SetLimitedValue(value);
    OnParameterChanged(index);
    return 1;
}

// ---- MIDI from the host ------------------------------------------------------------------------------

VstIntPtr IEffectVST::ProcessEvents(void* ptr)
{
    if (ptr == nullptr) return 0;
    VstEvents* events = static_cast<VstEvents*>(ptr);
    // The pointer array is variable-length (the record declares two slots): index it through a
    // pointer, not as the declared array, which a bounds check would stop at 2.
    VstEvent* const* list = events->events;
    for (int i = 0; i < events->numEvents; ++i)
    {
        VstEvent* event = list[i];
        if (event == nullptr) continue;
        if (event->type == vst::kVstMidiType)
        {
            const VstMidiEvent* midi = reinterpret_cast<const VstMidiEvent*>(event);
            const IMidiMessage message(midi->deltaFrames, static_cast<uint8_t>(midi->midiData[0]),
                                       static_cast<uint8_t>(midi->midiData[1]),
                                       static_cast<uint8_t>(midi->midiData[2]));
            HandleMidiMessage(message);
        }
        else
        {
            ReturnEventToHost(event);
        }
    }
    return 1;
}

// ---- chunks ---------------------------------------------------------------------------------------------

void IEffectVST::WriteChunkHeader(IStateChunk* chunk)
{
    chunk->Clear();
    chunk->Put(kChunkTag);
    chunk->Put(kChunkVersion);
}

int IEffectVST::ReadChunkHeader(const IStateChunk* chunk, int pos, uint32_t* version)
{
    uint32_t tag = 0;
    uint32_t stored = 0;
    *version = 0;
    const int afterTag = chunk->Get(&tag, pos);
    if (afterTag < 0) return -1;
    if (tag != kChunkTag) return pos;
    const int afterVersion = chunk->Get(&stored, afterTag);
    if (afterVersion < 0) return -1;
    *version = stored;
    return afterVersion;
}

int IEffectVST::PresetBlockEnd(const IStateChunk* chunk, int pos) const
{
    const int64_t blockBytes = static_cast<int64_t>(NParameters()) * 8;
    for (int i = 0; i < NPresets() && pos >= 0; ++i)
    {
        pos = chunk->GetString(nullptr, pos);
        uint8_t initialised = 0;
        pos = chunk->Get(&initialised, pos);
        if (pos >= 0 && initialised != 0)
        {
            if (blockBytes > static_cast<int64_t>(chunk->Size()) - pos) return -1;
            pos += static_cast<int>(blockBytes);
        }
    }
    return pos;
}

VstIntPtr IEffectVST::GetChunk(VstInt32 index, void* ptr)
{
    if (ptr == nullptr) return 0;
    IStateChunk& chunk = index == 0 ? bankChunk_ : programChunk_;
    WriteChunkHeader(&chunk);
    if (index == 0)
    {
        ModifyCurrentPreset();
        SerializePresets(&chunk);
    }
    if (!WriteState(&chunk) || chunk.Size() == 0) return 0;
    // The host reads the data in place until the next chunk call.
    *static_cast<void**>(ptr) = chunk.MutableData();
    return chunk.Size();
}

VstIntPtr IEffectVST::SetChunk(VstInt32 index, VstIntPtr size, void* ptr)
{
    if (ptr == nullptr || size < 0 || size > kMaxChunkSize) return 0;
    // Copy first: the host may hand back the very buffer effGetChunk gave it.
    IStateChunk incoming;
    incoming.SetSizeZeroFilled(static_cast<int>(size));
    if (incoming.Size() != size) return 0;
    if (size > 0) std::memcpy(incoming.MutableData(), ptr, static_cast<size_t>(size));

    uint32_t version = 0;
    int pos = ReadChunkHeader(&incoming, 0, &version);
    // Cut short inside the header, or newer than we know. A chunk without the tag is bare state.
    if (pos < 0 || version > kChunkVersion) return 0;
    const bool bank = index == 0 && version >= kChunkVersion;
    const int statePos = bank ? PresetBlockEnd(&incoming, pos) : pos;
    if (statePos < 0) return 0;
    const StateCheck check = CheckState(&incoming, statePos);
    if (check == kStateRefused) return 0;

    // A reader that checked the whole state refuses nothing now. For any other, what is in force
    // is kept, to put back when the state turns out unreadable part-way.
    const bool keepCopy = check == kStateUnchecked;
    IStateChunk savedState;
    const bool stateSaved = keepCopy && WriteState(&savedState);
    IStateChunk savedPresets;
    const int savedCurrent = currentPreset_;
    if (bank && keepCopy) SerializePresets(&savedPresets);

    if (bank)
    {
        pos = UnserializePresets(&incoming, pos);
        if (pos >= 0) pos = ReadState(&incoming, pos, false);
    }
    else
    {
        pos = ReadState(&incoming, pos, false);
        if (pos >= 0) ModifyCurrentPreset();
    }

    if (pos < 0)
    {
        if (bank && keepCopy)
        {
            currentPreset_ = savedCurrent;
            UnserializePresets(&savedPresets, 0);
        }
        if (stateSaved) ReadState(&savedState, 0, false);
        RedrawParameterControls();
        return 0;
    }
    if (!ReadStateRefreshesControls()) RedrawParameterControls();
    (index == 0 ? bankChunk_ : programChunk_).Swap(incoming);
    return 1;
}
