#include "EditorTestSupport.h"
#include "processor/PluginProcessor.h"

#include <gtest/gtest.h>
#include <malloc.h>

#if defined(__has_feature)
 #if __has_feature(address_sanitizer)
  #define VEVARERO_HEAP_FROM_SANITIZER 1
 #endif
#endif
#if defined(__SANITIZE_ADDRESS__)
 #define VEVARERO_HEAP_FROM_SANITIZER 1
#endif

#if VEVARERO_HEAP_FROM_SANITIZER
 #include <sanitizer/allocator_interface.h>
#endif

#include <functional>

namespace
{
    /** Bytes the process has allocated and not freed. The sanitisers' allocator replaces malloc's,
        whose statistics then stay empty, so it is asked instead.
    */
    long long heapInUse()
    {
#if VEVARERO_HEAP_FROM_SANITIZER
        return (long long) __sanitizer_get_current_allocated_bytes();
#else
        const auto info = mallinfo2();
        return (long long) (info.uordblks + info.hblkhd);
#endif
    }

    /** One automation step: every parameter moves to a new value, written as a host writes it
        (JUCE's plug-in wrappers set the value and tell the parameter's listeners, among them the
        tree's own adapter, which marks the value for the tree's next flush).
    */
    void moveEveryParameter (VevareroAudioProcessor& processor, int step)
    {
        const auto& parameters = processor.getParameters();

        for (int i = 0; i < parameters.size(); ++i)
            parameters[i]->setValueNotifyingHost ((float) ((step * 7 + i * 3) % 101) / 100.0f);
    }

    /** Runs the message loop until the tree's timer has copied the current parameter values in. */
    bool waitForTheTreesTimer (VevareroAudioProcessor& processor)
    {
        const auto& id = dynamic_cast<juce::RangedAudioParameter&> (*processor.getParameters().getFirst()).paramID;
        const auto wanted = processor.valueTreeState.getRawParameterValue (id)->load();

        for (int tick = 0; tick < 200; ++tick)
        {
            const auto child = processor.valueTreeState.state.getChildWithProperty ("id", id);

            if ((float) child.getProperty ("value") == wanted)
                return true;

            dispatchMessagesFor (5);
        }

        return false;
    }

    struct FlushRoute
    {
        const char* what;
        int settlingSteps;
        int steps;
        std::function<bool (VevareroAudioProcessor&)> flush;
    };
}

TEST (HostAutomation, LongRunsKeepTheHeapBounded)
{
    // The tree copies parameter values into its state on its timer, and whenever its state is
    // copied: for a host save, and for a preset file. Each flush that is kept, as an undo record
    // would keep it, adds about 2 KB: megabytes over thousands of steps. The timer runs at most
    // 50 times a second, so its row is short.
    auto hostSave = [] (VevareroAudioProcessor& p)
    {
        juce::MemoryBlock block;
        p.getStateInformation (block);
        return block.getSize() > 0;
    };
    auto stateCopy = [] (VevareroAudioProcessor& p) { return p.valueTreeState.copyState().isValid(); };

    const FlushRoute routes[] = {
        { "host saves between automation steps", 250, 3000, hostSave },
        { "state copies between automation steps", 250, 3000, stateCopy },
        { "the tree's timer with the message loop running", 20, 150, waitForTheTreesTimer },
    };

    // Room for what the first thousands of saves still settle (about 100 KB in all, whatever the
    // number of steps), far below the 2 KB that an undo record of every parameter takes per step.
    constexpr long long allowedGrowthPerStep = 64;
    constexpr long long allowedSettling = 128 * 1024;

    for (const auto& route : routes)
    {
        VevareroAudioProcessor processor;
        int step = 0;

        for (const auto stage : { 0, 1 })
        {
            const auto steps = stage == 0 ? route.settlingSteps : route.steps;
            const auto before = heapInUse();

            for (int i = 0; i < steps; ++i)
            {
                moveEveryParameter (processor, ++step);
                ASSERT_TRUE (route.flush (processor)) << route.what << ": step " << step << " was not flushed";
            }

            if (stage == 1)
            {
                const auto growth = heapInUse() - before;
                EXPECT_LT (growth, allowedSettling + allowedGrowthPerStep * steps)
                    << route.what << ": the heap grew by " << growth << " bytes over " << steps << " steps";
            }
        }
    }
}
