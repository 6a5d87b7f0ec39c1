#include "framework/IEffectBase.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "framework/HostId.h"
#include "framework/Trace.h"

namespace
{

void CopyName(char (&dest)[IEffectBase::kNameSize], const char* text)
{
    std::snprintf(dest, sizeof dest, "%s", text != nullptr ? text : "");
}

double LimitNormalized(double n)
{
    if (!(n >= 0.0)) return 0.0; // also NaN
    return n > 1.0 ? 1.0 : n;
}

template <class T> T* AddOrThrow(PtrList<T>& list, T* item)
{
    if (list.Add(item) == nullptr)
    {
        delete item;
        throw std::bad_alloc();
    }
    return item;
}

} // namespace

// ---- construction ----------------------------------------------------------------------------

IEffectBase::IEffectBase(int hostVisibleCount, int parameterCount, const char* /*channelIOText*/,
                         int /*presetCount*/, const char* /*effectName*/, const char* /*productName*/,
                         const char* /*makerName*/, int version, int uniqueId, int makerId, int latency,
                         bool doesMidi, bool usesChunks, bool isInstrument, int pluginApi)
    : channelIOList_(128), hostVisibleCount_(hostVisibleCount), parameterCount_(parameterCount),
      uniqueId_(uniqueId), makerId_(makerId), version_(version), pluginApi_(pluginApi),
      usesChunks_(usesChunks), isInstrument_(isInstrument), latency_(latency), doesMidi_(doesMidi),
      parameters_(4096), presets_(128), inputPointers_(128), outputPointers_(128), inputChannels_(128),
      outputChannels_(128)
{
}

IEffectBase::~IEffectBase()
{
    delete editor_;
    editor_ = nullptr;
    parameters_.Clear();
    parameterBlocks_.clear();
    presets_.DeleteAll();
    channelIOList_.DeleteAll();
    inputChannels_.DeleteAll();
    outputChannels_.DeleteAll();
}

void IEffectBase::initialize(int hostVisibleCount, int parameterCount, const char* channelIOText,
                             int presetCount, const char* effectName, const char* productName,
                             const char* makerName)
{
    char time[64];
    FormatCurrentTime(time, sizeof time);
    TracePoint("IEffectBase::initialize", __LINE__, "%s", time);
    hostVisibleCount_ = hostVisibleCount;
    parameterCount_ = std::max(parameterCount, 0);

    // One block for all parameters: tens of thousands of separate allocations cost time and memory.
    auto& block =
        parameterBlocks_.emplace_back(std::make_unique<IParameter[]>(static_cast<size_t>(parameterCount_)));
    parameters_.Reserve(parameters_.Count() + parameterCount_);
    for (int i = 0; i < parameterCount_; ++i)
    {
        IParameter* parameter = &block[static_cast<size_t>(i)];
        if (parameters_.Add(parameter) == nullptr) throw std::bad_alloc();
        if (i >= hostVisibleCount_) parameter->SetNotAutomated(true);
    }
    for (int i = 0; i < presetCount; ++i)
        AddOrThrow(presets_, new IPreset());

    CopyName(effectName_, effectName);
    CopyName(productName_, productName);
    CopyName(makerName_, makerName);

    int inputCount = 0;
    int outputCount = 0;
    for (const char* p = channelIOText != nullptr ? channelIOText : ""; *p != 0;)
    {
        int inputs = 0;
        int outputs = 0;
        int consumed = 0;
        const bool channelIOStrValid =
            std::sscanf(p, "%d-%d%n", &inputs, &outputs, &consumed) == 2 && consumed > 0;
        assert(channelIOStrValid);
        if (!channelIOStrValid) break;
        IChannelIO* io = AddOrThrow(channelIOList_, new IChannelIO());
        io->inputs = inputs;
        io->outputs = outputs;
        inputCount = std::max(inputCount, inputs);
        outputCount = std::max(outputCount, outputs);
        p += consumed;
        if (*p == ' ') ++p;
    }

    inputPointers_.SetSize(inputCount * static_cast<int>(sizeof(double*)), false);
    outputPointers_.SetSize(outputCount * static_cast<int>(sizeof(double*)), false);
    if (inputPointers_.Size() != inputCount * static_cast<int>(sizeof(double*)) ||
        outputPointers_.Size() != outputCount * static_cast<int>(sizeof(double*)))
    {
        throw std::bad_alloc();
    }
    for (int i = 0; i < inputCount; ++i)
    {
        IChannel* channel = AddOrThrow(inputChannels_, new IChannel());
        channel->slot = InputPointers() + i;
        *channel->slot = nullptr;
    }
    for (int i = 0; i < outputCount; ++i)
    {
        IChannel* channel = AddOrThrow(outputChannels_, new IChannel());
        channel->slot = OutputPointers() + i;
        *channel->slot = nullptr;
    }
}

