#include "SignalTestSupport.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Every heap allocation of the test binary goes through the replacements below. They count only
// on the thread that is measuring, so other threads and other tests are unaffected.
// AddressSanitizer brings its own operator new, which it needs to find heap faults: under it
// nothing is replaced and nothing is counted.
#if defined (__has_feature)
 #if __has_feature (address_sanitizer)
  #define VEVARERO_UNDER_ADDRESS_SANITIZER 1
 #endif
#endif

namespace
{
    thread_local bool countingAllocations = false;
    std::atomic<long> allocationCount { 0 };

    /** The number of allocations the function makes on this thread. */
    template <typename Function>
    long allocationsIn (Function&& function)
    {
        allocationCount = 0;
        countingAllocations = true;
        function();
        countingAllocations = false;
        return allocationCount.load();
    }
}

#if defined (__SANITIZE_ADDRESS__) || defined (VEVARERO_UNDER_ADDRESS_SANITIZER)
static constexpr bool allocationsCounted = false;
#else
static constexpr bool allocationsCounted = true;

static void* allocate (std::size_t size, std::size_t alignment)
{
    if (countingAllocations)
        ++allocationCount;

    // aligned_alloc takes only sizes that are whole multiples of the alignment.
    const auto align = std::max (alignment, sizeof (void*));

    if (auto* memory = std::aligned_alloc (align, std::max (align, (size + align - 1) / align * align)))
        return memory;

    throw std::bad_alloc();
}

// The array, nothrow and aligned sized forms call these by default.
void* operator new (std::size_t size)                             { return allocate (size, alignof (std::max_align_t)); }
void* operator new (std::size_t size, std::align_val_t alignment) { return allocate (size, (std::size_t) alignment); }
void operator delete (void* memory) noexcept                     { std::free (memory); }
void operator delete (void* memory, std::size_t) noexcept        { std::free (memory); }
void operator delete (void* memory, std::align_val_t) noexcept   { std::free (memory); }
#endif

namespace
{
    TEST (ProcessBlockProperties, RandomSettingsRatesAndBlockSizesStayFiniteAndBoundedAndAllocateNothing)
    {
        struct alignas (64) Wide { float values[16]; };
        const auto seen = allocationsIn ([] { std::vector<float> plain (1000); auto array = std::make_unique<float[]> (10); auto wide = std::make_unique<Wide>(); });
        ASSERT_TRUE (seen == 3 || ! allocationsCounted) << "the counter saw " << seen << " of 3 allocations";

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
                buffer.setSize (2, pick (10) == 0 ? maximumBlock + 64 + pick (3 * maximumBlock + 1) : pick (maximumBlock + 65), false, false, true);
                signaltest::fillWithNoise (buffer, rng, pick (4) == 0 ? 4.0f : 1.0f);

                const auto allocations = allocationsIn ([&] { processor.processBlock (buffer, midi); });
                ASSERT_TRUE (allocations == 0 || ! allocationsCounted) << allocations << " allocations, seed " << seed << " block " << block;
                ASSERT_LT (signaltest::peakOrInfinity (buffer), 64.0f) << "seed " << seed << " at " << sampleRate << " Hz, block " << block;
            }
        }

        // The signal checks above have run; only the allocation count is missing.
        if (! allocationsCounted)
            GTEST_SKIP() << "AddressSanitizer owns operator new, so allocations are not counted";
    }
}
