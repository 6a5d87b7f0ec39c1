#pragma once
// Counts heap allocations made by one thread between BeginCounting and
// EndCounting: the validator wraps each processReplacing call in them to find
// allocations on the audio thread.
//
// How: in a sanitizer build the sanitizer's allocation hook is installed (the
// sanitizer owns malloc there); otherwise this file defines malloc, calloc,
// realloc and the aligned variants in the host program, forwarding to the C
// library's own allocator. A loaded module binds its malloc (and operator new,
// which calls malloc) to the program's definition, so its allocations pass
// through here. Only the thread that called BeginCounting counts; the others
// pay one thread-local test per allocation.

#include <cstdint>

namespace quova::host
{

// Starts counting on the calling thread (nesting is not supported).
void BeginCountingAllocations();
// Stops counting on the calling thread and returns the allocations made since
// BeginCountingAllocations.
uint64_t EndCountingAllocations();
// False when this build cannot see allocations (then counts stay 0).
bool AllocationCountingAvailable();

} // namespace quova::host
