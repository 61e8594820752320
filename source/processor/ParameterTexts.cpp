#include "ParameterTexts.h"

#include <cmath>

namespace
{
    juce::String integerText (float value)
    {
        return juce::String (qrvx::toNearestInteger (value));
    }


    /** The entry of a label list; indices are compared unsigned, so a negative one is out of range. */
    template <size_t N>
    juce::String listText (const char* const (&labels)[N], float value)
    {
        const auto index = (unsigned int) qrvx::toNearestInteger (value);
        return index < N ? juce::String (labels[index]) : juce::String();
    }

    const char* const syncedRateLabels[] = { "8 BARS", "4 BARS", "2 BARS", "1 BAR",
                                             "1/2d", "1/2", "1/4d", "1/4", "1/8d", "1/8",
                                             "1/16d", "1/16", "1/32d", "1/32", "1/64d", "1/64",
                                             "1/128d", "1/128" };

    const char* const syncedTimeLabels[] = { "8 Bars", "4 Bars", "2 Bars", "1 Bar",
                                             "1/2d", "1/2", "1/4d", "1/4", "1/8d", "1/8",
                                             "1/16d", "1/16", "1/32d", "1/32", "1/64d", "1/64",
                                             "1/128d", "1/128" };
}

int qrvx::toNearestInteger (float value) noexcept
{
    // nearbyint honours the default rounding mode, round-half-to-even. Values no parameter can
    // hold (NaN, or beyond the int range) read as 0 rather than overflowing the conversion.
    const auto rounded = std::nearbyint ((double) value);
    return std::abs (rounded) < 2147483647.0 ? (int) rounded : 0;
}

juce::String qrvx::toDecimalText (float value, int places)
{
    // juce::String's own fixed form rounds exact halves to even and writes "-0.00" for a negative
    // zero; the texts round halves away from zero and write any zero without a sign.
    const auto number = (double) value;

    if (! (std::abs (number) < 1.0e15))
        return juce::String (number, places);

    auto digits = (juce::int64) (std::pow (10.0, places) * std::abs (number) + 0.5);

    char buffer[40];
    auto* text = buffer + sizeof (buffer);
    *--text = 0;

    for (int position = places; position >= 0 || digits > 0; --position)
    {
        if (position == 0 && places > 0)
            *--text = '.';

        *--text = (char) ('0' + digits % 10);
        digits /= 10;
    }

    if (number < 0.0)
        *--text = '-';

    return juce::String (text);
}

juce::String getFilterTypeText (float value)
{
    static const char* const labels[] = { "LOWPASS", "HIGHPASS", "BANDPASS", "NOTCH" };
    return listText (labels, value);
}

juce::String getDistortionRoutingText (float value)
{
    static const char* const labels[] = { "PRE FILTER", "POST FILTER" };
    return listText (labels, value);
}

juce::String getReductionRateText (float value)
{
    return "x " + integerText (value);
}

juce::String getBitResolutionText (float value)
{
    return integerText (value);
}

juce::String getLoFiRoutingText (float value)
{
    static const char* const labels[] = { "CHAIN", "MIX", "RING" };
    return listText (labels, value);
}

juce::String getLFOSyncedRateText (float value)
{
    return listText (syncedRateLabels, value);
}

juce::String getLFOSyncText (float value)
{
    return qrvx::toNearestInteger (value) < 1 ? "OFF" : "ON";
}

juce::String getLFOWaveText (float value)
{
    static const char* const labels[] = { "SINE", "SQUARE", "SAW U", "SAW D", "TRI", "RND", "S RND" };
    return listText (labels, value);
}

juce::String getModSourceText (float value)
{
    static const char* const labels[] = { "NONE", "LFO 1", "LFO 2", "LFO MIX" };
    return listText (labels, value);
}

namespace qrvx
{
    const ParameterTextFunction getPercentParameterText = [] (float value)
    {
        return qrvx::toDecimalText (value, 2) + " %";
    };

    const ParameterTextFunction getMillisecondsParameterText = [] (float value)
    {
        return integerText (value) + " Ms";
    };

    const ParameterTextFunction getHertzParameterText = [] (float value)
    {
        return integerText (value) + " Hz";
    };

    const ParameterTextFunction getHertzWithDecimalsParameterText = [] (float value)
    {
        return qrvx::toDecimalText (value, 3) + " Hz";
    };

    const ParameterTextFunction getDecibelsParameterText = [] (float value)
    {
        if (value <= -70.0f)
            return juce::String ("-INF dB");

        return (value >= 0.0f ? "+" : "") + qrvx::toDecimalText (value, 2) + " dB";
    };

    const ParameterTextFunction getSyncedTimeParameterText = [] (float value)
    {
        return listText (syncedTimeLabels, value);
    };
}
