#include "ParameterWithNameControls.h"

#include "ControlNameLabel.h"
#include "UIControlFactory.h"

ParameterWithNameControls::ParameterWithNameControls (const juce::String& name, const juce::Colour& colour,
                                                      VevareroAudioProcessor& processor, juce::String parameterID)
    : knob (qrvx::UIControlFactory::createRegularKnob (colour)),
      knobAttachment (processor.valueTreeState, parameterID, *knob)
{
    styleControlNameLabel (nameLabel, name, colour);
}

ParameterWithNameControls::~ParameterWithNameControls() = default;
