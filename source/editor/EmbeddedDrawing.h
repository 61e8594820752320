#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace EmbeddedDrawing
{
    /** Builds a drawing from embedded SVG text. The drawings are ours and always parse; a null
        result would be a broken build, which the tests catch.
    */
    std::unique_ptr<juce::Drawable> load (const char* svgText, int size);

    /** The same, with one colour of the drawing replaced by another (the drawings are stored in
        neutral colours and tinted for where they are shown).
    */
    std::unique_ptr<juce::Drawable> loadTinted (const char* svgText, int size, juce::Colour stored, juce::Colour shown);
} // namespace EmbeddedDrawing
