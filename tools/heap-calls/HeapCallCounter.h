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

    /** The heap calls (allocations, reallocations and releases) the function makes on this thread. */
    template <typename Function>
    long callsIn (Function&& function)
    {
        start();
        function();
        return stop();
    }
}
