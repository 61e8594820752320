#pragma once

#include "ControlCells.h"
#include "InputPatchPoint.h"
#include "QrvxKnob.h"
#include "processor/PluginProcessor.h"

#include <memory>

/** A modulatable parameter's controls: its knob, the depth bar of its modulation, the socket that
    takes a modulation source, and its name. The editor adds the widgets to itself and has them
    placed here.
*/
class ParameterWithModControls final
{
public:
    ParameterWithModControls (const juce::String& name, const juce::Colour& colour, int index,
                              VevareroAudioProcessor& processor, juce::String parameterID);
    ~ParameterWithModControls();

    /** Places the widgets in the cells the editor's layout cut out for this control. */
    void position (const ControlCells& cells);

    std::unique_ptr<qrvx::QrvxKnob> knob;
    std::unique_ptr<qrvx::QrvxKnob> depthSlider;
    InputPatchPoint inputPatchPoint;
    juce::Label nameLabel;
    int index;
    juce::AudioProcessorValueTreeState::SliderAttachment knobAttachment;
    juce::AudioProcessorValueTreeState::SliderAttachment depthAttachment;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ParameterWithModControls)
};
