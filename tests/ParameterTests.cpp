#include "processor/PluginProcessor.h"
#include "processor/ParameterTexts.h"

#include <gtest/gtest.h>

TEST (Parameters, HostSeesTwentyNineInOrderWithNamesLabelsAndDefaults)
{
    // Host order, name, label and normalised default (skewed ranges give the odd numbers).
    const struct { const char* id; const char* name; const char* label; float normalisedDefault; } expected[] = {
        { "Cutoff",                 "Cutoff",               "Hz", 0.780625f },
        { "Resonance",              "Resonance",            "%",  0.0f },
        { "Filter_Type",            "Filter Type",          "",   0.0f },
        { "Drive",                  "Drive",                "%",  0.0f },
        { "Distortion_Routing",     "Distortion Routing",   "",   0.0f },
        { "Rate",                   "Rate",                 "",   0.0f },
        { "Bits",                   "Bits",                 "",   1.0f },
        { "LoFi_Routing",           "LoFi Routing",         "",   0.0f },
        { "Amplitude",              "Amp",                  "dB", 0.866784f },
        { "Dry_Wet_Mix",            "Dry / Wet",            "%",  1.0f },
        { "LFO_1_Rate",             "LFO 1 RATE",           "Hz", 0.128463f },
        { "LFO_1_Synced_Rate",      "LFO 1 SYNCED RATE",    "",   3.0f / 17.0f },
        { "LFO_1_Sync",             "LFO 1 SYNC",           "",   0.0f },
        { "LFO_1_Wave",             "LFO 1 WAVE",           "",   0.0f },
        { "LFO_2_Rate",             "LFO 2 RATE",           "Hz", 0.128463f },
        { "LFO_2_Synced_Rate",      "LFO 2 SYNCED RATE",    "",   3.0f / 17.0f },
        { "LFO_2_Sync",             "LFO 2 SYNC",           "",   0.0f },
        { "LFO_2_Wave",             "LFO 2 WAVE",           "",   0.0f },
        { "LFOs_Mix",               "LFOs Mix",             "%",  0.5f },
        { "Cutoff_Mod_Source",      "Cutoff Mod Source",    "",   0.0f },
        { "Cutoff_Mod_Depth",       "Cutoff Mod Depth",     "",   0.0f },
        { "Resonance_Mod_Source",   "Resonance Mod Source", "",   0.0f },
        { "Resonance_Mod_Depth",    "Resonance Mod Depth",  "",   0.0f },
        { "Rate_Mod_Source",        "Rate Mod Source",      "",   0.0f },
        { "Rate_Mod_Depth",         "Rate Mod Depth",       "",   0.0f },
        { "Bits_Mod_Source",        "Bits Mod Source",      "",   0.0f },
        { "Bits_Mod_Depth",         "Bits Mod Depth",       "",   0.0f },
        { "Dry_Wet_Mix_Mod_Source", "Dry/Wet Mod Source",   "",   0.0f },
        { "Dry_Wet_Mix_Mod_Depth",  "Dry/Wet Mod Depth",    "",   0.0f },
    };

    VevareroAudioProcessor processor;
    const auto& parameters = processor.getParameters();
    ASSERT_EQ (parameters.size(), (int) std::size (expected)) << "number of parameters the host sees";

    for (int i = 0; i < parameters.size(); ++i)
    {
        auto* p = dynamic_cast<juce::RangedAudioParameter*> (parameters[i]);
        ASSERT_NE (p, nullptr) << "parameter " << i << " (expected " << expected[i].id << ") is not a ranged parameter";
        EXPECT_EQ (p->getParameterID() + " / " + p->getName (1024) + " / " + p->getLabel(),
                   juce::String (expected[i].id) + " / " + expected[i].name + " / " + expected[i].label)
            << "parameter " << i << " in host order";
        EXPECT_NEAR (p->getValue(), expected[i].normalisedDefault, 1.0e-6f) << expected[i].id << " value";
        EXPECT_NEAR (p->getDefaultValue(), expected[i].normalisedDefault, 1.0e-6f) << expected[i].id << " default";
        EXPECT_TRUE (p->isAutomatable()) << expected[i].id << " should be automatable";
        EXPECT_FALSE (p->isMetaParameter()) << expected[i].id << " should not be a meta parameter";
    }
}

