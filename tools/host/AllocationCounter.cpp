#include "tools/host/AllocationCounter.h"

#include <cstddef>

namespace
{
// Initial-exec thread-locals of the program itself: reading them never
// allocates, so the allocator may test them.
thread_local bool tCounting = false;
thread_local uint64_t tAllocations = 0;

inline void Note()
{
    if (tCounting) ++tAllocations;
}
} // namespace

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
// The sanitizer runtime's hook registration (declared here: not every
// compiler ships the header that declares it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*,
                                                                            std::size_t),
                                                         void (*freeHook)(const volatile void*));

namespace
{
void MallocHook(const volatile void*, std::size_t)
{
    Note();
}
void FreeHook(const volatile void*) {}

bool InstallHooks()
{
    __sanitizer_install_malloc_and_free_hooks(&MallocHook, &FreeHook);
    return true;
}
} // namespace

namespace quova::host
{
bool AllocationCountingAvailable()
{
    static const bool installed = InstallHooks();
    return installed;
}
} // namespace quova::host

#else

// The C library's own entry points, which its malloc and friends are aliases of.
extern "C"
{
    void* __libc_malloc(std::size_t size) noexcept;
    void* __libc_calloc(std::size_t count, std::size_t size) noexcept;
    void* __libc_realloc(void* pointer, std::size_t size) noexcept;
    void* __libc_memalign(std::size_t alignment, std::size_t size) noexcept;
    void __libc_free(void* pointer) noexcept;

    void* malloc(std::size_t size) noexcept
    {
        Note();
        return __libc_malloc(size);
    }

    void* calloc(std::size_t count, std::size_t size) noexcept
    {
        Note();
        return __libc_calloc(count, size);
    }

    void* realloc(void* pointer, std::size_t size) noexcept
    {
        Note();
        return __libc_realloc(pointer, size);
    }

    void free(void* pointer) noexcept
    {
        __libc_free(pointer);
    }

    void* memalign(std::size_t alignment, std::size_t size) noexcept
    {
        Note();
        return __libc_memalign(alignment, size);
    }

    void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept
    {
        Note();
        return __libc_memalign(alignment, size);
    }

    int posix_memalign(void** out, std::size_t alignment, std::size_t size) noexcept
    {
        if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return 22; // EINVAL
        Note();
        void* pointer = __libc_memalign(alignment, size);
        if (!pointer && size != 0) return 12; // ENOMEM
        *out = pointer;
        return 0;
    }
}

namespace quova::host
{
bool AllocationCountingAvailable()
{
    return true;
}
} // namespace quova::host

#endif

namespace quova::host
{

void BeginCountingAllocations()
{
    AllocationCountingAvailable();
    tAllocations = 0;
    tCounting = true;
}

uint64_t EndCountingAllocations()
{
    tCounting = false;
    return tAllocations;
}

} // namespace quova::host
