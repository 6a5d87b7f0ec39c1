#include "tools/host/BlockThread.h"

namespace quova::host
{

BlockThread::BlockThread(VstHost& host, int64_t count, Clock::duration period)
    : thread_([this, &host, count, period] { Run(host, count, period); })
{
}

BlockThread::~BlockThread()
{
    Finish();
}

void BlockThread::Run(VstHost& host, int64_t count, Clock::duration period)
{
    const Clock::time_point start = Clock::now();
    for (int64_t block = 0; block < count; ++block)
    {
        {
            // Each block's time counts from the start, so that waits that end late add up to nothing.
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait_until(lock, start + block * period, [this] { return hurry_; });
        }
        host.RunBlocks(1);
        played_.store(block + 1);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
    doneAt_ = Clock::now();
    changed_.notify_all();
}

bool BlockThread::WaitUntil(Clock::time_point until)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_until(lock, until, [this] { return done_; });
}

BlockThread::Clock::time_point BlockThread::DoneAt() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return doneAt_;
}

void BlockThread::Finish()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        hurry_ = true;
        changed_.notify_all();
    }
    if (thread_.joinable()) thread_.join();
}

} // namespace quova::host
