#pragma once

#include "EditorTestSupport.h"
#include "look/QXLook.h"

#include <gtest/gtest.h>

/** A control's surroundings in the editor: the processor it binds to, what its host hears, and
    the editor's look as the default (the typeface cache is emptied so fonts resolve through it).
*/
class ControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        juce::Typeface::clearTypefaceCache();
        juce::LookAndFeel::setDefaultLookAndFeel (&look);
    }

    void TearDown() override
    {
        juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
        juce::Typeface::clearTypefaceCache();
    }

    juce::RangedAudioParameter& parameter (const juce::String& id) { return *processor.valueTreeState.getParameter (id); }

    VevareroAudioProcessor processor;
    HostEventRecorder host { processor };
    float scale = 1.0f;
    qrvx::QXLook look { scale };
};

/** Presses at a point of a component, drags by dy (upwards when negative) and lets go. */
inline void pressDragRelease (juce::Component& c, juce::Point<float> down, float dy, juce::ModifierKeys mods)
{
    const auto end = down.translated (0.0f, dy);
    c.mouseDown (mouseEventOn (c, down, mods, down));
    c.mouseDrag (mouseEventOn (c, end, mods, down));
    c.mouseUp (mouseEventOn (c, end, mods, down));
}

/** Whether two colours agree channel by channel within a tolerance. */
inline testing::AssertionResult coloursNear (juce::Colour actual, juce::Colour expected, int tolerance = 2)
{
    const auto channel = [] (juce::Colour c, int shift) { return (int) (c.getARGB() >> shift & 0xff); };

    for (const auto shift : { 0, 8, 16, 24 })
        if (std::abs (channel (actual, shift) - channel (expected, shift)) > tolerance)
            return testing::AssertionFailure() << actual.toDisplayString (true) << " not " << expected.toDisplayString (true)
                                               << " within " << tolerance;
    return testing::AssertionSuccess();
}

namespace juce
{
    // Rectangles in failure messages, as text.
    inline void PrintTo (const Rectangle<int>& r, std::ostream* os) { *os << r.toString(); }

    // Points and lists of parameter IDs too, rather than their bytes.
    inline void PrintTo (const Point<float>& p, std::ostream* os) { *os << "(" << p.toString() << ")"; }
    inline void PrintTo (const StringArray& a, std::ostream* os) { *os << "[" << a.joinIntoString (", ") << "]"; }
} // namespace juce
