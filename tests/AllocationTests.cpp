#include "ProcessorInspector.h"
#include "SignalTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

// Every heap allocation of the test binary goes through these replacements. They count only on
// the thread that has opened a counting window, so other threads and other tests are unaffected.
namespace
{
    thread_local bool countingAllocations = false;
    std::atomic<long> allocationCount { 0 };

    void* allocate (std::size_t size)
    {
        if (countingAllocations)
            ++allocationCount;

        if (auto* memory = std::malloc (size == 0 ? 1 : size))
            return memory;

        throw std::bad_alloc();
    }

    void* allocateAligned (std::size_t size, std::align_val_t alignment)
    {
        if (countingAllocations)
            ++allocationCount;

        const auto align = juce::jmax ((std::size_t) alignment, sizeof (void*));
        const auto rounded = (size + align - 1) / align * align;

        if (auto* memory = std::aligned_alloc (align, rounded == 0 ? align : rounded))
            return memory;

        throw std::bad_alloc();
    }

    /** Counts the allocations made on this thread while it lives. */
    struct AllocationWindow
    {
        AllocationWindow()  { allocationCount = 0; countingAllocations = true; }
        ~AllocationWindow() { countingAllocations = false; }

        long count() const  { return allocationCount.load(); }
    };
}

void* operator new (std::size_t size)                                              { return allocate (size); }
void* operator new[] (std::size_t size)                                            { return allocate (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept              { try { return allocate (size); } catch (...) { return nullptr; } }
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept            { try { return allocate (size); } catch (...) { return nullptr; } }
void* operator new (std::size_t size, std::align_val_t alignment)                  { return allocateAligned (size, alignment); }
void* operator new[] (std::size_t size, std::align_val_t alignment)                { return allocateAligned (size, alignment); }
void operator delete (void* memory) noexcept                                       { std::free (memory); }
void operator delete[] (void* memory) noexcept                                     { std::free (memory); }
void operator delete (void* memory, std::size_t) noexcept                          { std::free (memory); }
void operator delete[] (void* memory, std::size_t) noexcept                        { std::free (memory); }
void operator delete (void* memory, std::align_val_t) noexcept                     { std::free (memory); }
void operator delete[] (void* memory, std::align_val_t) noexcept                   { std::free (memory); }
void operator delete (void* memory, std::size_t, std::align_val_t) noexcept        { std::free (memory); }
void operator delete[] (void* memory, std::size_t, std::align_val_t) noexcept      { std::free (memory); }

namespace
{
    TEST (AllocationCounter, SeesAllocationsInsideItsWindowOnly)
    {
        std::vector<int> outside (100);

        AllocationWindow window;
        auto inside = std::make_unique<std::vector<float>> (1000);
        juce::String text ("a string long enough to need the heap, not a small buffer");
        EXPECT_GE (window.count(), 2);
    }

    TEST (AllocationFree, ProcessBlockAllocatesNothing)
    {
        const char* const parameterIDs[] = {
            "Cutoff", "Resonance", "Filter_Type", "Drive", "Distortion_Routing", "Rate", "Bits", "LoFi_Routing",
            "Amplitude", "Dry_Wet_Mix", "LFO_1_Rate", "LFO_1_Synced_Rate", "LFO_1_Sync", "LFO_1_Wave",
            "LFO_2_Rate", "LFO_2_Synced_Rate", "LFO_2_Sync", "LFO_2_Wave", "LFOs_Mix",
            "Cutoff_Mod_Source", "Cutoff_Mod_Depth", "Resonance_Mod_Source", "Resonance_Mod_Depth",
            "Rate_Mod_Source", "Rate_Mod_Depth", "Bits_Mod_Source", "Bits_Mod_Depth",
            "Dry_Wet_Mix_Mod_Source", "Dry_Wet_Mix_Mod_Depth"
        };

        VevareroAudioProcessor processor;
        signaltest::FakePlayHead playHead;
        playHead.bpm = 128.0;
        processor.setPlayHead (&playHead);

        constexpr int maximumBlock = 512;

        for (const double sampleRate : { 44100.0, 96000.0, 22050.0, 192000.0 })
            processor.prepareToPlay (sampleRate, 2048);

        processor.prepareToPlay (48000.0, maximumBlock);

        std::mt19937 rng (99);
        std::uniform_real_distribution<float> unit (0.0f, 1.0f);
        juce::AudioBuffer<float> buffer (2, 3 * maximumBlock);
        juce::MidiBuffer midi;
        long allocations = 0;

        for (int block = 0; block < 400; ++block)
        {
            for (int change = 0; change < 3; ++change)
                processor.valueTreeState.getParameter (parameterIDs[rng() % std::size (parameterIDs)])->setValueNotifyingHost (unit (rng));

            // Empty, ordinary, announced-maximum and oversized blocks.
            const int sizes[] = { 0, 1, 64, maximumBlock + 64, 3 * maximumBlock };
            const auto size = block % 7 == 0 ? sizes[(size_t) block / 7 % 5] : (int) (rng() % (maximumBlock + 1));
            buffer.setSize (2, size, false, false, true);
            signaltest::fillWithNoise (buffer, rng, 0.9f);
            playHead.hasPosition = block % 11 != 0;

            AllocationWindow window;
            processor.processBlock (buffer, midi);
            allocations += window.count();
        }

        EXPECT_EQ (allocations, 0);
        processor.setPlayHead (nullptr);
    }
}
