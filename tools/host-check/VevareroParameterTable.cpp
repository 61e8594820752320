#include "VevareroParameterTable.h"

#include <cmath>

float ExpectedParameter::toNormalised (float realValue) const noexcept
{
    return std::pow (toProportion (realValue), skew);
}

float ExpectedParameter::toProportion (float realValue) const noexcept
{
    return juce::jlimit (0.0f, 1.0f, (realValue - start) / (end - start));
}

const std::array<ExpectedParameter, 29> vevareroParameters { {
    //  ID                        name                    label  start   end       skew  default
    { "Cutoff",                 "Cutoff",               "Hz",  80.0f,  18000.0f, 0.5f, 11000.0f },
    { "Resonance",              "Resonance",            "%",   0.0f,   100.0f,   0.8f, 0.0f },
    { "Filter_Type",            "Filter Type",          "",    0.0f,   3.0f,     1.0f, 0.0f },
    { "Drive",                  "Drive",                "%",   0.0f,   100.0f,   0.5f, 0.0f },
    { "Distortion_Routing",     "Distortion Routing",   "",    0.0f,   1.0f,     1.0f, 0.0f },
    { "Rate",                   "Rate",                 "",    0.0f,   64.0f,    0.7f, 0.0f },
    { "Bits",                   "Bits",                 "",    1.0f,   16.0f,    1.0f, 16.0f },
    { "LoFi_Routing",           "LoFi Routing",         "",    0.0f,   2.0f,     1.0f, 0.0f },
    { "Amplitude",              "Amp",                  "dB",  -60.0f, 6.0f,     1.5f, 0.0f },
    { "Dry_Wet_Mix",            "Dry / Wet",            "%",   0.0f,   100.0f,   1.0f, 100.0f },
    { "LFO_1_Rate",             "LFO 1 RATE",           "Hz",  0.01f,  60.0f,    0.5f, 1.0f },
    { "LFO_1_Synced_Rate",      "LFO 1 SYNCED RATE",    "",    0.0f,   17.0f,    1.0f, 3.0f },
    { "LFO_1_Sync",             "LFO 1 SYNC",           "",    0.0f,   1.0f,     1.0f, 0.0f },
    { "LFO_1_Wave",             "LFO 1 WAVE",           "",    0.0f,   6.0f,     1.0f, 0.0f },
    { "LFO_2_Rate",             "LFO 2 RATE",           "Hz",  0.01f,  60.0f,    0.5f, 1.0f },
    { "LFO_2_Synced_Rate",      "LFO 2 SYNCED RATE",    "",    0.0f,   17.0f,    1.0f, 3.0f },
    { "LFO_2_Sync",             "LFO 2 SYNC",           "",    0.0f,   1.0f,     1.0f, 0.0f },
    { "LFO_2_Wave",             "LFO 2 WAVE",           "",    0.0f,   6.0f,     1.0f, 0.0f },
    { "LFOs_Mix",               "LFOs Mix",             "%",   0.0f,   100.0f,   1.0f, 50.0f },
    { "Cutoff_Mod_Source",      "Cutoff Mod Source",    "",    0.0f,   3.0f,     1.0f, 0.0f },
    { "Cutoff_Mod_Depth",       "Cutoff Mod Depth",     "",    0.0f,   1.0f,     1.0f, 0.0f },
    { "Resonance_Mod_Source",   "Resonance Mod Source", "",    0.0f,   3.0f,     1.0f, 0.0f },
    { "Resonance_Mod_Depth",    "Resonance Mod Depth",  "",    0.0f,   1.0f,     1.0f, 0.0f },
    { "Rate_Mod_Source",        "Rate Mod Source",      "",    0.0f,   3.0f,     1.0f, 0.0f },
    { "Rate_Mod_Depth",         "Rate Mod Depth",       "",    0.0f,   1.0f,     1.0f, 0.0f },
    { "Bits_Mod_Source",        "Bits Mod Source",      "",    0.0f,   3.0f,     1.0f, 0.0f },
    { "Bits_Mod_Depth",         "Bits Mod Depth",       "",    0.0f,   1.0f,     1.0f, 0.0f },
    { "Dry_Wet_Mix_Mod_Source", "Dry/Wet Mod Source",   "",    0.0f,   3.0f,     1.0f, 0.0f },
    { "Dry_Wet_Mix_Mod_Depth",  "Dry/Wet Mod Depth",    "",    0.0f,   1.0f,     1.0f, 0.0f },
} };

int vevareroParameterIndex (juce::StringRef id) noexcept
{
    for (size_t i = 0; i < vevareroParameters.size(); ++i)
        if (id == juce::StringRef (vevareroParameters[i].id))
            return (int) i;

    return -1;
}
