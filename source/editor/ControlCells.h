#pragma once

#include <juce_graphics/juce_graphics.h>

/** Where the editor's layout puts one modulatable control's parts. */
struct ControlCells
{
    juce::Rectangle<int> knobCell;       // the knob is centred here, its name hangs below it
    juce::Rectangle<int> depthCell;      // the depth bar is centred here
    juce::Rectangle<int> patchPointCell; // the input socket sits at its left edge
};
