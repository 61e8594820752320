#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** What the editor's own writers (selectors, switches, sockets) need to write one parameter: the
    parameter, a copy of its range, and whether the host wants gestures around clicks.

    Choice parameters are written as normalised values of the range copied here, so the editor and
    the host agree on which index a value means.
*/
struct ParameterLink
{
    ParameterLink (const juce::String& parameterID, juce::AudioProcessorValueTreeState& valueTreeState);

    /** Writes a choice index, converted through the copied range, under writeValue's rule. */
    void updateIntParameter (int index);

    /** The choice index the parameter holds now, read back through the copied range; 0 (the first
        choice) when there is no parameter.
    */
    int readIntParameter() const;

    /** Writes a normalised value: alone in Ableton Live, which makes an automation gesture of each
        change by itself, otherwise inside a begin/end gesture of its own.
    */
    void writeValue (float normalisedValue);

    /** The same rule for writers that keep a bare parameter pointer instead of a link. */
    static void writeValue (juce::AudioProcessorParameter* parameter, float normalisedValue, bool isAbletonLive);

    juce::AudioProcessorParameter* parameter = nullptr;
    juce::NormalisableRange<float> range;
    bool isAbletonLive = false;
};
