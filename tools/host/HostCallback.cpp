// The host side of the plug-in interface: the callback every effect loaded by
// a VstHost receives, and VstHost's answers to each host call.

#include "tools/host/VstHost.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string_view>
#include <unordered_map>

namespace quova::host
{
namespace
{
// Events lists longer than this, and system-exclusive dumps larger than this,
// are taken as garbage rather than read.
constexpr VstInt32 kMaxEventsPerCall = 1 << 16;
constexpr VstInt32 kMaxSysExBytes = 1 << 20;
// Capability texts are short; reading stops here even without a terminator.
constexpr std::size_t kMaxCanDoLength = 256;

std::mutex gRegistryLock;
std::unordered_map<AEffect*, VstHost*> gHosts;
thread_local VstHost* tConstructingHost = nullptr;

VstHost* FindHost(AEffect* effect)
{
    if (effect)
    {
        std::lock_guard<std::mutex> lock(gRegistryLock);
        const auto it = gHosts.find(effect);
        if (it != gHosts.end()) return it->second;
    }
    return tConstructingHost;
}

// Copies text into a buffer of capacity bytes, cut short and always terminated.
void CopyText(const std::string& text, void* ptr, std::size_t capacity)
{
    auto* out = static_cast<char*>(ptr);
    const std::size_t length = std::min(text.size(), capacity - 1);
    std::memcpy(out, text.data(), length);
    out[length] = '\0';
}

bool HostCanDo(std::string_view capability)
{
    static constexpr std::string_view kCapabilities[] = {
        "sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo", "receiveVstEvents", "receiveVstMidiEvent",
    };
    for (std::string_view known : kCapabilities)
        if (capability == known) return true;
    return false;
}
} // namespace

void RegisterEffect(AEffect* effect, VstHost* host)
{
    std::lock_guard<std::mutex> lock(gRegistryLock);
    gHosts[effect] = host;
}

void UnregisterEffect(AEffect* effect)
{
    std::lock_guard<std::mutex> lock(gRegistryLock);
    gHosts.erase(effect);
}

void SetConstructingHost(VstHost* host)
{
    tConstructingHost = host;
}

VstIntPtr HostCallbackEntry(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                            float opt)
{
    if (VstHost* host = FindHost(effect)) return host->HandleCallback(effect, opcode, index, value, ptr, opt);
    // A plug-in may ask for the interface version before any host knows it.
    return opcode == vst::audioMasterVersion ? vst::kVstVersion : 0;
}

VstIntPtr VstHost::HandleCallback(AEffect*, int32_t opcode, int32_t index, VstIntPtr value, void* ptr,
                                  float opt)
{
    // A plug-in's own threads (a preset loader, the editor's) may call back while the
    // host's audio thread processes; the bookkeeping below is shared.
    std::unique_lock<std::mutex> lock(callbackLock_);
    ++callbackCounts_[opcode];
    switch (opcode)
    {
    case vst::audioMasterAutomate:
        automation_.push_back({index, opt});
        return 0;
    case vst::audioMasterVersion:
        return vst::kVstVersion;
    case vst::audioMasterWantMidi:
        return 1;
    case vst::audioMasterGetTime:
        return reinterpret_cast<VstIntPtr>(FillTimeInfo());
    case vst::audioMasterProcessEvents:
        CollectEvents(static_cast<const VstEvents*>(ptr));
        return 1;
    case vst::audioMasterGetSampleRate:
        return VstIntPtr(transport_.Settings().sampleRate);
    case vst::audioMasterGetBlockSize:
        return blockSize_;
    case vst::audioMasterGetVendorString:
        if (!ptr) return 0;
        CopyText(identity_.vendor, ptr, vst::kVstMaxVendorStrLen);
        return 1;
    case vst::audioMasterGetProductString:
        if (!ptr) return 0;
        CopyText(identity_.product, ptr, vst::kVstMaxProductStrLen);
        return 1;
    case vst::audioMasterGetVendorVersion:
        return identity_.vendorVersion;
    case vst::audioMasterCanDo:
        return ptr && HostCanDo(std::string_view(static_cast<const char*>(ptr),
                                                 strnlen(static_cast<const char*>(ptr), kMaxCanDoLength)))
                   ? 1
                   : 0;
    case vst::audioMasterSizeWindow:
    {
        // The window is resized without the lock: a block's callbacks never wait for the X server.
        const std::function<bool(int, int)> handler = sizeWindow_;
        lock.unlock();
        return handler && index > 0 && index < 65536 && value > 0 && value < 65536 &&
                       handler(index, int(value))
                   ? 1
                   : 0;
    }
    case vst::audioMasterGetLanguage:
        return 1; // English
    case vst::audioMasterUpdateDisplay:
    case vst::audioMasterBeginEdit:
    case vst::audioMasterEndEdit:
        return 1;
    default:
        return 0;
    }
}

void VstHost::SetSizeWindowHandler(std::function<bool(int, int)> handler)
{
    std::lock_guard<std::mutex> lock(callbackLock_);
    sizeWindow_ = std::move(handler);
}

const VstTimeInfo* VstHost::FillTimeInfo()
{
    if (!timeInfoAvailable_) return nullptr;
    const TransportSettings& s = transport_.Settings();
    VstTimeInfo& t = timeInfo_;
    t = VstTimeInfo{};
    // Every field is given whatever the request asked for; hosts may answer more than requested.
    t.samplePos = transport_.SamplePosition();
    t.sampleRate = s.sampleRate;
    t.nanoSeconds = double(std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::steady_clock::now().time_since_epoch())
                               .count());
    t.ppqPos = transport_.QuarterPosition();
    t.tempo = s.tempo;
    t.barStartPos = transport_.BarStart();
    t.timeSigNumerator = s.numerator;
    t.timeSigDenominator = s.denominator;
    t.flags = vst::kVstNanosValid | vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstBarsValid |
              vst::kVstTimeSigValid;
    if (s.loopActive)
    {
        t.cycleStartPos = s.loopStartQuarters;
        t.cycleEndPos = s.loopEndQuarters;
        t.flags |= vst::kVstCyclePosValid | vst::kVstTransportCycleActive;
    }
    if (s.playing) t.flags |= vst::kVstTransportPlaying;
    if (transport_.Changed()) t.flags |= vst::kVstTransportChanged;
    return &t;
}

