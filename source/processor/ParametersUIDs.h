#pragma once

#include <juce_core/juce_core.h>

/** The IDs of the plug-in's parameters. Hosts, preset files and saved sessions refer to parameters
    by these IDs (and hosts by their 32-bit hashes), so none of them may ever change.
*/
struct ParametersUIDs
{
    ParametersUIDs();

    juce::String cutoffID;
    juce::String resonanceID;
    juce::String filterTypeID;
    juce::String driveID;
    juce::String distortionRoutingID;
    juce::String rateID;
    juce::String bitsID;
    juce::String loFiRoutingID;
    juce::String amplitudeID;
    juce::String dryWetMixID;
    juce::String lfo1RateID;
    juce::String lfo1SyncedRateID;
    juce::String lfo1SyncID;
    juce::String lfo1WaveID;
    juce::String lfo2RateID;
    juce::String lfo2SyncedRateID;
    juce::String lfo2SyncID;
    juce::String lfo2WaveID;
    juce::String lfosMixID;
    juce::String modSourceSuffix;
    juce::String modDepthSuffix;
};

/** Index of a modulatable parameter; the parameter set, the signal chain and the editor share it. */
namespace ModulationTarget
{
    enum
    {
        cutoff = 0,
        resonance,
        rate,
        bits,
        dryWet,

        numTargets
    };
}

/** The value of a "_Mod_Source" parameter. */
namespace ModulationSource
{
    enum
    {
        none = 0,
        lfo1,
        lfo2,
        lfoMix,

        numSources
    };
}
