#pragma once

#include "QrvxKnob.h"

#include <memory>

namespace qrvx
{

/** Makes the editor's sliders, so that every knob and bar starts from the same settings. */
struct UIControlFactory
{
    /** A rotary knob drawn in the given colour, reading 0 to 1 until a slider attachment gives it
        its parameter's range. Callers restyle it into a bar where they need one.
    */
    static std::unique_ptr<QrvxKnob> createRegularKnob (const juce::Colour& colour);
};

} // namespace qrvx
