#include "SignalTestSupport.h"

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <new>

// Every heap allocation and release of the test binary passes through the replacements below:
// glibc's malloc family, which JUCE's AudioBuffer, HeapBlock and Array call directly, and so also
// operator new and delete, which libstdc++ builds on malloc and aligned_alloc. Releases count too:
// free takes the allocator's lock just as malloc does. They count only on the thread that is
// measuring, so other threads and other tests are unaffected. AddressSanitizer replaces the malloc
// family itself to find heap faults: under it nothing is replaced and nothing is counted.
#if defined (__has_feature)
 #if __has_feature (address_sanitizer)
  #define VEVARERO_UNDER_ADDRESS_SANITIZER 1
 #endif
#endif

namespace
{
    thread_local bool countingAllocations = false;
    thread_local long allocationCount = 0;

    /** The number of allocations, reallocations and releases the function makes on this thread. */
    template <typename Function>
    long allocationsIn (Function&& function)
    {
        allocationCount = 0;
        countingAllocations = true;
        function();
        countingAllocations = false;
        return allocationCount;
    }

    void countOne() noexcept
    {
        if (countingAllocations)
            ++allocationCount;
    }
}

#if defined (__SANITIZE_ADDRESS__) || defined (VEVARERO_UNDER_ADDRESS_SANITIZER)
static constexpr bool allocationsCounted = false;
#else
static constexpr bool allocationsCounted = true;

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

namespace
{
    TEST (ProcessBlockProperties, RandomSettingsRatesAndBlockSizesStayFiniteAndBoundedAndAllocateNothing)
    {
        // First, that the counter sees each way the plug-in's code could reach the heap. Each block
        // escapes through a volatile pointer, so the compiler cannot leave the allocation out.
        struct alignas (64) Wide { float values[16]; };
        static void* volatile sink = nullptr;
        juce::AudioBuffer<float> grown (2, 64);

        auto reallocated = []
        {
            sink = std::malloc (16);
            sink = std::realloc (sink, 1 << 16);
            std::free (sink);
        };
        auto alignedByPosixMemalign = []
        {
            void* m = nullptr;
            sink = posix_memalign (&m, 64, 100) == 0 ? m : nullptr;
            std::free (sink);
        };

        struct Way { const char* what; std::function<void()> run; long expected; };
        const Way ways[] = {
            { "malloc, free", [] { sink = std::malloc (100); std::free (sink); }, 2 },
            { "calloc, free", [] { sink = std::calloc (10, 10); std::free (sink); }, 2 },
            { "malloc, realloc, free", reallocated, 3 },
            { "posix_memalign, free", alignedByPosixMemalign, 2 },
            { "aligned_alloc, free", [] { sink = std::aligned_alloc (64, 128); std::free (sink); }, 2 },
            { "memalign, free", [] { sink = memalign (64, 100); std::free (sink); }, 2 },
            { "new, delete", [] { auto* p = new float (1.0f); sink = p; delete p; }, 2 },
            { "new[], delete[]", [] { auto* p = new float[10]; sink = p; delete[] p; }, 2 },
            { "over-aligned new, delete", [] { auto* p = new Wide(); sink = p; delete p; }, 2 },
            { "std::vector", [] { std::vector<float> plain (1000); sink = plain.data(); }, 2 },
            { "juce::HeapBlock", [] { juce::HeapBlock<float> block (1000); sink = block.get(); }, 2 },
            { "juce::Array::resize", [] { juce::Array<float> array; array.resize (1000); sink = array.data(); }, 2 },
            { "juce::AudioBuffer::setSize", [&grown] { grown.setSize (2, 4096); }, 2 },
        };

        for (const auto& way : ways)
        {
            const auto seen = allocationsIn (way.run);

            if (allocationsCounted)
            {
                ASSERT_EQ (seen, way.expected) << way.what << ": allocations and releases the counter saw";
            }
        }

        const double sampleRates[] = { 22050.0, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0 };
        const int maximumBlocks[] = { 1, 32, 256, 512, 1024 };
        const double tempos[] = { 0.0, 1.0, 60.0, 120.0, 174.0, 999.0 };

        for (unsigned int seed = 1; seed <= 24; ++seed)
        {
            std::mt19937 rng (seed);
            auto pick = [&rng] (int count) { return std::uniform_int_distribution<int> (0, count - 1) (rng); };
            std::uniform_real_distribution<float> unit (0.0f, 1.0f);

            signaltest::FakePlayHead playHead;
            VevareroAudioProcessor processor;
            processor.setPlayHead (&playHead);
            const auto& parameters = processor.getParameters();
            const auto sampleRate = sampleRates[pick (8)];
            const auto maximumBlock = maximumBlocks[pick (5)];
            processor.prepareToPlay (sampleRates[pick (8)], 2048); // hosts prepare again for other settings
            processor.prepareToPlay (sampleRate, maximumBlock);
            juce::AudioBuffer<float> buffer;
            juce::MidiBuffer midi;

            for (int block = 0; block < 60; ++block)
            {
                for (int change = pick (6); change > 0; --change)
                    parameters[pick (parameters.size())]->setValueNotifyingHost (unit (rng));

                // Now and then a block longer than announced, which must be split.
                playHead.bpm = tempos[pick (6)];
                playHead.hasPosition = pick (8) != 0;
                const auto length = pick (10) == 0 ? maximumBlock + 64 + pick (3 * maximumBlock + 1) : pick (maximumBlock + 65);
                buffer.setSize (2, length, false, false, true);
                signaltest::fillWithNoise (buffer, rng, pick (4) == 0 ? 4.0f : 1.0f);

                const auto allocations = allocationsIn ([&] { processor.processBlock (buffer, midi); });
                if (allocationsCounted)
                {
                    ASSERT_EQ (allocations, 0)
                        << "allocations and releases in processBlock, seed " << seed << " block " << block;
                }

                ASSERT_LT (signaltest::peakOrInfinity (buffer), 64.0f)
                    << "peak, seed " << seed << " at " << sampleRate << " Hz, block " << block
                    << " of " << length << " samples";
            }
        }

        // The signal checks above have run; only the allocation count is missing.
        if (! allocationsCounted)
            GTEST_SKIP() << "AddressSanitizer owns operator new, so allocations are not counted";
    }
}
