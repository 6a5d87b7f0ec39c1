// PresetLoader: loads preset files on a worker thread, one at a time.
//
// A load decompresses the file, takes the header's texts, greys out the preset controls, applies
// the state under the plug-in's lock, stores the header's texts as the plug-in's preset
// information and restores the controls. The plug-in's loading flag is taken with an atomic
// test-and-set before the thread starts and cleared as the thread's last act, so two loads can
// never overlap, whichever threads ask.
//
// Ownership: the plug-in owns its loader and destroys it before anything the worker uses; the
// destructor joins a running worker, so no worker outlives the plug-in.
// Threads: Start from the editor's or the audio thread (it may hold the plug-in's lock: Start
// never waits for the lock). Join and the destructor must not be called with the plug-in's lock
// held, since the worker may be waiting for it. Non-copyable.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class IStateChunk;
class PresetHost;

class PresetLoader
{
public:
    explicit PresetLoader(PresetHost* host);
    ~PresetLoader();
    PresetLoader(const PresetLoader&) = delete;
    PresetLoader& operator=(const PresetLoader&) = delete;

    // Starts a worker that loads path (size: its size on disk, a hint). started, when given, runs on
    // the calling thread once the loading flag is taken and before the worker begins: what it shows
    // (the chosen file's name) is in place before the state is applied, which keeps it unless the
    // state carries a name of its own. False, and nothing started, while the loading flag is set
    // (started is not called) or when no thread can be made (the status line tells so, as for a
    // file that cannot be read).
    bool Start(const std::string& path, int64_t size, const std::function<void()>& started = {});
    // Waits until the last started worker has ended.
    void Join();
    // Whether a load is running (the plug-in's loading flag).
    bool IsLoading() const;

private:
    PresetHost* host_;
    std::mutex threadMutex_;
    std::thread worker_;
};

// The worker's body: loads the preset file at path into host (see the class comment). A file
// that cannot be read, that is corrupt, shorter than its 606-byte header or whose state the
// plug-in refuses changes nothing (the status line tells so). Returns whether the state was
// applied. Does not touch the loading flag.
bool LoadPresetFileThread(const std::string& path, PresetHost* host, int64_t size);

// Applies a preset file's bytes already read into chunk, as the worker does after reading: the
// header's texts, the state from offset 606 under the plug-in's lock, the controls greyed out
// meanwhile. Chunks shorter than the header and refused states change nothing. Returns whether
// the state was applied.
bool ApplyPresetFileChunk(const IStateChunk& chunk, PresetHost* host);

// The text the status line shows when a preset file could not be loaded.
inline constexpr const char* kPresetLoadFailedText = "Preset could not be loaded";
