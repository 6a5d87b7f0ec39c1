// IEffectVST: construction, the IEffectBase operations that go through the host, and the entries of
// the effect record.
#include "framework/IEffectVST.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/Trace.h"

namespace
{

constexpr int kInitialBlockSize = 1024;

bool IsHostWithTwoInputs(int hostId)
{
    return hostId == kHostForte || hostId == kHostAudition || hostId == kHostOrion ||
           hostId == kHostSAWStudio;
}

} // namespace

VstInt32 ChannelCountToSpeakerArrangement(int channels)
{
    switch (channels)
    {
    case 0:
        return vst::kSpeakerArrEmpty;
    case 1:
        return vst::kSpeakerArrMono;
    case 2:
        return vst::kSpeakerArrStereo;
    default:
        return vst::kSpeakerArrUserDefined;
    }
}

// ---- construction ------------------------------------------------------------------------------

IEffectVST::IEffectVST(VstHostCallback hostCallback, int hostVisibleCount, int parameterCount,
                       const char* channelIOText, int presetCount, const char* effectName,
                       const char* productName, const char* makerName, int version, int uniqueId, int makerId,
                       int latency, bool doesMidi, bool usesChunks, bool isInstrument)
    : IEffectBase(hostVisibleCount, parameterCount, channelIOText, presetCount, effectName, productName,
                  makerName, version, uniqueId, makerId, latency, doesMidi, usesChunks, isInstrument,
                  kApiVST2),
      hostCallback_(hostCallback)
{
}

IEffectVST::~IEffectVST()
{
    // A host may close the plug-in with its editor open: the window goes before its frame.
    if (editor_ != nullptr) editor_->CloseEditorWindow();
    DropEditorFrame();
}

void IEffectVST::initialize(int effectParamCount, const char* channelIOText, int presetCount,
                            const char* effectName, const char* productName, const char* makerName)
{
    TracePoint("IEffectVST::initialize", __LINE__, "");
    IEffectBase::initialize(hostVisibleCount_, parameterCount_, channelIOText, presetCount, effectName,
                            productName, makerName);

    std::memset(&effect_, 0, sizeof effect_);
    effect_.magic = vst::kEffectMagic;
    effect_.dispatcher = &IEffectVST::VSTDispatcher;
    effect_.process = &IEffectVST::VSTProcessAccumulating;
    effect_.setParameter = &IEffectVST::VSTSetParameter;
    effect_.getParameter = &IEffectVST::VSTGetParameter;
    effect_.processReplacing = &IEffectVST::VSTProcessFloat;
    effect_.processDoubleReplacing = &IEffectVST::VSTProcessDouble;
    effect_.numPrograms = presetCount;
    effect_.numParams = effectParamCount;
    effect_.numInputs = NInChannels();
    effect_.numOutputs = NOutChannels();
    effect_.flags = vst::effFlagsCanReplacing | vst::effFlagsCanDoubleReplacing;
    if (usesChunks_) effect_.flags |= vst::effFlagsProgramChunks;
    if (LegalIO(1, -1)) effect_.flags |= vst::effFlagsCanMono;
    if (isInstrument_) effect_.flags |= vst::effFlagsIsSynth;
    effect_.initialDelay = latency_;
    effect_.ioRatio = 1.0f;
    effect_.object = this;
    effect_.uniqueID = uniqueId_;
    effect_.version = GetEffectVersion(true);

    editRect_ = ERect{};
    std::memset(&inputArrangement_, 0, sizeof inputArrangement_);
    std::memset(&outputArrangement_, 0, sizeof outputArrangement_);
    inputArrangement_.numChannels = NInChannels();
    inputArrangement_.type = ChannelCountToSpeakerArrangement(NInChannels());
    outputArrangement_.numChannels = NOutChannels();
    outputArrangement_.type = ChannelCountToSpeakerArrangement(NOutChannels());

    ConnectInputChannels(0, NInChannels(), true);
    ConnectOutputChannels(0, NOutChannels(), true);
    ChangeBlockSize(kInitialBlockSize);
}

// ---- IEffectBase operations through the host ---------------------------------------------------------

