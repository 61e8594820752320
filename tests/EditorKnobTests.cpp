#include "ControlTestSupport.h"

#include "editor/UIControlFactory.h"
#include "look/QrvxColours.h"

#include <optional>

namespace
{
    namespace colours = qrvx::QrvxColours;
    using Attachment = juce::AudioProcessorValueTreeState::SliderAttachment;
    const juce::ModifierKeys altClick (juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::altModifier);
    const juce::Point<float> centre (30.0f, 30.0f);

    // A point at a proportion (0..1) of the sweep, which runs clockwise from 1.2 pi to 2.8 pi from 12 o'clock.
    juce::Point<float> onSweep (float radius, float proportion)
    {
        const auto angle = juce::MathConstants<float>::pi * (1.2f + 1.6f * proportion);
        return centre + juce::Point<float> (std::sin (angle), -std::cos (angle)) * radius;
    }

    bool isWedge (juce::Colour c) { return c.getAlpha() > 0x20 && c.getGreen() > c.getRed() && c.getGreen() > c.getBlue(); }

    class KnobTest : public ControlTest
    {
    protected:
        std::unique_ptr<qrvx::QrvxKnob> makeKnob (double value = 0.0, float amount = 0.0f)
        {
            auto knob = qrvx::UIControlFactory::createRegularKnob (colours::teal);
            knob->setBounds (0, 0, 60, 60);
            knob->setValue (value);
            knob->modulationAmount = amount;
            panel.addAndMakeVisible (*knob);
            return knob;
        }

        juce::Component panel;
    };
} // namespace

TEST_F (KnobTest, ReadsZeroToOneUntilAttachedThenItsParameter)
{
    auto knob = qrvx::UIControlFactory::createRegularKnob (colours::orange);
    EXPECT_EQ (knob->getSliderStyle(), juce::Slider::RotaryVerticalDrag);
    EXPECT_EQ (knob->getTextBoxPosition(), juce::Slider::NoTextBox);
    EXPECT_FALSE (knob->getWantsKeyboardFocus());
    EXPECT_EQ (knob->findColour (juce::Slider::rotarySliderFillColourId), colours::orange);
    EXPECT_EQ (knob->findColour (juce::Slider::backgroundColourId).getAlpha(), 0);
    knob->setValue (0.12345);
    EXPECT_EQ (knob->getRange(), juce::Range<double> (0.0, 1.0));
    EXPECT_DOUBLE_EQ (knob->getValue(), 0.123);

    for (const auto* id : { "Cutoff", "Bits", "LFO_1_Synced_Rate" })
    {
        SCOPED_TRACE (id);
        Attachment attachment (processor.valueTreeState, id, *knob);
        const auto& range = parameter (id).getNormalisableRange();
        const auto probe = range.snapToLegalValue (range.convertFrom0to1 (0.3f));
        EXPECT_EQ (knob->getRange(), juce::Range<double> (range.start, range.end));
        EXPECT_FLOAT_EQ ((float) knob->getInterval(), range.interval);
        EXPECT_NEAR (knob->valueToProportionOfLength (probe), range.convertTo0to1 (probe), 1e-6);
    }
}

TEST_F (KnobTest, AltClickAloneReturnsToTheDefaultAnyOtherAltClickDrags)
{
    using Mods = juce::ModifierKeys;
    for (const auto mods : { altClick, altClick.withFlags (Mods::shiftModifier), altClick.withFlags (Mods::ctrlModifier),
                             Mods (Mods::leftButtonModifier) })
    {
        SCOPED_TRACE (mods.getRawFlags());
        auto knob = makeKnob();
        Attachment attachment (processor.valueTreeState, "Cutoff", *knob);
        knob->setValue (5000.0, juce::sendNotificationSync);
        host.clear();

        // Either way the host hears one gesture: the jump to the default, which no drag follows, or the drag.
        pressDragRelease (*knob, centre, -30.0f, mods);
        const auto value = (float) knob->getValue();
        const auto atDefault = parameter ("Cutoff").convertFrom0to1 (parameter ("Cutoff").getDefaultValue());
        EXPECT_TRUE (mods == altClick ? juce::approximatelyEqual (value, atDefault) : value > 5000.0f) << value;
        EXPECT_EQ (host.gestureBegins(), 1);
        EXPECT_EQ (host.gestureEnds(), 1);
    }
}

