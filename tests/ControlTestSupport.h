#pragma once

#include "EditorTestSupport.h"
#include "look/QXLook.h"

#include <gtest/gtest.h>

#include <cmath>

/** The editor's surroundings for a control under test: a processor whose parameters the control
    binds to, a recorder of what its host hears, and the editor's look as the process-wide default
    (the typeface cache is emptied on both sides so that fonts resolve through this look).
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

    juce::RangedAudioParameter& parameter (const juce::String& id)
    {
        auto* p = processor.valueTreeState.getParameter (id);
        jassert (p != nullptr);
        return *p;
    }

    VevareroAudioProcessor processor;
    HostEventRecorder host { processor };
    float scale = 1.0f;
    qrvx::QXLook look { scale };
};

/** A mouse event on a component, at a point in its own coordinates. */
inline juce::MouseEvent mouseEventOn (juce::Component& c, juce::Point<float> position, juce::ModifierKeys mods,
                                      juce::Point<float> downPosition = {})
{
    const auto now = juce::Time::getCurrentTime();
    return { juce::Desktop::getInstance().getMainMouseSource(), position, mods, juce::MouseInputSource::defaultPressure,
             0.0f, 0.0f, 0.0f, 0.0f, &c, &c, now, downPosition, now, 1, false };
}

/** A vertical drag of the given length (upwards when negative) through JUCE's mouse path: the
    component that a visible parent finds under the start point (in the parent's coordinates) gets
    down, drag and up.
*/
inline void dragOn (juce::Component& parent, juce::Point<float> start, float dy,
                    juce::ModifierKeys mods = juce::ModifierKeys::leftButtonModifier)
{
    auto* target = parent.getComponentAt (start.toInt());
    if (target == nullptr)
    {
        ADD_FAILURE() << "nothing under " << start.toString();
        return;
    }

    const auto local = target->getLocalPoint (&parent, start);
    target->mouseDown (mouseEventOn (*target, local, mods, local));
    target->mouseDrag (mouseEventOn (*target, local.translated (0.0f, dy), mods, local));
    target->mouseUp (mouseEventOn (*target, local.translated (0.0f, dy), mods, local));
}

/** Whether two colours agree channel by channel within a tolerance. */
inline testing::AssertionResult coloursNear (juce::Colour actual, juce::Colour expected, int tolerance = 2)
{
    for (const auto shift : { 0, 8, 16, 24 })
        if (std::abs ((int) (actual.getARGB() >> shift & 0xff) - (int) (expected.getARGB() >> shift & 0xff)) > tolerance)
            return testing::AssertionFailure() << actual.toDisplayString (true) << " not " << expected.toDisplayString (true);
    return testing::AssertionSuccess();
}
