#include "processor/PluginProcessor.h"
#include "processor/ParameterTexts.h"

#include <gtest/gtest.h>
#include <set>

namespace
{
    juce::RangedAudioParameter& parameter (VevareroAudioProcessor& processor, const char* id)
    {
        auto* p = processor.valueTreeState.getParameter (id);
        EXPECT_NE (p, nullptr) << id;
        return *p;
    }

    float rawValue (VevareroAudioProcessor& processor, const char* id)
    {
        return processor.valueTreeState.getRawParameterValue (id)->load();
    }
}

TEST (Parameters, HostSeesTwentyNineInOrderWithNamesLabelsDefaultsAndDistinctHashes)
{
    // Host order, name, label and normalised default (skewed ranges give the odd numbers).
    const struct { const char* id; const char* name; const char* label; float normalisedDefault; } expected[] = {
        { "Cutoff", "Cutoff", "Hz", 0.780625f },           { "Resonance", "Resonance", "%", 0.0f },
        { "Filter_Type", "Filter Type", "", 0.0f },        { "Drive", "Drive", "%", 0.0f },
        { "Distortion_Routing", "Distortion Routing", "", 0.0f },
        { "Rate", "Rate", "", 0.0f },                      { "Bits", "Bits", "", 1.0f },
        { "LoFi_Routing", "LoFi Routing", "", 0.0f },      { "Amplitude", "Amp", "dB", 0.866784f },
        { "Dry_Wet_Mix", "Dry / Wet", "%", 1.0f },
        { "LFO_1_Rate", "LFO 1 RATE", "Hz", 0.128463f },   { "LFO_1_Synced_Rate", "LFO 1 SYNCED RATE", "", 3.0f / 17.0f },
        { "LFO_1_Sync", "LFO 1 SYNC", "", 0.0f },          { "LFO_1_Wave", "LFO 1 WAVE", "", 0.0f },
        { "LFO_2_Rate", "LFO 2 RATE", "Hz", 0.128463f },   { "LFO_2_Synced_Rate", "LFO 2 SYNCED RATE", "", 3.0f / 17.0f },
        { "LFO_2_Sync", "LFO 2 SYNC", "", 0.0f },          { "LFO_2_Wave", "LFO 2 WAVE", "", 0.0f },
        { "LFOs_Mix", "LFOs Mix", "%", 0.5f },
        { "Cutoff_Mod_Source", "Cutoff Mod Source", "", 0.0f },       { "Cutoff_Mod_Depth", "Cutoff Mod Depth", "", 0.0f },
        { "Resonance_Mod_Source", "Resonance Mod Source", "", 0.0f }, { "Resonance_Mod_Depth", "Resonance Mod Depth", "", 0.0f },
        { "Rate_Mod_Source", "Rate Mod Source", "", 0.0f },           { "Rate_Mod_Depth", "Rate Mod Depth", "", 0.0f },
        { "Bits_Mod_Source", "Bits Mod Source", "", 0.0f },           { "Bits_Mod_Depth", "Bits Mod Depth", "", 0.0f },
        { "Dry_Wet_Mix_Mod_Source", "Dry/Wet Mod Source", "", 0.0f }, { "Dry_Wet_Mix_Mod_Depth", "Dry/Wet Mod Depth", "", 0.0f },
    };

    VevareroAudioProcessor processor;
    const auto& parameters = processor.getParameters();
    ASSERT_EQ (parameters.size(), (int) std::size (expected));

    std::set<juce::uint32> hashes;

    for (int i = 0; i < parameters.size(); ++i)
    {
        auto* p = dynamic_cast<juce::RangedAudioParameter*> (parameters[i]);
        ASSERT_NE (p, nullptr);

        EXPECT_EQ (p->getParameterID(), expected[i].id) << i;
        EXPECT_EQ (p->getName (1024), expected[i].name) << i;
        EXPECT_EQ (p->getLabel(), expected[i].label) << i;
        EXPECT_NEAR (p->getDefaultValue(), expected[i].normalisedDefault, 1.0e-6f) << expected[i].id;
        EXPECT_NEAR (p->getValue(), expected[i].normalisedDefault, 1.0e-6f) << expected[i].id;
        EXPECT_TRUE (p->isAutomatable() && ! p->isMetaParameter()) << expected[i].id;

        // A host knows a parameter by h = 31 h + c over its ID, wrapping at 32 bits.
        juce::uint32 h = 0;
        for (auto c : p->getParameterID())
            h = 31u * h + (juce::uint32) c;

        hashes.insert (h);
    }

    EXPECT_EQ (hashes.size(), std::size (expected));
}

