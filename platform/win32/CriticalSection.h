#pragma once
// Critical sections of the headless layer: recursive locks, as the platform's are.
//
// What this stand-in implements:
//  [x] InitializeCriticalSection, EnterCriticalSection (the owner may enter again),
//      TryEnterCriticalSection, LeaveCriticalSection (once per enter, by the owner),
//      DeleteCriticalSection (on an unowned section)
//  [ ] spin counts, debug information

#include "platform/types/Win32Types.h"

#include <mutex>

// Storage for one recursive lock; set it up with InitializeCriticalSection before use and tear it
// down with DeleteCriticalSection. Not copyable or movable (it is a lock).
struct CRITICAL_SECTION
{
    CRITICAL_SECTION() = default;
    CRITICAL_SECTION(const CRITICAL_SECTION&) = delete;
    CRITICAL_SECTION& operator=(const CRITICAL_SECTION&) = delete;

    alignas(std::recursive_mutex) unsigned char storage[sizeof(std::recursive_mutex)];
    bool initialized = false;
};

void InitializeCriticalSection(CRITICAL_SECTION* section);
// Blocks until the calling thread owns the section; re-entrant.
void EnterCriticalSection(CRITICAL_SECTION* section);
// TRUE when the section was entered without waiting.
BOOL TryEnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);
