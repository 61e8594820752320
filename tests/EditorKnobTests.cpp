#include "ControlTestSupport.h"

#include "editor/UIControlFactory.h"
#include "look/QrvxColours.h"

#include <memory>
#include <optional>

namespace
{
    namespace colours = qrvx::QrvxColours;
    using qrvx::UIControlFactory;
    using Attachment = juce::AudioProcessorValueTreeState::SliderAttachment;

    const juce::Point<float> centre (30.0f, 30.0f);

    // A point of a circle around the knob's centre, at a proportion (0..1) of the knob's sweep,
    // which runs clockwise from 1.2 pi to 2.8 pi with angles measured from 12 o'clock.
    juce::Point<float> onSweep (float radius, float proportion)
    {
        const auto angle = juce::MathConstants<float>::pi * (1.2f + 1.6f * proportion);
        return centre + juce::Point<float> (std::sin (angle), -std::cos (angle)) * radius;
    }

    bool isWedge (juce::Colour c) { return c.getAlpha() > 0x20 && c.getGreen() > c.getRed() && c.getGreen() > c.getBlue(); }

    /** The part of the sweep that the wedge covers, read from the ring between the face's rim
        (radius 28 on a 60 x 60 knob) and the wedge's edge (radius 30); nothing when it is clear.
    */
    std::optional<juce::Range<float>> wedgeExtent (const juce::Image& image)
    {
        std::optional<juce::Range<float>> extent;
        for (int step = 0; step <= 1000; ++step)
        {
            const auto proportion = (float) step / 1000.0f;
            const auto at = onSweep (29.2f, proportion).toInt();
            if (isWedge (image.getPixelAt (at.x, at.y)))
                extent = extent ? extent->getUnionWith (proportion) : juce::Range<float> (proportion, proportion);
        }
        return extent;
    }

    class KnobTest : public ControlTest
    {
    protected:
        std::unique_ptr<qrvx::QrvxKnob> makeKnob (double value = 0.0, float amount = 0.0f)
        {
            auto knob = UIControlFactory::createRegularKnob (colours::teal);
            knob->setBounds (0, 0, 60, 60);
            knob->setValue (value);
            knob->modulationAmount = amount;
            panel.addAndMakeVisible (*knob);
            return knob;
        }

        void press (qrvx::QrvxKnob& knob, int modifiers)
        {
            knob.mouseDown (mouseEventOn (knob, centre, juce::ModifierKeys (modifiers), centre));
        }

        juce::Component panel;
    };
} // namespace

//==============================================================================
TEST_F (KnobTest, FactorySettingsUntilAnAttachmentGivesTheParameterRange)
{
    auto knob = UIControlFactory::createRegularKnob (colours::orange);

    EXPECT_EQ (knob->getSliderStyle(), juce::Slider::RotaryVerticalDrag);
    EXPECT_EQ (knob->getRange(), juce::Range<double> (0.0, 1.0));
    EXPECT_DOUBLE_EQ (knob->getInterval(), 0.001);
    EXPECT_EQ (knob->getTextBoxPosition(), juce::Slider::NoTextBox);
    EXPECT_FALSE (knob->isTextBoxEditable());
    EXPECT_EQ (knob->getTextBoxHeight(), 0);
    EXPECT_FALSE (knob->getWantsKeyboardFocus());
    EXPECT_EQ (knob->findColour (juce::Slider::backgroundColourId).getARGB(), 0x00272727u);
    EXPECT_EQ (knob->findColour (juce::Slider::rotarySliderFillColourId), colours::orange);
    EXPECT_NE (knob->getCachedComponentImage(), nullptr);

    // Attached, each knob maps its travel the way its parameter does, skew included.
    for (const auto* id : { "Cutoff", "Bits", "Amplitude", "LFO_1_Synced_Rate", "Dry_Wet_Mix_Mod_Depth" })
    {
        SCOPED_TRACE (id);
        auto attached = UIControlFactory::createRegularKnob (colours::teal);
        Attachment attachment (processor.valueTreeState, id, *attached);
        const auto& range = parameter (id).getNormalisableRange();
        const auto probe = range.snapToLegalValue (range.convertFrom0to1 (0.3f));

        EXPECT_EQ (attached->getRange(), juce::Range<double> (range.start, range.end));
        EXPECT_FLOAT_EQ ((float) attached->getInterval(), range.interval);
        EXPECT_NEAR (attached->valueToProportionOfLength (probe), range.convertTo0to1 (probe), 1e-6);
    }
}

