#include "framework/HeapBuffer.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace
{
constexpr int64_t kPage = 4096;
constexpr int64_t kLargestStep = 4194304; // 4 MiB
constexpr int64_t kAllocatorOverhead = 96;
} // namespace

HeapBuffer::HeapBuffer(int granularity) : granularity_(granularity > 0 ? granularity : 1) {}

HeapBuffer::~HeapBuffer()
{
    std::free(data_);
}

int64_t HeapBuffer::AllocationFor(int64_t n, int granularity, int minimum)
{
    int64_t step = std::max<int64_t>(n / 2, granularity);
    int64_t allocation;
    if (granularity < kPage)
    {
        allocation = n + step;
    }
    else
    {
        step &= ~(kPage - 1);
        step = std::clamp(step, kPage, kLargestStep);
        allocation = ((n + kAllocatorOverhead + step) & ~(kPage - 1)) - kAllocatorOverhead;
    }
    return std::max<int64_t>(allocation, minimum);
}

void* HeapBuffer::SetSize(int n, bool shrink)
{
    if (n < 0) return Data();
    if (n == used_) return Data();
    if (n <= allocated_)
    {
        const bool giveBack = shrink && n < used_ && n < allocated_ / 2 &&
                              static_cast<int64_t>(n) < static_cast<int64_t>(allocated_) - 4LL * granularity_;
        if (!giveBack)
        {
            used_ = n;
            return Data();
        }
    }
    const int64_t allocation = AllocationFor(n, granularity_, minimum_);
    if (allocation > INT_MAX || allocation < n) return Data();
    if (allocation != allocated_)
    {
        void* block = allocation > 0 ? std::realloc(data_, static_cast<size_t>(allocation)) : nullptr;
        if (block == nullptr && allocation > 0)
        {
            block = std::malloc(static_cast<size_t>(allocation));
            if (block == nullptr) return Data();
            if (data_ != nullptr) std::memcpy(block, data_, static_cast<size_t>(std::min(n, used_)));
            std::free(data_);
        }
        else if (allocation == 0)
        {
            std::free(data_);
        }
        data_ = block;
        allocated_ = static_cast<int>(allocation);
    }
    used_ = n;
    return Data();
}

void HeapBuffer::Swap(HeapBuffer& other)
{
    std::swap(data_, other.data_);
    std::swap(granularity_, other.granularity_);
    std::swap(allocated_, other.allocated_);
    std::swap(used_, other.used_);
    std::swap(minimum_, other.minimum_);
}
