#pragma once

#include "QrvxKnob.h"
#include "processor/PluginProcessor.h"

#include <memory>

/** A plain parameter's knob with its name. The editor adds both widgets to itself and places them. */
class ParameterWithNameControls final
{
public:
    ParameterWithNameControls (const juce::String& name, const juce::Colour& colour,
                               VevareroAudioProcessor& processor, juce::String parameterID);
    ~ParameterWithNameControls();

    std::unique_ptr<qrvx::QrvxKnob> knob;
    juce::Label nameLabel;
    juce::AudioProcessorValueTreeState::SliderAttachment knobAttachment;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ParameterWithNameControls)
};