VstIntPtr IEffectVST::HostCall(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (hostCallback_ == nullptr) return 0;
    return hostCallback_(&effect_, opcode, index, value, ptr, opt);
}

void IEffectVST::BeginParameterEdit(int parameterIndex)
{
    HostCall(vst::audioMasterBeginEdit, parameterIndex);
}

void IEffectVST::NotifyHostOfParameterChange(int parameterIndex, double normalized)
{
    HostCall(vst::audioMasterAutomate, parameterIndex, 0, nullptr, static_cast<float>(normalized));
}

void IEffectVST::EndParameterEdit(int parameterIndex)
{
    HostCall(vst::audioMasterEndEdit, parameterIndex);
}

void IEffectVST::NotifyHostOfPresetChange()
{
    HostCall(vst::audioMasterUpdateDisplay);
}

const VstTimeInfo* IEffectVST::QueryTime(VstInt32 filter)
{
    return reinterpret_cast<const VstTimeInfo*>(HostCall(vst::audioMasterGetTime, 0, filter));
}

int64_t IEffectVST::GetSamplePosition()
{
    const VstTimeInfo* time = QueryTime(0);
    if (time == nullptr || !(time->samplePos >= 0.0)) return 0;
    const double rounded = time->samplePos + 0.5;
    if (rounded >= 9.2e18) return INT64_MAX;
    return static_cast<int64_t>(rounded);
}

double IEffectVST::GetHostTempo()
{
    const VstTimeInfo* time = QueryTime(vst::kVstTempoValid);
    if (time != nullptr && (time->flags & vst::kVstTempoValid) && time->tempo >= 0.0 &&
        std::isfinite(time->tempo))
    {
        return time->tempo;
    }
    return kDefaultTempo;
}

void IEffectVST::GetTimeSignature(int* numerator, int* denominator)
{
    int num = 4;
    int den = 4;
    const VstTimeInfo* time = QueryTime(vst::kVstTimeSigValid);
    if (time != nullptr && (time->flags & vst::kVstTimeSigValid) && time->timeSigNumerator > 0 &&
        time->timeSigDenominator > 0)
    {
        num = time->timeSigNumerator;
        den = time->timeSigDenominator;
    }
    if (numerator != nullptr) *numerator = num;
    if (denominator != nullptr) *denominator = den;
}

void IEffectVST::GetTransportInfo(ITransportInfo* info)
{
    if (info == nullptr) return;
    constexpr VstInt32 kWanted = vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstBarsValid |
                                 vst::kVstCyclePosValid | vst::kVstTimeSigValid;
    const VstTimeInfo* time = QueryTime(kWanted);
    if (time == nullptr || (time->flags & kWanted) == 0) return;
    const VstInt32 flags = time->flags;
    if (std::isfinite(time->samplePos)) info->samplePosition = time->samplePos;
    if ((flags & vst::kVstPpqPosValid) && time->ppqPos >= 0.0 && std::isfinite(time->ppqPos))
    {
        info->ppqPosition = time->ppqPos;
    }
    if ((flags & vst::kVstTempoValid) && time->tempo > 0.0 && std::isfinite(time->tempo))
        info->tempo = time->tempo;
    if ((flags & vst::kVstBarsValid) && time->barStartPos >= 0.0 && std::isfinite(time->barStartPos))
    {
        info->lastBarStart = time->barStartPos;
    }
    if ((flags & vst::kVstCyclePosValid) && time->cycleStartPos >= 0.0 && time->cycleEndPos >= 0.0 &&
        std::isfinite(time->cycleStartPos) && std::isfinite(time->cycleEndPos))
    {
        info->cycleStart = time->cycleStartPos;
        info->cycleEnd = time->cycleEndPos;
    }
    if ((flags & vst::kVstTimeSigValid) && time->timeSigNumerator > 0 && time->timeSigDenominator > 0)
    {
        info->numerator = time->timeSigNumerator;
        info->denominator = time->timeSigDenominator;
    }
    info->playing = (flags & vst::kVstTransportPlaying) != 0;
    info->cycleActive = (flags & vst::kVstTransportCycleActive) != 0;
}

