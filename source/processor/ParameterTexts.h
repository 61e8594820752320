#pragma once

#include <juce_core/juce_core.h>
#include <functional>

/*  Value-to-text converters of the parameters. Each takes a parameter's real (de-normalised) value.

    Two number forms are used: integers round half to even ("2.5" shows 2), decimals round half
    away from zero and keep the "-" of a negative value even when every digit is zero.
*/

juce::String getFilterTypeText (float value);
juce::String getDistortionRoutingText (float value);
juce::String getReductionRateText (float value);
juce::String getBitResolutionText (float value);
juce::String getLoFiRoutingText (float value);
juce::String getLFOSyncedRateText (float value);
juce::String getLFOSyncText (float value);
juce::String getLFOWaveText (float value);
juce::String getModSourceText (float value);

namespace qrvx
{
    using ParameterTextFunction = std::function<juce::String (float)>;

    extern const ParameterTextFunction getPercentParameterText;
    extern const ParameterTextFunction getMillisecondsParameterText;
    extern const ParameterTextFunction getHertzParameterText;
    extern const ParameterTextFunction getHertzWithDecimalsParameterText;
    extern const ParameterTextFunction getDecibelsParameterText;
    extern const ParameterTextFunction getSyncedTimeParameterText;

    /** The value taken to the nearest integer, an exact half going to the even neighbour. */
    int toNearestInteger (float value) noexcept;

    /** The value with exactly `places` decimals, halves rounded away from zero; a negative value
        keeps its "-" even when every digit is zero. */
    juce::String toDecimalText (float value, int places);
}
