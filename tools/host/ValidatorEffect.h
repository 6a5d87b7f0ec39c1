#pragma once
// ValidatorEffect: one plug-in instance as the validator drives it, through
// the effect record only, the way a strict host would.
//
// Unlike VstHost it lets the caller choose every block's frame count (larger
// than announced, varying), the time info of every block (or none), and the
// MIDI handed in before each block. Each processed block is checked: outputs
// pre-filled with NaN must come back as exact zeros, inputs (a known pattern)
// must be untouched, every event the plug-in sends during the block must lie
// inside it, in time order, with status and data bytes well formed, and the
// heap allocations made inside processReplacing are counted.
//
// Threads: Process, QueueMidi and the time-info setters belong to one audio
// thread; SetParameter, GetParameter and the chunk calls may come from other
// threads at the same time (the plug-in must cope). The event log is guarded;
// read Events only while no thread processes. Nothing here allocates while the
// plug-in is inside processReplacing or calls back.

#include "platform/vst/VstAbi.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quova::host
{

class PluginModule;

// An event the plug-in sent, placed on the host's time line.
struct ValidatorEvent
{
    int64_t block = -1; // index of the block being processed, -1 outside processing
    int64_t frame = 0;  // first frame of that block (or of the next one) + offset
    int32_t offset = 0;
    int32_t type = 0;
    uint8_t bytes[3] = {0, 0, 0};
};

// What the checks of processed blocks found, summed over blocks.
struct BlockFindings
{
    int64_t blocks = 0;
    int64_t frames = 0;
    int64_t events = 0;
    int64_t nonZeroOutputs = 0;    // output samples not exactly 0
    int64_t changedInputs = 0;     // input samples the plug-in wrote to
    int64_t eventsOutside = 0;     // offsets outside 0 .. frames - 1
    int64_t eventsOutOfOrder = 0;  // offsets below the one sent before in the same block
    int64_t badBytes = 0;          // a status below 0x80, a data byte of 0x80 or more, or not a MIDI event
    int64_t lostEvents = 0;        // more events than the log holds
    int64_t otherThreadEvents = 0; // sent from a thread other than the one processing (not judged)
    uint64_t allocations = 0;
    uint64_t maxAllocationsPerBlock = 0;
    std::string firstProblem; // the first offending block, described

    // True when nothing but allocations was found (those are judged apart).
    bool Clean() const;
    // Adds another run's findings (the first problem stays the earliest).
    void Merge(const BlockFindings& other);
    // "1024 blocks, 37 events" followed by every kind of problem found.
    std::string Describe() const;
};

class ValidatorEffect
{
public:
    ValidatorEffect();
    ~ValidatorEffect();
    ValidatorEffect(const ValidatorEffect&) = delete;
    ValidatorEffect& operator=(const ValidatorEffect&) = delete;

    // Loads the module, calls its entry, checks the record and opens it
    // (effOpen). False with a message in error on failure.
    bool Open(const std::string& path, std::string& error);
    bool IsOpen() const { return effect_ != nullptr; }
    AEffect* Effect() const { return effect_; }

    // effSetSampleRate and effSetBlockSize (the announced maximum).
    void Setup(double sampleRate, int32_t blockSize);
    double SampleRate() const { return sampleRate_; }
    // effMainsChanged on + effStartProcess; effStopProcess + effMainsChanged off.
    void Resume();
    void Suspend();
    // Suspends when resumed, then effClose, then unloads the module.
    void Close();

    VstIntPtr Dispatch(int32_t opcode, int32_t index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    void SetParameter(int32_t index, float value);
    float GetParameter(int32_t index);
    // The number of parameters a host can reach: numParams, or when the record
    // announces none, the indexes up to the last one that has a name.
    int32_t ProbeParameterCount();
    // effGetChunk / effSetChunk (bank with bank set, else program).
    bool GetChunk(bool bank, std::vector<uint8_t>& data);
    bool SetChunk(const std::vector<uint8_t>& data, bool bank);

    // A short MIDI message for the next block, at an offset inside it; the list
    // goes to the plug-in in the order queued (a host's list need not be in
    // time order). False when the queue is full.
    bool QueueMidi(int32_t offset, uint8_t status, uint8_t data1, uint8_t data2);
    // The time info answered from now on; null: the host has no transport.
    void SetTimeInfo(const VstTimeInfo* info);

    // Hands in the queued MIDI (effProcessEvents), then processReplacing with
    // the given frame count, and checks the block.
    void Process(int32_t frames);
    int64_t FramesProcessed() const { return framesProcessed_; }
    int64_t BlocksProcessed() const { return blocksProcessed_; }

    const BlockFindings& Findings() const { return findings_; }
    void ResetFindings() { findings_ = BlockFindings{}; }
    const std::vector<ValidatorEvent>& Events() const { return events_; }
    void ClearEvents();

    VstIntPtr HandleCallback(int32_t opcode, int32_t index, VstIntPtr value, void* ptr, float opt);

private:
    static constexpr int kMaxQueued = 512;
    static constexpr std::size_t kEventCapacity = 1 << 18;
    static constexpr int32_t kMaxFrames = 1 << 20;

    void CheckBlock(int32_t frames, std::size_t firstEvent, uint64_t allocations);

    std::unique_ptr<PluginModule> module_;
    AEffect* effect_ = nullptr;
    bool resumed_ = false;
    double sampleRate_ = 44100.0;

    VstTimeInfo time_{};
    bool timeValid_ = false;

    VstMidiEvent queued_[kMaxQueued];
    struct
    {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[kMaxQueued];
    } queueList_{};
    int queuedCount_ = 0;

    std::mutex eventLock_;
    std::vector<ValidatorEvent> events_;
    int64_t currentBlock_ = -1;
    std::thread::id processingThread_; // the thread inside processReplacing, while one is
    int64_t framesProcessed_ = 0;
    int64_t blocksProcessed_ = 0;

    std::vector<std::vector<float>> inputs_, outputs_;
    std::vector<float*> inputPointers_, outputPointers_;
    BlockFindings findings_;
};

// Time info of a host whose transport stands at a sample position: quarter
// position, bar start (in the time signature), tempo and signature valid,
// playing when asked.
VstTimeInfo MakeTimeInfo(double sampleRate, double tempo, double samplePosition, bool playing,
                         int numerator = 4, int denominator = 4);

} // namespace quova::host
