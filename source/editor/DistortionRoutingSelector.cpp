#include "DistortionRoutingSelector.h"

#include "EmbeddedDrawing.h"
#include "HostQuirks.h"
#include "ParameterLink.h"
#include "VevareroBinaryData.h"
#include "processor/ParametersUIDs.h"

DistortionRoutingSelector::DistortionRoutingSelector (juce::AudioProcessorValueTreeState& valueTreeState)
    : parameter (valueTreeState.getParameter (ParametersUIDs().distortionRoutingID)),
      isAbletonLive (qrvx::HostQuirks::isAbletonLive()),
      leftChevrons (EmbeddedDrawing::load (VevareroBinaryData::chevrons_left_svg, VevareroBinaryData::chevrons_left_svgSize)),
      rightChevrons (EmbeddedDrawing::load (VevareroBinaryData::chevrons_right_svg, VevareroBinaryData::chevrons_right_svgSize))
{
    setSize (400, 200);
    refreshFromParameter();
    repaint();
}

DistortionRoutingSelector::~DistortionRoutingSelector() = default;

void DistortionRoutingSelector::mouseDown (const juce::MouseEvent& e)
{
    if (! e.mods.isLeftButtonDown())
        return;

    const auto wasPreFilter = currentValue == 0;
    currentValue = wasPreFilter ? 1 : 0;
    ParameterLink::writeValue (parameter, wasPreFilter ? 1.0f : 0.0f, isAbletonLive);
    repaint();
}

void DistortionRoutingSelector::paint (juce::Graphics& g)
{
    // The chevrons point the way the drive moves: right before the filter, left after it.
    auto& chevrons = currentValue != 0 ? leftChevrons : rightChevrons;
    if (chevrons != nullptr)
        chevrons->drawWithin (g, getLocalBounds().toFloat(), juce::RectanglePlacement::stretchToFit, 1.0f);
}

void DistortionRoutingSelector::resized() {}

void DistortionRoutingSelector::refreshFromParameter()
{
    if (parameter == nullptr)
        return;

    const auto value = juce::roundToInt (parameter->getValue());
    if (value == currentValue)
        return;

    currentValue = value;
    repaint();
}
