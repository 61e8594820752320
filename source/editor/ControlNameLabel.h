#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Gives a control group's name label its text, in the group's colour, centred under its knob. */
inline void styleControlNameLabel (juce::Label& label, const juce::String& name, const juce::Colour& colour)
{
    label.setText (name, juce::dontSendNotification);
    label.setJustificationType (juce::Justification::centred);
    label.setColour (juce::Label::textColourId, colour);
    label.setFont (juce::Font (12.0f));
}