TEST (Parameters, HostWritesSnapExactlyToTheGridAndValuesStartOnTheirDefaults)
{
    VevareroAudioProcessor processor;

    // Defaults are exact in the values the signal chain reads and in the tree that presets save.
    const struct { const char* id; float real; } defaults[] = {
        { "Cutoff", 11000.0f }, { "Amplitude", 0.0f }, { "LFO_1_Rate", 1.0f }, { "LFOs_Mix", 50.0f }, { "Bits", 16.0f },
    };

    for (const auto& d : defaults)
    {
        EXPECT_EQ (rawValue (processor, d.id), d.real) << d.id;
        EXPECT_EQ ((float) processor.valueTreeState.state.getChildWithProperty ("id", d.id).getProperty ("value"), d.real) << d.id;
    }

    // Normalised writes are denormalised through the skew, then snapped (halves go up). Grid
    // points that float snapping misses (-60 + 60000 * 0.001f is not 0) come back exactly.
    const struct { const char* id; float normalised; float expectedReal; } writes[] = {
        { "Cutoff", 0.5f, 4560.0f },    { "Rate", 0.5f, 24.0f },       { "Bits", 0.0f, 1.0f },
        { "Amplitude", 0.0f, -60.0f },  { "LFO_2_Rate", 1.0f, 60.0f },
    };

    for (const auto& w : writes)
    {
        parameter (processor, w.id).setValueNotifyingHost (w.normalised);
        EXPECT_EQ (rawValue (processor, w.id), w.expectedReal) << w.id;
    }

    const struct { const char* id; float real; } points[] = {
        { "Amplitude", 0.0f }, { "Amplitude", -12.345f }, { "LFO_1_Rate", 0.37f }, { "Resonance", 33.3f }, { "Cutoff_Mod_Depth", 0.123f },
    };

    for (const auto& point : points)
    {
        auto& p = parameter (processor, point.id);
        p.setValueNotifyingHost (p.convertTo0to1 (point.real));
        EXPECT_EQ (rawValue (processor, point.id), point.real) << point.id;
    }

    // Texts typed in a host are read as plain numbers in real units.
    auto& amplitude = parameter (processor, "Amplitude");
    EXPECT_NEAR (amplitude.convertFrom0to1 (amplitude.getValueForText ("-12.5")), -12.5f, 1.0e-3f);
}

