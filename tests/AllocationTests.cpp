#include "HeapCallCounter.h"
#include "SignalTestSupport.h"

#include <cstdlib>
#include <functional>
#include <malloc.h>

// Every heap call of the test program, the JUCE code it links included, passes through the
// counter's replacements of the malloc family (tools/heap-calls), which this program compiles in.
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
            const auto seen = heapcalls::callsIn (way.run);

            if (heapcalls::counted)
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

                const auto allocations = heapcalls::callsIn ([&] { processor.processBlock (buffer, midi); });
                if (heapcalls::counted)
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
        if (! heapcalls::counted)
            GTEST_SKIP() << "AddressSanitizer owns operator new, so allocations are not counted";
    }
}