// ---- virtual operations ------------------------------------------------------------------------

void IEffectBase::ResetProcessing()
{
    IEffectLockGuard guard(plugLock_);
}

void IEffectBase::OnPromptedParameterChange(int, int, int, int, int)
{
    IEffectLockGuard guard(plugLock_);
}

void IEffectBase::OnParameterChanged(int)
{
    IEffectLockGuard guard(plugLock_);
}

void IEffectBase::OnActiveChanged(bool)
{
    IEffectLockGuard guard(plugLock_);
}

void IEffectBase::ProcessAudioBlock(double** inputs, double** outputs, int frames)
{
    if (outputs == nullptr || frames <= 0) return;
    const int nIn = NInChannels();
    for (int i = 0; i < NOutChannels(); ++i)
    {
        if (outputs[i] == nullptr) continue;
        if (i < nIn && inputs != nullptr && inputs[i] != nullptr)
        {
            std::memmove(outputs[i], inputs[i], static_cast<size_t>(frames) * sizeof(double));
        }
        else
        {
            std::fill(outputs[i], outputs[i] + frames, 0.0);
        }
    }
}

void IEffectBase::ProcessAudioBlockFloat(float** inputs, float** outputs, int frames)
{
    if (outputs == nullptr || frames <= 0) return;
    const int nIn = NInChannels();
    for (int i = 0; i < NOutChannels(); ++i)
    {
        if (outputs[i] == nullptr) continue;
        if (i < nIn && inputs != nullptr && inputs[i] != nullptr)
        {
            std::memmove(outputs[i], inputs[i], static_cast<size_t>(frames) * sizeof(float));
        }
        else
        {
            std::fill(outputs[i], outputs[i] + frames, 0.0f);
        }
    }
}

void IEffectBase::HandleMidiMessage(const IMidiMessage& message)
{
    SendMidiMessage(message);
}

bool IEffectBase::GetMidiNoteName(int, char* text, int textSize)
{
    if (text != nullptr && textSize > 0) text[0] = 0;
    return false;
}

bool IEffectBase::WriteState(IStateChunk* chunk)
{
    IEffectLockGuard guard(plugLock_);
    return SerializeParams(chunk);
}

int IEffectBase::ReadState(const IStateChunk* chunk, int pos, bool skipKept)
{
    return UnserializeParams(chunk, pos, skipKept);
}

void IEffectBase::AttachEditor(IEffectEditor* editor)
{
    IEffectLockGuard guard(plugLock_);
    if (editor == editor_) return;
    if (editor != nullptr) editor->PrepareDrawing();
    delete editor_;
    editor_ = editor;
}

void IEffectBase::ChangeBlockSize(int frames)
{
    if (frames == blockSize_ || frames <= 0 || frames > kMaxBlockSize) return;
    const int bytes = frames * static_cast<int>(sizeof(double));
    bool ok = true;
    for (PtrList<IChannel>* list : {&inputChannels_, &outputChannels_})
    {
        for (int i = 0; i < list->Count(); ++i)
        {
            HeapBuffer& scratch = list->Get(i)->scratch;
            scratch.SetSize(bytes, true);
            ok = ok && scratch.Size() == bytes;
        }
    }
    const int keptBytes = (ok ? frames : blockSize_) * static_cast<int>(sizeof(double));
    for (PtrList<IChannel>* list : {&inputChannels_, &outputChannels_})
    {
        for (int i = 0; i < list->Count(); ++i)
        {
            IChannel* channel = list->Get(i);
            if (!ok) channel->scratch.SetSize(keptBytes, true);
            if (channel->scratch.Data() != nullptr)
                std::memset(channel->scratch.Data(), 0, static_cast<size_t>(keptBytes));
            *channel->slot = channel->ScratchData();
        }
    }
    if (ok) blockSize_ = frames;
}

void IEffectBase::RedrawParameterControls()
{
    if (editor_ != nullptr) editor_->RefreshParameterControls();
}

bool IEffectBase::ParametersMatch(const double* values, int start)
{
    if (values == nullptr || start < 0) return false;
    for (int i = 0; i < NParameters(); ++i)
    {
        const float value = static_cast<float>(GetParameter(i)->Value());
        if (!(std::fabs(value - values[start + i]) < 1e-5)) return false;
    }
    return true;
}