TEST (Parameters, HostSeesTheTextOfTheValueItAsksAboutUnsnapped)
{
    VevareroAudioProcessor processor;

    // Normalised values as a host holds them; 0.5 lies between two steps of several parameters.
    const struct { const char* id; float normalised; const char* expected; } cases[] = {
        { "Cutoff", 0.780625f, "11000 Hz" },     { "Cutoff", 1.0f, "18000 Hz" },
        { "Resonance", 0.0f, "0.00 %" },         { "Resonance", 0.5f, "42.04 %" },
        { "Filter_Type", 0.5f, "BANDPASS" },     { "Distortion_Routing", 1.0f, "POST FILTER" },
        { "Rate", 0.5f, "x 24" },                { "Bits", 0.5f, "8" },              // 8.5, half to even
        { "LoFi_Routing", 1.0f, "RING" },        { "Amplitude", 0.866784f, "+0.00 dB" },
        { "Amplitude", 0.0f, "-60.00 dB" },      { "Dry_Wet_Mix", 1.0f, "100.00 %" },
        { "LFO_1_Rate", 0.0f, "0.010 Hz" },      { "LFO_2_Rate", 0.128463f, "1.000 Hz" },
        { "LFO_1_Synced_Rate", 3.0f / 17.0f, "1 BAR" }, { "LFO_2_Synced_Rate", 1.0f, "1/128" },
        { "LFO_1_Sync", 0.0f, "OFF" },           { "LFO_2_Wave", 2.0f / 6.0f, "SAW U" },
        { "Cutoff_Mod_Source", 1.0f, "LFO MIX" },{ "Bits_Mod_Depth", 0.25f, "0.25" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (parameter (processor, c.id).getText (c.normalised, 1024), c.expected) << c.id << " at " << c.normalised;
}

TEST (Parameters, ConvertersRoundIntegersHalfToEvenAndDecimalsHalfAwayFromZero)
{
    const struct { std::function<juce::String (float)> convert; float value; const char* expected; } cases[] = {
        // List indices: halves to even, and anything outside the list (negative too) is empty.
        { getFilterTypeText, 2.5f, "BANDPASS" },     { getFilterTypeText, -0.5f, "LOWPASS" },
        { getFilterTypeText, -0.6f, "" },            { getFilterTypeText, 3.5f, "" },
        { getLFOSyncText, 0.5f, "OFF" },             { getLFOSyncText, 1.5f, "ON" },
        { getLFOSyncedRateText, 18.0f, "" },         { getLFOWaveText, 7.0f, "" },
        { getModSourceText, 4.0f, "" },              { getLoFiRoutingText, 3.0f, "" },
        { getReductionRateText, 1.5f, "x 2" },       { getReductionRateText, -1.5f, "x -2" },
        { qrvx::getHertzParameterText, 4561.5f, "4562 Hz" },
        { qrvx::getMillisecondsParameterText, 12.5f, "12 Ms" },
        { qrvx::getSyncedTimeParameterText, 0.0f, "8 Bars" }, { qrvx::getSyncedTimeParameterText, 7.0f, "1/4" },
        // Decimals: halves away from zero; a negative value keeps its "-", a zero gets "+" in dB.
        { qrvx::getPercentParameterText, 0.125f, "0.13 %" },  { qrvx::getPercentParameterText, -0.001f, "-0.00 %" },
        { qrvx::getHertzWithDecimalsParameterText, 12345.0f, "12345.000 Hz" },
        { qrvx::getDecibelsParameterText, -0.0f, "+0.00 dB" }, { qrvx::getDecibelsParameterText, -0.004f, "-0.00 dB" },
        { qrvx::getDecibelsParameterText, -69.999f, "-70.00 dB" }, { qrvx::getDecibelsParameterText, -70.0f, "-INF dB" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (c.convert (c.value), c.expected) << c.value;
}

TEST (Parameters, ProcessorAnswersTheHostAndTakesMonoOrStereoOnly)
{
    VevareroAudioProcessor processor;

    EXPECT_EQ (processor.getName(), "Vevarero");
    EXPECT_TRUE (processor.acceptsMidi() && ! processor.producesMidi());
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_TRUE (processor.getProgramName (0).isEmpty());
    EXPECT_EQ (processor.valueTreeState.state.getType().toString(), "Vevarero");
    EXPECT_EQ (processor.getTotalNumInputChannels(), 2);
    EXPECT_EQ (processor.getTotalNumOutputChannels(), 2);

    using Set = juce::AudioChannelSet;
    const struct { Set in, out; bool accepted; } layouts[] = {
        { Set::mono(), Set::mono(), true },          { Set::stereo(), Set::stereo(), true },
        { Set::mono(), Set::stereo(), false },       { Set::stereo(), Set::mono(), false },
        { Set::disabled(), Set::stereo(), false },   { Set::create5point1(), Set::create5point1(), false },
    };

    for (const auto& layout : layouts)
    {
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add (layout.in);
        l.outputBuses.add (layout.out);
        EXPECT_EQ (processor.checkBusesLayoutSupported (l), layout.accepted)
            << layout.in.getDescription() << " -> " << layout.out.getDescription();
    }
}
