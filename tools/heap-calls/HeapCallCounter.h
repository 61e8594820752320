#pragma once

// Counts the heap calls one thread makes: glibc's malloc family is replaced in the program that
// compiles HeapCallCounter.cpp as one of its own sources, and so is everything built on it, operator
// new and delete included, in the program and in every library it loads, plug-ins opened with
// dlopen among them (the program's own definitions come first in the global lookup scope). Releases
// count too: free takes the allocator's lock just as malloc does. Only the thread that is counting
// is counted, so other threads go on unmeasured. No JUCE here: the unit tests and the host check
// build JUCE in different configurations and both compile this in.
//
// AddressSanitizer replaces the malloc family itself to find heap faults: under it nothing is
// replaced and nothing is counted.

#if defined (__has_feature)
 #if __has_feature (address_sanitizer)
  #define VEVARERO_UNDER_ADDRESS_SANITIZER 1
 #endif
#endif

#include <cstdint>

namespace heapcalls
{
   #if defined (__SANITIZE_ADDRESS__) || defined (VEVARERO_UNDER_ADDRESS_SANITIZER)
    constexpr bool counted = false;
   #else
    constexpr bool counted = true;
   #endif

    /** Starts counting this thread's heap calls, from zero. */
    void start() noexcept;

    /** Stops counting on this thread and returns the calls made since start(). */
    long stop() noexcept;

    /** Called for every call counted. Does nothing: it is there for a debugger to stop at and show
        where the call came from (gdb: break heapcalls::countedCall, then bt).
    */
    void countedCall() noexcept;

    //==============================================================================
    /** Where one loaded binary's machine code lies. */
    struct Code
    {
        std::uintptr_t begin = 0, end = 0;

        bool contains (std::uintptr_t address) const noexcept  { return begin <= address && address < end; }
        bool isEmpty() const noexcept                          { return end <= begin; }
    };

    /** The code of the loaded binary that holds this address (one of its functions), or none. */
    Code codeHolding (const void* address);

    /** The code of the first loaded binary whose file lies in this folder (real paths), or none. */
    Code codeOfBinaryIn (const char* folder);

    /** The calls counted on this thread since start() that were made while watched code ran. */
    struct WhileWatchedRan
    {
        long calls = 0;             // with the watched code on the stack: made by it or by what it called
        long threadLocalRoom = 0;   // of those, made by the dynamic loader called straight from that
                                    // code, making room for its thread-locals on a thread it had not
                                    // run on before: once a thread, whatever the code does
    };

    /** From now on, tells the calls counted on this thread apart by whether this code was on the
        stack when each was made (none: no longer). That walks the stack for every call counted,
        which is slow but allocates nothing.
    */
    void watch (Code code);

    /** What watch() told apart since start() on this thread. */
    WhileWatchedRan whileWatchedRan() noexcept;

    /** The heap calls (allocations, reallocations and releases) the function makes on this thread. */
    template <typename Function>
    long callsIn (Function&& function)
    {
        start();
        function();
        return stop();
    }
}