// ---- parameters and the editor road ------------------------------------------------------------

void IEffectBase::SetParameterFromGUI(int i, double n)
{
    TracePoint("IEffectBase::SetParameterFromGUI", __LINE__, "%d:%f", i, n);
    IEffectLockGuard guard(plugLock_);
    IParameter* parameter = GetParameter(i);
    if (parameter == nullptr) return;
    n = LimitNormalized(n);
    parameter->SetNormalizedValue(n);
    if (IsSavedEdit(i)) NoteEditorEdit();
    if (!parameter->IsNotAutomated() && i < hostVisibleCount_) NotifyHostOfParameterChange(i, n);
    OnParameterChanged(i);
}

void IEffectBase::SetParameterFromGUIPrompt(int controlListIndex, int parameterIndex, int menuParameterIndex,
                                            double n, int x, int y)
{
    IEffectLockGuard guard(plugLock_);
    IParameter* menuParameter = GetParameter(menuParameterIndex);
    if (menuParameter == nullptr) return;
    n = LimitNormalized(n);
    menuParameter->SetNormalizedValue(n);
    if (IsSavedEdit(menuParameterIndex)) NoteEditorEdit();
    if (!menuParameter->IsNotAutomated() && menuParameterIndex < hostVisibleCount_)
    {
        NotifyHostOfParameterChange(menuParameterIndex, n);
    }
    OnPromptedParameterChange(controlListIndex, parameterIndex, menuParameterIndex, x, y);
}

bool IEffectBase::TellHostOfEditorEdits()
{
    if (!userEdited_.load(std::memory_order_acquire) || UserEditUnderway()) return false;
    if (!userEdited_.exchange(false, std::memory_order_acq_rel)) return false;
    NotifyHostOfPresetChange();
    return true;
}

void IEffectBase::OnParametersReset()
{
    for (int i = 0; i < NParameters(); ++i)
        OnParameterChanged(i);
    ResetProcessing();
}

// ---- channels and block processing ---------------------------------------------------------------

void IEffectBase::ChangeSampleRate(double rate)
{
    // No audio interface runs below 1 kHz; at a rate far below it a beat lasts a few samples or
    // less, and the steps a block runs through (and the notes it sends) would grow without bound.
    constexpr double kLowestRate = 1000.0;
    if (std::isfinite(rate) && rate >= kLowestRate) sampleRate_ = rate;
}

double IEffectBase::GetSamplesPerBeat()
{
    const double tempo = GetHostTempo();
    return tempo > 0.0 ? sampleRate_ * 60.0 / tempo : 0.0;
}

bool IEffectBase::LegalIO(int inputs, int outputs) const
{
    for (int i = 0; i < channelIOList_.Count(); ++i)
    {
        const IChannelIO* io = channelIOList_.Get(i);
        if ((inputs == -1 || inputs == io->inputs) && (outputs == -1 || outputs == io->outputs)) return true;
    }
    return false;
}

bool IEffectBase::IsInputConnected(int i) const
{
    const IChannel* channel = inputChannels_.Get(i);
    return channel != nullptr && channel->connected;
}

bool IEffectBase::IsOutputConnected(int i) const
{
    const IChannel* channel = outputChannels_.Get(i);
    return channel != nullptr && channel->connected;
}

void IEffectBase::ConnectChannels(PtrList<IChannel>& channels, int first, int count, bool connected)
{
    first = std::max(first, 0);
    count = std::max(count, 0);
    const int end =
        static_cast<int>(std::min<int64_t>(static_cast<int64_t>(first) + count, channels.Count()));
    for (int i = first; i < end; ++i)
    {
        IChannel* channel = channels.Get(i);
        channel->connected = connected;
        if (!connected)
        {
            *channel->slot = channel->ScratchData();
            channel->hostFloatDest = nullptr;
        }
    }
}

void IEffectBase::ConnectInputChannels(int first, int count, bool connected)
{
    ConnectChannels(inputChannels_, first, count, connected);
}

void IEffectBase::ConnectOutputChannels(int first, int count, bool connected)
{
    ConnectChannels(outputChannels_, first, count, connected);
}

namespace
{

// Calls bind(channel, hostIndex) for every connected channel of first .. first + count - 1.
template <class Bind> void ForConnected(PtrList<IChannel>& channels, int first, int count, Bind bind)
{
    first = std::max(first, 0);
    count = std::max(count, 0);
    const int end =
        static_cast<int>(std::min<int64_t>(static_cast<int64_t>(first) + count, channels.Count()));
    for (int i = first; i < end; ++i)
    {
        IChannel* channel = channels.Get(i);
        if (channel->connected) bind(channel, i - first);
    }
}

} // namespace

