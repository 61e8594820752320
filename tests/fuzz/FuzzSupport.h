#pragma once

#include "../ScratchHome.h"
#include "processor/PluginProcessor.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// libFuzzer's entry points, which each target defines.
extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);

// What both fuzz targets share: one processor per process, and the check that an input left it
// in a state the signal chain can run with.
namespace fuzzsupport
{
    inline void initialise()
    {
        // Every processor reads and creates its presets folder under HOME. A fuzzer started by hand,
        // say to replay a crashing input, must neither touch the user's presets nor depend on them.
        static const bool inOwnHome = [] { scratchhome::enter ("VevareroFuzz"); return std::atexit (scratchhome::leave) == 0; }();
        juce::ignoreUnused (inOwnHome);

        // JUCE's message manager must exist before any parameter tree; it lives for the process.
        // Never destroyed: at exit JUCE's own statics may already be gone.
        static auto* juce = new juce::ScopedJuceInitialiser_GUI();
        juce::ignoreUnused (juce);

        // This build logs JUCE's assertions for the unit tests. Broken input trips JUCE's checks of
        // names on purpose, thousands of times a minute, so a fuzzer drops the log. Never destroyed
        // either: JUCE still logs while its statics go at exit.
        struct Silent final : juce::Logger { void logMessage (const juce::String&) override {} };
        static auto* silent = new Silent();
        juce::Logger::setCurrentLogger (silent);
    }

    inline VevareroAudioProcessor& processor()
    {
        // Built once: constructing a processor per input would make every run far slower.
        static auto* instance = new VevareroAudioProcessor();
        return *instance;
    }

    [[noreturn]] inline void fail (const juce::String& message)
    {
        std::fprintf (stderr, "Vevarero fuzz check failed: %s\n", message.toRawUTF8());
        std::abort();
    }

    /** Every parameter finite and inside its range, or the process aborts. */
    inline void checkParameters (VevareroAudioProcessor& p)
    {
        const auto& parameters = p.getParameters();

        if (parameters.size() != 29)
            fail ("the processor has " + juce::String (parameters.size()) + " parameters");

        for (auto* parameter : parameters)
        {
            auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (parameter);

            if (ranged == nullptr)
                fail ("a parameter without a range");

            const auto& range = ranged->getNormalisableRange();
            const auto real = p.valueTreeState.getRawParameterValue (ranged->paramID)->load();
            const auto normalised = ranged->getValue();

            if (! std::isfinite (real) || real < range.start || real > range.end)
                fail (ranged->paramID + " holds " + juce::String (real));

            if (! std::isfinite (normalised) || normalised < 0.0f || normalised > 1.0f)
                fail (ranged->paramID + " is normalised to " + juce::String (normalised));
        }
    }

    /** The parameters' values, to compare before and after a save and restore. */
    inline juce::Array<float> parameterValues (VevareroAudioProcessor& p)
    {
        juce::Array<float> values;

        for (auto* parameter : p.getParameters())
            values.add (parameter->getValue());

        return values;
    }

    /** Saving the host state and restoring it must give back the same parameters and name. */
    inline void checkHostStateRoundTrip (VevareroAudioProcessor& p)
    {
        const auto valuesBefore = parameterValues (p);
        const auto nameBefore = p.currentPreset.getName();

        juce::MemoryBlock saved;
        p.getStateInformation (saved);

        p.currentPreset.setName ("changed by the fuzzer");
        p.setStateInformation (saved.getData(), (int) saved.getSize());
        checkParameters (p);

        if (p.currentPreset.getName() != nameBefore)
            fail ("the preset name did not survive a save and restore");

        if (parameterValues (p) != valuesBefore)
            fail ("the parameters did not survive a save and restore");
    }
}
