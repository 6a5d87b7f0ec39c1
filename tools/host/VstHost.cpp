#include "tools/host/VstHost.h"

#include "tools/host/PluginModule.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quova::host
{
namespace
{
// Channel counts beyond this are taken as a garbled effect record.
constexpr int32_t kMaxChannels = 256;
constexpr int32_t kMaxBlockSize = 1 << 20;
// Chunks the plug-in claims to be larger than this are not copied.
constexpr VstIntPtr kMaxChunkBytes = VstIntPtr(1) << 30;
} // namespace

// Defined in HostCallback.cpp: the callback every loaded effect is given, and
// the registry it uses to find the VstHost behind an effect record.
VstIntPtr HostCallbackEntry(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                            float opt);
void RegisterEffect(AEffect* effect, VstHost* host);
void UnregisterEffect(AEffect* effect);
// Marks the host whose module entry is running on this thread: the plug-in may
// call back before its record is known (or with a null record).
void SetConstructingHost(VstHost* host);

VstHost::VstHost(HostIdentity identity) : identity_(std::move(identity)) {}

VstHost::~VstHost()
{
    Unload();
}

bool VstHost::Fail(std::string text)
{
    error_ = std::move(text);
    return false;
}

bool VstHost::RequireLoaded()
{
    return effect_ ? true : Fail("no plug-in is loaded");
}

bool VstHost::Load(const std::string& path)
{
    if (module_) return Fail("a module is already loaded");
    std::string error;
    std::unique_ptr<PluginModule> module = PluginModule::Load(path, error);
    if (!module) return Fail(error);
    const VstPluginMainProc entry = module->Entry();
    if (!entry) return Fail("module " + path + " has no VSTPluginMain entry");

    SetConstructingHost(this);
    AEffect* effect = entry(&HostCallbackEntry);
    SetConstructingHost(nullptr);

    if (!effect) return Fail("the entry of " + path + " returned no effect");
    // A record that fails these checks is not called again, not even to close
    // it: nothing in it can be trusted.
    if (effect->magic != vst::kEffectMagic)
        return Fail("the entry of " + path + " returned a record without the effect magic");
    if (!effect->dispatcher) return Fail("the effect record of " + path + " has no dispatcher");
    if (effect->numInputs < 0 || effect->numInputs > kMaxChannels || effect->numOutputs < 0 ||
        effect->numOutputs > kMaxChannels)
        return Fail("the effect record of " + path + " has implausible channel counts");
    if (!effect->processReplacing && !effect->process)
        return Fail("the effect record of " + path + " has no processing entry");

    module_ = std::move(module);
    effect_ = effect;
    RegisterEffect(effect_, this);
    opened_ = resumed_ = false;
    blocksProcessed_ = framesProcessed_ = 0;
    queue_.clear();
    error_.clear();
    return true;
}

bool VstHost::Open()
{
    if (!RequireLoaded()) return false;
    if (opened_) return Fail("the effect is already open");
    Dispatch(vst::effOpen);
    opened_ = true;
    return true;
}

bool VstHost::SetSampleRate(double rate)
{
    if (!std::isfinite(rate) || rate <= 0.0) return Fail("the sample rate must be above 0");
    if (!RequireLoaded()) return false;
    TransportSettings settings = transport_.Settings();
    const double position = transport_.QuarterPosition();
    settings.sampleRate = rate;
    transport_.Configure(settings);
    transport_.Locate(position);
    Dispatch(vst::effSetSampleRate, 0, 0, nullptr, float(rate));
    return true;
}

bool VstHost::SetBlockSize(int32_t frames)
{
    if (frames < 1 || frames > kMaxBlockSize) return Fail("the block size must be 1..1048576");
    if (!RequireLoaded()) return false;
    blockSize_ = frames;
    Dispatch(vst::effSetBlockSize, 0, frames);
    return true;
}

bool VstHost::Resume()
{
    if (!RequireLoaded()) return false;
    if (!resumed_)
    {
        Dispatch(vst::effMainsChanged, 0, 1);
        Dispatch(vst::effStartProcess);
        resumed_ = true;
    }
    return true;
}

bool VstHost::Suspend()
{
    if (!RequireLoaded()) return false;
    if (resumed_)
    {
        Dispatch(vst::effStopProcess);
        Dispatch(vst::effMainsChanged, 0, 0);
        resumed_ = false;
    }
    return true;
}

bool VstHost::QueueMidi(int64_t frame, const uint8_t* bytes, int size)
{
    if (!bytes || size < 1 || size > 3 || bytes[0] < 0x80)
        return Fail("a MIDI message has 1 to 3 bytes and starts with a status byte");
    for (int i = 1; i < size; ++i)
        if (bytes[i] >= 0x80) return Fail("MIDI data bytes must be below 0x80");
    if (frame < framesProcessed_)
        return Fail("the frame of a queued MIDI message has already been processed");
    QueuedMidi item;
    item.frame = frame;
    item.size = size;
    std::memcpy(item.bytes, bytes, std::size_t(size));
    const auto at = std::upper_bound(queue_.begin(), queue_.end(), frame,
                                     [](int64_t f, const QueuedMidi& q) { return f < q.frame; });
    queue_.insert(at, item);
    return true;
}

bool VstHost::QueueMidiAt(int64_t block, int32_t offset, const uint8_t* bytes, int size)
{
    if (block < 0 || offset < 0 || offset >= blockSize_ || block > INT64_MAX / blockSize_ - 1)
        return Fail("the offset must lie inside the block");
    return QueueMidi(block * blockSize_ + offset, bytes, size);
}

void VstHost::PrepareBuffers()
{
    // The plug-in may change its channel counts (at open, for instance), so
    // the buffers follow the record before every run.
    const auto resize =
        [this](std::vector<std::vector<float>>& buffers, std::vector<float*>& pointers, int32_t count)
    {
        buffers.assign(std::size_t(std::clamp(count, 0, kMaxChannels)),
                       std::vector<float>(std::size_t(blockSize_)));
        pointers.clear();
        for (auto& buffer : buffers)
            pointers.push_back(buffer.data());
        // Never hand over a null array, even for no channels.
        pointers.push_back(nullptr);
    };
    resize(inputBuffers_, inputPointers_, effect_->numInputs);
    resize(outputBuffers_, outputPointers_, effect_->numOutputs);
}

bool VstHost::RunBlocks(int64_t count)
{
    if (!RequireLoaded()) return false;
    if (count < 0) return Fail("the block count must be 0 or more");
    PrepareBuffers();
    for (int64_t i = 0; i < count && effect_; ++i)
        RunOneBlock();
    return true;
}

void VstHost::RunOneBlock()
{
    {
        std::lock_guard<std::mutex> lock(callbackLock_);
        currentBlock_ = blocksProcessed_;
    }
    const int64_t blockEnd = framesProcessed_ + blockSize_;

    // Messages due in this block, as one event list.
    std::size_t due = 0;
    while (due < queue_.size() && queue_[due].frame < blockEnd)
        ++due;
    if (due > 0)
    {
        std::vector<VstMidiEvent> midi(due);
        for (std::size_t i = 0; i < due; ++i)
        {
            VstMidiEvent& event = midi[i];
            event.type = vst::kVstMidiType;
            event.byteSize = sizeof(VstMidiEvent);
            event.deltaFrames = int32_t(queue_[i].frame - framesProcessed_);
            for (int b = 0; b < queue_[i].size; ++b)
                event.midiData[b] = char(queue_[i].bytes[b]);
        }
        // The list's pointer array is variable-length: room for `due` pointers.
        const std::size_t bytes = offsetof(VstEvents, events) + due * sizeof(VstEvent*);
        std::vector<VstIntPtr> storage((std::max(bytes, sizeof(VstEvents)) + sizeof(VstIntPtr) - 1) /
                                       sizeof(VstIntPtr));
        auto* list = reinterpret_cast<VstEvents*>(storage.data());
        list->numEvents = int32_t(due);
        for (std::size_t i = 0; i < due; ++i)
            list->events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
        queue_.erase(queue_.begin(), queue_.begin() + std::ptrdiff_t(due));
        Dispatch(vst::effProcessEvents, 0, 0, list);
    }

    for (auto& buffer : outputBuffers_)
        std::fill(buffer.begin(), buffer.end(), 0.0f);
    if (effect_->processReplacing)
        effect_->processReplacing(effect_, inputPointers_.data(), outputPointers_.data(), blockSize_);
    else
        effect_->process(effect_, inputPointers_.data(), outputPointers_.data(), blockSize_);

    std::lock_guard<std::mutex> lock(callbackLock_);
    currentBlock_ = -1;
    ++blocksProcessed_;
    framesProcessed_ = blockEnd;
    transport_.Advance(blockSize_);
}

int64_t VstHost::CallbackCount(int32_t opcode) const
{
    const auto it = callbackCounts_.find(opcode);
    return it == callbackCounts_.end() ? 0 : it->second;
}

bool VstHost::GetChunk(bool bank, std::vector<uint8_t>& data)
{
    if (!RequireLoaded()) return false;
    void* address = nullptr;
    const VstIntPtr size = Dispatch(vst::effGetChunk, bank ? 0 : 1, 0, &address);
    if (size <= 0 || !address) return Fail("the plug-in gave no chunk");
    if (size > kMaxChunkBytes) return Fail("the plug-in's chunk is implausibly large");
    const auto* bytes = static_cast<const uint8_t*>(address);
    data.assign(bytes, bytes + size);
    return true;
}

bool VstHost::SetChunk(const std::vector<uint8_t>& data, bool bank)
{
    if (!RequireLoaded()) return false;
    // The plug-in receives a copy it may not keep: the host's buffer lives only for the call.
    std::vector<uint8_t> copy = data;
    const VstIntPtr answer = Dispatch(vst::effSetChunk, bank ? 0 : 1, VstIntPtr(copy.size()),
                                      copy.empty() ? nullptr : copy.data());
    return answer != 0 ? true : Fail("the plug-in refused the chunk");
}

VstIntPtr VstHost::Dispatch(int32_t opcode, int32_t index, VstIntPtr value, void* ptr, float opt)
{
    if (!effect_ || opcode == vst::effClose) return 0;
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void VstHost::Close()
{
    if (!effect_) return;
    Suspend();
    AEffect* effect = effect_;
    effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
    UnregisterEffect(effect);
    effect_ = nullptr;
    opened_ = false;
}

void VstHost::Unload()
{
    Close();
    module_.reset();
}

} // namespace quova::host
