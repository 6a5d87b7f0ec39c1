#include "tools/host/ValidatorEffect.h"

#include "tools/host/AllocationCounter.h"
#include "tools/host/PluginModule.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

namespace quova::host
{
namespace
{
constexpr int32_t kMaxChannels = 64;
constexpr VstIntPtr kMaxChunkBytes = VstIntPtr(1) << 30;
// Probing for named parameters stops after this many nameless indexes in a row.
constexpr int32_t kProbeGap = 1 << 14;
constexpr int32_t kProbeLimit = 1 << 20;

// The instances alive in this process, for the callback to find its own. A
// fixed table under a lock: the callback runs on the audio thread and must not
// allocate.
constexpr int kMaxInstances = 16;
std::mutex gRegistryLock;
AEffect* gEffects[kMaxInstances] = {};
ValidatorEffect* gInstances[kMaxInstances] = {};
// The instance whose module entry runs on this thread: the plug-in may call
// back before its record is known.
thread_local ValidatorEffect* tConstructing = nullptr;

void Register(AEffect* effect, ValidatorEffect* instance)
{
    std::lock_guard<std::mutex> lock(gRegistryLock);
    for (int i = 0; i < kMaxInstances; ++i)
        if (!gEffects[i])
        {
            gEffects[i] = effect;
            gInstances[i] = instance;
            return;
        }
}

void Unregister(AEffect* effect)
{
    std::lock_guard<std::mutex> lock(gRegistryLock);
    for (int i = 0; i < kMaxInstances; ++i)
        if (gEffects[i] == effect) gEffects[i] = nullptr, gInstances[i] = nullptr;
}

VstIntPtr Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    ValidatorEffect* instance = tConstructing;
    if (effect)
    {
        std::lock_guard<std::mutex> lock(gRegistryLock);
        for (int i = 0; i < kMaxInstances; ++i)
            if (gEffects[i] == effect) instance = gInstances[i];
    }
    if (instance) return instance->HandleCallback(opcode, index, value, ptr, opt);
    return opcode == vst::audioMasterVersion ? vst::kVstVersion : 0;
}

void CopyText(const char* text, void* ptr, std::size_t capacity)
{
    auto* out = static_cast<char*>(ptr);
    const std::size_t length = std::min(std::strlen(text), capacity - 1);
    std::memcpy(out, text, length);
    out[length] = '\0';
}

// The input pattern: distinct, finite, never zero, so a write shows.
float InputSample(std::size_t channel, std::size_t frame)
{
    return 0.25f + float(channel) * 0.125f + float(frame % 97) * (1.0f / 1024.0f);
}

int DataBytes(uint8_t status)
{
    switch (status & 0xF0)
    {
    case 0xC0:
    case 0xD0:
        return 1;
    case 0xF0:
        return 0;
    default:
        return 2;
    }
}
} // namespace

bool BlockFindings::Clean() const
{
    return nonZeroOutputs == 0 && changedInputs == 0 && eventsOutside == 0 && eventsOutOfOrder == 0 &&
           badBytes == 0 && lostEvents == 0;
}

void BlockFindings::Merge(const BlockFindings& other)
{
    blocks += other.blocks;
    frames += other.frames;
    events += other.events;
    nonZeroOutputs += other.nonZeroOutputs;
    changedInputs += other.changedInputs;
    eventsOutside += other.eventsOutside;
    eventsOutOfOrder += other.eventsOutOfOrder;
    badBytes += other.badBytes;
    lostEvents += other.lostEvents;
    otherThreadEvents += other.otherThreadEvents;
    allocations += other.allocations;
    maxAllocationsPerBlock = std::max(maxAllocationsPerBlock, other.maxAllocationsPerBlock);
    if (firstProblem.empty()) firstProblem = other.firstProblem;
}

std::string BlockFindings::Describe() const
{
    std::ostringstream text;
    text << blocks << " blocks, " << frames << " frames, " << events << " events";
    const auto add = [&text](int64_t count, const char* what)
    {
        if (count > 0) text << "; " << count << ' ' << what;
    };
    add(nonZeroOutputs, "output samples not zero");
    add(changedInputs, "input samples changed");
    add(eventsOutside, "events outside their block");
    add(eventsOutOfOrder, "events out of time order");
    add(badBytes, "malformed events");
    add(lostEvents, "events beyond the log");
    add(otherThreadEvents, "events sent from another thread while a block was processed");
    if (!firstProblem.empty()) text << " (first: " << firstProblem << ')';
    return text.str();
}

