#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Sizes every control group shares, whoever places it: the knob, the name under it and the
    modulation socket.
*/
namespace ControlSizes
{
    constexpr int knob = 40;
    constexpr int nameHeight = 14;
    constexpr int socket = 16;
}

/** Gives a control group's name label its text, in the group's colour, centred under its knob. */
inline void styleControlNameLabel (juce::Label& label, const juce::String& name, const juce::Colour& colour)
{
    label.setText (name, juce::dontSendNotification);
    label.setJustificationType (juce::Justification::centred);
    label.setColour (juce::Label::textColourId, colour);
    label.setFont (juce::Font (12.0f));
}

/** Puts a group's name directly under its knob, as wide as the knob's cell and centred on the knob
    (a cell narrower than the knob still centres it).
*/
inline void placeControlNameUnderKnob (juce::Label& label, juce::Rectangle<int> knob, int cellWidth)
{
    label.setBounds (knob.getX() + (knob.getWidth() - cellWidth) / 2, knob.getBottom(), cellWidth, ControlSizes::nameHeight);
}