TEST_F (KnobTest, LabelledKnobsLearnMenuRaisesOneRequestPerPickEvenOverAKnobThatWentAway)
{
    struct Counter final : juce::ChangeListener
    {
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++calls; }
        int calls = 0;
    } counter;

    // Picks from the real menu by keyboard (item 0 dismisses it); whether a menu was open.
    const auto pickFromOpenMenu = [] (int item)
    {
        auto* menu = juce::Component::getCurrentlyModalComponent();
        for (int i = 0; i < item && menu != nullptr; ++i)
            menu->keyPressed (juce::KeyPress (juce::KeyPress::downKey));
        if (menu != nullptr)
            menu->keyPressed (juce::KeyPress (item > 0 ? juce::KeyPress::returnKey : juce::KeyPress::escapeKey));
        dispatchMessagesFor (50);
        return menu != nullptr;
    };

    auto knob = makeKnob();
    auto attachment = std::make_unique<Attachment> (processor.valueTreeState, "Cutoff", *knob);
    knob->setValue (5000.0, juce::sendNotificationSync);
    knob->mappingLabel = "CC 74";
    knob->addChangeListener (&counter);
    host.clear();

    // Picks in order, with the flags and the count of change messages after each; the value stays.
    struct Pick { int item; bool assign, clear; int messages; };
    for (const auto& pick : { Pick { 0, false, false, 0 }, Pick { 1, true, false, 1 }, Pick { 1, true, false, 2 },
                              Pick { 0, true, false, 2 }, Pick { 2, true, true, 3 } })
    {
        SCOPED_TRACE (pick.item);
        knob->mouseDown (mouseEventOn (*knob, centre, altClick, centre));
        ASSERT_TRUE (pickFromOpenMenu (pick.item));
        EXPECT_EQ (knob->assignRequested, pick.assign);
        EXPECT_EQ (knob->clearRequested, pick.clear);
        EXPECT_EQ (counter.calls, pick.messages);
    }
    EXPECT_DOUBLE_EQ (knob->getValue(), 5000.0);
    EXPECT_TRUE (host.events().empty());

    knob->removeChangeListener (&counter);
    knob->mouseDown (mouseEventOn (*knob, centre, altClick, centre));
    attachment.reset();
    knob.reset();
    EXPECT_TRUE (pickFromOpenMenu (qrvx::MIDITarget::assignItem));
    EXPECT_EQ (juce::Component::getCurrentlyModalComponent(), nullptr);
}

TEST_F (KnobTest, ModulationWedgeCoversItsShareOfTheTravelLeftInItsColour)
{
    // The wedge starts at the value's place on the knob's own (skewed) travel; a disabled panel fades it.
    struct Case { const char* what; float value, amount; bool squared; double skew; bool enabled; std::optional<juce::Range<float>> expected; };
    const Case cases[] = {
        { "off",                      0.25f, 0.0f,  false, 1.0, true,  std::nullopt },
        { "half of the rest",         0.25f, 0.5f,  false, 1.0, true,  juce::Range<float> (0.25f, 0.625f) },
        { "squared half, a quarter",  0.25f, 0.5f,  true,  1.0, true,  juce::Range<float> (0.25f, 0.4375f) },
        { "all of it, disabled",      0.0f,  1.0f,  false, 1.0, false, juce::Range<float> (0.0f, 1.0f) },
        { "at the end stop, empty",   1.0f,  1.0f,  false, 1.0, true,  std::nullopt },
        { "small but visible",        0.5f,  0.02f, false, 1.0, true,  juce::Range<float> (0.5f, 0.51f) },
        { "skewed travel",            0.25f, 0.5f,  false, 0.5, true,  juce::Range<float> (0.5f, 0.75f) },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto knob = makeKnob (0.0, c.amount);
        knob->setSkewFactor (c.skew);
        knob->setValue (c.value);
        knob->squareAmount = c.squared;
        panel.setEnabled (c.enabled);
        const auto image = renderComponent (*knob);

        // Read on the ring that the face (radius 28) leaves visible of the wedge (radius 30).
        std::optional<juce::Range<float>> extent;
        for (int step = 0; step <= 1000; ++step)
        {
            const auto proportion = (float) step / 1000.0f;
            const auto at = onSweep (29.2f, proportion).toInt();
            if (isWedge (image.getPixelAt (at.x, at.y)))
                extent = extent ? extent->getUnionWith (proportion) : juce::Range<float> (proportion, proportion);
        }

        ASSERT_EQ (extent.has_value(), c.expected.has_value());
        if (! extent)
            continue;
        EXPECT_NEAR (extent->getStart(), c.expected->getStart(), 0.006f);
        EXPECT_NEAR (extent->getEnd(), c.expected->getEnd(), 0.006f);
        const auto rim = onSweep (29.0f, extent->getStart() + extent->getLength() / 2.0f).toInt();
        EXPECT_TRUE (coloursNear (image.getPixelAt (rim.x, rim.y), colours::lime.withAlpha ((juce::uint8) (c.enabled ? 0xcc : 0x33))));
    }
}

TEST_F (KnobTest, ModulationWedgeThresholdAndStyles)
{
    // Magnified 1000 times around the wedge's starting edge, where the face is far off and a wedge
    // just over the threshold is some 15 pixels wide.
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

        int wedgePixels = 0;
        for (int i = 0; i < 60 * 60; ++i)
            wedgePixels += isWedge (image.getPixelAt (i % 60, i / 60)) ? 1 : 0;
        EXPECT_EQ (wedgePixels > 0, amount > 0.0001f);
    }

    // Only the vertical-drag rotary knob carries a wedge.
    for (const auto style : { juce::Slider::LinearHorizontal, juce::Slider::LinearBar, juce::Slider::Rotary })
    {
        SCOPED_TRACE (style);
        auto plain = makeKnob (0.3), modulated = makeKnob (0.3, 1.0f);
        plain->setSliderStyle (style);
        modulated->setSliderStyle (style);
        EXPECT_TRUE (sameImage (renderComponent (*plain), renderComponent (*modulated)));
    }
}