ValidatorEffect::ValidatorEffect()
{
    events_.reserve(kEventCapacity);
    for (int i = 0; i < kMaxQueued; ++i)
        queueList_.events[i] = reinterpret_cast<VstEvent*>(&queued_[i]);
}

ValidatorEffect::~ValidatorEffect()
{
    Close();
}

bool ValidatorEffect::Open(const std::string& path, std::string& error)
{
    if (effect_)
    {
        error = "already open";
        return false;
    }
    std::unique_ptr<PluginModule> module = PluginModule::Load(path, error);
    if (!module) return false;
    const VstPluginMainProc entry = module->Entry();
    if (!entry)
    {
        error = path + " has no VSTPluginMain entry";
        return false;
    }
    tConstructing = this;
    AEffect* effect = entry(&Callback);
    tConstructing = nullptr;
    if (!effect || effect->magic != vst::kEffectMagic || !effect->dispatcher || !effect->processReplacing ||
        !effect->setParameter || !effect->getParameter || effect->numInputs < 0 ||
        effect->numInputs > kMaxChannels || effect->numOutputs < 0 || effect->numOutputs > kMaxChannels)
    {
        error = path + " gave no usable effect record";
        return false;
    }
    module_ = std::move(module);
    effect_ = effect;
    Register(effect_, this);
    effect_->dispatcher(effect_, vst::effOpen, 0, 0, nullptr, 0.0f);
    return true;
}

void ValidatorEffect::Setup(double sampleRate, int32_t blockSize)
{
    sampleRate_ = sampleRate;
    Dispatch(vst::effSetSampleRate, 0, 0, nullptr, float(sampleRate));
    Dispatch(vst::effSetBlockSize, 0, blockSize);
}

void ValidatorEffect::Resume()
{
    if (!effect_ || resumed_) return;
    Dispatch(vst::effMainsChanged, 0, 1);
    Dispatch(vst::effStartProcess);
    resumed_ = true;
}

void ValidatorEffect::Suspend()
{
    if (!effect_ || !resumed_) return;
    Dispatch(vst::effStopProcess);
    Dispatch(vst::effMainsChanged, 0, 0);
    resumed_ = false;
}

void ValidatorEffect::Close()
{
    if (effect_)
    {
        Suspend();
        effect_->dispatcher(effect_, vst::effClose, 0, 0, nullptr, 0.0f);
        Unregister(effect_);
        effect_ = nullptr;
    }
    module_.reset();
}

VstIntPtr ValidatorEffect::Dispatch(int32_t opcode, int32_t index, VstIntPtr value, void* ptr, float opt)
{
    return effect_ ? effect_->dispatcher(effect_, opcode, index, value, ptr, opt) : 0;
}

void ValidatorEffect::SetParameter(int32_t index, float value)
{
    if (effect_) effect_->setParameter(effect_, index, value);
}

float ValidatorEffect::GetParameter(int32_t index)
{
    return effect_ ? effect_->getParameter(effect_, index) : 0.0f;
}

int32_t ValidatorEffect::ProbeParameterCount()
{
    if (!effect_) return 0;
    if (effect_->numParams > 0) return effect_->numParams;
    int32_t count = 0;
    char name[256]; // far more than the 8 the interface promises: plug-ins write longer names
    for (int32_t index = 0; index < kProbeLimit && index - count < kProbeGap; ++index)
    {
        std::memset(name, 0, sizeof name);
        Dispatch(vst::effGetParamName, index, 0, name);
        if (name[0] != '\0') count = index + 1;
    }
    return count;
}

bool ValidatorEffect::GetChunk(bool bank, std::vector<uint8_t>& data)
{
    void* address = nullptr;
    const VstIntPtr size = Dispatch(vst::effGetChunk, bank ? 0 : 1, 0, &address);
    if (size <= 0 || size > kMaxChunkBytes || !address) return false;
    const auto* bytes = static_cast<const uint8_t*>(address);
    data.assign(bytes, bytes + size);
    return true;
}

