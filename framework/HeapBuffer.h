// HeapBuffer: a growable byte block with a fixed growth rule, the storage behind PtrList, IString,
// IStateChunk and the parameters' value-text tables.
//
// Growth rule (SetSize): step = max(n / 2, granularity);
//   granularity below 4096:   allocation = n + step
//   granularity 4096 or more: step rounded down to a multiple of 4096 and kept in 4096..4 MiB,
//                             allocation = ((n + 96 + step) rounded down to 4096) - 96
// The allocation is never below `minimum`. Sizes are computed in 64-bit arithmetic; a size that
// would not fit an int32 is refused like a failed allocation.
//
// Not thread-safe; the owner serialises access. Non-copyable (owns its block).
#pragma once

#include <cstdint>

class HeapBuffer
{
public:
    // granularity: growth step in bytes (values below 1 count as 1).
    explicit HeapBuffer(int granularity = 128);
    ~HeapBuffer();
    HeapBuffer(const HeapBuffer&) = delete;
    HeapBuffer& operator=(const HeapBuffer&) = delete;

    // Sets the used size to n bytes and returns Data() (null when n is 0). Existing bytes up to
    // min(n, old size) are kept; new bytes are not initialised. With shrink, a much smaller size
    // may give memory back. On an allocation failure, or n < 0, the old data and size are kept and
    // the old data pointer is returned (callers compare Size() with what they asked for).
    void* SetSize(int n, bool shrink = true);

    // The data, or null whenever the used size is 0 (even if a block is allocated).
    void* Data() const { return used_ > 0 ? data_ : nullptr; }
    int Size() const { return used_; }
    int Allocated() const { return allocated_; }
    int Granularity() const { return granularity_; }

    // The smallest allocation any later reallocation will make.
    void SetMinimumAllocation(int bytes) { minimum_ = bytes > 0 ? bytes : 0; }

    // Exchanges the contents (block, sizes) with another buffer; granularity travels along.
    void Swap(HeapBuffer& other);

    // The allocation the growth rule gives for n used bytes (exposed for tests and benchmarks).
    static int64_t AllocationFor(int64_t n, int granularity, int minimum);

private:
    void* data_ = nullptr;
    int granularity_;
    int allocated_ = 0;
    int used_ = 0;
    int minimum_ = 0;
};
