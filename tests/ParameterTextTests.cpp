#include "processor/PluginProcessor.h"
#include "processor/ParameterTexts.h"

#include <gtest/gtest.h>

namespace
{
    struct TextCase
    {
        const char* parameterID;
        float realValue;
        const char* expected;
    };

    /** The text a host gets for a real value: the parameter normalises it, the host asks for the
        text of the normalised value, and the parameter converts back before formatting. */
    juce::String hostText (VevareroAudioProcessor& processor, const char* id, float realValue)
    {
        auto* p = processor.valueTreeState.getParameter (id);
        EXPECT_NE (p, nullptr) << id;
        return p == nullptr ? juce::String() : p->getText (p->convertTo0to1 (realValue), 1024);
    }
}

TEST (ParameterTexts, HostSeesTheTextOfEachParameter)
{
    VevareroAudioProcessor processor;

    const TextCase cases[] = {
        { "Cutoff", 11000.0f, "11000 Hz" },
        { "Cutoff", 18000.0f, "18000 Hz" },
        { "Cutoff", 80.0f, "80 Hz" },
        { "Resonance", 0.0f, "0.00 %" },
        { "Resonance", 0.1f, "0.10 %" },
        { "Resonance", 100.0f, "100.00 %" },
        { "Filter_Type", 2.0f, "BANDPASS" },
        { "Filter_Type", 3.0f, "NOTCH" },
        { "Drive", 50.0f, "50.00 %" },
        { "Distortion_Routing", 0.0f, "PRE FILTER" },
        { "Distortion_Routing", 1.0f, "POST FILTER" },
        { "Rate", 0.0f, "x 0" },
        { "Rate", 64.0f, "x 64" },
        { "Bits", 16.0f, "16" },
        { "LoFi_Routing", 2.0f, "RING" },
        { "Amplitude", 0.0f, "+0.00 dB" },
        { "Amplitude", 6.0f, "+6.00 dB" },
        { "Amplitude", -60.0f, "-60.00 dB" },
        { "Dry_Wet_Mix", 100.0f, "100.00 %" },
        { "LFO_1_Rate", 0.01f, "0.010 Hz" },
        { "LFO_1_Rate", 60.0f, "60.000 Hz" },
        { "LFO_2_Rate", 1.0f, "1.000 Hz" },
        { "LFO_1_Synced_Rate", 3.0f, "1 BAR" },
        { "LFO_2_Synced_Rate", 17.0f, "1/128" },
        { "LFO_1_Sync", 0.0f, "OFF" },
        { "LFO_2_Sync", 1.0f, "ON" },
        { "LFO_1_Wave", 6.0f, "S RND" },
        { "LFO_2_Wave", 2.0f, "SAW U" },
        { "LFOs_Mix", 50.0f, "50.00 %" },
        { "Cutoff_Mod_Source", 3.0f, "LFO MIX" },
        { "Dry_Wet_Mix_Mod_Source", 0.0f, "NONE" },
        { "Cutoff_Mod_Depth", 0.5f, "0.50" },
        { "Bits_Mod_Depth", 0.25f, "0.25" },
        { "Dry_Wet_Mix_Mod_Depth", 1.0f, "1.00" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (hostText (processor, c.parameterID, c.realValue), c.expected)
            << c.parameterID << " at " << c.realValue;

    for (auto* p : processor.getParameters())
    {
        auto* ranged = dynamic_cast<juce::RangedAudioParameter*> (p);
        ASSERT_NE (ranged, nullptr);
        EXPECT_FALSE (ranged->getText (ranged->getDefaultValue(), 1024).isEmpty()) << ranged->getParameterID();
    }
}

TEST (ParameterTexts, IntegerFormRoundsHalvesToEvenAndListsRejectOutOfRangeIndices)
{
    const struct { std::function<juce::String (float)> convert; float value; const char* expected; } cases[] = {
        { getFilterTypeText, 1.5f, "BANDPASS" },
        { getFilterTypeText, 2.5f, "BANDPASS" },
        { getFilterTypeText, 3.5f, "" },
        { getFilterTypeText, -0.5f, "LOWPASS" },
        { getFilterTypeText, -0.6f, "" },
        { getLFOSyncText, 0.5f, "OFF" },
        { getLFOSyncText, 1.5f, "ON" },
        { getLFOSyncText, -3.0f, "OFF" },
        { getLFOSyncedRateText, 18.0f, "" },
        { getLFOSyncedRateText, 4.0f, "1/2d" },
        { getLFOSyncedRateText, -1.0f, "" },
        { getLFOWaveText, 7.0f, "" },
        { getModSourceText, 4.0f, "" },
        { getDistortionRoutingText, 2.0f, "" },
        { getLoFiRoutingText, 3.0f, "" },
        { getReductionRateText, 0.5f, "x 0" },
        { getReductionRateText, 1.5f, "x 2" },
        { getReductionRateText, -0.5f, "x 0" },
        { getReductionRateText, -1.5f, "x -2" },
        { getBitResolutionText, 2.5f, "2" },
        { qrvx::getHertzParameterText, 4560.5f, "4560 Hz" },
        { qrvx::getHertzParameterText, 4561.5f, "4562 Hz" },
        { qrvx::getMillisecondsParameterText, 12.5f, "12 Ms" },
        { qrvx::getSyncedTimeParameterText, 0.0f, "8 Bars" },
        { qrvx::getSyncedTimeParameterText, 3.0f, "1 Bar" },
        { qrvx::getSyncedTimeParameterText, 7.0f, "1/4" },
        { qrvx::getSyncedTimeParameterText, 18.0f, "" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (c.convert (c.value), c.expected) << c.value;
}

TEST (ParameterTexts, DecimalFormRoundsHalvesAwayFromZeroAndKeepsTheSign)
{
    const struct { std::function<juce::String (float)> convert; float value; const char* expected; } cases[] = {
        { qrvx::getPercentParameterText, 0.125f, "0.13 %" },
        { qrvx::getPercentParameterText, -0.125f, "-0.13 %" },
        { qrvx::getPercentParameterText, -0.001f, "-0.00 %" },
        { qrvx::getPercentParameterText, 33.333f, "33.33 %" },
        { qrvx::getHertzWithDecimalsParameterText, 0.0125f, "0.013 Hz" },
        { qrvx::getHertzWithDecimalsParameterText, 12345.0f, "12345.000 Hz" },
        { qrvx::getDecibelsParameterText, 0.0f, "+0.00 dB" },
        { qrvx::getDecibelsParameterText, -0.0f, "+0.00 dB" },
        { qrvx::getDecibelsParameterText, -0.004f, "-0.00 dB" },
        { qrvx::getDecibelsParameterText, -69.999f, "-70.00 dB" },
        { qrvx::getDecibelsParameterText, -70.0f, "-INF dB" },
        { qrvx::getDecibelsParameterText, -100.0f, "-INF dB" },
        { qrvx::getDecibelsParameterText, 5.999f, "+6.00 dB" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (c.convert (c.value), c.expected) << c.value;
}

TEST (ParameterTexts, HostTextsAreReadBackAsPlainNumbersInRealUnits)
{
    VevareroAudioProcessor processor;

    const struct { const char* id; const char* text; float expectedReal; } cases[] = {
        { "Cutoff", "4560", 4560.0f },
        { "Amplitude", "-12.5", -12.5f },
        { "Rate", "24", 24.0f },
        { "Cutoff_Mod_Depth", "0.5", 0.5f },
    };

    for (const auto& c : cases)
    {
        auto* p = processor.valueTreeState.getParameter (c.id);
        ASSERT_NE (p, nullptr);
        EXPECT_NEAR (p->convertFrom0to1 (p->getValueForText (c.text)), c.expectedReal, 1.0e-3f) << c.id;
    }
}

TEST (ParameterTexts, HostTextsShowTheValueAsAskedNotSnappedToTheInterval)
{
    VevareroAudioProcessor processor;

    const struct { const char* id; float normalised; const char* expected; } cases[] = {
        { "Bits", 0.5f, "8" },           // 8.5 rounds half to even; snapped it would read 9
        { "Resonance", 0.5f, "42.04 %" },// 100 * 0.5^(1/0.8) = 42.045
        { "Filter_Type", 0.5f, "BANDPASS" },
        { "Rate", 0.5f, "x 24" },        // 23.776, before snapping as well as after
        { "Cutoff", 0.5f, "4560 Hz" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (processor.valueTreeState.getParameter (c.id)->getText (c.normalised, 1024), c.expected) << c.id;
}