bool ValidatorEffect::SetChunk(const std::vector<uint8_t>& data, bool bank)
{
    // A copy that lives only for the call, as a host's buffer would.
    std::vector<uint8_t> copy = data;
    return Dispatch(vst::effSetChunk, bank ? 0 : 1, VstIntPtr(copy.size()),
                    copy.empty() ? nullptr : copy.data()) != 0;
}

bool ValidatorEffect::QueueMidi(int32_t offset, uint8_t status, uint8_t data1, uint8_t data2)
{
    if (queuedCount_ >= kMaxQueued) return false;
    VstMidiEvent& event = queued_[queuedCount_++];
    event = VstMidiEvent{};
    event.type = vst::kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = offset;
    event.midiData[0] = char(status);
    event.midiData[1] = char(data1);
    event.midiData[2] = char(data2);
    return true;
}

void ValidatorEffect::SetTimeInfo(const VstTimeInfo* info)
{
    timeValid_ = info != nullptr;
    if (info) time_ = *info;
}

void ValidatorEffect::ClearEvents()
{
    std::lock_guard<std::mutex> lock(eventLock_);
    events_.clear();
}

void ValidatorEffect::Process(int32_t frames)
{
    if (!effect_) return;
    frames = std::clamp(frames, 0, kMaxFrames);
    // Buffers grow here, never inside the plug-in's call.
    const auto prepare =
        [frames](std::vector<std::vector<float>>& buffers, std::vector<float*>& pointers, int32_t count)
    {
        buffers.resize(std::size_t(count));
        pointers.assign(std::size_t(count) + 1, nullptr);
        for (std::size_t c = 0; c < buffers.size(); ++c)
        {
            if (buffers[c].size() < std::size_t(frames)) buffers[c].resize(std::size_t(frames));
            pointers[c] = buffers[c].data();
        }
    };
    prepare(inputs_, inputPointers_, effect_->numInputs);
    prepare(outputs_, outputPointers_, effect_->numOutputs);
    for (std::size_t c = 0; c < inputs_.size(); ++c)
        for (std::size_t i = 0; i < std::size_t(frames); ++i)
            inputs_[c][i] = InputSample(c, i);
    for (auto& buffer : outputs_)
        std::fill(buffer.begin(), buffer.begin() + frames, std::numeric_limits<float>::quiet_NaN());

    std::size_t firstEvent;
    {
        std::lock_guard<std::mutex> lock(eventLock_);
        firstEvent = events_.size();
        currentBlock_ = blocksProcessed_;
        processingThread_ = std::this_thread::get_id();
    }
    if (queuedCount_ > 0)
    {
        queueList_.numEvents = queuedCount_;
        Dispatch(vst::effProcessEvents, 0, 0, &queueList_);
        queuedCount_ = 0;
    }
    BeginCountingAllocations();
    effect_->processReplacing(effect_, inputPointers_.data(), outputPointers_.data(), frames);
    const uint64_t allocations = EndCountingAllocations();
    {
        std::lock_guard<std::mutex> lock(eventLock_);
        currentBlock_ = -1;
        processingThread_ = std::thread::id();
    }
    CheckBlock(frames, firstEvent, allocations);
    ++blocksProcessed_;
    framesProcessed_ += frames;
}

void ValidatorEffect::CheckBlock(int32_t frames, std::size_t firstEvent, uint64_t allocations)
{
    BlockFindings& f = findings_;
    const BlockFindings before = f;
    ++f.blocks;
    f.frames += frames;
    f.allocations += allocations;
    f.maxAllocationsPerBlock = std::max(f.maxAllocationsPerBlock, allocations);
    for (const auto& buffer : outputs_)
        for (int32_t i = 0; i < frames; ++i)
            f.nonZeroOutputs += buffer[std::size_t(i)] != 0.0f;
    for (std::size_t c = 0; c < inputs_.size(); ++c)
        for (std::size_t i = 0; i < std::size_t(frames); ++i)
        {
            const float expected = InputSample(c, i);
            f.changedInputs += std::memcmp(&inputs_[c][i], &expected, sizeof(float)) != 0;
        }
    std::lock_guard<std::mutex> lock(eventLock_);
    int32_t last = 0;
    for (std::size_t e = firstEvent; e < events_.size(); ++e)
    {
        const ValidatorEvent& event = events_[e];
        if (event.block != blocksProcessed_) continue; // sent from another thread meanwhile
        ++f.events;
        if (event.offset < 0 || event.offset >= frames)
            ++f.eventsOutside;
        else if (event.offset < last)
            ++f.eventsOutOfOrder;
        last = std::max(last, event.offset);
        bool bad = event.type != vst::kVstMidiType || event.bytes[0] < 0x80;
        for (int b = 1; b <= 2; ++b)
            bad = bad || event.bytes[b] >= 0x80;
        f.badBytes += bad;
    }
    if (f.firstProblem.empty() && !f.Clean() && before.Clean())
    {
        std::ostringstream text;
        text << "block " << blocksProcessed_ << " of " << frames << " frames";
        if (f.eventsOutside > before.eventsOutside || f.eventsOutOfOrder > before.eventsOutOfOrder)
            for (std::size_t e = firstEvent; e < events_.size(); ++e)
                if (events_[e].block == blocksProcessed_)
                    text << (e == firstEvent ? ": offsets " : " ") << events_[e].offset;
        f.firstProblem = text.str().substr(0, 200);
    }
}