void IEffectBase::ConnectInputBuffersFloat(float** buffers, int first, int count, int frames)
{
    frames = std::clamp(frames, 0, blockSize_);
    ForConnected(inputChannels_, first, count,
                 [&](IChannel* channel, int j)
                 {
                     double* scratch = channel->ScratchData();
                     const float* source = buffers != nullptr ? buffers[j] : nullptr;
                     if (source != nullptr && scratch != nullptr)
                     {
                         for (int k = 0; k < frames; ++k)
                             scratch[k] = source[k];
                     }
                     *channel->slot = scratch;
                 });
}

void IEffectBase::ConnectInputBuffersDouble(double** buffers, int first, int count)
{
    ForConnected(inputChannels_, first, count,
                 [&](IChannel* channel, int j)
                 {
                     double* source = buffers != nullptr ? buffers[j] : nullptr;
                     *channel->slot = source != nullptr ? source : channel->ScratchData();
                 });
}

void IEffectBase::ConnectOutputBuffersFloat(float** buffers, int first, int count)
{
    ForConnected(outputChannels_, first, count,
                 [&](IChannel* channel, int j)
                 {
                     *channel->slot = channel->ScratchData();
                     channel->hostFloatDest = buffers != nullptr ? buffers[j] : nullptr;
                 });
}

void IEffectBase::ConnectOutputBuffersDouble(double** buffers, int first, int count)
{
    ForConnected(outputChannels_, first, count,
                 [&](IChannel* channel, int j)
                 {
                     double* dest = buffers != nullptr ? buffers[j] : nullptr;
                     *channel->slot = dest != nullptr ? dest : channel->ScratchData();
                     channel->hostFloatDest = nullptr;
                 });
}

void IEffectBase::FinishFloatOutputs(int frames, bool accumulate)
{
    for (int i = 0; i < NOutChannels(); ++i)
    {
        IChannel* channel = outputChannels_.Get(i);
        const double* scratch = channel->ScratchData();
        float* dest = channel->hostFloatDest;
        if (!channel->connected || dest == nullptr || scratch == nullptr) continue;
        if (accumulate)
        {
            for (int k = 0; k < frames; ++k)
                dest[k] += static_cast<float>(scratch[k]);
        }
        else
        {
            for (int k = 0; k < frames; ++k)
                dest[k] = static_cast<float>(scratch[k]);
        }
    }
}

void IEffectBase::ProcessBuffersFloat(int frames)
{
    if (frames <= 0 || frames > blockSize_) return;
    ProcessAudioBlock(InputPointers(), OutputPointers(), frames);
    FinishFloatOutputs(frames, false);
}

void IEffectBase::ProcessBuffersAccumulating(int frames)
{
    if (frames <= 0 || frames > blockSize_) return;
    ProcessAudioBlock(InputPointers(), OutputPointers(), frames);
    FinishFloatOutputs(frames, true);
}

void IEffectBase::ProcessBuffersDouble(int frames)
{
    if (frames <= 0 || frames > blockSize_) return;
    ProcessAudioBlock(InputPointers(), OutputPointers(), frames);
}

void IEffectBase::ReduceToTwoChannels()
{
    ConnectInputChannels(2, NInChannels() - 2, false);
}

// ---- versions and host ----------------------------------------------------------------------------

int IEffectBase::GetEffectVersion(bool asDecimal) const
{
    if (!asDecimal) return version_;
    const int major = (version_ >> 16) & 0xFFFF;
    const int minor = (version_ >> 8) & 0xFF;
    const int patch = version_ & 0xFF;
    return major * 10000 + minor * 100 + patch;
}

void IEffectBase::GetEffectVersionText(char* text, int textSize) const
{
    if (text == nullptr || textSize <= 0) return;
    std::snprintf(text, static_cast<size_t>(textSize), "v%d.%d.%d", (version_ >> 16) & 0xFFFF,
                  (version_ >> 8) & 0xFF, version_ & 0xFF);
}

void IEffectBase::SetHost(const char* productText, int packedVersion)
{
    hostId_ = FindHostId(productText);
    hostVersion_ = packedVersion;
    TracePoint("IEffectBase::SetHost", __LINE__, "host_%sknown:%s:%s", hostId_ == kHostUnknown ? "un" : "",
               productText != nullptr ? productText : "", "");
}
