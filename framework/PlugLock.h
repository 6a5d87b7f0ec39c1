// IPlugLock: the plug-in's recursive lock. The thread that holds it may take it again (the
// plug-in's handlers re-enter through the framework). Every Enter is balanced by one Leave.
// Non-copyable.
#pragma once

#include <mutex>

class IPlugLock {
 public:
  IPlugLock() = default;
  IPlugLock(const IPlugLock&) = delete;
  IPlugLock& operator=(const IPlugLock&) = delete;

  void Enter() { mutex_.lock(); }
  void Leave() { mutex_.unlock(); }
  bool TryEnter() { return mutex_.try_lock(); }

 private:
  std::recursive_mutex mutex_;
};

// Holds an IPlugLock for the lifetime of the guard.
class IPlugLockGuard {
 public:
  explicit IPlugLockGuard(IPlugLock& lock) : lock_(lock) { lock_.Enter(); }
  ~IPlugLockGuard() { lock_.Leave(); }
  IPlugLockGuard(const IPlugLockGuard&) = delete;
  IPlugLockGuard& operator=(const IPlugLockGuard&) = delete;

 private:
  IPlugLock& lock_;
};