void VstHost::CollectEvents(const VstEvents* list)
{
    if (!list || list->numEvents <= 0 || list->numEvents > kMaxEventsPerCall) return;
    // Outside processing an event is placed at the start of the next block.
    const int64_t blockStart = framesProcessed_;
    for (VstInt32 i = 0; i < list->numEvents; ++i)
    {
        const VstEvent* event = list->events[i];
        if (!event) continue;
        ReceivedEvent received;
        received.block = currentBlock_;
        received.offset = event->deltaFrames;
        received.frame = blockStart + event->deltaFrames;
        received.quarters = transport_.QuarterPositionAt(event->deltaFrames);
        received.type = event->type;
        if (event->type == vst::kVstMidiType)
        {
            const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
            received.bytes.assign(reinterpret_cast<const uint8_t*>(midi->midiData),
                                  reinterpret_cast<const uint8_t*>(midi->midiData) + 3);
        }
        else if (event->type == vst::kVstSysExType)
        {
            const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
            if (sysex->sysexDump && sysex->dumpBytes > 0 && sysex->dumpBytes <= kMaxSysExBytes)
                received.bytes.assign(reinterpret_cast<const uint8_t*>(sysex->sysexDump),
                                      reinterpret_cast<const uint8_t*>(sysex->sysexDump) + sysex->dumpBytes);
        }
        events_.push_back(std::move(received));
    }
}

} // namespace quova::host