TEST_F (KnobTest, AltClickAloneReturnsToTheDefaultAnyOtherAltClickDrags)
{
    const auto left = juce::ModifierKeys::leftButtonModifier, alt = juce::ModifierKeys::altModifier;
    const int presses[] = { left | alt, left | alt | juce::ModifierKeys::shiftModifier, left | alt | juce::ModifierKeys::ctrlModifier, left };

    for (const auto modifiers : presses)
    {
        SCOPED_TRACE (modifiers);
        auto knob = makeKnob();
        Attachment attachment (processor.valueTreeState, "Cutoff", *knob);
        knob->setValue (5000.0, juce::sendNotificationSync);
        host.clear();

        // Either way the host hears one gesture: the jump to the default, or a drag that moves up.
        press (*knob, modifiers);
        if (modifiers == (left | alt))
        {
            EXPECT_FLOAT_EQ ((float) knob->getValue(), parameter ("Cutoff").convertFrom0to1 (parameter ("Cutoff").getDefaultValue()));
            EXPECT_TRUE (host.everyValueInItsOwnGesture());
        }
        else
        {
            EXPECT_DOUBLE_EQ (knob->getValue(), 5000.0);
            knob->mouseDrag (mouseEventOn (*knob, { 30.0f, 0.0f }, juce::ModifierKeys (modifiers), centre));
            EXPECT_GT (knob->getValue(), 5000.0);
        }

        knob->mouseUp (mouseEventOn (*knob, { 30.0f, 0.0f }, juce::ModifierKeys (modifiers), centre));
        EXPECT_EQ (host.gestureBegins(), 1);
        EXPECT_EQ (host.gestureEnds(), 1);
    }
}

TEST_F (KnobTest, LearnMenuOpensOnAltClickOnceLabelledAndRaisesOneRequestPerPick)
{
    struct Counter final : juce::ChangeListener
    {
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++calls; }
        int calls = 0;
    } counter;

    // Picks in order, with the flags and the number of change messages after each.
    struct Pick { int result; bool assign, clear; int messages; };
    const Pick picks[] = { { 0, false, false, 0 }, { 1, true, false, 1 }, { 1, true, false, 2 },
                           { 0, true, false, 2 }, { 2, true, true, 3 }, { 7, true, true, 3 } };

    auto knob = makeKnob();
    knob->addChangeListener (&counter);
    for (const auto& pick : picks)
    {
        SCOPED_TRACE (pick.result);
        knob->handleMenuResult (pick.result);
        knob->dispatchPendingMessages();
        EXPECT_EQ (knob->assignRequested, pick.assign);
        EXPECT_EQ (knob->clearRequested, pick.clear);
        EXPECT_EQ (counter.calls, pick.messages);
    }
    knob->removeChangeListener (&counter);

    // The real menu, picked from by keyboard: with a mapping label Alt opens it instead of touching
    // the value, and the pick lands in the knob, which may even be gone by then.
    const auto pickFromOpenMenu = [] (int item)
    {
        auto* menu = juce::Component::getCurrentlyModalComponent();
        for (int i = 0; i < item && menu != nullptr; ++i)
            menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
        if (menu != nullptr)
            menu->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        dispatchMessagesFor (50);
        return menu != nullptr;
    };

    auto labelled = makeKnob();
    auto attachment = std::make_unique<Attachment> (processor.valueTreeState, "Cutoff", *labelled);
    labelled->setValue (5000.0, juce::sendNotificationSync);
    labelled->mappingLabel = "CC 74";
    host.clear();

    const auto altClick = juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::altModifier;
    press (*labelled, altClick);
    EXPECT_DOUBLE_EQ (labelled->getValue(), 5000.0);
    EXPECT_TRUE (host.events().empty());
    ASSERT_TRUE (pickFromOpenMenu (qrvx::MIDITarget::clearItem));
    EXPECT_TRUE (labelled->clearRequested && ! labelled->assignRequested);

    press (*labelled, altClick);
    attachment.reset();
    labelled.reset();
    EXPECT_TRUE (pickFromOpenMenu (qrvx::MIDITarget::assignItem));
    EXPECT_EQ (juce::Component::getCurrentlyModalComponent(), nullptr);
}