int IEffectVST::GetHostId()
{
    if (hostId_ != kHostUninit) return hostId_;
    char product[256] = {}; // zeroed: a host that answers nothing leaves an empty text
    HostCall(vst::audioMasterGetProductString, 0, 0, product);
    product[sizeof product - 1] = 0;
    if (product[0] == 0)
    {
        SetHost("", 0);
    }
    else
    {
        VstIntPtr v = HostCall(vst::audioMasterGetVendorVersion);
        if (v < 0 || v > INT32_MAX) v = 0;
        const int major = static_cast<int>(v / 10000);
        const int minor = static_cast<int>((v % 10000) / 100);
        const int patch = static_cast<int>(v % 100);
        SetHost(product, (major << 16) | (minor << 8) | patch);
    }
    return hostId_;
}

void IEffectVST::ResizeEditor()
{
    IEffectLockGuard guard(plugLock_);
    editRect_ = ERect{};
    if (editor_ != nullptr)
    {
        editRect_.bottom = static_cast<VstInt16>(editor_->Height());
        editRect_.right = static_cast<VstInt16>(editor_->Width());
    }
}

void IEffectVST::AdaptToHost()
{
    if (hostSetupDone_) return;
    hostSetupDone_ = true;
    if (IsHostWithTwoInputs(GetHostId())) ReduceToTwoChannels();
    inputArrangement_.numChannels = effect_.numInputs = NInChannels();
    outputArrangement_.numChannels = effect_.numOutputs = NOutChannels();
}

void IEffectVST::AttachEditor(IEffectEditor* editor)
{
    IEffectLockGuard guard(plugLock_);
    IEffectBase::AttachEditor(editor);
    if (editor_ != nullptr)
    {
        effect_.flags |= vst::effFlagsHasEditor;
    }
    else
    {
        effect_.flags &= ~vst::effFlagsHasEditor;
    }
    ResizeEditor();
}

void IEffectVST::ChangeLatency(int samples)
{
    IEffectBase::ChangeLatency(samples);
    effect_.initialDelay = samples;
}

bool IEffectVST::SendMidiMessage(const IMidiMessage& message)
{
    VstMidiEvent event{};
    event.type = vst::kVstMidiType;
    event.byteSize = static_cast<VstInt32>(sizeof(VstMidiEvent));
    event.deltaFrames = message.offset;
    event.midiData[0] = static_cast<char>(message.status);
    event.midiData[1] = static_cast<char>(message.data1);
    event.midiData[2] = static_cast<char>(message.data2);
    VstEvents list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<VstEvent*>(&event);
    return HostCall(vst::audioMasterProcessEvents, 0, 0, &list) == 1;
}

bool IEffectVST::SendMidiMessages(const HeapBuffer& messages)
{
    const IMidiMessage* list = static_cast<const IMidiMessage*>(messages.Data());
    const int count = messages.Size() / static_cast<int>(sizeof(IMidiMessage));
    bool all = true;
    for (int i = 0; i < count; ++i)
        all = SendMidiMessage(list[i]) && all;
    return all;
}

void IEffectVST::ReturnEventToHost(VstEvent* event)
{
    VstEvents list{};
    list.numEvents = 1;
    list.events[0] = event;
    HostCall(vst::audioMasterProcessEvents, 0, 0, &list);
}

// ---- processing -----------------------------------------------------------------------------------

bool IEffectVST::PrepareProcessFloat(float** inputs, float** outputs, int frames)
{
    if (frames <= 0) return false;
    if (doesMidi_) HostCall(vst::audioMasterWantMidi);
    // Hosts may send more frames than the block size they announced.
    if (frames > blockSize_) ChangeBlockSize(frames);
    if (frames > blockSize_) return false;
    ConnectInputBuffersFloat(inputs, 0, NInChannels(), frames);
    ConnectOutputBuffersFloat(outputs, 0, NOutChannels());
    return true;
}

