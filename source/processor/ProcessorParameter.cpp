#include "ProcessorParameter.h"

#include <charconv>
#include <cmath>

namespace
{
    // Version hint for the formats that want one; no format derives a host's parameter number
    // from it, so it never needs to change.
    constexpr int parameterVersionHint = 1;

    /** The decimal number a float was written as: 0.001f gives 0.001, not 0.0010000000474974513. */
    double shortestDecimal (float value)
    {
        char text[32];
        const auto result = std::to_chars (text, text + sizeof (text) - 1, value);
        *result.ptr = 0;
        return std::strtod (text, nullptr);
    }

    /** The range the parameter hands to JUCE: every value taken from a normalised value lands on
        the float nearest a grid point. */
    juce::NormalisableRange<float> exactRange (const juce::NormalisableRange<float>& range)
    {
        const ProcessorParameter::Grid grid (range);

        juce::NormalisableRange<float> exact (range.start,
                                              range.end,
                                              [grid] (float, float, float proportion) { return (float) grid.snap (grid.fromProportion (proportion)); },
                                              [grid] (float, float, float value) { return (float) grid.toProportion (value); },
                                              [grid] (float, float, float value) { return (float) grid.snap (value); });
        exact.interval = range.interval;
        exact.skew = range.skew;
        return exact;
    }
}

//==============================================================================
ProcessorParameter::Grid::Grid (const juce::NormalisableRange<float>& range)
    : start (range.start),
      end (range.end),
      interval (shortestDecimal (range.interval)),
      skew (range.skew)
{
}

double ProcessorParameter::Grid::toProportion (double value) const
{
    return std::pow (juce::jlimit (0.0, 1.0, (value - start) / (end - start)), skew);
}

double ProcessorParameter::Grid::fromProportion (double proportion) const
{
    return start + (end - start) * std::pow (juce::jlimit (0.0, 1.0, proportion), 1.0 / skew);
}

double ProcessorParameter::Grid::snap (double value) const
{
    if (interval > 0.0)
        value = start + interval * std::floor ((value - start) / interval + 0.5);

    return juce::jlimit (start, end, value);
}

//==============================================================================
ProcessorParameter::ProcessorParameter (const juce::String& parameterID,
                                        const juce::String& parameterName,
                                        const juce::String& labelText,
                                        const juce::NormalisableRange<float>& valueRange,
                                        float defaultValue,
                                        TextFunction textFunction)
    : juce::AudioParameterFloat (juce::ParameterID { parameterID, parameterVersionHint },
                                 parameterName,
                                 exactRange (valueRange),
                                 defaultValue,
                                 juce::AudioParameterFloatAttributes().withLabel (labelText)),
      grid (valueRange),
      valueToText (std::move (textFunction)),
      unsnappedDefault ((float) grid.toProportion (defaultValue))
{
    jassert (valueToText != nullptr);
}

float ProcessorParameter::getDefaultValue() const
{
    return unsnappedDefault;
}

int ProcessorParameter::getNumSteps() const
{
    return juce::RangedAudioParameter::getNumSteps();
}

juce::String ProcessorParameter::getText (float normalisedValue, int) const
{
    // A normalised float cannot hold every grid point exactly (0 dB comes back as +-2.4e-6 dB), so
    // a value within that noise of a grid point shows the point; values between points, as a host
    // may ask about, show as they are.
    auto realValue = grid.fromProportion (normalisedValue);
    const auto nearestPoint = grid.snap (realValue);

    if (std::abs (realValue - nearestPoint) <= (grid.end - grid.start) * 1.0e-6)
        realValue = nearestPoint;

    return valueToText ((float) realValue);
}
