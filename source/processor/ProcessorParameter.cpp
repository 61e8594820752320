#include "ProcessorParameter.h"

namespace
{
    // Version hint for the formats that want one; no format derives a host's parameter number
    // from it, so it never needs to change.
    constexpr int parameterVersionHint = 1;
}

ProcessorParameter::ProcessorParameter (const juce::String& parameterID,
                                        const juce::String& parameterName,
                                        const juce::String& label,
                                        juce::NormalisableRange<float> range,
                                        float defaultValue,
                                        TextFunction textFunction)
    : juce::AudioParameterFloat (juce::ParameterID { parameterID, parameterVersionHint },
                                 parameterName,
                                 range,
                                 defaultValue,
                                 juce::AudioParameterFloatAttributes().withLabel (label)),
      valueToText (std::move (textFunction)),
      unsnappedDefault (range.convertTo0to1 (defaultValue))
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
    return valueToText (getNormalisableRange().convertFrom0to1 (juce::jlimit (0.0f, 1.0f, normalisedValue)));
}
