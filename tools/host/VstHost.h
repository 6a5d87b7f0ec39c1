#pragma once
// VstHost: loads one VST 2.4 plug-in module and drives it the way the
// command-line host and the tests need it.
//
// Life cycle, in order: Load, Open, SetSampleRate / SetBlockSize, Resume,
// QueueMidi and RunBlocks (any number of times), Suspend, Close, Unload. Get-
// and SetChunk work between Open and Close. The destructor closes and unloads
// whatever is still open. Calls without a loaded plug-in, a second Load or
// Open, and invalid arguments are refused with false (and a message in
// LastError) rather than passed to the plug-in; other orders are the caller's
// choice (a test may well process before resuming).
//
// The host answers the plug-in's callbacks itself: time info from its
// HostTransport, its identity (vendor, product, version), the sample rate and
// block size, and it collects every event the plug-in sends, with the block,
// offset, host frame and song position it was sent at.
//
// Threads: one thread makes the calls, with one exception, as a host's audio
// and user-interface threads do: RunBlocks may run on a thread of its own
// while another thread makes the editor's calls (Dispatch of the effEdit
// opcodes); nothing else may be called until RunBlocks has returned.

#include "platform/vst/VstAbi.h"
#include "tools/host/HostEvents.h"
#include "tools/host/HostTransport.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace quova::host
{

class PluginModule;

struct HostIdentity
{
    std::string vendor = "Quova";
    std::string product = "quova_host"; // what the plug-in reads to recognise its host
    int32_t vendorVersion = 10000;      // decimal, as major * 10000 + minor * 100 + patch
};

struct AutomationRecord
{
    int32_t index = 0;
    float value = 0.0f;
};

class VstHost
{
public:
    explicit VstHost(HostIdentity identity = {});
    ~VstHost();
    VstHost(const VstHost&) = delete;
    VstHost& operator=(const VstHost&) = delete;

    // Loads the module, calls its entry and checks the effect record it
    // returns (magic, dispatcher, channel counts). On failure nothing stays
    // loaded and LastError says why: missing module, no entry, null effect,
    // or a malformed record. Refused while a module is loaded.
    bool Load(const std::string& path);
    bool IsLoaded() const { return effect_ != nullptr; }
    AEffect* Effect() const { return effect_; }
    // The loaded module, for looking up further symbols (null when none).
    PluginModule* Module() const { return module_.get(); }
    const std::string& LastError() const { return error_; }
    // Answers audioMasterSizeWindow (width, height) from now on: the editor's window asks the host
    // to resize its frame. Without a handler the host declines (0).
    // Called outside the host's bookkeeping lock, so that a block never waits for a window.
    void SetSizeWindowHandler(std::function<bool(int, int)> handler);

    // effOpen. Call once after Load.
    bool Open();
    // effSetSampleRate; also the transport's sample rate, keeping its song
    // position in quarter notes. Refuses rates that are not finite and above 0.
    bool SetSampleRate(double rate);
    // effSetBlockSize: every block RunBlocks processes has this many frames.
    // Refuses sizes outside 1..1048576.
    bool SetBlockSize(int32_t frames);
    // effMainsChanged on, then effStartProcess / effStopProcess, then
    // effMainsChanged off.
    bool Resume();
    bool Suspend();
    bool IsResumed() const { return resumed_; }

    // The transport the time info is read from; configure it before running.
    HostTransport& Transport() { return transport_; }
    const HostTransport& Transport() const { return transport_; }
    // With false the host answers time-info requests with nothing, like a
    // host without a transport.
    void SetTimeInfoAvailable(bool available) { timeInfoAvailable_ = available; }

    // Queues a short MIDI message (1..3 bytes, a status byte first) for the
    // block that holds the given host frame; it is delivered through
    // effProcessEvents just before that block, at the frame's offset. Frames
    // already processed are refused. Messages at the same frame keep their
    // queueing order.
    bool QueueMidi(int64_t frame, const uint8_t* bytes, int size);
    // The same at a block index and an offset inside it (0 .. block size - 1).
    bool QueueMidiAt(int64_t block, int32_t offset, const uint8_t* bytes, int size);
    std::size_t QueuedCount() const { return queue_.size(); }

    // Processes count blocks: for each, the due MIDI, then processReplacing
    // (or the accumulating entry when the plug-in has no replacing one) on
    // silent inputs and cleared outputs, then the transport advances.
    bool RunBlocks(int64_t count);
    int64_t BlocksProcessed() const { return blocksProcessed_; }
    int64_t FramesProcessed() const { return framesProcessed_; }

    // Every event the plug-in sent so far, in arrival order.
    const std::vector<ReceivedEvent>& Events() const { return events_; }
    void ClearEvents() { events_.clear(); }
    const std::vector<AutomationRecord>& Automation() const { return automation_; }
    // How often the plug-in made each host call, by opcode.
    int64_t CallbackCount(int32_t opcode) const;

    // effGetChunk (program chunk, or bank chunk with bank set) copied out.
    // False when the plug-in gives no data.
    bool GetChunk(bool bank, std::vector<uint8_t>& data);
    // effSetChunk; true when the plug-in accepts the data.
    bool SetChunk(const std::vector<uint8_t>& data, bool bank);

    // Any other dispatcher call; 0 when nothing is loaded. effClose is refused
    // here (use Close, which also forgets the record).
    VstIntPtr Dispatch(int32_t opcode, int32_t index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);

    // Suspends when resumed, then effClose. The record is gone afterwards.
    void Close();
    // Close, then unloads the module.
    void Unload();

    // Answers one host call from the plug-in (the callback handed to the
    // entry routes here). Any thread; calls are serialised. Read Events,
    // Automation and CallbackCount only while no plug-in thread calls back.
    VstIntPtr HandleCallback(AEffect* effect, int32_t opcode, int32_t index, VstIntPtr value, void* ptr,
                             float opt);

private:
    bool Fail(std::string text);
    bool RequireLoaded();
    const VstTimeInfo* FillTimeInfo();
    void CollectEvents(const VstEvents* events);
    void RunOneBlock();
    void PrepareBuffers();

    HostIdentity identity_;
    std::unique_ptr<PluginModule> module_;
    AEffect* effect_ = nullptr;
    std::string error_;
    bool opened_ = false;
    bool resumed_ = false;

    HostTransport transport_;
    bool timeInfoAvailable_ = true;
    std::function<bool(int, int)> sizeWindow_;
    VstTimeInfo timeInfo_{};
    int32_t blockSize_ = 512;

    std::vector<QueuedMidi> queue_; // sorted by frame, stable
    std::vector<ReceivedEvent> events_;
    std::vector<AutomationRecord> automation_;
    std::map<int32_t, int64_t> callbackCounts_;
    // Guards the callback's bookkeeping and what it reads of the block being played (the
    // transport, the block and frame counts).
    std::mutex callbackLock_;

    int64_t blocksProcessed_ = 0;
    int64_t framesProcessed_ = 0;
    int64_t currentBlock_ = -1; // block being processed, -1 between blocks

    std::vector<std::vector<float>> inputBuffers_, outputBuffers_;
    std::vector<float*> inputPointers_, outputPointers_;
};

} // namespace quova::host
