#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** A parameter of the processor's tree.

    It behaves like JUCE's AudioProcessorValueTreeState::Parameter (unsnapped default, steps from
    the interval), except for its text: a host that asks for the text of a normalised value sees that
    value as it is, not first snapped to the parameter's interval. So "Bits" at 0.5 reads 8 (8.5,
    rounded half to even) rather than the 9 of the snapped value.
*/
class ProcessorParameter final : public juce::AudioParameterFloat
{
public:
    using TextFunction = std::function<juce::String (float)>;

    ProcessorParameter (const juce::String& parameterID,
                        const juce::String& parameterName,
                        const juce::String& label,
                        juce::NormalisableRange<float> range,
                        float defaultValue,
                        TextFunction valueToText);

    float getDefaultValue() const override;
    int getNumSteps() const override;
    juce::String getText (float normalisedValue, int maximumStringLength) const override;

private:
    TextFunction valueToText;
    float unsnappedDefault;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProcessorParameter)
};
