#include "HeapCallCounter.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#include <dlfcn.h>
#include <execinfo.h>
#include <link.h>

// Plain thread-locals of this executable: reading them takes no allocation, which the replacements
// below could not afford.
namespace
{
    thread_local bool counting = false;
    thread_local long calls = 0;
    thread_local heapcalls::Code watched;
    thread_local heapcalls::Code loader;
    thread_local heapcalls::WhileWatchedRan whileWatched;

    /** The span of the executable segments of one loaded binary. */
    heapcalls::Code codeOf (const dl_phdr_info& info)
    {
        heapcalls::Code code;

        for (int i = 0; i < info.dlpi_phnum; ++i)
        {
            const auto& segment = info.dlpi_phdr[i];

            if (segment.p_type != PT_LOAD || (segment.p_flags & PF_X) == 0)
                continue;

            const auto begin = (std::uintptr_t) (info.dlpi_addr + segment.p_vaddr);
            const auto end = begin + (std::uintptr_t) segment.p_memsz;
            code.begin = code.isEmpty() ? begin : std::min (code.begin, begin);
            code.end = std::max (code.end, end);
        }

        return code;
    }
}

heapcalls::Code heapcalls::codeHolding (const void* address)
{
    struct Search { std::uintptr_t address; Code found; } search { reinterpret_cast<std::uintptr_t> (address), {} };

    dl_iterate_phdr ([] (dl_phdr_info* info, std::size_t, void* data)
    {
        auto& s = *static_cast<Search*> (data);
        const auto code = codeOf (*info);

        if (! code.contains (s.address))
            return 0;

        s.found = code;
        return 1;
    }, &search);

    return search.found;
}

heapcalls::Code heapcalls::codeOfBinaryIn (const char* folder)
{
    char resolved[PATH_MAX];

    if (realpath (folder, resolved) == nullptr)
        return {};

    struct Search { std::string folder; Code found; } search { std::string (resolved) + "/", {} };

    dl_iterate_phdr ([] (dl_phdr_info* info, std::size_t, void* data)
    {
        auto& s = *static_cast<Search*> (data);
        char path[PATH_MAX];

        if (info->dlpi_name == nullptr || realpath (info->dlpi_name, path) == nullptr
            || std::strncmp (path, s.folder.c_str(), s.folder.size()) != 0)
            return 0;

        s.found = codeOf (*info);
        return 1;
    }, &search);

    return search.found;
}

void heapcalls::watch (Code code)
{
    // Loads the unwinder now, before anything is counted, rather than within the first call.
    void* frame[1];
    backtrace (frame, 1);

    // The dynamic loader's own code, which lends the thread-locals their room.
    loader = codeHolding (dlsym (RTLD_DEFAULT, "__tls_get_addr"));
    watched = code;
}

heapcalls::WhileWatchedRan heapcalls::whileWatchedRan() noexcept
{
    return whileWatched;
}

[[gnu::noinline]] void heapcalls::countedCall() noexcept
{
    // Kept as a call of its own, so that a debugger can stop here.
    asm volatile ("");
}

void heapcalls::start() noexcept
{
    calls = 0;
    whileWatched = {};
    counting = true;
}

long heapcalls::stop() noexcept
{
    counting = false;
    return calls;
}

#if ! (defined (__SANITIZE_ADDRESS__) || defined (VEVARERO_UNDER_ADDRESS_SANITIZER))

namespace
{
    thread_local bool walkingStack = false;

    /** Finds the innermost frame in the watched code. The frame inside it is the function that code
        called, so a call into the loader shows there.
    */
    void sortByStack() noexcept
    {
        constexpr int maximumDepth = 64;
        void* frames[maximumDepth];

        // The unwinder has been loaded by watch(); whatever it still allocates is not the caller's.
        walkingStack = true;
        const auto depth = backtrace (frames, maximumDepth);
        walkingStack = false;

        // Return addresses point past the call; one byte back is the call itself.
        auto callAt = [&frames] (int i) { return reinterpret_cast<std::uintptr_t> (frames[i]) - 1; };

        for (int i = 1; i < depth; ++i)
        {
            if (watched.contains (callAt (i)))
            {
                ++whileWatched.calls;

                if (loader.contains (callAt (i - 1)))
                    ++whileWatched.threadLocalRoom;

                return;
            }
        }
    }

    void countOne() noexcept
    {
        if (counting && ! walkingStack)
        {
            ++calls;
            heapcalls::countedCall();

            if (! watched.isEmpty())
                sortByStack();
        }
    }
}

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
