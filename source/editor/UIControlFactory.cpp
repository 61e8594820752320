#include "UIControlFactory.h"

#include "look/QrvxColours.h"

namespace qrvx
{

std::unique_ptr<QrvxKnob> UIControlFactory::createRegularKnob (const juce::Colour& colour)
{
    auto knob = std::make_unique<QrvxKnob>();
    knob->setSliderStyle (juce::Slider::RotaryVerticalDrag);
    knob->setRange (0.0, 1.0, 0.001);
    knob->setTextBoxStyle (juce::Slider::NoTextBox, true, 0, 0);

    // The bars' track stays invisible: the panel behind them is their background.
    knob->setColour (juce::Slider::backgroundColourId, QrvxColours::dark_grey().withAlpha ((juce::uint8) 0));
    knob->setColour (juce::Slider::rotarySliderFillColourId, colour);

    // The editor takes no keys; a focused knob would only swallow the host's shortcuts.
    knob->setWantsKeyboardFocus (false);
    return knob;
}

} // namespace qrvx
