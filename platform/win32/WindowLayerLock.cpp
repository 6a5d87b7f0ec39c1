// The window layer's lock.
#include "platform/win32/WindowLayerLock.h"

#include <atomic>
#include <mutex>

namespace quova::win32
{

namespace
{

// Never destroyed: a host may close an editor from its exit handlers, after static destruction.
std::recursive_mutex& Lock()
{
    static auto* lock = new std::recursive_mutex();
    return *lock;
}

thread_local int tDepth = 0; // how often this thread holds the lock
std::atomic<WindowLayerEntryHook> gHook{nullptr};

} // namespace

void EnterWindowLayer()
{
    Lock().lock();
    if (tDepth++ > 0) return;
    WindowLayerEntryHook hook = gHook.load(std::memory_order_acquire);
    if (hook == nullptr) return;
    try
    {
        hook();
    }
    catch (...)
    {
        LeaveWindowLayer();
        throw;
    }
}

void LeaveWindowLayer()
{
    --tDepth;
    Lock().unlock();
}

void SetWindowLayerEntryHook(WindowLayerEntryHook hook)
{
    gHook.store(hook, std::memory_order_release);
}

} // namespace quova::win32
