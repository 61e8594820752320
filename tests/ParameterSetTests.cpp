#include "processor/PluginProcessor.h"
#include "processor/ParameterTexts.h"

#include <gtest/gtest.h>
#include <set>

namespace
{
    struct ExpectedParameter
    {
        const char* id;
        const char* name;
        const char* label;
        float normalisedDefault;
    };

    // Host-visible order, names, labels and normalised defaults of the 29 parameters.
    const ExpectedParameter expectedParameters[] = {
        { "Cutoff", "Cutoff", "Hz", 0.780625f },
        { "Resonance", "Resonance", "%", 0.0f },
        { "Filter_Type", "Filter Type", "", 0.0f },
        { "Drive", "Drive", "%", 0.0f },
        { "Distortion_Routing", "Distortion Routing", "", 0.0f },
        { "Rate", "Rate", "", 0.0f },
        { "Bits", "Bits", "", 1.0f },
        { "LoFi_Routing", "LoFi Routing", "", 0.0f },
        { "Amplitude", "Amp", "dB", 0.866784f },
        { "Dry_Wet_Mix", "Dry / Wet", "%", 1.0f },
        { "LFO_1_Rate", "LFO 1 RATE", "Hz", 0.128463f },
        { "LFO_1_Synced_Rate", "LFO 1 SYNCED RATE", "", 3.0f / 17.0f },
        { "LFO_1_Sync", "LFO 1 SYNC", "", 0.0f },
        { "LFO_1_Wave", "LFO 1 WAVE", "", 0.0f },
        { "LFO_2_Rate", "LFO 2 RATE", "Hz", 0.128463f },
        { "LFO_2_Synced_Rate", "LFO 2 SYNCED RATE", "", 3.0f / 17.0f },
        { "LFO_2_Sync", "LFO 2 SYNC", "", 0.0f },
        { "LFO_2_Wave", "LFO 2 WAVE", "", 0.0f },
        { "LFOs_Mix", "LFOs Mix", "%", 0.5f },
        { "Cutoff_Mod_Source", "Cutoff Mod Source", "", 0.0f },
        { "Cutoff_Mod_Depth", "Cutoff Mod Depth", "", 0.0f },
        { "Resonance_Mod_Source", "Resonance Mod Source", "", 0.0f },
        { "Resonance_Mod_Depth", "Resonance Mod Depth", "", 0.0f },
        { "Rate_Mod_Source", "Rate Mod Source", "", 0.0f },
        { "Rate_Mod_Depth", "Rate Mod Depth", "", 0.0f },
        { "Bits_Mod_Source", "Bits Mod Source", "", 0.0f },
        { "Bits_Mod_Depth", "Bits Mod Depth", "", 0.0f },
        { "Dry_Wet_Mix_Mod_Source", "Dry/Wet Mod Source", "", 0.0f },
        { "Dry_Wet_Mix_Mod_Depth", "Dry/Wet Mod Depth", "", 0.0f },
    };

    juce::RangedAudioParameter& parameter (VevareroAudioProcessor& processor, const char* id)
    {
        auto* p = processor.valueTreeState.getParameter (id);
        EXPECT_NE (p, nullptr) << id;
        return *p;
    }

    /** The real value a host write of a normalised value leaves in the parameter. */
    float realValueAfterHostWrite (juce::RangedAudioParameter& p, float normalised)
    {
        p.setValueNotifyingHost (normalised);
        return p.convertFrom0to1 (p.getValue());
    }
}

TEST (ParameterSet, HostSeesTwentyNineParametersInOrderWithNamesLabelsAndDefaults)
{
    VevareroAudioProcessor processor;
    const auto& parameters = processor.getParameters();

    ASSERT_EQ (parameters.size(), (int) std::size (expectedParameters));

    for (int i = 0; i < parameters.size(); ++i)
    {
        const auto& expected = expectedParameters[i];
        auto* p = dynamic_cast<juce::RangedAudioParameter*> (parameters[i]);
        ASSERT_NE (p, nullptr);

        EXPECT_EQ (p->getParameterID(), expected.id) << i;
        EXPECT_EQ (p->getName (1024), expected.name) << i;
        EXPECT_EQ (p->getLabel(), expected.label) << i;
        EXPECT_NEAR (p->getDefaultValue(), expected.normalisedDefault, 1.0e-6f) << expected.id;
        EXPECT_NEAR (p->getValue(), expected.normalisedDefault, 1.0e-6f) << expected.id;
        EXPECT_TRUE (p->isAutomatable()) << expected.id;
        EXPECT_FALSE (p->isMetaParameter()) << expected.id;
    }
}

TEST (ParameterSet, IdsAndTheirThirtyTwoBitHashesAreDistinct)
{
    VevareroAudioProcessor processor;
    std::set<juce::String> ids;
    std::set<juce::uint32> hashes;

    for (auto* p : processor.getParameters())
    {
        const auto id = dynamic_cast<juce::RangedAudioParameter*> (p)->getParameterID();

        // h = 31 h + c over the characters, wrapping at 32 bits: the number a host knows it by.
        juce::uint32 h = 0;
        for (auto c : id)
            h = 31u * h + (juce::uint32) c;

        EXPECT_EQ (h, (juce::uint32) id.hashCode());
        ids.insert (id);
        hashes.insert (h);
    }

    EXPECT_EQ (ids.size(), 29u);
    EXPECT_EQ (hashes.size(), 29u);
}