bool IEffectVST::PrepareProcessDouble(double** inputs, double** outputs, int frames)
{
    if (frames <= 0) return false;
    if (doesMidi_) HostCall(vst::audioMasterWantMidi);
    if (frames > blockSize_) ChangeBlockSize(frames);
    if (frames > blockSize_) return false;
    ConnectInputBuffersDouble(inputs, 0, NInChannels());
    ConnectOutputBuffersDouble(outputs, 0, NOutChannels());
    return true;
}

void IEffectVST::OutputSilence(float** outputs, int frames, bool accumulate) const
{
    if (outputs == nullptr || frames <= 0 || accumulate) return;
    for (int i = 0; i < NOutChannels(); ++i)
    {
        if (outputs[i] != nullptr) std::memset(outputs[i], 0, static_cast<size_t>(frames) * sizeof(float));
    }
}

IEffectVST* IEffectVST::FromEffect(AEffect* effect)
{
    if (effect == nullptr || effect->object == nullptr) return nullptr;
    return static_cast<IEffectVST*>(effect->object);
}

void IEffectVST::VSTSetParameter(AEffect* effect, VstInt32 index, float value)
{
    IEffectVST* plug = FromEffect(effect);
    if (plug == nullptr) return;
    try
    {
        IEffectLockGuard guard(plug->plugLock_);
        TracePoint("IEffectVST::VSTSetParameter", __LINE__, "%d:%f", index, value);
        IParameter* parameter = plug->GetParameter(index);
        if (parameter == nullptr) return;
        double n = value;
        if (!(n >= 0.0)) n = 0.0; // also NaN
        if (n > 1.0) n = 1.0;
        if (plug->editor_ != nullptr) plug->editor_->UpdateParameterControls(index, n, true);
        parameter->SetNormalizedValue(n);
        plug->OnParameterChanged(index);
    }
    catch (...)
    {
    }
}

float IEffectVST::VSTGetParameter(AEffect* effect, VstInt32 index)
{
    IEffectVST* plug = FromEffect(effect);
    if (plug == nullptr) return 0.0f;
    try
    {
        IEffectLockGuard guard(plug->plugLock_);
        const IParameter* parameter = plug->GetParameter(index);
        return parameter != nullptr ? static_cast<float>(parameter->GetNormalizedValue()) : 0.0f;
    }
    catch (...)
    {
        return 0.0f;
    }
}

void IEffectVST::VSTProcessFloat(AEffect* effect, float** inputs, float** outputs, VstInt32 frames)
{
    IEffectVST* plug = FromEffect(effect);
    if (plug == nullptr) return;
    try
    {
        IEffectLockGuard guard(plug->plugLock_);
        if (plug->PrepareProcessFloat(inputs, outputs, frames))
        {
            plug->ProcessBuffersFloat(frames);
        }
        else
        {
            plug->OutputSilence(outputs, frames, false);
        }
    }
    catch (...)
    {
        plug->OutputSilence(outputs, frames, false);
    }
}

void IEffectVST::VSTProcessAccumulating(AEffect* effect, float** inputs, float** outputs, VstInt32 frames)
{
    IEffectVST* plug = FromEffect(effect);
    if (plug == nullptr) return;
    try
    {
        IEffectLockGuard guard(plug->plugLock_);
        if (plug->PrepareProcessFloat(inputs, outputs, frames)) plug->ProcessBuffersAccumulating(frames);
    }
    catch (...)
    {
    }
}

void IEffectVST::VSTProcessDouble(AEffect* effect, double** inputs, double** outputs, VstInt32 frames)
{
    IEffectVST* plug = FromEffect(effect);
    if (plug == nullptr) return;
    try
    {
        IEffectLockGuard guard(plug->plugLock_);
        if (plug->PrepareProcessDouble(inputs, outputs, frames)) plug->ProcessBuffersDouble(frames);
    }
    catch (...)
    {
        if (outputs != nullptr && frames > 0)
        {
            for (int i = 0; i < plug->NOutChannels(); ++i)
            {
                if (outputs[i] != nullptr)
                    std::memset(outputs[i], 0, static_cast<size_t>(frames) * sizeof(double));
            }
        }
    }
}
