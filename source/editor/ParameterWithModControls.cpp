#include "ParameterWithModControls.h"

#include "ControlNameLabel.h"
#include "UIControlFactory.h"

namespace
{
    constexpr int depthBarWidth = 80;
    constexpr int depthBarHeight = 12;
    constexpr int socketIndent = 6;
} // namespace

ParameterWithModControls::ParameterWithModControls (const juce::String& name, const juce::Colour& colour, int targetIndex,
                                                    VevareroAudioProcessor& processor, juce::String parameterID)
    : knob (qrvx::UIControlFactory::createRegularKnob (colour)),
      depthSlider (qrvx::UIControlFactory::createRegularKnob (colour)),
      inputPatchPoint (targetIndex, processor),
      index (targetIndex),
      knobAttachment (processor.valueTreeState, parameterID, *knob),
      depthAttachment (processor.valueTreeState, parameterID + processor.parametersUIDs.modDepthSuffix, *depthSlider)
{
    depthSlider->setSliderStyle (juce::Slider::LinearHorizontal);
    depthSlider->setColour (juce::Slider::thumbColourId, colour);

    styleControlNameLabel (nameLabel, name, colour);
}

ParameterWithModControls::~ParameterWithModControls() = default;

void ParameterWithModControls::position (const ControlCells& cells)
{
    knob->setBounds (cells.knobCell.withSizeKeepingCentre (ControlSizes::knob, ControlSizes::knob));
    placeControlNameUnderKnob (nameLabel, knob->getBounds(), cells.knobCell.getWidth());

    depthSlider->setBounds (cells.depthCell.withSizeKeepingCentre (depthBarWidth, depthBarHeight));

    const auto& socketCell = cells.patchPointCell;
    inputPatchPoint.setBounds (socketCell.getX() + socketIndent, socketCell.getY() + (socketCell.getHeight() - ControlSizes::socket) / 2,
                               ControlSizes::socket, ControlSizes::socket);
}
