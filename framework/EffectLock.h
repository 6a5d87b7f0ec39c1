// IEffectLock: the plug-in's recursive lock. The thread that holds it may take it again (the
// plug-in's handlers re-enter through the framework). Every Enter is balanced by one Leave.
// Non-copyable.
#pragma once

#include <mutex>

class IEffectLock
{
public:
    IEffectLock() = default;
    IEffectLock(const IEffectLock&) = delete;
    IEffectLock& operator=(const IEffectLock&) = delete;

    void Enter() { mutex_.lock(); }
    void Leave() { mutex_.unlock(); }
    bool TryEnter() { return mutex_.try_lock(); }

private:
    std::recursive_mutex mutex_;
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
