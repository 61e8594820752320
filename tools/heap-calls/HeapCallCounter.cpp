#include "HeapCallCounter.h"

#include <cerrno>
#include <cstddef>

// Plain thread-locals of this executable: reading them takes no allocation, which the replacements
// below could not afford.
namespace
{
    thread_local bool counting = false;
    thread_local long calls = 0;

    void countOne() noexcept
    {
        if (counting)
            ++calls;
    }
}

void heapcalls::start() noexcept
{
    calls = 0;
    counting = true;
}

long heapcalls::stop() noexcept
{
    counting = false;
    return calls;
}

#if ! (defined (__SANITIZE_ADDRESS__) || defined (VEVARERO_UNDER_ADDRESS_SANITIZER))

// glibc's own allocator under the names it exports for replacements like these to call.
extern "C" void* __libc_malloc (std::size_t) noexcept;
extern "C" void* __libc_calloc (std::size_t, std::size_t) noexcept;
extern "C" void* __libc_realloc (void*, std::size_t) noexcept;
extern "C" void* __libc_memalign (std::size_t, std::size_t) noexcept;
extern "C" void* __libc_valloc (std::size_t) noexcept;
extern "C" void* __libc_pvalloc (std::size_t) noexcept;
extern "C" void __libc_free (void*) noexcept;

extern "C" void* malloc (std::size_t size) noexcept                       { countOne(); return __libc_malloc (size); }
extern "C" void* calloc (std::size_t count, std::size_t size) noexcept    { countOne(); return __libc_calloc (count, size); }
extern "C" void* realloc (void* memory, std::size_t size) noexcept        { countOne(); return __libc_realloc (memory, size); }
extern "C" void* memalign (std::size_t alignment, std::size_t size) noexcept { countOne(); return __libc_memalign (alignment, size); }
extern "C" void* aligned_alloc (std::size_t alignment, std::size_t size) noexcept { countOne(); return __libc_memalign (alignment, size); }
extern "C" void* valloc (std::size_t size) noexcept                       { countOne(); return __libc_valloc (size); }
extern "C" void* pvalloc (std::size_t size) noexcept                      { countOne(); return __libc_pvalloc (size); }

extern "C" int posix_memalign (void** memory, std::size_t alignment, std::size_t size) noexcept
{
    countOne();

    if (alignment == 0 || alignment % sizeof (void*) != 0 || (alignment & (alignment - 1)) != 0)
        return EINVAL;

    auto* block = __libc_memalign (alignment, size);

    if (block == nullptr)
        return ENOMEM;

    *memory = block;
    return 0;
}

// Freeing nothing is no work for the allocator.
extern "C" void free (void* memory) noexcept
{
    if (memory != nullptr)
        countOne();

    __libc_free (memory);
}
#endif