//==============================================================================
TEST_F (KnobTest, ModulationWedgeCoversItsShareOfTheRemainingTravel)
{
    struct Case { const char* what; float value, amount; bool squared; std::optional<juce::Range<float>> expected; };
    const Case cases[] = {
        { "off",                      0.25f, 0.0f,  false, std::nullopt },
        { "half of the rest",         0.25f, 0.5f,  false, juce::Range<float> (0.25f, 0.625f) },
        { "squared half, a quarter",  0.25f, 0.5f,  true,  juce::Range<float> (0.25f, 0.4375f) },
        { "all of it from the start", 0.0f,  1.0f,  false, juce::Range<float> (0.0f, 1.0f) },
        { "at the end stop, empty",   1.0f,  1.0f,  false, std::nullopt },
        { "small but visible",        0.5f,  0.02f, false, juce::Range<float> (0.5f, 0.51f) },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto knob = makeKnob (c.value, c.amount);
        knob->squareAmount = c.squared;
        const auto extent = wedgeExtent (renderComponent (*knob));

        ASSERT_EQ (extent.has_value(), c.expected.has_value());
        if (extent)
        {
            EXPECT_NEAR (extent->getStart(), c.expected->getStart(), 0.006f);
            EXPECT_NEAR (extent->getEnd(), c.expected->getEnd(), 0.006f);
        }
    }

    // The wedge starts where the knob's own (skewed) mapping puts the value.
    auto knob = makeKnob (0.0, 1.0f);
    Attachment attachment (processor.valueTreeState, "Cutoff", *knob);
    knob->setValue (1000.0);
    const auto extent = wedgeExtent (renderComponent (*knob));
    ASSERT_TRUE (extent.has_value());
    EXPECT_NEAR (extent->getStart(), parameter ("Cutoff").convertTo0to1 (1000.0f), 0.006f);
    EXPECT_NEAR (extent->getEnd(), 1.0f, 0.006f);
}

TEST_F (KnobTest, ModulationWedgeColourThresholdAndStyles)
{
    // Colour, in the middle of the visible rim, enabled and inside a disabled panel.
    for (const auto enabled : { true, false })
    {
        auto knob = makeKnob (0.0, 1.0f);
        panel.setEnabled (enabled);
        const auto rim = onSweep (29.0f, 0.5f).toInt();
        EXPECT_TRUE (coloursNear (renderComponent (*knob).getPixelAt (rim.x, rim.y),
                                  colours::lime.withAlpha ((juce::uint8) (enabled ? 0xcc : 0x33))));
    }

    // The threshold, magnified 1000 times at the wedge's starting edge, where a wedge just over it
    // is some 15 pixels wide: clockwise from the edge lies the wedge, counter-clockwise nothing.
    for (const auto amount : { 0.0001f, 0.00011f })
    {
        SCOPED_TRACE (amount);
        auto knob = makeKnob (0.0, amount);
        juce::Image image (juce::Image::ARGB, 60, 60, true, juce::SoftwareImageType());
        {
            juce::Graphics g (image);
            g.addTransform (juce::AffineTransform::translation (-onSweep (29.5f, 0.0f)).scaled (1000.0f).translated (centre));
            knob->paint (g);
        }

        const auto clockwise = onSweep (1.0f, 0.3125f) - centre; // a quarter turn on from the edge's angle
        const auto inside = (centre + clockwise * 8.0f).toInt(), outside = (centre - clockwise * 8.0f).toInt();
        EXPECT_EQ (isWedge (image.getPixelAt (inside.x, inside.y)), amount > 0.0001f);
        EXPECT_FALSE (isWedge (image.getPixelAt (outside.x, outside.y)));
    }

    // Only the vertical-drag rotary knob carries a wedge; bars and other knobs never do.
    for (const auto style : { juce::Slider::LinearHorizontal, juce::Slider::LinearVertical, juce::Slider::LinearBar,
                              juce::Slider::Rotary, juce::Slider::RotaryHorizontalVerticalDrag })
    {
        SCOPED_TRACE (style);
        auto plain = makeKnob (0.3), modulated = makeKnob (0.3, 1.0f);
        plain->setSliderStyle (style);
        modulated->setSliderStyle (style);
        EXPECT_TRUE (sameImage (renderComponent (*plain), renderComponent (*modulated)));
    }
}
