#pragma once
// The blocks of an editor run, played in real time on a thread of their own, as a host's audio
// thread plays them: one block each block period from the start, whatever the editor's thread
// does meanwhile (a menu or dialog of the editor runs its modal loop inside the editor's calls,
// for as long as it is open). A block that falls behind its time is played at once.
//
// Threads: made, waited on and finished on the editor's thread; the blocks run on the thread it
// starts, which is the only thread that calls the host's RunBlocks until Finish returns. The
// module takes its editor calls and its blocks from different threads at once.

#include "tools/host/VstHost.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace quova::host
{

class BlockThread
{
public:
    using Clock = std::chrono::steady_clock;

    // Starts playing count blocks, the first at once, one every period.
    BlockThread(VstHost& host, int64_t count, Clock::duration period);
    // Finish.
    ~BlockThread();
    BlockThread(const BlockThread&) = delete;
    BlockThread& operator=(const BlockThread&) = delete;

    // Waits until the time given or until the last block was played, whichever comes first; true
    // when every block was played.
    bool WaitUntil(Clock::time_point until);
    // When the last block was played (valid once WaitUntil said so).
    Clock::time_point DoneAt() const;
    // The blocks played so far; any thread.
    int64_t Played() const { return played_.load(); }
    // Plays the blocks that are left at once, without waiting for their time, and returns when
    // the thread has ended.
    void Finish();

private:
    void Run(VstHost& host, int64_t count, Clock::duration period);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool hurry_ = false; // under mutex_
    bool done_ = false;  // under mutex_
    Clock::time_point doneAt_;
    std::atomic<int64_t> played_{0};
    std::thread thread_;
};

} // namespace quova::host