VstIntPtr ValidatorEffect::HandleCallback(int32_t opcode, int32_t, VstIntPtr, void* ptr, float)
{
    switch (opcode)
    {
    case vst::audioMasterVersion:
        return vst::kVstVersion;
    case vst::audioMasterGetTime:
        return timeValid_ ? reinterpret_cast<VstIntPtr>(&time_) : 0;
    case vst::audioMasterProcessEvents:
    {
        const auto* list = static_cast<const VstEvents*>(ptr);
        if (!list || list->numEvents <= 0) return 1;
        std::lock_guard<std::mutex> lock(eventLock_);
        for (VstInt32 i = 0; i < list->numEvents; ++i)
        {
            const VstEvent* event = list->events[i];
            if (!event) continue;
            if (events_.size() == events_.capacity())
            {
                ++findings_.lostEvents;
                continue;
            }
            ValidatorEvent out;
            // Events from another thread do not belong to the block being processed.
            const bool otherThread = std::this_thread::get_id() != processingThread_;
            if (otherThread && currentBlock_ >= 0) ++findings_.otherThreadEvents;
            out.block = otherThread ? -1 : currentBlock_;
            out.offset = event->deltaFrames;
            out.frame = framesProcessed_ + event->deltaFrames;
            out.type = event->type;
            if (event->type == vst::kVstMidiType)
            {
                const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
                for (int b = 0; b < 3; ++b)
                    out.bytes[b] = uint8_t(midi->midiData[b]);
                if (DataBytes(out.bytes[0]) < 2)
                    out.bytes[2] = 0; // a two-byte message: the third byte means nothing
            }
            events_.push_back(out);
        }
        return 1;
    }
    case vst::audioMasterGetSampleRate:
        return VstIntPtr(sampleRate_);
    case vst::audioMasterGetVendorString:
        if (ptr) CopyText("Quova", ptr, vst::kVstMaxVendorStrLen);
        return ptr != nullptr;
    case vst::audioMasterGetProductString:
        if (ptr) CopyText("quova_validator", ptr, vst::kVstMaxProductStrLen);
        return ptr != nullptr;
    case vst::audioMasterGetVendorVersion:
        return 10000;
    case vst::audioMasterWantMidi:
    case vst::audioMasterUpdateDisplay:
    case vst::audioMasterBeginEdit:
    case vst::audioMasterEndEdit:
        return 1;
    default:
        return 0;
    }
}

VstTimeInfo MakeTimeInfo(double sampleRate, double tempo, double samplePosition, bool playing, int numerator,
                         int denominator)
{
    VstTimeInfo t{};
    t.samplePos = samplePosition;
    t.sampleRate = sampleRate;
    t.tempo = tempo;
    t.ppqPos = tempo > 0.0 ? samplePosition / (sampleRate * 60.0 / tempo) : 0.0;
    const double quartersPerBar = numerator * 4.0 / denominator;
    t.barStartPos = std::floor(t.ppqPos / quartersPerBar) * quartersPerBar;
    t.timeSigNumerator = numerator;
    t.timeSigDenominator = denominator;
    t.flags = vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstBarsValid | vst::kVstTimeSigValid;
    if (playing) t.flags |= vst::kVstTransportPlaying;
    return t;
}

} // namespace quova::host
