#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** A parameter of the processor's tree.

    It behaves like JUCE's AudioProcessorValueTreeState::Parameter (unsnapped default, steps from
    the interval), with two differences:
    - it snaps to its grid exactly, so a default such as 0 dB is exactly 0 wherever the tree and the
      signal chain read it (float snapping gives -60 + 60000 * 0.001f = 2.9e-6);
    - its text shows the value a host asks about as it is, not first snapped to the interval, so
      "Bits" at 0.5 reads 8 (8.5, rounded half to even) rather than the 9 of the snapped value.
*/
class ProcessorParameter final : public juce::AudioParameterFloat
{
public:
    using TextFunction = std::function<juce::String (float)>;

    ProcessorParameter (const juce::String& parameterID,
                        const juce::String& parameterName,
                        const juce::String& labelText,
                        const juce::NormalisableRange<float>& valueRange,
                        float defaultValue,
                        TextFunction valueToText);

    float getDefaultValue() const override;
    int getNumSteps() const override;
    juce::String getText (float normalisedValue, int maximumStringLength) const override;

    /** A range's mapping computed in double, with the interval taken as the decimal it was
        written as (0.001f as 0.001). */
    struct Grid
    {
        explicit Grid (const juce::NormalisableRange<float>& range);

        double toProportion (double value) const;
        double fromProportion (double proportion) const;
        double snap (double value) const;

        double start, end, interval, skew;
    };

private:
    const Grid grid;
    TextFunction valueToText;
    float unsnappedDefault;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ProcessorParameter)
};