TEST (Parameters, ValuesStartOnTheirDefaultsAndHostWritesSnapExactlyToTheGrid)
{
    VevareroAudioProcessor processor;
    auto& state = processor.valueTreeState;
    const auto raw = [&] (const char* id) { return state.getRawParameterValue (id)->load(); };

    // Defaults are exact in the values the signal chain reads and in the tree that presets save.
    for (const auto& [id, real] : { std::pair ("Cutoff", 11000.0f),
                                    { "Amplitude", 0.0f },
                                    { "LFO_1_Rate", 1.0f },
                                    { "LFOs_Mix", 50.0f },
                                    { "Bits", 16.0f } })
    {
        EXPECT_EQ (raw (id), real) << id << " as the signal chain reads it";
        EXPECT_EQ ((float) state.state.getChildWithProperty ("id", id).getProperty ("value"), real)
            << id << " in the saved tree";
    }

    // Normalised writes are denormalised through the skew, then snapped (halves go up). Grid points
    // (written as their own normalised value, marked -1) come back exactly, also those float
    // snapping misses (-60 + 60000 * 0.001f is not 0).
    struct Write { const char* id; float normalised, real; };
    for (const auto& w : { Write { "Cutoff", 0.5f, 4560.0f },
                           Write { "Rate", 0.5f, 24.0f },
                           Write { "Bits", 0.0f, 1.0f },
                           Write { "Amplitude", 0.0f, -60.0f },
                           Write { "LFO_2_Rate", 1.0f, 60.0f },
                           Write { "Amplitude", -1.0f, 0.0f },
                           Write { "Amplitude", -1.0f, -12.345f },
                           Write { "LFO_1_Rate", -1.0f, 0.37f },
                           Write { "Resonance", -1.0f, 33.3f },
                           Write { "Cutoff_Mod_Depth", -1.0f, 0.123f } })
    {
        auto& p = *state.getParameter (w.id);
        p.setValueNotifyingHost (w.normalised < 0.0f ? p.convertTo0to1 (w.real) : w.normalised);
        EXPECT_EQ (raw (w.id), w.real) << w.id << " written as " << w.normalised;
    }

    // Texts typed in a host are read as plain numbers in real units.
    auto& amplitude = *state.getParameter ("Amplitude");
    EXPECT_NEAR (amplitude.convertFrom0to1 (amplitude.getValueForText ("-12.5")), -12.5f, 1.0e-3f)
        << "Amplitude typed as \"-12.5\"";
}