TEST (ParameterSet, HostWritesAreDenormalisedSkewedAndSnapped)
{
    VevareroAudioProcessor processor;

    EXPECT_FLOAT_EQ (realValueAfterHostWrite (parameter (processor, "Cutoff"), 0.5f), 4560.0f);
    EXPECT_FLOAT_EQ (realValueAfterHostWrite (parameter (processor, "Rate"), 0.5f), 24.0f);
    EXPECT_FLOAT_EQ (realValueAfterHostWrite (parameter (processor, "Bits"), 0.0f), 1.0f);
    EXPECT_FLOAT_EQ (realValueAfterHostWrite (parameter (processor, "Amplitude"), 0.0f), -60.0f);
    EXPECT_FLOAT_EQ (realValueAfterHostWrite (parameter (processor, "LFO_2_Rate"), 1.0f), 60.0f);

    // The raw values the signal chain reads follow the host's writes.
    auto& cutoff = parameter (processor, "Cutoff");
    cutoff.setValueNotifyingHost (1.0f);
    EXPECT_FLOAT_EQ (processor.valueTreeState.getRawParameterValue ("Cutoff")->load(), 18000.0f);
}

TEST (ParameterSet, ProcessorAnswersTheHost)
{
    VevareroAudioProcessor processor;

    EXPECT_EQ (processor.getName(), "Vevarero");
    EXPECT_TRUE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_TRUE (processor.getProgramName (0).isEmpty());
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_EQ (processor.fontScale, 1.0f);
    EXPECT_EQ (processor.valueTreeState.state.getType().toString(), "Vevarero");
    EXPECT_EQ (processor.valueTreeState.state.getNumChildren(), 29);
}

TEST (ParameterSet, BusLayoutsAreMonoOrStereoOnBothSides)
{
    VevareroAudioProcessor processor;

    EXPECT_EQ (processor.getTotalNumInputChannels(), 2);
    EXPECT_EQ (processor.getTotalNumOutputChannels(), 2);
    EXPECT_EQ (processor.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Output");

    using Set = juce::AudioChannelSet;
    const struct { Set in, out; bool accepted; } layouts[] = {
        { Set::mono(), Set::mono(), true },
        { Set::stereo(), Set::stereo(), true },
        { Set::mono(), Set::stereo(), false },
        { Set::stereo(), Set::mono(), false },
        { Set::disabled(), Set::stereo(), false },
        { Set::stereo(), Set::disabled(), false },
        { Set::create5point1(), Set::create5point1(), false },
        { Set::discreteChannels (3), Set::discreteChannels (3), false },
    };

    for (const auto& layout : layouts)
    {
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add (layout.in);
        l.outputBuses.add (layout.out);
        EXPECT_EQ (processor.checkBusesLayoutSupported (l), layout.accepted)
            << layout.in.getDescription() << " -> " << layout.out.getDescription();
    }

    juce::AudioProcessor::BusesLayout mono;
    mono.inputBuses.add (Set::mono());
    mono.outputBuses.add (Set::mono());
    EXPECT_TRUE (processor.setBusesLayout (mono));
    EXPECT_EQ (processor.getTotalNumInputChannels(), 1);
}

TEST (ParameterSet, ValuesStartExactlyOnTheirDefaultsAndGridPointsComeBackExactly)
{
    VevareroAudioProcessor processor;

    const struct { const char* id; float realDefault; } defaults[] = {
        { "Cutoff", 11000.0f }, { "Amplitude", 0.0f }, { "Dry_Wet_Mix", 100.0f },
        { "LFO_1_Rate", 1.0f }, { "LFO_2_Synced_Rate", 3.0f }, { "LFOs_Mix", 50.0f }, { "Bits", 16.0f },
    };

    for (const auto& d : defaults)
    {
        EXPECT_EQ (processor.valueTreeState.getRawParameterValue (d.id)->load(), d.realDefault) << d.id;
        const auto child = processor.valueTreeState.state.getChildWithProperty ("id", d.id);
        EXPECT_EQ ((float) child.getProperty ("value"), d.realDefault) << d.id;
    }

    // A host writing back the normalised value it was shown lands on the same point, including
    // points that float snapping misses (-60 + 60000 * 0.001f is not 0).
    const struct { const char* id; float real; } points[] = {
        { "Amplitude", 0.0f }, { "Amplitude", -12.345f }, { "Amplitude", 5.999f },
        { "LFO_1_Rate", 0.37f }, { "Resonance", 33.3f }, { "Cutoff_Mod_Depth", 0.123f },
    };

    for (const auto& point : points)
    {
        auto& p = parameter (processor, point.id);
        p.setValueNotifyingHost (p.convertTo0to1 (point.real));
        EXPECT_EQ (processor.valueTreeState.getRawParameterValue (point.id)->load(), point.real) << point.id;
    }
}
