// IEffectLock: the plug-in's recursive lock. The thread that holds it may take it again (the
// plug-in's handlers re-enter through the framework). Every Enter is balanced by one Leave.
//
// Threads take it in the order they asked for it: a thread that lets it go and asks again at once
// (a host loading states back to back, the audio thread's blocks) queues behind the threads already
// waiting, so every waiter's turn comes after at most one hold of each thread ahead of it. (A plain
// mutex lets the thread that just let go take it again before a sleeping waiter wakes, and a
// thread that asks many times in a row, as the editor's paint does, could wait for seconds.)
// Non-copyable.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class IEffectLock
{
public:
    IEffectLock() = default;
    IEffectLock(const IEffectLock&) = delete;
    IEffectLock& operator=(const IEffectLock&) = delete;

    void Enter()
    {
        if (HeldHere())
        {
            ++depth_;
            return;
        }
        std::unique_lock<std::mutex> guard(mutex_);
        const uint64_t ticket = next_++;
        turn_.wait(guard, [&] { return serving_ == ticket; });
        Take();
    }
    void Leave()
    {
        if (--depth_ > 0) return;
        owner_.store(std::thread::id(), std::memory_order_relaxed);
        // The waiters are woken before mutex_ is let go, so that nothing of the lock is touched once
        // the next thread can hold it: that thread may delete the lock with its plug-in at once
        // (effClose waits this way for a call in progress on another thread).
        std::lock_guard<std::mutex> guard(mutex_);
        ++serving_;
        turn_.notify_all();
    }
    // Takes it when it is free and nobody waits for it (or this thread holds it).
    bool TryEnter()
    {
        if (HeldHere())
        {
            ++depth_;
            return true;
        }
        std::lock_guard<std::mutex> guard(mutex_);
        if (serving_ != next_) return false;
        ++next_;
        Take();
        return true;
    }

private:
    bool HeldHere() const { return owner_.load(std::memory_order_relaxed) == std::this_thread::get_id(); }
    void Take()
    {
        owner_.store(std::this_thread::get_id(), std::memory_order_relaxed);
        depth_ = 1;
    }

    std::mutex mutex_;
    std::condition_variable turn_;
    uint64_t next_ = 0;    // the ticket the next thread to ask gets
    uint64_t serving_ = 0; // the ticket whose turn it is; equal to next_ while free
    // The holder, read by every thread to tell a re-entry; only the holder sets its own id.
    std::atomic<std::thread::id> owner_{};
    int depth_ = 0; // the holder's alone
};

// Holds an IEffectLock for the lifetime of the guard.
class IEffectLockGuard
{
public:
    explicit IEffectLockGuard(IEffectLock& lock) : lock_(lock) { lock_.Enter(); }
    ~IEffectLockGuard() { lock_.Leave(); }
    IEffectLockGuard(const IEffectLockGuard&) = delete;
    IEffectLockGuard& operator=(const IEffectLockGuard&) = delete;

private:
    IEffectLock& lock_;
};
