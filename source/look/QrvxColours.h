#pragma once

#include <juce_graphics/juce_graphics.h>

/** The editor's palette. Panels, knobs, selectors, sockets and the footer all pick their colours
    from here, so the editor reads as one piece.
*/
namespace qrvx::QrvxColours
{
    extern const juce::Colour blue;
    extern const juce::Colour green;
    extern const juce::Colour yellow;
    extern const juce::Colour orange;
    extern const juce::Colour lime;
    extern const juce::Colour teal;
    extern const juce::Colour grey;
    extern const juce::Colour dark_grey;
    extern const juce::Colour light_grey;
} // namespace qrvx::QrvxColours