TEST (Parameters, HostSeesTheTextOfTheValueItAsksAboutUnsnappedAndRounded)
{
    VevareroAudioProcessor processor;

    // Normalised values as a host holds them; 0.5 lies between two steps of several parameters.
    const struct { const char* id; float normalised; const char* expected; } cases[] = {
        { "Cutoff",             0.780625f,    "11000 Hz" },
        { "Cutoff",             1.0f,         "18000 Hz" },
        { "Resonance",          0.0f,         "0.00 %" },
        { "Resonance",          0.5f,         "42.04 %" },
        { "Filter_Type",        0.5f,         "BANDPASS" },
        { "Distortion_Routing", 1.0f,         "POST FILTER" },
        { "Rate",               0.5f,         "x 24" },
        { "Bits",               0.5f,         "8" }, // 8.5, half to even
        { "LoFi_Routing",       1.0f,         "RING" },
        { "Amplitude",          0.866784f,    "+0.00 dB" },
        { "Amplitude",          0.0f,         "-60.00 dB" },
        { "Dry_Wet_Mix",        1.0f,         "100.00 %" },
        { "LFO_1_Rate",         0.0f,         "0.010 Hz" },
        { "LFO_2_Rate",         0.128463f,    "1.000 Hz" },
        { "LFO_1_Synced_Rate",  3.0f / 17.0f, "1 BAR" },
        { "LFO_2_Synced_Rate",  1.0f,         "1/128" },
        { "LFO_1_Sync",         0.0f,         "OFF" },
        { "LFO_2_Wave",         2.0f / 6.0f,  "SAW U" },
        { "Cutoff_Mod_Source",  1.0f,         "LFO MIX" },
        { "Bits_Mod_Depth",     0.25f,        "0.25" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (processor.valueTreeState.getParameter (c.id)->getText (c.normalised, 1024), c.expected)
            << c.id << " at " << c.normalised << " should read \"" << c.expected << "\"";

    // The converters behind them: list indices round halves to even, and anything outside the list
    // (negative too) is empty; decimals round halves away from zero, a negative value keeps its "-"
    // and a zero gets "+" in dB.
    struct Conversion
    {
        const char* name;
        std::function<juce::String (float)> convert;
        float value;
        const char* expected;
    };

    const Conversion converted[] = {
        { "filter type",         getFilterTypeText,                         2.5f,      "BANDPASS" },
        { "filter type",         getFilterTypeText,                         -0.5f,     "LOWPASS" },
        { "filter type",         getFilterTypeText,                         -0.6f,     "" },
        { "filter type",         getFilterTypeText,                         3.5f,      "" },
        { "LFO sync",            getLFOSyncText,                            0.5f,      "OFF" },
        { "LFO sync",            getLFOSyncText,                            1.5f,      "ON" },
        { "LFO synced rate",     getLFOSyncedRateText,                      18.0f,     "" },
        { "LFO wave",            getLFOWaveText,                            7.0f,      "" },
        { "mod source",          getModSourceText,                          4.0f,      "" },
        { "lo-fi routing",       getLoFiRoutingText,                        3.0f,      "" },
        { "reduction rate",      getReductionRateText,                      1.5f,      "x 2" },
        { "reduction rate",      getReductionRateText,                      -1.5f,     "x -2" },
        { "hertz",               qrvx::getHertzParameterText,               4561.5f,   "4562 Hz" },
        { "milliseconds",        qrvx::getMillisecondsParameterText,        12.5f,     "12 Ms" },
        { "synced time",         qrvx::getSyncedTimeParameterText,          0.0f,      "8 Bars" },
        { "synced time",         qrvx::getSyncedTimeParameterText,          7.0f,      "1/4" },
        { "percent",             qrvx::getPercentParameterText,             0.125f,    "0.13 %" },
        { "percent",             qrvx::getPercentParameterText,             -0.001f,   "-0.00 %" },
        { "hertz with decimals", qrvx::getHertzWithDecimalsParameterText,   12345.0f,  "12345.000 Hz" },
        { "decibels",            qrvx::getDecibelsParameterText,            -0.0f,     "+0.00 dB" },
        { "decibels",            qrvx::getDecibelsParameterText,            -0.004f,   "-0.00 dB" },
        { "decibels",            qrvx::getDecibelsParameterText,            -69.999f,  "-70.00 dB" },
        { "decibels",            qrvx::getDecibelsParameterText,            -70.0f,    "-INF dB" },
    };

    for (const auto& c : converted)
        EXPECT_EQ (c.convert (c.value), c.expected)
            << c.name << " text of " << c.value << " should be \"" << c.expected << "\"";
}

TEST (Parameters, ProcessorAnswersTheHostAndTakesMonoOrStereoOnly)
{
    VevareroAudioProcessor processor;
    EXPECT_EQ (processor.getName() + " " + processor.valueTreeState.state.getType().toString(), "Vevarero Vevarero")
        << "processor name, then state tree type";
    EXPECT_TRUE (processor.acceptsMidi()) << "the processor should accept MIDI";
    EXPECT_FALSE (processor.producesMidi()) << "the processor should not produce MIDI";
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0) << "tail length in seconds";
    EXPECT_EQ (processor.getNumPrograms(), 1) << "number of programs";
    EXPECT_TRUE (processor.getProgramName (0).isEmpty())
        << "program 0 should have no name but is \"" << processor.getProgramName (0) << "\"";
    EXPECT_EQ (processor.getTotalNumInputChannels(), 2) << "input channels";
    EXPECT_EQ (processor.getTotalNumOutputChannels(), 2) << "output channels";

    using Set = juce::AudioChannelSet;
    const struct { Set in, out; bool accepted; } layouts[] = {
        { Set::mono(),          Set::mono(),          true },
        { Set::stereo(),        Set::stereo(),        true },
        { Set::mono(),          Set::stereo(),        false },
        { Set::stereo(),        Set::mono(),          false },
        { Set::disabled(),      Set::stereo(),        false },
        { Set::create5point1(), Set::create5point1(), false },
    };

    for (const auto& layout : layouts)
        EXPECT_EQ (processor.checkBusesLayoutSupported ({ { layout.in }, { layout.out } }), layout.accepted)
            << layout.in.getDescription() << " -> " << layout.out.getDescription();
}
