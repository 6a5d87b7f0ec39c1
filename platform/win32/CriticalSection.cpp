// Critical sections over std::recursive_mutex.
#include "platform/win32/CriticalSection.h"

#include <new>

namespace
{

std::recursive_mutex* LockOf(CRITICAL_SECTION* section)
{
    return std::launder(reinterpret_cast<std::recursive_mutex*>(section->storage));
}

} // namespace

void InitializeCriticalSection(CRITICAL_SECTION* section)
{
    if (!section || section->initialized) return;
    new (section->storage) std::recursive_mutex();
    section->initialized = true;
}

void EnterCriticalSection(CRITICAL_SECTION* section)
{
    if (section && section->initialized) LockOf(section)->lock();
}

BOOL TryEnterCriticalSection(CRITICAL_SECTION* section)
{
    if (!section || !section->initialized) return FALSE;
    return LockOf(section)->try_lock() ? TRUE : FALSE;
}

void LeaveCriticalSection(CRITICAL_SECTION* section)
{
    if (section && section->initialized) LockOf(section)->unlock();
}

void DeleteCriticalSection(CRITICAL_SECTION* section)
{
    if (!section || !section->initialized) return;
    LockOf(section)->~recursive_mutex();
    section->initialized = false;
}
